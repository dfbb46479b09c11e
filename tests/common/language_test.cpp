// The language chosen from the locale variables, and the message catalogue:
// both languages in every row, with the same arguments.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>

#include "common/diagnostic.h"
#include "common/language.h"
#include "common/messages.h"

namespace velloran {
namespace {

Language Choose(const std::map<std::string, std::string>& variables) {
  return LanguageFromVariables([&](const char* name) -> std::optional<std::string> {
    const auto found = variables.find(name);
    if (found == variables.end()) return std::nullopt;
    return found->second;
  });
}

TEST(Language, ChosenAsGettextChoosesRussianForRuEnglishForTheRest) {
  EXPECT_EQ(Choose({}), Language::English) << "no locale at all";
  EXPECT_EQ(Choose({{"LANG", "ru_RU.UTF-8"}}), Language::Russian);
  EXPECT_EQ(Choose({{"LANG", "ru_UA.KOI8-U"}}), Language::Russian);
  EXPECT_EQ(Choose({{"LANG", "ru"}}), Language::Russian);
  EXPECT_EQ(Choose({{"LANG", "C.UTF-8"}}), Language::English);
  EXPECT_EQ(Choose({{"LANG", "POSIX"}}), Language::English);
  EXPECT_EQ(Choose({{"LANG", "de_DE.UTF-8"}}), Language::English) << "an unknown language falls back to English";
  EXPECT_EQ(Choose({{"LANG", "rus"}}), Language::English) << "only the language part counts";
  // LC_ALL, then LC_MESSAGES, then LANG; an empty variable counts as unset.
  EXPECT_EQ(Choose({{"LC_ALL", "en_GB.UTF-8"}, {"LC_MESSAGES", "ru_RU"}, {"LANG", "ru_RU"}}), Language::English);
  EXPECT_EQ(Choose({{"LC_ALL", ""}, {"LC_MESSAGES", "ru_RU"}, {"LANG", "en_US"}}), Language::Russian);
  EXPECT_EQ(Choose({{"LC_MESSAGES", "C"}, {"LANG", "ru_RU"}}), Language::English);
}

TEST(Language, LanguageListWinsUnlessTheLocaleIsC) {
  EXPECT_EQ(Choose({{"LANGUAGE", "ru"}, {"LANG", "en_US.UTF-8"}}), Language::Russian);
  EXPECT_EQ(Choose({{"LANGUAGE", "de:ru:en"}, {"LANG", "en_US.UTF-8"}}), Language::Russian)
      << "the first language of the list we speak";
  EXPECT_EQ(Choose({{"LANGUAGE", "en_GB:ru"}, {"LANG", "ru_RU.UTF-8"}}), Language::English);
  EXPECT_EQ(Choose({{"LANGUAGE", "de:fr"}, {"LANG", "ru_RU.UTF-8"}}), Language::Russian)
      << "a list of languages we do not speak leaves the locale to decide";
  EXPECT_EQ(Choose({{"LANGUAGE", "ru"}, {"LANG", "C.UTF-8"}}), Language::English) << "the C locale ignores LANGUAGE";
  EXPECT_EQ(Choose({{"LANGUAGE", "ru"}}), Language::English);
}

// The numbered arguments a text uses, "{1}" .. "{9}".
std::set<std::string> Arguments(std::string_view text) {
  std::set<std::string> found;
  for (std::size_t i = 0; i + 2 < text.size(); ++i)
    if (text[i] == '{' && text[i + 1] >= '1' && text[i + 1] <= '9' && text[i + 2] == '}')
      found.insert(std::string(text.substr(i, 3)));
  return found;
}

bool HasCyrillic(std::string_view text) {
  // Cyrillic letters are U+0400..U+04FF: UTF-8 lead bytes 0xD0..0xD3.
  for (const unsigned char c : text)
    if (c >= 0xD0 && c <= 0xD3) return true;
  return false;
}

// Whether the text has a word of three Latin letters outside its "{N}"
// arguments (format names like "SCP" count: they come with words).
bool HasWords(std::string_view text) {
  int run = 0;
  for (const char c : text) {
    run = std::isalpha(static_cast<unsigned char>(c)) != 0 ? run + 1 : 0;
    if (run == 3) return true;
  }
  return false;
}

TEST(MessageCatalogue, EveryRowHasBothLanguagesWithTheSameArguments) {
  const auto catalogue = MessageCatalogue();
  ASSERT_EQ(catalogue.size(), static_cast<std::size_t>(MessageId::Count));
  for (std::size_t i = 0; i < catalogue.size(); ++i) {
    const CatalogueEntry& entry = catalogue[i];
    SCOPED_TRACE(std::string(entry.english));
    EXPECT_EQ(entry.id, static_cast<MessageId>(i));
    EXPECT_FALSE(entry.russian.empty());
    EXPECT_FALSE(entry.english.empty());
    EXPECT_EQ(Arguments(entry.russian), Arguments(entry.english));
    EXPECT_FALSE(HasCyrillic(entry.english)) << "English text with Russian letters";
    // A block of help lines ends in a new line and lines up its columns with spaces.
    const bool helpBlock = entry.english.ends_with('\n');
    EXPECT_EQ(entry.russian.ends_with('\n'), helpBlock);
    EXPECT_TRUE(helpBlock || entry.russian.find("  ") == std::string_view::npos) << "double space";
    EXPECT_TRUE(helpBlock || entry.english.find("  ") == std::string_view::npos) << "double space";
    EXPECT_EQ(entry.russian.find("!."), std::string_view::npos) << "stray full stop";
    EXPECT_FALSE(entry.russian.starts_with(' ') || entry.russian.ends_with(' ')) << "padding belongs to the view";
    EXPECT_FALSE(entry.english.starts_with(' ') || entry.english.ends_with(' ')) << "padding belongs to the view";
    EXPECT_TRUE(!HasWords(entry.english) || HasCyrillic(entry.russian)) << "Russian column left in English";
    for (const char* misspelt : {"трэк", "трек", "длинна", "в длинне", "колличеств", "циков", "заменятся"})
      EXPECT_EQ(entry.russian.find(misspelt), std::string_view::npos) << misspelt << " (see translations/GLOSSARY.md)";
  }
}

TEST(MessageCatalogue, ArgumentsTakeTheirPlacesInEitherLanguage) {
  EXPECT_EQ(RenderMessage(Language::English, MessageId::CliOutputTakenTwice, {"a.trd", "b.fdi", "c.trd"}),
            "a.trd: the output b.fdi is already that of c.trd");
  EXPECT_EQ(RenderMessage(Language::Russian, MessageId::FileNotFound, {"/x/Диск.trd"}), "Файл /x/Диск.trd не найден!");
  EXPECT_EQ(RenderMessage(Language::English, MessageId::FileNotFound, {"{1}"}), "File {1} not found!")
      << "an argument is not read as a placeholder again";
  EXPECT_EQ(RenderMessage(Language::English, MessageId::CliUnknownCpmFormat, {"x"}), "unknown CP/M format x (known: )")
      << "a missing argument is left empty";
}

TEST(MessageCatalogue, PhrasesNestAndDiagnosticsNameTheirPlace) {
  const Phrase cut{MessageId::LossDataCut, {1100, 1024}};
  const Diagnostic notice{{MessageId::NoticeLossOnLoad, {"EDSK", cut}}, Severity::Warning};
  EXPECT_EQ(RenderDiagnostic(Language::English, notice), "EDSK: 1100 bytes of data; the first 1024 were loaded.");
  EXPECT_EQ(RenderDiagnostic(Language::Russian, notice), "EDSK: данных 1100 байт; загружены первые 1024.")
      << "the phrase inside is put into the same language";
  const Diagnostic onSector{cut, Severity::Warning, {3, 17}};
  EXPECT_EQ(RenderDiagnostic(Language::English, onSector),
            "track 3, sector 17: 1100 bytes of data; the first 1024 were loaded");
  EXPECT_EQ(RenderDiagnostic(Language::Russian, Diagnostic{cut, Severity::Warning, {3, -1}}),
            "дорожка 3: данных 1100 байт; загружены первые 1024");
  EXPECT_EQ(RenderDiagnostic(Language::English, Diagnostic{}), "") << "no failure, no words";
}

TEST(MessageCatalogue, ProcessLanguageChoosesTheText) {
  const Language before = ProcessLanguage();
  SetProcessLanguage(Language::English);
  EXPECT_EQ(MessageText(MessageId::CliCommandsTitle), "Commands:");
  SetProcessLanguage(Language::Russian);
  EXPECT_EQ(MessageText(MessageId::CliCommandsTitle), "Команды:");
  SetProcessLanguage(before);
}

}  // namespace
}  // namespace velloran
