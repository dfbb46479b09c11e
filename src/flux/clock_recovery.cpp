#include "flux/clock_recovery.h"

#include <algorithm>
#include <array>
#include <bit>

namespace velloran {

namespace {

// How far the loop may pull the cell length away from its nominal value.
constexpr double kMaxDeviation = 0.12;
// Longer runs of empty cells than any encoding writes mean a dropout or an
// unformatted stretch: they teach the loop nothing about the clock.
constexpr std::size_t kLongestRun = 5;
constexpr std::array<double, kLongestRun + 1> kReciprocals = {0, 1.0, 1.0 / 2, 1.0 / 3, 1.0 / 4, 1.0 / 5};
// An empty stretch counts at most this many cells, and a capture at most
// kMostCells cells in all, so that no input can make the stream huge.
constexpr std::size_t kLongestStretch = 1 << 16;
constexpr std::size_t kMostCells = std::size_t{1} << 26;

}  // namespace

std::uint16_t CellStream::Window16(std::size_t cell) const {
  const std::size_t word = cell >> 6;
  if (word >= words_.size()) return 0;
  const unsigned offset = cell & 63;
  std::uint64_t bits = words_[word] << offset;
  if (offset > 48 && word + 1 < words_.size()) bits |= words_[word + 1] >> (64 - offset);
  return static_cast<std::uint16_t>(bits >> 48);
}

RecoveredCells RecoverCells(const FluxTrack& track, double cellTicks, std::span<const CellPattern> patterns, int passes,
                            const PllSettings& settings, std::size_t laterPassCells) {
  RecoveredCells out;
  cellTicks *= settings.clockScale;
  const double minimum = cellTicks * (1 - kMaxDeviation);
  const double maximum = cellTicks * (1 + kMaxDeviation);
  double period = cellTicks;
  double inverse = 1 / period;
  double sinceReference = 0;  // time from the last expected transition
  double periodSum = 0;
  std::size_t periodCount = 0;
  std::uint64_t shift = 0;  // the latest cells, the newest in bit 0
  std::uint64_t time = 0;   // ticks from the start of the capture
  std::size_t nextIndex = 0;
  // A single revolution read again: its next pass starts one turn later.
  const std::uint64_t turn = track.indexTimes.empty() ? 0 : track.indexTimes.back();
  const std::uint64_t flux = track.TransitionTime();
  const std::uint64_t wrapGap = turn > flux ? turn - flux : 0;
  out.cells.Reserve(std::min<std::size_t>(
      kMostCells, static_cast<std::size_t>(static_cast<double>(std::max(turn, flux)) / minimum) * passes + 64));
  std::vector<std::size_t> trailingEmpty;
  for (const CellPattern& pattern : patterns)
    trailingEmpty.push_back(pattern.cells == 0 ? 16 : static_cast<std::size_t>(std::countr_zero(pattern.cells)));

  // A later pass counts its cells from the end of the pass before, or from
  // the index it passes when that lies later (after a long empty stretch).
  const auto laterPassDone = [&](std::size_t passStart) {
    const std::size_t from = std::max(passStart, out.indexCells.empty() ? 0 : out.indexCells.back());
    return out.cells.Size() >= from && out.cells.Size() - from >= laterPassCells;
  };
  for (int pass = 0; pass < passes; ++pass) {
    const std::size_t passStart = out.cells.Size();
    for (std::size_t i = 0; i < track.intervals.size() && !(pass > 0 && laterPassDone(passStart)); ++i) {
      double interval = track.intervals[i];
      if (pass > 0 && i == 0) interval += static_cast<double>(wrapGap);
      sinceReference += interval;
      const bool taken = sinceReference >= period * 0.5;  // else too close to the last one: taken with the next
      const std::size_t run =
          taken ? std::clamp<std::size_t>(static_cast<std::size_t>(sinceReference * inverse + 0.5), 1, kLongestStretch)
                : 0;
      time += static_cast<std::uint64_t>(interval);
      while (nextIndex < track.indexTimes.size() && track.indexTimes[nextIndex] <= time) {
        const double beforeIndex = sinceReference - static_cast<double>(time - track.indexTimes[nextIndex]);
        const double into = std::clamp(beforeIndex * inverse, 0.0, static_cast<double>(run));
        out.indexCells.push_back(out.cells.Size() + static_cast<std::size_t>(into));
        ++nextIndex;
      }
      if (!taken) continue;
      if (out.cells.Size() + run > kMostCells) break;

      const double error = sinceReference - static_cast<double>(run) * period;
      out.cells.AppendRun(run - 1);
      shift = run >= 64 ? 1 : (shift << run) | 1;
      // Patterns that end in one of the cells just added. A pattern's last
      // transition must be a transition of the stream: this one (a pattern
      // ending in a transition) or the one before it, `run` cells back (a
      // pattern ending in `trailing` empty cells). So each can end in one place.
      const std::size_t size = out.cells.Size();
      for (std::size_t p = 0; p < patterns.size(); ++p) {
        const std::size_t trailing = trailingEmpty[p];
        if (trailing > run) continue;
        const std::size_t end = trailing == 0 ? 0 : run - trailing;  // cells back from the newest
        if (end > 48 || size < end + 16) continue;
        if (static_cast<std::uint16_t>(shift >> end) == patterns[p].cells)
          out.hits.push_back({size - end - 16, static_cast<std::uint8_t>(p)});
      }
      if (run <= kLongestRun) {
        period = std::clamp(period + settings.frequencyGain * error * kReciprocals[run], minimum, maximum);
        inverse *= 2 - period * inverse;  // a Newton step: the period moves too little to need a division
        sinceReference = error * (1 - settings.phaseGain);
        periodSum += period;
        ++periodCount;
      } else {
        sinceReference = 0;
      }
    }
  }
  while (nextIndex < track.indexTimes.size()) {
    out.indexCells.push_back(out.cells.Size());
    ++nextIndex;
  }
  std::stable_sort(out.hits.begin(), out.hits.end(),
                   [](const PatternHit& a, const PatternHit& b) { return a.cell < b.cell; });
  out.averageCell = periodCount > 0 ? periodSum / static_cast<double>(periodCount) : cellTicks;
  return out;
}

}  // namespace velloran
