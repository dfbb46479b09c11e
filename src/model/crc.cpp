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

std::uint32_t CalcCRC32(const std::uint8_t* data, std::size_t length) {
  std::int32_t c = -1;
  for (std::size_t i = 0; i < length; ++i) {
    c ^= ~static_cast<std::int32_t>(data[i]);
    for (int bit = 0; bit < 8; ++bit) {
      const std::int32_t mask = -(c & 1);
      c >>= 1;  // arithmetic: the sign bit is copied
      c ^= mask & static_cast<std::int32_t>(0xEDB88320u);
    }
    c = ~c;
  }
  return static_cast<std::uint32_t>(c);
}

std::uint16_t IdFieldCrc(std::uint8_t c, std::uint8_t h, std::uint8_t r, std::uint8_t n) {
  const std::uint8_t field[8] = {0xA1, 0xA1, 0xA1, 0xFE, c, h, r, n};
  return CalcCRC16(field, sizeof field);
}

}  // namespace velloran
