// Real SCL, TRD and Hobeta files made by other tools, and the SCL
// conversion of the FUSE utilities' scl2trd as an independent reader.
#include <gtest/gtest.h>

#include "formats/trd.h"
#include "support/test_support.h"
#include "trdos/add_files.h"
#include "trdos/catalog_view.h"
#include "trdos/hobeta.h"
#include "trdos/scl.h"
#include "trdos/trdos_test_disks.h"

namespace velloran {
namespace {

std::string Text(const std::array<std::uint8_t, 8>& name) { return std::string(name.begin(), name.end()); }

TEST(TrdosCorpus, Eyeache2CatalogAndFileContents) {
  TZX_Disk disk;
  ASSERT_TRUE(LoadSCL(disk, test::CorpusFile("scl/alfishe_unreal-ng__eyeache2.scl"))) << disk.LastError;
  TrdosCatalog catalog;
  ASSERT_TRUE(ReadCatalog(disk, catalog));
  struct Expected {
    const char* name;
    char type;
    int start, length, sectors, firstSector, firstTrack;
    const char* sha256;
  };
  const Expected expected[] = {
      {"EYEACHE2", 'B', 69, 69, 255, 0, 1, "bf0df0228d47e0713a3d30b3b1b6202ef42bfd8d2818d0fe4693cfd5926b17c6"},
      {"eyeache2", '1', 0, 0, 255, 15, 16, "81da3d3e3387944cde415eb88fc25c6d2aaced39963bae2a0df77e756e983612"},
      {"eyeache2", '2', 0, 0, 255, 14, 32, "abbc74a320f6a9a9d394e960acbc6a603abc06bfc95d6978f4a0022976121d74"},
      {"eyeache2", '3', 0, 0, 255, 13, 48, "d0a16eb507c14876725a12e8134136a0bd0b1d06c9c01084b0a3cd6cd4f45e38"},
      {"eyeache2", '4', 0, 0, 138, 12, 64, "f32f7b2c3e6cab2e4f3bc37fa3610646834d7e2f3964a75c0030986d199a866a"},
      {"boot    ", 'B', 2568, 2568, 11, 6, 73, "738a4f7811553a23fd28f012750816280ec36c3f7e92b2d415f92732d4ed5aae"},
  };
  ASSERT_EQ(catalog.EntryCount, 6);
  for (int i = 0; i < 6; ++i) {
    const TrdosEntry& entry = catalog.Entries[i];
    EXPECT_EQ(Text(entry.Name), expected[i].name);
    EXPECT_EQ(entry.FileType, expected[i].type);
    EXPECT_EQ(entry.Start, expected[i].start);
    EXPECT_EQ(entry.Length, expected[i].length);
    EXPECT_EQ(entry.FileSectors, expected[i].sectors);
    EXPECT_EQ(entry.FirstSector, expected[i].firstSector);
    EXPECT_EQ(entry.FirstTrack, expected[i].firstTrack);
    const auto bytes = HexFileBytes(disk, entry);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(test::Sha256(*bytes), expected[i].sha256) << i;
  }
}

TEST(TrdosCorpus, TheThreeCopiesOfUmtAgree) {
  const Bytes hobeta = test::ReadFileBytes(test::CorpusFile("hobeta/tslabs_zx-evo__UMT2_3.$B"));
  ASSERT_TRUE(HobetaChecksumValid(hobeta));
  for (const char* image : {"trd/tslabs_zx-evo__UMT2_3.TRD", "scl/tslabs_zx-evo__UMT2_3.SCL"}) {
    TZX_Disk disk;
    const auto file = test::CorpusFile(image);
    ASSERT_TRUE(file.extension() == ".TRD" ? LoadTRD(disk, file) : LoadSCL(disk, file)) << disk.LastError;
    TrdosCatalog catalog;
    ASSERT_TRUE(ReadCatalog(disk, catalog)) << image;
    bool found = false;
    for (int i = 0; i < catalog.EntryCount; ++i) {
      const HobetaFile exported = BuildHobetaFile(disk, catalog.Entries[i]);
      if (exported.Data.size() < 17 || !std::equal(exported.Data.begin(), exported.Data.begin() + 9, hobeta.begin()))
        continue;
      found = true;
      EXPECT_EQ(exported.Data, hobeta) << image;
    }
    EXPECT_TRUE(found) << image;
  }
}

TEST(TrdosCorpus, HobetaWithWrongHeaderChecksumIsRefused) {
  const auto path = test::CorpusFile("hobeta/tslabs_zx-evo__boot.$B");
  const Bytes data = test::ReadFileBytes(path);
  EXPECT_FALSE(HobetaChecksumValid(data));
  TZX_Disk disk;
  MakeTrdosDisk(disk, "T");
  TrdosCatalog catalog;
  ASSERT_TRUE(ReadCatalog(disk, catalog));
  const auto message = AddFileBytes(catalog, disk, path.string(), data);
  ASSERT_TRUE(message);
  EXPECT_EQ(test::English(message->Text), "Wrong checksum of the file " + path.string() + "!");
}

TEST(TrdosCorpus, EveryCorpusHobetaWithAValidHeaderAddsAndExportsBack) {
  TZX_Disk disk;
  MakeTrdosDisk(disk, "T");
  TrdosCatalog catalog;
  ASSERT_TRUE(ReadCatalog(disk, catalog));
  int added = 0;
  for (const auto& path : test::CorpusFiles("hobeta")) {
    const Bytes data = test::ReadFileBytes(path);
    if (!HobetaChecksumValid(data)) continue;
    ASSERT_FALSE(AddFileBytes(catalog, disk, path.string(), data)) << path;
    const Bytes exported = BuildHobetaFile(disk, catalog.Entries[catalog.FileCount - 1]).Data;
    // Byte 13 is written as 0 and anything after the sectors is not part of the file.
    Bytes expected(data.begin(), data.begin() + static_cast<long>(exported.size()));
    expected[13] = 0;
    expected[15] = exported[15];
    expected[16] = exported[16];
    EXPECT_EQ(exported, expected) << path;
    ++added;
  }
  EXPECT_GE(added, 4);
}

TEST(TrdosCorpus, CorpusTrdCatalogsRead) {
  TZX_Disk disk;
  ASSERT_TRUE(LoadTRD(disk, test::CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd")));
  TrdosCatalog catalog;
  ASSERT_TRUE(ReadCatalog(disk, catalog));
  EXPECT_EQ(catalog.TrdosId, 0x10);
  EXPECT_EQ(catalog.DeletedCount, 0);
  EXPECT_GT(catalog.FileCount, 0);
  for (int i = 0; i < catalog.FileCount; ++i) EXPECT_FALSE(catalog.Entries[i].Deleted());
}

// scl2trd writes the files of an SCL file into a TRD image. Loading the SCL
// file and saving the disk as TRD must give the same bytes except in the
// disk information sector and the sector after it: scl2trd fills bytes
// 0xEA..0xF2 with spaces, labels the disk "Fuse" and stamps "FU" at the start
// of sector 10, where a fresh disk here keeps zeros and the label "NEW DISK".
TEST(TrdosCorpus, SclLoadAgreesWithScl2trd) {
  if (!test::HaveProgram("scl2trd")) GTEST_SKIP() << "scl2trd (fuse-emulator-utils) is not installed";
  int checked = 0;
  for (const auto& path : test::CorpusFiles("scl")) {
    test::ScratchDir dir;
    const auto trd = dir / "out.trd";
    ASSERT_EQ(test::RunProgram("scl2trd", {path.string(), trd.string()}).exitCode, 0) << path;
    const Bytes theirs = test::ReadFileBytes(trd);
    TZX_Disk disk;
    ASSERT_TRUE(LoadSCL(disk, path)) << path << ": " << disk.LastError;
    Bytes ours;
    ASSERT_TRUE(SaveTRDToBytes(disk, ours)) << disk.LastError;
    ASSERT_EQ(ours.size(), theirs.size()) << path;
    for (std::size_t i = 0; i < ours.size(); ++i) {
      const bool labelArea = (i >= 0x8EA && i <= 0x8F2) || (i >= 0x8F5 && i <= 0x8FC) || i == 0x900 || i == 0x901;
      if (labelArea) continue;
      ASSERT_EQ(ours[i], theirs[i]) << path << " at offset " << i;
    }
    ++checked;
  }
  EXPECT_GE(checked, 10);
}

TEST(TrdosCorpus, SclLoadThenSaveReproducesCorpusFiles) {
  int same = 0;
  for (const auto& path : test::CorpusFiles("scl")) {
    const Bytes original = test::ReadFileBytes(path);
    TZX_Disk disk;
    ASSERT_TRUE(LoadSCLFromBytes(disk, original)) << path;
    Bytes saved;
    ASSERT_TRUE(SaveSCLToBytes(disk, saved)) << path << disk.LastError;
    // Some writers leave bytes after the last file; the files themselves and
    // the headers must come back unchanged.
    if (saved == original) ++same;
    EXPECT_TRUE(std::equal(saved.begin(), saved.end() - 4, original.begin())) << path;
  }
  EXPECT_GE(same, 1);
}

}  // namespace
}  // namespace velloran
