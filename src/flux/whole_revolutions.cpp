#include "flux/whole_revolutions.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace velloran {

namespace {

// How far the true turn may lie from the one given, as a share of it.
constexpr double kTurnUncertainty = 0.01;
// Transitions of the trailing end in a run looked for among those of the
// leading end: some 12 bytes of a double-density track.
constexpr std::size_t kSamples = 64;
// A join wants this share of the samples to find their partner at one
// alignment, and every other alignment clearly below that.
constexpr double kMatchShare = 0.8;
constexpr double kRunnerUpShare = 0.9;
// Alignments this many steps of the tolerance apart count as different ones.
constexpr std::size_t kSameAlignment = 3;
// Partners looked at in all before the ends count as not lining up: far
// more than the some 2 million of a double-density track, and still quick
// however dense the flux a garbled stream gives.
constexpr std::size_t kMostComparisons = std::size_t{1} << 25;
// Shifts told apart at most (some 8000 on a double-density track).
constexpr std::int64_t kMostShifts = 1 << 16;
// Intervals looked at for the tolerance: a twelfth of the median interval,
// well within a cell and beyond the jitter of a drive.
constexpr std::size_t kToleranceSample = 4096;

// The two ends of a capture as angles round the track: ticks from the index
// pulse, the leading end's counted with the turn as given.
struct Ends {
  std::vector<std::int64_t> lead;   // transitions up to the first pulse, ascending
  std::vector<std::int64_t> trail;  // transitions after the last pulse, ascending
  std::int64_t leadStart = 0;       // the angle at which the capture began
  std::int64_t trailEnd = 0;        // the angle of its last transition
};

Ends CaptureEnds(const FluxTrack& capture, std::int64_t turn) {
  Ends ends;
  const auto first = static_cast<std::int64_t>(capture.indexTimes.front());
  const auto last = static_cast<std::int64_t>(capture.indexTimes.back());
  ends.leadStart = turn - first;
  std::int64_t time = 0;
  for (const std::uint32_t interval : capture.intervals) {
    time += interval;
    if (time <= first) ends.lead.push_back(time + turn - first);
    if (time > last) ends.trail.push_back(time - last);
  }
  ends.trailEnd = ends.trail.empty() ? 0 : ends.trail.back();
  return ends;
}

std::int64_t Tolerance(const FluxTrack& capture) {
  std::vector<std::uint32_t> sample(
      capture.intervals.begin(),
      capture.intervals.begin() + static_cast<std::ptrdiff_t>(std::min(capture.intervals.size(), kToleranceSample)));
  if (sample.empty()) return 1;
  const auto middle = sample.begin() + static_cast<std::ptrdiff_t>(sample.size() / 2);
  std::nth_element(sample.begin(), middle, sample.end());
  return std::max<std::int64_t>(1, *middle / 12);
}

// How much later than counted the leading end lies (the true turn minus the
// one given), as `samples` of the trailing end show it: the shift at which
// they find partners among the leading end's transitions. Nothing when no
// shift fits clearly.
std::optional<std::int64_t> Shift(const Ends& ends, std::span<const std::int64_t> samples, std::int64_t window,
                                  std::int64_t tolerance, std::size_t& comparisons) {
  // Every partner within the window votes for its shift, in steps of the tolerance.
  std::vector<int> votes(static_cast<std::size_t>(2 * window / tolerance) + 1, 0);
  const auto forEachShift = [&](auto&& use) {
    for (const std::int64_t angle : samples) {
      auto partner = std::lower_bound(ends.lead.begin(), ends.lead.end(), angle - window);
      for (; partner != ends.lead.end() && *partner <= angle + window; ++partner) use(angle - *partner);
    }
  };
  forEachShift([&](std::int64_t shift) {
    ++votes[static_cast<std::size_t>((shift + window) / tolerance)];
    ++comparisons;
  });
  const auto around = [&](std::size_t bin) {
    int sum = votes[bin];
    if (bin > 0) sum += votes[bin - 1];
    if (bin + 1 < votes.size()) sum += votes[bin + 1];
    return sum;
  };
  std::size_t best = 0;
  for (std::size_t bin = 1; bin < votes.size(); ++bin)
    if (around(bin) > around(best)) best = bin;
  int runnerUp = 0;
  for (std::size_t bin = 0; bin < votes.size(); ++bin)
    if (bin + kSameAlignment < best || bin > best + kSameAlignment) runnerUp = std::max(runnerUp, around(bin));
  const int bestVotes = around(best);
  if (bestVotes < kMatchShare * static_cast<double>(samples.size()) || runnerUp >= kRunnerUpShare * bestVotes)
    return std::nullopt;

  // The mean of the shifts that voted for the best alignment.
  const std::int64_t low = (static_cast<std::int64_t>(best) - 1) * tolerance - window;
  const std::int64_t high = (static_cast<std::int64_t>(best) + 2) * tolerance - window;
  std::int64_t sum = 0;
  std::int64_t voters = 0;
  forEachShift([&](std::int64_t shift) {
    if (shift < low || shift >= high) return;
    sum += shift;
    ++voters;
  });
  return voters == 0 ? 0 : sum / voters;
}

// Where the ends are joined and by how much the leading end moves there.
struct Seam {
  std::int64_t angle = 0;
  std::int64_t shift = 0;
};

// Lines the ends up on a short run of the trailing end's transitions, so
// that the drive's speed changing over the stretch both ends hold does not
// blur it: first the run in the middle of that stretch, then runs further
// out, until one lines up clearly (a run within a gap of equal bytes lines
// up as well one byte on).
std::optional<Seam> LineUp(const Ends& ends, std::int64_t turn, std::int64_t tolerance) {
  const auto window = static_cast<std::int64_t>(static_cast<double>(turn) * kTurnUncertainty);
  // However long the turn a device claims, the votes stay a bounded array.
  tolerance = std::max(tolerance, 2 * window / kMostShifts + 1);
  const auto begin = std::lower_bound(ends.trail.begin(), ends.trail.end(), ends.leadStart + window);
  const auto end = std::upper_bound(begin, ends.trail.end(), std::min(ends.trailEnd, turn) - window);
  if (end - begin < static_cast<std::ptrdiff_t>(kSamples)) return std::nullopt;
  const std::span<const std::int64_t> stretch(begin, end);
  const std::size_t runs = stretch.size() / kSamples;
  const std::size_t middle = runs / 2;
  std::size_t comparisons = 0;
  const auto tryRun = [&](std::size_t run) -> std::optional<Seam> {
    const std::span<const std::int64_t> samples = stretch.subspan(run * kSamples, kSamples);
    const auto shift = Shift(ends, samples, window, tolerance, comparisons);
    if (!shift) return std::nullopt;
    // Halfway between two transitions, so that jitter cannot carry either across.
    return Seam{(samples[kSamples / 2 - 1] + samples[kSamples / 2]) / 2, *shift};
  };
  for (std::size_t distance = 0; distance <= middle && comparisons < kMostComparisons; ++distance) {
    if (middle + distance < runs)
      if (const auto seam = tryRun(middle + distance)) return seam;
    if (distance > 0)
      if (const auto seam = tryRun(middle - distance)) return seam;
  }
  return std::nullopt;
}

// The revolution joined from the two ends; nothing when the ends do not go
// round the track or do not line up.
std::optional<FluxTrack> JoinedEnds(const FluxTrack& capture, std::int64_t turn) {
  const Ends ends = CaptureEnds(capture, turn);
  Seam seam;
  if (!ends.lead.empty() || !ends.trail.empty()) {
    const auto found = LineUp(ends, turn, Tolerance(capture));
    if (!found) return std::nullopt;
    seam = *found;
  } else if (capture.TransitionTime() > 0) {
    return std::nullopt;  // flux between the pulses but none at the ends: nothing to line them up by
  }
  FluxTrack joined;
  joined.sampleClock = capture.sampleClock;
  std::vector<std::uint32_t> intervals;
  std::int64_t previous = 0;
  const auto add = [&](std::int64_t angle) {
    intervals.push_back(static_cast<std::uint32_t>(std::min<std::int64_t>(angle - previous, UINT32_MAX)));
    previous = angle;
  };
  for (const std::int64_t angle : ends.trail)
    if (angle < seam.angle) add(angle);
  for (const std::int64_t angle : ends.lead)
    if (angle + seam.shift >= seam.angle && angle + seam.shift >= previous) add(angle + seam.shift);
  AppendRevolution(joined, intervals, static_cast<std::uint64_t>(turn + seam.shift));
  return joined;
}

}  // namespace

FluxTrack WholeRevolutions(const FluxTrack& capture, std::uint64_t turnTicks) {
  FluxTrack whole;
  whole.sampleClock = capture.sampleClock;
  const std::vector<std::uint64_t>& index = capture.indexTimes;
  for (int r = 0; r < capture.Revolutions(); ++r)
    AppendRevolution(whole, RevolutionIntervals(capture, r), index[r + 1] - index[r]);
  if (index.empty()) return whole;
  const std::uint64_t turn = index.size() >= 2 ? (index.back() - index.front()) / (index.size() - 1) : turnTicks;
  if (turn == 0) return whole;
  if (const std::optional<FluxTrack> joined = JoinedEnds(capture, static_cast<std::int64_t>(turn)))
    AppendRevolution(whole, joined->intervals, joined->indexTimes.back());
  return whole;
}

}  // namespace velloran
