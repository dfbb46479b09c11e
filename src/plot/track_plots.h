// The two plots of one track: the histogram of its flux intervals and the
// timing plot (each interval against its place in the revolution, with the
// sectors' ID and data fields as coloured bands above it).
#pragma once

#include <string>
#include <vector>

#include "plot/flux_measures.h"
#include "plot/scene.h"
#include "plot/track_source.h"

namespace velloran {

// Intervals (µs) across, counts (logarithmic) up; the expected peaks of the
// encoding as lines, the measured peaks and cell as numbers.
Scene HistogramScene(const TrackSource& source, int revolution, int width, int height);

// What the timing plot shows: one revolution or all overlaid, and the part of
// the revolution between two fractions (zoom and pan).
struct TimingWindow {
  int revolution = kAllRevolutions;
  double from = 0, to = 1;
};

// Where the parts of a timing plot lie in a picture of a given size.
struct TimingFrame {
  double left = 0, top = 0, width = 0, height = 0;  // the point area
  double lanesTop = 0, laneHeight = 0;              // one lane of field bands per revolution shown, above it
  // The place in the revolution (fraction) at picture x.
  double PlaceAt(double x, const TimingWindow& window) const;
};
TimingFrame TimingFrameOf(int width, int height, int lanes);

// The revolutions the timing plot shows for a window, in lane order.
std::vector<int> ShownRevolutions(const TrackSource& source, const TimingWindow& window);

// For a track without flux the plot holds only the bands of its raw track.
Scene TimingScene(const TrackSource& source, const TimingWindow& window, int width, int height);

// The band of revolution `revolution` at `place`, preferring a data field; null when none.
const FieldBand* BandAt(const std::vector<FieldBand>& bands, int revolution, double place);

}  // namespace velloran
