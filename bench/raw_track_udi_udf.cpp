// Raw-track building from each template, the two checksums, loading and
// saving a full 160-track disk as UDI and as udf, and a whole TRD-to-UDI
// conversion in memory (what each job of a batch conversion does besides
// reading and writing its files).
#include <benchmark/benchmark.h>

#include <array>
#include <memory>

#include "common/file_io.h"
#include "formats/trd.h"
#include "formats/udf.h"
#include "formats/udi.h"

namespace velloran {
namespace {

// 160 tracks of 16 × 256 sectors with patterned data.
std::unique_ptr<TZX_Disk> TrdosDisk() {
  auto disk = std::make_unique<TZX_Disk>();
  for (int t = 0; t < 160; ++t) {
    TTrack& track = disk->GetTrack(static_cast<std::uint8_t>(t));
    track.Present = true;
    for (int s = 0; s < 16; ++s) {
      TSectorRec& sector = track.Sectors[s];
      sector.Used = true;
      sector.IdTrack = static_cast<std::uint8_t>(t / 2);
      sector.IdSector = static_cast<std::uint8_t>(s + 1);
      sector.IdSize = 1;
      sector.DataOk = true;
      sector.DataLen = 256;
      for (int i = 0; i < 256; ++i) sector.Data[i] = static_cast<std::uint8_t>(t + s * 3 + i);
    }
  }
  return disk;
}

// The same disk after a round trip through UDI: every track has a raw image.
std::unique_ptr<TZX_Disk> RawDisk() {
  auto disk = TrdosDisk();
  Bytes udi;
  SaveUDIToBytes(*disk, udi);
  LoadUDIFromBytes(*disk, udi);
  return disk;
}

enum class Template { Standard, OwnImage, BaseTrack };

void BM_BuildRawTrack(benchmark::State& state, Template kind) {
  auto disk = kind == Template::Standard ? TrdosDisk() : RawDisk();
  std::uint8_t track = 10;
  if (kind == Template::BaseTrack) {
    disk->UseBaseTrack = true;
    disk->BaseTrack = 0;
    disk->GetTrack(track).RawLength = 0;
    disk->GetTrack(track).RawValid = false;
  }
  std::array<std::uint8_t, kRawTrackLength> raw{};
  std::array<std::uint8_t, kSyncMapLength> syncMap{};
  for (auto _ : state) {
    raw.fill(0x4E);
    benchmark::DoNotOptimize(disk->BuildRawTrack(track, raw.data(), syncMap.data()));
  }
}

// Throughput of a checksum over the bytes of a UDI file.
void BM_Checksum(benchmark::State& state, bool crc32) {
  auto disk = TrdosDisk();
  Bytes udi;
  SaveUDIToBytes(*disk, udi);
  for (auto _ : state) {
    if (crc32)
      benchmark::DoNotOptimize(CalcCRC32(udi.data(), udi.size()));
    else
      benchmark::DoNotOptimize(CalcCRC16(udi.data(), udi.size()));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * udi.size()));
}

// A real TRD file's bytes to the bytes of its UDI file, on a new disk each time.
void BM_TrdToUdi(benchmark::State& state) {
  const auto trd = ReadWholeFile(std::filesystem::path(VELLORAN_CORPUS_DIR) / "trd/alfishe_unreal-ng__EyeAche.trd");
  if (!trd) {
    state.SkipWithError("the corpus TRD cannot be read");
    return;
  }
  Bytes udi;
  for (auto _ : state) {
    TZX_Disk disk;
    benchmark::DoNotOptimize(LoadTRDFromBytes(disk, *trd) && SaveUDIToBytes(disk, udi));
  }
}

using SaveFunction = bool (*)(TZX_Disk&, Bytes&);
using LoadFunction = bool (*)(TZX_Disk&, ByteSpan);

void BM_Save(benchmark::State& state, SaveFunction save) {
  auto disk = RawDisk();
  Bytes file;
  for (auto _ : state) benchmark::DoNotOptimize(save(*disk, file));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}

void BM_Load(benchmark::State& state, SaveFunction save, LoadFunction load) {
  auto disk = RawDisk();
  Bytes file;
  save(*disk, file);
  for (auto _ : state) benchmark::DoNotOptimize(load(*disk, file));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}

BENCHMARK_CAPTURE(BM_BuildRawTrack, Standard, Template::Standard);
BENCHMARK_CAPTURE(BM_BuildRawTrack, OwnImage, Template::OwnImage);
BENCHMARK_CAPTURE(BM_BuildRawTrack, BaseTrack, Template::BaseTrack);
BENCHMARK_CAPTURE(BM_Checksum, CRC16, false);
BENCHMARK_CAPTURE(BM_Checksum, CRC32, true);
BENCHMARK(BM_TrdToUdi);
BENCHMARK_CAPTURE(BM_Save, UDI, SaveUDIToBytes);
BENCHMARK_CAPTURE(BM_Load, UDI, SaveUDIToBytes, LoadUDIFromBytes);
BENCHMARK_CAPTURE(BM_Save, UDF, SaveUDFToBytes);
BENCHMARK_CAPTURE(BM_Load, UDF, SaveUDFToBytes, LoadUDFFromBytes);

}  // namespace
}  // namespace velloran
