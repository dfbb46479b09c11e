// The CP/M directory: the Profi's rules (new disks, extents, the length
// texts, hidden and deleted files, block reading, damaged directories),
// then every definition of the table: its new disk, its recognition, and
// the +3 geometry record.
#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "cpm/cpm_directory.h"
#include "cpm/cpm_disk.h"
#include "cpm/cpm_recognition.h"

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

// Fills block b of a Profi disk with the byte `fill`.
void FillBlock(TZX_Disk& disk, int block, std::uint8_t fill) {
  for (int half = 0; half < 2; ++half) {
    const int logical = 2 * block + half;
    const int track = logical / 5;
    const int number = track == 0 && logical == 4 ? 9 : logical % 5 + 1;
    const std::uint8_t slot = FindCpmSector(disk, track, number);
    ASSERT_NE(slot, kCpmNoSlot);
    std::fill_n(disk.Tracks[track].Sectors[slot].Data.begin(), 1024, fill);
  }
}

const CpmDefinition& Profi() { return ProfiDefinition(); }

CpmListing ListProfi(const TZX_Disk& disk, bool showDeleted, bool showHidden) {
  return ListCpmDirectory(Profi(), ReadCpmDirectory(disk, Profi()), showDeleted, showHidden);
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
    EXPECT_EQ(disk.Tracks[t].Present, t < 160);
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
    EXPECT_FALSE(disk.Tracks[t].Sectors[5].Used);
  }
  // The directory (sectors 1-4 of track 0) is unused entries, the rest zero.
  for (int s = 0; s < 5; ++s)
    EXPECT_EQ(std::count(disk.Tracks[0].Sectors[s].Data.begin(), disk.Tracks[0].Sectors[s].Data.begin() + 1024,
                         s < 4 ? 0xE5 : 0),
              1024);
  EXPECT_EQ(RecognizeCpmDisk(disk), Profi());
  const CpmListing listing = ListProfi(disk, true, true);
  EXPECT_TRUE(listing.Rows.empty());
  EXPECT_TRUE(listing.Rows.empty());
  EXPECT_EQ(listing.UsedKilobytes, 4);
  EXPECT_EQ(listing.FreeKilobytes, 796);
}

TEST(CpmDisk, ProfiIsRecognisedByFiveOrSixSectorsOnTrackZero) {
  TZX_Disk disk;
  MakeCpmDisk(disk);
  disk.Tracks[0].Sectors[5].Used = true;
  EXPECT_EQ(RecognizeCpmDisk(disk), Profi());  // 6 sectors still pass
  disk.Tracks[0].Sectors[6].Used = true;
  EXPECT_EQ(RecognizeCpmDisk(disk), std::nullopt);
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
  const CpmListing listing = ListProfi(disk, false, false);
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
  EXPECT_EQ(listing.UsedKilobytes, 2 * (2 + 17 + 2 + 19 + 1));

  CpmFoundFile found;
  ASSERT_EQ(FindCpmFile(Profi(), listing.Directory, "GAME    COM", found), 0);
  EXPECT_EQ(found.Size, 34816);
  EXPECT_EQ(found.Blocks.size(), 17u);
  EXPECT_EQ(found.Blocks.back(), 20);
  FillBlock(disk, 2, 0x11);
  FillBlock(disk, 17, 0x22);
  FillBlock(disk, 20, 0x33);
  const Bytes contents = CpmFileContents(disk, Profi(), found);
  ASSERT_EQ(contents.size(), 34816u);
  EXPECT_EQ(contents[0], 0x11);
  EXPECT_EQ(contents[15 * 2048 + 5], 0x22);
  EXPECT_EQ(contents[16 * 2048], 0x33);
  EXPECT_EQ(contents.back(), 0x33);
  EXPECT_EQ(FindCpmFile(Profi(), listing.Directory, "NONE    COM", found), -1);
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
  CpmListing listing = ListProfi(disk, false, false);
  ASSERT_EQ(listing.Rows.size(), 1u);
  EXPECT_EQ(listing.Rows[0].Entry, 1);
  EXPECT_EQ(listing.BlockMap[4], 3);  // the hidden file's block is used
  EXPECT_EQ(listing.BlockMap[2], 0);  // the deleted file's is free
  EXPECT_EQ(listing.BlockMap[6], 0);  // nothing after the end counts
  EXPECT_EQ(listing.UsedKilobytes, 8);

  listing = ListProfi(disk, true, true);
  ASSERT_EQ(listing.Rows.size(), 3u);
  EXPECT_EQ(listing.Rows[0].User, "E5");
  EXPECT_EQ(listing.Rows[2].User, "03");
  EXPECT_EQ(ListProfi(disk, false, true).Rows.size(), 2u);

  // The deleted file comes first and has the same name: it is the one found.
  CpmFoundFile found;
  EXPECT_EQ(FindCpmFile(Profi(), listing.Directory, "READ    ME ", found), 0);
  EXPECT_EQ(found.User, 0xE5);
  EXPECT_EQ(found.Size, 8 * 128);
}

