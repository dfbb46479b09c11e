#include "plot/track_plots.h"

#include <algorithm>
#include <cmath>

#include "common/messages.h"
#include "plot/plot_style.h"

namespace velloran {

namespace {

constexpr double kMarginLeft = 56, kMarginRight = 16, kMarginTop = 24, kMarginBottom = 34;
constexpr double kLanesHeight = 36;  // all lanes together, each at most kLaneHeight
constexpr double kLaneHeight = 12;
// Colours of the revolutions' points, one for each layer of the timing grid.
constexpr Rgb kRevolutionColours[kTimingLayers] = {
    {0x00, 0x00, 0x80}, {0x80, 0x00, 0x00}, {0x00, 0x60, 0x00}, {0x60, 0x00, 0x80}, {0x80, 0x50, 0x00}};

std::string EncodingName(FluxEncoding encoding) {
  switch (encoding) {
    case FluxEncoding::MFM: return "MFM";
    case FluxEncoding::FM: return "FM";
    case FluxEncoding::None: break;
  }
  return MessageText(MessageId::PlotNoMarks);
}

// "T005  MFM 250 kbit/s  rev 2/5": what the plot shows, for its top line.
std::string Title(const TrackSource& source, int revolution) {
  std::string title = "T" + NumberText(source.track, 0) + "  " + EncodingName(source.layout.encoding);
  if (source.layout.dataRate > 0)
    title += " " + MessageText(MessageId::UnitKbitPerSecond, {NumberText(source.layout.dataRate / 1000.0, 0)});
  if (source.flux == nullptr) return title + "  " + MessageText(MessageId::PlotRawTrack);
  const RevolutionSpans spans = SpansOf(*source.flux);
  const std::string count = NumberText(static_cast<double>(spans.spans.size()), 0);
  if (!spans.indexed) title += "  " + MessageText(MessageId::PlotNoIndex);
  title += revolution == kAllRevolutions && spans.spans.size() > 1
               ? "  " + MessageText(MessageId::PlotAllRevolutions, {count})
               : "  " + MessageText(MessageId::PlotRevolution, {NumberText(std::max(revolution, 0) + 1, 0), count});
  if (source.flux->sampleClock <= 0) title += "  " + MessageText(MessageId::PlotClockUnknown);
  return title;
}

void AddText(Scene& scene, double x, double y, std::string text, TextAnchor anchor = TextAnchor::Middle,
             double size = kSmallText) {
  scene.texts.push_back({x, y, std::move(text), size, kTextColour, anchor});
}

// The frame of a plot area with its x axis labels from `from` to `to` in
// steps, each label `unit` appended to the last one.
struct Area {
  double left, top, width, height;
  double XOf(double value, double from, double to) const { return left + (value - from) / (to - from) * width; }
};

void AddFrame(Scene& scene, const Area& area) {
  const double right = area.left + area.width, bottom = area.top + area.height;
  scene.lines.push_back({area.left, area.top, area.left, bottom, kAxisColour});
  scene.lines.push_back({area.left, bottom, right, bottom, kAxisColour});
}

void AddXAxis(Scene& scene, const Area& area, double from, double to, const std::string& unit, int decimals) {
  const double step = AxisStep(to - from, area.width);
  const double bottom = area.top + area.height;
  for (double value = std::ceil(from / step) * step; value <= to + step * 1e-9; value += step) {
    const double x = area.XOf(value, from, to);
    scene.lines.push_back({x, bottom, x, bottom + 4, kAxisColour});
    AddText(scene, x, bottom + 15, NumberText(value, decimals));
  }
  AddText(scene, area.left + area.width, bottom + 28, unit, TextAnchor::End);
}

}  // namespace

Scene HistogramScene(const TrackSource& source, int revolution, int width, int height) {
  Scene scene;
  scene.width = width;
  scene.height = height;
  AddText(scene, kMarginLeft, 15, Title(source, revolution), TextAnchor::Start, kTitleText);
  const Area area{kMarginLeft, kMarginTop + 14, std::max(10.0, width - kMarginLeft - kMarginRight),
                  std::max(10.0, height - kMarginTop - 14 - kMarginBottom)};
  AddFrame(scene, area);
  if (source.flux == nullptr) {
    AddText(scene, area.left + area.width / 2, area.top + area.height / 2, MessageText(MessageId::PlotNoFluxHere));
    return scene;
  }
  const IntervalHistogram histogram = MakeHistogram(*source.flux, source.layout, revolution);
  const double range = histogram.binMicros * kHistogramBins;
  AddXAxis(scene, area, 0, range, MessageText(MessageId::UnitMicroseconds), 0);
  // Counts up on a logarithmic scale, one decade a step.
  const std::uint64_t most =
      histogram.counts.empty() ? 0 : *std::max_element(histogram.counts.begin(), histogram.counts.end());
  const double decades = std::max(1.0, std::ceil(std::log10(static_cast<double>(most) + 1)));
  auto yOf = [&](double count) { return area.top + area.height * (1 - std::log10(count + 1) / decades); };
  for (int decade = 0; decade <= static_cast<int>(decades); ++decade) {
    const double y = yOf(std::pow(10, decade) - 1);
    scene.lines.push_back({area.left - 4, y, area.left, y, kAxisColour});
    AddText(scene, area.left - 6, y + 3, decade == 0 ? "0" : "1E" + NumberText(decade, 0), TextAnchor::End);
  }
  const double barWidth = area.width / kHistogramBins;
  for (std::size_t i = 0; i < histogram.counts.size(); ++i) {
    if (histogram.counts[i] == 0) continue;
    const double top = yOf(static_cast<double>(histogram.counts[i]));
    scene.rects.push_back({area.left + static_cast<double>(i) * barWidth, top, std::max(1.0, barWidth),
                           area.top + area.height - top, kRevolutionColours[0]});
  }
  for (std::size_t p = 0; p < histogram.expectedPeaks.size(); ++p) {
    const double x = area.XOf(histogram.expectedPeaks[p], 0, range);
    scene.lines.push_back({x, area.top, x, area.top + area.height, kExpectedColour});
    AddText(scene, x, area.top - 3, NumberText(histogram.expectedPeaks[p], 1));
    if (histogram.measuredPeaks[p] > 0)
      AddText(scene, x + 3, area.top + 12, NumberText(histogram.measuredPeaks[p], 2), TextAnchor::Start);
  }
  std::string note = MessageText(MessageId::PlotIntervals, {NumberText(static_cast<double>(histogram.total), 0)});
  if (histogram.measuredCell > 0)
    note += "  " + MessageText(MessageId::PlotCell, {NumberText(histogram.measuredCell, 3)});
  if (histogram.beyond > 0)
    note += "  " + MessageText(MessageId::PlotBeyondRange, {NumberText(static_cast<double>(histogram.beyond), 0)});
  AddText(scene, width - kMarginRight, 15, note, TextAnchor::End);
  return scene;
}

double TimingFrame::PlaceAt(double x, const TimingWindow& window) const {
  return window.from + (x - left) / width * (window.to - window.from);
}

TimingFrame TimingFrameOf(int width, int height, int lanes) {
  TimingFrame frame;
  frame.laneHeight = lanes > 0 ? std::min(kLaneHeight, kLanesHeight / lanes) : 0;
  frame.lanesTop = kMarginTop;
  frame.left = kMarginLeft;
  frame.top = kMarginTop + frame.laneHeight * lanes + 4;
  frame.width = std::max(10.0, width - kMarginLeft - kMarginRight);
  frame.height = std::max(10.0, height - frame.top - kMarginBottom);
  return frame;
}

std::vector<int> ShownRevolutions(const TrackSource& source, const TimingWindow& window) {
  const int count = source.flux != nullptr ? static_cast<int>(SpansOf(*source.flux).spans.size())
                                           : static_cast<int>(source.layout.revolutions.size());
  if (window.revolution != kAllRevolutions) {
    if (window.revolution >= 0 && window.revolution < count) return {window.revolution};
    return {};
  }
  std::vector<int> all(static_cast<std::size_t>(std::max(0, count)));
  for (int r = 0; r < count; ++r) all[static_cast<std::size_t>(r)] = r;
  return all;
}

Scene TimingScene(const TrackSource& source, const TimingWindow& window, int width, int height) {
  Scene scene;
  scene.width = width;
  scene.height = height;
  AddText(scene, kMarginLeft, 15, Title(source, window.revolution), TextAnchor::Start, kTitleText);
  const std::vector<int> shown = ShownRevolutions(source, window);
  const TimingFrame frame = TimingFrameOf(width, height, static_cast<int>(shown.size()));
  const Area area{frame.left, frame.top, frame.width, frame.height};
  AddFrame(scene, area);
  const double from = std::clamp(window.from, 0.0, 1.0), to = std::clamp(window.to, from + 1e-6, 1.0);

  // The x axis: degrees of the revolution, or milliseconds of a capture without index.
  const bool indexed = source.flux == nullptr || SpansOf(*source.flux).indexed;
  if (indexed) {
    AddXAxis(scene, area, from * 360, to * 360, "\u00B0", to - from < 0.05 ? 1 : 0);
  } else {
    const double ms = source.flux->sampleClock > 0
                          ? static_cast<double>(SpansOf(*source.flux).spans[0].end) / source.flux->sampleClock * 1e3
                          : 1;
    AddXAxis(scene, area, from * ms, to * ms, MessageText(MessageId::UnitMilliseconds), to - from < 0.05 ? 2 : 1);
  }

  // The sectors' fields: a lane per revolution shown; for one revolution also pale behind the points.
  const std::vector<FieldBand> bands = FieldBands(source.layout);
  for (std::size_t lane = 0; lane < shown.size(); ++lane) {
    for (const FieldBand& band : bands) {
      if (band.revolution != shown[lane] || band.end <= from || band.start >= to) continue;
      const double left = area.XOf(std::max(band.start, from), from, to);
      const double right = area.XOf(std::min(band.end, to), from, to);
      const Rgb colour = TileRgb(band.tile).value_or(kGridColour);
      scene.rects.push_back({left, frame.lanesTop + frame.laneHeight * static_cast<double>(lane), right - left,
                             std::max(1.0, frame.laneHeight - 1), colour});
      if (shown.size() == 1) scene.rects.push_back({left, area.top, right - left, area.height, Paler(colour, 0.8)});
    }
  }

  if (source.flux == nullptr) {
    AddText(scene, area.left + area.width / 2, area.top + area.height / 2,
            MessageText(source.layout.revolutions.empty() ? MessageId::PlotNoFluxNoSectors
                                                          : MessageId::PlotNoFluxRawSectors));
    return scene;
  }

  // Intervals up, with the expected lengths as lines.
  const double range = PlotRangeMicros(source.layout);
  for (double value = 0; value <= range + 1e-9; value += AxisStep(range, area.height)) {
    const double y = area.top + area.height * (1 - value / range);
    scene.lines.push_back({area.left - 4, y, area.left, y, kAxisColour});
    AddText(scene, area.left - 6, y + 3, NumberText(value, 0), TextAnchor::End);
  }
  AddText(scene, area.left - 6, area.top - 4, MessageText(MessageId::UnitMicroseconds), TextAnchor::End);
  for (const double peak : ExpectedPeaks(source.layout)) {
    const double y = area.top + area.height * (1 - peak / range);
    // A rectangle, so that the points drawn after it stay on top.
    scene.rects.push_back({area.left, y, area.width, 1, Paler(kExpectedColour, 0.5)});
  }

  // Every occupied pixel of the grid, runs of a column as one rectangle.
  const int columns = static_cast<int>(area.width), rows = static_cast<int>(area.height);
  const TimingGrid grid = MakeTimingGrid(*source.flux, window.revolution, from, to, columns, rows, range);
  const double cellWidth = area.width / grid.columns, cellHeight = area.height / grid.rows;
  for (std::size_t g = 0; g < grid.cells.size(); ++g) {
    const Rgb colour = kRevolutionColours[g];
    for (int column = 0; column < grid.columns; ++column) {
      for (int row = 0; row < grid.rows;) {
        if (grid.cells[g][static_cast<std::size_t>(row) * grid.columns + column] == 0) {
          ++row;
          continue;
        }
        const int first = row;
        while (row < grid.rows && grid.cells[g][static_cast<std::size_t>(row) * grid.columns + column] != 0) ++row;
        scene.rects.push_back({area.left + column * cellWidth, area.top + area.height - row * cellHeight, cellWidth,
                               (row - first) * cellHeight, colour});
      }
    }
  }

  // The index pulse at the start and the end of the revolution.
  if (indexed) {
    for (const double at : {0.0, 1.0}) {
      if (at < from || at > to) continue;
      const double x = area.XOf(at, from, to);
      scene.lines.push_back({x, frame.lanesTop, x, area.top + area.height, kIndexColour});
      AddText(scene, at == 0 ? x + 3 : x - 3, area.top + 10, MessageText(MessageId::PlotIndex),
              at == 0 ? TextAnchor::Start : TextAnchor::End);
    }
  }
  return scene;
}

const FieldBand* BandAt(const std::vector<FieldBand>& bands, int revolution, double place) {
  const FieldBand* found = nullptr;
  for (const FieldBand& band : bands) {
    if (band.revolution != revolution || place < band.start || place >= band.end) continue;
    if (found == nullptr || band.kind == FieldKind::Data) found = &band;
  }
  return found;
}

}  // namespace velloran
