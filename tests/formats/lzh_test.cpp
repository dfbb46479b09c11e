#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <thread>
#include <unordered_map>
#include <vector>

#include "formats/lzh.h"

namespace velloran {
namespace {

Bytes Pack(const Bytes& input) {
  Bytes packed;
  LZHCompress(input, packed);
  return packed;
}

// Decodes the way TD0 readers do: started 12 bytes into the stream, so that
// the decoder runs 12 zero bytes past the end and gives out the last codes.
Bytes Unpack(const Bytes& packed) {
  Bytes stream(12, 0);
  stream.insert(stream.end(), packed.begin(), packed.end());
  Bytes output;
  LZHDecompress(stream, 12, output);
  return output;
}

void ExpectRoundTrip(const Bytes& input) {
  const Bytes output = Unpack(Pack(input));
  ASSERT_GE(output.size(), input.size());
  EXPECT_TRUE(std::equal(input.begin(), input.end(), output.begin()));
}

// Bytes 0..255 drawn with geometric weights: a few very common, most rare.
Bytes SkewedBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  Bytes data(size);
  for (auto& byte : data) {
    int value = 0;
    while (value < 255 && (random() & 3) != 0) ++value;
    byte = static_cast<std::uint8_t>(value ^ (random() % 4 == 0 ? random() & 0xFF : 0));
  }
  return data;
}

TEST(Lzh, KnownStreams) {
  EXPECT_EQ(Pack({'a', 'b', 'c'}), (Bytes{0xF6, 0xFB, 0xBD, 0xE0}));
  // One match of length 3 against the spaces the ring starts with.
  EXPECT_EQ(Pack({' ', ' ', ' '}), (Bytes{0x8C, 0x00, 0x00}));
}

TEST(Lzh, EmptyInputGivesNothing) {
  EXPECT_TRUE(Pack({}).empty());
  Bytes output;
  LZHDecompress({}, 0, output);
  EXPECT_TRUE(output.empty());
}

TEST(Lzh, DecoderBudgetIsTheWholeStream) {
  const Bytes packed = {0xF6, 0xFB, 0xBD, 0xE0};
  // From offset 0 it stops once the last byte is fetched; the code of "c"
  // still waits in the bit buffer.
  Bytes fromStart;
  LZHDecompress(packed, 0, fromStart);
  EXPECT_EQ(fromStart, (Bytes{'a', 'b'}));
  // Started 12 bytes in, it decodes on through zero bytes past the end.
  const Bytes padded = Unpack(packed);
  ASSERT_GT(padded.size(), 3u);
  EXPECT_EQ(Bytes(padded.begin(), padded.begin() + 3), (Bytes{'a', 'b', 'c'}));
  // The output limit cuts it off.
  Bytes limited;
  Bytes stream(12, 0);
  stream.insert(stream.end(), packed.begin(), packed.end());
  LZHDecompress(stream, 12, limited, 5);
  EXPECT_EQ(limited.size(), 5u);
}

TEST(Lzh, EveryOneByteInputRoundTrips) {
  for (int value = 0; value < 256; ++value) {
    SCOPED_TRACE(value);
    ExpectRoundTrip({static_cast<std::uint8_t>(value)});
  }
}

TEST(Lzh, MegabytesOfSkewedDataRoundTrip) {
  // Hundreds of thousands of symbols: the tree is halved and rebuilt many times.
  ExpectRoundTrip(SkewedBytes(3u << 20, 1));
}

TEST(Lzh, LongMatchesAndRunsRoundTrip) {
  const Bytes zeros(100000, 0);
  const Bytes packed = Pack(zeros);
  EXPECT_LT(packed.size(), 4000u);  // matches of 60 bytes, not literals
  ExpectRoundTrip(zeros);

  Bytes runs;
  for (int i = 0; i < 2000; ++i) runs.insert(runs.end(), 1 + i % 97, static_cast<std::uint8_t>(i * 7));
  ExpectRoundTrip(runs);
}

TEST(Lzh, MatchesAcrossTheRingEndRoundTrip) {
  // Blocks repeated at distances near the full window, copied across the
  // point where ring positions wrap, with a few changes in each copy.
  std::mt19937 random(7);
  Bytes block(4090);
  for (auto& byte : block) byte = static_cast<std::uint8_t>(random());
  Bytes data;
  for (int copy = 0; copy < 6; ++copy) {
    data.insert(data.end(), block.begin(), block.end());
    block[random() % block.size()] ^= 0x55;
  }
  ExpectRoundTrip(data);
  ExpectRoundTrip(Bytes(data.begin() + 4000, data.end()));
}

TEST(Lzh, SameInputGivesSameStream) {
  const Bytes input = SkewedBytes(200000, 3);
  EXPECT_EQ(Pack(input), Pack(input));
  // A short input after a long one sees no trace of the earlier call.
  EXPECT_EQ(Pack({'a', 'b', 'c'}), (Bytes{0xF6, 0xFB, 0xBD, 0xE0}));
}

TEST(Lzh, CodersRunningSideBySideAgree) {
  const Bytes first = SkewedBytes(300000, 4);
  const Bytes second = SkewedBytes(300000, 5);
  const Bytes expectFirst = Pack(first);
  const Bytes expectSecond = Pack(second);

  Bytes packedFirst, packedSecond, unpackedFirst;
  std::thread a([&] { LzhCoder().Compress(first, packedFirst); });
  std::thread b([&] { LzhCoder().Compress(second, packedSecond); });
  std::thread c([&] {
    Bytes stream(12, 0);
    stream.insert(stream.end(), expectFirst.begin(), expectFirst.end());
    LzhCoder().Decompress(stream, 12, unpackedFirst, first.size());
  });
  a.join();
  b.join();
  c.join();
  EXPECT_EQ(packedFirst, expectFirst);
  EXPECT_EQ(packedSecond, expectSecond);
  EXPECT_EQ(unpackedFirst, first);
}

// Text whose parse by the compressor is known in advance: a block of
// literals without a repeated three-byte string, then copies of earlier text
// whose lengths follow the Fibonacci numbers, each checked to match exactly
// its own length and no more. A tree fed with the same symbols then tells
// which literals the compressor will have to send with codes of more than 16
// bits; those go at the end, and the text must come back whole.
class KnownParseText {
 public:
  Bytes bytes;
  LzhTree tree;

