// The command line speaks one language at a time: under a Russian locale its
// help, its syntax errors and its reports hold no English word (names of
// things, syntax and placeholders aside), under the C locale no Russian one.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "support/test_support.h"

namespace velloran {
namespace {

// Latin words a Russian text may hold, each with its reason.
const std::set<std::string, std::less<>> kLatinAllowed = {
    // Command names and the words of their syntax: typed as they are.
    "info", "convert", "formats", "ls", "get", "put", "rm", "compact", "merge", "plot", "catalog", "histogram",
    "timing", "disk", "nodisk", "protect", "nodriver", "noindex", "seed", "cylinders", "save",
    // Names of devices, programs, formats and companies.
    "Greaseweazle", "Shugart", "TeleDisk", "ImageDisk", "SuperCard", "Pro", "Profi", "KryoFlux", "HxC", "Spectrum",
    "Velloran", "libpng"};

// A word of the text stripped of the signs around it.
std::string_view Stripped(std::string_view word) {
  constexpr std::string_view kOpening = "([«'\"";
  constexpr std::string_view kClosing = ")],;.!»'\"";
  while (!word.empty() && kOpening.find(word.front()) != std::string_view::npos) word.remove_prefix(1);
  while (!word.empty() && kClosing.find(word.back()) != std::string_view::npos) word.remove_suffix(1);
  return word;
}

bool HasLowercaseLatin(std::string_view word) {
  return std::any_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

// Syntax the user types or reads as it is: options (--fast), paths and
// patterns (*.udi, FILE.scp), drives (gw[:DEVICE], sim:IMAGE?bad=T:R),
// units (kbit/s), hex digits (a SHA-256).
bool IsSyntax(std::string_view word) {
  if (word.starts_with('-')) return true;
  if (word.find_first_of(":=?|/*.+_-") != std::string_view::npos) return true;
  const bool digit = word.find_first_of("0123456789") != std::string_view::npos;
  return digit && word.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// The Latin words of a Russian text that no rule allows.
std::vector<std::string> EnglishWords(const std::string& text) {
  std::vector<std::string> found;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of(" \n\t", start);
    if (end == std::string::npos) end = text.size();
    const std::string_view word = Stripped(std::string_view(text).substr(start, end - start));
    if (HasLowercaseLatin(word) && !IsSyntax(word) && !kLatinAllowed.contains(word)) found.emplace_back(word);
    start = end + 1;
  }
  return found;
}

bool HasCyrillic(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0xD0 && byte <= 0xD3;
  });
}

TEST(CliLanguageScan, FindsEnglishWordsButNotSyntaxOrNames) {
  EXPECT_EQ(EnglishWords("Запуск: velloran-cli КОМАНДА --fast gw[:DEVICE] *.udi FILE.scp 250 kbit/s 1750c11d"),
            std::vector<std::string>{});
  EXPECT_EQ(EnglishWords("Greaseweazle (TeleDisk) «nodisk»"), std::vector<std::string>{});
  EXPECT_EQ(EnglishWords("неизвестный option 'ZZ' (expected A)"), (std::vector<std::string>{"option", "expected"}));
}

struct CliCase {
  const char* name;
  std::vector<std::string> arguments;
};

class CliSpeaksOneLanguage : public testing::TestWithParam<CliCase> {};

TEST_P(CliSpeaksOneLanguage, RussianWithoutEnglishEnglishWithoutRussian) {
  test::ScratchDir dir;
  std::vector<std::string> arguments = GetParam().arguments;
  for (std::string& argument : arguments) {
    if (argument == "OUT") argument = (dir / "out.trd").string();
    if (argument == "TRD") argument = test::CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd").string();
  }
  const test::ScopedEnvironment noOverride("LC_ALL", "");
  const test::ScopedEnvironment noList("LANGUAGE", "");
  {
    const test::ScopedEnvironment russian("LANG", "ru_RU.UTF-8");
    const auto run = test::RunCli(arguments);
    const std::string text = run.out + run.err;
    EXPECT_TRUE(HasCyrillic(text)) << text;
    std::string words;
    for (const std::string& word : EnglishWords(text)) words += word + ' ';
    EXPECT_EQ(words, "") << text;
  }
  {
    const test::ScopedEnvironment english("LANG", "C.UTF-8");
    const auto run = test::RunCli(arguments);
    EXPECT_FALSE(HasCyrillic(run.out + run.err)) << run.out + run.err;
  }
}

INSTANTIATE_TEST_SUITE_P(Commands, CliSpeaksOneLanguage,
                         testing::Values(CliCase{"Help", {"--help"}}, CliCase{"DriveHelp", {"read-disk", "--help"}},
                                         CliCase{"UnknownDrive", {"read-disk", "OUT", "--drive", "ZZ"}},
                                         CliCase{"BadSectorList", {"read-disk", "OUT", "--drive", "sim:?bad=1"}},
                                         CliCase{"BadDriveOption", {"read-disk", "OUT", "--drive", "gw-sim:?LOUD"}},
                                         CliCase{"NumberOutOfRange", {"read-disk", "OUT", "--retries", "999"}},
                                         CliCase{"PlotFileKind", {"plot", "TRD", "--kind", "disk", "-o", "OUT"}},
                                         CliCase{"Info", {"info", "TRD"}}, CliCase{"Formats", {"formats"}}),
                         [](const testing::TestParamInfo<CliCase>& tested) { return std::string(tested.param.name); });

}  // namespace
}  // namespace velloran
