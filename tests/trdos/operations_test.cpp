// The catalog window's operations on the record and the disk: delete,
// restore, rename, edit, compaction, the row mapping and menu enabling.
#include <gtest/gtest.h>

#include "support/test_support.h"
#include "trdos/catalog_operations.h"
#include "trdos/catalog_view.h"
#include "trdos/trdos_test_disks.h"

namespace velloran {
namespace {

using test::FileSpec;

// A disk with files and its catalog read into the state, as the window has it.
struct Fixture {
  TZX_Disk disk;
  CatalogState state;
  Fixture(const std::vector<FileSpec>& files, int fileCount, int deleted, int freeTrack, int freeSector) {
    test::BlankTrdosDisk(disk);
    test::WriteTrdosFiles(disk, files, fileCount, deleted, freeTrack, freeSector);
    EXPECT_TRUE(ReadCatalog(disk, state.SharedCatalog));
  }
  TrdosCatalog& Catalog() { return state.SharedCatalog; }
  // The catalog as the disk holds it now.
  TrdosCatalog OnDisk() {
    TrdosCatalog catalog;
    EXPECT_TRUE(ReadCatalog(disk, catalog));
    return catalog;
  }
};

std::vector<FileSpec> FourFiles() {
  return {{"A", 'C', 1, 0, 2}, {"B", 'C', 1, 2, 3}, {"C", 'C', 1, 5, 1}, {"D", 'C', 1, 6, 4}};
}

TEST(TrdosDelete, LastTwoFilesAreErasedWithTheDeletedFileBeforeThem) {
  auto files = FourFiles();
  files.push_back({"E", 'C', 1, 10, 2});
  files[2].name =
      "\x01"
      "C";  // deleted, right before D and E
  Fixture f(files, 5, 1, 1, 12);
  const auto result = DeleteFiles(f.state, f.disk, {3, 4}, true);
  EXPECT_TRUE(result.Messages.empty());
  EXPECT_EQ(f.state.CatalogChanged, 1);
  const TrdosCatalog disk = f.OnDisk();
  EXPECT_EQ(disk.FileCount, 2);
  EXPECT_EQ(disk.DeletedCount, 0);
  EXPECT_EQ(disk.Entries[2].Name[0], 0);
  EXPECT_EQ(disk.Entries[3].Name[0], 0);
  EXPECT_EQ(disk.Entries[4].Name[0], 0);
  EXPECT_EQ(disk.FirstFreeTrack, 1);
  EXPECT_EQ(disk.FirstFreeSector, 5);  // where C started
  EXPECT_EQ(disk.FreeSectors, 2560 - 21);
  // Erased entries keep their other name bytes: they stay in the catalog.
  EXPECT_EQ(disk.EntryCount, 5);
}

TEST(TrdosDelete, MiddleFileIsMarkedAndRestoredWithALetter) {
  Fixture f(FourFiles(), 4, 0, 1, 10);
  ASSERT_TRUE(DeleteFiles(f.state, f.disk, {1}, false).Messages.empty());
  TrdosCatalog disk = f.OnDisk();
  EXPECT_EQ(disk.Entries[1].Name[0], 0x01);
  EXPECT_EQ(disk.DeletedCount, 1);
  EXPECT_EQ(disk.FreeSectors, 2560 - 26);  // free space unchanged
  EXPECT_EQ(disk.FileCount, 4);

  f.state.CatalogChanged = 0;
  ASSERT_TRUE(RestoreFile(f.state, f.disk, 1, "A").Messages.empty());
  disk = f.OnDisk();
  EXPECT_EQ(disk.Entries[1].Name[0], 'A');
  EXPECT_EQ(disk.DeletedCount, 0);
  EXPECT_EQ(f.state.CatalogChanged, 1);
  // An empty letter changes nothing.
  RestoreFile(f.state, f.disk, 1, "");
  EXPECT_EQ(f.OnDisk().Entries[1].Name[0], 'A');
}

TEST(TrdosDelete, AlreadyDeletedRowsAreSkipped) {
  auto files = FourFiles();
  files[1].name =
      "\x01"
      "B";
  Fixture f(files, 4, 1, 1, 10);
  DeleteFiles(f.state, f.disk, {1}, true);
  EXPECT_EQ(f.OnDisk().DeletedCount, 1);
  EXPECT_EQ(f.OnDisk().Entries[1].Name[0], 0x01);
}

TEST(TrdosRestore, ErasedEntryBeyondTheFileCountBecomesTheLastFile) {
  auto files = FourFiles();
  files[2].name = std::string(1, '\0') + "C";
  files[3].name = std::string(1, '\0') + "D";
  Fixture f(files, 2, 0, 1, 5);
  ASSERT_EQ(f.Catalog().EntryCount, 4);
  RestoreFile(f.state, f.disk, 3, "Д");  // Cyrillic letter: stored in code page 1251
  const TrdosCatalog disk = f.OnDisk();
  EXPECT_EQ(disk.Entries[3].Name[0], 0xC4);
  EXPECT_EQ(disk.FileCount, 4);
  EXPECT_EQ(disk.DeletedCount, 1);  // entry 2 counts as deleted again
  EXPECT_EQ(disk.FirstFreeTrack, 1);
  EXPECT_EQ(disk.FirstFreeSector, 10);
  EXPECT_EQ(disk.FreeSectors, 2560 - 26);
}

TEST(TrdosCompact, MovesLaterFilesDownInCatalogOrder) {
  Fixture f({{"A", 'C', 1, 0, 5},
             {"\x01"
              "B",
              'C', 1, 5, 3},
             {"C", 'C', 1, 8, 2}},
            3, 1, 1, 10);
  const auto question = CompactQuestion();
  EXPECT_EQ(test::English(question.Text),
            "This may damage the structure of the disk image!\rSave the image under another name!\r"
            "Do you really want to compact the image?");
  EXPECT_EQ(question.Buttons, MessageButtons::YesNo);
  ASSERT_TRUE(CompactCatalog(f.state, f.disk).Messages.empty());
  const TrdosCatalog disk = f.OnDisk();
  EXPECT_EQ(disk.FileCount, 2);
  EXPECT_EQ(disk.EntryCount, 2);
  EXPECT_EQ(disk.DeletedCount, 0);
  EXPECT_EQ(disk.Entries[0].Name[0], 'A');
  EXPECT_EQ(disk.Entries[1].Name[0], 'C');
  EXPECT_EQ(disk.Entries[1].FirstSector, 5);
  EXPECT_EQ(disk.FreeSectors, 2560 - 23);
  EXPECT_EQ(disk.FirstFreeTrack, 1);
  EXPECT_EQ(disk.FirstFreeSector, 7);
  EXPECT_EQ(test::SectorBytes(f.disk, 1, 6), Bytes(256, test::FillByte(2, 0)));
  EXPECT_EQ(test::SectorBytes(f.disk, 1, 7), Bytes(256, test::FillByte(2, 1)));
  EXPECT_EQ(test::SectorBytes(f.disk, 1, 1), Bytes(256, test::FillByte(0, 0)));
}

TEST(TrdosCompact, FilesCrossingTrackEndsAreMovedSectorBySector) {
  // A long file after a deleted one overlaps its own new place.
  Fixture f({{"\x01"
              "X",
              'C', 1, 0, 10},
             {"LONG", 'C', 1, 10, 30}},
            2, 1, 3, 8);
  ASSERT_TRUE(CompactCatalog(f.state, f.disk).Messages.empty());
  const TrdosCatalog disk = f.OnDisk();
  EXPECT_EQ(disk.Entries[0].FirstTrack, 1);
  EXPECT_EQ(disk.Entries[0].FirstSector, 0);
  for (int s = 0; s < 30; ++s)
    EXPECT_EQ(test::SectorBytes(f.disk, 1 + s / 16, s % 16 + 1), Bytes(256, test::FillByte(1, s))) << s;
  EXPECT_EQ(disk.FirstFreeTrack, 2);
  EXPECT_EQ(disk.FirstFreeSector, 14);
}

TEST(TrdosCompact, EmptyResultFreesTheWholeDisk) {
  Fixture f({{"\x01"
              "X",
              'C', 1, 0, 10}},
            1, 1, 1, 10);
  CompactCatalog(f.state, f.disk);
  const TrdosCatalog disk = f.OnDisk();
  EXPECT_EQ(disk.FileCount, 0);
  EXPECT_EQ(disk.FreeSectors, 2544);
  EXPECT_EQ(disk.FirstFreeTrack, 1);
}

TEST(TrdosCompact, SectorErrorLeavesTheRecordEqualToTheDisk) {
  Fixture f({{"\x01"
              "X",
              'C', 1, 0, 2},
             {"B", 'C', 1, 2, 2},
             {"\x01"
              "Y",
              'C', 1, 4, 2},
             {"C", 'C', 1, 6, 3}},
            4, 2, 1, 9);
  for (auto& sector : f.disk.Tracks[1].Sectors)
    if (sector.IdSector == 8) sector.DataLen = 0;  // C's second sector
  const TrdosCatalog before = f.OnDisk();
  const auto result = CompactCatalog(f.state, f.disk);
  ASSERT_EQ(result.Messages.size(), 1u);
  // The sector is named by its ID number, as every sector error names it.
  EXPECT_EQ(test::English(result.Messages[0].Text), "Sector error: track 1, sector 8!");
  const TrdosCatalog disk = f.OnDisk();
  EXPECT_EQ(disk.FileCount, before.FileCount);
  EXPECT_EQ(f.Catalog().FileCount, disk.FileCount);
  EXPECT_EQ(f.Catalog().DeletedCount, disk.DeletedCount);
  EXPECT_EQ(f.Catalog().Entries[3].FirstSector, 6);
  // B was moved already and stays moved.
  EXPECT_EQ(test::SectorBytes(f.disk, 1, 1), Bytes(256, test::FillByte(1, 0)));
}

TEST(TrdosRows, HiddenDeletedEntriesShiftTheRowMapping) {
  auto files = FourFiles();
  files[0].name =
      "\x01"
      "A";
  files[1].name =
      "\x01"
      "B";
  Fixture f(files, 4, 2, 1, 10);
  EXPECT_EQ(RowToEntry(f.Catalog(), 0, false), 2);
  EXPECT_EQ(RowToEntry(f.Catalog(), 1, false), 3);
  EXPECT_EQ(RowToEntry(f.Catalog(), 2, false), -1);
  EXPECT_EQ(RowToEntry(f.Catalog(), 1, true), 1);
  const auto rows = CatalogRows(f.Catalog(), true);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].Filename, "?A      ");
  EXPECT_EQ(rows[2].Filename, "C       ");
  EXPECT_EQ(rows[2].FirstSector, "05");
  EXPECT_EQ(CatalogRows(f.Catalog(), false).size(), 2u);
}

