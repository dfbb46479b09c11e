// A scene as an SVG 1.1 document.
#pragma once

#include <string>

#include "plot/scene.h"

namespace velloran {

std::string SceneToSvg(const Scene& scene);

}  // namespace velloran
