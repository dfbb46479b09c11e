// SCL and Hobeta files: checksums, names, loading and saving SCL images.
#include <gtest/gtest.h>

#include "support/test_support.h"
#include "trdos/hobeta.h"
#include "trdos/scl.h"
#include "trdos/trdos_test_disks.h"

namespace velloran {
namespace {

TEST(Hobeta, ChecksumOfKnownHeaders) {
  std::uint8_t header[17] = {};
  EXPECT_EQ(HobetaChecksum(header), 105);
  header[3] = 1;
  EXPECT_EQ(HobetaChecksum(header), 362);
  // The header of an entry stores byte 13 as 0 and the checksum low byte first.
  TrdosEntry entry;
  entry.Name = {'b', 'o', 'o', 't', ' ', ' ', ' ', ' '};
  entry.FileType = 'B';
  entry.Start = 0x0A08;
  entry.Length = 0x0A08;
  entry.FileSectors = 11;
  entry.FirstSector = 6;
  const Bytes header17 = HobetaHeader(entry);
  const Bytes made = test::MakeHobeta("boot", 'B', 0x0A08, 0x0A08, 11, 0);
  EXPECT_EQ(header17, Bytes(made.begin(), made.begin() + 17));
  EXPECT_TRUE(HobetaChecksumValid(header17));
}

TEST(Hobeta, ExportNamesAreSanitised) {
  TrdosEntry entry;
  entry.Name = {'A', ':', 'B', '*', ' ', ' ', ' ', ' '};
  entry.FileType = 'C';
  EXPECT_EQ(HobetaFileName(entry), "A_B_.$C");
  entry.Name = {'b', 'o', 0x01, 't', ' ', 0x01, ' ', 0x10};  // trailing bytes up to 0x20 go
  entry.FileType = 'B';
  EXPECT_EQ(HobetaFileName(entry), "bo_t.$B");
  entry.Name = {'\\', '/', '"', '<', '>', '|', '?', 0x01};
  EXPECT_EQ(HobetaFileName(entry), "_______.$B");
  entry.Name = {0xC8, 0xE3, 0xF0, 0xE0, ' ', ' ', ' ', ' '};  // "Игра" in code page 1251
  entry.FileType = '/';                                       // never a folder separator in the file name
  EXPECT_EQ(HobetaFileName(entry), "Игра.$_");
}

TEST(Hobeta, ExportedFileHoldsHeaderAndSectors) {
  TZX_Disk disk;
  test::BlankTrdosDisk(disk);
  test::WriteTrdosFiles(disk, {{"pic", 'C', 1, 15, 2, 0x4000, 6912}}, 1, 0, 2, 1);
  TrdosCatalog catalog;
  ASSERT_TRUE(ReadCatalog(disk, catalog));
  const HobetaFile file = BuildHobetaFile(disk, catalog.Entries[0]);
  EXPECT_TRUE(file.Damaged.empty());
  Bytes expected = test::MakeHobeta("pic", 'C', 0x4000, 6912, 2, test::FillByte(0, 0));
  std::fill(expected.begin() + 17 + 256, expected.end(), test::FillByte(0, 1));
  EXPECT_EQ(file.Data, expected);
  // Damaged sectors are exported as read (zeros for a missing one) and named.
  for (auto& sector : disk.Tracks[2].Sectors) sector.Used = false;
  for (auto& sector : disk.Tracks[1].Sectors)
    if (sector.IdSector == 16) sector.DataOk = false;
  const HobetaFile broken = BuildHobetaFile(disk, catalog.Entries[0]);
  ASSERT_EQ(broken.Damaged.size(), 2u);
  EXPECT_FALSE(broken.Damaged[0].NoData);
  EXPECT_EQ(broken.Damaged[1].Position.Track, 2);
  EXPECT_TRUE(broken.Damaged[1].NoData);
  std::fill(expected.begin() + 17 + 256, expected.end(), 0);
  EXPECT_EQ(broken.Data, expected);
  const Message damaged = DamagedFileMessage("pic.$C", broken.Damaged);
  EXPECT_EQ(RenderMessageBody(Language::English, damaged),
            "The file pic.$C was saved with bad sectors:\n"
            "track 1, sector 16: a data CRC error\n"
            "track 2, sector 1: no data, written as zeros");
  EXPECT_EQ(RenderMessageBody(Language::Russian, damaged),
            "Файл pic.$C сохранён со сбойными секторами:\n"
            "дорожка 1, сектор 16: ошибка CRC данных\n"
            "дорожка 2, сектор 1: нет данных, записаны нули");
}

TEST(Scl, SmallestFileLoadsAsEmptyDisk) {
  TZX_Disk disk;
  ASSERT_TRUE(LoadSCLFromBytes(disk, test::MakeScl({})));
  TrdosCatalog catalog;
  ASSERT_TRUE(ReadCatalog(disk, catalog));
  EXPECT_EQ(std::string(catalog.DiskLabel.begin(), catalog.DiskLabel.end()), "NEW DISK");
  EXPECT_EQ(catalog.FreeSectors, 2544);
  EXPECT_EQ(catalog.FileCount, 0);
  EXPECT_EQ(test::MakeScl({}).size(), 13u);
}

// A small SCL fills a whole 160-track disk, but only the sectors its files
// and catalog hold take memory.
TEST(Scl, SmallFileTouchesOnlyTheSectorsItFills) {
  TZX_Disk disk;
  ASSERT_TRUE(LoadSCL(disk, test::CorpusFile("scl/tslabs_zx-evo__font_keyboard.scl")));
  int allocated = 0;
  int used = 0;
  for (const TTrack& track : disk.Tracks) {
    EXPECT_FALSE(track.RawData.Allocated());
    for (const TSectorRec& sector : track.Sectors) {
      allocated += sector.Data.Allocated() ? 1 : 0;
      used += sector.Used ? 1 : 0;
    }
  }
  EXPECT_EQ(used, 2560);
  EXPECT_LE(allocated, 7195 / 256 + 9);  // the files' sectors and the catalog
}

TEST(Scl, ChecksumAndSignatureAreChecked) {
  TZX_Disk disk;
  for (std::size_t size = 0; size < 4; ++size) {
    EXPECT_FALSE(LoadSCLFromBytes(disk, Bytes(size, 0))) << size;
    EXPECT_EQ(test::English(disk.LastError), "Error in the SCL file checksum!");
  }
  Bytes scl = test::MakeScl({{"a", 'C', 0, 0, 1, 7}});
  scl[20] ^= 0x80;
  EXPECT_FALSE(LoadSCLFromBytes(disk, scl));
  EXPECT_EQ(test::English(disk.LastError), "Error in the SCL file checksum!");
  Bytes wrongSignature = {'s', 'I', 'N', 'C', 'L', 'A', 'I', 'R', 0};
  std::uint32_t sum = 0;
  for (std::uint8_t b : wrongSignature) sum += b;
  AppendLe32(wrongSignature, sum);
  EXPECT_FALSE(LoadSCLFromBytes(disk, wrongSignature));
  EXPECT_EQ(test::English(disk.LastError), "Wrong SCL file signature!");
}

TEST(Scl, LastFileOneByteShortKeepsTheEarlierFiles) {
  Bytes scl = test::MakeScl({{"one", 'C', 0, 0, 1, 0x31}, {"two", 'B', 0, 0, 2, 0x32}});
  Bytes cut(scl.begin(), scl.end() - 5);
  std::uint32_t sum = 0;
  for (std::uint8_t b : cut) sum += b;
  AppendLe32(cut, sum);
  TZX_Disk disk;
  EXPECT_FALSE(LoadSCLFromBytes(disk, cut));
  EXPECT_EQ(test::English(disk.LastError), "Wrong size of the file two     .B!");
  EXPECT_EQ(test::SectorBytes(disk, 1, 1), Bytes(256, 0x31));
  EXPECT_EQ(test::SectorBytes(disk, 0, 1)[0], 'o');   // its entry is written
  EXPECT_EQ(test::SectorBytes(disk, 0, 9)[0xE4], 0);  // the info sector still says empty
}

TEST(Scl, TooManyFilesFailAfterTheDiskWasReplaced) {
  Bytes scl = {'S', 'I', 'N', 'C', 'L', 'A', 'I', 'R', 129};
  scl.resize(9 + 14 * 129, 0);
  std::uint32_t sum = 0;
  for (std::uint8_t b : scl) sum += b;
  AppendLe32(scl, sum);
  TZX_Disk disk;
  EXPECT_FALSE(LoadSCLFromBytes(disk, scl));
  EXPECT_EQ(test::English(disk.LastError), "More files than a TR-DOS catalog holds!");
  TrdosCatalog catalog;
  EXPECT_TRUE(ReadCatalog(disk, catalog));
  EXPECT_EQ(catalog.FreeSectors, 2544);

  std::vector<test::SclPart> parts(128, {"f", 'C', 0, 0, 0, 0});
  EXPECT_TRUE(LoadSCLFromBytes(disk, test::MakeScl(parts)));
}

TEST(Scl, FilesLargerThanTheDiskAreRefused) {
  std::vector<test::SclPart> parts(10, {"big", 'C', 0, 0, 255, 1});
  TZX_Disk disk;
  EXPECT_FALSE(LoadSCLFromBytes(disk, test::MakeScl(parts)));
  EXPECT_EQ(test::English(disk.LastError), "No room left on the disk image!");
  parts.resize(9);
  parts.push_back({"fit", 'C', 0, 0, 2544 - 9 * 255, 2});
  EXPECT_TRUE(LoadSCLFromBytes(disk, test::MakeScl(parts)));
  TrdosCatalog catalog;
  ASSERT_TRUE(ReadCatalog(disk, catalog));
  EXPECT_EQ(catalog.FreeSectors, 0);
  EXPECT_EQ(catalog.FirstFreeTrack, 160);
}

TEST(Scl, LoadThenSaveGivesTheSameBytes) {
  const Bytes scl = test::MakeScl({{"code", 'C', 0x8000, 0x1234, 3, 0xAA}, {"boot", 'B', 10, 10, 1, 0xBB}});
  TZX_Disk disk;
  ASSERT_TRUE(LoadSCLFromBytes(disk, scl));
  Bytes saved;
  ASSERT_TRUE(SaveSCLToBytes(disk, saved));
  EXPECT_EQ(saved, scl);  // a start of 0x8000 keeps both bytes
}

TEST(Scl, SavingOnlyDeletedFilesFails) {
  TZX_Disk disk;
  test::BlankTrdosDisk(disk);
  test::WriteTrdosFiles(disk,
                        {{"\x01"
                          "a",
                          'C', 1, 0, 1}},
                        1, 1, 1, 1);
  Bytes out;
  EXPECT_FALSE(SaveSCLToBytes(disk, out));
  EXPECT_EQ(test::English(disk.LastError), "The image is not a TR-DOS disk with files!");
  TZX_Disk empty;
  EXPECT_FALSE(SaveSCLToBytes(empty, out));
  EXPECT_EQ(test::English(empty.LastError), "The image is not a TR-DOS disk with files!");
}

TEST(Scl, CountByteEqualsTheHeadersWhenTheCountsDisagree) {
  TZX_Disk disk;
  test::BlankTrdosDisk(disk);
  // Three files, one deleted, but the info sector claims no deleted file.
  test::WriteTrdosFiles(disk,
                        {{"a", 'C', 1, 0, 1},
                         {"\x01"
                          "b",
                          'C', 1, 1, 1},
                         {"c", 'C', 1, 2, 1}},
                        3, 0, 1, 3);
  Bytes out;
  ASSERT_TRUE(SaveSCLToBytes(disk, out));
  EXPECT_EQ(out[8], 2);
  EXPECT_EQ(out.size(), 9u + 2 * 14 + 2 * 256 + 4);
  EXPECT_EQ(out[9 + 14], 'c');
  TZX_Disk back;
  EXPECT_TRUE(LoadSCLFromBytes(back, out));
}

TEST(Scl, UnusableSectorFailsTheSaveWithItsPosition) {
  TZX_Disk disk;
  test::BlankTrdosDisk(disk);
  test::WriteTrdosFiles(disk, {{"a", 'C', 1, 14, 3}}, 1, 0, 2, 1);
  for (auto& sector : disk.Tracks[2].Sectors)
    if (sector.IdSector == 1) sector.Used = false;
  Bytes out;
  EXPECT_FALSE(SaveSCLToBytes(disk, out));
  EXPECT_EQ(test::English(disk.LastError), "Sector error: track 2, sector 1!");
  TrdosCatalog catalog;
  ASSERT_TRUE(ReadCatalog(disk, catalog));
  const SclFile file = BuildSclFile(disk, {catalog.Entries[0]});
  ASSERT_TRUE(file.Failure);
  EXPECT_EQ(test::English(SclSectorErrorMessage(*file.Failure).Text), "Sector error: track 2, sector 1!");
}

TEST(Scl, SelectedEntriesBecomeOneFileInListOrder) {
  TZX_Disk disk;
  test::BlankTrdosDisk(disk);
  test::WriteTrdosFiles(disk,
                        {{"a", 'C', 1, 0, 1},
                         {"\x01"
                          "b",
                          'C', 1, 1, 2}},
                        2, 1, 1, 3);
  TrdosCatalog catalog;
  ASSERT_TRUE(ReadCatalog(disk, catalog));
  const SclFile file = BuildSclFile(disk, {catalog.Entries[1], catalog.Entries[0]});
  ASSERT_FALSE(file.Failure);
  Bytes expected = test::MakeScl({{"\x01"
                                   "b",
                                   'C', 0, 0, 2, test::FillByte(1, 0)},
                                  {"a", 'C', 0, 0, 1, test::FillByte(0, 0)}});
  // Sector 2 of "b" has its own fill byte; patch the expectation and its sum.
  std::fill_n(expected.begin() + 9 + 28 + 256, 256, test::FillByte(1, 1));
  expected.resize(expected.size() - 4);
  std::uint32_t sum = 0;
  for (std::uint8_t b : expected) sum += b;
  AppendLe32(expected, sum);
  EXPECT_EQ(file.Data, expected);
}

}  // namespace
}  // namespace velloran
