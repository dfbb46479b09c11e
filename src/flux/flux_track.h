// One track as a flux reader sees it: the times between magnetic flux
// transitions, counted in ticks of a sample clock, and the index pulses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace velloran {

struct FluxTrack {
  double sampleClock = 0;                 // ticks per second
  std::vector<std::uint32_t> intervals;   // ticks from each transition to the next; the first counts from the start
  std::vector<std::uint64_t> indexTimes;  // ticks from the start of the capture to each index pulse, ascending

  // A track without a single transition: unformatted, or not captured.
  bool Unformatted() const { return intervals.empty(); }
  // Whole revolutions: the spans from one index pulse to the next.
  int Revolutions() const { return indexTimes.size() < 2 ? 0 : static_cast<int>(indexTimes.size()) - 1; }
  // Ticks from the start of the capture to its last transition.
  std::uint64_t TransitionTime() const;
};

// Appends one revolution that starts at the last index pulse (or at the start
// of the capture when there is none yet) and lasts `indexTicks`: its
// transitions lie `intervals` apart, the first that far from the index.
void AppendRevolution(FluxTrack& track, std::span<const std::uint32_t> intervals, std::uint64_t indexTicks);

// The transitions of revolution `revolution` as intervals, the first counted
// from its index pulse; transitions exactly at the next pulse belong to it.
std::vector<std::uint32_t> RevolutionIntervals(const FluxTrack& track, int revolution);

// The same track counted in ticks of another clock. Transition times are
// rounded one by one, so no rounding error piles up along the track.
FluxTrack Resampled(const FluxTrack& track, double sampleClock);

}  // namespace velloran
