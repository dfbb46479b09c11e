// The ZX Spectrum screen picture: 6144 pixel bytes in the machine's
// interleaved row order, then 768 attribute bytes, shown as 256 x 192 pixels.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "common/bytes.h"

namespace velloran {

inline constexpr int kScreenWidth = 256;
inline constexpr int kScreenHeight = 192;
inline constexpr int kScreenPixelBytes = 6144;

struct RgbColor {
  std::uint8_t Red = 0, Green = 0, Blue = 0;
  bool operator==(const RgbColor&) const = default;
};

// 16 colours: index = bright bit * 8 + colour (black, blue, red, magenta,
// green, cyan, yellow, white).
extern const std::array<RgbColor, 16> ScreenPalette;

// The picture as RGB bytes, row after row from the top, 3 bytes per pixel.
struct ScreenImage {
  int Width = kScreenWidth;
  int Height = kScreenHeight;
  std::vector<std::uint8_t> Rgb;  // Width * Height * 3 bytes

  RgbColor Pixel(int x, int y) const {
    const std::uint8_t* p = &Rgb[(static_cast<std::size_t>(y) * Width + x) * 3];
    return {p[0], p[1], p[2]};
  }
};

// Offset of the pixel byte shown at (row y, byte column) in the screen bytes.
int ScreenPixelOffset(int y, int column);

// Decodes 6912 screen bytes; missing bytes read as zero. Flash is ignored.
ScreenImage DecodeScreen(ByteSpan screen);

}  // namespace velloran
