#include "plot/raster.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <tuple>

#include "plot/pixel_font.h"

namespace velloran {

namespace {

class Canvas {
 public:
  explicit Canvas(RgbImage& image) : image_(image) {}

  void Put(int x, int y, Rgb colour) {
    if (x < 0 || y < 0 || x >= image_.width || y >= image_.height) return;
    std::uint8_t* pixel = &image_.pixels[(static_cast<std::size_t>(y) * image_.width + x) * 3];
    pixel[0] = colour.r;
    pixel[1] = colour.g;
    pixel[2] = colour.b;
  }

  // Pixels whose centres lie inside the rectangle; one at least when it is thinner.
  void Fill(const SceneRect& rect) {
    const int left = std::max(0, static_cast<int>(std::lround(rect.x)));
    const int top = std::max(0, static_cast<int>(std::lround(rect.y)));
    const int right = std::min(image_.width, std::max(left + 1, static_cast<int>(std::lround(rect.x + rect.width))));
    const int bottom = std::min(image_.height, std::max(top + 1, static_cast<int>(std::lround(rect.y + rect.height))));
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) Put(x, y, rect.fill);
  }

  // A one-pixel line, stepped along its longer direction.
  void Draw(const SceneLine& line) {
    const double dx = line.x2 - line.x1, dy = line.y2 - line.y1;
    const double length = std::max(std::fabs(dx), std::fabs(dy));
    // Longer lines than the picture's edges are cut to them first.
    const int steps = static_cast<int>(std::min(std::ceil(length), 4.0 * (image_.width + image_.height)));
    for (int i = 0; i <= steps; ++i) {
      const double t = steps == 0 ? 0 : static_cast<double>(i) / steps;
      Put(static_cast<int>(std::floor(line.x1 + dx * t)), static_cast<int>(std::floor(line.y1 + dy * t)), line.colour);
    }
  }

  void Write(const SceneText& text) {
    const int scale = std::max(1, static_cast<int>(std::lround(text.size / kGlyphHeight)));
    const int advance = (kGlyphWidth + 1) * scale;
    const int width = CharacterCount(text.text) * advance - scale;
    int x = static_cast<int>(std::lround(text.x));
    if (text.anchor == TextAnchor::Middle) x -= width / 2;
    if (text.anchor == TextAnchor::End) x -= width;
    const int top = static_cast<int>(std::lround(text.y)) - kGlyphHeight * scale;
    for (std::size_t at = 0; at < text.text.size(); x += advance) {
      const Glyph& glyph = GlyphOf(NextCharacter(text.text, at));
      for (int row = 0; row < kGlyphHeight; ++row)
        for (int column = 0; column < kGlyphWidth; ++column)
          if ((glyph[row] >> (kGlyphWidth - 1 - column) & 1) != 0)
            for (int sy = 0; sy < scale; ++sy)
              for (int sx = 0; sx < scale; ++sx) Put(x + column * scale + sx, top + row * scale + sy, text.colour);
    }
  }

  // All the pieces of one ring: every pixel of the ring is looked at once,
  // and takes the colour of the last piece that covers its angle.
  void FillRing(const std::vector<const SceneRingPiece*>& pieces) {
    const SceneRingPiece& ring = *pieces.front();
    const int top = std::max(0, static_cast<int>(std::floor(ring.cy - ring.outer)));
    const int bottom = std::min(image_.height - 1, static_cast<int>(std::ceil(ring.cy + ring.outer)));
    for (int y = top; y <= bottom; ++y) {
      const double dy = y + 0.5 - ring.cy;
      const double outerSpan = ring.outer * ring.outer - dy * dy;
      if (outerSpan < 0) continue;
      const double innerSpan = ring.inner * ring.inner - dy * dy;
      const double outerHalf = std::sqrt(outerSpan);
      const double innerHalf = innerSpan > 0 ? std::sqrt(innerSpan) : -1;
      auto fillRun = [&](double from, double to) {
        const int left = std::max(0, static_cast<int>(std::lround(ring.cx + from)));
        const int right = std::min(image_.width, static_cast<int>(std::lround(ring.cx + to)));
        for (int x = left; x < right; ++x) {
          double degrees = std::atan2(x + 0.5 - ring.cx, -dy) * 180 / std::numbers::pi;
          if (degrees < 0) degrees += 360;
          for (auto piece = pieces.rbegin(); piece != pieces.rend(); ++piece) {
            if (Covers(**piece, degrees)) {
              Put(x, y, (*piece)->fill);
              break;
            }
          }
        }
      };
      if (innerHalf < 0) {
        fillRun(-outerHalf, outerHalf);
      } else {
        fillRun(-outerHalf, -innerHalf);
        fillRun(innerHalf, outerHalf);
      }
    }
  }

 private:
  static bool Covers(const SceneRingPiece& piece, double degrees) {
    const double from = std::fmod(std::fmod(piece.start, 360) + 360, 360);
    const double past = degrees >= from ? degrees - from : degrees + 360 - from;
    return past < piece.end - piece.start;
  }

  RgbImage& image_;
};

}  // namespace

RgbImage RasterizeScene(const Scene& scene) {
  RgbImage image;
  image.width = std::max(0, scene.width);
  image.height = std::max(0, scene.height);
  image.pixels.resize(static_cast<std::size_t>(image.width) * image.height * 3);
  for (std::size_t i = 0; i < image.pixels.size(); i += 3) {
    image.pixels[i] = scene.background.r;
    image.pixels[i + 1] = scene.background.g;
    image.pixels[i + 2] = scene.background.b;
  }
  Canvas canvas(image);
  std::map<std::tuple<double, double, double, double>, std::vector<const SceneRingPiece*>> rings;
  for (const SceneRingPiece& piece : scene.rings)
    rings[{piece.cx, piece.cy, piece.inner, piece.outer}].push_back(&piece);
  for (const auto& ring : rings) canvas.FillRing(ring.second);
  for (const SceneRect& rect : scene.rects) canvas.Fill(rect);
  for (const SceneLine& line : scene.lines) canvas.Draw(line);
  for (const SceneText& text : scene.texts) canvas.Write(text);
  return image;
}

}  // namespace velloran
