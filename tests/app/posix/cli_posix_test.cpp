// The command line on POSIX systems: file names that are not UTF-8, and
// Ctrl+C sent to a batch conversion.
#include <gtest/gtest.h>

#include <filesystem>

#include "formats/fdi.h"
#include "formats/format_table.h"
#include "model/disk_fingerprint.h"
#include "support/test_support.h"

namespace velloran {
namespace {

using test::Contains;

namespace fs = std::filesystem;
using test::RunCli;

// Strings are escaped and kept valid UTF-8 even when the file name is not:
// quotes, backslashes and control characters in a comment, Cyrillic text,
// and a name with a byte of another code page.
TEST(CliInfoJson, EscapesStringsAndKeepsUtf8Valid) {
  TZX_Disk disk;
  TTrack& track = disk.GetTrack(0);
  track.Present = true;
  PlaceGoodSector(track.Sectors[0], 0, 0, 1, 1);
  PlaceGoodSector(track.Sectors[1], 0, 0, 2, 1);
  track.Sectors[1].DataOk = false;
  disk.GetTrack(1).Present = true;
  disk.Comments = {"Say \"hi\"\\ \tдиск"};
  test::ScratchDir dir;
  const std::string name = "odd\xFFname\".fdi";
  ASSERT_TRUE(SaveFDI(disk, dir / name)) << disk.LastError;

  const auto run = RunCli({"info", (dir / name).string(), "--json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "{\"image\":\"" + dir.Path().string() +
                         "/odd\\ufffdname\\\".fdi\",\"format\":\"FDI\","
                         "\"format_name\":\"FDI sector image with headers\",\"found_by\":\"signature\","
                         "\"present_tracks\":2,\"sha256\":\"" +
                         ContentSha256(disk) +
                         "\",\"notes\":[],"
                         "\"comments\":[\"Say \\\"hi\\\"\\\\ \\tдиск\"],\"losses\":[],\"tracks\":["
                         "{\"track\":0,\"sectors\":2,\"good\":1,\"bad\":1,\"no_data\":0,\"id_crc_errors\":0,"
                         "\"raw\":false,\"copies\":0},"
                         "{\"track\":1,\"sectors\":0,\"good\":0,\"bad\":0,\"no_data\":0,\"id_crc_errors\":0,"
                         "\"raw\":false,\"copies\":0}]}\n");
  EXPECT_TRUE(run.err.empty()) << run.err;
}

// Ctrl+C lets the file under way finish and starts no other: every output
// is whole, no temporary file is left, and the summary counts the rest. A
// kill -9 leaves every output whole too.
TEST(CliBatchConvert, CtrlCStopsAfterTheFilesUnderWay) {
  test::ScratchDir dir;
  fs::create_directories(dir / "in");
  std::string inputs;
  for (int i = 0; i < 1000; ++i) {
    const auto link = dir / ("in/d" + std::to_string(i) + ".trd");
    fs::create_hard_link(test::CorpusFile("trd/chernandezba_zesarux-extras__ENJOY.TRD"), link);
    inputs += " '" + link.string() + "'";
  }
  const auto err = (dir / "err").string();
  const std::string script =
      std::string("'") + VELLORAN_CLI + "' convert --to udi" + inputs + " -d '" + (dir / "out").string() +
      "' --jobs 1 2>'" + err + "' & pid=$!\n" + "n=0; until grep -q '^\\[1/' '" + err +
      "' 2>/dev/null || [ $n -ge 3000 ]; do sleep 0.01; n=$((n+1)); done\n" + "kill -INT $pid; wait $pid";
  const auto run = test::RunProgram("sh", {"-c", script});
  EXPECT_EQ(run.exitCode, 1);
  const std::string prefix = "Converted: ";
  ASSERT_EQ(run.out.compare(0, prefix.size(), prefix), 0) << run.out;
  const int converted = std::stoi(run.out.substr(prefix.size()));
  EXPECT_EQ(run.out, prefix + std::to_string(converted) +
                         ", failed: 0, left out after Ctrl+C: " + std::to_string(1000 - converted) + "\n");
  int written = 0;
  for (const auto& entry : fs::directory_iterator(dir / "out")) {
    TZX_Disk disk;
    Diagnostic error;
    EXPECT_TRUE(LoadImage(disk, entry.path(), error)) << entry.path() << ": " << error;
    ++written;
  }
  EXPECT_EQ(written, converted);
  EXPECT_LT(converted, 1000);

  // Killed outright (kill -9) while every job replaces an older file: each
  // output is the old file or the whole new one, never a part, although the
  // folder is synced only at the end of a batch. The next batch removes the
  // temporaries the kill left and replaces every file.
  const auto expectedFile = dir / "expected.udi";
  ASSERT_EQ(RunCli({"convert", test::CorpusFile("trd/chernandezba_zesarux-extras__ENJOY.TRD").string(),
                    expectedFile.string()})
                .exitCode,
            0);
  const Bytes expected = test::ReadFileBytes(expectedFile);
  const Bytes old = {1, 2, 3};
  const auto output = [&](int i) { return dir / ("out/d" + std::to_string(i) + ".udi"); };
  for (int i = 0; i < 1000; ++i) test::WriteFileBytes(output(i), old);
  const auto killedErr = (dir / "killed-err").string();
  const std::string killScript =
      std::string("'") + VELLORAN_CLI + "' convert --to udi" + inputs + " -d '" + (dir / "out").string() + "' 2>'" +
      killedErr + "' & pid=$!\n" + "n=0; until grep -q '^\\[3/' '" + killedErr +
      "' 2>/dev/null || [ $n -ge 3000 ]; do sleep 0.01; n=$((n+1)); done\n" + "kill -9 $pid; wait $pid";
  EXPECT_EQ(test::RunProgram("sh", {"-c", killScript}).exitCode, 128 + 9);
  int replaced = 0;
  for (int i = 0; i < 1000; ++i) {
    const Bytes now = test::ReadFileBytes(output(i));
    EXPECT_TRUE(now == old || now == expected) << output(i) << ": " << now.size() << " bytes";
    if (now == expected) ++replaced;
  }
  EXPECT_GE(replaced, 3);
  EXPECT_LT(replaced, 1000);
  const auto again = test::RunProgram("sh", {"-c", std::string("'") + VELLORAN_CLI + "' convert --to udi" + inputs +
                                                       " -d '" + (dir / "out").string() + "' 2>/dev/null"});
  EXPECT_EQ(again.exitCode, 0);
  EXPECT_EQ(test::EntriesIn(dir / "out"), 1000);
  for (int i = 0; i < 1000; ++i) EXPECT_EQ(test::ReadFileBytes(output(i)), expected) << output(i);
}

// On a terminal the progress is one bar redrawn in place.
TEST(CliBatchConvert, DrawsABarOnATerminal) {
  if (!test::HaveProgram("script")) GTEST_SKIP() << "script (util-linux) is not installed";
  test::ScratchDir dir;
  const std::string command = std::string("'") + VELLORAN_CLI + "' convert --to udi '" +
                              test::CorpusFile("trd/tslabs_zx-evo__test1.trd").string() + "' '" +
                              test::CorpusFile("kdi/atsiperman_Korvet__disk.kdi").string() + "' -d '" +
                              (dir / "out").string() + "' --jobs 1";
  const auto run = test::RunProgram("script", {"-qec", command, "/dev/null"});
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_TRUE(Contains(run.out, "\r[###############...............] [1/2] tslabs_zx-evo__test1.trd\033[K")) << run.out;
  EXPECT_TRUE(Contains(run.out, "\r[##############################] [2/2] atsiperman_Korvet__disk.kdi\033[K\r\n"))
      << run.out;
  EXPECT_TRUE(Contains(run.out, "Converted: 2, failed: 0")) << run.out;
}

}  // namespace
}  // namespace velloran
