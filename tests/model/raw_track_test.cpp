#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "model/disk.h"
#include "model/raw_track.h"

namespace velloran {
namespace {

constexpr int kLength = kRawTrackLength;

struct Built {
  std::array<std::uint8_t, kRawTrackLength> raw{};
  std::array<std::uint8_t, kSyncMapLength> sync{};
  bool ok = false;

  bool Sync(int pos) const { return ((sync[pos / 8] >> (pos % 8)) & 1) != 0; }
  std::uint16_t Word(int pos) const { return static_cast<std::uint16_t>(raw[pos] << 8 | raw[pos + 1]); }
  int SyncCount() const {
    int count = 0;
    for (int i = 0; i < kLength; ++i) count += Sync(i) ? 1 : 0;
    return count;
  }
};

// Builds a track the way the writers call it: output prefilled with 0x4E,
// the sync map full of stale bits that must be overwritten.
Built Build(TZX_Disk& disk, std::uint8_t track) {
  Built built;
  built.raw.fill(0x4E);
  built.sync.fill(0xAA);
  built.ok = disk.BuildRawTrack(track, built.raw.data(), built.sync.data());
  return built;
}

// Data of sector `r`: every byte r + its offset, so sectors differ.
void AddSector(TTrack& track, int slot, std::uint8_t c, std::uint8_t h, std::uint8_t r, std::uint8_t n,
               bool good = true) {
  TSectorRec& s = track.Sectors[slot];
  SetIdField(s, c, h, r, n);
  s.DataOk = good;
  s.DataLen = static_cast<std::uint16_t>(SectorLength(n & 3));
  for (int i = 0; i < s.DataLen; ++i) s.Data[i] = static_cast<std::uint8_t>(r + i);
  track.Present = true;
}

std::uint16_t DataCrc(std::uint8_t mark, const std::uint8_t* data, int length) {
  std::vector<std::uint8_t> field = {0xA1, 0xA1, 0xA1, mark};
  field.insert(field.end(), data, data + length);
  return CalcCRC16(field.data(), field.size());
}

// A standard sector's fields lie at fixed offsets from its start.
constexpr int kIdSync = 12, kIdMarkAt = 15, kIdField = 16, kIdCrc = 20, kDataSync = 56, kDataMarkAt = 59, kData = 60;

void ExpectStandardSector(const Built& b, int start, const TSectorRec& s, int gap3) {
  SCOPED_TRACE(start);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(b.raw[start + i], 0x00);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(b.raw[start + kIdSync + i], 0xA1);
    EXPECT_TRUE(b.Sync(start + kIdSync + i));
    EXPECT_EQ(b.raw[start + kDataSync + i], 0xA1);
    EXPECT_TRUE(b.Sync(start + kDataSync + i));
  }
  EXPECT_EQ(b.raw[start + kIdMarkAt], 0xFE);
  EXPECT_EQ(b.raw[start + kIdField], s.IdTrack);
  EXPECT_EQ(b.raw[start + kIdField + 2], s.IdSector);
  EXPECT_EQ(b.Word(start + kIdCrc), IdFieldCrc(s.IdTrack, s.IdSide, s.IdSector, s.IdSize));
  for (int i = 22; i < 44; ++i) EXPECT_EQ(b.raw[start + i], 0x4E);
  EXPECT_EQ(b.raw[start + kDataMarkAt], 0xFB);
  const int length = SectorLength(s.IdSize);
  EXPECT_TRUE(std::equal(s.Data.begin(), s.Data.begin() + length, b.raw.begin() + start + kData));
  std::uint16_t crc = DataCrc(0xFB, s.Data.data(), length);
  if (!s.DataOk) crc = static_cast<std::uint16_t>(~crc);
  EXPECT_EQ(b.Word(start + kData + length), crc);
  const int gapStart = start + kData + length + 2;
  for (int i = 0; i < gap3 && gapStart + i < kLength; ++i) EXPECT_EQ(b.raw[gapStart + i], 0x4E);
}

class RawTrackTest : public ::testing::Test {
 protected:
  std::unique_ptr<TZX_Disk> disk = std::make_unique<TZX_Disk>();
  TTrack& Track(int t) { return disk->GetTrack(static_cast<std::uint8_t>(t)); }

