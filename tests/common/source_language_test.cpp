// Russian words live in the message catalogue and in the desktop's
// translation sources, nowhere else: a string literal with Cyrillic letters
// anywhere in src/ is a sentence that cannot be shown in English. English
// sentences live in the catalogue too: a literal that reads as one is a text
// a Russian reader would meet untranslated.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace velloran {
namespace {

// Files and folders of src/ left out of the Cyrillic scan, each with its reason.
constexpr std::string_view kCyrillicAllowed[] = {
    "common/messages.cpp",  // the catalogue itself, both languages side by side
    // The language choice names Russian in Russian, whatever the language shown.
    "ui/settings_window.cpp",
};

// Files and folders of src/ left out of the English scan, each with its reason.
constexpr std::string_view kEnglishAllowed[] = {
    "common/messages.cpp",  // the catalogue itself
};

// Calls whose literal is a source text of the desktop's translations.
constexpr std::string_view kTranslationCalls[] = {"tr", "QT_TR_NOOP", "QT_TRANSLATE_NOOP", "translate",
                                                  "MainWindowText"};
// Calls whose literal is for the one who builds the program.
constexpr std::string_view kBuildCalls[] = {"static_assert"};

template <std::size_t N>
bool Listed(const std::string_view (&list)[N], std::string_view item) {
  return std::find(std::begin(list), std::end(list), item) != std::end(list);
}

template <std::size_t N>
bool Allowed(const std::string_view (&allowed)[N], const std::string& relative) {
  return std::any_of(std::begin(allowed), std::end(allowed),
                     [&](std::string_view entry) { return relative.starts_with(entry); });
}

bool HasCyrillic(std::string_view text) {
  // U+0400..U+04FF are the UTF-8 sequences led by 0xD0..0xD3.
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0xD0 && byte <= 0xD3;
  });
}

bool IdentifierCharacter(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; }

// Whether the text holds three lowercase Latin words in a row, one space
// apart: "cannot load the image", not "--first T --last T" or "gw-sim:IMAGE".
// A word may end in a sign: "found, or".
bool HasEnglishSentence(std::string_view text) {
  int words = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find(' ', start), text.size());
    std::string_view word = text.substr(start, end - start);
    while (!word.empty() && std::string_view(",;.!)").find(word.back()) != std::string_view::npos)
      word.remove_suffix(1);
    const bool lowercase = !word.empty() && std::all_of(word.begin(), word.end(),
                                                        [](char c) { return (c >= 'a' && c <= 'z') || c == '\''; });
    words = lowercase ? words + 1 : 0;
    if (words == 3) return true;
    start = end + 1;
  }
  return false;
}

struct Literal {
  int line = 0;
  std::string text;
};

// The string literals of C++ source that `wanted` picks and that are not
// the arguments of a translation call or of a compiler's check. Comments,
// character literals and raw strings are told apart from code; that is all
// the lexing this needs.
std::vector<Literal> Literals(const std::string& source, const std::function<bool(std::string_view)>& wanted) {
  std::vector<Literal> found;
  std::vector<std::string> calls;  // the name before each open parenthesis
  int line = 1;
  for (std::size_t i = 0; i < source.size(); ++i) {
    const char c = source[i];
    if (c == '\n') ++line;
    if (source.compare(i, 2, "//") == 0) {
      i = std::min(source.find('\n', i), source.size()) - 1;
    } else if (source.compare(i, 2, "/*") == 0) {
      const std::size_t end = std::min(source.find("*/", i + 2), source.size());
      line += static_cast<int>(
          std::count(source.begin() + static_cast<long>(i), source.begin() + static_cast<long>(end), '\n'));
      i = end + 1;
    } else if (c == '(') {
      std::size_t end = i;
      while (end > 0 && source[end - 1] == ' ') --end;
      std::size_t start = end;
      while (start > 0 && IdentifierCharacter(source[start - 1])) --start;
      calls.push_back(source.substr(start, end - start));
    } else if (c == ')') {
      if (!calls.empty()) calls.pop_back();
    } else if (c == '\'' && i > 0 && !IdentifierCharacter(source[i - 1])) {
      // A character literal; a quote after a digit separates digits.
      while (++i < source.size() && source[i] != '\'')
        if (source[i] == '\\') ++i;
    } else if (c == '"') {
      std::size_t start = i + 1;
      std::size_t end = start;  // the closing quote
      std::string text;
      if (i > 0 && source[i - 1] == 'R') {
        const std::size_t open = std::min(source.find('(', i), source.size());
        const std::string delimiter = ")" + source.substr(start, open - start) + "\"";
        start = std::min(open + 1, source.size());
        const std::size_t close = std::min(source.find(delimiter, start), source.size());
        text = source.substr(start, close - start);
        end = close + delimiter.size() - 1;
      } else {
        while (end < source.size() && source[end] != '"' && source[end] != '\n') end += source[end] == '\\' ? 2 : 1;
        text = source.substr(start, std::min(end, source.size()) - start);
      }
      const bool exempt =
          !calls.empty() && (Listed(kTranslationCalls, calls.back()) || Listed(kBuildCalls, calls.back()));
      if (wanted(text) && !exempt) found.push_back({line, text});
      line += static_cast<int>(std::count(text.begin(), text.end(), '\n'));
      i = end;
    }
  }
  return found;
}

