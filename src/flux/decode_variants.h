// The other ways a track is decoded when the normal loop setting leaves a
// sector bad or missing: stronger frequency gains, a calmer phase, and a
// nominal cell 2 % shorter or longer. Marginal sectors one setting misses,
// another often reads.
#pragma once

#include <span>
#include <string>

#include "common/messages.h"
#include "flux/clock_recovery.h"

namespace velloran {

// The settings tried in turn after the normal one (variant 0, PllSettings{}).
// Variant v (1, 2, ...) is element v - 1.
std::span<const PllSettings> DecodeVariants();

// "loop 8 %, clock 102 %": the setting of variant `variant` in words.
Phrase VariantName(int variant);

}  // namespace velloran
