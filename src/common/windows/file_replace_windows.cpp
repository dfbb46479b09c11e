// The Windows side of WriteFileAtomic: the data go to a temporary file beside
// the target, are flushed to the disk, and the temporary file then replaces
// the target in one step (MoveFileExW). A refused or interrupted save leaves
// the old file as it was.
#include <windows.h>

#include <algorithm>

#include "common/file_replace.h"
#include "common/system.h"
#include "common/utf8_path.h"

namespace velloran {

namespace {

// NTFS and FAT allow 255 UTF-16 units; counting UTF-8 bytes instead stays within it.
constexpr std::size_t kNameMax = 255;
constexpr int kCreateAttempts = 100;
// The attributes a replaced file keeps (read-only files are refused before).
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

bool WriteAll(HANDLE handle, ByteSpan data) {
  std::size_t written = 0;
  while (written < data.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - written, 1u << 30));
    DWORD count = 0;
    if (!WriteFile(handle, data.data() + written, chunk, &count, nullptr)) return false;
    if (count == 0) {
      SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    written += count;
  }
  return true;
}

// Windows has no gathering write for ordinary files: the pieces go out joined.
bool WriteAll(HANDLE handle, BytePieces pieces) {
  Bytes joined;
  for (const ByteSpan piece : pieces) joined.insert(joined.end(), piece.begin(), piece.end());
  return WriteAll(handle, ByteSpan(joined));
}

// Closes the handle; a failure of the close counts when everything before went well.
bool CloseKeepingError(HANDLE handle, bool ok, DWORD& errorCode) {
  if (!ok) errorCode = GetLastError();
  if (!CloseHandle(handle) && ok) {
    errorCode = GetLastError();
    return false;
  }
  return ok;
}

bool ProcessIsRunning(long processId) {
  if (processId <= 0) return false;
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(processId));
  // A process we may not open still exists.
  if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
  const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return running;
}

}  // namespace

void SyncFolder(const std::filesystem::path&) {}

void RemoveStaleTemporaries(const std::filesystem::path& folder, const TemporaryMatcher& matches) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    const auto unique = matches(PathToUtf8(entry.path().filename()));
    if (!unique) continue;
    const auto processId = ProcessIdOfUniquePart(*unique);
    if (!processId || ProcessIsRunning(*processId)) continue;
    if (entry.is_regular_file(ec)) DeleteFileW(entry.path().c_str());
  }
}

bool WriteInPlace(const std::filesystem::path& file, BytePieces pieces, std::string& error) {
  const HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = CannotWriteMessage(file, SystemErrorText(GetLastError()));
    return false;
  }
  DWORD errorCode = 0;
  if (CloseKeepingError(handle, WriteAll(handle, pieces), errorCode)) return true;
  error = CannotWriteMessage(file, SystemErrorText(errorCode));
  return false;
}

bool ReplaceRegularFile(const std::filesystem::path& target, BytePieces pieces, std::string& error) {
  // A file marked read-only is kept as it is, as Windows keeps it from
  // programs that write into it.
  const DWORD attributes = GetFileAttributesW(target.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    error = ReadOnlyMessage(target);
    return false;
  }
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  const TemporaryNames names(PathToUtf8(target.filename()), kNameMax);
  RemoveStaleTemporariesOf(folder, names);

  // FILE_ATTRIBUTE_NORMAL counts only alone.
  const DWORD kept = exists ? attributes & kKeptAttributes : 0;
  const DWORD createAttributes = kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL;
  std::filesystem::path temporary;
  HANDLE handle = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < kCreateAttempts && handle == INVALID_HANDLE_VALUE; ++attempt) {
    temporary = folder / PathFromUtf8(names.Make(MakeUniquePart(CurrentProcessId())));
    handle = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, createAttributes, nullptr);
    if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (handle == INVALID_HANDLE_VALUE) {
    error = CannotCreateMessage(target, SystemErrorText(GetLastError()));
    return false;
  }
  DWORD errorCode = 0;
  bool ok = WriteAll(handle, pieces) && FlushFileBuffers(handle);
  ok = CloseKeepingError(handle, ok, errorCode);
  // A target another program holds open without sharing refuses the move
  // (sharing violation); the old file stays.
  if (ok && !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    errorCode = GetLastError();
    ok = false;
  }
  if (!ok) {
    DeleteFileW(temporary.c_str());
    error = CannotWriteMessage(target, SystemErrorText(errorCode));
    return false;
  }
  return true;
}

}  // namespace velloran
