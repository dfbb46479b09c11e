// Throughput of the LZH coder on a real 640 KB TR-DOS image and on random
// bytes, and loading and saving a 160-track disk as TD0 (plain and
// compressed) and as HFE.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "common/file_io.h"
#include "formats/hfe.h"
#include "formats/lzh.h"
#include "formats/td0.h"
#include "formats/trd.h"

namespace velloran {
namespace {

constexpr std::size_t kImageSize = 655360;

// A real TR-DOS disk from the repository's corpus.
const Bytes& TrdosImage() {
  static const Bytes image = [] {
    const auto file = std::filesystem::path(VELLORAN_CORPUS_DIR) / "trd/alfishe_unreal-ng__EyeAche.trd";
    return ReadWholeFile(file).value_or(Bytes{});
  }();
  return image;
}

const Bytes& RandomImage() {
  static const Bytes image = [] {
    std::mt19937 random(1);
    Bytes data(kImageSize);
    for (auto& byte : data) byte = static_cast<std::uint8_t>(random());
    return data;
  }();
  return image;
}

const Bytes& Input(const benchmark::State& state) { return state.range(0) == 0 ? TrdosImage() : RandomImage(); }

void LzhCompress(benchmark::State& state) {
  const Bytes& input = Input(state);
  if (input.size() != kImageSize) return state.SkipWithError("corpus TR-DOS image not found");
  Bytes packed;
  for (auto _ : state) {
    packed.clear();
    LZHCompress(input, packed);
    benchmark::DoNotOptimize(packed.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
  state.counters["ratio"] = static_cast<double>(packed.size()) / static_cast<double>(input.size());
}
BENCHMARK(LzhCompress)->Arg(0)->Arg(1)->ArgName("random")->Unit(benchmark::kMillisecond);

void LzhDecompress(benchmark::State& state) {
  const Bytes& input = Input(state);
  if (input.size() != kImageSize) return state.SkipWithError("corpus TR-DOS image not found");
  Bytes stream(12, 0);
  LZHCompress(input, stream);
  Bytes output;
  for (auto _ : state) {
    output.clear();
    LZHDecompress(stream, 12, output);
    benchmark::DoNotOptimize(output.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
}
BENCHMARK(LzhDecompress)->Arg(0)->Arg(1)->ArgName("random")->Unit(benchmark::kMillisecond);

// The TR-DOS image as a 160-track disk.
TZX_Disk& Disk() {
  static auto* disk = [] {
    auto* d = new TZX_Disk;
    LoadTRDFromBytes(*d, TrdosImage());
    return d;
  }();
  return *disk;
}

void Td0Save(benchmark::State& state) {
  const bool compress = state.range(0) != 0;
  Bytes file;
  for (auto _ : state) SaveTD0ToBytes(Disk(), file, compress);
  state.counters["bytes"] = static_cast<double>(file.size());
}
BENCHMARK(Td0Save)->Arg(0)->Arg(1)->ArgName("compressed")->Unit(benchmark::kMillisecond);

void Td0Load(benchmark::State& state) {
  Bytes file;
  SaveTD0ToBytes(Disk(), file, state.range(0) != 0);
  static auto* loaded = new TZX_Disk;
  for (auto _ : state)
    if (!LoadTD0FromBytes(*loaded, file)) return state.SkipWithError("load failed");
}
BENCHMARK(Td0Load)->Arg(0)->Arg(1)->ArgName("compressed")->Unit(benchmark::kMillisecond);

void HfeSave(benchmark::State& state) {
  Bytes file;
  for (auto _ : state)
    if (!SaveHFEToBytes(Disk(), file)) return state.SkipWithError("save failed");
}
BENCHMARK(HfeSave)->Unit(benchmark::kMillisecond);

void HfeLoad(benchmark::State& state) {
  Bytes file;
  SaveHFEToBytes(Disk(), file);
  static auto* loaded = new TZX_Disk;
  for (auto _ : state)
    if (!LoadHFEFromBytes(*loaded, file)) return state.SkipWithError("load failed");
}
BENCHMARK(HfeLoad)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velloran
