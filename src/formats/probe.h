// Content probes: each image format looks at a file (or a folder, for formats
// made of several files) and says how sure it is that the file is one of its.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "common/bytes.h"

namespace velloran {

// How sure a probe is, weakest first. Only the file's size or name fitting is
// the weakest claim; fields that only this format has in those places are
// stronger; a signature the format writes is the strongest.
enum class Confidence { None, SizeOrExtension, Fields, Signature };

// The bytes a probe is shown: enough for any header, never the whole of a
// large file.
inline constexpr std::size_t kProbeHeadSize = 64 * 1024;

struct ProbeInput {
  std::filesystem::path file;  // the file or folder offered
  ByteSpan head;               // its first bytes, at most kProbeHeadSize; empty for a folder
  std::uintmax_t size = 0;     // its length in bytes; 0 for a folder
};

// Whether the head starts with these bytes.
inline bool HeadStartsWith(ByteSpan head, std::string_view text) {
  if (head.size() < text.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (head[i] != static_cast<std::uint8_t>(text[i])) return false;
  return true;
}

}  // namespace velloran
