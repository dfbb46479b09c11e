// The Profi CP/M directory: new disks, extents, the length texts, hidden
// and deleted files, block reading and damaged directories.
#include <gtest/gtest.h>

#include <cstring>

#include "cpm/cpm_directory.h"
#include "cpm/cpm_disk.h"

namespace velloran {
namespace {

// Writes one 32-byte directory entry into the new disk's directory sectors.
void PutEntry(TZX_Disk& disk, int index, std::uint8_t user, const char* name11, std::uint8_t extent,
              std::uint8_t records, std::vector<std::uint16_t> blocks) {
  std::uint8_t entry[32] = {};
  entry[0] = user;
  std::memcpy(entry + 1, name11, 11);
  entry[12] = extent;
  entry[15] = records;
  for (std::size_t k = 0; k < blocks.size() && k < 8; ++k) WriteLe16(entry + 16 + 2 * k, blocks[k]);
  const int offset = index * 32;
  TSectorRec& sector = disk.Tracks[0].Sectors[offset / 1024];  // slots 0..3 hold sectors 1..4
  std::memcpy(sector.Data.data() + offset % 1024, entry, 32);
}

// Fills block b with the byte `fill`.
void FillBlock(TZX_Disk& disk, int block, std::uint8_t fill) {
  for (int half = 0; half < 2; ++half) {
    const int logical = 2 * block + half;
    const int track = logical / 5;
    const int number = logical % 5 + 1;
    const std::uint8_t slot = FindCpmSector(disk, track, number);
    ASSERT_NE(slot, kCpmNoSlot);
    std::fill_n(disk.Tracks[track].Sectors[slot].Data.begin(), 1024, fill);
  }
}

// Marks every directory entry after the given ones as the end.
void EndDirectoryAt(TZX_Disk& disk, int index) {
  for (int i = index; i < 128; ++i)
    PutEntry(disk, i, 0xE5, "\xE5\xE5\xE5\xE5\xE5\xE5\xE5\xE5\xE5\xE5\xE5", 0xE5, 0xE5, {});
}

TEST(CpmDisk, NewDiskLayoutAndListing) {
  TZX_Disk disk;
  MakeCpmDisk(disk);
  for (int t = 0; t < 166; ++t) {
    EXPECT_EQ(disk.Tracks[t].Present != 0, t < 160);
    if (t >= 160) continue;
    for (int s = 0; s < 5; ++s) {
      const TSectorRec& sector = disk.Tracks[t].Sectors[s];
      EXPECT_EQ(sector.IdSector, t == 0 && s == 4 ? 9 : s + 1);
      EXPECT_EQ(sector.IdSide, t % 2);
      EXPECT_EQ(sector.IdTrack, t / 2);
      EXPECT_EQ(sector.IdSize, 3);
      EXPECT_EQ(sector.DataLen, 1024);
      EXPECT_EQ(sector.IdCrc, IdFieldCrc(sector.IdTrack, sector.IdSide, sector.IdSector, 3));
    }
    EXPECT_EQ(disk.Tracks[t].Sectors[5].Used, 0);
  }
  EXPECT_TRUE(LooksLikeCpmDisk(disk));
  const CpmListing listing = ListCpmDisk(disk, false, false);
  ASSERT_EQ(listing.Rows.size(), 128u);
  for (const auto& row : listing.Rows) {
    EXPECT_EQ(row.Filename, "");
    EXPECT_EQ(row.Length, "0");
    EXPECT_EQ(row.Atrib, "00");
    EXPECT_EQ(row.Number, "00");
  }
  EXPECT_EQ(listing.l6, "128");
  EXPECT_EQ(listing.l5, "4 кБ");
  EXPECT_EQ(listing.l4, "796 кБ");
}

TEST(CpmDisk, TrdosDiskIsNoCpmDisk) {
  TZX_Disk disk;
  MakeCpmDisk(disk);
  disk.Tracks[0].Sectors[5].Used = 0xFF;
  EXPECT_TRUE(LooksLikeCpmDisk(disk));  // 6 sectors still pass
  disk.Tracks[0].Sectors[6].Used = 0xFF;
  EXPECT_FALSE(LooksLikeCpmDisk(disk));
}

TEST(CpmListing, ThreeExtentsListOnceWithTheirRecordsAdded) {
  TZX_Disk disk;
  MakeCpmDisk(disk);
  PutEntry(disk, 0, 0, "GAME    COM", 0, 0x80, {2, 3, 4, 5, 6, 7, 8, 9});
  PutEntry(disk, 1, 0, "OTHER   TXT", 0, 19, {18, 19});
  PutEntry(disk, 2, 0, "GAME    COM", 1, 0x80, {10, 11, 12, 13, 14, 15, 16, 17});
  PutEntry(disk, 3, 0, "GAME    COM", 2, 0x10, {20});
  PutEntry(disk, 4, 0, "BIG     DAT", 0, 0x80, {21, 22, 23, 24, 25, 26, 27, 28});
  PutEntry(disk, 5, 0, "BIG     DAT", 1, 0x80, {29, 30, 31, 32, 33, 34, 35, 36});
  PutEntry(disk, 6, 0, "BIG     DAT", 2, 44, {37, 38, 39});
  PutEntry(disk, 7, 0, "SIXTEEN    ", 0, 16, {40});
  EndDirectoryAt(disk, 8);
  const CpmListing listing = ListCpmDisk(disk, false, false);
  ASSERT_EQ(listing.Rows.size(), 4u);
  EXPECT_EQ(listing.Rows[0].Filename, "GAME    ");
  EXPECT_EQ(listing.Rows[0].Ext, "COM");
  EXPECT_EQ(listing.Rows[0].Length, "34");  // 272 records, 34816 bytes
  EXPECT_EQ(listing.Rows[1].Length, "2.384");
  EXPECT_EQ(listing.Rows[2].Length, "37.512");  // 300 records
  EXPECT_EQ(listing.Rows[3].Length, "2");
  EXPECT_EQ(listing.Rows[3].Ext, "   ");
  // Each extent marks its blocks again with its own number on its turn.
  EXPECT_EQ(listing.BlockMap[20], 4);
  EXPECT_EQ(listing.BlockMap[10], 3);
  EXPECT_EQ(listing.BlockMap[41], 0);
  EXPECT_EQ(listing.l5, std::to_string(2 * (2 + 17 + 2 + 19 + 1)) + " кБ");

  CpmFoundFile found;
  ASSERT_EQ(FindCpmFile(listing.Directory, "GAME    COM", found), 0);
  EXPECT_EQ(found.Size, 34816);
  EXPECT_EQ(found.Blocks.size(), 17u);
  EXPECT_EQ(found.Blocks.back(), 20);
  FillBlock(disk, 2, 0x11);
  FillBlock(disk, 17, 0x22);
  FillBlock(disk, 20, 0x33);
  const Bytes contents = CpmFileContents(disk, found);
  ASSERT_EQ(contents.size(), 34816u);
  EXPECT_EQ(contents[0], 0x11);
  EXPECT_EQ(contents[15 * 2048 + 5], 0x22);
  EXPECT_EQ(contents[16 * 2048], 0x33);
  EXPECT_EQ(contents.back(), 0x33);
  EXPECT_EQ(FindCpmFile(listing.Directory, "NONE    COM", found), -1);
}

TEST(CpmListing, LengthTexts) {
  EXPECT_EQ(CpmLengthText(2432), "2.384");
  EXPECT_EQ(CpmLengthText(34816), "34");
  EXPECT_EQ(CpmLengthText(38400), "37.512");
  EXPECT_EQ(CpmLengthText(1024 + 100), "1.1");
  EXPECT_EQ(CpmLengthText(128), "0.128");
  EXPECT_EQ(CpmLengthText(2432, ','), "2,384");
}

TEST(CpmListing, DeletedAndHiddenFilesAndTheEndMarker) {
  TZX_Disk disk;
  MakeCpmDisk(disk);
  PutEntry(disk, 0, 0xE5, "READ    ME ", 0, 8, {2});
  PutEntry(disk, 1, 0, "READ    ME ", 0, 9, {3});
  PutEntry(disk, 2, 3, "SECRET  BIN", 0, 16, {4});
  PutEntry(disk, 3, 0xE5, "\xE5OOK   AT ", 0, 1, {5});  // end marker: user and first name byte E5
  PutEntry(disk, 4, 0, "AFTER   END", 0, 1, {6});
  CpmListing listing = ListCpmDisk(disk, false, false);
  ASSERT_EQ(listing.Rows.size(), 1u);
  EXPECT_EQ(listing.Rows[0].Entry, 1);
  EXPECT_EQ(listing.BlockMap[4], 3);  // the hidden file's block is used
  EXPECT_EQ(listing.BlockMap[2], 0);  // the deleted file's is free
  EXPECT_EQ(listing.BlockMap[6], 0);  // nothing after the end counts
  EXPECT_EQ(listing.l5, "8 кБ");

  listing = ListCpmDisk(disk, true, true);
  ASSERT_EQ(listing.Rows.size(), 3u);
  EXPECT_EQ(listing.Rows[0].Atrib, "E5");
  EXPECT_EQ(listing.Rows[2].Atrib, "03");
  EXPECT_EQ(ListCpmDisk(disk, false, true).Rows.size(), 2u);

  // The deleted file comes first and has the same name: it is the one found.
  CpmFoundFile found;
  EXPECT_EQ(FindCpmFile(listing.Directory, "READ    ME ", found), 0);
  EXPECT_EQ(found.User, 0xE5);
  EXPECT_EQ(found.Size, 8 * 128);
}

TEST(CpmBlocks, FifthSectorOfTrackZeroIsNumberNine) {
  TZX_Disk disk;
  MakeCpmDisk(disk);
  std::fill_n(disk.Tracks[0].Sectors[4].Data.begin(), 1024, 0x99);  // ID 9
  std::fill_n(disk.Tracks[1].Sectors[0].Data.begin(), 1024, 0x77);  // logical 5
  std::uint8_t block[2048];
  ReadCpmBlock(disk, 2, block);
  EXPECT_EQ(block[0], 0x99);
  EXPECT_EQ(block[1023], 0x99);
  EXPECT_EQ(block[1024], 0x77);
  EXPECT_EQ(FindCpmSector(disk, 0, 5), 4);
  EXPECT_EQ(FindCpmSector(disk, 1, 9), kCpmNoSlot);
  EXPECT_EQ(FindCpmSector(disk, 200, 1), kCpmNoSlot);

  // Missing, unused or short sectors and blocks beyond the disk read as zeros.
  disk.Tracks[1].Sectors[0].DataLen = 512;
  ReadCpmBlock(disk, 2, block);
  EXPECT_EQ(block[1024], 0);
  std::fill_n(block, 2048, 0xAB);
  ReadCpmBlock(disk, 60000, block);
  EXPECT_EQ(std::count(block, block + 2048, 0), 2048);
}

TEST(CpmFiles, DamagedExtentsAreCutToWhatExists) {
  TZX_Disk disk;
  MakeCpmDisk(disk);
  // 128 full extents of one name promise 1024 blocks.
  for (int i = 0; i < 128; ++i)
    PutEntry(disk, i, 0, "LOOP    BIN", static_cast<std::uint8_t>(i), 0x80, {7, 7, 7, 7, 7, 7, 7, 7});
  CpmFoundFile found;
  ASSERT_EQ(FindCpmFile(ReadCpmDirectory(disk), "LOOP    BIN", found), 0);
  EXPECT_EQ(found.Blocks.size(), 400u);
  EXPECT_EQ(found.Size, 400 * 2048);
  EXPECT_EQ(CpmFileContents(disk, found).size(), 400u * 2048);

  // A full extent with one block holds one block of bytes, not 16 kB.
  MakeCpmDisk(disk);
  PutEntry(disk, 0, 0, "SHORT   BIN", 0, 0x80, {3});
  PutEntry(disk, 1, 0, "FAR     BIN", 0, 0x20, {65000, 2});
  ASSERT_EQ(FindCpmFile(ReadCpmDirectory(disk), "SHORT   BIN", found), 0);
  EXPECT_EQ(found.Size, 2048);
  ASSERT_EQ(FindCpmFile(ReadCpmDirectory(disk), "FAR     BIN", found), 1);
  const Bytes far = CpmFileContents(disk, found);
  EXPECT_EQ(far.size(), 0x20u * 128);
  // The listing stops at a block number outside the disk.
  const CpmListing listing = ListCpmDisk(disk, false, false);
  EXPECT_EQ(listing.BlockMap[2], 0);
}

}  // namespace
}  // namespace velloran
