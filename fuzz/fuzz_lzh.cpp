// Decodes arbitrary LZH streams from a start offset chosen by the first
// byte, and checks that compressing the input and decoding it again gives
// the input back.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "formats/lzh.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velloran;
  const ByteSpan input(data, size);
  Bytes decoded;
  LZHDecompress(input, size > 0 ? data[0] % 16 : 0, decoded, 1u << 16);

  Bytes stream(12, 0);
  LZHCompress(input, stream);
  Bytes unpacked;
  LZHDecompress(stream, 12, unpacked, size + 1000);
  if (unpacked.size() < size || !std::equal(input.begin(), input.end(), unpacked.begin())) __builtin_trap();
  return 0;
}
