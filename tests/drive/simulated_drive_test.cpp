// The simulated drive answers like a PC controller with a disk inserted, and
// shows the faults it is told to show.
#include "sim/simulated_drive.h"

#include <gtest/gtest.h>

#include "drive/drive_test_support.h"

namespace velloran {
namespace {

using namespace sim_error;

class SimulatedDriveTest : public ::testing::Test {
 protected:
  SimulatedDriveTest() {
    drive.OpenControl();
    drive.OpenDrive('A');
    test::FillTrack(drive.Medium(), 0, 4);
    test::FillTrack(drive.Medium(), 3, 4);
  }

  static ReadWriteBlock Block(IdHeader id, std::uint8_t head = 0) {
    ReadWriteBlock block;
    block.head = head;
    block.id = id;
    block.eot = static_cast<std::uint8_t>(id.r + 1);
    return block;
  }

  bool Read(IdHeader id, std::uint8_t head = 0) {
    buffer.assign(kSectorBufferSize, 0xEE);
    return drive.ReadData(Block(id, head), buffer, received);
  }

  SimulatedDrive drive;
  std::vector<std::uint8_t> buffer;
  std::size_t received = 0;
};

TEST_F(SimulatedDriveTest, ScanReturnsTheIdsOfTheTrackUnderTheHeadInTrackOrder) {
  std::swap(drive.Medium().GetTrack(3).Sectors[0], drive.Medium().GetTrack(3).Sectors[2]);
  ASSERT_TRUE(drive.Seek(1, 1));
  ScanResult result;
  ASSERT_TRUE(drive.ScanTrack(kFlagMfm, 1, result));
  ASSERT_EQ(result.byteCount, 17u);
  EXPECT_EQ(result.buffer[0], 4);
  const std::vector<std::uint8_t> ids(result.buffer.begin() + 1, result.buffer.begin() + 17);
  EXPECT_EQ(ids, (std::vector<std::uint8_t>{1, 1, 3, 1, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 4, 1}));

  ASSERT_TRUE(drive.ScanTrack(kFlagMfm, 0, result));  // head 0 of cylinder 1: nothing there
  EXPECT_EQ(result.byteCount, 1u);
}

TEST_F(SimulatedDriveTest, ReadFindsASectorByItsWholeId) {
  ASSERT_TRUE(Read({0, 0, 2, 1}));
  EXPECT_EQ(received, 256u);
  EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + 256, drive.Medium().GetTrack(0).Sectors[1].Data.begin()));

  EXPECT_FALSE(Read({0, 0, 2, 2}));  // wrong size code
  EXPECT_EQ(drive.LastError(), kSectorNotFound);
  EXPECT_FALSE(Read({1, 0, 2, 1}));  // wrong cylinder byte
  EXPECT_EQ(drive.LastError(), kSectorNotFound);
  EXPECT_FALSE(Read({0, 1, 2, 1}));     // wrong head byte
  EXPECT_FALSE(Read({0, 0, 2, 1}, 1));  // right ID on the other side: not there
  EXPECT_EQ(drive.LastError(), kSectorNotFound);
}

TEST_F(SimulatedDriveTest, BadDataFailsWithACrcErrorAndMissingDataAsNotFound) {
  drive.Medium().GetTrack(0).Sectors[0].DataOk = false;
  EXPECT_FALSE(Read({0, 0, 1, 1}));
  EXPECT_EQ(drive.LastError(), kCrc);
  EXPECT_EQ(received, 256u);  // the data still came over

  drive.Medium().GetTrack(0).Sectors[1].DataLen = 0;
  EXPECT_FALSE(Read({0, 0, 2, 1}));
  EXPECT_EQ(drive.LastError(), kSectorNotFound);
}

TEST_F(SimulatedDriveTest, ReadRunsFromRToOneBeforeEot) {
  test::FillTrack(drive.Medium(), 0, 16);
  ReadWriteBlock block = Block({0, 0, 1, 1});
  block.eot = 17;
  buffer.assign(kSectorBufferSize, 0);
  ASSERT_TRUE(drive.ReadData(block, buffer, received));
  EXPECT_EQ(received, 4096u);
  EXPECT_EQ(buffer[15 * 256 + 3], drive.Medium().GetTrack(0).Sectors[15].Data[3]);

  // Sector 17 does not exist: the transfer ends when the buffer is full
  // before the controller looks for it; with room left it fails.
  block.eot = 18;
  EXPECT_TRUE(drive.ReadData(block, buffer, received));
  buffer.assign(2 * kSectorBufferSize, 0);
  EXPECT_FALSE(drive.ReadData(block, buffer, received));
  EXPECT_EQ(drive.LastError(), kSectorNotFound);
  EXPECT_EQ(received, 4096u);
}

