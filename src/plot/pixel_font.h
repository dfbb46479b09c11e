// A small bitmap font for the texts of rasterised plots: 5 x 7 pixel glyphs
// of the digits, the Latin and Cyrillic capitals (small letters are drawn as
// capitals) and the signs the plots use. Other characters are drawn as a box.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace velloran {

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;

// The glyph's rows, top first, the leftmost pixel in bit 4.
using Glyph = std::array<std::uint8_t, kGlyphHeight>;

// The glyph of one Unicode character.
const Glyph& GlyphOf(char32_t character);

// Characters of a UTF-8 text.
int CharacterCount(std::string_view text);
// The character at `at` of a UTF-8 text; `at` moves past it. A broken
// sequence gives U+FFFD and moves one byte.
char32_t NextCharacter(std::string_view text, std::size_t& at);

}  // namespace velloran
