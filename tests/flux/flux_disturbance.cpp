#include "flux_disturbance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <random>

namespace velloran {

TZX_Disk TrdosImage(const char* name, int tracks) {
  std::ifstream in(std::string(VELLORAN_CORPUS_DIR) + "/trd/" + name, std::ios::binary);
  const Bytes image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_GE(image.size(), static_cast<std::size_t>(tracks * kTrdosSectors * kTrdosSectorBytes));
  TZX_Disk disk;
  for (int t = 0; t < tracks; ++t) {
    TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    track.Present = true;
    for (int s = 0; s < kTrdosSectors; ++s) {
      PlaceGoodSector(track.Sectors[s], static_cast<std::uint8_t>(t / 2), static_cast<std::uint8_t>(t % 2),
                      static_cast<std::uint8_t>(s + 1), 1);
      const auto from = image.begin() + (t * kTrdosSectors + s) * kTrdosSectorBytes;
      std::copy(from, from + kTrdosSectorBytes, track.Sectors[s].Data.begin());
    }
  }
  return disk;
}

FluxTrack EncodedTrack(TZX_Disk& disk, int t, const FluxTiming& timing) {
  FluxTrack flux;
  EXPECT_TRUE(EncodeDiskTrack(disk, static_cast<std::uint8_t>(t), timing, flux));
  return flux;
}

FluxTrack Repeated(const FluxTrack& one, int times) {
  FluxTrack flux;
  flux.sampleClock = one.sampleClock;
  for (int i = 0; i < times; ++i) AppendRevolution(flux, one.intervals, one.indexTimes.back());
  return flux;
}

FluxTrack Disturbed(const FluxTrack& clean, double jitter, double drift, unsigned seed, bool shift, int swings) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> spread(-jitter, jitter);
  FluxTrack flux = clean;
  const double turn = static_cast<double>(clean.indexTimes.back()) / swings;
  const double cell = 2e-6 * clean.sampleClock;
  double time = 0;
  double moved = 0;
  for (auto& interval : flux.intervals) {
    time += interval;
    const double speed = 1 + drift * std::sin(2 * M_PI * time / turn);
    if (shift) {
      const double move = spread(random) * cell;
      interval = static_cast<std::uint32_t>(std::llround(interval * speed + move - moved));
      moved = move;
    } else {
      interval = static_cast<std::uint32_t>(std::llround(interval * speed * (1 + spread(random))));
    }
  }
  return flux;
}

void DropOut(FluxTrack& flux, int revolution, double at, double length) {
  const double start = static_cast<double>(flux.indexTimes[revolution]) +
                       at * static_cast<double>(flux.indexTimes[revolution + 1] - flux.indexTimes[revolution]);
  const double end = start + length;
  std::vector<std::uint32_t> kept;
  double time = 0;
  std::uint32_t carried = 0;
  for (const auto interval : flux.intervals) {
    time += interval;
    carried += interval;
    if (time >= start && time < end) continue;
    kept.push_back(carried);
    carried = 0;
  }
  flux.intervals = kept;
}

void Splice(FluxTrack& flux, double at, double cells) {
  const auto jump = static_cast<std::uint32_t>(std::llround(cells * 2e-6 * flux.sampleClock));
  std::uint64_t time = 0;
  std::size_t revolution = 0;
  for (auto& interval : flux.intervals) {
    time += interval;
    if (revolution + 1 >= flux.indexTimes.size()) break;
    const double begin = static_cast<double>(flux.indexTimes[revolution]);
    const double splice =
        begin + at * static_cast<double>(flux.indexTimes[revolution + 1] - flux.indexTimes[revolution]);
    if (static_cast<double>(time) < splice) continue;
    interval += jump;
    ++revolution;
  }
}

FluxTrack Reformatted(const FluxTrack& first, const FluxTrack& second, double at, double ratio) {
  const std::uint64_t turn = first.indexTimes.back();
  const double cut = at * static_cast<double>(turn);
  std::vector<std::uint32_t> intervals;
  std::uint64_t time = 0;
  for (const auto interval : first.intervals) {
    if (static_cast<double>(time + interval) > cut) break;
    time += interval;
    intervals.push_back(interval);
  }
  // The same byte of `second`: the time cut, in its cells.
  const auto from = static_cast<std::uint64_t>(std::llround(static_cast<double>(time) * ratio));
  std::uint64_t secondTime = 0;
  std::uint64_t last = time;
  for (const auto interval : second.intervals) {
    secondTime += interval;
    if (secondTime <= from) continue;
    const std::uint64_t moment = time + (secondTime - from);
    if (moment >= turn) break;
    intervals.push_back(static_cast<std::uint32_t>(moment - last));
    last = moment;
  }
  FluxTrack flux;
  flux.sampleClock = first.sampleClock;
  AppendRevolution(flux, intervals, turn);
  return flux;
}

}  // namespace velloran
