// A fixed-size byte array that takes memory only once it is written. A disk
// holds 3,320 sector slots and 166 raw track images, and most of them stay
// zero: an untouched array reads as zeros from one shared block and costs a
// pointer, so a small image touches kilobytes, not megabytes.
//
// It reads like std::array<std::uint8_t, N>: size(), data(), begin(), end(),
// [], front(), back() and fill(). Every non-const access except fill(0) gives
// the array its own N zeroed bytes first; read through a const reference to
// leave an untouched array untouched.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace velloran {

template <std::size_t N>
class LazyBytes {
 public:
  using value_type = std::uint8_t;
  using iterator = std::uint8_t*;
  using const_iterator = const std::uint8_t*;

  LazyBytes() = default;
  LazyBytes(const LazyBytes& other) : bytes_(other.bytes_ ? std::make_unique<Block>(*other.bytes_) : nullptr) {}
  LazyBytes& operator=(const LazyBytes& other) {
    if (this == &other) return *this;
    if (!other.bytes_)
      bytes_.reset();
    else if (bytes_)
      *bytes_ = *other.bytes_;
    else
      bytes_ = std::make_unique<Block>(*other.bytes_);
    return *this;
  }
  // A moved-from array reads as zeros.
  LazyBytes(LazyBytes&&) noexcept = default;
  LazyBytes& operator=(LazyBytes&&) noexcept = default;

  static constexpr std::size_t size() { return N; }
  // True once the array holds memory of its own (it was written).
  bool Allocated() const { return bytes_ != nullptr; }

  const std::uint8_t* data() const { return bytes_ ? bytes_->data() : Zeros().data(); }
  std::uint8_t* data() { return Own().data(); }
  const_iterator begin() const { return data(); }
  const_iterator end() const { return data() + N; }
  iterator begin() { return data(); }
  iterator end() { return data() + N; }
  const std::uint8_t& operator[](std::size_t index) const { return data()[index]; }
  std::uint8_t& operator[](std::size_t index) { return Own()[index]; }
  const std::uint8_t& front() const { return data()[0]; }
  std::uint8_t& front() { return Own().front(); }
  const std::uint8_t& back() const { return data()[N - 1]; }
  std::uint8_t& back() { return Own().back(); }

  // Sets every byte to `value`; filling with zero hands the memory back.
  void fill(std::uint8_t value) {
    if (value == 0)
      bytes_.reset();
    else
      Own().fill(value);
  }

  // Copies `count` bytes (at most N) to the start of the array. Zeros copied
  // into an untouched array leave it untouched.
  void CopyFrom(const std::uint8_t* source, std::size_t count) {
    count = std::min(count, N);
    if (!bytes_ && std::all_of(source, source + count, [](std::uint8_t b) { return b == 0; })) return;
    std::copy_n(source, count, Own().begin());
  }

  friend bool operator==(const LazyBytes& a, const LazyBytes& b) { return std::equal(a.begin(), a.end(), b.begin()); }

 private:
  using Block = std::array<std::uint8_t, N>;

  static const Block& Zeros() {
    static const Block zeros{};
    return zeros;
  }
  Block& Own() {
    if (!bytes_) bytes_ = std::make_unique<Block>();
    return *bytes_;
  }

  std::unique_ptr<Block> bytes_;
};

}  // namespace velloran
