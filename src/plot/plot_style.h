// What the plots share: colours of axes and marks, number texts, axes.
#pragma once

#include <string>

#include "plot/scene.h"

namespace velloran {

inline constexpr Rgb kAxisColour{0x40, 0x40, 0x40};
inline constexpr Rgb kGridColour{0xE0, 0xE0, 0xE0};
inline constexpr Rgb kTextColour{0x00, 0x00, 0x00};
inline constexpr Rgb kExpectedColour{0x60, 0x60, 0xC0};
inline constexpr Rgb kIndexColour{0xC0, 0x00, 0xC0};
inline constexpr double kSmallText = 9;
inline constexpr double kTitleText = 11;

// A number with `decimals` decimals.
std::string NumberText(double value, int decimals);

// Label steps for an axis of `span` units over `pixels`: 1, 2 or 5 times a
// power of ten, about one label per 60 pixels.
double AxisStep(double span, double pixels);

}  // namespace velloran