TEST(TrdosRows, ColumnsAndDiskInformation) {
  Fixture f({{"boot", 'B', 1, 0, 11, 0x0A08, 0x1B00}}, 1, 0, 1, 11);
  const auto rows = CatalogRows(f.Catalog(), false);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].Type, "B");
  EXPECT_EQ(rows[0].Start, "0A08");
  EXPECT_EQ(rows[0].Length, "1B00");
  EXPECT_EQ(rows[0].Sectors, "0B");
  EXPECT_EQ(rows[0].FirstTrack, "01");
  const DiskInfoTexts info = DiskInfo(f.Catalog());
  EXPECT_EQ(info.Label, "TESTDISK");
  EXPECT_EQ(RenderPhrase(Language::Russian, info.DiskType), "80 дорожек");
  EXPECT_EQ(info.FirstFreeSector, "12");
  EXPECT_EQ(info.FirstFreeTrack, "1");
  EXPECT_EQ(info.FreeSectors, "2533");
  EXPECT_EQ(info.Files, "1");
  EXPECT_EQ(info.DeletedFiles, "0");
  EXPECT_EQ(test::English(DiskTypePhrase(0x17)), "40 tracks");
  EXPECT_EQ(test::English(DiskTypePhrase(0x19)), "40 tracks");
  EXPECT_EQ(test::English(DiskTypePhrase(0x18)), "80 tracks");
  EXPECT_EQ(test::English(DiskTypePhrase(0x20)), "Unknown");
}