TEST(CpmBlocks, FifthSectorOfTrackZeroIsNumberNine) {
  TZX_Disk disk;
  MakeCpmDisk(disk);
  std::fill_n(disk.Tracks[0].Sectors[4].Data.begin(), 1024, 0x99);  // ID 9
  std::fill_n(disk.Tracks[1].Sectors[0].Data.begin(), 1024, 0x77);  // logical 5
  std::uint8_t block[2048];
  ReadCpmBlock(disk, Profi(), 2, block);
  EXPECT_EQ(block[0], 0x99);
  EXPECT_EQ(block[1023], 0x99);
  EXPECT_EQ(block[1024], 0x77);
  EXPECT_EQ(LocateCpmSector(Profi(), 4).Sector, 9);
  EXPECT_EQ(LocateCpmSector(Profi(), 9).Sector, 5);
  EXPECT_EQ(LocateCpmSector(Profi(), 800).Track, -1);
  EXPECT_EQ(FindCpmSector(disk, 1, 9), kCpmNoSlot);
  EXPECT_EQ(FindCpmSector(disk, 200, 1), kCpmNoSlot);

  // Missing, unused or short sectors and blocks beyond the disk read as zeros.
  disk.Tracks[1].Sectors[0].DataLen = 512;
  ReadCpmBlock(disk, Profi(), 2, block);
  EXPECT_EQ(block[1024], 0);
  std::fill_n(block, 2048, 0xAB);
  ReadCpmBlock(disk, Profi(), 60000, block);
  EXPECT_EQ(std::count(block, block + 2048, 0), 2048);
}

TEST(CpmFiles, DamagedExtentsAreCutToWhatExists) {
  TZX_Disk disk;
  MakeCpmDisk(disk);
  // 128 full extents of one name promise 1024 blocks.
  for (int i = 0; i < 128; ++i)
    PutEntry(disk, i, 0, "LOOP    BIN", static_cast<std::uint8_t>(i), 0x80, {7, 7, 7, 7, 7, 7, 7, 7});
  CpmFoundFile found;
  ASSERT_EQ(FindCpmFile(Profi(), ReadCpmDirectory(disk, Profi()), "LOOP    BIN", found), 0);
  EXPECT_EQ(found.Blocks.size(), 400u);
  EXPECT_EQ(found.Size, 400 * 2048);
  EXPECT_EQ(CpmFileContents(disk, Profi(), found).size(), 400u * 2048);

  // A full extent with one block holds one block of bytes, not 16 kB.
  MakeCpmDisk(disk);
  PutEntry(disk, 0, 0, "SHORT   BIN", 0, 0x80, {3});
  PutEntry(disk, 1, 0, "FAR     BIN", 0, 0x20, {65000, 2});
  ASSERT_EQ(FindCpmFile(Profi(), ReadCpmDirectory(disk, Profi()), "SHORT   BIN", found), 0);
  EXPECT_EQ(found.Size, 2048);
  ASSERT_EQ(FindCpmFile(Profi(), ReadCpmDirectory(disk, Profi()), "FAR     BIN", found), 1);
  const Bytes far = CpmFileContents(disk, Profi(), found);
  EXPECT_EQ(far.size(), 0x20u * 128);
  // The listing stops at a block number outside the disk.
  const CpmListing listing = ListProfi(disk, false, false);
  EXPECT_EQ(listing.BlockMap[2], 0);
}

// Free space of each new disk: the figures these formats are known by.
TEST(CpmDefinitions, NewDisksAreRecognisedEmptyAndOfTheirKnownSize) {
  const std::map<std::string, long long> free = {
      {"profi", 796}, {"plus3", 173}, {"pcw720", 706}, {"cpcsys", 169}, {"cpcdata", 178}};
  ASSERT_EQ(CpmDefinitions().size(), free.size());
  for (const CpmDefinition& definition : CpmDefinitions()) {
    SCOPED_TRACE(definition.Name);
    EXPECT_TRUE(definition.Valid());
    TZX_Disk disk;
    MakeCpmDisk(disk, definition);
    EXPECT_EQ(RecognizeCpmDisk(disk), definition);
    const CpmDirectory directory = ReadCpmDirectory(disk, definition);
    EXPECT_EQ(std::count(directory.begin(), directory.end(), 0xE5), definition.DirectoryEntries * 32);
    const CpmListing listing = ListCpmDisk(disk, true, true);
    EXPECT_EQ(listing.Definition, definition);
    EXPECT_TRUE(listing.Rows.empty());
    EXPECT_EQ(listing.FreeKilobytes, free.at(definition.Name));
  }
}

// A +3 disk of 512-byte sectors numbered from 1, its first sector holding
// `record` (the rest of the sector 0xE5).
TZX_Disk PlusThreeDisk(const Bytes& record) {
  TZX_Disk disk;
  MakeCpmDisk(disk, *FindCpmDefinition("plus3"));
  auto& boot = disk.Tracks[0].Sectors[0].Data;
  std::fill_n(boot.begin(), 512, 0xE5);
  std::copy(record.begin(), record.end(), boot.begin());
  return disk;
}

