#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "model/crc.h"

namespace velloran {
namespace {

TEST(Crc16, KnownValues) {
  const std::uint8_t id[] = {0xA1, 0xA1, 0xA1, 0xFE, 0x00, 0x00, 0x01, 0x01};
  EXPECT_EQ(CalcCRC16(id, sizeof id), 0xFA0C);
  EXPECT_EQ(IdFieldCrc(0, 0, 1, 1), 0xFA0C);
  const char* digits = "123456789";
  EXPECT_EQ(CalcCRC16(reinterpret_cast<const std::uint8_t*>(digits), 9), 0x29B1);
  std::uint8_t data[4 + 256] = {0xA1, 0xA1, 0xA1, 0xFB};
  EXPECT_EQ(CalcCRC16(data, sizeof data), 0xE122);
}

TEST(Crc32, IsTheArithmeticShiftVariant) {
  EXPECT_EQ(CalcCRC32(nullptr, 0), 0xFFFFFFFFu);
  const char* digits = "123456789";
  EXPECT_EQ(CalcCRC32(reinterpret_cast<const std::uint8_t*>(digits), 9), 0x1628D64Du);
  const std::uint8_t a = 'a';
  EXPECT_EQ(CalcCRC32(&a, 1), 0xFB4AAE31u);
}

// Both checksums bit by bit, as the controller and the file formats define them.
std::uint16_t Crc16BitByBit(const std::vector<std::uint8_t>& data, std::size_t length) {
  std::uint16_t crc = 0xFFFF;
  for (std::size_t i = 0; i < length; ++i) {
    crc ^= static_cast<std::uint16_t>(data[i] << 8);
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 0x8000) ? static_cast<std::uint16_t>((crc << 1) ^ 0x1021) : static_cast<std::uint16_t>(crc << 1);
  }
  return crc;
}

std::uint32_t Crc32BitByBit(const std::vector<std::uint8_t>& data, std::size_t length) {
  std::int32_t c = -1;
  for (std::size_t i = 0; i < length; ++i) {
    c ^= ~static_cast<std::int32_t>(data[i]);
    for (int bit = 0; bit < 8; ++bit) c = (c >> 1) ^ (-(c & 1) & static_cast<std::int32_t>(0xEDB88320u));
    c = ~c;
  }
  return static_cast<std::uint32_t>(c);
}

// The fast checksums work on blocks of bytes: every length and every kind of
// byte (all ones, all zeros, random) must give what the bit-by-bit steps give.
TEST(Crc, FastChecksumsEqualTheBitByBitDefinitions) {
  std::mt19937 random(13);
  std::vector<std::uint8_t> data(300);
  for (const int fill : {-1, 0x00, 0xFF}) {
    for (auto& byte : data) byte = static_cast<std::uint8_t>(fill < 0 ? random() : static_cast<unsigned>(fill));
    for (std::size_t length = 0; length <= data.size(); ++length) {
      ASSERT_EQ(CalcCRC16(data.data(), length), Crc16BitByBit(data, length)) << fill << " " << length;
      ASSERT_EQ(CalcCRC32(data.data(), length), Crc32BitByBit(data, length)) << fill << " " << length;
    }
  }
}

}  // namespace
}  // namespace velloran
