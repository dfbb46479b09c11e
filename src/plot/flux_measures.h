// The numbers the flux plots draw: a histogram of the intervals between
// transitions, and where each interval lies in its revolution.
#pragma once

#include <cstdint>
#include <vector>

#include "flux/flux_track.h"
#include "flux/track_decoder.h"

namespace velloran {

// Every revolution of a capture, overlaid.
inline constexpr int kAllRevolutions = -1;

// The intervals an encoding writes, in µs: MFM 2, 3 and 4 cells, FM 2 and 4
// cells of the MFM cell at twice its rate (DD MFM: 4, 6, 8; DD FM: 4, 8).
// Empty when the encoding or the rate is not known.
std::vector<double> ExpectedPeaks(const TrackLayout& layout);

// The longest interval the plots show, in µs: twice the longest expected
// peak, or 20 µs when none is known. Longer ones are drawn at the edge.
double PlotRangeMicros(const TrackLayout& layout);

struct IntervalHistogram {
  double binMicros = 0;               // bin i counts [i * bin, (i + 1) * bin)
  std::vector<std::uint64_t> counts;  // kHistogramBins bins over the plot range
  std::uint64_t beyond = 0;           // intervals past the range
  std::uint64_t total = 0;            // intervals counted
  std::vector<double> expectedPeaks;  // µs
  std::vector<double> measuredPeaks;  // µs: the mean of the intervals near each expected peak (0: none there)
  double measuredCell = 0;            // µs: the cell of the encoding as the decoder measured it; 0: unknown
};

inline constexpr int kHistogramBins = 200;

// The intervals of one revolution (or of the whole capture), each but the
// first of the capture, which counts from its start and not from a transition.
IntervalHistogram MakeHistogram(const FluxTrack& flux, const TrackLayout& layout, int revolution);

// The fullest bin's centre among bins whose centres lie in [from, to) µs; 0 when all are empty.
double FullestBinCentre(const IntervalHistogram& histogram, double from, double to);

// Each transition as a point: x its place in the revolution between
// `from` and `to` (fractions), y its interval from 0 to `rangeMicros`, on a
// grid of `columns` x `rows` cells, a cell set when a point falls into it.
// Revolutions overlaid go to kTimingLayers layers in turn (a colour each).
// Intervals past the range land in the top row; none is dropped, so the grid
// holds every extreme while its size stays bounded whatever the capture.
inline constexpr int kTimingLayers = 5;
struct TimingGrid {
  int columns = 0, rows = 0;
  std::vector<std::vector<std::uint8_t>> cells;  // per layer, row 0 at the bottom: cells[l][row * columns + column]
  std::uint64_t points = 0;                      // transitions that fell into the window
};
TimingGrid MakeTimingGrid(const FluxTrack& flux, int revolution, double from, double to, int columns, int rows,
                          double rangeMicros);

}  // namespace velloran