TEST(TrdosMenu, EnablingFollowsListAndSelection) {
  auto files = FourFiles();
  files[0].length = 6912;
  files[1].length = 6913;
  files[2].name =
      "\x01"
      "C";
  Fixture f(files, 4, 1, 1, 10);
  const TrdosCatalog& c = f.Catalog();

  CatalogMenuEnabling empty = CatalogMenu(c, true, {}, false);
  EXPECT_TRUE(empty.AddFiles && empty.RenameDisk && empty.ShowDeleted);
  EXPECT_FALSE(empty.ViewHex || empty.ViewScreen || empty.RestoreFile || empty.Compact || empty.DeleteFiles ||
               empty.SaveHobeta || empty.SaveScl || empty.EditEntry);

  CatalogMenuEnabling screen = CatalogMenu(c, false, {0}, true);
  EXPECT_TRUE(screen.ViewScreen && screen.ViewHex && screen.EditEntry && screen.DeleteFiles && screen.Compact &&
              screen.SaveHobeta && screen.SaveScl);
  EXPECT_FALSE(screen.RestoreFile);
  EXPECT_FALSE(CatalogMenu(c, false, {1}, true).ViewScreen);  // 6913 bytes is no screen

  CatalogMenuEnabling deleted = CatalogMenu(c, false, {2}, true);
  EXPECT_TRUE(deleted.RestoreFile);
  EXPECT_FALSE(deleted.DeleteFiles);

  CatalogMenuEnabling several = CatalogMenu(c, false, {2, 3}, true);
  EXPECT_TRUE(several.DeleteFiles);
  EXPECT_FALSE(several.ViewHex || several.ViewScreen || several.EditEntry || several.RestoreFile);
  EXPECT_FALSE(CatalogMenu(c, false, {2}, true).DeleteFiles);
  EXPECT_FALSE(CatalogMenu(c, false, {}, true).DeleteFiles);
  EXPECT_TRUE(CatalogMenu(c, false, {}, true).SaveHobeta);

  f.Catalog().DeletedCount = 0;
  EXPECT_FALSE(CatalogMenu(c, false, {0}, true).Compact);
}

