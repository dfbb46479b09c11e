#include <gtest/gtest.h>

#include <cstring>

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

}  // namespace
}  // namespace velloran
