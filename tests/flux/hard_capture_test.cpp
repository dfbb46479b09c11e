// Decoding every way against one setting, over hard captures made from a
// real TR-DOS image: strong jitter, fast speed drift, peak shift, write
// splices, a sector damaged in some revolutions, a track written off rate,
// and a track reformatted at another data rate part way. Every sector read
// good must equal the image, and no kind reads fewer sectors every way.
#include <gtest/gtest.h>

#include "flux/track_decoder.h"
#include "flux_disturbance.h"

namespace velloran {
namespace {

struct Kind {
  const char* name;
  FluxTrack (*make)(TZX_Disk& disk, int t, unsigned seed);
  bool otherRate = false;  // sectors are there that only another data rate reads
};

// Three revolutions of track `t` as a drive at the normal speed reads them.
FluxTrack Clean(TZX_Disk& disk, int t) { return Repeated(EncodedTrack(disk, t), 3); }

// The first `at` of the track written at 250 kbit/s over a format at 500
// kbit/s, then some jitter.
FluxTrack ReformattedAt(TZX_Disk& disk, int t, unsigned seed, double at) {
  FluxTiming high;
  high.dataRate = 500000;
  const FluxTrack mixed = Reformatted(EncodedTrack(disk, t), EncodedTrack(disk, t, high), at, 0.5);
  return Disturbed(Repeated(mixed, 3), 0.06, 0.0, seed);
}

const Kind kKinds[] = {
    {"strong jitter", [](TZX_Disk& disk, int t, unsigned seed) { return Disturbed(Clean(disk, t), 0.12, 0.0, seed); }},
    {"fast speed drift",
     [](TZX_Disk& disk, int t, unsigned seed) { return Disturbed(Clean(disk, t), 0.05, 0.15, seed, false, 120); }},
    {"peak shift",
     [](TZX_Disk& disk, int t, unsigned seed) { return Disturbed(Clean(disk, t), 0.26, 0.0, seed, true); }},
    {"write splices",
     [](TZX_Disk& disk, int t, unsigned seed) {
       FluxTrack flux = Disturbed(Clean(disk, t), 0.09, 0.02, seed);
       for (int i = 0; i < 6; ++i) Splice(flux, 0.07 + 0.15 * i + 0.01 * (seed % 3), 0.5);
       return flux;
     }},
    {"damaged in some revolutions",
     [](TZX_Disk& disk, int t, unsigned seed) {
       FluxTrack flux = Disturbed(Clean(disk, t), 0.12, 0.03, seed);
       DropOut(flux, 0, 0.2 + 0.05 * (seed % 5), 150e-6 * flux.sampleClock);
       DropOut(flux, 1, 0.2 + 0.05 * (seed % 5), 150e-6 * flux.sampleClock);
       return flux;
     }},
    {"off rate, strong jitter",
     [](TZX_Disk& disk, int t, unsigned seed) {
       FluxTiming offRate;
       offRate.dataRate = 450000;
       return Disturbed(Repeated(EncodedTrack(disk, t, offRate), 2), 0.14, 0.0, seed);
     }},
    {"250 kbit/s over 500 kbit/s",
     [](TZX_Disk& disk, int t, unsigned seed) { return ReformattedAt(disk, t, seed, 0.55 + 0.04 * (seed % 4)); }, true},
};

// Sectors read good; a good sector whose data differ from the image fails.
int GoodSectors(const TTrack& source, const TTrack& decoded) {
  int good = 0;
  for (const TSectorRec& sector : decoded.Sectors) {
    if (!sector.Used || !sector.DataOk || sector.IdSector < 1 || sector.IdSector > kTrdosSectors) continue;
    const TSectorRec& expected = source.Sectors[sector.IdSector - 1];
    EXPECT_TRUE(std::equal(expected.Data.begin(), expected.Data.begin() + kTrdosSectorBytes, sector.Data.begin()))
        << "sector " << int(sector.IdSector) << " read good with wrong data";
    ++good;
  }
  return good;
}

// Good sectors that a decoding at another data rate than the measured one read.
int ReadAtOtherRate(const TTrack& decoded, const DecodeReport& report) {
  int read = 0;
  for (std::size_t slot = 0; slot < report.origins.size(); ++slot)
    read += decoded.Sectors[slot].DataOk && SlotWayName(report, slot).find("kbit/s") != std::string::npos;
  return read;
}

TEST(HardCaptures, EveryWayRecoversMoreSectorsThanOne) {
  constexpr int kTracks = 6;
  TZX_Disk disk = TrdosImage("alfishe_unreal-ng__EyeAche.trd", kTracks);
  int totalOne = 0;
  int totalEvery = 0;
  int total = 0;
  for (const Kind& kind : kKinds) {
    int one = 0;
    int every = 0;
    int otherRate = 0;
    for (int t = 0; t < kTracks; ++t) {
      const FluxTrack flux = kind.make(disk, t, static_cast<unsigned>(t + 1));
      TTrack decoded;
      decoded.TrackNum = static_cast<std::uint8_t>(t);
      DecodeFluxTrack(flux, decoded, DecodeWays::Normal);
      one += GoodSectors(disk.GetTrack(static_cast<std::uint8_t>(t)), decoded);
      const DecodeReport report = DecodeFluxTrack(flux, decoded, DecodeWays::Every);
      every += GoodSectors(disk.GetTrack(static_cast<std::uint8_t>(t)), decoded);
      otherRate += ReadAtOtherRate(decoded, report);
    }
    std::printf("%-28s one setting %3d, every way %3d of %d (%d at another rate)\n", kind.name, one, every,
                kTracks * kTrdosSectors, otherRate);
    EXPECT_GE(every, one) << kind.name;
    if (kind.otherRate) {
      EXPECT_GT(otherRate, 0) << kind.name;
    }
    totalOne += one;
    totalEvery += every;
    total += kTracks * kTrdosSectors;
  }
  std::printf("%-28s one setting %3d, every way %3d of %d\n", "all", totalOne, totalEvery, total);
  EXPECT_GT(totalEvery, totalOne);
}

}  // namespace
}  // namespace velloran
