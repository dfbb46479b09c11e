#include "flux/flux_track.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>

namespace velloran {

std::uint64_t FluxTrack::TransitionTime() const {
  return std::accumulate(intervals.begin(), intervals.end(), std::uint64_t{0});
}

void AppendRevolution(FluxTrack& track, std::span<const std::uint32_t> intervals, std::uint64_t indexTicks) {
  if (track.indexTimes.empty()) track.indexTimes.push_back(0);
  const std::uint64_t start = track.indexTimes.back();
  // The gap from the last transition so far to this revolution's index goes
  // into its first interval; a capture that ran past the index keeps order.
  std::uint64_t last = track.TransitionTime();
  const std::size_t needed = track.intervals.size() + intervals.size();
  if (needed > track.intervals.capacity()) track.intervals.reserve(std::max(needed, 2 * track.intervals.capacity()));
  std::uint64_t time = start;
  for (const std::uint32_t interval : intervals) {
    time += interval;
    const std::uint64_t step = time > last ? time - last : 0;
    track.intervals.push_back(static_cast<std::uint32_t>(std::min<std::uint64_t>(step, UINT32_MAX)));
    last += step;
  }
  track.indexTimes.push_back(start + indexTicks);
}

std::vector<std::uint32_t> RevolutionIntervals(const FluxTrack& track, int revolution) {
  std::vector<std::uint32_t> result;
  if (revolution < 0 || revolution >= track.Revolutions()) return result;
  const std::uint64_t begin = track.indexTimes[revolution];
  const std::uint64_t end = track.indexTimes[revolution + 1];
  std::uint64_t time = 0;
  std::uint64_t previous = begin;
  for (const std::uint32_t interval : track.intervals) {
    time += interval;
    if (time <= begin) continue;
    if (time > end) break;
    result.push_back(static_cast<std::uint32_t>(time - previous));
    previous = time;
  }
  return result;
}

FluxTrack Resampled(const FluxTrack& track, double sampleClock) {
  FluxTrack result;
  result.sampleClock = sampleClock;
  const double scale = sampleClock / track.sampleClock;
  auto convert = [scale](std::uint64_t ticks) {
    return static_cast<std::uint64_t>(std::llround(static_cast<double>(ticks) * scale));
  };
  result.intervals.reserve(track.intervals.size());
  std::uint64_t time = 0;
  std::uint64_t converted = 0;
  for (const std::uint32_t interval : track.intervals) {
    time += interval;
    const std::uint64_t next = convert(time);
    result.intervals.push_back(static_cast<std::uint32_t>(std::min<std::uint64_t>(next - converted, UINT32_MAX)));
    converted = next;
  }
  for (const std::uint64_t index : track.indexTimes) result.indexTimes.push_back(convert(index));
  return result;
}

}  // namespace velloran
