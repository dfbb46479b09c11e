// The flux layer against flux whose content is known: tracks of the model
// encoded to flux, made harder on purpose (jitter, speed drift, dropouts),
// and decoded back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>

#include "flux/flux_disk.h"
#include "flux/track_decoder.h"
#include "flux/track_encoder.h"
#include "flux_disturbance.h"
#include "support/test_support.h"

namespace velloran {
namespace {

// A TR-DOS track: 16 sectors of 256 bytes in the interleave 1, 9, 2, 10, ...
// with data that differs from sector to sector.
void MakeTrdosTrack(TZX_Disk& disk, int t, int badSlot = -1) {
  TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
  for (int i = 0; i < 16; ++i) {
    const auto r = static_cast<std::uint8_t>(i % 2 == 0 ? i / 2 + 1 : i / 2 + 9);
    TSectorRec& sector = track.Sectors[i];
    PlaceGoodSector(sector, static_cast<std::uint8_t>(t / 2), 0, r, 1);
    for (int k = 0; k < 256; ++k) sector.Data[k] = static_cast<std::uint8_t>(t * 31 + r * 7 + k * 13);
    if (i == badSlot) sector.DataOk = false;
  }
  track.Present = true;
}

// The sectors of two tracks agree: IDs, data and CRC state, slot by slot.
void ExpectSameSectors(const TTrack& expected, const TTrack& actual) {
  for (int s = 0; s < kSlotCount; ++s) {
    const TSectorRec& a = expected.Sectors[s];
    const TSectorRec& b = actual.Sectors[s];
    ASSERT_EQ(a.Used, b.Used) << "slot " << s;
    if (!a.Used) continue;
    EXPECT_EQ(a.IdTrack, b.IdTrack);
    EXPECT_EQ(a.IdSector, b.IdSector) << "slot " << s;
    EXPECT_EQ(a.IdSize, b.IdSize);
    EXPECT_EQ(a.DataOk, b.DataOk) << "slot " << s;
    ASSERT_EQ(b.DataLen, SectorLength(a.IdSize)) << "slot " << s;
    EXPECT_TRUE(std::equal(a.Data.begin(), a.Data.begin() + b.DataLen, b.Data.begin())) << "slot " << s;
  }
}

TEST(FluxDecode, EncodedTrackDecodesToItsSectorsRawBytesAndSyncMap) {
  TZX_Disk disk;
  MakeTrdosTrack(disk, 7, 3);
  std::array<std::uint8_t, kRawTrackLength> raw{};
  std::array<std::uint8_t, kSyncMapLength> sync{};
  raw.fill(0x4E);
  ASSERT_TRUE(disk.BuildRawTrack(7, raw.data(), sync.data()));

  TTrack decoded;
  decoded.TrackNum = 7;
  const DecodeReport report = DecodeFluxTrack(EncodedTrack(disk, 7), decoded);
  EXPECT_EQ(report.encoding, FluxEncoding::MFM);
  EXPECT_EQ(report.dataRate, 250000);
  ExpectSameSectors(disk.GetTrack(7), decoded);
  // The built track's bytes and sync bits come back in place.
  ASSERT_EQ(decoded.RawLength, kRawTrackLength);
  EXPECT_TRUE(decoded.RawValid);
  EXPECT_TRUE(std::equal(raw.begin(), raw.end(), decoded.RawData.begin()));
  ASSERT_EQ(report.syncMap.size(), kSyncMapLength);
  EXPECT_TRUE(std::equal(report.syncMap.begin(), report.syncMap.end(), sync.begin()));
  for (int s = 0; s < 16; ++s) {
    const TSectorRec& sector = decoded.Sectors[s];
    EXPECT_EQ(sector.IdCrc, IdFieldCrc(sector.IdTrack, sector.IdSide, sector.IdSector, sector.IdSize));
    EXPECT_TRUE(std::equal(sector.Data.begin(), sector.Data.begin() + 256, decoded.RawData.begin() + sector.DataPos));
  }
  EXPECT_EQ(decoded.Sectors[3].ErrorCount, 1);
  EXPECT_EQ(test::English(std::vector<Diagnostic>(report.notices.begin(), report.notices.end())),
            std::vector<std::string>{"Track 7, sector 10: data CRC error"});
}

// One revolution whose index falls `fraction` of a turn into `one`: the
// transitions from there on, then those before it, as a drive whose index
// hole sits elsewhere would read the track.
FluxTrack Rotated(const FluxTrack& one, double fraction) {
  const std::uint64_t turn = one.indexTimes.back();
  const auto split = static_cast<std::uint64_t>(fraction * static_cast<double>(turn));
  std::vector<std::uint64_t> times;
  std::uint64_t time = 0;
  for (const auto interval : one.intervals) times.push_back(time += interval);
  std::vector<std::uint64_t> rotated;
  for (const auto t : times)
    if (t > split) rotated.push_back(t - split);
  for (const auto t : times)
    if (t <= split) rotated.push_back(t + turn - split);
  FluxTrack flux;
  flux.sampleClock = one.sampleClock;
  std::uint64_t previous = 0;
  for (const auto t : rotated) flux.intervals.push_back(static_cast<std::uint32_t>(t - std::exchange(previous, t)));
  flux.indexTimes = {0, turn};
  return flux;
}

// A single revolution read from an index that falls inside a data field:
// the field is read on past the index and comes out whole.
TEST(FluxDecode, FieldAcrossTheIndexOfOneRevolutionIsReadWhole) {
  TZX_Disk disk;
  MakeTrdosTrack(disk, 7);
  const FluxTrack clean = EncodedTrack(disk, 7);
  TTrack plain;
  DecodeFluxTrack(clean, plain);
  const TSectorRec& crossing = plain.Sectors[8];
  TTrack decoded;
  DecodeFluxTrack(Rotated(clean, (crossing.DataPos + 10.0) / plain.RawLength), decoded);
  for (const TSectorRec& expected : std::as_const(disk.GetTrack(7)).Sectors) {
    if (!expected.Used) continue;
    const auto found = std::find_if(decoded.Sectors.begin(), decoded.Sectors.end(),
                                    [&](const TSectorRec& s) { return s.Used && s.IdSector == expected.IdSector; });
    ASSERT_NE(found, decoded.Sectors.end()) << "sector " << int{expected.IdSector};
    EXPECT_TRUE(found->DataOk) << "sector " << int{expected.IdSector};
    EXPECT_TRUE(std::equal(expected.Data.begin(), expected.Data.begin() + 256, std::as_const(*found).Data.begin()));
  }
}

// The same with sectors of 1024 bytes: the field crossing the index runs on
// far past it, further than the first, short framing past the index reaches.
TEST(FluxDecode, LongFieldAcrossTheIndexOfOneRevolutionIsReadWhole) {
  TZX_Disk disk;
  TTrack& track = disk.GetTrack(4);
  for (int i = 0; i < 5; ++i) {
    TSectorRec& sector = track.Sectors[i];
    PlaceGoodSector(sector, 2, 0, static_cast<std::uint8_t>(i + 1), 3);
    for (int k = 0; k < 1024; ++k) sector.Data[k] = static_cast<std::uint8_t>(i * 41 + k * 7 + k / 256);
  }
  track.Present = true;
  const FluxTrack clean = EncodedTrack(disk, 4);
  TTrack plain;
  DecodeFluxTrack(clean, plain);
  ASSERT_EQ(plain.Sectors[3].DataLen, 1024);
  for (const double into : {20.0, 300.0, 900.0}) {
    TTrack decoded;
    DecodeFluxTrack(Rotated(clean, (plain.Sectors[3].DataPos + into) / plain.RawLength), decoded);
    const TTrack& expected = std::as_const(disk).GetTrack(4);
    for (int i = 0; i < 5; ++i) {
      const auto found = std::find_if(decoded.Sectors.begin(), decoded.Sectors.end(),
                                      [&](const TSectorRec& s) { return s.Used && s.IdSector == i + 1; });
      ASSERT_NE(found, decoded.Sectors.end()) << "sector " << i + 1 << ", index " << into << " bytes into sector 4";
      EXPECT_TRUE(found->DataOk) << "sector " << i + 1 << ", index " << into << " bytes into sector 4";
      EXPECT_TRUE(std::equal(expected.Sectors[i].Data.begin(), expected.Sectors[i].Data.begin() + 1024,
                             std::as_const(*found).Data.begin()));
    }
  }
}

TEST(FluxDecode, RateIsFoundFromTheFlux) {
  TZX_Disk disk;
  MakeTrdosTrack(disk, 0);
  // 300 kbit/s at 360 rpm holds the same track; 500 kbit/s a faster one;
  // sample clocks of the SCP, KryoFlux and MFI kinds.
  for (const FluxTiming timing :
       {FluxTiming{300000, 360, 24027428.57}, FluxTiming{500000, 300, 40e6}, FluxTiming{250000, 300, 1e9}}) {
    TTrack decoded;
    const DecodeReport report = DecodeFluxTrack(EncodedTrack(disk, 0, timing), decoded);
    EXPECT_EQ(report.dataRate, timing.dataRate);
    ExpectSameSectors(disk.GetTrack(0), decoded);
  }
}

TEST(FluxDecode, JitterAndDriftAreFollowed) {
  TZX_Disk disk;
  MakeTrdosTrack(disk, 20);
  const FluxTrack clean = Repeated(EncodedTrack(disk, 20), 2);
  for (unsigned seed = 1; seed <= 3; ++seed) {
    TTrack decoded;
    const DecodeReport report = DecodeFluxTrack(Disturbed(clean, 0.10, 0.03, seed), decoded);
    EXPECT_EQ(report.revolutions, 2);
    ExpectSameSectors(disk.GetTrack(20), decoded);
    EXPECT_TRUE(report.notices.empty()) << test::English(report.notices.front());
    DecodeFluxTrack(Disturbed(clean, 0.10, 0.03, seed, true), decoded);
    ExpectSameSectors(disk.GetTrack(20), decoded);
  }
}

TEST(FluxDecode, DropoutInOneRevolutionIsReadFromTheOther) {
  TZX_Disk disk;
  MakeTrdosTrack(disk, 9);
  FluxTrack flux = Disturbed(Repeated(EncodedTrack(disk, 9), 2), 0.05, 0.01, 7);
  // 200 µs without transitions in the data of the fifth sector, first turn.
  DropOut(flux, 0, 0.35, 200e-6 * flux.sampleClock);
  TTrack decoded;
  decoded.TrackNum = 9;
  const DecodeReport report = DecodeFluxTrack(flux, decoded);
  ExpectSameSectors(disk.GetTrack(9), decoded);
  EXPECT_EQ(report.revolutionKept, 1);
  ASSERT_EQ(report.notices.size(), 1u);
  EXPECT_NE(test::English(report.notices[0]).find("differs between revolutions"), std::string::npos);
}

TEST(FluxDecode, SectorBadInEveryRevolutionStaysBad) {
  TZX_Disk disk;
  MakeTrdosTrack(disk, 9);
  FluxTrack flux = Repeated(EncodedTrack(disk, 9), 3);
  for (int r = 0; r < 3; ++r) DropOut(flux, r, 0.35, 200e-6 * flux.sampleClock);
  TTrack decoded;
  decoded.TrackNum = 9;
  DecodeFluxTrack(flux, decoded);
  int bad = 0;
  for (const auto& sector : decoded.Sectors) {
    if (!sector.Used || sector.DataOk) continue;
    ++bad;
    EXPECT_EQ(sector.DataLen, 256);
    EXPECT_EQ(sector.ErrorCount, 3);
  }
  EXPECT_EQ(bad, 1);
  EXPECT_EQ(decoded.Log.size(), 1u);
}

// A weak sector: its data read differently, with a bad CRC, every turn.
// Each distinct copy is kept, the first as Data; a good copy on another turn
// would have been taken alone.
TEST(FluxDecode, WeakSectorKeepsEveryDistinctCopy) {
  std::vector<TZX_Disk> turns(3);
  FluxTrack flux;
  for (int r = 0; r < 3; ++r) {
    MakeTrdosTrack(turns[r], 4, 5);
    turns[r].GetTrack(4).Sectors[5].Data[17] = static_cast<std::uint8_t>(0x40 + r);
    const FluxTrack one = EncodedTrack(turns[r], 4);
    flux.sampleClock = one.sampleClock;
    AppendRevolution(flux, one.intervals, one.indexTimes.back());
  }
  TTrack decoded;
  decoded.TrackNum = 4;
  const DecodeReport report = DecodeFluxTrack(flux, decoded);
  const TSectorRec& weak = decoded.Sectors[5];
  EXPECT_FALSE(weak.DataOk);
  EXPECT_EQ(weak.Data[17], 0x40);
  ASSERT_EQ(weak.ExtraCopies.size(), 2u);
  for (int c = 0; c < 2; ++c) {
    EXPECT_FALSE(weak.ExtraCopies[c].ok);
    const auto& source = turns[c + 1].GetTrack(4).Sectors[5].Data;
    EXPECT_TRUE(std::equal(source.begin(), source.begin() + 256, weak.ExtraCopies[c].data.begin()));
  }
  for (int s = 0; s < 16; ++s) EXPECT_EQ(decoded.Sectors[s].ExtraCopies.empty(), s != 5);
  const std::vector<std::string> notices =
      test::English(std::vector<Diagnostic>(report.notices.begin(), report.notices.end()));
  EXPECT_NE(std::find(notices.begin(), notices.end(), "Track 4, sector 11: weak, 3 copies kept"), notices.end());
}

TEST(FluxDecode, EmptyOrNoisyFluxIsAnUnformattedTrack) {
  FluxTrack flux;
  flux.sampleClock = 40e6;
  TTrack decoded;
  EXPECT_EQ(DecodeFluxTrack(flux, decoded).encoding, FluxEncoding::None);
  EXPECT_FALSE(decoded.Present);
  std::mt19937 random(5);
  std::vector<std::uint32_t> noise(40000);
  for (auto& interval : noise) interval = 60 + random() % 400;
  AppendRevolution(flux, noise, 8'000'000);
  EXPECT_EQ(DecodeFluxTrack(flux, decoded).encoding, FluxEncoding::None);
  EXPECT_FALSE(decoded.Present);
}

}  // namespace
}  // namespace velloran
