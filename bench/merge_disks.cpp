// Merging three dumps of a full 160-track TR-DOS disk, each damaged in
// different sectors (one in twenty-five bad), the first also missing tracks.
#include <benchmark/benchmark.h>

#include <memory>

#include "formats/trd.h"
#include "model/merge.h"

namespace velloran {
namespace {

void BM_MergeThreeDumps(benchmark::State& state) {
  Bytes dump(160 * 4096);
  for (std::size_t i = 0; i < dump.size(); ++i) dump[i] = static_cast<std::uint8_t>(i * 7 + (i >> 11));
  std::unique_ptr<TZX_Disk> dumps[3];
  for (int d = 0; d < 3; ++d) {
    dumps[d] = std::make_unique<TZX_Disk>();
    LoadTRDFromBytes(*dumps[d], dump);
    for (int t = 0; t < 160; ++t)
      for (int s = 0; s < 16; ++s)
        if ((t * 16 + s + d * 8) % 25 == 0)
          dumps[d]->GetSector(static_cast<std::uint8_t>(t), static_cast<std::uint8_t>(s)).DataOk = false;
  }
  for (int t = 40; t < 50; ++t) dumps[0]->GetTrack(static_cast<std::uint8_t>(t)).Clear();
  const std::vector<const TZX_Disk*> inputs = {dumps[0].get(), dumps[1].get(), dumps[2].get()};
  auto merged = std::make_unique<TZX_Disk>();
  for (auto _ : state) {
    const MergeReport report = MergeDisks(inputs, *merged);
    benchmark::DoNotOptimize(report.recoveredSectors);
  }
}

BENCHMARK(BM_MergeThreeDumps)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velloran
