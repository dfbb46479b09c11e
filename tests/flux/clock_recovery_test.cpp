// The fast clock-recovery loop against the plain one (reference_clock_recovery.*):
// the same cells, pattern hits, index cells and mean cell, bit for bit, for
// every loop setting the decoder tries, over flux made from real TR-DOS
// images and made hard on purpose, noise, dropouts and odd index pulses.
#include <gtest/gtest.h>

#include <random>

#include "flux/clock_recovery.h"
#include "flux/decode_variants.h"
#include "flux_disturbance.h"
#include "reference_clock_recovery.h"

namespace velloran {
namespace {

constexpr double kSampleClock = 40e6;
constexpr double kMfmCell = 2e-6 * kSampleClock;  // 250 kbit/s MFM: a 2 µs cell
// The sync patterns of MFM (A1 and C2 without one clock) and the FM address
// marks with their clocks (FE, FB and F8 with C7, FC with D7), as the
// controllers' documentation gives them.
constexpr std::array<CellPattern, 2> kMfmPatterns = {{{0x4489, 0xA1}, {0x5224, 0xC2}}};
constexpr std::array<CellPattern, 4> kFmPatterns = {{{0xF57E, 0xFE}, {0xF56F, 0xFB}, {0xF56A, 0xF8}, {0xF77A, 0xFC}}};

std::vector<PllSettings> EverySetting() {
  std::vector<PllSettings> settings = {PllSettings{}};
  for (const PllSettings& variant : DecodeVariants()) settings.push_back(variant);
  return settings;
}

void ExpectSameCells(const FluxTrack& flux, double cellTicks, std::span<const CellPattern> patterns, int passes = 1,
                     std::size_t laterPassCells = std::numeric_limits<std::size_t>::max()) {
  for (const PllSettings& settings : EverySetting()) {
    SCOPED_TRACE("loop " + std::to_string(settings.frequencyGain) + ", phase " + std::to_string(settings.phaseGain) +
                 ", clock " + std::to_string(settings.clockScale));
    const RecoveredCells fast = RecoverCells(flux, cellTicks, patterns, passes, settings, laterPassCells);
    const ReferenceCells plain = ReferenceRecoverCells(flux, cellTicks, patterns, passes, settings, laterPassCells);
    ASSERT_EQ(fast.cells.Size(), plain.cells.size());
    for (std::size_t cell = 0; cell < plain.cells.size(); ++cell) {
      const bool transition = (fast.cells.Window16(cell) & 0x8000) != 0;
      ASSERT_EQ(transition, plain.cells[cell]) << "cell " << cell;
    }
    ASSERT_EQ(fast.hits.size(), plain.hits.size());
    for (std::size_t h = 0; h < plain.hits.size(); ++h) {
      EXPECT_EQ(fast.hits[h].cell, plain.hits[h].cell);
      EXPECT_EQ(fast.hits[h].pattern, plain.hits[h].pattern);
    }
    EXPECT_EQ(fast.indexCells, plain.indexCells);
    EXPECT_EQ(fast.averageCell, plain.averageCell);
  }
}

// Flux of a cell string ('1' a transition), one revolution from the index.
FluxTrack FluxOfCells(const std::vector<bool>& cells, double cellTicks, unsigned seed, double jitter) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> spread(-jitter, jitter);
  std::vector<std::uint32_t> intervals;
  std::size_t run = 0;
  for (const bool transition : cells) {
    ++run;
    if (!transition) continue;
    intervals.push_back(static_cast<std::uint32_t>(static_cast<double>(run) * cellTicks * (1 + spread(random))));
    run = 0;
  }
  FluxTrack flux;
  flux.sampleClock = kSampleClock;
  AppendRevolution(flux, intervals, static_cast<std::uint64_t>(static_cast<double>(cells.size()) * cellTicks));
  return flux;
}

// Cells of FM bytes: each bit a clock cell and a data cell.
void AppendFmByte(std::vector<bool>& cells, std::uint8_t data, std::uint8_t clock) {
  for (int bit = 7; bit >= 0; --bit) {
    cells.push_back((clock >> bit & 1) != 0);
    cells.push_back((data >> bit & 1) != 0);
  }
}

TEST(ClockRecovery, SameAsPlainLoopOnRealImagesMadeHard) {
  TZX_Disk disk = TrdosImage("tslabs_zx-evo__UMT2_3.TRD", 4);
  for (int t = 0; t < 4; t += 3) {
    const FluxTrack clean = EncodedTrack(disk, t);
    const FluxTrack two = Repeated(clean, 2);
    const auto seed = static_cast<unsigned>(t + 1);
    ExpectSameCells(Disturbed(two, 0.05, 0.0, seed), kMfmCell, kMfmPatterns);
    ExpectSameCells(Disturbed(two, 0.12, 0.03, seed), kMfmCell, kMfmPatterns);
    ExpectSameCells(Disturbed(two, 0.05, 0.15, seed, false, 120), kMfmCell * 1.03, kMfmPatterns);
    ExpectSameCells(Disturbed(two, 0.26, 0.0, seed, true), kMfmCell, kMfmPatterns);
    FluxTrack damaged = Disturbed(two, 0.09, 0.02, seed);
    DropOut(damaged, 1, 0.3, 20000);
    Splice(damaged, 0.6, 0.5);
    ExpectSameCells(damaged, kMfmCell, kMfmPatterns);
    // A single revolution read round and past its index, as far as asked.
    const FluxTrack one = Disturbed(clean, 0.08, 0.01, seed);
    for (const std::size_t spill : {std::size_t{0}, std::size_t{100}, std::size_t{67216}})
      ExpectSameCells(one, kMfmCell, kMfmPatterns, 2, spill);
  }
}

TEST(ClockRecovery, SameAsPlainLoopOnFm) {
  std::mt19937 random(7);
  std::vector<bool> cells;
  for (int field = 0; field < 40; ++field) {
    for (int gap = 0; gap < 6; ++gap) AppendFmByte(cells, 0x00, 0xFF);
    AppendFmByte(cells, field % 3 == 0 ? 0xFE : 0xFB, 0xC7);
    for (int b = 0; b < 140; ++b) AppendFmByte(cells, static_cast<std::uint8_t>(random()), 0xFF);
  }
  AppendFmByte(cells, 0xFC, 0xD7);
  ExpectSameCells(FluxOfCells(cells, kMfmCell * 2, 3, 0.1), kMfmCell * 2, kFmPatterns);
  ExpectSameCells(FluxOfCells(cells, kMfmCell * 2, 4, 0.25), kMfmCell * 2, kFmPatterns, 2, 5000);
}

// Unformatted flux, transitions closer than half a cell, long empty
// stretches (beyond what the loop learns from and beyond the longest stretch
// it counts), and a capture with no index at all or with index pulses inside
// such stretches.
TEST(ClockRecovery, SameAsPlainLoopOnNoiseGapsAndOddIndexes) {
  std::mt19937 random(11);
  std::uniform_int_distribution<std::uint32_t> noise(1, static_cast<std::uint32_t>(kMfmCell * 9));
  FluxTrack flux;
  flux.sampleClock = kSampleClock;
  std::uint64_t time = 0;
  for (int i = 0; i < 60000; ++i) {
    std::uint32_t interval = noise(random);
    if (i % 5000 == 17) interval = static_cast<std::uint32_t>(kMfmCell * 70);
    if (i % 20000 == 29) interval = static_cast<std::uint32_t>(kMfmCell * 70000);
    if (i % 7 == 3) interval = static_cast<std::uint32_t>(kMfmCell * 0.2);
    flux.intervals.push_back(interval);
    time += interval;
    if (i % 9000 == 4) flux.indexTimes.push_back(time - interval / 3);
  }
  ExpectSameCells(flux, kMfmCell, kMfmPatterns);
  ExpectSameCells(flux, kMfmCell, kFmPatterns, 3, 2000);

  TZX_Disk disk = TrdosImage("tslabs_zx-evo__UMT2_3.TRD", 1);
  FluxTrack noIndex = Disturbed(EncodedTrack(disk, 0), 0.1, 0.0, 5);
  noIndex.indexTimes.clear();
  ExpectSameCells(noIndex, kMfmCell, kMfmPatterns, 2, 1000);
}

}  // namespace
}  // namespace velloran
