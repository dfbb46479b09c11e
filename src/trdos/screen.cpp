#include "trdos/screen.h"

namespace velloran {

const std::array<RgbColor, 16> ScreenPalette = {{
    {0x00, 0x00, 0x00},
    {0x00, 0x52, 0xA4},
    {0xD5, 0x1E, 0x55},
    {0xA4, 0x2F, 0xAA},
    {0x44, 0x95, 0x52},
    {0x2F, 0xBD, 0xB6},
    {0xD8, 0xD8, 0x10},
    {0xE4, 0xE4, 0xE4},
    {0x00, 0x00, 0x00},
    {0x5F, 0x88, 0xF3},
    {0xFA, 0x58, 0x5C},
    {0xFF, 0x42, 0xFF},
    {0x53, 0xFF, 0x53},
    {0x6B, 0xEF, 0xEF},
    {0xFF, 0xFF, 0x80},
    {0xFF, 0xFF, 0xFF},
}};

int ScreenPixelOffset(int y, int column) {
  // Rows of the screen memory are interleaved: bits 0-2 of the row select
  // the 256-byte line, bits 3-5 the 32-byte block, bits 6-7 the third.
  const int b = y * 32 + column;
  return ((b * 8) & 0x0700) | ((b / 8) & 0x00E0) | (b & 0xF81F);
}

ScreenImage DecodeScreen(ByteSpan screen) {
  auto byteAt = [&](std::size_t offset) -> std::uint8_t { return offset < screen.size() ? screen[offset] : 0; };
  ScreenImage image;
  image.Rgb.resize(static_cast<std::size_t>(kScreenWidth) * kScreenHeight * 3);
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int column = 0; column < 32; ++column) {
      const std::uint8_t pixels = byteAt(ScreenPixelOffset(y, column));
      const std::uint8_t attribute = byteAt(kScreenPixelBytes + (y / 8) * 32 + column);
      const int bright = (attribute & 0x40) ? 8 : 0;
      const int ink = (attribute & 7) + bright;
      const int paper = ((attribute >> 3) & 7) + bright;
      for (int bit = 0; bit < 8; ++bit) {
        const RgbColor color = ScreenPalette[(pixels & (0x80 >> bit)) ? ink : paper];
        std::uint8_t* p = &image.Rgb[(static_cast<std::size_t>(y) * kScreenWidth + column * 8 + bit) * 3];
        p[0] = color.Red;
        p[1] = color.Green;
        p[2] = color.Blue;
      }
    }
  }
  return image;
}

}  // namespace velloran