  void FillTrdosTrack(int t) {
    for (int i = 0; i < 16; ++i) AddSector(Track(t), i, static_cast<std::uint8_t>(t / 2), 0, i + 1, 1);
  }
  // Gives a track a raw image of its own, as a UDI reader would.
  void MakeRawImage(int t, const Built& image) {
    std::copy(image.raw.begin(), image.raw.end(), Track(t).RawData.begin());
    Track(t).RawLength = kRawTrackLength;
    Track(t).RawValid = true;
  }
};

TEST(GapCuts, RoundingGoesToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(5, 2), 2);
  EXPECT_EQ(RoundHalfEven(7, 2), 4);
  EXPECT_EQ(RoundHalfEven(536, 18), 30);  // 29.78
  EXPECT_EQ(RoundHalfEven(1, 3), 0);
  EXPECT_EQ(RoundHalfEven(2, 3), 1);
  EXPECT_EQ(RoundHalfEven(0, 7), 0);
}

TEST(GapCuts, StandardTrackFitCalculation) {
  auto cuts = StandardGapCuts(16, 16 * 256);  // 6098 bytes: fits
  ASSERT_TRUE(cuts);
  EXPECT_EQ(cuts->gap1, 0);
  EXPECT_EQ(cuts->gap3, 0);
  cuts = StandardGapCuts(2, 5888);  // excess 10
  ASSERT_TRUE(cuts);
  EXPECT_EQ(cuts->gap1, 7);
  EXPECT_EQ(cuts->gap3, 0);
  cuts = StandardGapCuts(2, 5888 + 39);  // excess 49: nearest(24.5) = 24
  ASSERT_TRUE(cuts);
  EXPECT_EQ(cuts->gap1, 26);
  cuts = StandardGapCuts(10, 10 * 512);  // excess 170
  ASSERT_TRUE(cuts);
  EXPECT_EQ(cuts->gap1, 25);
  EXPECT_EQ(cuts->gap3, 12);
  cuts = StandardGapCuts(18, 18 * 256);
  ASSERT_TRUE(cuts);
  EXPECT_EQ(cuts->gap3, 30);
  EXPECT_FALSE(StandardGapCuts(11, 11 * 512));            // would need 68
  EXPECT_TRUE(StandardGapCuts(1, 6110 - 116 + 50 + 36));  // exactly 36 is allowed
  EXPECT_FALSE(StandardGapCuts(1, 6110 - 116 + 50 + 37));
}

TEST_F(RawTrackTest, TrdosTrackOnTheStandardTemplate) {
  FillTrdosTrack(0);
  const Built b = Build(*disk, 0);
  ASSERT_TRUE(b.ok);
  for (int i = 0; i < 80; ++i) ASSERT_EQ(b.raw[i], 0x4E);
  for (int i = 80; i < 92; ++i) EXPECT_EQ(b.raw[i], 0x00);
  for (int i = 92; i <= 94; ++i) {
    EXPECT_EQ(b.raw[i], 0xC2);
    EXPECT_TRUE(b.Sync(i));
  }
  EXPECT_EQ(b.raw[95], 0xFC);
  EXPECT_FALSE(b.Sync(95));
  // First ID mark: A1 A1 A1 at 158..160, then 00 00 01 01 and the CRC #FA0C.
  for (int i = 158; i <= 160; ++i) EXPECT_TRUE(b.Sync(i));
  EXPECT_EQ(b.raw[161], 0xFE);
  EXPECT_EQ(b.Word(166), 0xFA0C);
  for (int i = 0; i < 16; ++i) ExpectStandardSector(b, 146 + 372 * i, Track(0).Sectors[i], 54);
  for (int i = 6098; i < kLength; ++i) ASSERT_EQ(b.raw[i], 0x4E);
  EXPECT_EQ(b.SyncCount(), 3 + 16 * 6);
}

