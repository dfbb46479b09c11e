// An advisory lock on a file for a command that reads, changes and saves it
// again (put, rm, compact): a second such command on the same file waits
// until the first has saved, so that neither change is lost. A save replaces
// the file: on POSIX the lock is held on the file the name shows once the lock
// was granted; on Windows, which cannot replace a file held open, on a
// companion file beside it. Only commands that take the lock are kept apart.
// The system calls are in one file per system (posix/, windows/).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace velloran {

class FileLock {
 public:
  FileLock() = default;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock();  // releases the lock

  // Waits for the lock on `file`, calling `waiting` first when another
  // holder makes it wait. False with the system's reason in `error` when the
  // file cannot be opened or locked.
  bool Acquire(const std::filesystem::path& file, std::string& error, const std::function<void()>& waiting = {});

 private:
  std::intptr_t handle_ = -1;  // the open, locked file; -1: none
};

}  // namespace velloran
