// Pieces of JSON output for scripts.
#pragma once

#include <string>
#include <string_view>

namespace velloran::cli {

// The text as a JSON string: in double quotes, with quotes, backslashes and
// control characters escaped. Valid UTF-8 passes through as it is; a byte
// that is not part of a valid UTF-8 sequence (a file name in another code
// page, say) becomes U+FFFD, so the output is always valid JSON.
std::string JsonString(std::string_view text);

}  // namespace velloran::cli
