// The file side shared by every image reader and writer: reading the whole
// file before parsing it, and writing the finished bytes atomically.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "common/bytes.h"
#include "common/file_io.h"
#include "model/disk.h"

namespace velloran {

// Reads the whole image file into `data`. A file that is missing, no file,
// larger than `maxSize` or unreadable leaves a message in LastError that names
// the file and the system's reason; the disk is not touched then.
bool ReadImageFile(TZX_Disk& disk, const std::filesystem::path& file, Bytes& data,
                   std::uintmax_t maxSize = kMaxImageFileSize);

// The sides a writer that lays out cylinders gives the disk: 2 when a track
// of the second side (an odd track) is present, else 1, so that a one-sided
// disk comes back one-sided.
int SidesToWrite(const TZX_Disk& disk);

// Replaces `file` with `data`, or with the pieces in order, atomically; on
// failure the message goes to LastError.
bool WriteImageFile(TZX_Disk& disk, const std::filesystem::path& file, BytePieces pieces);
inline bool WriteImageFile(TZX_Disk& disk, const std::filesystem::path& file, ByteSpan data) {
  const ByteSpan whole[] = {data};
  return WriteImageFile(disk, file, BytePieces(whole));
}

}  // namespace velloran
