#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "formats/sample_disks.h"
#include "formats/trd.h"
#include "formats/udi.h"
#include "support/test_support.h"

namespace velloran {
namespace {

using test::PatternByte;

Bytes PatternFile(std::size_t size) {
  Bytes data(size);
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<std::uint8_t>(i * 7 + (i >> 9));
  return data;
}

TEST(Trd, A640KFileLoadsAs160TracksOfSixteenSectors) {
  const Bytes file = PatternFile(655360);
  TZX_Disk disk;
  ASSERT_TRUE(LoadTRDFromBytes(disk, file));
  EXPECT_EQ(disk.CountTracks(), 160);
  for (int t = 0; t < 160; ++t) {
    const TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    ASSERT_TRUE(track.Present);
    EXPECT_EQ(track.RawLength, 0);
    EXPECT_EQ(track.SectorCount, 0) << "the reader leaves the count to CountSectors";
    for (int slot = 0; slot < 20; ++slot) {
      const TSectorRec& s = track.GetSector(static_cast<std::uint8_t>(slot));
      if (slot >= 16) {
        EXPECT_FALSE(s.Used);
        continue;
      }
      EXPECT_EQ(s.IdTrack, t / 2);
      EXPECT_EQ(s.IdSide, 0) << "TR-DOS writes side 0 on both sides";
      EXPECT_EQ(s.IdSector, slot + 1);
      EXPECT_EQ(s.IdSize, 1);
      const std::uint8_t id[] = {
          0xA1, 0xA1, 0xA1, 0xFE, static_cast<std::uint8_t>(t / 2), 0, static_cast<std::uint8_t>(slot + 1), 1};
      EXPECT_EQ(s.IdCrc, CalcCRC16(id, sizeof id));
      EXPECT_TRUE(s.DataOk);
      EXPECT_EQ(s.DataLen, 256);
      ASSERT_EQ(0, std::memcmp(s.Data.data(), &file[static_cast<std::size_t>(t * 4096 + slot * 256)], 256));
    }
  }
  Bytes saved;
  ASSERT_TRUE(SaveTRDToBytes(disk, saved));
  EXPECT_EQ(saved, file);
}

// An empty file is no disk image: it is refused, and an empty disk is not
// saved as one.
TEST(Trd, EmptyFileIsRefusedAndNeverWritten) {
  TZX_Disk disk;
  test::MakeTrdosLayoutDisk(disk, 4);
  EXPECT_FALSE(LoadTRDFromBytes(disk, {}));
  EXPECT_EQ(test::English(disk.LastError), "The TRD image is empty: the file has no bytes!");
  disk.ClearDisk();
  Bytes saved{1, 2, 3};
  EXPECT_FALSE(SaveTRDToBytes(disk, saved));
  EXPECT_EQ(test::English(disk.LastError), "No tracks to write!");
}

// A length that is not a whole number of tracks keeps every byte: the last
// track is completed with zeros, where rounding to the nearest track would
// drop up to half a track.
TEST(Trd, PartialLastTrackIsKeptAndCompletedWithZeros) {
  for (const std::size_t size : {std::size_t{1}, std::size_t{4096 + 100}, std::size_t{80 * 4096 + 2048},
                                 std::size_t{81 * 4096 + 2048}, std::size_t{3 * 4096 - 1}}) {
    const Bytes file = PatternFile(size);
    TZX_Disk disk;
    ASSERT_TRUE(LoadTRDFromBytes(disk, file)) << size;
    const int tracks = static_cast<int>((size + 4095) / 4096);
    EXPECT_EQ(disk.CountTracks(), tracks) << size;
    Bytes saved;
    ASSERT_TRUE(SaveTRDToBytes(disk, saved));
    ASSERT_EQ(saved.size(), static_cast<std::size_t>(tracks) * 4096);
    EXPECT_TRUE(std::equal(file.begin(), file.end(), saved.begin())) << size;
    EXPECT_TRUE(std::all_of(saved.begin() + static_cast<std::ptrdiff_t>(size), saved.end(),
                            [](std::uint8_t b) { return b == 0; }));
  }
}

TEST(Trd, TruncatedCorpusImageKeepsAllItsBytes) {
  const auto path = test::CorpusFile("trd/chernandezba_zesarux-extras__ENJOY.TRD");
  const Bytes file = test::ReadFileBytes(path);
  ASSERT_EQ(file.size(), 70400u);
  TZX_Disk disk;
  ASSERT_TRUE(LoadTRD(disk, path));
  EXPECT_EQ(disk.CountTracks(), 18);  // 17.19 tracks of data
  EXPECT_EQ(test::English(disk.Notices),
            std::vector<std::string>{"TRD: the file is 3328 bytes short of a whole track; they read as zeros."});
  Bytes saved;
  ASSERT_TRUE(SaveTRDToBytes(disk, saved));
  ASSERT_EQ(saved.size(), 18u * 4096);
  EXPECT_TRUE(std::equal(file.begin(), file.end(), saved.begin()));
}

TEST(Trd, MoreTracksThanTheDiskHoldsAreRefused) {
  TZX_Disk disk;
  ASSERT_TRUE(LoadTRDFromBytes(disk, Bytes(166 * 4096)));
  EXPECT_EQ(disk.CountTracks(), 166);
  EXPECT_FALSE(LoadTRDFromBytes(disk, Bytes(166 * 4096 + 1)));
  EXPECT_EQ(test::English(disk.LastError), "The TRD image is too big: 167 tracks, a disk holds at most 166!");
}

TEST(Trd, SectorsAreWrittenInNumberOrderWhateverTheirSlots) {
  TZX_Disk disk;
  for (int i = 0; i < 16; ++i)  // the interleave 1, 9, 2, 10, ...
    test::PutSector(disk, 0, i, 0, 0, static_cast<std::uint8_t>(i % 2 == 0 ? i / 2 + 1 : i / 2 + 9), 1);
  // A second sector 5, later on the track, does not contribute.
  test::PutSector(disk, 0, 16, 0, 0, 5, 1);
  disk.GetSector(0, 16).Data.fill(0xEE);
  Bytes saved;
  ASSERT_TRUE(SaveTRDToBytes(disk, saved));
  ASSERT_EQ(saved.size(), 4096u);
  for (int r = 1; r <= 16; ++r)
    for (int i = 0; i < 256; ++i)
      ASSERT_EQ(saved[static_cast<std::size_t>((r - 1) * 256 + i)], PatternByte(0, r, i)) << r;
}

TEST(Trd, MissingSectorFailsAndWritesNothing) {
  test::ScratchDir dir;
  const auto path = dir / "disk.trd";
  test::WriteFileBytes(path, Bytes{1, 2, 3});

  TZX_Disk disk;
  test::MakeTrdosLayoutDisk(disk, 4);
  disk.GetTrack(2).ClearSector(6);
  EXPECT_FALSE(SaveTRD(disk, path));
  EXPECT_EQ(test::English(disk.LastError), "The TRD image is not saved: track 2 has no sector 7!");

  EXPECT_EQ(test::ReadFileBytes(path), (Bytes{1, 2, 3}));
}

TEST(Trd, SectorOfAnotherSizeGivesItsFirst256Bytes) {
  TZX_Disk disk;
  test::MakeTrdosLayoutDisk(disk, 4);
  test::PutSector(disk, 3, 0, 1, 0, 1, 3);
  Bytes saved;
  ASSERT_TRUE(SaveTRDToBytes(disk, saved));
  const auto& sector = disk.GetTrack(3).Sectors[0];
  EXPECT_TRUE(std::equal(sector.Data.begin(), sector.Data.begin() + 256, saved.begin() + 3 * 4096));
}

// The file is sized from the highest present track, so a disk with a track
// removed in the middle keeps all of its tracks; the removed track keeps its
// sectors and is written with them.
TEST(Trd, TracksUpToTheHighestPresentOneAreWritten) {
  TZX_Disk disk;
  test::MakeTrdosLayoutDisk(disk, 80);
  disk.GetTrack(40).Present = false;
  Bytes saved;
  ASSERT_TRUE(SaveTRDToBytes(disk, saved));
  EXPECT_EQ(saved.size(), 80u * 4096);
  EXPECT_EQ(saved[79 * 4096], PatternByte(79, 1, 0));

  // Absent tracks without sectors inside the range cannot be written.
  test::MakeTrdosLayoutDisk(disk, 2);
  test::PutSector(disk, 5, 0, 2, 0, 1, 1);
  EXPECT_FALSE(SaveTRDToBytes(disk, saved));
  EXPECT_EQ(test::English(disk.LastError), "The TRD image is not saved: track 2 has no sector 1!");
}

// An odd number of tracks goes to UDI as whole cylinders: the last track
// comes back present but blank. Back in TRD it is left out again, and the
// partial last track of the original comes back completed with zeros.
TEST(Trd, TrailingBlankTracksAreLeftOutSoTrdThroughUdiGivesTheFileBack) {
  const Bytes corpus = test::ReadFileBytes(test::CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd"));
  const Bytes original(corpus.begin(), corpus.begin() + 80 * 4096 + 1000);  // 81 tracks, the last partial
  TZX_Disk disk;
  ASSERT_TRUE(LoadTRDFromBytes(disk, original));
  Bytes udi;
  ASSERT_TRUE(SaveUDIToBytes(disk, udi)) << disk.LastError;
  TZX_Disk fromUdi;
  ASSERT_TRUE(LoadUDIFromBytes(fromUdi, udi)) << fromUdi.LastError;
  ASSERT_EQ(fromUdi.CountTracks(), 82);
  ASSERT_EQ(fromUdi.GetTrack(81).CountSectors(), 0);
  Bytes back;
  ASSERT_TRUE(SaveTRDToBytes(fromUdi, back)) << fromUdi.LastError;
  ASSERT_EQ(back.size(), 81u * 4096);
  EXPECT_TRUE(std::equal(original.begin(), original.end(), back.begin()));
  EXPECT_TRUE(std::all_of(back.begin() + static_cast<std::ptrdiff_t>(original.size()), back.end(),
                          [](std::uint8_t b) { return b == 0; }));
}

}  // namespace
}  // namespace velloran
