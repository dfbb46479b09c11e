#include "plot/svg_writer.h"

#include <cmath>
#include <cstdio>
#include <numbers>

namespace velloran {

namespace {

// A coordinate with at most two decimals, without trailing zeros.
std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  std::string out = text;
  while (out.back() == '0') out.pop_back();
  if (out.back() == '.') out.pop_back();
  return out == "-0" ? "0" : out;
}

std::string Colour(Rgb colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", colour.r, colour.g, colour.b);
  return text;
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// The point `radius` from the centre at `degrees` clockwise from the top.
std::string PointAt(const SceneRingPiece& piece, double radius, double degrees) {
  const double radians = degrees * std::numbers::pi / 180;
  return Number(piece.cx + radius * std::sin(radians)) + ' ' + Number(piece.cy - radius * std::cos(radians));
}

// One ring piece of at most 180 degrees as a closed path.
std::string RingPath(const SceneRingPiece& piece) {
  const std::string outer = Number(piece.outer), inner = Number(piece.inner);
  return "M" + PointAt(piece, piece.outer, piece.start) + " A" + outer + ' ' + outer + " 0 0 1 " +
         PointAt(piece, piece.outer, piece.end) + " L" + PointAt(piece, piece.inner, piece.end) + " A" + inner + ' ' +
         inner + " 0 0 0 " + PointAt(piece, piece.inner, piece.start) + 'Z';
}

}  // namespace

std::string SceneToSvg(const Scene& scene) {
  std::string svg =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\"";
  svg += " width=\"" + std::to_string(scene.width) + "\" height=\"" + std::to_string(scene.height) +
         "\" viewBox=\"0 0 " + std::to_string(scene.width) + ' ' + std::to_string(scene.height) + "\">\n";
  svg += "<rect width=\"100%\" height=\"100%\" fill=\"" + Colour(scene.background) + "\"/>\n";
  for (const SceneRingPiece& piece : scene.rings) {
    // Pieces wider than half a turn are written as two, which SVG arcs draw unambiguously.
    const double middle = (piece.start + piece.end) / 2;
    std::string path;
    if (piece.end - piece.start > 180) {
      SceneRingPiece first = piece, second = piece;
      first.end = middle;
      second.start = middle;
      path = RingPath(first) + ' ' + RingPath(second);
    } else {
      path = RingPath(piece);
    }
    svg += "<path d=\"" + path + "\" fill=\"" + Colour(piece.fill) + "\"/>\n";
  }
  for (const SceneRect& rect : scene.rects) {
    svg += "<rect x=\"" + Number(rect.x) + "\" y=\"" + Number(rect.y) + "\" width=\"" + Number(rect.width) +
           "\" height=\"" + Number(rect.height) + "\" fill=\"" + Colour(rect.fill) + "\"/>\n";
  }
  for (const SceneLine& line : scene.lines) {
    svg += "<line x1=\"" + Number(line.x1) + "\" y1=\"" + Number(line.y1) + "\" x2=\"" + Number(line.x2) + "\" y2=\"" +
           Number(line.y2) + "\" stroke=\"" + Colour(line.colour) + "\" stroke-width=\"1\"/>\n";
  }
  for (const SceneText& text : scene.texts) {
    const char* anchor = text.anchor == TextAnchor::Start    ? "start"
                         : text.anchor == TextAnchor::Middle ? "middle"
                                                             : "end";
    svg += "<text x=\"" + Number(text.x) + "\" y=\"" + Number(text.y) + "\" font-family=\"sans-serif\" font-size=\"" +
           Number(text.size * 1.3) + "\" fill=\"" + Colour(text.colour) + "\" text-anchor=\"" + anchor + "\">" +
           Escaped(text.text) + "</text>\n";
  }
  return svg + "</svg>\n";
}

}  // namespace velloran
