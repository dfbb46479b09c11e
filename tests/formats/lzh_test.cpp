#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <thread>
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

// A stream of literals only, whose frequencies follow the Fibonacci numbers:
// that shape makes the tree deepest. Once some leaves lie deeper than 16
// levels, they are sent; the decoder must give back every literal.
TEST(Lzh, CodesLongerThanSixteenBitsDecode) {
  const int kinds = 9;
  std::vector<double> weight(kinds);
  double a = 1, b = 1;
  for (auto& w : weight) {
    w = a;
    const double next = a + b;
    a = b;
    b = next;
  }
  double total = 0;
  for (const double w : weight) total += w;

  LzhTree tree;
  tree.Start();
  std::vector<bool> bits;
  Bytes text;
  const auto send = [&](int symbol) {
    std::uint32_t code;
    int length;
    tree.Code(symbol, code, length);
    for (int i = length - 1; i >= 0; --i) bits.push_back((code >> i) & 1);
    tree.Update(symbol);
    text.push_back(static_cast<std::uint8_t>(symbol));
  };
  const auto deepest = [&] {
    int longest = 0;
    for (int s = 0; s < 256; ++s) {
      std::uint32_t code;
      int length;
      tree.Code(s, code, length);
      longest = std::max(longest, length);
    }
    return longest;
  };

  std::vector<double> credit(kinds, 0);
  for (int step = 0; step < 32000 && deepest() <= 16; ++step) {
    int pick = 0;
    for (int k = 0; k < kinds; ++k) {
      credit[k] += weight[k] / total;
      if (credit[k] > credit[pick]) pick = k;
    }
    credit[pick] -= 1;
    send('a' + pick);
  }
  // Send every symbol that lies deeper than 16 levels at that moment.
  ASSERT_GT(deepest(), 16);
  int deepSent = 0;
  for (int s = 0; s < 256; ++s) {
    std::uint32_t code;
    int length;
    tree.Code(s, code, length);
    if (length > 16) send(s), ++deepSent;
  }
  EXPECT_GE(deepSent, 2);  // both children of the deepest node: their last bits differ
  send('a');

  Bytes packed((bits.size() + 7) / 8, 0);
  for (std::size_t i = 0; i < bits.size(); ++i)
    if (bits[i]) packed[i / 8] = static_cast<std::uint8_t>(packed[i / 8] | (0x80 >> (i % 8)));
  const Bytes output = Unpack(packed);
  ASSERT_GE(output.size(), text.size());
  EXPECT_TRUE(std::equal(text.begin(), text.end(), output.begin()));
}

TEST(Lzh, GarbageDecodesWithinItsLimit) {
  std::mt19937 random(9);
  Bytes garbage(5000);
  for (auto& byte : garbage) byte = static_cast<std::uint8_t>(random());
  Bytes output;
  LZHDecompress(garbage, 100, output, 100000);
  EXPECT_LE(output.size(), 100000u);
  EXPECT_GT(output.size(), 0u);
}

}  // namespace
}  // namespace velloran