TEST_F(RawTrackTest, TenSectorsOf512FillTheTrackExactly) {
  for (int i = 0; i < 10; ++i) AddSector(Track(3), i, 1, 1, i + 1, 2);
  const Built b = Build(*disk, 3);
  ASSERT_TRUE(b.ok);
  // Index runs of 55 and 25 bytes; sectors of 616 bytes with a gap 3 of 42.
  for (int i = 0; i < 55; ++i) ASSERT_EQ(b.raw[i], 0x4E);
  EXPECT_EQ(b.raw[55], 0x00);
  EXPECT_EQ(b.raw[67], 0xC2);
  EXPECT_EQ(b.raw[70], 0xFC);
  for (int i = 71; i < 96; ++i) ASSERT_EQ(b.raw[i], 0x4E);
  for (int i = 0; i < 10; ++i) ExpectStandardSector(b, 96 + 616 * i, Track(3).Sectors[i], 42);
  EXPECT_EQ(96 + 10 * 616, kLength);  // the last gap 3 ends at 6255
}

TEST_F(RawTrackTest, EighteenSectorsOf256CutGap3To24) {
  for (int i = 0; i < 18; ++i) AddSector(Track(0), i, 0, 0, i + 1, 1);
  const Built b = Build(*disk, 0);
  ASSERT_TRUE(b.ok);
  for (int i = 0; i < 18; ++i) ExpectStandardSector(b, 96 + 342 * i, Track(0).Sectors[i], 24);
  EXPECT_EQ(b.raw[96 + 342 + 12], 0xA1);
}

TEST_F(RawTrackTest, SmallExcessShortensBothIndexGaps) {
  // 9 x 512 + 2 x 128 in 11 sectors: excess 30, gap-1 cut 17.
  for (int i = 0; i < 11; ++i) AddSector(Track(0), i, 0, 0, i + 1, i < 9 ? 2 : 0);
  const Built b = Build(*disk, 0);
  ASSERT_TRUE(b.ok);
  EXPECT_EQ(b.raw[62], 0x4E);
  EXPECT_EQ(b.raw[63], 0x00);
  EXPECT_EQ(b.raw[75], 0xC2);
  EXPECT_EQ(b.raw[78], 0xFC);
  for (int i = 79; i < 79 + 33; ++i) ASSERT_EQ(b.raw[i], 0x4E);
  ExpectStandardSector(b, 112, Track(0).Sectors[0], 54);
}

TEST_F(RawTrackTest, TooManySectorsFailWithTheTrackOnly) {
  for (int i = 0; i < 11; ++i) AddSector(Track(7), i, 3, 1, i + 1, 2);
  disk->ErrSector = 99;
  EXPECT_FALSE(Build(*disk, 7).ok);
  EXPECT_EQ(disk->ErrTrack, 7);
  EXPECT_EQ(disk->ErrSector, 99);
}

TEST_F(RawTrackTest, SizeCodeAbove3FailsAtItsSlot) {
  FillTrdosTrack(2);
  Track(2).Sectors[4].IdSize = 4;
  EXPECT_FALSE(Build(*disk, 2).ok);
  EXPECT_EQ(disk->ErrTrack, 2);
  EXPECT_EQ(disk->ErrSector, 4);
}

TEST_F(RawTrackTest, BadSectorGetsAnInvertedCrcAndKeepsItsMarks) {
  FillTrdosTrack(0);
  Track(0).Sectors[3].DataOk = false;
  const Built b = Build(*disk, 0);
  ASSERT_TRUE(b.ok);
  const int start = 146 + 372 * 3;
  const std::uint16_t good = DataCrc(0xFB, Track(0).Sectors[3].Data.data(), 256);
  EXPECT_EQ(b.Word(start + kData + 256), static_cast<std::uint16_t>(~good));
  EXPECT_EQ(b.raw[start + kDataSync], 0xA1);
  ExpectStandardSector(b, start, Track(0).Sectors[3], 54);
}

