#include "model/crc.h"

namespace velloran {

std::uint16_t CalcCRC16(const std::uint8_t* data, std::size_t length) {
  std::uint16_t crc = 0xFFFF;
  for (std::size_t i = 0; i < length; ++i) {
    crc ^= static_cast<std::uint16_t>(data[i] << 8);
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 0x8000) ? static_cast<std::uint16_t>((crc << 1) ^ 0x1021) : static_cast<std::uint16_t>(crc << 1);
  }
  return crc;
}

namespace {

// Eight steps of the 32-bit checksum register: a signed right shift (the
// sign bit is copied), and the polynomial folded in where a 1 fell out.
constexpr std::uint32_t EightSteps(std::uint32_t value) {
  auto c = static_cast<std::int32_t>(value);
  for (int bit = 0; bit < 8; ++bit) {
    const std::int32_t mask = -(c & 1);
    c >>= 1;
    c ^= mask & static_cast<std::int32_t>(0xEDB88320u);
  }
  return static_cast<std::uint32_t>(c);
}

// The eight steps are linear in the register's bits, so they split into one
// table per register byte: four lookups a byte instead of eight steps.
struct Crc32Tables {
  std::uint32_t byte[4][256];
};

constexpr Crc32Tables MakeCrc32Tables() {
  Crc32Tables tables{};
  for (int k = 0; k < 4; ++k)
    for (std::uint32_t v = 0; v < 256; ++v) tables.byte[k][v] = EightSteps(v << (8 * k));
  return tables;
}

constexpr Crc32Tables kCrc32 = MakeCrc32Tables();

}  // namespace

std::uint32_t CalcCRC32(const std::uint8_t* data, std::size_t length) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < length; ++i) {
    // The byte is widened to 32 bits and inverted as a whole before it enters.
    const std::uint32_t x = c ^ ~static_cast<std::uint32_t>(data[i]);
    c = ~(kCrc32.byte[0][x & 0xFF] ^ kCrc32.byte[1][(x >> 8) & 0xFF] ^ kCrc32.byte[2][(x >> 16) & 0xFF] ^
          kCrc32.byte[3][x >> 24]);
  }
  return c;
}

std::uint16_t IdFieldCrc(std::uint8_t c, std::uint8_t h, std::uint8_t r, std::uint8_t n) {
  const std::uint8_t field[8] = {0xA1, 0xA1, 0xA1, 0xFE, c, h, r, n};
  return CalcCRC16(field, sizeof field);
}

}  // namespace velloran
