#include "model/crc.h"

#include <array>

namespace velloran {

namespace {

// Both checksums are linear over the bits of the register and the data, so
// they go eight bytes at a time: what each data byte of a block does to the
// register is looked up in a table of its own ("slicing by eight") and the
// parts are XORed. The tables are made at compile time from the bit-by-bit
// steps, so the results are those of the bit-by-bit definitions.
using Tables16 = std::array<std::array<std::uint16_t, 256>, 8>;
using Tables32 = std::array<std::array<std::uint32_t, 256>, 8>;

// One bit of the floppy controller's CRC-16: polynomial 0x1021, high bit first.
constexpr std::uint16_t Crc16Bit(std::uint16_t crc) {
  return (crc & 0x8000) ? static_cast<std::uint16_t>((crc << 1) ^ 0x1021) : static_cast<std::uint16_t>(crc << 1);
}

// One zero data byte through the CRC-16 register.
constexpr std::uint16_t Crc16ZeroByte(std::uint16_t crc) {
  for (int bit = 0; bit < 8; ++bit) crc = Crc16Bit(crc);
  return crc;
}

// tables[j][b]: the register after data byte b with j zero bytes after it,
// starting from a zero register.
constexpr Tables16 MakeCrc16Tables() {
  Tables16 tables{};
  for (int b = 0; b < 256; ++b) {
    auto crc = Crc16ZeroByte(static_cast<std::uint16_t>(b << 8));
    for (auto& table : tables) {
      table[b] = crc;
      crc = Crc16ZeroByte(crc);
    }
  }
  return tables;
}

constexpr Tables16 kCrc16 = MakeCrc16Tables();

// The 32-bit checksum of one byte b, as defined: c ^= ~b widened to 32 bits,
// eight steps of an arithmetic right shift (the sign bit is copied) with the
// polynomial when the bit shifted out was set, then c = ~c. The widened ~b
// also flips the upper 24 bits; the eight steps turn those into all ones,
// which the final ~ flips back. So a byte is: c = Steps(c ^ (b ^ 0xFF)),
// where Steps are the eight steps alone.
constexpr std::uint32_t Crc32Steps(std::uint32_t value) {
  auto c = static_cast<std::int32_t>(value);
  for (int bit = 0; bit < 8; ++bit) {
    const std::int32_t mask = -(c & 1);
    c = (c >> 1) ^ (mask & static_cast<std::int32_t>(0xEDB88320u));
  }
  return static_cast<std::uint32_t>(c);
}

// tables[j][b]: Steps applied j + 1 times to b, which is what a byte b in the
// low byte of the register gives when j more bytes of the block follow it.
constexpr Tables32 MakeCrc32Tables() {
  Tables32 tables{};
  for (std::uint32_t b = 0; b < 256; ++b) {
    std::uint32_t c = Crc32Steps(b);
    for (auto& table : tables) {
      table[b] = c;
      c = Crc32Steps(c);
    }
  }
  return tables;
}

constexpr Tables32 kCrc32 = MakeCrc32Tables();

// The register's four bytes go through the tables like data bytes but for
// one thing: its sign bit is copied on every shift. When it is set, that adds
// all ones after four bytes, and after the eight bytes of a block this value.
constexpr std::uint32_t kCrc32SignAfterBlock = Crc32Steps(Crc32Steps(Crc32Steps(Crc32Steps(0xFFFFFFFFu))));

}  // namespace

std::uint16_t CalcCRC16(const std::uint8_t* data, std::size_t length) {
  std::uint16_t crc = 0xFFFF;
  std::size_t i = 0;
  for (; i + 8 <= length; i += 8) {
    const std::uint8_t* d = data + i;
    crc = static_cast<std::uint16_t>(kCrc16[7][d[0] ^ (crc >> 8)] ^ kCrc16[6][d[1] ^ (crc & 0xFF)] ^ kCrc16[5][d[2]] ^
                                     kCrc16[4][d[3]] ^ kCrc16[3][d[4]] ^ kCrc16[2][d[5]] ^ kCrc16[1][d[6]] ^
                                     kCrc16[0][d[7]]);
  }
  for (; i < length; ++i) crc = static_cast<std::uint16_t>((crc << 8) ^ kCrc16[0][(crc >> 8) ^ data[i]]);
  return crc;
}

std::uint32_t CalcCRC32(const std::uint8_t* data, std::size_t length) {
  std::uint32_t c = 0xFFFFFFFFu;
  std::size_t i = 0;
  for (; i + 8 <= length; i += 8) {
    const std::uint8_t* d = data + i;
    const std::uint32_t sign = (c & 0x80000000u) != 0 ? kCrc32SignAfterBlock : 0;
    c = kCrc32[7][(c ^ ~d[0]) & 0xFF] ^ kCrc32[6][((c >> 8) ^ ~d[1]) & 0xFF] ^ kCrc32[5][((c >> 16) ^ ~d[2]) & 0xFF] ^
        kCrc32[4][((c >> 24) ^ ~d[3]) & 0xFF] ^ kCrc32[3][~d[4] & 0xFF] ^ kCrc32[2][~d[5] & 0xFF] ^
        kCrc32[1][~d[6] & 0xFF] ^ kCrc32[0][~d[7] & 0xFF] ^ sign;
  }
  for (; i < length; ++i) {
    // The shift by eight is arithmetic: the sign bit fills the top byte.
    const std::uint32_t shifted = (c >> 8) | ((c & 0x80000000u) != 0 ? 0xFF000000u : 0);
    c = kCrc32[0][(c ^ ~data[i]) & 0xFF] ^ shifted;
  }
  return c;
}

std::uint16_t IdFieldCrc(std::uint8_t c, std::uint8_t h, std::uint8_t r, std::uint8_t n) {
  const std::uint8_t field[8] = {0xA1, 0xA1, 0xA1, 0xFE, c, h, r, n};
  return CalcCRC16(field, sizeof field);
}

}  // namespace velloran
