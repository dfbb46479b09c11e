// The drive commands of velloran-cli on the simulated drive: whole disks
// read and written, the catalog, faults and the real drive's absence.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "formats/format_table.h"
#include "support/test_support.h"

namespace velloran {
namespace {

std::string Sim(const std::filesystem::path& image, const std::string& options = "") {
  return "sim:" + image.string() + (options.empty() ? "" : "?" + options);
}

const std::filesystem::path kTrd = test::CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd");

TEST(DriveCommandsTest, ReadDiskFromTheSimulatedDriveGivesTheImage) {
  test::ScratchDir dir;
  const auto out = dir / "read.trd";
  const auto result = test::RunCli({"read-disk", out.string(), "--drive", Sim(kTrd)});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(test::ReadFileBytes(out), test::ReadFileBytes(kTrd));
  EXPECT_NE(result.out.find("simulated time: "), std::string::npos);
  EXPECT_NE(result.err.find("The operation has started."), std::string::npos);
  EXPECT_NE(result.err.find("The operation is complete."), std::string::npos);
}

TEST(DriveCommandsTest, BadSectorsAreLoggedAndGiveExitCodeTwo) {
  test::ScratchDir dir;
  const auto out = dir / "read.udi";
  // The sector never read has no data field, which a UDI cannot hold.
  auto result = test::RunCli({"read-disk", out.string(), "--drive", Sim(kTrd, "bad=5:3&flaky=6:1:2"), "--first", "4",
                              "--last", "7", "--retries", "3"});
  EXPECT_EQ(result.exitCode, 1) << result.err;
  EXPECT_TRUE(result.err.find("track 5, sector 3: a sector without a data field") != std::string::npos) << result.err;
  EXPECT_FALSE(std::filesystem::exists(out));
  result = test::RunCli({"read-disk", out.string(), "--drive", Sim(kTrd, "bad=5:3&flaky=6:1:2"), "--first", "4",
                         "--last", "7", "--retries", "3", "--lossy"});
  EXPECT_EQ(result.exitCode, 2) << result.err;
  EXPECT_NE(result.err.find("Sector read error 23 (track 5, sector 3)"), std::string::npos);
  EXPECT_EQ(result.err.find("(track 6, sector 1)"), std::string::npos);  // third attempt succeeded
  EXPECT_NE(result.err.find("Bad sectors: 1"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(out));
}

TEST(DriveCommandsTest, FormatAndWriteOntoABlankDiskThenReadBack) {
  test::ScratchDir dir;
  const auto written = dir / "written.trd";
  auto result = test::RunCli({"write-disk", kTrd.string(), "--format", "--drive", "sim:?save=" + written.string()});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(test::ReadFileBytes(written), test::ReadFileBytes(kTrd));

  // Without --format the blank disk has no sectors to write into.
  const auto blank = dir / "blank.udf";
  result = test::RunCli(
      {"write-disk", kTrd.string(), "--drive", "sim:?save=" + blank.string(), "--last", "0", "--retries", "1"});
  EXPECT_EQ(result.exitCode, 2) << result.err;
  EXPECT_NE(result.err.find("Sector write error 27 (track 0, sector 1)"), std::string::npos);
  TZX_Disk medium;
  Diagnostic error;
  ASSERT_TRUE(LoadImage(medium, blank, error)) << error;
  EXPECT_EQ(medium.CountTracks(), 0);  // still a disk without tracks
}

TEST(DriveCommandsTest, CatalogThroughTheEnvironmentVariable) {
  test::RunResult fromDrive;
  {
    const test::ScopedEnvironment drive("VELLORAN_DRIVE", Sim(kTrd));
    fromDrive = test::RunCli({"catalog"});
  }
  ASSERT_EQ(fromDrive.exitCode, 0) << fromDrive.err;
  const auto fromImage = test::RunCli({"ls", kTrd.string()});
  ASSERT_EQ(fromImage.exitCode, 0) << fromImage.err;
  // The same listing, followed by the simulated time.
  EXPECT_EQ(fromDrive.out.substr(0, fromImage.out.size()), fromImage.out);
}

TEST(DriveCommandsTest, FaultsEndWithTheirMessages) {
  auto result = test::RunCli({"catalog", "--drive", Sim(kTrd, "nodisk")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("Seek error (21)!"), std::string::npos) << result.err;

  result = test::RunCli({"catalog", "--drive", Sim(kTrd, "nodriver")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("Cannot load the driver!"), std::string::npos) << result.err;

  result = test::RunCli({"catalog", "--drive", Sim(test::CorpusFile("kdi/atsiperman_Korvet__disk.kdi"))});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("Error 27 reading track 0!"), std::string::npos) << result.err;

  // A write that fails says so in its exit code and its last log line.
  test::ScratchDir dir;
  result = test::RunCli({"write-disk", kTrd.string(), "--drive", Sim(kTrd, "protect"), "--last", "1"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_NE(result.err.find("Sector write error 19 (track 1, sector 16)"), std::string::npos);
  EXPECT_TRUE(result.err.ends_with("Bad sectors: 32\n")) << result.err;

  // A seek failure partway: what was read is saved, and the log names the rest.
  for (const char* fast : {"", "--fast"}) {
    const auto out = dir / "x.trd";
    std::vector<std::string> args = {"read-disk", out.string(), "--drive", Sim(kTrd, "seekfail=3")};
    if (*fast) args.push_back(fast);
    result = test::RunCli(args);
    EXPECT_EQ(result.exitCode, 2) << fast;
    EXPECT_NE(result.err.find("Seek error (25)!"), std::string::npos) << fast;
    EXPECT_NE(result.err.find("Tracks 6 to 159 were not read"), std::string::npos) << fast;
    const Bytes saved = test::ReadFileBytes(out);
    const Bytes image = test::ReadFileBytes(kTrd);
    ASSERT_EQ(saved.size(), 6u * 4096) << fast;
    EXPECT_TRUE(std::equal(saved.begin(), saved.end(), image.begin())) << fast;
    std::filesystem::remove(out);
  }
}

TEST(DriveCommandsTest, FastReadAndRetriesZeroGiveTheImage) {
  test::ScratchDir dir;
  const auto out = dir / "fast.trd";
  auto result = test::RunCli({"read-disk", out.string(), "--fast", "--drive", Sim(kTrd)});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(test::ReadFileBytes(out), test::ReadFileBytes(kTrd));
  EXPECT_NE(result.err.find("Track 100 laid out like the previous track"), std::string::npos);

  // A count of 0 attempts is one attempt: every sector is read.
  result = test::RunCli({"read-disk", out.string(), "--retries", "0", "--drive", Sim(kTrd)});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(test::ReadFileBytes(out), test::ReadFileBytes(kTrd));

  // A flaky sector comes back on a re-read; a bad one stays and is counted.
  result = test::RunCli({"read-disk", (dir / "part.udi").string(), "--fast", "--drive",
                         Sim(kTrd, "bad=5:3&flaky=6:1:2"), "--first", "4", "--last", "7", "--retries", "3", "--lossy"});
  EXPECT_EQ(result.exitCode, 2) << result.err;
  EXPECT_NE(result.err.find("Sector read on a re-read, attempt 2 (track 6, sector 1)"), std::string::npos)
      << result.err;
  EXPECT_NE(result.err.find("Recovered on a re-read: 1\nBad sectors: 1\n"), std::string::npos) << result.err;
}

TEST(DriveCommandsTest, WrongArgumentsAreRefused) {
  EXPECT_EQ(test::RunCli({"read-disk", "out.xyz", "--drive", Sim(kTrd)}).exitCode, 1);
  EXPECT_EQ(test::RunCli({"read-disk", "out.trd", "--drive", "Q"}).exitCode, 1);
  EXPECT_EQ(test::RunCli({"read-disk", "out.trd", "--drive", Sim(kTrd), "--last", "200"}).exitCode, 1);
  EXPECT_EQ(test::RunCli({"read-disk", "out.trd", "--drive", Sim(kTrd, "bogus")}).exitCode, 1);
  const auto help = test::RunCli({"read-disk", "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("flaky=T:R:K"), std::string::npos);
}

// Windows has no pseudo-terminal for the simulated Greaseweazle.
#ifdef _WIN32
constexpr bool kSimulatedGreaseweazle = false;
#else
constexpr bool kSimulatedGreaseweazle = true;
#endif

TEST(DriveCommandsTest, GreaseweazleReadKeepsEveryRevolutionAndNamesBadSectors) {
  if (!kSimulatedGreaseweazle) GTEST_SKIP() << "the simulated Greaseweazle needs a pseudo-terminal";
  test::ScratchDir dir;
  const auto out = dir / "read.trd";
  const auto flux = dir / "read.scp";
  const auto report = dir / "read.json";
  const auto result = test::RunCli({"read-disk", out.string(), "--drive",
                                    "gw-sim:" + kTrd.string() + "?weak=4:2&bad=5:9", "--first", "0", "--last", "7",
                                    "--revs", "3", "--flux", flux.string(), "--lossy", "--report", report.string()});
  EXPECT_EQ(result.exitCode, 2) << result.err;
  EXPECT_NE(result.err.find("Sector read on a re-read, attempt 2 (track 4, sector 2)"), std::string::npos)
      << result.err;
  EXPECT_NE(result.err.find("Sector not read (track 5, sector 9)"), std::string::npos) << result.err;
  EXPECT_NE(result.out.find("revolutions read in"), std::string::npos) << result.out;
  // The capture holds the same disk: converted on its own it gives the image read.
  const auto converted = dir / "converted.trd";
  ASSERT_EQ(test::RunCli({"convert", flux.string(), converted.string(), "--lossy"}).exitCode, 0);
  EXPECT_EQ(test::ReadFileBytes(converted), test::ReadFileBytes(out));
  const Bytes image = test::ReadFileBytes(kTrd);
  const Bytes read = test::ReadFileBytes(out);
  ASSERT_GE(read.size(), 8u * 4096);
  // Tracks 0..7 hold the image's bytes except the bad sector 9 of track 5.
  const std::size_t badAt = 5 * 4096 + 8 * 256;
  EXPECT_TRUE(std::equal(image.begin(), image.begin() + badAt, read.begin()));
  EXPECT_TRUE(std::equal(image.begin() + badAt + 256, image.begin() + 8 * 4096, read.begin() + badAt + 256));

  // Without --lossy the TRD cannot hold the bad sector: the disk as read goes
  // to OUT.udf, and the capture is saved all the same.
  const auto strict = dir / "strict.trd";
  const auto strictFlux = dir / "strict.scp";
  EXPECT_EQ(test::RunCli({"read-disk", strict.string(), "--drive", "gw-sim:" + kTrd.string() + "?bad=5:9", "--first",
                          "0", "--last", "7", "--flux", strictFlux.string()})
                .exitCode,
            1);
  EXPECT_FALSE(std::filesystem::exists(strict));
  EXPECT_TRUE(std::filesystem::exists(dir / "strict.trd.udf"));
  ASSERT_EQ(test::RunCli({"convert", strictFlux.string(), converted.string(), "--lossy"}).exitCode, 0);
  EXPECT_EQ(test::ReadFileBytes(converted), read);

  // The report names the revolution of the SCP each sector came from: the
  // first for a clean track, one of the re-read's three (4 to 6) for the
  // weak sector read good on the second pass; a clean track is read the
  // normal way (no other variant).
  if (!test::HaveProgram("python3")) GTEST_SKIP() << "python3 is not installed to read the report";
  const auto check =
      test::RunProgram("python3", {"-c",
                                   "import json,sys; r=json.load(open(sys.argv[1])); "
                                   "s={(t['track'],x['sector']):x for t in r['tracks'] for x in t['sectors']}; "
                                   "assert all(s[(0,n)]['source']=='revolution 1' for n in range(1,17)), s[(0,1)]; "
                                   "assert all(s[(0,n)]['variant'] is None for n in range(1,17)), s[(0,1)]; "
                                   "assert s[(4,2)]['state']=='good' and s[(4,2)]['source'] in "
                                   "('revolution 4','revolution 5','revolution 6'), s[(4,2)]; "
                                   "assert r['bad_tracks']==[5]",
                                   report.string()});
  EXPECT_EQ(check.exitCode, 0) << check.err;
}

TEST(DriveCommandsTest, GreaseweazleWriteWithVerifyOntoABlankDisk) {
  if (!kSimulatedGreaseweazle) GTEST_SKIP() << "the simulated Greaseweazle needs a pseudo-terminal";
  test::ScratchDir dir;
  const auto written = dir / "written.trd";
  auto result = test::RunCli({"write-disk", kTrd.string(), "--verify", "--drive", "gw-sim:?save=" + written.string()});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(test::ReadFileBytes(written), test::ReadFileBytes(kTrd));

  result = test::RunCli({"write-disk", kTrd.string(), "--drive", "gw-sim:?protect"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("the disk is write-protected"), std::string::npos) << result.err;
  result = test::RunCli({"read-disk", (dir / "x.trd").string(), "--drive", "gw:/no/such/tty"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("Cannot open /no/such/tty"), std::string::npos) << result.err;
  result = test::RunCli({"read-disk", (dir / "x.trd").string(), "--drive", "gw-sim:", "--flux", "x.hfe"});
  EXPECT_EQ(result.exitCode, 1);
}

TEST(DriveCommandsTest, RealDriveAbsentOnThisMachine) {
  if (std::filesystem::exists("/dev/fd0") || std::filesystem::exists("/dev/fd1"))
    GTEST_SKIP() << "this machine has a floppy drive";
  const auto result = test::RunCli({"catalog", "--drive", "A"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("Cannot load the driver!"), std::string::npos) << result.err;
#ifdef __linux__
  // The Linux backend says what to load.
  EXPECT_NE(result.err.find("modprobe floppy"), std::string::npos) << result.err;
#endif
}

}  // namespace
}  // namespace velloran
