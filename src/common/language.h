// The language the program speaks: Russian or English, chosen from the
// locale as every Linux program chooses (LANGUAGE, LC_ALL, LC_MESSAGES,
// LANG), or set by the desktop's settings. The front ends set it once at
// start (the desktop again when the user changes it) before any work runs;
// the core only reads it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace velloran {

enum class Language { Russian, English };

// The language a locale name asks for ("ru_RU.UTF-8", "ru", "en_GB", "C"):
// Russian for "ru", English for "en", nothing for any other.
std::optional<Language> LanguageOfLocale(std::string_view locale);

// The language chosen by the locale variables, read through `variable`
// (which answers nothing for a variable that is not set). The first of
// LC_ALL, LC_MESSAGES and LANG that is set names the locale; under a locale
// other than "C" and "POSIX" the first language of LANGUAGE's list that we
// speak takes precedence. Russian for ru, English for everything else.
Language LanguageFromVariables(const std::function<std::optional<std::string>(const char*)>& variable);

// LanguageFromVariables over this process's environment.
Language LanguageFromEnvironment();

// The language of this process's messages; Russian, the language of the
// source texts, until it is set.
Language ProcessLanguage();
void SetProcessLanguage(Language language);

}  // namespace velloran
