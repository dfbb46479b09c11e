#include "formats/zlib_inflate.h"

#include <zlib.h>

#include <limits>

namespace velloran {

bool InflateStream(ByteSpan input, std::size_t size, Bytes& output, std::size_t& consumed) {
  if (input.size() > std::numeric_limits<uInt>::max() || size > std::numeric_limits<uInt>::max()) return false;
  output.assign(size, 0);
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return false;
  // zlib takes a non-const pointer but only reads the input.
  stream.next_in = const_cast<Bytef*>(input.data());
  stream.avail_in = static_cast<uInt>(input.size());
  stream.next_out = output.data();
  stream.avail_out = static_cast<uInt>(size);
  const int result = inflate(&stream, Z_FINISH);
  // A stream whose unpacked bytes fill the output exactly ends with
  // Z_STREAM_END; one that would go on is too long.
  const bool whole = result == Z_STREAM_END && stream.total_out == size;
  consumed = stream.total_in;
  inflateEnd(&stream);
  return whole;
}

}  // namespace velloran