TEST_F(RawTrackTest, ShortDataIsPaddedWithZeros) {
  AddSector(Track(0), 0, 0, 0, 1, 1);
  Track(0).Sectors[0].DataLen = 10;
  const Built b = Build(*disk, 0);
  ASSERT_TRUE(b.ok);
  EXPECT_EQ(b.raw[146 + kData + 9], Track(0).Sectors[0].Data[9]);
  EXPECT_EQ(b.raw[146 + kData + 10], 0x00);
  EXPECT_EQ(b.raw[146 + kData + 255], 0x00);
}

// 16 x 128, 512, 1024, 1024: the last data field starts at 5216 and would end
// past 6239.
void FillOverlongTrack(TTrack& track, bool lastGood) {
  for (int i = 0; i < 16; ++i) AddSector(track, i, 0, 0, i + 1, 0);
  AddSector(track, 16, 0, 0, 17, 2);
  AddSector(track, 17, 0, 0, 18, 3);
  AddSector(track, 18, 0, 0, 19, 3, lastGood);
}

TEST_F(RawTrackTest, BadLastSectorThatDoesNotFitIsCutWithoutCrc) {
  FillOverlongTrack(Track(0), false);
  const Built b = Build(*disk, 0);
  ASSERT_TRUE(b.ok);
  const auto& data = Track(0).Sectors[18].Data;
  EXPECT_EQ(b.raw[5215], 0xFB);
  EXPECT_TRUE(std::equal(data.begin(), data.begin() + 1024, b.raw.begin() + 5216));
  for (int i = 6240; i < 6246; ++i) EXPECT_EQ(b.raw[i], 0x00);  // 1030 bytes, no CRC
  for (int i = 6246; i < kLength; ++i) EXPECT_EQ(b.raw[i], 0x4E);
}

TEST_F(RawTrackTest, GoodLastSectorThatDoesNotFitFails) {
  FillOverlongTrack(Track(0), true);
  EXPECT_FALSE(Build(*disk, 0).ok);
  EXPECT_EQ(disk->ErrSector, 18);
}

TEST_F(RawTrackTest, EmptySlotsBetweenSectorsAreNotSectors) {
  AddSector(Track(0), 0, 0, 0, 1, 1);
  AddSector(Track(0), 5, 0, 0, 6, 1);
  const Built b = Build(*disk, 0);
  ASSERT_TRUE(b.ok);
  EXPECT_EQ(Track(0).SectorCount, 2);
  ExpectStandardSector(b, 146, Track(0).Sectors[0], 54);
  ExpectStandardSector(b, 146 + 372, Track(0).Sectors[5], 54);
  EXPECT_EQ(b.SyncCount(), 3 + 2 * 6);
}

TEST_F(RawTrackTest, AbsentTrackIsFillerWithoutSyncBits) {
  Built b;
  b.raw.fill(0x11);
  b.sync.fill(0xFF);
  ASSERT_TRUE(disk->BuildRawTrack(9, b.raw.data(), b.sync.data()));
  EXPECT_TRUE(std::all_of(b.raw.begin(), b.raw.end(), [](auto v) { return v == 0x4E; }));
  EXPECT_TRUE(std::all_of(b.sync.begin(), b.sync.end(), [](auto v) { return v == 0; }));
  // A track index outside the disk fails instead of reading past it.
  EXPECT_FALSE(disk->BuildRawTrack(200, b.raw.data(), nullptr));
  EXPECT_EQ(disk->ErrTrack, 200);
}

TEST_F(RawTrackTest, SyncMapMayBeLeftOut) {
  FillTrdosTrack(0);
  std::array<std::uint8_t, kRawTrackLength> raw{};
  raw.fill(0x4E);
  EXPECT_TRUE(disk->BuildRawTrack(0, raw.data(), nullptr));
  EXPECT_EQ(raw[161], 0xFE);
}

// ---- the track's own raw image ----

