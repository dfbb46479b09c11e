// Adding Hobeta and SCL files: every check in its order, the duplicate rule
// and the 128-file limit.
#include <gtest/gtest.h>

#include "support/test_support.h"
#include "trdos/add_files.h"
#include "trdos/trdos_test_disks.h"

namespace velloran {
namespace {

struct Target {
  TZX_Disk disk;
  TrdosCatalog catalog;
  Target() {
    MakeTrdosDisk(disk, "T");
    EXPECT_TRUE(ReadCatalog(disk, catalog));
  }
  std::string Add(const std::string& path, const Bytes& data) {
    const auto message = AddFileBytes(catalog, disk, path, data);
    return message ? test::English(message->Text) : "";
  }
};

TEST(TrdosAdd, HobetaIsStoredAtTheFirstFreeSector) {
  Target t;
  EXPECT_EQ(t.Add("a.$C", test::MakeHobeta("first", 'C', 0x8000, 300, 2, 0x11)), "");
  EXPECT_EQ(t.Add("b.$B", test::MakeHobeta("second", 'B', 10, 20, 15, 0x22)), "");
  EXPECT_EQ(t.catalog.FileCount, 2);
  EXPECT_EQ(t.catalog.EntryCount, 2);
  EXPECT_EQ(t.catalog.Entries[1].FirstSector, 2);
  EXPECT_EQ(t.catalog.Entries[1].FirstTrack, 1);
  EXPECT_EQ(t.catalog.Entries[0].Start, 0x8000);
  EXPECT_EQ(t.catalog.FirstFreeTrack, 2);
  EXPECT_EQ(t.catalog.FirstFreeSector, 1);
  EXPECT_EQ(t.catalog.FreeSectors, 2544 - 17);
  EXPECT_EQ(test::SectorBytes(t.disk, 2, 1), Bytes(256, 0x22));  // the last sector crossed the track
  EXPECT_EQ(test::SectorBytes(t.disk, 1, 2), Bytes(256, 0x11));
}

TEST(TrdosAdd, HobetaChecksRunInOrder) {
  Target t;
  EXPECT_EQ(t.Add("/x/tiny.$B", Bytes(16, 0)), "The file /x/tiny.$B is too small!");
  Bytes bad = test::MakeHobeta("bad", 'B', 0, 0, 1, 0);
  bad[15] ^= 1;
  EXPECT_EQ(t.Add("bad.$B", bad), "Wrong checksum of the file bad.$B!");
  Bytes shortFile = test::MakeHobeta("short", 'B', 0, 0, 2, 0);
  shortFile.pop_back();
  EXPECT_EQ(t.Add("short.$B", shortFile), "Wrong size of the file short.$B!");
  t.catalog.FreeSectors = 1;
  EXPECT_EQ(t.Add("big.$B", test::MakeHobeta("big", 'B', 0, 0, 2, 0)), "No room left on the disk image!");
  EXPECT_EQ(t.catalog.FileCount, 0);
}

TEST(TrdosAdd, FullCatalogIsReportedBeforeTheChecksum) {
  Target t;
  t.catalog.FileCount = 128;
  Bytes bad = test::MakeHobeta("bad", 'B', 0, 0, 1, 0);
  bad[15] ^= 1;
  const auto message = AddFileBytes(t.catalog, t.disk, "bad.$B", bad);
  ASSERT_TRUE(message);
  EXPECT_EQ(test::English(message->Text), "The disk catalog is full!");
  EXPECT_EQ(test::English(message->Caption), "Error!");
  EXPECT_EQ(message->Icon, MessageIcon::None);
}

TEST(TrdosAdd, OneHundredTwentyEightFilesFitAndTheNextDoesNot) {
  Target t;
  for (int i = 0; i < 128; ++i)
    ASSERT_EQ(t.Add("f.$C", test::MakeHobeta("f" + std::to_string(i), 'C', 0, 0, 1, 0)), "") << i;
  EXPECT_EQ(t.Add("g.$C", test::MakeHobeta("g", 'C', 0, 0, 1, 0)), "The disk catalog is full!");
  ASSERT_FALSE(WriteCatalog(t.disk, t.catalog));
  TrdosCatalog back;
  ASSERT_TRUE(ReadCatalog(t.disk, back));
  EXPECT_EQ(back.EntryCount, 128);
  EXPECT_EQ(back.FileCount, 128);
}

TEST(TrdosAdd, DuplicateRuleComparesAllNameBytesOfDeletedFilesToo) {
  Target t;
  ASSERT_EQ(t.Add("a.$B", test::MakeHobeta("game", 'B', 0, 0, 1, 0)), "");
  EXPECT_EQ(t.Add("a.$B", test::MakeHobeta("game", 'B', 0, 0, 1, 0)),
            "A file named game    .B is already on the image!");
  EXPECT_EQ(t.Add("a.$C", test::MakeHobeta("game", 'C', 0, 0, 1, 0)), "");  // other type
  t.catalog.Entries[0].Name[0] = 0x01;                                      // "game" deleted
  EXPECT_EQ(t.Add("a.$B", test::MakeHobeta("game", 'B', 0, 0, 1, 0)), "");
  EXPECT_EQ(t.Add("x.$B", test::MakeHobeta("\x01"
                                           "ame",
                                           'B', 0, 0, 1, 0)),
            "A file named \x01"
            "ame    .B is already on the image!");
}

TEST(TrdosAdd, SclChecksRunInOrder) {
  Target t;
  Bytes scl = test::MakeScl({{"one", 'C', 0, 0, 1, 0x31}, {"two", 'C', 0, 0, 2, 0x32}});
  Bytes wrongSum = scl;
  wrongSum.back() ^= 1;
  EXPECT_EQ(t.Add("/p/f.scl", wrongSum), "Wrong checksum of the file /p/f.scl!");
  EXPECT_EQ(t.Add("f.SCL", Bytes{1, 1, 0, 0, 0}), "Wrong signature of the file f.SCL!");
  EXPECT_EQ(t.Add("f.scl", Bytes{0, 0, 0}), "Wrong checksum of the file f.scl!");
  Bytes tooShort = {'S', 'I', 'N', 'C', 'L', 'A', 'I', 'R', 1};
  AppendLe32(tooShort, 0x53 + 0x49 + 0x4E + 0x43 + 0x4C + 0x41 + 0x49 + 0x52 + 1);
  EXPECT_EQ(t.Add("f.scl", tooShort), "Wrong length of the file f.scl!");

  // The second file lacks one byte: the first is added, the second refused.
  Bytes cut(scl.begin(), scl.end() - 5);
  std::uint32_t sum = 0;
  for (std::uint8_t b : cut) sum += b;
  AppendLe32(cut, sum);
  EXPECT_EQ(t.Add("f.scl", cut), "Wrong size of the file f.scl / two     .C!");
  EXPECT_EQ(t.catalog.FileCount, 1);
  EXPECT_EQ(t.Add("g.scl", scl), "A file named one     .C is already on the image!");
}

TEST(TrdosAdd, SclFilesAreAddedInHeaderOrder) {
  Target t;
  ASSERT_EQ(t.Add("f.sclx", test::MakeScl({{"one", 'C', 1, 2, 1, 0x31}, {"two", 'D', 3, 4, 2, 0x32}})), "");
  EXPECT_EQ(t.catalog.FileCount, 2);
  EXPECT_EQ(t.catalog.Entries[1].FileType, 'D');
  EXPECT_EQ(t.catalog.Entries[1].Length, 4);
  EXPECT_EQ(t.catalog.Entries[1].FirstSector, 1);
  EXPECT_EQ(test::SectorBytes(t.disk, 1, 3), Bytes(256, 0x32));
}

TEST(TrdosAdd, ExtensionDecidesTheKind) {
  EXPECT_TRUE(IsSclFileName("a.scl"));
  EXPECT_TRUE(IsSclFileName("a.SCLX"));
  EXPECT_FALSE(IsSclFileName("a.sc"));
  EXPECT_FALSE(IsSclFileName("scl"));
  EXPECT_FALSE(IsSclFileName("a.$C"));
}

TEST(TrdosAdd, UnusableSectorStopsTheFileWithoutExtendingTheCatalog) {
  Target t;
  for (auto& sector : t.disk.Tracks[1].Sectors)
    if (sector.IdSector == 2) sector.DataLen = 0;
  EXPECT_EQ(t.Add("p.$C", test::MakeHobeta("p", 'C', 0, 0, 3, 0x55)), "Cannot add the file p.$C to the image!");
  EXPECT_EQ(t.catalog.FileCount, 0);
  EXPECT_EQ(t.catalog.EntryCount, 0);
  EXPECT_EQ(t.catalog.FreeSectors, 2544);
}

TEST(TrdosAdd, SlotOfAnErasedEntryStaysInsideTheCatalog) {
  // A file count below the entry count: the new entry overwrites an erased
  // leftover and the entry count must not grow past the real entries.
  Target t;
  ASSERT_EQ(t.Add("a.$C", test::MakeHobeta("a", 'C', 0, 0, 1, 0)), "");
  ASSERT_EQ(t.Add("b.$C", test::MakeHobeta("b", 'C', 0, 0, 1, 0)), "");
  t.catalog.Entries[1].Name[0] = 0;
  t.catalog.FileCount = 1;
  ASSERT_EQ(t.Add("c.$C", test::MakeHobeta("c", 'C', 0, 0, 1, 0)), "");
  EXPECT_EQ(t.catalog.EntryCount, 2);
  EXPECT_EQ(t.catalog.Entries[1].Name[0], 'c');
}

// Each file that fails is told, the others are added, and the count ends it.
TEST(TrdosAdd, WindowCommandTellsEachFailureAndAddsTheOthers) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "a.$C", test::MakeHobeta("a", 'C', 0, 0, 1, 0));
  test::WriteFileBytes(dir / "b.$C", Bytes(3, 0));
  test::WriteFileBytes(dir / "c.$C", test::MakeHobeta("c", 'C', 0, 0, 1, 0));
  TZX_Disk disk;
  MakeTrdosDisk(disk, "T");
  CatalogState state;
  ASSERT_TRUE(ReadCatalog(disk, state.SharedCatalog));
  const auto result = AddFiles(state, disk, {dir / "a.$C", dir / "b.$C", dir / "c.$C", dir / "missing.$C"});
  ASSERT_EQ(result.Messages.size(), 3u);
  EXPECT_EQ(test::English(result.Messages[0].Text), "The file " + (dir / "b.$C").string() + " is too small!");
  const std::string missing = test::English(result.Messages[1].Text);
  EXPECT_TRUE(test::Contains(missing, "missing.$C")) << missing;
  EXPECT_EQ(test::English(result.Messages[2].Text), "Files added: 2 of 4.");
  EXPECT_EQ(state.CatalogChanged, 1);
  TrdosCatalog back;
  ASSERT_TRUE(ReadCatalog(disk, back));
  ASSERT_EQ(back.FileCount, 2);
  EXPECT_EQ(back.Entries[0].Name[0], 'a');
  EXPECT_EQ(back.Entries[1].Name[0], 'c');

  // One file alone: its failure, no count.
  EXPECT_EQ(AddFiles(state, disk, {dir / "b.$C"}).Messages.size(), 1u);
}

}  // namespace
}  // namespace velloran
