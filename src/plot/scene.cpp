#include "plot/scene.h"

#include <algorithm>
#include <cmath>

namespace velloran {

Rgb Paler(Rgb colour, double share) {
  share = std::clamp(share, 0.0, 1.0);
  auto towardsWhite = [share](std::uint8_t value) {
    return static_cast<std::uint8_t>(std::lround(value + (255 - value) * share));
  };
  return {towardsWhite(colour.r), towardsWhite(colour.g), towardsWhite(colour.b)};
}

}  // namespace velloran
