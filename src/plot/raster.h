// A scene drawn into pixels (no smoothing), for PNG pictures.
#pragma once

#include <cstdint>
#include <vector>

#include "plot/scene.h"

namespace velloran {

// Rows of RGB pixels, top row first.
struct RgbImage {
  int width = 0, height = 0;
  std::vector<std::uint8_t> pixels;  // 3 bytes a pixel
};

RgbImage RasterizeScene(const Scene& scene);

}  // namespace velloran