TEST(TrdosRename, NewLabelIsPaddedWithZerosAndSameNameDoesNothing) {
  Fixture f(FourFiles(), 4, 0, 1, 10);
  const TextDialog dialog = RenameDiskDialog(f.Catalog());
  EXPECT_EQ(dialog.InitialText, "TESTDISK");
  EXPECT_EQ(dialog.MaxLength, 8);
  RenameDisk(f.state, f.disk, "TESTDISK");
  EXPECT_EQ(f.state.CatalogChanged, 0);
  RenameDisk(f.state, f.disk, "ABC");
  EXPECT_EQ(f.state.CatalogChanged, 1);
  const Bytes info = test::SectorBytes(f.disk, 0, 9);
  EXPECT_EQ(Bytes(info.begin() + 0xF5, info.begin() + 0xFD), (Bytes{'A', 'B', 'C', 0, 0, 0, 0, 0}));
  EXPECT_EQ(DiskInfo(f.Catalog()).Label, "ABC");
}

TEST(TrdosEdit, DeletedEntryKeepsItsFirstByteBehindTheQuestionMark) {
  auto files = FourFiles();
  files[1].name =
      "\x01"
      "BCDEFGH";
  Fixture f(files, 4, 1, 1, 10);
  EntryEditorFields fields = EntryEditorFieldsOf(f.Catalog().Entries[1]);
  EXPECT_EQ(fields.Name, "?BCDEFGH");
  fields.Name = "?XY";
  fields.Type = "";
  fields.Start = 0x8000;
  EXPECT_TRUE(EditEntry(f.state, f.disk, 1, fields).Messages.empty());
  TrdosEntry entry = f.OnDisk().Entries[1];
  EXPECT_EQ(std::string(entry.Name.begin(), entry.Name.end()), "\x01XY     ");
  EXPECT_EQ(entry.FileType, 'C');  // an empty type keeps the stored one
  EXPECT_EQ(entry.Start, 0x8000);

  fields.Name = "NEW";
  fields.Type = "B";
  EditEntry(f.state, f.disk, 1, fields);
  entry = f.OnDisk().Entries[1];
  EXPECT_EQ(std::string(entry.Name.begin(), entry.Name.end()), "NEW     ");
  EXPECT_EQ(entry.FileType, 'B');
  EXPECT_EQ(f.OnDisk().DeletedCount, 1);  // counts are not adjusted
}

TEST(TrdosEdit, UnusableCatalogSectorIsReported) {
  Fixture f(FourFiles(), 4, 0, 1, 10);
  for (auto& sector : f.disk.Tracks[0].Sectors)
    if (sector.IdSector == 1) sector.Used = false;
  const auto result = EditEntry(f.state, f.disk, 0, EntryEditorFieldsOf(f.Catalog().Entries[0]));
  ASSERT_EQ(result.Messages.size(), 1u);
  EXPECT_EQ(test::English(result.Messages[0].Text), "Sector error: track 0, sector 1!");
  EXPECT_EQ(f.state.CatalogChanged, 1);
}

TEST(TrdosViews, ScreenAndHexBytesFollowTheSectorWalk) {
  Fixture f({{"PIC", 'C', 1, 10, 27, 0, 6912}}, 1, 0, 3, 5);
  const auto screen = ScreenFileBytes(f.disk, f.Catalog().Entries[0]);
  ASSERT_TRUE(screen);
  ASSERT_EQ(screen->size(), 6912u);
  EXPECT_EQ((*screen)[6 * 256], test::FillByte(0, 6));  // track 2, sector 1
  EXPECT_EQ(HexFileBytes(f.disk, f.Catalog().Entries[0])->size(), 27u * 256);
  for (auto& sector : f.disk.Tracks[2].Sectors)
    if (sector.IdSector == 3) sector.Used = false;
  EXPECT_FALSE(ScreenFileBytes(f.disk, f.Catalog().Entries[0]));
}

}  // namespace
}  // namespace velloran