TEST_F(RawTrackTest, OwnImageGetsNewSectorContents) {
  FillTrdosTrack(0);
  MakeRawImage(0, Build(*disk, 0));
  Track(0).Sectors[2].Data.fill(0x5A);
  TSectorRec& changed = Track(0).Sectors[2];
  SetIdField(changed, changed.IdTrack, changed.IdSide, 0x33, changed.IdSize);
  const Built b = Build(*disk, 0);
  ASSERT_TRUE(b.ok);
  ExpectStandardSector(b, 146 + 372 * 2, Track(0).Sectors[2], 54);
  EXPECT_EQ(b.raw[146 + 372 * 2 + kData], 0x5A);
  // Same layout as the standard build, the same marks.
  const Built standard = [&] {
    Track(0).RawValid = false;
    Track(0).RawLength = 0;
    return Build(*disk, 0);
  }();
  EXPECT_EQ(b.raw, standard.raw);
  EXPECT_EQ(b.sync, standard.sync);
}

TEST_F(RawTrackTest, OwnImageKeepsDeletedDataMark) {
  FillTrdosTrack(0);
  Built source = Build(*disk, 0);
  const int start = 146 + 372 * 5;
  source.raw[start + kDataMarkAt] = 0xF8;
  MakeRawImage(0, source);
  const Built b = Build(*disk, 0);
  ASSERT_TRUE(b.ok);
  EXPECT_EQ(b.raw[start + kDataMarkAt], 0xF8);
  EXPECT_EQ(b.Word(start + kData + 256), DataCrc(0xF8, Track(0).Sectors[5].Data.data(), 256));
}

TEST_F(RawTrackTest, OwnImageWithoutKeepRawWritesOnlyTheFields) {
  FillTrdosTrack(0);
  Built source = Build(*disk, 0);
  source.raw[40] = 0x77;    // in the gap before the index mark
  source.raw[6200] = 0x66;  // after the last sector
  MakeRawImage(0, source);
  disk->KeepRaw = false;
  Built b = Build(*disk, 0);
  ASSERT_TRUE(b.ok);
  EXPECT_EQ(b.raw[40], 0x4E);
  EXPECT_EQ(b.raw[6200], 0x4E);
  disk->KeepRaw = true;
  b = Build(*disk, 0);
  ASSERT_TRUE(b.ok);
  EXPECT_EQ(b.raw[40], 0x77);
  EXPECT_EQ(b.raw[6200], 0x66);
}

TEST_F(RawTrackTest, OwnImageMarksBadSectorWith14) {
  FillTrdosTrack(0);
  MakeRawImage(0, Build(*disk, 0));
  Track(0).Sectors[0].DataOk = false;
  const Built b = Build(*disk, 0);
  ASSERT_TRUE(b.ok);
  EXPECT_EQ(b.raw[146 + kDataSync], 0x14);
  EXPECT_TRUE(b.Sync(146 + kDataSync));
  EXPECT_EQ(b.raw[146 + kDataSync + 1], 0xA1);
  const std::uint16_t good = DataCrc(0xFB, Track(0).Sectors[0].Data.data(), 256);
  EXPECT_EQ(b.Word(146 + kData + 256), static_cast<std::uint16_t>(~good));
}

// A source with hand-placed marks: index mark at `index` (or none), then
// ID and data marks at the given positions of their first A1.
std::array<std::uint8_t, kRawCapacity> HandMadeSource(int index, std::vector<std::pair<int, int>> sectors) {
  std::array<std::uint8_t, kRawCapacity> src{};
  std::fill(src.begin(), src.begin() + kRawTrackLength, 0x4E);
  if (index >= 0) src[index] = src[index + 1] = src[index + 2] = 0xC2, src[index + 3] = 0xFC;
  for (auto [id, data] : sectors) {
    src[id] = src[id + 1] = src[id + 2] = 0xA1, src[id + 3] = 0xFE;
    src[data] = src[data + 1] = src[data + 2] = 0xA1, src[data + 3] = 0xFB;
  }
  return src;
}

