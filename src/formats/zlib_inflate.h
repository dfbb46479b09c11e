// Unpacking zlib streams (RFC 1950) of a known unpacked size, as image
// formats with compressed tracks store them.
#pragma once

#include <cstddef>
#include <functional>

#include "common/bytes.h"

namespace velloran {

// Unpacks the zlib stream at the start of `input`, which must unpack to
// exactly `size` bytes and end inside `input`. On success `output` holds the
// bytes and `consumed` the length of the stream, so that what follows it can
// be read; on a damaged, short or longer stream returns false.
bool InflateStream(ByteSpan input, std::size_t size, Bytes& output, std::size_t& consumed);

// The same, the bytes handed to `take` a piece at a time as they are
// unpacked (every piece but the last kInflatePiece bytes long), so that no
// buffer of `size` bytes is needed. False as InflateStream, after `take` may
// have seen the pieces before the damage.
inline constexpr std::size_t kInflatePiece = 16384;
bool InflatePieces(ByteSpan input, std::size_t size, const std::function<void(ByteSpan)>& take);

}  // namespace velloran
