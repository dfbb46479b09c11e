#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "formats/kdi.h"
#include "formats/pro.h"
#include "formats/sample_disks.h"
#include "support/test_support.h"

namespace velloran {
namespace {

Bytes PatternFile(std::size_t size) {
  Bytes data(size);
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<std::uint8_t>(i * 5 + (i >> 10));
  return data;
}

void ExpectFiveSectorTrack(const TZX_Disk& disk, int t, std::uint8_t fifthNumber, const Bytes& file) {
  const TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
  ASSERT_TRUE(track.Present);
  for (int slot = 0; slot < 5; ++slot) {
    const TSectorRec& s = track.GetSector(static_cast<std::uint8_t>(slot));
    EXPECT_TRUE(s.Used);
    EXPECT_EQ(s.IdTrack, t / 2);
    EXPECT_EQ(s.IdSide, t % 2);
    EXPECT_EQ(s.IdSector, slot == 4 ? fifthNumber : slot + 1);
    EXPECT_EQ(s.IdSize, 3);
    EXPECT_EQ(s.IdCrc, IdFieldCrc(s.IdTrack, s.IdSide, s.IdSector, 3));
    EXPECT_TRUE(s.DataOk);
    EXPECT_EQ(s.DataLen, 1024);
    ASSERT_EQ(0, std::memcmp(s.Data.data(), &file[static_cast<std::size_t>(t * 5120 + slot * 1024)], 1024));
  }
  EXPECT_FALSE(track.GetSector(5).Used);
}

TEST(ProKdi, FullProFileLoadsAs160TracksWithSectorNineOnTrackZero) {
  const Bytes file = PatternFile(819200);
  TZX_Disk disk;
  ASSERT_TRUE(LoadPROFromBytes(disk, file));
  EXPECT_EQ(disk.CountTracks(), 160);
  ExpectFiveSectorTrack(disk, 0, 9, file);
  ExpectFiveSectorTrack(disk, 1, 5, file);
  ExpectFiveSectorTrack(disk, 159, 5, file);
  // The ID CRC of track 0 sector 1, computed from the bytes of the ID field.
  const std::uint8_t id[] = {0xA1, 0xA1, 0xA1, 0xFE, 0, 0, 1, 3};
  EXPECT_EQ(disk.GetSector(0, 0).IdCrc, CalcCRC16(id, sizeof id));

  Bytes saved;
  ASSERT_TRUE(SavePROToBytes(disk, saved));
  EXPECT_EQ(saved, file);
  EXPECT_FALSE(SaveKDIToBytes(disk, saved)) << "track 0 has no sector 5";
  EXPECT_EQ(test::English(disk.LastError), "The KDI image is not saved: track 0 has no sector 5!");
}

TEST(ProKdi, SameFileAsKdiHasSectorFiveOnTrackZero) {
  const Bytes file = PatternFile(819200);
  TZX_Disk disk;
  ASSERT_TRUE(LoadKDIFromBytes(disk, file));
  ExpectFiveSectorTrack(disk, 0, 5, file);
  Bytes saved;
  ASSERT_TRUE(SaveKDIToBytes(disk, saved));
  EXPECT_EQ(saved, file);
  EXPECT_FALSE(SavePROToBytes(disk, saved));
  EXPECT_EQ(test::English(disk.LastError), "The PRO image is not saved: track 0 has no sector 9!");
}

// 1.5 and 2.5 tracks: the partial track is kept, completed with zeros.
TEST(ProKdi, PartialTrackIsRoundedUp) {
  for (const std::size_t size : {std::size_t{7680}, std::size_t{12800}}) {
    const Bytes file = PatternFile(size);
    TZX_Disk disk;
    ASSERT_TRUE(LoadKDIFromBytes(disk, file));
    const std::size_t tracks = (size + 5119) / 5120;
    EXPECT_EQ(disk.CountTracks(), tracks);
    Bytes saved;
    ASSERT_TRUE(SaveKDIToBytes(disk, saved));
    ASSERT_EQ(saved.size(), tracks * 5120);
    EXPECT_TRUE(std::equal(file.begin(), file.end(), saved.begin()));
    EXPECT_EQ(saved.back(), 0);
  }
}

TEST(ProKdi, FileAboveTheDiskCapacityIsRefused) {
  TZX_Disk disk;
  EXPECT_TRUE(LoadPROFromBytes(disk, Bytes(166 * 5120)));
  EXPECT_FALSE(LoadPROFromBytes(disk, Bytes(166 * 5120 + 1)));
  EXPECT_EQ(test::English(disk.LastError), "The PRO image is too big: 167 tracks, a disk holds at most 166!");
}

// Every used slot is searched, so a sector lying in slot 6 still saves.
TEST(ProKdi, SectorInALaterSlotIsFound) {
  TZX_Disk disk;
  test::MakeKdiLayoutDisk(disk, 4);
  disk.GetTrack(3).ClearSector(4);
  test::PutSector(disk, 3, 6, 1, 1, 5, 3);
  Bytes saved;
  ASSERT_TRUE(SaveKDIToBytes(disk, saved));
  EXPECT_EQ(saved[3 * 5120 + 4 * 1024 + 7], test::PatternByte(3, 5, 7));
}

TEST(ProKdi, SectorOfAnotherSizeGivesItsFirstBytes) {
  // A dump holds data only: a 256-byte sector numbered 1 fills the first
  // 1024 bytes of its place with its Data, the rest being what Data holds.
  TZX_Disk disk;
  test::MakeTrdosLayoutDisk(disk, 2);
  Bytes saved;
  ASSERT_TRUE(SaveKDIToBytes(disk, saved));
  ASSERT_EQ(saved.size(), 2u * 5120);
  const auto& sector = disk.GetTrack(1).Sectors[0];
  ASSERT_EQ(sector.IdSector, 1);
  EXPECT_TRUE(std::equal(sector.Data.begin(), sector.Data.begin() + 1024, saved.begin() + 5120));
}

TEST(ProKdi, PresentTracksDecideTheLength) {
  TZX_Disk disk;
  test::MakeProLayoutDisk(disk, 160);
  Bytes saved;
  ASSERT_TRUE(SavePROToBytes(disk, saved));
  EXPECT_EQ(saved.size(), 819200u);
  disk.GetTrack(159).Present = false;
  ASSERT_TRUE(SavePROToBytes(disk, saved));
  EXPECT_EQ(saved.size(), 159u * 5120);
}

}  // namespace
}  // namespace velloran
