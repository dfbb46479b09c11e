// The POSIX side of FileLock: flock on the open file.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/file_lock.h"
#include "common/messages.h"
#include "common/system.h"

namespace velloran {

namespace {

constexpr int kAttempts = 100;  // files replaced while this one waited

std::string SystemReason() { return SystemErrorText(static_cast<std::uint32_t>(errno)); }

int LockWaiting(int fd, int operation) {
  int result = 0;
  do result = ::flock(fd, operation);
  while (result != 0 && errno == EINTR);
  return result;
}

// Whether the open file is still the one the name shows.
bool StillNamed(int fd, const std::filesystem::path& file) {
  struct stat held {};
  struct stat named {};
  return ::fstat(fd, &held) == 0 && ::stat(file.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
         held.st_ino == named.st_ino;
}

}  // namespace

FileLock::~FileLock() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

bool FileLock::Acquire(const std::filesystem::path& file, std::string& error, const std::function<void()>& waiting) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      error = SystemReason();
      return false;
    }
    if (LockWaiting(fd, LOCK_EX | LOCK_NB) != 0) {
      if (errno == EWOULDBLOCK && waiting) waiting();
      if (LockWaiting(fd, LOCK_EX) != 0) {
        error = SystemReason();
        ::close(fd);
        return false;
      }
    }
    if (StillNamed(fd, file)) {
      handle_ = fd;
      return true;
    }
    ::close(fd);  // replaced by the holder's save while this one waited: lock the new file
  }
  error = MessageText(MessageId::FileReplacedRepeatedly);
  return false;
}

}  // namespace velloran
