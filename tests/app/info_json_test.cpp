// info --json: the facts of info as one JSON object for scripts.
#include <gtest/gtest.h>

#include "support/test_support.h"

namespace velloran {
namespace {

using test::RunCli;

// Python's own JSON reader takes the output for every corpus file info
// takes, Hobeta files included, and it tells the same format and as many
// present tracks as the text form of info (a Hobeta file's checksum state).
TEST(CliInfoJson, EveryCorpusFileGivesJsonThatPythonReads) {
  if (!test::HaveProgram("python3")) GTEST_SKIP() << "python3 is not installed";
  test::ScratchDir dir;
  std::vector<std::string> jsonFiles;
  std::string expected;
  const auto line = [](const std::string& text, const std::string& label) {
    const auto at = text.find(label);
    if (at == std::string::npos) return std::string("?");
    const auto start = at + label.size();
    return text.substr(start, text.find_first_of(" \n", start) - start);
  };
  for (const auto& entry : std::filesystem::directory_iterator(VELLORAN_CORPUS_DIR)) {
    if (!entry.is_directory()) continue;
    for (const auto& image : test::CorpusFiles(entry.path().filename().string())) {
      const auto text = RunCli({"info", image.string()});
      if (text.exitCode != 0) continue;
      const auto json = RunCli({"info", "--json", image.string()});
      ASSERT_EQ(json.exitCode, 0) << image;
      jsonFiles.push_back((dir / (std::to_string(jsonFiles.size()) + ".json")).string());
      test::WriteFileBytes(jsonFiles.back(), Bytes(json.out.begin(), json.out.end()));
      expected +=
          image.string() + " " + line(text.out, "Format: ") + " " +
          (line(text.out, "Checksum: ") == "?" ? line(text.out, "Present tracks: ") : line(text.out, "Checksum: ")) +
          "\n";
    }
  }
  ASSERT_FALSE(jsonFiles.empty());
  std::vector<std::string> args{"-c",
                                "import json, sys\n"
                                "for name in sys.argv[1:]:\n"
                                "    with open(name, encoding='utf-8') as f:\n"
                                "        info = json.load(f)\n"
                                "    if info['format'] == 'Hobeta':\n"
                                "        fact = 'good' if info['checksum_good'] else 'bad'\n"
                                "    else:\n"
                                "        assert len(info['tracks']) == info['present_tracks']\n"
                                "        fact = info['present_tracks']\n"
                                "    print(info['image'], info['format'], fact)\n"};
  args.insert(args.end(), jsonFiles.begin(), jsonFiles.end());
  const auto run = test::RunProgram("python3", args);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, expected);
}

}  // namespace
}  // namespace velloran
