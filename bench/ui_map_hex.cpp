// How long the desktop application takes to repaint the whole disk map, to
// fill the hex pane with a raw track (offscreen), and to tell after a
// command whether the disk differs from its file.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>

#include "model/disk_fingerprint.h"
#include "trdos/catalog.h"
#include "ui/disk_map.h"
#include "ui/hex_view.h"

namespace {

// One application for the whole program; it lives until the process ends.
QApplication& Application() {
  static QApplication* application = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench_ui_map_hex";
    static char* argv[] = {name, nullptr};
    return new QApplication(argc, argv);
  }();
  return *application;
}

// Every cell of a full TR-DOS disk, all 166 rows in view at once.
void BM_MapFullRepaint(benchmark::State& state) {
  Application();
  velloran::TZX_Disk disk;
  velloran::MakeTrdosDisk(disk, "BENCH");
  velloran::DiskMap map(disk);
  map.SetColumnCount(velloran::kMapColumns);
  map.resize(map.sizeHint().width(), velloran::kMapRows * velloran::kMapRowHeight + 40);
  QImage target(map.viewport()->size(), QImage::Format_RGB32);
  for (auto _ : state) {
    map.viewport()->render(&target);
    benchmark::DoNotOptimize(target.constBits());
  }
  state.counters["cells"] = benchmark::Counter(
      static_cast<double>(velloran::kMapRows * velloran::kMapColumns) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MapFullRepaint)->Unit(benchmark::kMillisecond);

// A built raw track into the pane: the buffer alone, and with the visible lines painted.
void BM_HexFill6256(benchmark::State& state) {
  Application();
  velloran::Bytes raw(velloran::kRawTrackLength, 0x4E);
  velloran::HexView view;
  view.resize(640, 600);
  for (auto _ : state) {
    view.SetData(raw);
    benchmark::DoNotOptimize(view.Data().data());
  }
}
BENCHMARK(BM_HexFill6256)->Unit(benchmark::kMicrosecond);

void BM_HexFillAndPaint6256(benchmark::State& state) {
  Application();
  velloran::Bytes raw(velloran::kRawTrackLength);
  for (std::size_t i = 0; i < raw.size(); ++i) raw[i] = static_cast<std::uint8_t>(i * 13);
  velloran::HexView view;
  view.resize(640, 600);
  QImage target(view.viewport()->size(), QImage::Format_RGB32);
  for (auto _ : state) {
    view.SetData(raw);
    view.viewport()->render(&target);
    benchmark::DoNotOptimize(target.constBits());
  }
}
BENCHMARK(BM_HexFillAndPaint6256)->Unit(benchmark::kMillisecond);

// The fingerprint of a full disk: every slot of all 166 tracks and a raw
// image of 6250 bytes on each, the most a disk holds.
void BM_DiskFingerprintFullDisk(benchmark::State& state) {
  velloran::TZX_Disk disk;
  velloran::MakeTrdosDisk(disk, "BENCH");
  for (velloran::TTrack& track : disk.Tracks) {
    track.RawValid = true;
    track.RawLength = 6250;
  }
  for (auto _ : state) benchmark::DoNotOptimize(velloran::DiskFingerprint(disk));
}
BENCHMARK(BM_DiskFingerprintFullDisk)->Unit(benchmark::kMillisecond);

}  // namespace
