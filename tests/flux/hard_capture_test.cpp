// Decoding every way against one setting, over hard captures made from a
// real TR-DOS image: strong jitter, fast speed drift, peak shift, write
// splices, and a sector damaged in some revolutions. Every sector read good
// must equal the image.
#include <gtest/gtest.h>

#include "flux/track_decoder.h"
#include "flux_disturbance.h"

namespace velloran {
namespace {

struct Kind {
  const char* name;
  FluxTrack (*make)(const FluxTrack& clean, unsigned seed);
};

const Kind kKinds[] = {
    {"strong jitter", [](const FluxTrack& clean, unsigned seed) { return Disturbed(clean, 0.12, 0.0, seed); }},
    {"fast speed drift",
     [](const FluxTrack& clean, unsigned seed) { return Disturbed(clean, 0.05, 0.15, seed, false, 120); }},
    {"peak shift", [](const FluxTrack& clean, unsigned seed) { return Disturbed(clean, 0.26, 0.0, seed, true); }},
    {"write splices",
     [](const FluxTrack& clean, unsigned seed) {
       FluxTrack flux = Disturbed(clean, 0.09, 0.02, seed);
       for (int i = 0; i < 6; ++i) Splice(flux, 0.07 + 0.15 * i + 0.01 * (seed % 3), 0.5);
       return flux;
     }},
    {"damaged in some revolutions",
     [](const FluxTrack& clean, unsigned seed) {
       FluxTrack flux = Disturbed(clean, 0.12, 0.03, seed);
       DropOut(flux, 0, 0.2 + 0.05 * (seed % 5), 150e-6 * flux.sampleClock);
       DropOut(flux, 1, 0.2 + 0.05 * (seed % 5), 150e-6 * flux.sampleClock);
       return flux;
     }},
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

TEST(HardCaptures, EveryWayRecoversMoreSectorsThanOne) {
  constexpr int kTracks = 6;
  TZX_Disk disk = TrdosImage("alfishe_unreal-ng__EyeAche.trd", kTracks);
  int totalOne = 0;
  int totalEvery = 0;
  int total = 0;
  for (const Kind& kind : kKinds) {
    int one = 0;
    int every = 0;
    for (int t = 0; t < kTracks; ++t) {
      const FluxTrack flux = kind.make(Repeated(EncodedTrack(disk, t), 3), static_cast<unsigned>(t + 1));
      TTrack decoded;
      decoded.TrackNum = static_cast<std::uint8_t>(t);
      DecodeFluxTrack(flux, decoded, DecodeWays::Normal);
      one += GoodSectors(disk.GetTrack(static_cast<std::uint8_t>(t)), decoded);
      DecodeFluxTrack(flux, decoded, DecodeWays::Every);
      every += GoodSectors(disk.GetTrack(static_cast<std::uint8_t>(t)), decoded);
    }
    std::printf("%-28s one setting %3d, every way %3d of %d\n", kind.name, one, every, kTracks * kTrdosSectors);
    EXPECT_GE(every, one) << kind.name;
    totalOne += one;
    totalEvery += every;
    total += kTracks * kTrdosSectors;
  }
  std::printf("%-28s one setting %3d, every way %3d of %d\n", "all", totalOne, totalEvery, total);
  EXPECT_GT(totalEvery, totalOne);
}

}  // namespace
}  // namespace velloran
