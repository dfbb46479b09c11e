// Whole-file reading and atomic whole-file writing.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "common/bytes.h"
#include "common/messages.h"

namespace velloran {

// The largest file any reader accepts; anything bigger is not a disk image.
inline constexpr std::uintmax_t kMaxImageFileSize = 64u * 1024u * 1024u;

// Flux captures are bigger: several revolutions of every track.
inline constexpr std::uintmax_t kMaxFluxFileSize = 160u * 1024u * 1024u;

// Why ReadWholeFile returned nothing.
enum class ReadFailure { None, NotFound, NotRegularFile, TooLarge, CannotRead };

// Reads the whole file. Returns nothing when it does not exist, is not a
// regular file, is larger than `maxSize` or cannot be read; `failure`, when
// given, receives which of these it was, and `reason`, when given, the
// system's reason for a file that cannot be read.
std::optional<Bytes> ReadWholeFile(const std::filesystem::path& file, ReadFailure* failure = nullptr,
                                   std::uintmax_t maxSize = kMaxImageFileSize, std::error_code* reason = nullptr);

// The message for a failed read, naming the file and, when there is one, the
// system's reason; `maxSize` is the cap the read was given.
Phrase ReadFailureMessage(ReadFailure failure, const std::filesystem::path& file,
                          std::uintmax_t maxSize = kMaxImageFileSize, const std::error_code& reason = {});

// Replaces the contents of `file` by `data` so that a failed or interrupted
// save never leaves a torn file or destroys the old one:
// - a regular file, or none yet: the data goes to a temporary file beside it
//   that is then renamed over it. The new file keeps the mode of the old one,
//   and its owner and group where the process may set them; a file the user
//   may not write (or that is marked read-only) is refused.
// - a symbolic link: the file it points to is replaced; the link stays.
// - anything else that exists (a device such as /dev/null, a FIFO): the data
//   is written into it directly, since such a file cannot be replaced.
// Temporary files left by an earlier save of the same file that was killed
// midway are removed. On failure returns false and puts a message naming the
// file and the system's reason into `error`.
bool WriteFileAtomic(const std::filesystem::path& file, BytePieces pieces, std::string& error);
inline bool WriteFileAtomic(const std::filesystem::path& file, ByteSpan data, std::string& error) {
  const ByteSpan whole[] = {data};
  return WriteFileAtomic(file, BytePieces(whole), error);
}

// Many saves into one folder (a batch conversion): the constructor removes the
// temporaries of killed saves of any file in `folder` once, and while it lives
// WriteFileAtomic skips that search, a listing of the whole folder, for each
// file saved there. Each file is still synced before its rename; the folder,
// which makes the renames last through a power cut, is synced once by the
// destructor instead of after every rename. Until then a power cut may keep
// a file's old contents, never a part of the new.
class SaveBatchFolder {
 public:
  explicit SaveBatchFolder(const std::filesystem::path& folder);
  ~SaveBatchFolder();
  SaveBatchFolder(const SaveBatchFolder&) = delete;
  SaveBatchFolder& operator=(const SaveBatchFolder&) = delete;

 private:
  std::filesystem::path folder_;
};

}  // namespace velloran
