// The Windows side of FileLock: LockFileEx on one byte far past the end of
// the file, so that reading the file through another handle stays possible
// (a locked range cannot be read, not even by the process holding it).
#include <windows.h>

#include "common/file_lock.h"
#include "common/system.h"

namespace velloran {

namespace {

constexpr int kAttempts = 100;  // files replaced while this one waited
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;

HANDLE OpenShared(const std::filesystem::path& file, DWORD access) {
  return CreateFileW(file.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool LockRange(HANDLE handle, DWORD flags) {
  OVERLAPPED where{};
  where.OffsetHigh = kLockOffsetHigh;
  return LockFileEx(handle, flags, 0, 1, 0, &where) != 0;
}

// Whether the open file is still the one the name shows.
bool StillNamed(HANDLE handle, const std::filesystem::path& file) {
  const HANDLE named = OpenShared(file, 0);
  if (named == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION a{};
  BY_HANDLE_FILE_INFORMATION b{};
  const bool same = GetFileInformationByHandle(handle, &a) && GetFileInformationByHandle(named, &b) &&
                    a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
                    a.nFileIndexLow == b.nFileIndexLow;
  CloseHandle(named);
  return same;
}

}  // namespace

FileLock::~FileLock() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool FileLock::Acquire(const std::filesystem::path& file, std::string& error, const std::function<void()>& waiting) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const HANDLE handle = OpenShared(file, GENERIC_READ);
    if (handle == INVALID_HANDLE_VALUE) {
      error = SystemErrorText(GetLastError());
      return false;
    }
    if (!LockRange(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY)) {
      if (waiting) waiting();
      if (!LockRange(handle, LOCKFILE_EXCLUSIVE_LOCK)) {
        error = SystemErrorText(GetLastError());
        CloseHandle(handle);
        return false;
      }
    }
    if (StillNamed(handle, file)) {
      handle_ = reinterpret_cast<std::intptr_t>(handle);
      return true;
    }
    CloseHandle(handle);  // replaced by the holder's save while this one waited: lock the new file
  }
  error = "the file is replaced again and again";
  return false;
}

}  // namespace velloran
