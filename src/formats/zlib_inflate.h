// Unpacking zlib streams (RFC 1950) of a known unpacked size, as image
// formats with compressed tracks store them.
#pragma once

#include <cstddef>

#include "common/bytes.h"

namespace velloran {

// Unpacks the zlib stream at the start of `input`, which must unpack to
// exactly `size` bytes and end inside `input`. On success `output` holds the
// bytes and `consumed` the length of the stream, so that what follows it can
// be read; on a damaged, short or longer stream returns false.
bool InflateStream(ByteSpan input, std::size_t size, Bytes& output, std::size_t& consumed);

}  // namespace velloran
