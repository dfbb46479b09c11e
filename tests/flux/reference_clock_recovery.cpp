#include "reference_clock_recovery.h"

#include <algorithm>
#include <array>
#include <bit>

namespace velloran {

namespace {

constexpr double kMaxDeviation = 0.12;
constexpr std::size_t kLongestRun = 5;
constexpr std::array<double, kLongestRun + 1> kReciprocals = {0, 1.0, 1.0 / 2, 1.0 / 3, 1.0 / 4, 1.0 / 5};
constexpr std::size_t kLongestStretch = 1 << 16;
constexpr std::size_t kMostCells = std::size_t{1} << 26;

}  // namespace

ReferenceCells ReferenceRecoverCells(const FluxTrack& track, double cellTicks, std::span<const CellPattern> patterns,
                                     int passes, const PllSettings& settings, std::size_t laterPassCells) {
  ReferenceCells out;
  cellTicks *= settings.clockScale;
  const double minimum = cellTicks * (1 - kMaxDeviation);
  const double maximum = cellTicks * (1 + kMaxDeviation);
  double period = cellTicks;
  double inverse = 1 / period;
  double sinceReference = 0;
  double periodSum = 0;
  std::size_t periodCount = 0;
  std::uint64_t shift = 0;
  std::uint64_t time = 0;
  std::size_t nextIndex = 0;
  const std::uint64_t turn = track.indexTimes.empty() ? 0 : track.indexTimes.back();
  const std::uint64_t flux = track.TransitionTime();
  const std::uint64_t wrapGap = turn > flux ? turn - flux : 0;
  std::vector<std::size_t> trailingEmpty;
  for (const CellPattern& pattern : patterns)
    trailingEmpty.push_back(pattern.cells == 0 ? 16 : static_cast<std::size_t>(std::countr_zero(pattern.cells)));

  const auto laterPassDone = [&](std::size_t passStart) {
    const std::size_t from = std::max(passStart, out.indexCells.empty() ? 0 : out.indexCells.back());
    return out.cells.size() >= from && out.cells.size() - from >= laterPassCells;
  };
  for (int pass = 0; pass < passes; ++pass) {
    const std::size_t passStart = out.cells.size();
    for (std::size_t i = 0; i < track.intervals.size() && !(pass > 0 && laterPassDone(passStart)); ++i) {
      double interval = track.intervals[i];
      if (pass > 0 && i == 0) interval += static_cast<double>(wrapGap);
      sinceReference += interval;
      const bool taken = sinceReference >= period * 0.5;
      const std::size_t run =
          taken ? std::clamp<std::size_t>(static_cast<std::size_t>(sinceReference * inverse + 0.5), 1, kLongestStretch)
                : 0;
      time += static_cast<std::uint64_t>(interval);
      while (nextIndex < track.indexTimes.size() && track.indexTimes[nextIndex] <= time) {
        const double beforeIndex = sinceReference - static_cast<double>(time - track.indexTimes[nextIndex]);
        const double into = std::clamp(beforeIndex * inverse, 0.0, static_cast<double>(run));
        out.indexCells.push_back(out.cells.size() + static_cast<std::size_t>(into));
        ++nextIndex;
      }
      if (!taken) continue;
      if (out.cells.size() + run > kMostCells) break;

      const double error = sinceReference - static_cast<double>(run) * period;
      out.cells.insert(out.cells.end(), run - 1, false);
      out.cells.push_back(true);
      shift = run >= 64 ? 1 : (shift << run) | 1;
      const std::size_t size = out.cells.size();
      for (std::size_t p = 0; p < patterns.size(); ++p) {
        const std::size_t trailing = trailingEmpty[p];
        if (trailing > run) continue;
        const std::size_t end = trailing == 0 ? 0 : run - trailing;
        if (end > 48 || size < end + 16) continue;
        if (static_cast<std::uint16_t>(shift >> end) == patterns[p].cells)
          out.hits.push_back({size - end - 16, static_cast<std::uint8_t>(p)});
      }
      if (run <= kLongestRun) {
        period = std::clamp(period + settings.frequencyGain * error * kReciprocals[run], minimum, maximum);
        inverse *= 2 - period * inverse;
        sinceReference = error * (1 - settings.phaseGain);
        periodSum += period;
        ++periodCount;
      } else {
        sinceReference = 0;
      }
    }
  }
  while (nextIndex < track.indexTimes.size()) {
    out.indexCells.push_back(out.cells.size());
    ++nextIndex;
  }
  std::stable_sort(out.hits.begin(), out.hits.end(),
                   [](const PatternHit& a, const PatternHit& b) { return a.cell < b.cell; });
  out.averageCell = periodCount > 0 ? periodSum / static_cast<double>(periodCount) : cellTicks;
  return out;
}

}  // namespace velloran
