// Whole disks through the simulated drive: a disk read by scan and read
// equals the image in the drive, and a disk formatted and written onto a
// blank disk reads back equal; checked against real images and a TRD made
// by an independent tool.
#include <gtest/gtest.h>

#include <algorithm>

#include "drive/drive_test_support.h"
#include "engine/disk_engines.h"
#include "formats/trd.h"
#include "formats/udi.h"
#include "sim/simulated_drive.h"
#include "support/test_support.h"

namespace velloran {
namespace {

using test::RecordingHost;

// Runs one operation over tracks first..last on the drive.
DiskOperation RunOperation(TZX_Disk& disk, SimulatedDrive& drive, OperationSteps steps, int first, int last) {
  RecordingHost host;
  DiskOperation operation;
  operation.Steps = steps;
  operation.OpFirstTrack = first;
  operation.OpLastTrack = last;
  operation.RetryCount = 3;
  EXPECT_EQ(RunDiskOperation(disk, drive, host, operation), OperationOutcome::Completed);
  return operation;
}

SimulatedDrive& Ready(SimulatedDrive& drive) {
  drive.OpenControl();
  drive.OpenDrive('A');
  return drive;
}

TEST(RoundTripTest, TrdDiskReadThroughTheDriveEqualsTheImage) {
  const auto file = test::CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd");
  const Bytes original = test::ReadFileBytes(file);
  SimulatedDrive drive;
  ASSERT_TRUE(LoadTRDFromBytes(Ready(drive).Medium(), original));

  TZX_Disk disk;
  const DiskOperation done = RunOperation(disk, drive, kScanAndRead, 0, 159);
  EXPECT_EQ(done.BadSectors, 0);
  std::string difference;
  EXPECT_TRUE(test::SameSectors(drive.Medium(), disk, difference)) << difference;

  Bytes saved;
  ASSERT_TRUE(SaveTRDToBytes(disk, saved));
  EXPECT_EQ(saved, original);
}

TEST(RoundTripTest, UdiDiskWithCrcErrorAndDeletedDataReadsBackTheSame) {
  // Four tracks; one sector with a data CRC error, one behind a deleted-data mark.
  TZX_Disk source;
  for (int t = 0; t < 4; ++t) test::FillTrack(source, t, 9, 1);
  source.GetTrack(1).Sectors[2].DataOk = false;
  std::vector<std::uint8_t> raw(kRawTrackLength, 0x4E);
  ASSERT_TRUE(source.BuildRawTrack(2, raw.data(), nullptr));
  const std::uint8_t dataMark[] = {0xA1, 0xA1, 0xA1, 0xFB};
  auto mark = std::search(raw.begin(), raw.end(), std::begin(dataMark), std::end(dataMark));
  mark = std::search(mark + 4, raw.end(), std::begin(dataMark), std::end(dataMark));  // slot 1's field
  ASSERT_NE(mark, raw.end());
  mark[3] = 0xF8;
  TTrack& withRaw = source.GetTrack(2);
  std::copy(raw.begin(), raw.end(), withRaw.RawData.begin());
  withRaw.RawLength = kRawTrackLength;
  withRaw.RawValid = true;
  Bytes udi;
  ASSERT_TRUE(SaveUDIToBytes(source, udi));

  SimulatedDrive drive;
  ASSERT_TRUE(LoadUDIFromBytes(Ready(drive).Medium(), udi)) << drive.Medium().LastError;
  const TTrack& loaded = drive.Medium().GetTrack(2);
  const std::uint8_t deletedMark[] = {0xA1, 0xA1, 0xA1, 0xF8};
  ASSERT_NE(std::search(loaded.RawData.begin(), loaded.RawData.begin() + loaded.RawLength, std::begin(deletedMark),
                        std::end(deletedMark)),
            loaded.RawData.begin() + loaded.RawLength);
  ASSERT_FALSE(drive.Medium().GetTrack(1).Sectors[2].DataOk);
  ASSERT_TRUE(loaded.Sectors[1].DataOk);

  TZX_Disk disk;
  const DiskOperation done = RunOperation(disk, drive, kScanAndRead, 0, 3);
  EXPECT_EQ(done.BadSectors, 1);
  std::string difference;
  EXPECT_TRUE(test::SameSectors(drive.Medium(), disk, difference)) << difference;
  EXPECT_EQ(disk.GetTrack(1).Sectors[2].ErrorCount, 1);
  EXPECT_EQ(disk.GetTrack(1).Sectors[2].DataLen, 0);
}

TEST(RoundTripTest, RealUdiImageReadsBackWithItsCrcStates) {
  const auto file = test::CorpusFile("udi/alfishe_unreal-ng__Zvezdnoe_Nasledie.udi");
  SimulatedDrive drive;
  ASSERT_TRUE(LoadUDI(Ready(drive).Medium(), file)) << drive.Medium().LastError;
  TZX_Disk disk;
  const int last = drive.Medium().TracksToWrite() - 1;
  RunOperation(disk, drive, kScanAndRead, 0, last);
  std::string difference;
  EXPECT_TRUE(test::SameSectors(drive.Medium(), disk, difference)) << difference;
}

TEST(RoundTripTest, DiskFormattedAndWrittenOntoABlankDiskReadsBackEqual) {
  TZX_Disk source;
  ASSERT_TRUE(LoadTRD(source, test::CorpusFile("trd/tslabs_zx-evo__UMT2_3.TRD")));
  // An odd track: interleaved, mixed sizes, a foreign cylinder number.
  TTrack& odd = source.GetTrack(7);
  odd.Clear();
  odd.Present = true;
  const std::uint8_t numbers[] = {1, 4, 2, 5, 3};
  for (int i = 0; i < 5; ++i) {
    TSectorRec& slot = odd.Sectors[i];
    slot.Used = true;
    slot.IdTrack = 40;
    slot.IdSide = 1;
    slot.IdSector = numbers[i];
    slot.IdSize = 3;
    slot.IdCrc = IdFieldCrc(40, 1, numbers[i], 3);
    slot.DataLen = 1024;
    slot.DataOk = true;
    std::fill_n(slot.Data.begin(), 1024, static_cast<std::uint8_t>(0xA0 + i));
  }

  SimulatedDrive drive;
  Ready(drive);
  RunOperation(source, drive, kFormatAndWrite, 0, 159);
  TZX_Disk readBack;
  RunOperation(readBack, drive, kScanAndRead, 0, 159);
  std::string difference;
  EXPECT_TRUE(test::SameSectors(source, readBack, difference)) << difference;
  EXPECT_EQ(readBack.GetTrack(7).Sectors[1].IdSector, 4);
}

TEST(RoundTripTest, AgreesWithTheTrdThatScl2trdMakes) {
  if (!test::HaveProgram("scl2trd")) GTEST_SKIP() << "scl2trd (fuse-emulator-utils) is not installed";
  test::ScratchDir dir;
  const auto trd = dir / "eyeache2.trd";
  ASSERT_EQ(
      test::RunProgram("scl2trd", {test::CorpusFile("scl/alfishe_unreal-ng__eyeache2.scl").string(), trd.string()})
          .exitCode,
      0);
  const Bytes made = test::ReadFileBytes(trd);
  ASSERT_EQ(made.size(), 655360u);

  // Write the independent image onto a blank disk, read it back through the
  // drive, save it as TRD: the bytes must not change on the way.
  TZX_Disk source;
  ASSERT_TRUE(LoadTRDFromBytes(source, made));
  SimulatedDrive drive;
  Ready(drive);
  RunOperation(source, drive, kFormatAndWrite, 0, 159);
  TZX_Disk readBack;
  RunOperation(readBack, drive, kScanAndRead, 0, 159);
  Bytes saved;
  ASSERT_TRUE(SaveTRDToBytes(readBack, saved));
  EXPECT_EQ(saved, made);
}

}  // namespace
}  // namespace velloran
