#include "common/language.h"

#include <atomic>
#include <cstdlib>

namespace velloran {

namespace {

std::atomic<Language> processLanguage{Language::Russian};

// The language part of a locale name: what comes before "_", "." or "@".
std::string_view LanguagePart(std::string_view locale) { return locale.substr(0, locale.find_first_of("_.@")); }

}  // namespace

std::optional<Language> LanguageOfLocale(std::string_view locale) {
  const std::string_view language = LanguagePart(locale);
  if (language == "ru") return Language::Russian;
  if (language == "en") return Language::English;
  return std::nullopt;
}

Language LanguageFromVariables(const std::function<std::optional<std::string>(const char*)>& variable) {
  std::string locale;
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const std::optional<std::string> value = variable(name);
    if (value && !value->empty()) {
      locale = *value;
      break;
    }
  }
  // The C locale speaks English whatever LANGUAGE says, as gettext does.
  if (locale.empty() || locale == "C" || locale.starts_with("C.") || locale == "POSIX") return Language::English;
  if (const std::optional<std::string> list = variable("LANGUAGE")) {
    std::string_view rest = *list;
    while (!rest.empty()) {
      const std::size_t colon = rest.find(':');
      if (const auto language = LanguageOfLocale(rest.substr(0, colon))) return *language;
      rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
  }
  return LanguageOfLocale(locale).value_or(Language::English);
}

Language LanguageFromEnvironment() {
  return LanguageFromVariables([](const char* name) -> std::optional<std::string> {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
  });
}

Language ProcessLanguage() { return processLanguage.load(std::memory_order_relaxed); }

void SetProcessLanguage(Language language) { processLanguage.store(language, std::memory_order_relaxed); }

}  // namespace velloran
