#include "formats/zlib_inflate.h"

#include <zlib.h>

#include <algorithm>
#include <array>
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

bool InflatePieces(ByteSpan input, std::size_t size, const std::function<void(ByteSpan)>& take) {
  if (input.size() > std::numeric_limits<uInt>::max() || size > std::numeric_limits<uInt>::max()) return false;
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return false;
  stream.next_in = const_cast<Bytef*>(input.data());
  stream.avail_in = static_cast<uInt>(input.size());
  std::array<std::uint8_t, kInflatePiece> piece;
  int result = Z_OK;
  // The last piece is exactly what is left, so that a stream longer than
  // `size` stops short of its end and is refused.
  while (result == Z_OK && stream.total_out < size) {
    const std::size_t want = std::min(piece.size(), size - stream.total_out);
    stream.next_out = piece.data();
    stream.avail_out = static_cast<uInt>(want);
    result = inflate(&stream, Z_NO_FLUSH);
    const std::size_t made = want - stream.avail_out;
    if (made > 0) take(ByteSpan(piece.data(), made));
    if (result == Z_OK && made < want) break;  // no progress: the input ran out
  }
  const bool whole = result == Z_STREAM_END && stream.total_out == size;
  inflateEnd(&stream);
  return whole;
}

}  // namespace velloran
