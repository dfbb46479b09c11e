// PNG files of rasterised plots, written with libpng where the build has it.
#pragma once

#include <string>

#include "common/bytes.h"
#include "plot/raster.h"

namespace velloran {

// Whether this build writes PNG (the Windows build has no libpng).
bool PngAvailable();

// The image as a PNG file (8-bit RGB). False with a message in `error` when
// the build has no PNG writer or the image cannot be encoded.
bool EncodePng(const RgbImage& image, Bytes& out, std::string& error);

}  // namespace velloran
