// Simulated time of whole-disk operations on the simulated drive: a full
// 160-track TR-DOS disk read by scan and read (kScanAndRead) and by the
// rotation-aware reading (kFastRead) side by side, and formatted and written
// onto a blank disk (kFormatAndWrite), with the standard TR-DOS interleave
// (1, 9, 2, 10, ...) and with sectors in 1:1 order, for a quick host (1 ms
// per request) and a slow one (3 ms, longer than the gap between sectors);
// and both readings of an irregular real disk (the corpus FDI, whose tracks
// mix 16 x 256 and 5 x 1024 bytes). The counters give simulated seconds and
// revolutions per track.
#include <benchmark/benchmark.h>

#include <array>
#include <memory>

#include "engine/disk_engines.h"
#include "formats/fdi.h"
#include "sim/simulated_drive.h"

namespace {

using namespace velloran;

constexpr int kTracks = 160;

class SilentHost : public OperationHost {
 public:
  void ShowTrack(int) override {}
  void SetProgress(int) override {}
  void ProcessPendingEvents() override {}
  bool CancelRequested() override { return false; }
  void ClearMainLog() override {}
  void AddMainLog(const Phrase&, bool) override {}
  void ShowError(const Phrase&) override {}
};

// A full TR-DOS disk: 160 tracks of 16 sectors of 256 bytes, laid out in
// sector order or with the standard interleave.
void MakeTrdosDisk(TZX_Disk& disk, bool interleaved) {
  constexpr std::array<std::uint8_t, 16> kInterleave = {1, 9, 2, 10, 3, 11, 4, 12, 5, 13, 6, 14, 7, 15, 8, 16};
  for (int t = 0; t < kTracks; ++t) {
    TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    track.Present = true;
    for (int i = 0; i < 16; ++i) {
      TSectorRec& slot = track.Sectors[i];
      slot.Used = true;
      slot.IdTrack = static_cast<std::uint8_t>(t / 2);
      slot.IdSide = 0;
      slot.IdSector = interleaved ? kInterleave[i] : static_cast<std::uint8_t>(i + 1);
      slot.IdSize = 1;
      slot.IdCrc = IdFieldCrc(slot.IdTrack, 0, slot.IdSector, 1);
      slot.DataLen = 256;
      slot.DataOk = true;
      slot.Data.fill(static_cast<std::uint8_t>(t + i));
    }
  }
}

void Report(benchmark::State& state, const SimulatedDrive& drive, int tracks = kTracks) {
  state.counters["sim_seconds"] = drive.SimulatedSeconds();
  state.counters["sim_seconds_per_track"] = drive.SimulatedSeconds() / tracks;
  state.counters["revolutions_per_track"] = drive.Revolutions() / tracks;
}

SimulatedDriveOptions Options(const benchmark::State& state) {
  SimulatedDriveOptions options;
  options.timing.hostMicros = state.range(1);
  return options;
}

// Scan and read (fast 0) or the rotation-aware reading (fast 1) of the
// whole disk in the drive into an empty disk in memory.
void ReadWholeDisk(benchmark::State& state, SimulatedDrive& drive, int tracks) {
  const OperationSteps steps = state.range(2) != 0 ? kFastRead : kScanAndRead;
  auto disk = std::make_unique<TZX_Disk>();
  SilentHost host;
  DiskOperation operation{steps, 0, tracks - 1, 10, 0};
  RunDiskOperation(*disk, drive, host, operation);
  Report(state, drive, tracks);
}

void BM_ScanAndRead(benchmark::State& state) {
  const bool interleaved = state.range(0) != 0;
  for (auto _ : state) {
    SimulatedDrive drive(Options(state));
    drive.OpenDrive('A');
    MakeTrdosDisk(drive.Medium(), interleaved);
    ReadWholeDisk(state, drive, kTracks);
  }
}

// The corpus FDI: tracks of 16 x 256 bytes and of 5 x 1024, and a few odd ones.
void BM_ReadIrregularFdi(benchmark::State& state) {
  auto medium = std::make_unique<TZX_Disk>();
  if (!LoadFDI(*medium, VELLORAN_CORPUS_DIR "/fdi/alfishe_unreal-ng__VORON1.FDI")) {
    state.SkipWithError("the corpus FDI does not load");
    return;
  }
  const int tracks = medium->TracksToWrite();
  for (auto _ : state) {
    SimulatedDrive drive(Options(state));
    drive.OpenDrive('A');
    drive.Medium() = *medium;
    ReadWholeDisk(state, drive, tracks);
  }
}

// Format and write of the whole disk onto a blank disk.
void BM_FormatAndWrite(benchmark::State& state) {
  const bool interleaved = state.range(0) != 0;
  auto source = std::make_unique<TZX_Disk>();
  MakeTrdosDisk(*source, interleaved);
  for (auto _ : state) {
    SimulatedDrive drive(Options(state));
    drive.OpenDrive('A');
    SilentHost host;
    DiskOperation operation{kFormatAndWrite, 0, kTracks - 1, 10, 0};
    RunDiskOperation(*source, drive, host, operation);
    Report(state, drive);
  }
}

// Arguments: interleaved (1) or 1:1 (0); host cost of a request in
// microseconds; scan and read (0) or rotation-aware reading (1).
BENCHMARK(BM_ScanAndRead)
    ->ArgNames({"interleaved", "host_us", "fast"})
    ->ArgsProduct({{0, 1}, {1000, 3000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadIrregularFdi)
    ->ArgNames({"unused", "host_us", "fast"})
    ->ArgsProduct({{0}, {1000, 3000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormatAndWrite)
    ->ArgNames({"interleaved", "host_us"})
    ->ArgsProduct({{0, 1}, {1000, 3000}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
