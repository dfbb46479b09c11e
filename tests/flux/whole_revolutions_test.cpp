// Captures that start anywhere on the track, as a flux reader gives them when
// it starts at once instead of at the index, turned into whole revolutions.
// The truth is the track they were encoded from.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>

#include "flux/track_decoder.h"
#include "flux/whole_revolutions.h"
#include "flux_disturbance.h"

namespace velloran {
namespace {

// A TR-DOS track: 16 sectors of 256 bytes, interleaved, each with its own data.
void MakeTrdosTrack(TZX_Disk& disk, int t) {
  TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
  for (int i = 0; i < 16; ++i) {
    const auto r = static_cast<std::uint8_t>(i % 2 == 0 ? i / 2 + 1 : i / 2 + 9);
    PlaceGoodSector(track.Sectors[i], static_cast<std::uint8_t>(t / 2), 0, r, 1);
    for (int k = 0; k < 256; ++k) track.Sectors[i].Data[k] = static_cast<std::uint8_t>(t * 17 + r * 5 + k * 11);
  }
  track.Present = true;
}

// What a reader captures of the turning track `turns` long, starting `start`
// of a turn past the index: the transitions and index pulses in that time.
FluxTrack CaptureFrom(const FluxTrack& repeated, double start, double turns) {
  const double turn = static_cast<double>(repeated.indexTimes[1] - repeated.indexTimes[0]);
  const auto from = static_cast<std::uint64_t>(start * turn);
  const auto to = static_cast<std::uint64_t>((start + turns) * turn);
  FluxTrack capture;
  capture.sampleClock = repeated.sampleClock;
  std::uint64_t time = 0;
  std::uint64_t previous = from;
  for (const std::uint32_t interval : repeated.intervals) {
    time += interval;
    if (time <= from || time > to) continue;
    capture.intervals.push_back(static_cast<std::uint32_t>(time - std::exchange(previous, time)));
  }
  for (const std::uint64_t index : repeated.indexTimes)
    if (index > from && index <= to) capture.indexTimes.push_back(index - from);
  return capture;
}

// Every sector of the source is in the decoded track, good and equal.
void ExpectEverySectorOf(const TTrack& source, const TTrack& decoded) {
  for (const TSectorRec& expected : source.Sectors) {
    if (!expected.Used) continue;
    const auto found = std::find_if(decoded.Sectors.begin(), decoded.Sectors.end(),
                                    [&](const TSectorRec& s) { return s.Used && s.IdSector == expected.IdSector; });
    ASSERT_NE(found, decoded.Sectors.end()) << "sector " << int{expected.IdSector};
    EXPECT_TRUE(found->DataOk) << "sector " << int{expected.IdSector};
    EXPECT_TRUE(std::equal(expected.Data.begin(), expected.Data.begin() + 256, found->Data.begin()))
        << "sector " << int{expected.IdSector};
  }
  EXPECT_EQ(std::count_if(decoded.Sectors.begin(), decoded.Sectors.end(), [](const TSectorRec& s) { return s.Used; }),
            16);
}

class WholeRevolutionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeTrdosTrack(disk, 9);
    one = EncodedTrack(disk, 9);
    turn = one.indexTimes.back();
    TTrack plain;
    DecodeFluxTrack(one, plain);
    // Where the data field of the track's fifth sector lies, as a share of the turn.
    fifthData = (plain.Sectors[4].DataPos + 100.0) / plain.RawLength;
  }

  TZX_Disk disk;
  FluxTrack one;
  std::uint64_t turn = 0;
  double fifthData = 0;
};

// Just over one turn from the middle of a data field: the two ends join into
// one revolution of the track's length, and the sector cut by the start of
// the capture reads whole, as does every other.
TEST_F(WholeRevolutionsTest, OneTurnFromInsideASectorJoinsIntoTheWholeTrack) {
  for (const double start : {fifthData, 0.0, 0.5, 0.88}) {
    const FluxTrack capture = CaptureFrom(Repeated(one, 3), start, 1 + kJoinOverlap);
    ASSERT_EQ(capture.Revolutions(), 0) << start;
    const FluxTrack whole = WholeRevolutions(capture, turn);
    ASSERT_EQ(whole.Revolutions(), 1) << start;
    EXPECT_EQ(whole.indexTimes.front(), 0u);
    EXPECT_NEAR(static_cast<double>(whole.indexTimes.back()), static_cast<double>(turn), 2.0) << start;
    TTrack decoded;
    DecodeFluxTrack(whole, decoded);
    ExpectEverySectorOf(disk.GetTrack(9), decoded);
    EXPECT_TRUE(decoded.Log.empty()) << start << ": " << decoded.Log.front();
  }
}

