// The loss check of saves on the cases real disks bring: a sector dump
// cannot hold CRC states, SCL only holds the catalog's files, and a sector
// longer than a track goes out cut, with --lossy only.
#include <gtest/gtest.h>

#include "formats/format_table.h"
#include "formats/sample_disks.h"
#include "support/test_support.h"

namespace velloran {
namespace {

// The kinds of the losses at one place, in order.
std::vector<LossKind> KindsAt(const SaveLosses& losses, int track, int sector) {
  std::vector<LossKind> kinds;
  for (const auto& loss : losses)
    if (loss.track == track && loss.sector == sector) kinds.push_back(loss.kind);
  return kinds;
}

TEST(SaveLosses, SectorDumpsCannotHoldBadOrMissingData) {
  TZX_Disk disk;
  test::MakeTrdosLayoutDisk(disk, 4);
  disk.GetSector(2, 4).DataOk = false;  // sector 5 of track 2
  disk.GetSector(3, 0).DataLen = 0;
  disk.GetSector(3, 0).DataOk = false;
  for (const char* key : {"TRD", "SCL"}) {
    const SaveLosses losses = FindSaveLosses(disk, *FindFormat(key));
    EXPECT_EQ(KindsAt(losses, 2, 5), std::vector{LossKind::DataCrcState}) << key;
    EXPECT_EQ(KindsAt(losses, 3, 1), std::vector{LossKind::NoDataField}) << key;
  }
  // Formats that hold the states lose nothing of it.
  for (const char* key : {"UDI", "TD0", "FDI", "DSK", "IMD", "UDF"})
    EXPECT_TRUE(KindsAt(FindSaveLosses(disk, *FindFormat(key)), 2, 5).empty()) << key;
}

TEST(SaveLosses, SclLosesEverythingOutsideTheLiveFiles) {
  TZX_Disk disk;
  test::MakeTrdosCatalogDisk(disk);  // two files on track 1; patterned sectors everywhere else
  const SaveLosses losses = FindSaveLosses(disk, *FindFormat("SCL"));
  EXPECT_TRUE(KindsAt(losses, 1, 1).empty()) << "a sector of the first file";
  EXPECT_EQ(KindsAt(losses, 1, 6), std::vector{LossKind::OutsideFiles}) << "the sector after the last file";
  EXPECT_EQ(KindsAt(losses, 0, 9), std::vector{LossKind::OutsideFiles}) << "the disk's label";
  EXPECT_EQ(KindsAt(losses, 100, 16), std::vector{LossKind::OutsideFiles});

  // Read back from SCL, the disk is what SCL holds.
  test::ScratchDir dir;
  SaveOptions lossy;
  lossy.lossy = true;
  Diagnostic error;
  ASSERT_TRUE(SaveImage(disk, dir / "files.scl", lossy, error)) << error;
  TZX_Disk loaded;
  ASSERT_TRUE(LoadImage(loaded, dir / "files.scl", error)) << error;
  EXPECT_TRUE(FindSaveLosses(loaded, *FindFormat("SCL")).empty());
}

// A copy-protection track of one 8 KB sector (size code 6), as DSK files
// hold it: the track formats refuse it, and with --lossy write it cut at the
// track's end.
TEST(SaveLosses, ASectorLongerThanATrackIsWrittenCutWithLossy) {
  TZX_Disk disk;
  test::MakeTrdosLayoutDisk(disk, 2);
  TTrack& track = disk.GetTrack(1);
  track.Clear();
  test::PutSector(disk, 1, 0, 0, 1, 1, 6);
  for (const char* key : {"UDI", "SCP", "MFI", "HFE"}) {
    const ImageFormat& format = *FindFormat(key);
    test::ScratchDir dir;
    const auto file = dir / ("long." + std::string(format.defaultExtension));
    Diagnostic error;
    EXPECT_FALSE(SaveImage(disk, file, {}, error)) << key;
    SaveOptions lossy;
    lossy.lossy = true;
    SaveLosses losses;
    ASSERT_TRUE(SaveImage(disk, file, lossy, error, &losses)) << key << ": " << error;
    EXPECT_EQ(KindsAt(losses, 1, 1), std::vector{LossKind::SectorData}) << key;
    // The HFE reader refuses a data field that runs past the end of the track.
    if (format.key == "HFE") continue;
    TZX_Disk loaded;
    ASSERT_TRUE(LoadImage(loaded, file, error)) << key << ": " << error;
    const TSectorRec& sector = loaded.GetSector(1, 0);
    EXPECT_EQ(sector.IdSize, 6) << key;
    EXPECT_FALSE(sector.DataOk) << key;
    EXPECT_EQ(sector.Data[0], disk.GetSector(1, 0).Data[0]) << key;
  }
}

}  // namespace
}  // namespace velloran
