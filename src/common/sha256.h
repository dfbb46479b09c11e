// SHA-256 (FIPS 180-4): the digest a user can compare between two reads.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace velloran {

class Sha256 {
 public:
  Sha256();
  void Add(const void* data, std::size_t length);
  // The digest of everything added; the object is spent afterwards.
  std::array<std::uint8_t, 32> Finish();
  // The digest as 64 lower-case hex digits.
  std::string FinishHex();

 private:
  void Block(const std::uint8_t* block);

  std::array<std::uint32_t, 8> state_;
  std::array<std::uint8_t, 64> buffer_{};
  std::size_t buffered_ = 0;
  std::uint64_t length_ = 0;  // bytes added
};

}  // namespace velloran
