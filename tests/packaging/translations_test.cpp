// The desktop's translation sources (translations/*.ts): every text has a
// finished, non-empty translation that keeps the source's numbered
// arguments (%1 .. %9), so no window shows an untranslated or broken text.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>

namespace velloran {
namespace {

namespace fs = std::filesystem;

std::set<std::string> Arguments(const std::string& text) {
  std::set<std::string> found;
  for (std::size_t i = 0; i + 1 < text.size(); ++i)
    if (text[i] == '%' && text[i + 1] >= '1' && text[i + 1] <= '9') found.insert(text.substr(i, 2));
  return found;
}

// The text between <tag ...> and </tag> from `from` on, or nothing.
std::optional<std::string> Element(const std::string& xml, const std::string& tag, std::size_t from,
                                   std::string* attributes = nullptr) {
  const std::size_t open = xml.find("<" + tag, from);
  if (open == std::string::npos) return std::nullopt;
  const std::size_t openEnd = xml.find('>', open);
  if (attributes != nullptr) *attributes = xml.substr(open, openEnd - open);
  if (xml[openEnd - 1] == '/') return std::string();
  const std::size_t close = xml.find("</" + tag + ">", openEnd);
  return xml.substr(openEnd + 1, close - openEnd - 1);
}

TEST(Translations, EveryTextIsTranslatedWithItsArguments) {
  int files = 0;
  for (const auto& entry : fs::directory_iterator(VELLORAN_TRANSLATIONS_SOURCE_DIR)) {
    if (entry.path().extension() != ".ts") continue;
    ++files;
    std::ifstream in(entry.path());
    std::stringstream text;
    text << in.rdbuf();
    const std::string xml = text.str();
    int messages = 0;
    for (std::size_t at = xml.find("<message"); at != std::string::npos; at = xml.find("<message", at + 1)) {
      ++messages;
      const std::string source = Element(xml, "source", at).value_or("");
      std::string attributes;
      const std::string translation = Element(xml, "translation", at, &attributes).value_or("");
      SCOPED_TRACE(entry.path().filename().string() + ": " + source);
      EXPECT_FALSE(translation.empty());
      EXPECT_EQ(attributes.find("unfinished"), std::string::npos);
      EXPECT_EQ(attributes.find("obsolete"), std::string::npos) << "a text the program no longer has";
      EXPECT_EQ(Arguments(source), Arguments(translation));
    }
    EXPECT_GT(messages, 100) << entry.path();
  }
  EXPECT_GE(files, 1);
}

}  // namespace
}  // namespace velloran
