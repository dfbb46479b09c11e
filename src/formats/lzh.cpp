#include "formats/lzh.h"

#include <algorithm>
#include <cstring>

namespace velloran {

namespace {

constexpr int kRingMask = kLzhRingSize - 1;
constexpr int kFirstTextPosition = kLzhRingSize - kLzhMaxMatch;  // 4036
constexpr std::uint16_t kFrequencyLimit = 0x8000;                // root frequency that halves the tree

// The prefix code of the upper six bits of a match position: 3 bits for 0,
// 4 bits for 1..3, 5 for 4..11, 6 for 12..23, 7 for 24..47, 8 for 48..63.
// Each code is the previous one plus one, widened with zeros as the length
// grows.
struct PrefixCode {
  std::uint8_t length = 0;
  std::uint8_t bits = 0;  // right-aligned
};

constexpr int PrefixLength(int value) {
  if (value == 0) return 3;
  if (value < 4) return 4;
  if (value < 12) return 5;
  if (value < 24) return 6;
  if (value < 48) return 7;
  return 8;
}

constexpr std::array<PrefixCode, 64> MakePrefixCodes() {
  std::array<PrefixCode, 64> table{};
  int code = 0;
  int length = 3;
  for (int value = 0; value < 64; ++value) {
    const int newLength = PrefixLength(value);
    if (value > 0) code = (code + 1) << (newLength - length);
    length = newLength;
    table[value] = {static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(code)};
  }
  return table;
}

// For each possible next input byte: the upper position bits whose code it
// starts with, and that code's length.
struct PrefixDecode {
  std::uint8_t value = 0;
  std::uint8_t length = 0;
};

constexpr std::array<PrefixDecode, 256> MakePrefixDecodes() {
  std::array<PrefixDecode, 256> table{};
  const auto codes = MakePrefixCodes();
  for (int value = 0; value < 64; ++value) {
    const int spare = 8 - codes[value].length;
    const int first = codes[value].bits << spare;
    for (int b = first; b < first + (1 << spare); ++b)
      table[b] = {static_cast<std::uint8_t>(value), codes[value].length};
  }
  return table;
}

constexpr auto kPrefixCodes = MakePrefixCodes();
constexpr auto kPrefixDecodes = MakePrefixDecodes();

// How many bytes two ring strings share from the start, up to a full match;
// their first bytes are known to be equal. Long shared runs are compared
// eight bytes at a time.
int CommonLength(const std::uint8_t* a, const std::uint8_t* b) {
  int i = 1;
  for (; i + 8 <= kLzhMaxMatch; i += 8) {
    std::uint64_t x, y;
    std::memcpy(&x, a + i, 8);
    std::memcpy(&y, b + i, 8);
    if (x != y) break;
  }
  while (i < kLzhMaxMatch && a[i] == b[i]) ++i;
  return i;
}

// Appends bits to a byte stream, most significant first; the last byte is
// padded with zero bits.
class BitWriter {
 public:
  explicit BitWriter(Bytes& out) : out_(out) {}

  // Sends the low `count` bits of `bits` (count up to 32).
  void Put(std::uint32_t bits, int count) {
    buffer_ = (buffer_ << count) | (bits & ((std::uint64_t{1} << count) - 1));
    held_ += count;
    while (held_ >= 8) {
      held_ -= 8;
      out_.push_back(static_cast<std::uint8_t>(buffer_ >> held_));
    }
    buffer_ &= (std::uint64_t{1} << held_) - 1;
  }
  void Flush() {
    if (held_ > 0) out_.push_back(static_cast<std::uint8_t>(buffer_ << (8 - held_)));
    held_ = 0;
    buffer_ = 0;
  }

 private:
  Bytes& out_;
  std::uint64_t buffer_ = 0;
  int held_ = 0;
};

// Takes bits from a byte stream through a 16-bit buffer that is topped up a
// byte at a time whenever it holds 8 bits or fewer. Past the end it fetches
// zero bytes; every fetch counts, because the decoder's budget is a count of
// fetched bytes.
class BitReader {
 public:
  BitReader(ByteSpan stream, std::size_t start) : stream_(stream), position_(start) {}