TEST(CpmRecognition, TheGeometryRecordOfAPlusThreeDiskDecides) {
  // No record (a freshly formatted disk), or none this program can read:
  // the standard single-sided disk.
  for (const Bytes& record : {Bytes{}, Bytes(10, 0), Bytes{7, 0, 40, 9, 2, 1, 3, 2, 0x2A, 0x52},
                              Bytes{0, 0, 80, 9, 2, 1, 3, 2, 0x2A, 0x52}})  // 1 KB blocks with 2-byte numbers
    EXPECT_EQ(RecognizeCpmDisk(PlusThreeDisk(record))->Name, "plus3");
  // The PCW's double-sided record names the 720K definition.
  EXPECT_EQ(RecognizeCpmDisk(PlusThreeDisk({3, 0x81, 80, 9, 2, 1, 4, 4, 0x2A, 0x52}))->Name, "pcw720");
  // Any other readable geometry is taken as the record says.
  const auto other = RecognizeCpmDisk(PlusThreeDisk({0, 0, 80, 9, 2, 1, 4, 2, 0x2A, 0x52}));
  ASSERT_TRUE(other);
  EXPECT_EQ(other->Name, "plus3record");
  EXPECT_EQ(other->Tracks, 80);
  EXPECT_EQ(other->Sides, CpmSides::One);
  EXPECT_EQ(other->BlockSize, 2048);
  EXPECT_EQ(other->DirectoryEntries, 128);
  EXPECT_EQ(other->ReservedTracks, 1);
  EXPECT_EQ(other->ExtentMask(), 1);  // 177 blocks: 16 one-byte numbers of 2 KB blocks
  // The record a new disk carries reads back as its definition.
  for (const char* name : {"plus3", "pcw720"}) {
    const CpmBootRecord record = MakeCpmBootRecord(*FindCpmDefinition(name));
    EXPECT_EQ(ParseCpmBootRecord(record), FindCpmDefinition(name)) << name;
  }
}

TEST(CpmRecognition, OtherDisksAreNoCpmDisks) {
  TZX_Disk disk;
  EXPECT_EQ(RecognizeCpmDisk(disk), std::nullopt);  // nothing on track 0
  // A TR-DOS disk: 16 sectors of 256 bytes numbered from 1.
  disk.Tracks[0].Present = true;
  for (int s = 0; s < 16; ++s) PlaceGoodSector(disk.Tracks[0].Sectors[s], 0, 0, static_cast<std::uint8_t>(s + 1), 1);
  EXPECT_EQ(RecognizeCpmDisk(disk), std::nullopt);
  // Nine sectors numbered from 0x21: no Amstrad format.
  for (int s = 0; s < 16; ++s) disk.Tracks[0].ClearSector(static_cast<std::uint8_t>(s));
  for (int s = 0; s < 9; ++s) PlaceGoodSector(disk.Tracks[0].Sectors[s], 0, 0, static_cast<std::uint8_t>(0x21 + s), 2);
  EXPECT_EQ(RecognizeCpmDisk(disk), std::nullopt);
}

TEST(CpmSectors, SkewFollowsTheStandardEightInchTable) {
  CpmDefinition definition;  // the 8-inch single-density disk of CP/M 2.2 (too many sectors for the model)
  definition.SectorSize = 128;
  definition.SectorsPerTrack = 26;
  definition.Tracks = 77;
  definition.Sides = CpmSides::One;
  definition.BlockSize = 1024;
  definition.DirectoryEntries = 64;
  definition.ReservedTracks = 2;
  definition.Skew = 6;
  const int table[26] = {1, 7, 13, 19, 25, 5, 11, 17, 23, 3, 9, 15, 21, 2, 8, 14, 20, 26, 6, 12, 18, 24, 4, 10, 16, 22};
  for (int i = 0; i < 26; ++i) {
    const CpmSectorPlace place = LocateCpmSector(definition, 3 * 26 + i);
    EXPECT_EQ(place.Sector, table[i]) << i;
    EXPECT_EQ(place.Track, 6);  // one side: cylinder 3 is the model's track 6
  }
}

TEST(CpmSectors, SuccessiveSidesTurnAfterTheLastCylinder) {
  CpmDefinition definition = *FindCpmDefinition("pcw720");
  definition.Sides = CpmSides::Successive;
  ASSERT_TRUE(definition.Valid());
  EXPECT_EQ(LocateCpmSector(definition, 79 * 9).Track, 158);  // side 0, cylinder 79
  EXPECT_EQ(LocateCpmSector(definition, 80 * 9).Track, 1);    // side 1, cylinder 0
  EXPECT_EQ(LocateCpmSector(definition, 159 * 9 + 8).Track, 159);
  EXPECT_EQ(LocateCpmSector(definition, 160 * 9).Track, -1);
}

}  // namespace
}  // namespace velloran
