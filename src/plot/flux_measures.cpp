#include "plot/flux_measures.h"

#include <algorithm>
#include <cmath>

#include "plot/track_source.h"

namespace velloran {

namespace {

constexpr double kDefaultRangeMicros = 20;

// The MFM cell of the rate found, in µs (FM runs at half the MFM rate).
double NominalMfmCell(const TrackLayout& layout) {
  if (layout.dataRate <= 0) return 0;
  const double mfmRate = layout.encoding == FluxEncoding::FM ? 2.0 * layout.dataRate : layout.dataRate;
  return 1e6 / (2 * mfmRate);
}

// Calls visit(ticks, end time) for each interval but the capture's first
// whose transition lies in revolution `revolution` (all: kAllRevolutions).
template <typename Visit>
void ForEachInterval(const FluxTrack& flux, int revolution, Visit visit) {
  const RevolutionSpans spans = SpansOf(flux);
  std::uint64_t begin = 0, end = UINT64_MAX;
  if (revolution != kAllRevolutions) {
    if (revolution < 0 || static_cast<std::size_t>(revolution) >= spans.spans.size()) return;
    begin = spans.spans[static_cast<std::size_t>(revolution)].begin;
    end = spans.spans[static_cast<std::size_t>(revolution)].end;
  }
  std::uint64_t time = 0;
  for (std::size_t i = 0; i < flux.intervals.size(); ++i) {
    time += flux.intervals[i];
    if (time > end) break;
    if (i == 0 || time <= begin) continue;
    visit(flux.intervals[i], time);
  }
}

}  // namespace

std::vector<double> ExpectedPeaks(const TrackLayout& layout) {
  const double cell = NominalMfmCell(layout);
  if (cell == 0) return {};
  if (layout.encoding == FluxEncoding::FM) return {2 * cell, 4 * cell};
  return {2 * cell, 3 * cell, 4 * cell};
}

double PlotRangeMicros(const TrackLayout& layout) {
  const std::vector<double> peaks = ExpectedPeaks(layout);
  return peaks.empty() ? kDefaultRangeMicros : 2 * peaks.back();
}

IntervalHistogram MakeHistogram(const FluxTrack& flux, const TrackLayout& layout, int revolution) {
  IntervalHistogram histogram;
  histogram.binMicros = PlotRangeMicros(layout) / kHistogramBins;
  histogram.counts.assign(kHistogramBins, 0);
  histogram.expectedPeaks = ExpectedPeaks(layout);
  if (flux.sampleClock <= 0) return histogram;
  const double micros = 1e6 / flux.sampleClock;
  const double halfCell = NominalMfmCell(layout) / 2;
  std::vector<double> sums(histogram.expectedPeaks.size(), 0);
  std::vector<std::uint64_t> near(histogram.expectedPeaks.size(), 0);
  ForEachInterval(flux, revolution, [&](std::uint32_t ticks, std::uint64_t) {
    const double length = ticks * micros;
    ++histogram.total;
    const double bin = length / histogram.binMicros;
    if (bin >= kHistogramBins)
      ++histogram.beyond;
    else
      ++histogram.counts[static_cast<std::size_t>(bin)];
    for (std::size_t p = 0; p < histogram.expectedPeaks.size(); ++p) {
      if (std::fabs(length - histogram.expectedPeaks[p]) >= halfCell) continue;
      sums[p] += length;
      ++near[p];
    }
  });
  for (std::size_t p = 0; p < sums.size(); ++p)
    histogram.measuredPeaks.push_back(near[p] == 0 ? 0 : sums[p] / static_cast<double>(near[p]));
  if (layout.cellTicks > 0) {
    const double mfmCell = layout.cellTicks * micros;
    histogram.measuredCell = layout.encoding == FluxEncoding::FM ? 2 * mfmCell : mfmCell;
  }
  return histogram;
}

double FullestBinCentre(const IntervalHistogram& histogram, double from, double to) {
  double centre = 0;
  std::uint64_t most = 0;
  for (std::size_t i = 0; i < histogram.counts.size(); ++i) {
    const double at = (static_cast<double>(i) + 0.5) * histogram.binMicros;
    if (at < from || at >= to || histogram.counts[i] <= most) continue;
    most = histogram.counts[i];
    centre = at;
  }
  return centre;
}

TimingGrid MakeTimingGrid(const FluxTrack& flux, int revolution, double from, double to, int columns, int rows,
                          double rangeMicros) {
  TimingGrid grid;
  grid.columns = std::max(1, columns);
  grid.rows = std::max(1, rows);
  const RevolutionSpans spans = SpansOf(flux);
  if (flux.sampleClock <= 0 || !(to > from) || rangeMicros <= 0) return grid;
  std::vector<std::size_t> shown;  // the revolutions in the window, in order
  for (std::size_t r = 0; r < spans.spans.size(); ++r)
    if (revolution == kAllRevolutions || static_cast<std::size_t>(revolution) == r) shown.push_back(r);
  if (shown.empty()) return grid;
  const std::size_t cellsPerLayer = static_cast<std::size_t>(grid.columns) * static_cast<std::size_t>(grid.rows);
  grid.cells.assign(std::min<std::size_t>(shown.size(), kTimingLayers), std::vector<std::uint8_t>(cellsPerLayer, 0));
  const double micros = 1e6 / flux.sampleClock;
  std::size_t at = 0;  // index into `shown` of the span being walked
  ForEachInterval(flux, revolution, [&](std::uint32_t ticks, std::uint64_t time) {
    while (at + 1 < shown.size() && time > spans.spans[shown[at]].end) ++at;
    const TickSpan& span = spans.spans[shown[at]];
    if (time <= span.begin || time > span.end) return;
    const double place = static_cast<double>(time - span.begin) / static_cast<double>(span.end - span.begin);
    if (place < from || place >= to) return;
    const int column = std::min(grid.columns - 1, static_cast<int>((place - from) / (to - from) * grid.columns));
    const int row = std::min(grid.rows - 1, static_cast<int>(ticks * micros / rangeMicros * grid.rows));
    grid.cells[at % kTimingLayers][static_cast<std::size_t>(row) * grid.columns + column] = 1;
    ++grid.points;
  });
  return grid;
}

}  // namespace velloran
