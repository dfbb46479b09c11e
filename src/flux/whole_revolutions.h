// A capture that began and ended anywhere on the track, as whole
// revolutions: each from one index pulse to the next. What the capture holds
// before its first pulse and after its last is the same circle of flux cut
// in two; when together they go round the track once, they are joined into
// one more revolution where their common stretch lines up.
#pragma once

#include <cstdint>

#include "flux/flux_track.h"

namespace velloran {

// A joined revolution needs this share of a turn seen at both ends: the
// stretch in which the two ends are lined up.
inline constexpr double kJoinOverlap = 0.1;

// The whole revolutions of `capture`, those between its index pulses first,
// then the one joined from its two ends, if they join. `turnTicks` is the
// drive's revolution as far as known; the index pulses of the capture say it
// better when there are two. The result starts at an index pulse.
FluxTrack WholeRevolutions(const FluxTrack& capture, std::uint64_t turnTicks);

}  // namespace velloran
