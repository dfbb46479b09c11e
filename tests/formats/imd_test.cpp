// IMD facts the shared suites do not reach: the header line and comment,
// the record of each sector state, the maps, what the disk cannot hold.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "formats/imd.h"
#include "formats/sample_disks.h"
#include "support/test_support.h"

namespace velloran {
namespace {

const std::tm kCreated = test::SampleCreationTime();

Bytes Saved(TZX_Disk& disk) {
  Bytes file;
  EXPECT_TRUE(SaveIMDToBytes(disk, file, kCreated)) << disk.LastError;
  return file;
}

std::string Text(const Bytes& bytes, std::size_t from, std::size_t count) {
  return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                     bytes.begin() + static_cast<std::ptrdiff_t>(from + count));
}

// A TR-DOS track on side 1 (IDs say side 0), then a track whose sectors are
// all one byte, bad, or without data, with IDs of another cylinder.
TEST(Imd, RecordsMapsAndCommentRoundTrip) {
  TZX_Disk disk;
  disk.Comments = {"Диск 1", "", "second line"};
  for (int i = 0; i < 2; ++i) test::PutSector(disk, 1, i, 0, 0, static_cast<std::uint8_t>(i + 1), 1);
  test::PutSector(disk, 2, 0, 9, 1, 1, 0);
  disk.GetSector(2, 0).Data.fill(0xE5);
  test::PutSector(disk, 2, 1, 9, 1, 2, 0, false);
  test::PutSector(disk, 2, 2, 9, 1, 3, 0);
  disk.GetSector(2, 2).DataLen = 0;
  disk.GetSector(2, 2).DataOk = false;
  const Bytes file = Saved(disk);

  const std::string header = "IMD 1.18: 05/03/2008 14:07:09\r\n";
  ASSERT_EQ(Text(file, 0, header.size()), header);
  const std::string comment = "\x84\xA8\xE1\xAA 1\r\n\r\nsecond line\r\n\x1A";  // CP866
  ASSERT_EQ(Text(file, header.size(), comment.size()), comment);
  std::size_t at = header.size() + comment.size();
  // Mode 5, cylinder 0, head 1 with a head map, 2 sectors of 256 bytes.
  EXPECT_EQ(Bytes(file.begin() + at, file.begin() + at + 9), (Bytes{5, 0, 0x41, 2, 1, 1, 2, 0, 0}));
  at += 9;
  EXPECT_EQ(file[at], 1);
  at += 1 + 256;
  EXPECT_EQ(file[at], 1);
  at += 1 + 256;
  // Cylinder 1, head 0 with both maps, 3 sectors of 128 bytes.
  EXPECT_EQ(Bytes(file.begin() + at, file.begin() + at + 14), (Bytes{5, 1, 0xC0, 3, 0, 1, 2, 3, 9, 9, 9, 1, 1, 1}));
  at += 14;
  EXPECT_EQ(Bytes(file.begin() + at, file.begin() + at + 2), (Bytes{2, 0xE5})) << "all one byte";
  at += 2;
  EXPECT_EQ(file[at], 5) << "data with a CRC error";
  at += 1 + 128;
  EXPECT_EQ(file[at], 0) << "no data";
  EXPECT_EQ(file.size(), at + 1);

  TZX_Disk loaded;
  ASSERT_TRUE(LoadIMDFromBytes(loaded, file)) << loaded.LastError;
  EXPECT_EQ(test::DiskDifference(disk, loaded, {true, true}), "");
  EXPECT_TRUE(loaded.Notices.empty());
}

TEST(Imd, TracksItCannotHoldAreRefused) {
  TZX_Disk disk;
  test::PutSector(disk, 0, 0, 0, 0, 1, 1);
  test::PutSector(disk, 0, 1, 0, 0, 2, 2);
  Bytes file;
  EXPECT_FALSE(SaveIMDToBytes(disk, file, kCreated));
  EXPECT_EQ(test::English(disk.LastError), "IMD cannot hold the disk: track 0 has sectors of different sizes!");
  disk.GetTrack(0).ClearSector(1);
  disk.GetSector(0, 0).DataLen = 200;
  EXPECT_FALSE(SaveIMDToBytes(disk, file, kCreated));
  EXPECT_EQ(test::English(disk.LastError), "IMD cannot hold the disk: track 0, sector 1 holds 200 of its 256 bytes!");
}

// Records ImageDisk writes beyond plain MFM sectors: deleted-data marks and
// FM tracks (held), a table of sector sizes, and a cylinder past 82 (carried
// as a loss when it holds sectors).
TEST(Imd, ForeignRecordsLoadWithNotices) {
  Bytes file = {'I', 'M', 'D', ' ', '1', '.', '1', '8', ':', ' ', 'x', '\r', '\n', 'h', 'i', 0x1A};
  // FM track 0: sectors 1 and 2 of 128 bytes, deleted (compressed), and deleted with an error.
  Bytes track0 = {2, 0, 0, 2, 0, 1, 2, 4, 0x77, 7};
  track0.insert(track0.end(), 128, 0x42);
  // Track 1: sizes from a table, 256 and 512 bytes.
  Bytes track1 = {5, 0, 1, 2, 0xFF, 1, 2};
  AppendLe16(track1, 256);
  AppendLe16(track1, 512);
  track1.insert(track1.end(), {2, 0x11, 6, 0x22});
  // Cylinder 83: blank, and then one that holds a sector.
  const Bytes beyond = {5, 83, 0, 0, 2};
  for (const Bytes& part : {track0, track1, beyond}) file.insert(file.end(), part.begin(), part.end());

  TZX_Disk disk;
  ASSERT_TRUE(LoadIMDFromBytes(disk, file)) << disk.LastError;
  EXPECT_EQ(disk.Comments, std::vector<std::string>{"hi"});
  EXPECT_EQ(disk.GetSector(0, 0).Data[127], 0x77);
  EXPECT_TRUE(disk.GetSector(0, 0).DataOk);
  EXPECT_EQ(disk.GetSector(0, 1).Data[0], 0x42);
  EXPECT_FALSE(disk.GetSector(0, 1).DataOk);
  EXPECT_EQ(disk.GetSector(1, 0).IdSize, 1);
  EXPECT_EQ(disk.GetSector(1, 1).IdSize, 2);
  EXPECT_EQ(disk.GetSector(1, 1).DataLen, 512);
  EXPECT_FALSE(disk.GetSector(1, 1).DataOk);
  EXPECT_EQ(test::English(disk.Notices),
            (std::vector<std::string>{
                "The IMD image is larger than the program holds: the blank tracks of cylinder 83 were not loaded.",
            }));
  EXPECT_TRUE(disk.Losses.empty());
  EXPECT_TRUE(disk.GetSector(0, 0).DeletedMark);
  EXPECT_TRUE(disk.GetSector(0, 1).DeletedMark);
  EXPECT_FALSE(disk.GetSector(1, 0).DeletedMark);
  EXPECT_TRUE(disk.GetTrack(0).Fm);
  EXPECT_EQ(disk.GetTrack(0).DataRate, 250);
  EXPECT_FALSE(disk.GetTrack(1).Fm);

  file.insert(file.end(), {5, 84, 1, 1, 0, 1, 2, 0});
  ASSERT_TRUE(LoadIMDFromBytes(disk, file)) << disk.LastError;
  ASSERT_EQ(disk.Losses.size(), 1u);
  EXPECT_EQ(disk.Losses[0].kind, LossKind::CylinderBeyondDisk);
  EXPECT_EQ(disk.Losses[0].track, 169);
  file.erase(file.end() - 8, file.end());
  file.insert(file.end(), {5, 0, 1, 0, 0});
  EXPECT_FALSE(LoadIMDFromBytes(disk, file));
  EXPECT_EQ(test::English(disk.LastError), "The IMD file holds track 1 twice!");
}

TEST(Imd, DamagedFilesAreRefused) {
  TZX_Disk disk;
  EXPECT_FALSE(LoadIMDFromBytes(disk, Bytes{'I', 'M', 'G', ' '}));
  EXPECT_EQ(test::English(disk.LastError), "The file is not in the IMD format!");
  EXPECT_FALSE(LoadIMDFromBytes(disk, Bytes{'I', 'M', 'D', ' ', '1'}));
  EXPECT_EQ(test::English(disk.LastError), "Error in the IMD comment!");
  const Bytes start = {'I', 'M', 'D', ' ', 0x1A};
  const auto withTrack = [&](Bytes track) {
    Bytes file = start;
    file.insert(file.end(), track.begin(), track.end());
    return file;
  };
  EXPECT_FALSE(LoadIMDFromBytes(disk, withTrack({6, 0, 0, 0, 2})));
  EXPECT_EQ(test::English(disk.LastError), "Error in a track header of the IMD file!");
  EXPECT_FALSE(LoadIMDFromBytes(disk, withTrack({5, 0, 0, 1, 2, 1, 9})));
  EXPECT_EQ(test::English(disk.LastError), "Error in a sector record of the IMD file!");
  EXPECT_FALSE(LoadIMDFromBytes(disk, withTrack({5, 0, 0, 1, 2, 1, 1, 0})));
  EXPECT_EQ(test::English(disk.LastError), "Error in the IMD file length!");
}

}  // namespace
}  // namespace velloran
