// The other ways a track is decoded when the normal loop setting leaves a
// sector bad or missing: stronger frequency gains, a calmer phase, a nominal
// cell 2 % shorter or longer, and the other data rates. Marginal sectors one
// way misses, another often reads.
#pragma once

#include <span>
#include <string>

#include "common/messages.h"
#include "flux/clock_recovery.h"

namespace velloran {

// The settings tried in turn after the normal one (variant 0, PllSettings{}).
// Variant v (1, 2, ...) is element v - 1.
std::span<const PllSettings> DecodeVariants();

// One way of decoding a track: a cell length and a loop setting.
struct DecodeWay {
  int dataRate = 0;  // 0: the cell measured from the flux; else the nominal cell of this controller rate (bit/s)
  int setting = 0;   // 0: the normal loop setting; v: DecodeVariants()[v - 1]
};

// The loop setting of a way.
PllSettings WaySettings(const DecodeWay& way);

// "300 kbit/s, loop 8 %, clock 102 %": a way in words (the rate only when
// it is not the measured one).
Phrase WayName(const DecodeWay& way);

}  // namespace velloran
