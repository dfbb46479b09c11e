#include "plot/plot_style.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace velloran {

std::string NumberText(double value, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

double AxisStep(double span, double pixels) {
  const double wanted = span / std::max(1.0, pixels / 60);
  if (!(wanted > 0) || !std::isfinite(wanted)) return 1;
  const double power = std::pow(10, std::floor(std::log10(wanted)));
  for (const double factor : {1.0, 2.0, 5.0})
    if (factor * power >= wanted) return factor * power;
  return 10 * power;
}

}  // namespace velloran