TEST(SourceLanguage, ScannerFindsLiteralsOutsideCommentsAndTranslations) {
  const auto texts = [](const std::string& source) {
    std::vector<std::string> result;
    for (const Literal& literal : Literals(source, HasCyrillic)) result.push_back(literal.text);
    return result;
  };
  EXPECT_EQ(texts("f(\"Ошибка\");"), std::vector<std::string>{"Ошибка"});
  EXPECT_EQ(texts("// \"Ошибка\"\n/* \"Ошибка\" */ int a = 'x';"), std::vector<std::string>{});
  EXPECT_EQ(texts("tr(\"Да\"); QT_TRANSLATE_NOOP(\"ctx\", \"Нет\"); g(tr(\"a\"), \"Ещё\");"),
            std::vector<std::string>{"Ещё"});
  EXPECT_EQ(texts("s = \"a \\\"б\\\"\"; R\"x(\"в\")x\";"), (std::vector<std::string>{"a \\\"б\\\"", "\"в\""}));
  EXPECT_EQ(texts("int n = 1'000; h(\"г\");"), std::vector<std::string>{"г"});
}

TEST(SourceLanguage, EnglishSentencesAreThreeLowercaseWordsInARow) {
  EXPECT_TRUE(HasEnglishSentence("cannot load the image"));
  EXPECT_TRUE(HasEnglishSentence("{1}: the file is replaced"));
  EXPECT_TRUE(HasEnglishSentence("the disk's name, again"));
  EXPECT_FALSE(HasEnglishSentence("read-disk OUT [--fast] [--first T --last T]"));
  EXPECT_FALSE(HasEnglishSentence("no flux"));
  EXPECT_FALSE(HasEnglishSentence("gw-sim:IMAGE or sim:IMAGE"));
  EXPECT_FALSE(HasEnglishSentence("velloran_en.qm qtbase_ru"));
  EXPECT_FALSE(HasEnglishSentence("Disk Image Saved"));
  EXPECT_TRUE(Literals("static_assert(ok, \"every row in order\");", HasEnglishSentence).empty());
}

// Every literal of src/ outside `allowed` that `wanted` picks, as "file:line: text".
template <std::size_t N>
std::vector<std::string> FindInSources(const std::string_view (&allowed)[N],
                                       const std::function<bool(std::string_view)>& wanted) {
  const std::filesystem::path root = VELLORAN_SOURCE_DIR;
  std::vector<std::string> found;
  int scanned = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    const std::string extension = entry.path().extension().string();
    if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".h")) continue;
    ++scanned;
    const std::string relative = entry.path().lexically_relative(root).generic_string();
    if (Allowed(allowed, relative)) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string source{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    for (const Literal& literal : Literals(source, wanted))
      found.push_back(relative + ":" + std::to_string(literal.line) + ": \"" + literal.text + "\"");
  }
  EXPECT_GT(scanned, 100) << "the source tree was not found whole at " << root;
  return found;
}

std::string Lines(const std::vector<std::string>& places) {
  std::string list;
  for (const std::string& place : places) list += place + "\n";
  return list;
}

TEST(SourceLanguage, CyrillicLiteralsOnlyInTheCatalogue) {
  const std::vector<std::string> found = FindInSources(kCyrillicAllowed, HasCyrillic);
  EXPECT_TRUE(found.empty()) << "Russian text outside the message catalogue:\n" << Lines(found);
}

TEST(SourceLanguage, EnglishSentencesOnlyInTheCatalogue) {
  const std::vector<std::string> found = FindInSources(kEnglishAllowed, HasEnglishSentence);
  EXPECT_TRUE(found.empty()) << "English text outside the message catalogue:\n" << Lines(found);
}

}  // namespace
}  // namespace velloran
