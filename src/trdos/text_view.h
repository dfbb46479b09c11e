// Text of files shown in the viewer: splitting bytes into lines and the
// KOI-8 to ALT (code page 866) conversion.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/bytes.h"

namespace velloran {

// Byte table applied to bytes 0x80..0xFF: 0x80..0xAF move to 0xB0..0xDF,
// 0xB0..0xBF to 0xF0..0xFF, and the KOI8-R letters 0xC0..0xFF become the
// same letters of code page 866. Bytes below 0x80 map to themselves.
extern const std::array<std::uint8_t, 256> Koi8ToAlt;

// Converts every byte of the text through Koi8ToAlt.
std::string ConvertKoi8ToAlt(std::string_view bytes);

// The lines of a text file: the text ends at the first zero byte; CR, LF and
// CR LF each end a line. The lines hold the bytes as stored.
std::vector<std::string> SplitTextLines(ByteSpan data);

}  // namespace velloran
