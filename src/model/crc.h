// The two checksums of the disk model.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velloran {

// CRC-16/CCITT as a floppy controller computes it: start 0xFFFF, polynomial
// 0x1021, no reflection, no final inversion. Over A1 A1 A1 FE C H R N it gives
// the ID CRC, over A1 A1 A1 FB and the data the data CRC.
std::uint16_t CalcCRC16(const std::uint8_t* data, std::size_t length);

// The 32-bit checksum of udf and UDI files. It runs on a signed register with
// an arithmetic right shift and inverts the whole widened byte, so it differs
// from the usual CRC-32 and must not be replaced by it.
std::uint32_t CalcCRC32(const std::uint8_t* data, std::size_t length);

// The ID CRC of a sector ID field C H R N.
std::uint16_t IdFieldCrc(std::uint8_t c, std::uint8_t h, std::uint8_t r, std::uint8_t n);

}  // namespace velloran