  int Bit() {
    Fill();
    const int bit = buffer_ >> 15;
    buffer_ = static_cast<std::uint16_t>(buffer_ << 1);
    --held_;
    return bit;
  }
  int Byte() {
    Fill();
    const int byte = buffer_ >> 8;
    buffer_ = static_cast<std::uint16_t>(buffer_ << 8);
    held_ -= 8;
    return byte;
  }
  std::size_t Fetched() const { return fetched_; }

 private:
  void Fill() {
    while (held_ <= 8) {
      const std::uint8_t next = position_ < stream_.size() ? stream_[position_] : 0;
      ++position_;
      ++fetched_;
      buffer_ = static_cast<std::uint16_t>(buffer_ | (next << (8 - held_)));
      held_ += 8;
    }
  }

  ByteSpan stream_;
  std::size_t position_;
  std::size_t fetched_ = 0;
  std::uint16_t buffer_ = 0;
  int held_ = 0;
};

}  // namespace

// Every symbol gets frequency 1; inner nodes pair neighbours from the bottom up.
void LzhTree::Start() {
  for (int i = 0; i < kLzhSymbols; ++i) {
    freq_[i] = 1;
    child_[i] = static_cast<std::uint16_t>(i + kLzhNodes);
    parent_[i + kLzhNodes] = static_cast<std::uint16_t>(i);
  }
  for (int i = 0, j = kLzhSymbols; j < kLzhNodes; i += 2, ++j) {
    freq_[j] = static_cast<std::uint16_t>(freq_[i] + freq_[i + 1]);
    child_[j] = static_cast<std::uint16_t>(i);
    parent_[i] = parent_[i + 1] = static_cast<std::uint16_t>(j);
  }
  freq_[kLzhNodes] = 0xFFFF;
  parent_[kLzhRoot] = 0;
}

// Walks from the symbol's leaf up to the root, collecting one bit per level.
void LzhTree::Code(int symbol, std::uint32_t& code, int& length) const {
  code = 0;
  length = 0;
  int node = parent_[symbol + kLzhNodes];
  do {
    code >>= 1;
    if (node & 1) code |= 0x80000000u;
    ++length;
    node = parent_[node];
  } while (node != kLzhRoot);
  code >>= 32 - length;
}

// Raises the frequency of the symbol's leaf and of every node above it. A
// node that now outweighs the nodes after it changes places with the last of
// them, so the order stays non-decreasing.
void LzhTree::Update(int symbol) {
  if (freq_[kLzhRoot] == kFrequencyLimit) Rebuild();
  int node = parent_[symbol + kLzhNodes];
  do {
    const std::uint16_t count = static_cast<std::uint16_t>(freq_[node] + 1);
    freq_[node] = count;
    if (count > freq_[node + 1]) {
      int last = node + 1;
      while (count > freq_[last + 1]) ++last;
      freq_[node] = freq_[last];
      freq_[last] = count;

      const int moving = child_[node];
      parent_[moving] = static_cast<std::uint16_t>(last);
      if (moving < kLzhNodes) parent_[moving + 1] = static_cast<std::uint16_t>(last);
      const int displaced = child_[last];
      child_[last] = static_cast<std::uint16_t>(moving);
      parent_[displaced] = static_cast<std::uint16_t>(node);
      if (displaced < kLzhNodes) parent_[displaced + 1] = static_cast<std::uint16_t>(node);
      child_[node] = static_cast<std::uint16_t>(displaced);
      node = last;
    }
    node = parent_[node];
  } while (node != 0);
}

void LzhTree::Rebuild() {
  // Gather the leaves at the front, their frequencies halved (rounded up).
  int leaves = 0;
  for (int i = 0; i < kLzhNodes; ++i) {
    if (child_[i] >= kLzhNodes) {
      freq_[leaves] = static_cast<std::uint16_t>((freq_[i] + 1) / 2);
      child_[leaves] = child_[i];
      ++leaves;
    }
  }
  // Join pairs from the bottom up, inserting each new node in frequency order.
  for (int i = 0, j = kLzhSymbols; j < kLzhNodes; i += 2, ++j) {
    const std::uint16_t sum = static_cast<std::uint16_t>(freq_[i] + freq_[i + 1]);
    int k = j - 1;
    while (sum < freq_[k]) --k;
    ++k;
    std::copy_backward(freq_.begin() + k, freq_.begin() + j, freq_.begin() + j + 1);
    std::copy_backward(child_.begin() + k, child_.begin() + j, child_.begin() + j + 1);
    freq_[k] = sum;
    child_[k] = static_cast<std::uint16_t>(i);
  }
  // Point every child back at its parent.
  for (int i = 0; i < kLzhNodes; ++i) {
    const int k = child_[i];
    parent_[k] = static_cast<std::uint16_t>(i);
    if (k < kLzhNodes) parent_[k + 1] = static_cast<std::uint16_t>(i);
  }
}

void LzhMatchFinder::Start() {
  ring_.fill(0);
  std::fill(ring_.begin(), ring_.begin() + kFirstTextPosition, ' ');
  std::fill(right_.begin() + kLzhRingSize + 1, right_.end(), kNil);
  std::fill(parent_.begin(), parent_.begin() + kLzhRingSize, kNil);
  MatchLength = 0;
  MatchPosition = 0;
}

void LzhMatchFinder::Store(int p, std::uint8_t value) {
  ring_[p] = value;
  if (p < kLzhMaxMatch - 1) ring_[p + kLzhRingSize] = value;
}

// Descends the tree of the string's first byte, comparing the string with
// each node on the way: the longest match wins, and among matches of that
// length the nearest one. A full-length match replaces the old node, which
// then leaves the tree.
void LzhMatchFinder::Insert(int r) {
  const std::uint8_t* key = &ring_[r];
  bool goRight = true;
  int p = kLzhRingSize + 1 + key[0];
  left_[r] = right_[r] = kNil;
  MatchLength = 0;
  for (;;) {
    auto& next = goRight ? right_[p] : left_[p];
    if (next == kNil) {
      next = static_cast<std::uint16_t>(r);
      parent_[r] = static_cast<std::uint16_t>(p);
      return;
    }
    p = next;

    const int i = CommonLength(key, &ring_[p]);
    goRight = i == kLzhMaxMatch || key[i] >= ring_[p + i];

    if (i >= kLzhMinMatch) {
      const int position = ((r - p) & kRingMask) - 1;
      if (i > MatchLength) {
        MatchPosition = position;
        MatchLength = i;
        if (i >= kLzhMaxMatch) break;
      } else if (i == MatchLength && position < MatchPosition) {
        MatchPosition = position;
      }
    }
  }
  // Node p holds the same 60 bytes: r takes its place.
  parent_[r] = parent_[p];
  left_[r] = left_[p];
  right_[r] = right_[p];
  parent_[left_[p]] = static_cast<std::uint16_t>(r);
  parent_[right_[p]] = static_cast<std::uint16_t>(r);
  if (right_[parent_[p]] == p)
    right_[parent_[p]] = static_cast<std::uint16_t>(r);
  else
    left_[parent_[p]] = static_cast<std::uint16_t>(r);
  parent_[p] = kNil;
}

// Unlinks node p. With two children its place goes to the rightmost node of
// its left subtree.
void LzhMatchFinder::Delete(int p) {
  if (parent_[p] == kNil) return;
  int q;
  if (right_[p] == kNil) {
    q = left_[p];
  } else if (left_[p] == kNil) {
    q = right_[p];
  } else {
    q = left_[p];
    if (right_[q] != kNil) {
      do q = right_[q];
      while (right_[q] != kNil);
      right_[parent_[q]] = left_[q];
      parent_[left_[q]] = parent_[q];
      left_[q] = left_[p];
      parent_[left_[p]] = static_cast<std::uint16_t>(q);
    }
    right_[q] = right_[p];
    parent_[right_[p]] = static_cast<std::uint16_t>(q);
  }
  parent_[q] = parent_[p];
  if (right_[parent_[p]] == p)
    right_[parent_[p]] = static_cast<std::uint16_t>(q);
  else
    left_[parent_[p]] = static_cast<std::uint16_t>(q);
  parent_[p] = kNil;
}

// Slides the input through the ring: at each position sends either the
// longest earlier match (length symbol, then its position) or one literal,
// then moves the window on by as many bytes.
void LzhCoder::Compress(ByteSpan input, Bytes& output) {
  if (input.empty()) return;
  tree_.Start();
  finder_.Start();
  BitWriter writer(output);

  const auto sendSymbol = [&](int symbol) {
    std::uint32_t code;
    int length;
    tree_.Code(symbol, code, length);
    writer.Put(code, length);
    tree_.Update(symbol);
  };
  const auto sendPosition = [&](int position) {
    const PrefixCode& prefix = kPrefixCodes[position >> 6];
    writer.Put(prefix.bits, prefix.length);
    writer.Put(static_cast<std::uint32_t>(position & 63), 6);
  };

  std::size_t next = 0;
  int s = 0;
  int r = kFirstTextPosition;
  int length = 0;
  while (length < kLzhMaxMatch && next < input.size()) finder_.Store(r + length++, input[next++]);
  for (int i = 1; i <= kLzhMaxMatch; ++i) finder_.Insert(r - i);
  finder_.Insert(r);

  do {
    if (finder_.MatchLength > length) finder_.MatchLength = length;
    if (finder_.MatchLength < kLzhMinMatch) {
      finder_.MatchLength = 1;
      sendSymbol(finder_.At(r));
    } else {
      sendSymbol(256 - kLzhMinMatch + finder_.MatchLength);
      sendPosition(finder_.MatchPosition);
    }
    const int last = finder_.MatchLength;
    int i = 0;
    for (; i < last && next < input.size(); ++i) {
      finder_.Delete(s);
      finder_.Store(s, input[next++]);
      s = (s + 1) & kRingMask;
      r = (r + 1) & kRingMask;
      finder_.Insert(r);
    }
    for (; i < last; ++i) {
      finder_.Delete(s);
      s = (s + 1) & kRingMask;
      r = (r + 1) & kRingMask;
      if (--length != 0) finder_.Insert(r);
    }
  } while (length > 0);
  writer.Flush();
}

// Decodes symbols until the fetched bytes reach the stream's size: literals
// go out as they are, a match copies bytes from the ring.
void LzhCoder::Decompress(ByteSpan stream, std::size_t start, Bytes& output, std::size_t maxOutput) {
  const std::size_t limit = stream.size();
  if (limit == 0) return;
  tree_.Start();
  BitReader reader(stream, start);
  ring_.fill(0);
  std::fill(ring_.begin(), ring_.begin() + kFirstTextPosition, ' ');
  int r = kFirstTextPosition;
  std::size_t produced = 0;

  const auto emit = [&](std::uint8_t byte) {
    output.push_back(byte);
    ++produced;
    ring_[r] = byte;
    r = (r + 1) & kRingMask;
  };

  while (reader.Fetched() < limit && produced < maxOutput) {
    int node = tree_.Child(kLzhRoot);
    while (node < kLzhNodes) node = tree_.Child(node + reader.Bit());
    const int symbol = node - kLzhNodes;
    tree_.Update(symbol);

    if (symbol < 256) {
      emit(static_cast<std::uint8_t>(symbol));
      continue;
    }
    int bits = reader.Byte();
    const PrefixDecode& prefix = kPrefixDecodes[bits];
    for (int n = prefix.length - 2; n > 0; --n) bits = (bits << 1) + reader.Bit();
    const int position = (prefix.value << 6) | (bits & 63);

    const int from = (r - position - 1) & kRingMask;
    const int count = symbol - 256 + kLzhMinMatch;
    for (int k = 0; k < count && produced < maxOutput; ++k) emit(ring_[(from + k) & kRingMask]);
  }
}

void LZHCompress(ByteSpan input, Bytes& output) {
  LzhCoder coder;
  coder.Compress(input, output);
}

void LZHDecompress(ByteSpan stream, std::size_t start, Bytes& output, std::size_t maxOutput) {
  LzhCoder coder;
  coder.Decompress(stream, start, output, maxOutput);
}

}  // namespace velloran