  KnownParseText() { tree.Start(); }

  void Append(const Bytes& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
    for (; indexed_ + 3 <= static_cast<int>(bytes.size()); ++indexed_) starts_[Key(indexed_)].push_back(indexed_);
  }
  void CutTo(int size) {
    for (int p = indexed_ - 1; p + 3 > size && p >= 0; --p) starts_[Key(p)].pop_back();
    indexed_ = std::max(0, size - 2);
    bytes.resize(static_cast<std::size_t>(size));
  }
  bool RepeatsAt(int p) const { return starts_.at(Key(p)).size() > 1; }
  // The longest earlier match of the text at p within the window.
  int Longest(int p) const {
    int best = 0;
    const auto& candidates = starts_.at(Key(p));
    for (auto q = candidates.rbegin(); q != candidates.rend() && p - *q <= kLzhRingSize; ++q) {
      if (*q >= p) continue;
      int i = 0;
      while (i < kLzhMaxMatch && p + i < static_cast<int>(bytes.size()) && bytes[*q + i] == bytes[p + i]) ++i;
      best = std::max(best, i);
    }
    return best;
  }
  int Depth(int symbol) const {
    std::uint32_t code;
    int length;
    tree.Code(symbol, code, length);
    return length;
  }

 private:
  std::uint32_t Key(int p) const { return bytes[p] << 16 | bytes[p + 1] << 8 | bytes[p + 2]; }
  std::unordered_map<std::uint32_t, std::vector<int>> starts_;
  int indexed_ = 0;
};

TEST(Lzh, CompressorSendsCodesLongerThanSixteenBits) {
  std::mt19937 random(11);
  KnownParseText text;
  while (text.bytes.size() < 40) {
    const auto byte = static_cast<std::uint8_t>(0x80 | (random() & 0x7F));
    const int size = static_cast<int>(text.bytes.size());
    text.Append({byte});
    if (size >= 2 && text.RepeatsAt(size - 2))
      text.CutTo(size);
    else
      text.tree.Update(byte);
  }

  const double weights[] = {1, 1, 2, 3, 5, 8, 13, 21};  // copy lengths 3..10
  double credit[8] = {};
  const auto deepest = [&] {
    int longest = 0;
    for (int literal = 1; literal < 0x20; ++literal) longest = std::max(longest, text.Depth(literal));
    return longest;
  };
  int previousStart = -1;
  int previousLength = 0;
  for (int copy = 0; copy < 32000 && deepest() <= 16; ++copy) {
    int pick = 0;
    for (int k = 0; k < 8; ++k) {
      credit[k] += weights[k] / 54;
      if (credit[k] > credit[pick]) pick = k;
    }
    credit[pick] -= 1;
    const int length = kLzhMinMatch + pick;
    bool exact = false;
    for (int attempt = 0; attempt < 500 && !exact; ++attempt) {
      const int end = static_cast<int>(text.bytes.size());
      const int span = std::min(end, 3900);
      const int from = end - span + static_cast<int>(random() % static_cast<unsigned>(span - length + 1));
      text.Append(Bytes(text.bytes.begin() + from, text.bytes.begin() + from + length));
      // The copy must not let the previous one run on into it.
      exact = previousStart < 0 || text.Longest(previousStart) == previousLength;
      if (exact) {
        previousStart = end;
        previousLength = length;
      } else {
        text.CutTo(end);
      }
    }
    ASSERT_TRUE(exact);
    text.tree.Update(256 - kLzhMinMatch + length);
  }
  ASSERT_GT(deepest(), 16);
  int deepSent = 0;
  for (int literal = 1; literal < 0x20; ++literal) {
    if (text.Depth(literal) <= 16) continue;
    text.Append({static_cast<std::uint8_t>(literal)});
    text.tree.Update(literal);
    ++deepSent;
  }
  EXPECT_GE(deepSent, 2);
  ExpectRoundTrip(text.bytes);
}

}  // namespace
}  // namespace velloran
