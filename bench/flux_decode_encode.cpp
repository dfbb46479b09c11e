// Decoding a whole 160-track flux disk captured with one or two revolutions
// per track (on all cores, track by track on one, and with the normal setting
// alone: on a clean capture every way and the normal one should cost the
// same), and encoding a 160-track disk to flux; all report transitions per
// second.
#include <benchmark/benchmark.h>

#include <array>
#include <random>

#include "flux/clock_recovery.h"
#include "flux/flux_disk.h"
#include "flux/track_decoder.h"
#include "flux/track_encoder.h"

namespace velloran {
namespace {

void FillTrdosDisk(TZX_Disk& disk) {
  for (int t = 0; t < 160; ++t) {
    TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    track.Present = true;
    for (int s = 0; s < 16; ++s) {
      TSectorRec& sector = track.Sectors[s];
      PlaceGoodSector(sector, static_cast<std::uint8_t>(t / 2), 0, static_cast<std::uint8_t>(s + 1), 1);
      for (int i = 0; i < 256; ++i) sector.Data[i] = static_cast<std::uint8_t>(t + s * 3 + i);
    }
  }
}

// `revolutions` of every track, each transition a little off (±5 %), at
// the 25 ns ticks of an SCP capture.
std::shared_ptr<FluxDisk> CapturedDisk(std::size_t& transitions, int revolutions = 2) {
  TZX_Disk disk;
  FillTrdosDisk(disk);
  auto capture = std::make_shared<FluxDisk>();
  std::mt19937 random(1);
  std::uniform_real_distribution<double> jitter(-0.05, 0.05);
  transitions = 0;
  for (int t = 0; t < 160; ++t) {
    FluxTrack one;
    EncodeDiskTrack(disk, static_cast<std::uint8_t>(t), {}, one);
    FluxTrack two;
    two.sampleClock = one.sampleClock;
    for (int r = 0; r < revolutions; ++r) {
      std::vector<std::uint32_t> intervals = one.intervals;
      for (auto& interval : intervals) interval = static_cast<std::uint32_t>(interval * (1 + jitter(random)));
      AppendRevolution(two, intervals, one.indexTimes.back());
    }
    transitions += two.intervals.size();
    capture->tracks[t] = FluxDisk::HeldTrack{std::move(two), 0};
  }
  return capture;
}

void BM_DecodeFluxDisk160Tracks2Revolutions(benchmark::State& state) {
  std::size_t transitions = 0;
  const auto capture = CapturedDisk(transitions);
  auto disk = std::make_unique<TZX_Disk>();
  for (auto _ : state) {
    DecodeFluxDisk(*disk, capture);
    benchmark::DoNotOptimize(disk->GetTrack(159).Sectors[15].DataOk);
  }
  state.counters["transitions"] = static_cast<double>(transitions);
  state.counters["transitions/s"] =
      benchmark::Counter(static_cast<double>(transitions), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_DecodeFluxDisk160Tracks2Revolutions)->Unit(benchmark::kMillisecond)->UseRealTime();

// One revolution per track (as MFI holds), each read once round and on
// past its index, on all cores.
void BM_DecodeFluxDisk160Tracks1Revolution(benchmark::State& state) {
  std::size_t transitions = 0;
  const auto capture = CapturedDisk(transitions, 1);
  auto disk = std::make_unique<TZX_Disk>();
  for (auto _ : state) {
    DecodeFluxDisk(*disk, capture);
    benchmark::DoNotOptimize(disk->GetTrack(159).Sectors[15].DataOk);
  }
  state.counters["transitions/s"] =
      benchmark::Counter(static_cast<double>(transitions), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_DecodeFluxDisk160Tracks1Revolution)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same tracks decoded one after the other on this thread: what one core
// does.
void BM_DecodeFluxTracksOneCore(benchmark::State& state) {
  std::size_t transitions = 0;
  const auto capture = CapturedDisk(transitions, static_cast<int>(state.range(0)));
  TTrack track;
  for (auto _ : state) {
    for (const auto& held : capture->tracks)
      if (held) DecodeFluxTrack(held->flux, track);
    benchmark::DoNotOptimize(track.Sectors[15].DataOk);
  }
  state.counters["transitions/s"] =
      benchmark::Counter(static_cast<double>(transitions), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_DecodeFluxTracksOneCore)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The clock loop alone over the same tracks on this thread (two
// revolutions each, MFM sync patterns, the 2 µs cell at 40 MHz): the
// decoder's hottest part.
void BM_RecoverCellsOneCore(benchmark::State& state) {
  constexpr std::array<CellPattern, 2> kMfmSyncs = {{{0x4489, 0xA1}, {0x5224, 0xC2}}};
  constexpr double kCellTicks = 80;
  std::size_t transitions = 0;
  const auto capture = CapturedDisk(transitions);
  for (auto _ : state) {
    std::size_t cells = 0;
    for (const auto& held : capture->tracks)
      if (held) cells += RecoverCells(held->flux, kCellTicks, kMfmSyncs, 1).cells.Size();
    benchmark::DoNotOptimize(cells);
  }
  state.counters["transitions/s"] =
      benchmark::Counter(static_cast<double>(transitions), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_RecoverCellsOneCore)->Unit(benchmark::kMillisecond);

void BM_DecodeFlux160Tracks2RevolutionsNormalSettingOnly(benchmark::State& state) {
  std::size_t transitions = 0;
  const auto capture = CapturedDisk(transitions);
  TTrack track;
  for (auto _ : state) {
    for (int t = 0; t < 160; ++t) DecodeFluxTrack(capture->tracks[t]->flux, track, DecodeWays::Normal);
    benchmark::DoNotOptimize(track.Sectors[15].DataOk);
  }
  state.counters["transitions/s"] =
      benchmark::Counter(static_cast<double>(transitions), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_DecodeFlux160Tracks2RevolutionsNormalSettingOnly)->Unit(benchmark::kMillisecond);

void BM_EncodeDisk160Tracks(benchmark::State& state) {
  auto disk = std::make_unique<TZX_Disk>();
  FillTrdosDisk(*disk);
  std::size_t transitions = 0;
  for (auto _ : state) {
    transitions = 0;
    for (int t = 0; t < 160; ++t) {
      FluxTrack flux;
      EncodeDiskTrack(*disk, static_cast<std::uint8_t>(t), {}, flux);
      transitions += flux.intervals.size();
    }
  }
  state.counters["transitions/s"] =
      benchmark::Counter(static_cast<double>(transitions), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_EncodeDisk160Tracks)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velloran
