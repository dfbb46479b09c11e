// The flux views: both plots of one track captured with five revolutions
// (double density MFM, decoding included), and the picture of a whole disk
// of 166 tracks; each as a scene, and drawn into pixels and a PNG file's bytes.
#include <benchmark/benchmark.h>

#include <random>

#include "flux/flux_disk.h"
#include "flux/track_encoder.h"
#include "plot/disk_picture.h"
#include "plot/png_writer.h"
#include "plot/raster.h"
#include "plot/svg_writer.h"
#include "plot/track_plots.h"

namespace velloran {
namespace {

constexpr int kWidth = 1000, kHeight = 420;

// A TR-DOS track of 16 sectors, five revolutions of it, each transition a
// little off (±4 %) at the 25 ns ticks of an SCP capture, kept as a flux disk.
TZX_Disk FiveRevolutionDisk() {
  TZX_Disk disk;
  TTrack& track = disk.GetTrack(0);
  std::mt19937 random(1);
  for (int s = 0; s < 16; ++s) {
    PlaceGoodSector(track.Sectors[s], 0, 0, static_cast<std::uint8_t>(s + 1), 1);
    for (int i = 0; i < 256; ++i) track.Sectors[s].Data[i] = static_cast<std::uint8_t>(random());
  }
  track.Present = true;
  FluxTrack one;
  EncodeDiskTrack(disk, 0, FluxTiming{}, one);
  std::uniform_real_distribution<double> jitter(-0.04, 0.04);
  FluxTrack five;
  five.sampleClock = one.sampleClock;
  for (int r = 0; r < 5; ++r) {
    std::vector<std::uint32_t> intervals = one.intervals;
    for (auto& interval : intervals) interval = static_cast<std::uint32_t>(interval * (1 + jitter(random)));
    AppendRevolution(five, intervals, one.indexTimes.back());
  }
  auto capture = std::make_shared<FluxDisk>();
  capture->tracks[0] = FluxDisk::HeldTrack{five, 0};
  DecodeFluxDisk(disk, capture);
  return disk;
}

void BM_TrackPlots(benchmark::State& state) {
  const TZX_Disk disk = FiveRevolutionDisk();
  for (auto _ : state) {
    const TrackSource source = PrepareTrackSource(disk, 0);
    benchmark::DoNotOptimize(HistogramScene(source, kAllRevolutions, kWidth, kHeight));
    benchmark::DoNotOptimize(TimingScene(source, TimingWindow{}, kWidth, kHeight));
  }
}
BENCHMARK(BM_TrackPlots)->Unit(benchmark::kMillisecond);

void BM_TrackPlotsAsPngAndSvg(benchmark::State& state) {
  const TZX_Disk disk = FiveRevolutionDisk();
  for (auto _ : state) {
    const TrackSource source = PrepareTrackSource(disk, 0);
    for (const Scene& scene : {HistogramScene(source, kAllRevolutions, kWidth, kHeight),
                               TimingScene(source, TimingWindow{}, kWidth, kHeight)}) {
      Bytes png;
      std::string error;
      EncodePng(RasterizeScene(scene), png, error);
      benchmark::DoNotOptimize(png);
      benchmark::DoNotOptimize(SceneToSvg(scene));
    }
  }
}
BENCHMARK(BM_TrackPlotsAsPngAndSvg)->Unit(benchmark::kMillisecond);

// Every track present with 16 sectors, a few of them bad.
TZX_Disk FullDisk() {
  TZX_Disk disk;
  for (int t = 0; t < kTrackCount; ++t) {
    TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    track.Present = true;
    for (int s = 0; s < 16; ++s)
      PlaceGoodSector(track.Sectors[s], static_cast<std::uint8_t>(t / 2), 0, static_cast<std::uint8_t>(s + 1), 1);
    track.Sectors[t % 16].DataOk = t % 7 != 0;
  }
  return disk;
}

void BM_DiskPicture(benchmark::State& state) {
  const TZX_Disk disk = FullDisk();
  for (auto _ : state) benchmark::DoNotOptimize(DiskPictureScene(disk, kWidth, 560));
}
BENCHMARK(BM_DiskPicture)->Unit(benchmark::kMillisecond);

void BM_DiskPictureAsPngAndSvg(benchmark::State& state) {
  const TZX_Disk disk = FullDisk();
  for (auto _ : state) {
    const Scene scene = DiskPictureScene(disk, kWidth, 560);
    Bytes png;
    std::string error;
    EncodePng(RasterizeScene(scene), png, error);
    benchmark::DoNotOptimize(png);
    benchmark::DoNotOptimize(SceneToSvg(scene));
  }
}
BENCHMARK(BM_DiskPictureAsPngAndSvg)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velloran
