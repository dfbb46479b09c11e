#include "trdos/text_view.h"

#include "common/codepages.h"

namespace velloran {

namespace {

std::array<std::uint8_t, 256> MakeKoi8ToAlt() {
  std::array<std::uint8_t, 256> table{};
  for (int b = 0; b < 256; ++b) {
    if (b < 0x80) {
      table[b] = static_cast<std::uint8_t>(b);
    } else if (b < 0xB0) {
      table[b] = static_cast<std::uint8_t>(b + 0x30);
    } else if (b < 0xC0) {
      table[b] = static_cast<std::uint8_t>(b + 0x40);
    } else {
      // Every Cyrillic letter of KOI8-R exists in code page 866.
      const char32_t letter = ByteToUnicode(CodePage::Koi8r, static_cast<std::uint8_t>(b));
      table[b] = UnicodeToByte(CodePage::Cp866, letter).value_or(static_cast<std::uint8_t>(b));
    }
  }
  return table;
}

}  // namespace

const std::array<std::uint8_t, 256> Koi8ToAlt = MakeKoi8ToAlt();

std::string ConvertKoi8ToAlt(std::string_view bytes) {
  std::string out(bytes);
  for (char& c : out) c = static_cast<char>(Koi8ToAlt[static_cast<std::uint8_t>(c)]);
  return out;
}

std::vector<std::string> SplitTextLines(ByteSpan data) {
  std::vector<std::string> lines;
  std::string line;
  bool lineOpen = false;
  for (std::size_t i = 0; i < data.size() && data[i] != 0; ++i) {
    const std::uint8_t byte = data[i];
    if (byte == '\r' || byte == '\n') {
      lines.push_back(line);
      line.clear();
      lineOpen = false;
      if (byte == '\r' && i + 1 < data.size() && data[i + 1] == '\n') ++i;
      continue;
    }
    line.push_back(static_cast<char>(byte));
    lineOpen = true;
  }
  if (lineOpen) lines.push_back(line);
  return lines;
}

}  // namespace velloran