TEST_F(SimulatedDriveTest, WriteChangesTheMediumAndFormatReplacesTheTrack) {
  std::vector<std::uint8_t> data(256, 0x5A);
  ReadWriteBlock block = Block({0, 0, 3, 1});
  ASSERT_TRUE(drive.WriteData(block, data));
  EXPECT_EQ(drive.Medium().GetTrack(0).Sectors[2].Data[255], 0x5A);
  ASSERT_TRUE(Read({0, 0, 3, 1}));
  EXPECT_EQ(buffer[0], 0x5A);

  FormatBlock format;
  format.head = 0;
  format.sizeCode = 2;
  format.fill = 0xE5;
  format.headers = {{9, 9, 7, 2}, {9, 9, 8, 1}};
  ASSERT_TRUE(drive.FormatTrack(format));
  TTrack& track = drive.Medium().GetTrack(0);
  EXPECT_EQ(track.CountSectors(), 2);
  EXPECT_EQ(track.Sectors[1].IdSize, 1);
  EXPECT_FALSE(Read({0, 0, 3, 1}));  // the old sectors are gone
  ASSERT_TRUE(Read({9, 9, 7, 2}));
  EXPECT_EQ(received, 512u);
  EXPECT_EQ(buffer[511], 0xE5);
  // A header whose N differs from the formatted field length reads with a CRC error.
  EXPECT_FALSE(Read({9, 9, 8, 1}));
  EXPECT_EQ(drive.LastError(), kCrc);
}

TEST_F(SimulatedDriveTest, WriteProtectionAndMissingDisk) {
  drive.Faults().writeProtected = true;
  std::vector<std::uint8_t> data(256, 1);
  EXPECT_FALSE(drive.WriteData(Block({0, 0, 1, 1}), data));
  EXPECT_EQ(drive.LastError(), kWriteProtect);
  EXPECT_FALSE(drive.FormatTrack(FormatBlock{}));
  EXPECT_EQ(drive.LastError(), kWriteProtect);
  EXPECT_TRUE(Read({0, 0, 1, 1}));

  drive.Faults().noDisk = true;
  EXPECT_FALSE(Read({0, 0, 1, 1}));
  EXPECT_EQ(drive.LastError(), kNotReady);
  EXPECT_FALSE(drive.Seek(0, 0));
  EXPECT_EQ(drive.LastError(), kNotReady);
  EXPECT_TRUE(drive.Reset());
  EXPECT_EQ(drive.LastError(), 0u);
}

TEST_F(SimulatedDriveTest, SeeksBeyondTheLastCylinderOrAtAFaultFail) {
  EXPECT_TRUE(drive.Seek(82, 0));
  EXPECT_FALSE(drive.Seek(83, 0));
  EXPECT_EQ(drive.LastError(), kSeek);
  EXPECT_EQ(drive.Cylinder(), 82);
  drive.Faults().seekFailCylinder = 5;
  EXPECT_FALSE(drive.Seek(5, 1));
  EXPECT_TRUE(drive.Seek(6, 1));
}

TEST_F(SimulatedDriveTest, SectorsFailTheirFirstReadsOrAlways) {
  drive.Faults().failFirstReads[{0, 2}] = 2;
  drive.Faults().alwaysFail.insert({0, 3});
  EXPECT_FALSE(Read({0, 0, 2, 1}));
  EXPECT_FALSE(Read({0, 0, 2, 1}));
  EXPECT_TRUE(Read({0, 0, 2, 1}));
  EXPECT_TRUE(Read({0, 0, 2, 1}));
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(Read({0, 0, 3, 1}));
  EXPECT_EQ(drive.LastError(), kCrc);
}

TEST_F(SimulatedDriveTest, RandomErrorsFollowTheSeed) {
  auto pattern = [](std::uint32_t seed, double rate) {
    SimulatedDriveOptions options;
    options.faults.seed = seed;
    options.faults.errorRate = rate;
    SimulatedDrive sim(options);
    sim.OpenDrive('A');
    test::FillTrack(sim.Medium(), 0, 1);
    std::vector<std::uint8_t> data(kSectorBufferSize);
    std::size_t count = 0;
    std::string result;
    for (int i = 0; i < 200; ++i) result += sim.ReadData(Block({0, 0, 1, 1}), data, count) ? '.' : 'x';
    return result;
  };
  const std::string first = pattern(7, 0.25);
  EXPECT_EQ(first, pattern(7, 0.25));
  EXPECT_NE(first, pattern(8, 0.25));
  const auto failures = std::count(first.begin(), first.end(), 'x');
  EXPECT_GT(failures, 20);
  EXPECT_LT(failures, 80);
  EXPECT_EQ(pattern(7, 0.0).find('x'), std::string::npos);
  EXPECT_EQ(pattern(7, 1.0).find('.'), std::string::npos);
}

TEST_F(SimulatedDriveTest, OnlyTheDrivesThatExistOpen) {
  SimulatedDriveOptions options;
  options.faults.drives = "A";
  SimulatedDrive single(options);
  EXPECT_TRUE(single.OpenDrive('A'));
  EXPECT_FALSE(single.OpenDrive('B'));
  EXPECT_EQ(single.LastError(), kFileNotFound);
  EXPECT_FALSE(single.DriveOpen());
  EXPECT_FALSE(single.Reset());
  EXPECT_EQ(single.LastError(), kInvalidHandle);
}

