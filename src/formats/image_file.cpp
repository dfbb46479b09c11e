#include "formats/image_file.h"

#include "common/file_io.h"

namespace velloran {

bool ReadImageFile(TZX_Disk& disk, const std::filesystem::path& file, std::string_view readError, Bytes& data,
                   std::uintmax_t maxSize) {
  ReadFailure failure = ReadFailure::None;
  auto content = ReadWholeFile(file, &failure, maxSize);
  if (!content) {
    // A missing or unreadable file keeps the format's own message; a folder or
    // a file too big for any image says so.
    const bool fileProblem = failure == ReadFailure::NotRegularFile || failure == ReadFailure::TooLarge;
    disk.LastError = fileProblem ? ReadFailureMessage(failure, file, maxSize) : std::string(readError);
    return false;
  }
  data = std::move(*content);
  return true;
}

bool WriteImageFile(TZX_Disk& disk, const std::filesystem::path& file, ByteSpan data) {
  std::string error;
  if (WriteFileAtomic(file, data, error)) return true;
  disk.LastError = error;
  return false;
}

}  // namespace velloran
