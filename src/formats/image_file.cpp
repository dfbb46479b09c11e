#include "formats/image_file.h"

#include "common/file_io.h"

namespace velloran {

bool ReadImageFile(TZX_Disk& disk, const std::filesystem::path& file, Bytes& data, std::uintmax_t maxSize) {
  ReadFailure failure = ReadFailure::None;
  std::error_code reason;
  auto content = ReadWholeFile(file, &failure, maxSize, &reason);
  if (!content) return Fail(disk, ReadFailureMessage(failure, file, maxSize, reason));
  data = std::move(*content);
  return true;
}

int SidesToWrite(const TZX_Disk& disk) {
  for (int t = 1; t < kTrackCount; t += 2)
    if (disk.GetTrack(static_cast<std::uint8_t>(t)).Present) return 2;
  return 1;
}

bool WriteImageFile(TZX_Disk& disk, const std::filesystem::path& file, BytePieces pieces) {
  std::string error;
  if (WriteFileAtomic(file, pieces, error)) return true;
  return Fail(disk, {MessageId::Verbatim, {error}});
}

}  // namespace velloran