TEST_F(RawTrackTest, OwnImageIndexMarkTooEarlyFails) {
  AddSector(Track(4), 0, 2, 0, 1, 1);
  Track(4).RawData.CopyFrom(HandMadeSource(13, {{200, 240}}).data(), kRawCapacity);  // C2 C2 FC found at 14
  Track(4).RawLength = 6256;
  Track(4).RawValid = true;
  disk->ErrSector = 55;
  EXPECT_FALSE(Build(*disk, 4).ok);
  EXPECT_EQ(disk->ErrTrack, 4);
  EXPECT_EQ(disk->ErrSector, 55);
  Track(4).RawData.CopyFrom(HandMadeSource(14, {{200, 240}}).data(), kRawCapacity);  // found at 15: allowed
  EXPECT_TRUE(Build(*disk, 4).ok);
}

TEST_F(RawTrackTest, OwnImageWithoutIndexMarkScansFromTheStart) {
  AddSector(Track(0), 0, 0, 0, 1, 1);
  Track(0).RawData.CopyFrom(HandMadeSource(-1, {{4, 40}}).data(), kRawCapacity);  // A1 A1 FE found at 5
  Track(0).RawLength = 6256;
  Track(0).RawValid = true;
  const Built b = Build(*disk, 0);
  ASSERT_TRUE(b.ok);
  EXPECT_EQ(b.raw[7], 0xFE);
  EXPECT_EQ(b.Word(12), 0xFA0C);
  EXPECT_EQ(b.raw[43], 0xFB);
}

TEST_F(RawTrackTest, OwnImageMissingOrCrowdedMarksFail) {
  AddSector(Track(0), 0, 0, 0, 1, 1);
  AddSector(Track(0), 1, 0, 0, 2, 1);
  Track(0).RawLength = 6256;
  Track(0).RawValid = true;
  // Only one sector in the image: the second ID mark is missing.
  Track(0).RawData.CopyFrom(HandMadeSource(100, {{200, 240}}).data(), kRawCapacity);
  EXPECT_FALSE(Build(*disk, 0).ok);
  EXPECT_EQ(disk->ErrSector, 1);
  // A data mark 14 bytes after the ID field.
  Track(0).RawData.CopyFrom(HandMadeSource(100, {{200, 222}, {600, 640}}).data(), kRawCapacity);
  disk->ErrSector = 0;
  EXPECT_FALSE(Build(*disk, 0).ok);
  EXPECT_EQ(disk->ErrSector, 0);
  // An ID mark 4 bytes after the previous data field.
  Track(0).RawData.CopyFrom(HandMadeSource(100, {{200, 240}, {240 + 260 + 4, 600}}).data(), kRawCapacity);
  EXPECT_FALSE(Build(*disk, 0).ok);
  EXPECT_EQ(disk->ErrSector, 1);
  Track(0).RawData.CopyFrom(HandMadeSource(100, {{200, 240}, {240 + 260 + 5, 600}}).data(), kRawCapacity);
  EXPECT_TRUE(Build(*disk, 0).ok);
}

TEST_F(RawTrackTest, OwnImageCloseIdMarkKeepsThePreviousCrc) {
  AddSector(Track(0), 0, 0, 0, 1, 1);
  AddSector(Track(0), 1, 0, 0, 2, 1);
  // Second ID mark 6 bytes after the end of the first data field.
  Track(0).RawData.CopyFrom(HandMadeSource(100, {{200, 240}, {240 + 260 + 6, 600}}).data(), kRawCapacity);
  Track(0).RawLength = 6256;
  Track(0).RawValid = true;
  const Built b = Build(*disk, 0);
  ASSERT_TRUE(b.ok);
  // First data field: mark at 243, data 244..499, CRC 500..501.
  EXPECT_EQ(b.Word(500), DataCrc(0xFB, Track(0).Sectors[0].Data.data(), 256));
  for (int i = 502; i < 506; ++i) EXPECT_EQ(b.raw[i], 0x00);
  EXPECT_EQ(b.raw[506], 0xA1);
}

