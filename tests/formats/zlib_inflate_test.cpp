// Unpacking zlib streams piece by piece against zlib's own packing: the
// pieces join to the bytes packed, and a stream of another length, damaged
// or cut short is refused, as the whole-buffer unpacking refuses it.
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "formats/zlib_inflate.h"

namespace velloran {
namespace {

Bytes Packed(const Bytes& bytes) {
  uLongf length = compressBound(static_cast<uLong>(bytes.size()));
  Bytes packed(length);
  EXPECT_EQ(compress2(packed.data(), &length, bytes.data(), static_cast<uLong>(bytes.size()), 6), Z_OK);
  packed.resize(length);
  return packed;
}

// Bytes that pack a little: a short random alphabet.
Bytes SampleBytes(std::size_t size) {
  std::mt19937 random(static_cast<unsigned>(size));
  Bytes bytes(size);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random() % 7 * 37);
  return bytes;
}

bool Pieces(ByteSpan input, std::size_t size, Bytes& joined, std::vector<std::size_t>& lengths) {
  joined.clear();
  lengths.clear();
  return InflatePieces(input, size, [&](ByteSpan piece) {
    joined.insert(joined.end(), piece.begin(), piece.end());
    lengths.push_back(piece.size());
  });
}

TEST(ZlibInflate, PiecesJoinToThePackedBytes) {
  for (const std::size_t size : {std::size_t{4}, kInflatePiece - 4, kInflatePiece, kInflatePiece + 4,
                                 3 * kInflatePiece + 100, std::size_t{200000}}) {
    const Bytes bytes = SampleBytes(size);
    Bytes joined;
    std::vector<std::size_t> lengths;
    ASSERT_TRUE(Pieces(Packed(bytes), size, joined, lengths)) << size;
    EXPECT_EQ(joined, bytes) << size;
    for (std::size_t i = 0; i + 1 < lengths.size(); ++i) EXPECT_EQ(lengths[i], kInflatePiece) << size;
  }
}

TEST(ZlibInflate, OtherLengthDamageAndCutAreRefusedLikeTheWholeBuffer) {
  const std::size_t size = 2 * kInflatePiece + 40;
  const Bytes bytes = SampleBytes(size);
  const Bytes packed = Packed(bytes);
  Bytes damaged = packed;
  damaged[damaged.size() / 2] ^= 0x5A;
  const Bytes cut(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(packed.size() / 2));
  const Bytes noChecksum(packed.begin(), packed.end() - 2);
  struct Case {
    const char* name;
    const Bytes& input;
    std::size_t size;
  };
  for (const Case& c : {Case{"longer stream", packed, size - 4}, Case{"shorter stream", packed, size + 4},
                        Case{"longer by a piece", packed, size - kInflatePiece},
                        Case{"shorter by a piece", packed, size + kInflatePiece}, Case{"damaged", damaged, size},
                        Case{"cut", cut, size}, Case{"checksum cut", noChecksum, size}}) {
    Bytes joined;
    std::vector<std::size_t> lengths;
    EXPECT_FALSE(Pieces(c.input, c.size, joined, lengths)) << c.name;
    Bytes whole;
    std::size_t consumed = 0;
    EXPECT_FALSE(InflateStream(c.input, c.size, whole, consumed)) << c.name;
  }
}

}  // namespace
}  // namespace velloran
