// Loading and saving a full 160-track disk in each sector format.
#include <benchmark/benchmark.h>

#include <memory>

#include "formats/fdi.h"
#include "formats/kdi.h"
#include "formats/pro.h"
#include "formats/trd.h"

namespace velloran {
namespace {

struct SectorFormat {
  bool (*load)(TZX_Disk&, ByteSpan);
  bool (*save)(TZX_Disk&, Bytes&);
  // The disk to work on comes from a patterned dump read by this reader.
  bool (*fill)(TZX_Disk&, ByteSpan);
  std::size_t fillTrackBytes;
};

constexpr SectorFormat kTrd{LoadTRDFromBytes, SaveTRDToBytes, LoadTRDFromBytes, 4096};
constexpr SectorFormat kPro{LoadPROFromBytes, SavePROToBytes, LoadPROFromBytes, 5120};
constexpr SectorFormat kKdi{LoadKDIFromBytes, SaveKDIToBytes, LoadKDIFromBytes, 5120};
constexpr SectorFormat kFdi{LoadFDIFromBytes, SaveFDIToBytes, LoadTRDFromBytes, 4096};

// The bytes of a full 160-track disk in the format.
Bytes FullDiskFile(const SectorFormat& format) {
  Bytes dump(160 * format.fillTrackBytes);
  for (std::size_t i = 0; i < dump.size(); ++i) dump[i] = static_cast<std::uint8_t>(i * 7 + (i >> 11));
  auto disk = std::make_unique<TZX_Disk>();
  format.fill(*disk, dump);
  Bytes file;
  format.save(*disk, file);
  return file;
}

void BM_Load(benchmark::State& state, const SectorFormat& format) {
  const Bytes file = FullDiskFile(format);
  auto disk = std::make_unique<TZX_Disk>();
  for (auto _ : state) benchmark::DoNotOptimize(format.load(*disk, file));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}

void BM_Save(benchmark::State& state, const SectorFormat& format) {
  auto disk = std::make_unique<TZX_Disk>();
  format.load(*disk, FullDiskFile(format));
  Bytes file;
  for (auto _ : state) benchmark::DoNotOptimize(format.save(*disk, file));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}

BENCHMARK_CAPTURE(BM_Load, TRD, kTrd);
BENCHMARK_CAPTURE(BM_Save, TRD, kTrd);
BENCHMARK_CAPTURE(BM_Load, PRO, kPro);
BENCHMARK_CAPTURE(BM_Save, PRO, kPro);
BENCHMARK_CAPTURE(BM_Load, KDI, kKdi);
BENCHMARK_CAPTURE(BM_Save, KDI, kKdi);
BENCHMARK_CAPTURE(BM_Load, FDI, kFdi);
BENCHMARK_CAPTURE(BM_Save, FDI, kFdi);

}  // namespace
}  // namespace velloran
