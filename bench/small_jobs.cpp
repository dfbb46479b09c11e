// The jobs where the single-purpose tools set the pace: a new disk, a small
// SCL made into a TRD, a TRD written as MFI and that MFI read back into a TRD
// (unpacked and decoded on all cores), all in memory (no file system), so
// that the model's own cost shows.
#include <benchmark/benchmark.h>

#include <memory>

#include "common/file_io.h"
#include "formats/mfi.h"
#include "formats/trd.h"
#include "trdos/scl.h"

namespace velloran {
namespace {

Bytes CorpusBytes(const char* relative) {
  return ReadWholeFile(std::filesystem::path(VELLORAN_CORPUS_DIR) / relative).value_or(Bytes{});
}

void BM_NewDisk(benchmark::State& state) {
  for (auto _ : state) {
    auto disk = std::make_unique<TZX_Disk>();
    benchmark::DoNotOptimize(disk->Tracks.data());
  }
}
BENCHMARK(BM_NewDisk);

void BM_SclToTrd7KB(benchmark::State& state) {
  const Bytes scl = CorpusBytes("scl/tslabs_zx-evo__font_keyboard.scl");
  for (auto _ : state) {
    auto disk = std::make_unique<TZX_Disk>();
    Bytes trd;
    if (!LoadSCLFromBytes(*disk, scl) || !SaveTRDToBytes(*disk, trd)) state.SkipWithError("conversion failed");
    benchmark::DoNotOptimize(trd.data());
  }
}
BENCHMARK(BM_SclToTrd7KB);

void BM_TrdToMfi(benchmark::State& state) {
  const Bytes trd = CorpusBytes("trd/alfishe_unreal-ng__EyeAche.trd");
  std::size_t size = 0;
  for (auto _ : state) {
    auto disk = std::make_unique<TZX_Disk>();
    Bytes mfi;
    if (!LoadTRDFromBytes(*disk, trd) || !SaveMFIToBytes(*disk, mfi)) state.SkipWithError("conversion failed");
    size = mfi.size();
  }
  state.counters["bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_TrdToMfi)->Unit(benchmark::kMillisecond);

void BM_MfiToTrd(benchmark::State& state) {
  const Bytes trd = CorpusBytes("trd/alfishe_unreal-ng__EyeAche.trd");
  Bytes mfi;
  auto source = std::make_unique<TZX_Disk>();
  if (!LoadTRDFromBytes(*source, trd) || !SaveMFIToBytes(*source, mfi)) state.SkipWithError("no MFI to read");
  for (auto _ : state) {
    auto disk = std::make_unique<TZX_Disk>();
    Bytes back;
    if (!LoadMFIFromBytes(*disk, mfi) || !SaveTRDToBytes(*disk, back)) state.SkipWithError("conversion failed");
    if (back != trd) state.SkipWithError("the TRD read back differs");
  }
}
BENCHMARK(BM_MfiToTrd)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace velloran
