// Whole-file reading and atomic whole-file writing.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "common/bytes.h"

namespace velloran {

// The largest file any reader accepts; anything bigger is not a disk image.
inline constexpr std::uintmax_t kMaxImageFileSize = 64u * 1024u * 1024u;

// Flux captures are bigger: several revolutions of every track.
inline constexpr std::uintmax_t kMaxFluxFileSize = 160u * 1024u * 1024u;

// Reads the whole file. Returns nothing when it does not exist, is not a
// regular file, is larger than `maxSize` or cannot be read.
std::optional<Bytes> ReadWholeFile(const std::filesystem::path& file, std::uintmax_t maxSize = kMaxImageFileSize);

// Writes `data` to a temporary file in the target's folder and renames it over
// the target, so a failed or interrupted save never damages the old file.
// On failure returns false and puts a message into `error`.
bool WriteFileAtomic(const std::filesystem::path& file, ByteSpan data, std::string& error);

}  // namespace velloran