TEST_F(RawTrackTest, OwnImageBadLastSectorPastTheEndKeepsItsBytes) {
  AddSector(Track(0), 0, 0, 0, 1, 3, false);
  Track(0).RawData.CopyFrom(HandMadeSource(100, {{5000, 5300}}).data(), kRawCapacity);
  Track(0).RawData[6000] = 0x99;
  Track(0).RawLength = 6256;
  Track(0).RawValid = true;
  disk->KeepRaw = true;
  Built b = Build(*disk, 0);
  ASSERT_TRUE(b.ok);
  EXPECT_EQ(b.raw[5303], 0xFB);
  EXPECT_EQ(b.raw[6000], 0x99);
  Track(0).Sectors[0].DataOk = true;
  EXPECT_FALSE(Build(*disk, 0).ok);
}

TEST_F(RawTrackTest, MarksNearTheEndNeverWritePastTheTrack) {
  AddSector(Track(0), 0, 0, 0, 1, 0, false);
  Track(0).RawData.CopyFrom(HandMadeSource(100, {{6000, 6252}}).data(), kRawCapacity);
  Track(0).RawLength = 6256;
  Track(0).RawValid = true;
  const Built b = Build(*disk, 0);
  ASSERT_TRUE(b.ok);
  EXPECT_EQ(b.raw[6252], 0xA1);
  EXPECT_EQ(b.raw[6255], 0xFB);
}

// ---- the base track ----

TEST_F(RawTrackTest, BaseTrackLendsItsLayoutToOtherTracks) {
  for (int i = 0; i < 9; ++i) AddSector(Track(0), i, 0, 0, i + 1, 2);
  MakeRawImage(0, Build(*disk, 0));
  disk->UseBaseTrack = true;
  disk->BaseTrack = 0;
  // Track 6 is absent and has no image; its slots fill the base layout.
  for (int i = 0; i < 9; ++i) AddSector(Track(6), i, 3, 0, 0x40 + i, 2);
  Track(6).Present = false;
  const Built withBase = Build(*disk, 6);
  ASSERT_TRUE(withBase.ok);
  disk->UseBaseTrack = false;
  Track(6).Present = true;
  const Built standard = Build(*disk, 6);
  ASSERT_TRUE(standard.ok);
  EXPECT_EQ(withBase.raw, standard.raw);
  EXPECT_EQ(withBase.sync, standard.sync);
}

TEST_F(RawTrackTest, BaseTrackNeedsMoreRoomBeforeIdMarks) {
  disk->UseBaseTrack = true;
  disk->BaseTrack = 0;
  Track(0).RawLength = 6256;
  Track(0).RawData.CopyFrom(HandMadeSource(100, {{200, 240}, {240 + 260 + 14, 600}}).data(), kRawCapacity);
  AddSector(Track(2), 0, 1, 0, 1, 1);
  AddSector(Track(2), 1, 1, 0, 2, 1);
  EXPECT_FALSE(Build(*disk, 2).ok);
  EXPECT_EQ(disk->ErrSector, 1);
  Track(0).RawData.CopyFrom(HandMadeSource(100, {{200, 240}, {240 + 260 + 15, 600}}).data(), kRawCapacity);
  const Built b = Build(*disk, 2);
  ASSERT_TRUE(b.ok);
  for (int i = 502; i < 515; ++i) EXPECT_EQ(b.raw[i], i < 503 ? 0x4E : 0x00) << i;
}

TEST_F(RawTrackTest, BaseTrackCutsABadLastSectorAt6246) {
  disk->UseBaseTrack = true;
  disk->BaseTrack = 0;
  Track(0).RawLength = 6256;
  Track(0).RawData.CopyFrom(HandMadeSource(100, {{5000, 5300}}).data(), kRawCapacity);
  AddSector(Track(1), 0, 0, 1, 1, 3, false);
  const Built b = Build(*disk, 1);
  ASSERT_TRUE(b.ok);
  // Data mark at 5303, then 6246 - 5301 = 945 data bytes and no CRC.
  const auto& data = Track(1).Sectors[0].Data;
  EXPECT_TRUE(std::equal(data.begin(), data.begin() + 945, b.raw.begin() + 5304));
  for (int i = 6249; i < kLength; ++i) EXPECT_EQ(b.raw[i], 0x4E);
}

}  // namespace
}  // namespace velloran