// The clock: a scan is one turn, seeks cost steps and settling, and a track
// read in track order passes the head about once.
TEST_F(SimulatedDriveTest, SimulatedTimeFollowsTheDisk) {
  drive.ResetClock();
  ScanResult result;
  ASSERT_TRUE(drive.ScanTrack(kFlagMfm, 0, result));
  EXPECT_NEAR(drive.SimulatedSeconds(), 0.201, 1e-9);  // host 1 ms + one turn

  drive.ResetClock();
  ASSERT_TRUE(drive.Seek(10, 0));
  EXPECT_NEAR(drive.SimulatedSeconds(), 0.001 + 10 * 0.003 + 0.015, 1e-9);
  drive.ResetClock();
  ASSERT_TRUE(drive.Seek(10, 1));  // same cylinder: no stepping
  EXPECT_NEAR(drive.SimulatedSeconds(), 0.001, 1e-9);

  test::FillTrack(drive.Medium(), 0, 16);
  ASSERT_TRUE(drive.Seek(0, 0));
  drive.ResetClock();
  for (std::uint8_t r = 1; r <= 16; ++r) ASSERT_TRUE(Read({0, 0, r, 1}));
  EXPECT_GT(drive.Revolutions(), 0.9);
  EXPECT_LT(drive.Revolutions(), 2.0);

  // Reading against the order on the track costs about a turn per sector.
  drive.ResetClock();
  for (std::uint8_t r = 16; r >= 1; --r) ASSERT_TRUE(Read({0, 0, r, 1}));
  EXPECT_GT(drive.Revolutions(), 14.0);

  drive.ResetClock();
  EXPECT_FALSE(Read({0, 0, 99, 1}));  // not found: the controller waits for two index pulses
  EXPECT_GT(drive.Revolutions(), 1.0);
  EXPECT_LE(drive.Revolutions(), 2.01);
}

// READ ID answers with the ID that next passes the head and returns right
// behind it; a track without IDs keeps it looking for two index pulses.
TEST_F(SimulatedDriveTest, ReadIdAnswersWithTheNextIdUnderTheHead) {
  test::FillTrack(drive.Medium(), 0, 16);
  ASSERT_TRUE(drive.Seek(0, 0));
  const std::vector<SectorPlace> places = LayoutTrack(drive.Medium().GetTrack(0), 54, SimulatedTiming{});
  drive.ResetClock();
  IdHeader id;
  ASSERT_TRUE(drive.ReadId(kFlagMfm, 0, id));  // host 1 ms, then the first ID after it
  EXPECT_EQ(id, (IdHeader{0, 0, 1, 1}));
  EXPECT_EQ(static_cast<std::int64_t>(drive.SimulatedSeconds() * 1e6 + 0.5), places[0].idStart + 10 * 32);
  ASSERT_TRUE(drive.ReadId(kFlagMfm, 0, id));  // sector 1's data is still passing: sector 2 is next
  EXPECT_EQ(id.r, 2);
  // A read of the sector right behind still catches it; the one after is next then.
  ASSERT_TRUE(Read({0, 0, 3, 1}));
  ASSERT_TRUE(drive.ReadId(kFlagMfm, 0, id));
  EXPECT_EQ(id.r, 4);

  drive.ResetClock();
  EXPECT_FALSE(drive.ReadId(kFlagMfm, 1, id));  // head 1: an empty track
  EXPECT_EQ(drive.LastError(), kSectorNotFound);
  EXPECT_GT(drive.Revolutions(), 1.0);
  EXPECT_LE(drive.Revolutions(), 2.01);
}

TEST(SimulatedTimingTest, LayoutFollowsTheStandardTrackOrTheRawImage) {
  TZX_Disk disk;
  test::FillTrack(disk, 0, 16);
  const SimulatedTiming timing;
  std::vector<SectorPlace> places = LayoutTrack(disk.GetTrack(0), 54, timing);
  ASSERT_EQ(places.size(), 16u);
  // First ID mark after the index part (146 bytes) and its sync (12 bytes).
  EXPECT_EQ(places[0].idStart, 158 * 32);
  EXPECT_EQ(places[1].idStart - places[0].idStart, (116 + 256) * 32);
  EXPECT_EQ(places[0].dataEnd - places[0].idStart, (48 + 256 + 2) * 32);

  disk.GetTrack(0).RawValid = true;
  disk.GetTrack(0).RawLength = 6250;
  for (int i = 0; i < 16; ++i) disk.GetTrack(0).Sectors[i].DataPos = static_cast<std::uint16_t>(200 + 370 * i);
  places = LayoutTrack(disk.GetTrack(0), 54, timing);
  EXPECT_EQ(places[3].idStart, (200 + 370 * 3 - 48) * 32);
  EXPECT_EQ(places[3].dataEnd, (200 + 370 * 3 + 256 + 2) * 32);

  // Too many bytes for one turn: squeezed to fit.
  TZX_Disk crowded;
  test::FillTrack(crowded, 0, 12, 2);
  places = LayoutTrack(crowded.GetTrack(0), 54, timing);
  EXPECT_LE(places.back().dataEnd, timing.revolutionMicros);
}

}  // namespace
}  // namespace velloran
