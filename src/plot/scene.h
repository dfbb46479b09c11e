// A picture as a list of shapes in pixel coordinates (origin top left), the
// one thing every plot builds: written as SVG text, rasterised for PNG, or
// painted by the desktop.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velloran {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// `colour` taken `share` (0..1) of the way towards white.
Rgb Paler(Rgb colour, double share);

struct SceneRect {
  double x = 0, y = 0, width = 0, height = 0;
  Rgb fill;
};

struct SceneLine {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  Rgb colour;
};

enum class TextAnchor { Start, Middle, End };

// Text with its baseline at y. PNG pictures draw it in a small built-in font
// of digits, Latin capitals and a few signs.
struct SceneText {
  double x = 0, y = 0;
  std::string text;  // UTF-8
  double size = 11;  // pixels from baseline to top of capitals, roughly
  Rgb colour;
  TextAnchor anchor = TextAnchor::Start;
};

// A piece of a ring round (cx, cy): radii inner..outer, from `start` to
// `end` degrees clockwise from the top (end > start, at most 360 apart).
struct SceneRingPiece {
  double cx = 0, cy = 0, inner = 0, outer = 0, start = 0, end = 360;
  Rgb fill;
};

// Drawn in this order: background, ring pieces, rectangles, lines, texts;
// within a kind in the order added.
struct Scene {
  int width = 0, height = 0;
  Rgb background{0xFF, 0xFF, 0xFF};
  std::vector<SceneRingPiece> rings;
  std::vector<SceneRect> rects;
  std::vector<SceneLine> lines;
  std::vector<SceneText> texts;
};

}  // namespace velloran