// The turn the drive was thought to have may be a little off, the flux
// jittery and the speed swinging: the ends are lined up by their flux, and
// the revolution takes the turn they show.
TEST_F(WholeRevolutionsTest, EndsAreLinedUpByTheirFluxNotByTheTurnGiven) {
  const FluxTrack jittery = Disturbed(Repeated(one, 3), 0.1, 0.001, 5, true, 2);
  const FluxTrack capture = CaptureFrom(jittery, fifthData, 1 + kJoinOverlap);
  for (const double off : {-0.006, 0.0, 0.004}) {
    const auto guess = static_cast<std::uint64_t>(static_cast<double>(turn) * (1 + off));
    const FluxTrack whole = WholeRevolutions(capture, guess);
    ASSERT_EQ(whole.Revolutions(), 1) << off;
    EXPECT_NEAR(static_cast<double>(whole.indexTimes.back()), static_cast<double>(turn), 0.002 * turn) << off;
    TTrack decoded;
    DecodeFluxTrack(whole, decoded);
    ExpectEverySectorOf(disk.GetTrack(9), decoded);
  }
}

// The seam of the join lies wherever the capture ended, inside a sector as
// often as not: with a drive's jitter on every transition (150 ns), no start
// round the track costs a sector.
TEST_F(WholeRevolutionsTest, TheSeamCostsNoSectorWhereverItFalls) {
  for (int k = 0; k < 24; ++k) {
    const FluxTrack jittery = Disturbed(Repeated(one, 3), 0.075, 0, static_cast<unsigned>(k), true);
    const FluxTrack whole = WholeRevolutions(CaptureFrom(jittery, k / 24.0, 1 + kJoinOverlap), turn);
    ASSERT_EQ(whole.Revolutions(), 1) << k;
    TTrack decoded;
    DecodeFluxTrack(whole, decoded, DecodeWays::Normal);
    ExpectEverySectorOf(disk.GetTrack(9), decoded);
  }
}

// Two turns and a little: the revolution between the index pulses, then the
// one joined from the ends; three pulses leave no room for a join.
TEST_F(WholeRevolutionsTest, RevolutionsBetweenPulsesComeFirstThenTheJoinedOne) {
  const FluxTrack twoPulses = CaptureFrom(Repeated(one, 4), 0.6, 2 + kJoinOverlap);
  ASSERT_EQ(twoPulses.Revolutions(), 1);
  const FluxTrack whole = WholeRevolutions(twoPulses, 0);
  ASSERT_EQ(whole.Revolutions(), 2);
  EXPECT_EQ(RevolutionIntervals(whole, 0), one.intervals);
  TTrack decoded;
  const DecodeReport report = DecodeFluxTrack(whole, decoded);
  EXPECT_EQ(report.revolutions, 2);
  ExpectEverySectorOf(disk.GetTrack(9), decoded);

  const FluxTrack threePulses = CaptureFrom(Repeated(one, 4), 0.95, 2 + kJoinOverlap);
  ASSERT_EQ(threePulses.Revolutions(), 2);
  EXPECT_EQ(WholeRevolutions(threePulses, turn).Revolutions(), 2);
}

// Ends that do not go round the track, or whose flux differs, are not joined: the capture gives only what lies between
// its pulses.
TEST_F(WholeRevolutionsTest, EndsThatDoNotMeetOrDoNotMatchAreNotJoined) {
  EXPECT_EQ(WholeRevolutions(CaptureFrom(Repeated(one, 3), 0.3, 0.95), turn).Revolutions(), 0);
  EXPECT_EQ(WholeRevolutions(CaptureFrom(Repeated(one, 3), 0.3, 1.1), 0).Revolutions(), 0);

  // The leading end from this track, the trailing end noise (as where the
  // head lost the track).
  std::mt19937 random(3);
  std::uniform_int_distribution<std::uint32_t> noise(200, 700);
  std::vector<std::uint32_t> intervals;
  for (std::uint64_t time = 0; time < turn - 700;) time += intervals.emplace_back(noise(random));
  FluxTrack mixed = Repeated(one, 1);
  AppendRevolution(mixed, intervals, turn);
  EXPECT_EQ(WholeRevolutions(CaptureFrom(mixed, 0.5, 1 + kJoinOverlap), turn).Revolutions(), 0);

  // A turn no drive has, as a garbled stream could claim it, is no join either.
  FluxTrack absurd = CaptureFrom(Repeated(one, 3), 0.5, 1 + kJoinOverlap);
  absurd.indexTimes[0] += std::uint64_t{1} << 40;
  EXPECT_EQ(WholeRevolutions(absurd, std::uint64_t{1} << 42).Revolutions(), 0);

  // A track without flux is one empty revolution however it was caught.
  FluxTrack blank;
  blank.sampleClock = one.sampleClock;
  blank.indexTimes = {turn / 3};
  const FluxTrack empty = WholeRevolutions(blank, turn);
  ASSERT_EQ(empty.Revolutions(), 1);
  EXPECT_TRUE(empty.intervals.empty());
}

}  // namespace
}  // namespace velloran
