#include "formats/image_file.h"

#include "common/file_io.h"

namespace velloran {

bool ReadImageFile(TZX_Disk& disk, const std::filesystem::path& file, std::string_view readError, Bytes& data,
                   std::uintmax_t maxSize) {
  auto content = ReadWholeFile(file, maxSize);
  if (!content) {
    disk.LastError = readError;
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
