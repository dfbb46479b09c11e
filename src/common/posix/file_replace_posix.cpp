// The POSIX side of WriteFileAtomic: writing into devices and FIFOs, and
// replacing a regular file through a temporary file beside it.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include "common/file_replace.h"
#include "common/system.h"

namespace velloran {

namespace {

constexpr std::size_t kUsualNameMax = 255;
constexpr int kCreateAttempts = 100;

// Writes all the pieces in order, as many at a time as the system takes in
// one writev; false with errno set when the system refuses.
bool WriteAll(int fd, BytePieces pieces) {
  std::vector<iovec> pending;
  pending.reserve(pieces.size());
  for (const ByteSpan piece : pieces)
    if (!piece.empty()) pending.push_back({const_cast<std::uint8_t*>(piece.data()), piece.size()});
  std::size_t first = 0;
  while (first < pending.size()) {
    const auto count = static_cast<int>(std::min<std::size_t>(pending.size() - first, IOV_MAX));
    const ssize_t n = ::writev(fd, &pending[first], count);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    // Skips what went out: whole pieces, then the start of a piece cut short.
    auto written = static_cast<std::size_t>(n);
    while (first < pending.size() && written >= pending[first].iov_len) written -= pending[first++].iov_len;
    if (written > 0) {
      pending[first].iov_base = static_cast<std::uint8_t*>(pending[first].iov_base) + written;
      pending[first].iov_len -= written;
    }
  }
  return true;
}

// Closes fd; a failure of the close counts when everything before went well.
bool CloseKeepingError(int fd, bool ok, int& errorNumber) {
  if (!ok) errorNumber = errno;
  if (::close(fd) != 0 && ok) {
    errorNumber = errno;
    return false;
  }
  return ok;
}

std::size_t MaxNameLength(const std::filesystem::path& folder) {
  const long length = ::pathconf(folder.c_str(), _PC_NAME_MAX);
  return length > 0 ? static_cast<std::size_t>(length) : kUsualNameMax;
}

bool ProcessIsRunning(long processId) {
  return processId > 0 && (::kill(static_cast<pid_t>(processId), 0) == 0 || errno == EPERM);
}

// Owner and group together need privilege, the group alone membership of
// it; what the system refuses stays as created (the saving user's).
void KeepOwner(int fd, const struct stat& old) {
  if (::fchown(fd, old.st_uid, old.st_gid) == 0) return;
  if (::fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0) return;
}

// Gives the new file the owner, group and mode of the old one. The mode
// comes last: changing the owner clears the set-id bits. File systems
// without owners and modes (FAT on a memory stick) refuse both; the file is
// still written.
void KeepAttributes(int fd, const struct stat& old) {
  struct stat now {};
  if (::fstat(fd, &now) == 0 && (now.st_uid != old.st_uid || now.st_gid != old.st_gid)) KeepOwner(fd, old);
  ::fchmod(fd, old.st_mode & 07777);
}

}  // namespace

// Some file systems cannot sync a folder; the files themselves are on the
// disk already, so this is done as far as the system allows.
void SyncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

void RemoveStaleTemporaries(const std::filesystem::path& folder, const TemporaryMatcher& matches) {
  DIR* entries = ::opendir(folder.c_str());
  if (entries == nullptr) return;
  while (const dirent* entry = ::readdir(entries)) {
    const auto unique = matches(entry->d_name);
    if (!unique) continue;
    const auto processId = ProcessIdOfUniquePart(*unique);
    if (!processId || ProcessIsRunning(*processId)) continue;
    struct stat info {};
    if (::fstatat(::dirfd(entries), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode))
      ::unlinkat(::dirfd(entries), entry->d_name, 0);
  }
  ::closedir(entries);
}

bool WriteInPlace(const std::filesystem::path& file, BytePieces pieces, std::string& error) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    error = CannotWriteMessage(file, SystemErrorText(errno));
    return false;
  }
  int errorNumber = 0;
  if (CloseKeepingError(fd, WriteAll(fd, pieces), errorNumber)) return true;
  error = CannotWriteMessage(file, SystemErrorText(errorNumber));
  return false;
}

bool ReplaceRegularFile(const std::filesystem::path& target, BytePieces pieces, std::string& error) {
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists) {
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
      error = NoWriteAccessMessage(target, SystemErrorText(errno));
      return false;
    }
    // The superuser passes the access test; a file without any write
    // permission was still marked read-only on purpose.
    if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
      error = ReadOnlyMessage(target);
      return false;
    }
  }
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  const TemporaryNames names(target.filename().string(), MaxNameLength(folder));
  RemoveStaleTemporariesOf(folder, names);

  // Created no more open than the old file, so that nobody may open it for
  // reading before the old file's mode is in place.
  const mode_t createMode = exists ? (old.st_mode & 0666) : 0666;
  std::filesystem::path temporary;
  int fd = -1;
  for (int attempt = 0; attempt < kCreateAttempts && fd < 0; ++attempt) {
    temporary = folder / names.Make(MakeUniquePart(CurrentProcessId()));
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, createMode);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    error = CannotCreateMessage(target, SystemErrorText(errno));
    return false;
  }
  int errorNumber = 0;
  if (exists) KeepAttributes(fd, old);
  bool ok = WriteAll(fd, pieces) && ::fsync(fd) == 0;
  ok = CloseKeepingError(fd, ok, errorNumber);
  if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) {
    errorNumber = errno;
    ok = false;
  }
  if (!ok) {
    ::unlink(temporary.c_str());
    error = CannotWriteMessage(target, SystemErrorText(errorNumber));
    return false;
  }
  SyncFolderAfterReplace(folder);
  return true;
}

}  // namespace velloran
