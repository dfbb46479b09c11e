#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "formats/fdi.h"
#include "formats/sample_disks.h"
#include "support/test_support.h"

namespace velloran {
namespace {

// An FDI file built field by field: header, track headers, text, data.
struct FdiBuilder {
  struct Sector {
    std::uint8_t c, h, r, n, flags;
    Bytes data;
  };
  std::uint16_t cylinders = 1, heads = 1;
  std::vector<std::vector<Sector>> tracks;
  std::string text;
  Bytes extraHeader;

  Bytes Build() const {
    Bytes file{'F', 'D', 'I', 0};
    AppendLe16(file, cylinders);
    AppendLe16(file, heads);
    AppendLe16(file, 0);
    AppendLe16(file, 0);
    AppendLe16(file, static_cast<std::uint16_t>(extraHeader.size()));
    file.insert(file.end(), extraHeader.begin(), extraHeader.end());
    Bytes area;
    for (const auto& track : tracks) {
      const std::size_t start = area.size();
      AppendLe32(file, static_cast<std::uint32_t>(start));
      AppendLe16(file, 0);
      file.push_back(static_cast<std::uint8_t>(track.size()));
      for (const auto& s : track) {
        file.insert(file.end(), {s.c, s.h, s.r, s.n, s.flags});
        AppendLe16(file, static_cast<std::uint16_t>(area.size() - start));
        area.insert(area.end(), s.data.begin(), s.data.end());
      }
    }
    WriteLe16(&file[8], static_cast<std::uint16_t>(file.size()));
    file.insert(file.end(), text.begin(), text.end());
    file.push_back(0);
    WriteLe16(&file[10], static_cast<std::uint16_t>(file.size()));
    file.insert(file.end(), area.begin(), area.end());
    return file;
  }
};

Bytes Filled(std::size_t size, std::uint8_t seed) {
  Bytes data(size);
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<std::uint8_t>(seed + i * 3);
  return data;
}

TEST(Fdi, ReadsHeadersFlagsAndDataOfEachSector) {
  FdiBuilder fdi;
  fdi.cylinders = 2;
  fdi.heads = 1;
  fdi.extraHeader = {9, 9, 9};
  fdi.tracks = {{{0, 0, 1, 1, 0x02, Filled(256, 1)}, {0, 0, 9, 3, 0x80, Filled(1024, 2)}},
                {{5, 1, 0xF7, 0, 0x41, Filled(128, 3)}}};
  Bytes file = fdi.Build();
  file[0] = 'f', file[2] = 'i';  // the signature in any letter case
  TZX_Disk disk;
  ASSERT_TRUE(LoadFDIFromBytes(disk, file)) << disk.LastError;
  // A one-headed file fills the even tracks.
  EXPECT_TRUE(disk.GetTrack(0).Present);
  EXPECT_FALSE(disk.GetTrack(1).Present);
  EXPECT_TRUE(disk.GetTrack(2).Present);
  const TSectorRec& a = disk.GetSector(0, 0);
  EXPECT_EQ(a.IdSector, 1);
  EXPECT_TRUE(a.DataOk);
  EXPECT_EQ(a.DataLen, 256);
  EXPECT_EQ(a.IdCrc, IdFieldCrc(0, 0, 1, 1));
  EXPECT_EQ(0, std::memcmp(a.Data.data(), Filled(256, 1).data(), 256));
  const TSectorRec& b = disk.GetSector(0, 1);
  EXPECT_FALSE(b.DataOk) << "flags 0x80 alone (deleted data) carry no CRC bit";
  EXPECT_EQ(b.DataLen, 1024);
  EXPECT_EQ(0, std::memcmp(b.Data.data(), Filled(1024, 2).data(), 1024));
  const TSectorRec& c = disk.GetSector(2, 0);
  EXPECT_EQ(c.IdTrack, 5);
  EXPECT_EQ(c.IdSide, 1);
  EXPECT_EQ(c.IdSector, 0xF7);
  EXPECT_TRUE(c.DataOk) << "bit 6 is ignored, bit 0 counts";
  EXPECT_EQ(c.DataPos, 0);
  EXPECT_EQ(disk.GetTrack(2).RawLength, 0);
}

TEST(Fdi, MalformedHeadersGiveTheirMessages) {
  TZX_Disk disk;
  EXPECT_FALSE(LoadFDIFromBytes(disk, {}));
  EXPECT_EQ(test::English(disk.LastError), "The FDI file is empty!");
  EXPECT_FALSE(LoadFDIFromBytes(disk, Bytes{'F', 'D'}));
  EXPECT_EQ(test::English(disk.LastError), "The file is not in the FDI format!");
  EXPECT_FALSE(LoadFDIFromBytes(disk, Bytes{'F', 'D', 'X', 0, 0, 0}));
  EXPECT_EQ(test::English(disk.LastError), "The file is not in the FDI format!");
  EXPECT_FALSE(LoadFDIFromBytes(disk, Bytes{'F', 'D', 'I', 0, 0}));
  EXPECT_EQ(test::English(disk.LastError), "Error in the FDI file length!");

  FdiBuilder fdi;
  fdi.cylinders = 84;
  fdi.heads = 2;
  fdi.tracks.assign(168, {});
  EXPECT_FALSE(LoadFDIFromBytes(disk, fdi.Build()));
  EXPECT_EQ(test::English(disk.LastError), "Error in the FDI image geometry!");
  // The size test comes first: 200 cylinders without their track headers.
  fdi.cylinders = 200;
  EXPECT_FALSE(LoadFDIFromBytes(disk, fdi.Build()));
  EXPECT_EQ(test::English(disk.LastError), "Error in the FDI file length!");
  fdi.cylinders = 1;
  fdi.heads = 3;
  fdi.tracks.assign(3, {});
  EXPECT_FALSE(LoadFDIFromBytes(disk, fdi.Build()));
  EXPECT_EQ(test::English(disk.LastError), "Error in the FDI image geometry!");
}

TEST(Fdi, DataOutsideTheFileIsRefusedKeepingEarlierTracks) {
  FdiBuilder fdi;
  fdi.cylinders = 1;
  fdi.heads = 2;
  fdi.tracks = {{{0, 0, 1, 1, 2, Filled(256, 1)}}, {{0, 1, 1, 1, 2, Filled(256, 2)}}};
  Bytes file = fdi.Build();
  file.pop_back();  // the last sector runs past the end
  TZX_Disk disk;
  EXPECT_FALSE(LoadFDIFromBytes(disk, file));
  EXPECT_EQ(test::English(disk.LastError), "Error in the FDI file length!");
  EXPECT_TRUE(disk.GetTrack(0).Present);
  EXPECT_EQ(disk.GetSector(0, 0).DataLen, 256);

  file = fdi.Build();
  WriteLe32(&file[14 + 7 + 7], 100000);  // the second track's data offset
  EXPECT_FALSE(LoadFDIFromBytes(disk, file));
  EXPECT_EQ(test::English(disk.LastError), "Error in the FDI file length!");
}

TEST(Fdi, TrackWithMoreSectorsThanSlotsIsRefused) {
  FdiBuilder fdi;
  fdi.tracks.resize(1);
  for (int i = 0; i < 21; ++i) fdi.tracks[0].push_back({0, 0, static_cast<std::uint8_t>(i), 0, 1, Filled(128, 0)});
  TZX_Disk disk;
  EXPECT_FALSE(LoadFDIFromBytes(disk, fdi.Build()));
  EXPECT_EQ(test::English(disk.LastError), "FDI track 0 has 21 sectors, at most 20 fit!");
}

// Size codes above 3 are longer than a slot: the first 1100 bytes are kept.
TEST(Fdi, OversizedSectorIsCutToTheSlot) {
  FdiBuilder fdi;
  fdi.tracks = {{{0, 0, 1, 4, 0x10, Filled(2048, 7)}, {0, 0, 2, 9, 0, {}}}};
  TZX_Disk disk;
  ASSERT_TRUE(LoadFDIFromBytes(disk, fdi.Build())) << disk.LastError;
  EXPECT_EQ(disk.GetSector(0, 0).DataLen, 1100);
  EXPECT_TRUE(disk.GetSector(0, 0).DataOk);
  EXPECT_EQ(0, std::memcmp(disk.GetSector(0, 0).Data.data(), Filled(2048, 7).data(), 1100));
  EXPECT_EQ(disk.GetSector(0, 1).DataLen, 0) << "128 << 9 does not fit 16 bits";
  Bytes saved;
  ASSERT_TRUE(SaveFDIToBytes(disk, saved));
  TZX_Disk again;
  ASSERT_TRUE(LoadFDIFromBytes(again, saved));
  EXPECT_EQ(test::DiskDifference(disk, again, {}), "") << "one side written, one side read";
}

TEST(Fdi, WriterLaysOutHeaderTracksTextAndData) {
  TZX_Disk disk;
  test::MakeTrdosLayoutDisk(disk, 3);
  disk.GetSector(1, 4).DataOk = false;
  disk.Comments = {"Диск"};
  Bytes file;
  ASSERT_TRUE(SaveFDIToBytes(disk, file));
  EXPECT_EQ(0, std::memcmp(file.data(), "FDI", 3));
  EXPECT_EQ(file[3], 0);
  EXPECT_EQ(ReadLe16(&file[4]), 2) << "3 tracks make 2 cylinders";
  EXPECT_EQ(ReadLe16(&file[6]), 2);
  EXPECT_EQ(ReadLe16(&file[12]), 0);
  const std::size_t trackHeader = 7 + 16 * 7;
  const std::size_t textOffset = 14 + 3 * trackHeader + 7;  // the fourth track is empty
  EXPECT_EQ(ReadLe16(&file[8]), textOffset);
  // "Диск" in CP866, CR LF, the closing zero.
  const Bytes text = {0x84, 0xA8, 0xE1, 0xAA, '\r', '\n', 0};
  EXPECT_TRUE(std::equal(text.begin(), text.end(), file.begin() + static_cast<std::ptrdiff_t>(textOffset)));
  const std::size_t dataOffset = textOffset + text.size();
  EXPECT_EQ(ReadLe16(&file[10]), dataOffset);
  EXPECT_EQ(file.size(), dataOffset + 3 * 16 * 256);
  EXPECT_EQ(file[14 + 3 * trackHeader + 6], 0) << "the empty track has no sectors";
  // Track 1: data offset 4096, sector 5 with flags 0, its data at 1024.
  const std::size_t track1 = 14 + trackHeader;
  EXPECT_EQ(ReadLe32(&file[track1]), 4096u);
  EXPECT_EQ(file[track1 + 6], 16);
  const std::uint8_t* fifth = &file[track1 + 7 + 4 * 7];
  EXPECT_EQ(fifth[2], 5);
  EXPECT_EQ(fifth[4], 0);
  EXPECT_EQ(ReadLe16(fifth + 5), 1024);
  EXPECT_EQ(file[track1 + 7 + 4], 0x02);
  EXPECT_EQ(file[dataOffset + 4096 + 1024 + 5], test::PatternByte(1, 5, 5));

  TZX_Disk again;
  ASSERT_TRUE(LoadFDIFromBytes(again, file));
  EXPECT_EQ(again.Comments, disk.Comments);
  disk.GetTrack(3).Present = true;  // the cylinder's second track comes back present and empty
  EXPECT_EQ(test::DiskDifference(disk, again, {true, true}), "");
}

TEST(Fdi, CommentTextIsCutTo63Characters) {
  TZX_Disk disk;
  test::MakeKdiLayoutDisk(disk, 1);
  disk.Comments = {std::string(40, 'a'), std::string(40, 'b')};
  Bytes file;
  ASSERT_TRUE(SaveFDIToBytes(disk, file));
  const std::size_t textOffset = ReadLe16(&file[8]);
  EXPECT_EQ(ReadLe16(&file[10]), textOffset + 64);
  EXPECT_EQ(file[textOffset + 63], 0);
  EXPECT_EQ(file[textOffset + 41], '\n');
  TZX_Disk again;
  ASSERT_TRUE(LoadFDIFromBytes(again, file));
  EXPECT_EQ(again.Comments, (std::vector<std::string>{std::string(40, 'a'), std::string(21, 'b')}));
}

// Used slots are written wherever they lie; empty slots in between are not
// written as sectors.
TEST(Fdi, UsedSlotsAreWrittenWhereverTheyLie) {
  TZX_Disk disk;
  test::PutSector(disk, 0, 3, 0, 0, 1, 1);
  test::PutSector(disk, 0, 17, 0, 0, 2, 1);
  Bytes file;
  ASSERT_TRUE(SaveFDIToBytes(disk, file));
  TZX_Disk again;
  ASSERT_TRUE(LoadFDIFromBytes(again, file));
  EXPECT_EQ(again.GetTrack(0).CountSectors(), 2);
  EXPECT_EQ(again.GetSector(0, 0).IdSector, 1);
  EXPECT_EQ(again.GetSector(0, 1).IdSector, 2);
  EXPECT_EQ(again.GetSector(0, 1).Data[9], test::PatternByte(0, 2, 9));
}

TEST(Fdi, CorpusImageLoadsWithItsLayoutAndComment) {
  TZX_Disk disk;
  ASSERT_TRUE(LoadFDI(disk, test::CorpusFile("fdi/alfishe_unreal-ng__VORON1.FDI"))) << disk.LastError;
  EXPECT_EQ(disk.CountTracks(), 162);
  EXPECT_EQ(disk.GetTrack(0).CountSectors(), 1);
  EXPECT_EQ(disk.GetTrack(1).CountSectors(), 16);
  EXPECT_EQ(disk.GetTrack(2).CountSectors(), 5);
  EXPECT_EQ(disk.GetTrack(161).CountSectors(), 0);
  int badSectors = 0;
  for (const auto& track : disk.Tracks)
    for (const auto& s : track.Sectors) badSectors += s.Used && !s.DataOk;
  EXPECT_EQ(badSectors, 1);
  ASSERT_EQ(disk.Comments.size(), 1u);
  EXPECT_EQ(disk.Comments[0], "черный ворон disk 1 of 2 fdi image by PGC/BDA 09.1998");
}

}  // namespace
}  // namespace velloran
