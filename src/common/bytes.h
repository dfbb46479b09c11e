// Little-endian reading and writing of numbers inside byte buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace velloran {

using Bytes = std::vector<std::uint8_t>;
using ByteSpan = std::span<const std::uint8_t>;
// A file given as pieces, written one after another (sectors that live in
// separate blocks, say), so that nobody has to copy them into one buffer.
using BytePieces = std::span<const ByteSpan>;

inline std::uint16_t ReadLe16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

inline std::uint32_t ReadLe32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline void WriteLe16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void WriteLe32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline void AppendLe16(Bytes& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void AppendLe32(Bytes& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// Bounds-checked reader over a byte buffer: every access past the end fails
// instead of touching memory outside the buffer.
class ByteReader {
 public:
  explicit ByteReader(ByteSpan data) : data_(data) {}

  std::size_t Position() const { return pos_; }
  std::size_t Remaining() const { return data_.size() - pos_; }
  bool Has(std::size_t count) const { return count <= Remaining(); }
  void Seek(std::size_t pos) { pos_ = pos > data_.size() ? data_.size() : pos; }

  bool Skip(std::size_t count) {
    if (!Has(count)) return false;
    pos_ += count;
    return true;
  }
  bool U8(std::uint8_t& v) {
    if (!Has(1)) return false;
    v = data_[pos_++];
    return true;
  }
  bool U16(std::uint16_t& v) {
    if (!Has(2)) return false;
    v = ReadLe16(&data_[pos_]);
    pos_ += 2;
    return true;
  }
  bool U32(std::uint32_t& v) {
    if (!Has(4)) return false;
    v = ReadLe32(&data_[pos_]);
    pos_ += 4;
    return true;
  }
  // The next `count` bytes, or an empty span when fewer remain.
  bool Take(std::size_t count, ByteSpan& out) {
    if (!Has(count)) return false;
    out = data_.subspan(pos_, count);
    pos_ += count;
    return true;
  }

 private:
  ByteSpan data_;
  std::size_t pos_ = 0;
};

}  // namespace velloran
