// The TR-DOS volume: the empty disk, reading, parsing and writing the
// catalog, and the owner of a sector.
#include <gtest/gtest.h>

#include "common/messages.h"
#include "support/test_support.h"
#include "trdos/catalog.h"
#include "trdos/trdos_test_disks.h"

namespace velloran {
namespace {

using test::FileSpec;

TEST(TrdosDisk, EmptyDiskReadsBackAsDescribed) {
  TZX_Disk disk;
  MakeTrdosDisk(disk, "");
  TrdosCatalog catalog;
  ASSERT_TRUE(ReadCatalog(disk, catalog));
  EXPECT_EQ(catalog.Valid, 1);
  EXPECT_EQ(std::string(catalog.DiskLabel.begin(), catalog.DiskLabel.end()), "        ");
  EXPECT_EQ(catalog.DiskType, 0x16);
  EXPECT_EQ(catalog.TrdosId, 0x10);
  EXPECT_EQ(catalog.FirstFreeTrack, 1);
  EXPECT_EQ(catalog.FirstFreeSector, 0);
  EXPECT_EQ(catalog.FreeSectors, 2544);
  EXPECT_EQ(catalog.FileCount, 0);
  EXPECT_EQ(catalog.EntryCount, 0);
  for (int t = 0; t < 166; ++t) {
    const TTrack& track = disk.Tracks[t];
    EXPECT_EQ(track.Present, t < 160) << t;
    for (int s = 0; s < 20; ++s) {
      const TSectorRec& sector = track.Sectors[s];
      if (t >= 160 || s >= 16) {
        EXPECT_FALSE(sector.Used);
        continue;
      }
      EXPECT_EQ(sector.IdSide, 0) << t;  // also on odd track indexes
      EXPECT_EQ(sector.IdTrack, t / 2);
      EXPECT_EQ(sector.IdSector, s + 1);
      EXPECT_EQ(sector.DataLen, 256);
      const std::uint8_t id[] = {0xA1, 0xA1, 0xA1, 0xFE, sector.IdTrack, 0, sector.IdSector, 1};
      EXPECT_EQ(sector.IdCrc, CalcCRC16(id, sizeof id));
    }
  }
}

TEST(TrdosDisk, LabelIsCutToEightCharactersAndStoredInCp1251) {
  TZX_Disk disk;
  MakeTrdosDisk(disk, "LONGLABEL123");
  TrdosCatalog catalog;
  ASSERT_TRUE(ReadCatalog(disk, catalog));
  EXPECT_EQ(std::string(catalog.DiskLabel.begin(), catalog.DiskLabel.end()), "LONGLABE");
  MakeTrdosDisk(disk, "Диск");
  ASSERT_TRUE(ReadCatalog(disk, catalog));
  EXPECT_EQ(catalog.DiskLabel[0], 0xC4);  // Д in code page 1251
  EXPECT_EQ(catalog.DiskLabel[4], ' ');
}

TEST(TrdosDisk, InformationSectorOfWrongSizeFailsTheRead) {
  TZX_Disk disk;
  MakeTrdosDisk(disk, "X");
  disk.Tracks[0].Sectors[8].IdSize = 2;
  TrdosCatalog catalog;
  catalog.Valid = 1;
  EXPECT_FALSE(ReadCatalog(disk, catalog));
  EXPECT_EQ(catalog.Valid, 0);
  EXPECT_EQ(catalog.FreeSectors, 0);
}

TEST(TrdosDisk, MissingCatalogSectorReadsAsZeros) {
  TZX_Disk disk;
  test::BlankTrdosDisk(disk);
  std::vector<FileSpec> files;
  for (int i = 0; i < 40; ++i) files.push_back({"F" + std::to_string(i), 'C', 1, 0, 0});
  test::WriteTrdosFiles(disk, files, 40, 0, 1, 0);
  TrdosCatalog catalog;
  ASSERT_TRUE(ReadCatalog(disk, catalog));
  EXPECT_EQ(catalog.EntryCount, 40);
  for (auto& sector : disk.Tracks[0].Sectors)
    if (sector.IdSector == 3) sector.IdSector = 17;
  ASSERT_TRUE(ReadCatalog(disk, catalog));
  EXPECT_EQ(catalog.EntryCount, 32);
}

TEST(TrdosDisk, ParseKeepsDeletedEntriesAndStopsOnlyAtAllZeroName) {
  Bytes image(2560, 0);
  image[2048 + 0xE3] = 0x16;
  image[2048 + 0xE7] = 0x10;
  for (int i = 0; i < 128; ++i) image[i * 16 + 3] = 'x';
  image[5 * 16] = 0x00;  // first byte 0, others not: a deleted entry
  TrdosCatalog catalog;
  ASSERT_TRUE(ParseCatalog(image, catalog));
  EXPECT_EQ(catalog.EntryCount, 128);  // no terminator
  EXPECT_TRUE(catalog.Entries[5].Deleted());
  std::fill_n(image.begin() + 7 * 16, 8, 0);
  ASSERT_TRUE(ParseCatalog(image, catalog));
  EXPECT_EQ(catalog.EntryCount, 7);
}

TEST(TrdosDisk, ParseRefusesWrongTypeOrIdentification) {
  for (int type : {0x15, 0x1A}) {
    Bytes image(2560, 0);
    image[2048 + 0xE3] = static_cast<std::uint8_t>(type);
    image[2048 + 0xE7] = 0x10;
    TrdosCatalog catalog;
    EXPECT_FALSE(ParseCatalog(image, catalog)) << type;
    EXPECT_EQ(catalog.DiskType, 0);
  }
  Bytes image(2560, 0);
  image[2048 + 0xE3] = 0x19;
  image[2048 + 0xE7] = 0x11;
  TrdosCatalog catalog;
  EXPECT_FALSE(ParseCatalog(image, catalog));
  image[2048 + 0xE7] = 0x10;
  EXPECT_TRUE(ParseCatalog(image, catalog));
  // A short buffer reads as if padded with zeros: no info sector, no catalog.
  EXPECT_FALSE(ParseCatalog(ByteSpan(image.data(), 100), catalog));
}

TEST(TrdosDisk, WriteCatalogRoundTripsAndLeavesTypeAndIdentificationAlone) {
  TZX_Disk disk;
  test::BlankTrdosDisk(disk);
  test::WriteTrdosFiles(disk, {{"ONE", 'B', 1, 0, 3, 0x5CCB, 0x1234}, {"\x01WO", 'C', 1, 3, 2}}, 2, 1, 1, 5);
  TrdosCatalog catalog;
  ASSERT_TRUE(ReadCatalog(disk, catalog));
  const Bytes before = test::SectorBytes(disk, 0, 1);
  catalog.DiskType = 0x19;  // never written back
  ASSERT_FALSE(WriteCatalog(disk, catalog));
  EXPECT_EQ(test::SectorBytes(disk, 0, 1), before);
  EXPECT_EQ(test::SectorBytes(disk, 0, 9)[0xE3], 0x16);
  catalog.Entries[1].Name[0] = 'T';
  catalog.FreeSectors = 0x1234;
  ASSERT_FALSE(WriteCatalog(disk, catalog));
  TrdosCatalog again;
  ASSERT_TRUE(ReadCatalog(disk, again));
  EXPECT_EQ(again.Entries[1].Name[0], 'T');
  EXPECT_EQ(again.Entries[0].Start, 0x5CCB);
  EXPECT_EQ(again.Entries[0].Length, 0x1234);
  EXPECT_EQ(again.FreeSectors, 0x1234);
}

TEST(TrdosDisk, WriteCatalogChangesNothingWhenAnySectorIsUnusable) {
  TZX_Disk disk;
  test::BlankTrdosDisk(disk);
  test::WriteTrdosFiles(disk, {{"ONE", 'B', 1, 0, 3}}, 1, 0, 1, 3);
  TrdosCatalog catalog;
  ASSERT_TRUE(ReadCatalog(disk, catalog));
  catalog.EntryCount = 0;
  catalog.FileCount = 0;
  for (auto& sector : disk.Tracks[0].Sectors)
    if (sector.IdSector == 5) sector.DataLen = 128;
  const auto message = WriteCatalog(disk, catalog);
  ASSERT_TRUE(message);
  EXPECT_EQ(RenderPhrase(Language::Russian, message->Text), "Ошибка сектора: дорожка 0, сектор 5!");
  EXPECT_EQ(RenderPhrase(Language::Russian, message->Caption), "Ошибка..!");
  EXPECT_EQ(test::English(message->Caption), "Error!");
  EXPECT_EQ(message->Icon, MessageIcon::Error);
  // Sector 1 still holds the entry: the catalog was not half cleared.
  EXPECT_EQ(test::SectorBytes(disk, 0, 1)[0], 'O');
  EXPECT_EQ(test::SectorBytes(disk, 0, 9)[0xE4], 1);
}

TEST(TrdosDisk, FindSectorGoesByIdNumberAndStaysInsideTheDisk) {
  TZX_Disk disk;
  test::BlankTrdosDisk(disk);
  EXPECT_EQ(FindSector(disk, 3, 1), &disk.Tracks[3].Sectors[15]);
  EXPECT_EQ(FindSector(disk, 3, 17), nullptr);
  EXPECT_EQ(FindSector(disk, 166, 1), nullptr);
  EXPECT_EQ(FindSector(disk, -1, 1), nullptr);
  disk.Tracks[3].Sectors[15].Used = false;
  EXPECT_NE(FindSector(disk, 3, 1), nullptr);  // found, but not usable
  EXPECT_EQ(FindUsableSector(disk, 3, 1), nullptr);
}

TEST(TrdosDisk, FileAtSectorNamesTheOwner) {
  TZX_Disk disk;
  test::BlankTrdosDisk(disk);
  test::WriteTrdosFiles(disk, {{"boot", 'B', 1, 0, 3}, {"\x01gone", 'C', 1, 3, 20}}, 2, 1, 2, 7);
  TrdosCatalog catalog;
  ASSERT_TRUE(ReadCatalog(disk, catalog));
  EXPECT_EQ(FileAtSector(catalog, 0, 5), "");
  EXPECT_EQ(FileAtSector(catalog, 1, 2), "boot     _B");
  EXPECT_EQ(FileAtSector(catalog, 2, 6), "\x01gone    _C");  // stored first byte kept
  EXPECT_EQ(FileAtSector(catalog, 2, 7), MessageText(MessageId::TrdosFreeSector));
  catalog.Valid = 0;
  EXPECT_EQ(FileAtSector(catalog, 1, 2), "");
}

}  // namespace
}  // namespace velloran
