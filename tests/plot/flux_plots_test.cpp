// The numbers behind the flux plots, from captures made with known content:
// tracks of the model encoded to flux, disturbed where the test says.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "flux/track_encoder.h"
#include "plot/flux_measures.h"
#include "plot/track_plots.h"
#include "plot/track_source.h"

namespace velloran {
namespace {

constexpr double kSampleClock = 40e6;
constexpr double kTicksPerMicro = kSampleClock / 1e6;

// A TR-DOS-like track of 16 sectors of 256 bytes with varied data, so that
// all three MFM intervals occur.
FluxTrack EncodedTrack(const FluxTiming& timing = {}) {
  TZX_Disk disk;
  TTrack& track = disk.GetTrack(0);
  std::mt19937 random(7);
  for (int i = 0; i < 16; ++i) {
    PlaceGoodSector(track.Sectors[i], 0, 0, static_cast<std::uint8_t>(i + 1), 1);
    for (int k = 0; k < 256; ++k) track.Sectors[i].Data[k] = static_cast<std::uint8_t>(random());
  }
  track.Present = true;
  FluxTrack flux;
  EXPECT_TRUE(EncodeDiskTrack(disk, 0, timing, flux));
  return flux;
}

// Five revolutions of one, every interval moved by up to ±4 % as a drive reads it.
FluxTrack FiveJitteredRevolutions(const FluxTrack& one) {
  FluxTrack flux;
  flux.sampleClock = one.sampleClock;
  std::mt19937 random(11);
  std::uniform_real_distribution<double> spread(-0.04, 0.04);
  for (int r = 0; r < 5; ++r) {
    std::vector<std::uint32_t> intervals = one.intervals;
    for (auto& interval : intervals) interval = static_cast<std::uint32_t>(interval * (1 + spread(random)));
    AppendRevolution(flux, intervals, one.indexTimes.back());
  }
  return flux;
}

TrackSource SourceOf(const FluxTrack& flux) {
  TrackSource source;
  source.kind = TrackSourceKind::Flux;
  source.flux = &flux;
  source.layout = DecodeTrackLayout(flux);
  return source;
}

TEST(FluxHistogram, PeaksOfDoubleDensityMfmLieAtFourSixAndEightMicroseconds) {
  // Also counted in ticks of a sampler whose clock is no round number.
  for (const double clock : {kSampleClock, 24027428.57}) {
    SCOPED_TRACE(clock);
    const FluxTrack flux = Resampled(FiveJitteredRevolutions(EncodedTrack()), clock);
    const TrackLayout layout = DecodeTrackLayout(flux);
    ASSERT_EQ(layout.encoding, FluxEncoding::MFM);
    const IntervalHistogram histogram = MakeHistogram(flux, layout, kAllRevolutions);
    EXPECT_EQ(histogram.expectedPeaks, (std::vector<double>{4, 6, 8}));
    const double bin = histogram.binMicros;
    EXPECT_NEAR(FullestBinCentre(histogram, 3, 5), 4, bin);
    EXPECT_NEAR(FullestBinCentre(histogram, 5, 7), 6, bin);
    EXPECT_NEAR(FullestBinCentre(histogram, 7, 9), 8, bin);
    ASSERT_EQ(histogram.measuredPeaks.size(), 3u);
    for (std::size_t p = 0; p < 3; ++p) EXPECT_NEAR(histogram.measuredPeaks[p], 4.0 + 2.0 * p, 0.05);
    EXPECT_NEAR(histogram.measuredCell, 2, 0.02);
    // Nothing between the peaks: the valleys at 5 and 7 µs are empty.
    EXPECT_EQ(histogram.counts[static_cast<std::size_t>(5 / bin)], 0u);
    EXPECT_EQ(histogram.counts[static_cast<std::size_t>(7 / bin)], 0u);
    // One revolution holds a fifth of the intervals.
    const IntervalHistogram second = MakeHistogram(flux, layout, 1);
    EXPECT_NEAR(static_cast<double>(second.total), histogram.total / 5.0, histogram.total / 50.0);
  }
}

TEST(FluxHistogram, HighDensityAndFmScaleTheExpectedPeaks) {
  FluxTrack flux = EncodedTrack({500000, 300, kSampleClock});
  EXPECT_EQ(ExpectedPeaks(DecodeTrackLayout(flux)), (std::vector<double>{2, 3, 4}));
  TrackLayout fm;
  fm.encoding = FluxEncoding::FM;
  fm.dataRate = 125000;
  EXPECT_EQ(ExpectedPeaks(fm), (std::vector<double>{4, 8}));
  EXPECT_EQ(PlotRangeMicros(fm), 16);
}

// Moves every second transition inside [from, to) (fractions of the revolution)
// by a whole µs, so that the intervals there lie between the peaks.
void Damage(FluxTrack& flux, double from, double to) {
  const double length = static_cast<double>(flux.indexTimes[1] - flux.indexTimes[0]);
  std::uint64_t time = 0;
  for (std::size_t i = 0; i + 1 < flux.intervals.size(); ++i) {
    time += flux.intervals[i];
    const double place = static_cast<double>(time) / length;
    if (place < from || place >= to || i % 2 != 0) continue;
    const auto move = static_cast<std::uint32_t>(kTicksPerMicro);
    flux.intervals[i] += move;
    flux.intervals[i + 1] -= std::min(flux.intervals[i + 1] - 1, move);
  }
}

TEST(TimingPlot, MarksTheDamagedSectorWhereTheDamageWasPut) {
  FluxTrack flux = EncodedTrack();
  const std::vector<FieldBand> clean = FieldBands(DecodeTrackLayout(flux));
  ASSERT_EQ(clean.size(), 32u);  // an ID and a data field for each of 16 sectors
  EXPECT_TRUE(std::all_of(clean.begin(), clean.end(), [](const FieldBand& b) { return b.tile == Tile::SectorGood; }));
  // The damage goes into the middle of sector 6's data field.
  const auto target = std::find_if(clean.begin(), clean.end(),
                                   [](const FieldBand& b) { return b.r == 6 && b.kind == FieldKind::Data; });
  ASSERT_NE(target, clean.end());
  const double middle = (target->start + target->end) / 2;
  Damage(flux, middle - 0.005, middle + 0.005);

  const TrackSource source = SourceOf(flux);
  const std::vector<FieldBand> bands = FieldBands(source.layout);
  ASSERT_EQ(bands.size(), 32u);
  for (const FieldBand& band : bands) {
    const bool damaged = band.r == 6 && band.kind == FieldKind::Data;
    EXPECT_EQ(band.tile, damaged ? Tile::SectorBad : Tile::SectorGood) << "sector " << int{band.r};
    if (damaged) {
      EXPECT_LT(band.start, middle);
      EXPECT_GT(band.end, middle);
      EXPECT_EQ(BandAt(bands, 0, middle), &band);
    }
  }
  // The points between the peaks (here 5 and 7 µs) lie only where the damage is.
  const int columns = 1000, rows = 160;
  const TimingGrid grid = MakeTimingGrid(flux, 0, 0, 1, columns, rows, 16);
  ASSERT_EQ(grid.cells.size(), 1u);
  int offPeakColumns = 0;
  for (int column = 0; column < columns; ++column) {
    bool offPeak = false;
    for (const double micros : {5.0, 7.0})
      offPeak = offPeak || grid.cells[0][static_cast<std::size_t>(micros / 16 * rows) * columns + column] != 0;
    if (!offPeak) continue;
    ++offPeakColumns;
    const double place = (column + 0.5) / columns;
    EXPECT_NEAR(place, middle, 0.006) << "column " << column;
  }
  EXPECT_GT(offPeakColumns, 3);
}

TEST(TimingPlot, BadInputDrawsWithoutHangingAndKeepsItsExtremes) {
  const FluxTrack clean = EncodedTrack();
  // No index at all: one span over the whole capture, times instead of degrees.
  FluxTrack noIndex = clean;
  noIndex.indexTimes.clear();
  EXPECT_FALSE(SpansOf(noIndex).indexed);
  EXPECT_EQ(SpansOf(noIndex).spans.size(), 1u);
  EXPECT_FALSE(FieldBands(DecodeTrackLayout(noIndex)).empty());
  // No sample clock: nothing has a length; the plots still draw.
  FluxTrack noClock = clean;
  noClock.sampleClock = 0;
  EXPECT_EQ(MakeHistogram(noClock, {}, kAllRevolutions).total, 0u);
  EXPECT_EQ(MakeTimingGrid(noClock, kAllRevolutions, 0, 1, 100, 100, 20).points, 0u);

  // Three million random transitions, one of them a whole second long: the
  // picture stays within one rectangle per grid cell and the long one shows at the top.
  FluxTrack noise;
  noise.sampleClock = kSampleClock;
  std::mt19937 random(3);
  std::uniform_int_distribution<std::uint32_t> length(20, 800);
  noise.intervals.resize(3'000'000);
  for (auto& interval : noise.intervals) interval = length(random);
  noise.intervals[1'500'000] = static_cast<std::uint32_t>(kSampleClock);
  noise.indexTimes = {0, noise.TransitionTime()};
  const TrackSource source = SourceOf(noise);
  const int width = 400, height = 200;
  const Scene scene = TimingScene(source, {}, width, height);
  EXPECT_LE(scene.rects.size(), static_cast<std::size_t>(width * height));
  const TimingGrid grid = MakeTimingGrid(noise, kAllRevolutions, 0, 1, 300, 100, 20);
  const auto topRow = grid.cells[0].begin() + 99 * 300;
  EXPECT_NE(std::find(topRow, topRow + 300, 1), topRow + 300);
  EXPECT_FALSE(HistogramScene(source, kAllRevolutions, width, height).rects.empty());

  // Thousands of index pulses: the revolutions overlaid share a few layers.
  FluxTrack pulses = clean;
  pulses.indexTimes.clear();
  for (std::uint64_t t = 0; t <= clean.indexTimes.back(); t += clean.indexTimes.back() / 3000)
    pulses.indexTimes.push_back(t);
  EXPECT_EQ(MakeTimingGrid(pulses, kAllRevolutions, 0, 1, 300, 100, 20).cells.size(), std::size_t{kTimingLayers});
}

TEST(TrackSource, RawTrackGivesTheSectorLayoutAndFluxWinsOverIt) {
  TZX_Disk disk;
  TTrack& track = disk.GetTrack(4);
  for (int i = 0; i < 9; ++i) PlaceGoodSector(track.Sectors[i], 2, 0, static_cast<std::uint8_t>(i + 1), 2);
  track.Sectors[3].DataOk = false;
  track.Present = true;
  EXPECT_EQ(PrepareTrackSource(disk, 4).kind, TrackSourceKind::NoRawTrack);
  EXPECT_EQ(PrepareTrackSource(disk, 5).kind, TrackSourceKind::Absent);
  track.RawData.fill(0x4E);
  ASSERT_TRUE(disk.BuildRawTrack(4, track.RawData.data(), nullptr));
  track.RawLength = kRawTrackLength;
  const TrackSource source = PrepareTrackSource(disk, 4);
  ASSERT_EQ(source.kind, TrackSourceKind::RawTrack);
  const std::vector<FieldBand> bands = FieldBands(source.layout);
  ASSERT_EQ(bands.size(), 18u);
  // Fields follow each other round the track; sector 4's data is the bad one.
  for (std::size_t i = 1; i < bands.size(); ++i) EXPECT_GE(bands[i].start, bands[i - 1].end);
  for (const FieldBand& band : bands)
    EXPECT_EQ(band.tile, band.r == 4 && band.kind == FieldKind::Data ? Tile::SectorBad : Tile::SectorGood);
  EXPECT_FALSE(TimingScene(source, {}, 600, 300).rects.empty());
}

}  // namespace
}  // namespace velloran
