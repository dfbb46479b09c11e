#include "flux/track_encoder.h"

#include <array>
#include <cmath>

namespace velloran {

namespace {

constexpr std::uint8_t kGapByte = 0x4E;

// The clock bit each sync byte leaves out (bit 0 = last cell).
std::uint16_t MissingClock(std::uint8_t value) {
  switch (value) {
    case 0xA1: return 0x0020;  // 0x44A9 -> 0x4489
    case 0xC2: return 0x0080;  // 0x52A4 -> 0x5224
    default: return 0;
  }
}

// Appends the 16 cells of one byte after a byte ending in `lastBit`.
void AppendByteCells(std::vector<bool>& cells, std::uint8_t value, bool sync, int& lastBit) {
  std::uint16_t pattern = 0;
  for (int bit = 7; bit >= 0; --bit) {
    const int data = (value >> bit) & 1;
    const int clock = (lastBit == 0 && data == 0) ? 1 : 0;
    pattern = static_cast<std::uint16_t>(pattern << 2 | clock << 1 | data);
    lastBit = data;
  }
  if (sync) pattern = static_cast<std::uint16_t>(pattern & ~MissingClock(value));
  for (int cell = 15; cell >= 0; --cell) cells.push_back(((pattern >> cell) & 1) != 0);
}

bool SyncBit(ByteSpan syncMap, std::size_t i) { return i / 8 < syncMap.size() && ((syncMap[i / 8] >> (i % 8)) & 1); }

}  // namespace

FluxTrack EncodeMfmTrack(ByteSpan raw, ByteSpan syncMap, const FluxTiming& timing) {
  const double turn = 60.0 / timing.rpm;  // seconds
  const auto turnCells = static_cast<std::size_t>(std::llround(2 * timing.dataRate * turn));
  std::vector<bool> cells;
  cells.reserve(std::max(turnCells, raw.size() * 16));
  int lastBit = 0;
  for (std::size_t i = 0; i < raw.size(); ++i) AppendByteCells(cells, raw[i], SyncBit(syncMap, i), lastBit);
  while (cells.size() + 16 <= turnCells) AppendByteCells(cells, kGapByte, false, lastBit);

  FluxTrack flux;
  flux.sampleClock = timing.sampleClock;
  const auto turnTicks = static_cast<std::uint64_t>(std::llround(turn * timing.sampleClock));
  const std::size_t cellCount = std::max<std::size_t>({turnCells, cells.size(), 1});
  const double evenCellTicks = turn * timing.sampleClock / static_cast<double>(cellCount);
  const std::uint64_t wholeCellTicks = std::max<std::uint64_t>(1, turnTicks / cellCount);
  // Each transition in the middle of its cell.
  const auto cellMiddle = [&](std::size_t k) -> std::uint64_t {
    if (timing.wholeTickCells) return k * wholeCellTicks + wholeCellTicks / 2;
    return static_cast<std::uint64_t>(std::llround((static_cast<double>(k) + 0.5) * evenCellTicks));
  };
  std::uint64_t previous = 0;
  for (std::size_t k = 0; k < cells.size(); ++k) {
    if (!cells[k]) continue;
    const std::uint64_t time = cellMiddle(k);
    flux.intervals.push_back(static_cast<std::uint32_t>(time - previous));
    previous = time;
  }
  flux.indexTimes = {0, turnTicks};
  return flux;
}

bool EncodeDiskTrack(TZX_Disk& disk, std::uint8_t track, const FluxTiming& timing, FluxTrack& out) {
  out = FluxTrack{};
  out.sampleClock = timing.sampleClock;
  if (!disk.GetTrack(track).Present) return true;
  std::array<std::uint8_t, kRawTrackLength> raw{};
  std::array<std::uint8_t, kSyncMapLength> syncMap{};
  raw.fill(kGapByte);
  if (!disk.BuildRawTrack(track, raw.data(), syncMap.data())) return false;
  out = EncodeMfmTrack(raw, syncMap, timing);
  return true;
}

}  // namespace velloran
