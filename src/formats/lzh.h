// LZH coder of compressed TD0 bodies: LZSS matching against a 4096-byte ring
// of earlier text, literals and match lengths coded by one adaptive Huffman
// tree, match positions by a fixed prefix code. The streams carry no header
// and no length; existing TD0 files fix the bit layout, so it must not change.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "common/bytes.h"

namespace velloran {

inline constexpr int kLzhRingSize = 4096;                                  // window of earlier text
inline constexpr int kLzhMaxMatch = 60;                                    // longest match, also the look-ahead
inline constexpr int kLzhMinMatch = 3;                                     // shorter repeats are sent as literals
inline constexpr int kLzhSymbols = 256 + kLzhMaxMatch - kLzhMinMatch + 1;  // 314
inline constexpr int kLzhNodes = 2 * kLzhSymbols - 1;                      // 627
inline constexpr int kLzhRoot = kLzhNodes - 1;

// Compresses `input` and appends the bit stream to `output`. An empty input
// adds nothing.
void LZHCompress(ByteSpan input, Bytes& output);

// Decodes the stream that starts at `start` inside `stream` and appends the
// bytes to `output`. The decoder stops once it has fetched as many bytes as
// the whole `stream` holds, counting the zero bytes it fetches past the end;
// started at offset P it therefore decodes P zero bytes beyond the end, which
// is how TD0 readers get the last codes of a file. It also stops once it has
// produced `maxOutput` bytes.
void LZHDecompress(ByteSpan stream, std::size_t start, Bytes& output,
                   std::size_t maxOutput = std::numeric_limits<std::size_t>::max());

// The adaptive Huffman tree over literals (0..255) and match lengths
// (256..313). Nodes are kept in non-decreasing order of frequency with the
// two children of a node side by side, so a node's second child has an odd
// index.
class LzhTree {
 public:
  // Every symbol starts with frequency 1 in a balanced tree.
  void Start();
  // The path from the root to the leaf of `symbol`: `length` bits, the first
  // step in the highest of them. A 32-bit word is wide enough: with the root
  // frequency held at 0x8000 or less no leaf lies deeper than 23 levels.
  void Code(int symbol, std::uint32_t& code, int& length) const;
  // What node `index` points to: the first of its two children (the second
  // follows it), or kLzhNodes + symbol when the node is a leaf.
  int Child(int index) const { return child_[index]; }
  // Counts one more use of `symbol` and restores the frequency order.
  void Update(int symbol);

 private:
  // Halves every leaf frequency and builds the tree anew.
  void Rebuild();

  std::array<std::uint16_t, kLzhNodes + 1> freq_{};  // freq_[kLzhNodes] is a 0xFFFF stop mark
  std::array<std::uint16_t, kLzhNodes> child_{};
  std::array<std::uint16_t, kLzhNodes + kLzhSymbols> parent_{};
};

// The compressor's ring of text and the binary search trees over its
// positions that find the longest earlier match of the text at a position.
class LzhMatchFinder {
 public:
  // Empty trees; the ring filled with spaces in front of the first text byte.
  void Start();
  // Puts the string at ring position `r` into the trees and leaves the
  // longest match found on the way in MatchLength and MatchPosition.
  void Insert(int r);
  // Takes ring position `p` out of the trees.
  void Delete(int p);
  // Stores a text byte at ring position `p`, with its copy behind the ring end.
  void Store(int p, std::uint8_t value);
  std::uint8_t At(int p) const { return ring_[p]; }

  int MatchLength = 0;
  int MatchPosition = 0;  // distance - 1

 private:
  static constexpr std::uint16_t kNil = kLzhRingSize;

  // The first kLzhMaxMatch - 1 bytes are repeated behind the end so that a
  // match can be compared without wrapping.
  std::array<std::uint8_t, kLzhRingSize + kLzhMaxMatch - 1> ring_{};
  std::array<std::uint16_t, kLzhRingSize + 1> left_{};
  std::array<std::uint16_t, kLzhRingSize + 257> right_{};  // right_[4097 + b]: tree root of byte b
  std::array<std::uint16_t, kLzhRingSize + 1> parent_{};
};

// One compressor or decompressor. All state is held here in fixed-size
// tables, so several coders can run side by side and nothing is allocated
// apart from the output.
class LzhCoder {
 public:
  void Compress(ByteSpan input, Bytes& output);
  void Decompress(ByteSpan stream, std::size_t start, Bytes& output, std::size_t maxOutput);

 private:
  LzhTree tree_;
  LzhMatchFinder finder_;
  std::array<std::uint8_t, kLzhRingSize> ring_{};  // decompressor's ring
};

}  // namespace velloran
