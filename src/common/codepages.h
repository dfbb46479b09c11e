// The three Cyrillic code pages of the disks and files this tool meets:
// Windows-1251 (catalog names, logs and comments of udf files), CP866 (DOS
// texts, FDI comments) and KOI8-R (texts of CP/M and TR-DOS files).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velloran {

enum class CodePage { Cp1251, Cp866, Koi8r };

char32_t ByteToUnicode(CodePage page, std::uint8_t byte);
// The byte of a character in the code page, or nothing when it has none.
std::optional<std::uint8_t> UnicodeToByte(CodePage page, char32_t c);

// Bytes of the code page to UTF-8 text.
std::string ToUtf8(CodePage page, std::string_view bytes);
// UTF-8 text to bytes of the code page; characters it cannot hold become '?'.
std::string FromUtf8(CodePage page, std::string_view text);

}  // namespace velloran
