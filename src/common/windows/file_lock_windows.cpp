// The Windows side of FileLock. Windows cannot replace a file that another
// handle holds open, and the save replaces the image, so the lock is not held
// on the image itself: it is a companion file beside it ("IMAGE.lock"), opened
// for this process alone and deleted when its handle closes. A second command
// finds it in use and waits.
#include <windows.h>

#include "common/file_lock.h"
#include "common/system.h"

namespace velloran {

namespace {

constexpr DWORD kRetryMilliseconds = 100;
constexpr int kDenials = 20;

HANDLE OpenCompanion(const std::filesystem::path& file) {
  std::filesystem::path companion = file;
  companion += L".lock";
  return CreateFileW(companion.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                     FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

}  // namespace

FileLock::~FileLock() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool FileLock::Acquire(const std::filesystem::path& file, std::string& error, const std::function<void()>& waiting) {
  // The image must be there to be changed.
  const HANDLE image = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (image == INVALID_HANDLE_VALUE) {
    error = SystemErrorText(GetLastError());
    return false;
  }
  CloseHandle(image);
  bool told = false;
  // Access is denied for a moment while the last holder's companion is being
  // deleted, and for good in a folder this user may not write to.
  int denials = 0;
  while (true) {
    const HANDLE handle = OpenCompanion(file);
    if (handle != INVALID_HANDLE_VALUE) {
      handle_ = reinterpret_cast<std::intptr_t>(handle);
      return true;
    }
    const DWORD code = GetLastError();
    const bool busy = code == ERROR_SHARING_VIOLATION || (code == ERROR_ACCESS_DENIED && ++denials < kDenials);
    if (!busy) {
      error = SystemErrorText(code);
      return false;
    }
    if (!told && waiting) waiting();
    told = true;
    Sleep(kRetryMilliseconds);
  }
}

}  // namespace velloran
