// Atomic file writing on Windows: the data go to a temporary file beside the
// target, are flushed to the disk, and the temporary file then replaces the
// target in one step (MoveFileExW). A refused or interrupted save leaves the
// old file as it was.
#include "common/file_io.h"

#include <windows.h>

#include <algorithm>
#include <random>

#include "common/system.h"
#include "common/utf8_path.h"

namespace velloran {

namespace {

std::filesystem::path TemporaryBeside(const std::filesystem::path& file) {
  std::random_device seed;
  std::filesystem::path name = file.filename();
  name += ".tmp" + std::to_string(seed() % 1000000);
  return file.parent_path() / name;
}

bool WriteAll(HANDLE handle, ByteSpan data) {
  std::size_t written = 0;
  while (written < data.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - written, 1u << 30));
    DWORD count = 0;
    if (!WriteFile(handle, data.data() + written, chunk, &count, nullptr) || count == 0) return false;
    written += count;
  }
  return true;
}

}  // namespace

bool WriteFileAtomic(const std::filesystem::path& file, ByteSpan data, std::string& error) {
  // A file marked read-only is kept as it is, as Windows keeps it from
  // programs that write into it.
  const DWORD attributes = GetFileAttributesW(file.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    error = "Cannot write file " + PathToUtf8(file) + ": " + SystemErrorText(ERROR_ACCESS_DENIED);
    return false;
  }
  const auto temporary = TemporaryBeside(file);
  const HANDLE handle =
      CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = "Cannot create file " + PathToUtf8(file) + ": " + SystemErrorText(GetLastError());
    return false;
  }
  bool ok = WriteAll(handle, data) && FlushFileBuffers(handle);
  DWORD code = ok ? 0 : GetLastError();
  ok = CloseHandle(handle) && ok;
  if (ok && !MoveFileExW(temporary.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ok = false;
    code = GetLastError();
  }
  if (!ok) {
    DeleteFileW(temporary.c_str());
    error = "Cannot write file " + PathToUtf8(file) + ": " + SystemErrorText(code);
  }
  return ok;
}

}  // namespace velloran
