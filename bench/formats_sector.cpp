// Loading and saving a full 160-track disk in each sector format.
#include <benchmark/benchmark.h>

#include <memory>

#include "formats/dsk.h"
#include "formats/fdi.h"
#include "formats/format_table.h"
#include "formats/imd.h"
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
bool SaveExtendedDsk(TZX_Disk& disk, Bytes& out) { return SaveDSKToBytes(disk, out); }
bool SaveImdNow(TZX_Disk& disk, Bytes& out) { return SaveIMDToBytes(disk, out); }
constexpr SectorFormat kDsk{LoadDSKFromBytes, SaveExtendedDsk, LoadKDIFromBytes, 5120};
constexpr SectorFormat kImd{LoadIMDFromBytes, SaveImdNow, LoadKDIFromBytes, 5120};

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
BENCHMARK_CAPTURE(BM_Load, DSK, kDsk);
BENCHMARK_CAPTURE(BM_Save, DSK, kDsk);
BENCHMARK_CAPTURE(BM_Load, IMD, kImd);
BENCHMARK_CAPTURE(BM_Save, IMD, kImd);

// Finding the format of a file by its contents: every probe on its first
// bytes. A TRD named .img is found by its TR-DOS information sector.
void BM_DetectFormat(benchmark::State& state) {
  const auto file = std::filesystem::path(VELLORAN_CORPUS_DIR) / "trd" / "alfishe_unreal-ng__EyeAche.trd";
  for (auto _ : state) benchmark::DoNotOptimize(DetectFormat(file).format);
}
BENCHMARK(BM_DetectFormat);

}  // namespace
}  // namespace velloran
