#include "common/system.h"

#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

#include <system_error>

namespace velloran {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>{};
}

void UseUtf8Console() {}

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) != 0; }

bool LocalTime(std::time_t time, std::tm& local) { return localtime_r(&time, &local) != nullptr; }

long CurrentProcessId() { return static_cast<long>(::getpid()); }

#ifdef __GLIBC__
namespace {
constexpr int kLargestHeapBlock = 32 * 1024 * 1024;  // glibc's own upper bound for serving blocks with mmap
}  // namespace
#endif

// glibc trims the top of each arena past 128 KiB and serves blocks from 128
// KiB up (the size of a disk's slot table or an image file) with mmap of
// their own; both limits are raised past anything one job allocates.
void KeepFreedMemory() {
#ifdef __GLIBC__
  constexpr int kKeptBytes = 256 * 1024 * 1024;
  ::mallopt(M_TRIM_THRESHOLD, kKeptBytes);
  ::mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock);
#endif
}

// One heap for every thread (glibc gives threads arenas of their own, which
// would not be advised), every block in it (none mapped apart), grown in
// steps of kHeapStep, and the step advised as transparent huge pages.
void UseLargePages() {
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
  constexpr int kHeapStep = 64 * 1024 * 1024;
  constexpr std::size_t kProbe = 1024 * 1024;  // more than the heap has spare: it grows
  constexpr std::uintptr_t kLargePage = 2 * 1024 * 1024;
  constexpr int kGlibcTopPad = 128 * 1024;  // glibc's own step
  // A process whose memory is limited keeps the allocator as it is: each
  // step would count against the limit in full.
  for (const int limit : {RLIMIT_DATA, RLIMIT_AS}) {
    rlimit most{};
    if (::getrlimit(limit, &most) != 0 || most.rlim_cur != RLIM_INFINITY) return;
  }
  ::mallopt(M_ARENA_MAX, 1);
  ::mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock);
  ::mallopt(M_TOP_PAD, kHeapStep);
  char* volatile const probe = static_cast<char*>(std::malloc(kProbe));
  const auto top = reinterpret_cast<std::uintptr_t>(probe);
  std::free(probe);  // back to the heap's free top, which now starts there
  const auto heapEnd = reinterpret_cast<std::uintptr_t>(::sbrk(0));
  // A heap that could not grow by a step (the system refused it, and glibc
  // mapped the probe elsewhere or failed) goes on growing as it did.
  if (probe == nullptr || top >= heapEnd || heapEnd - top >= kHeapStep + 2 * kProbe) {
    ::mallopt(M_TOP_PAD, kGlibcTopPad);
    return;
  }
  // The kernel makes a huge page only of a 2 MiB range untouched so far, and
  // the end of the probe was written (the free top's header): the pages
  // advised start past it, and a spacer fills the free top up to them (never
  // freed, never touched past its header) so that the next blocks lie there.
  const std::uintptr_t first = (top + kProbe + kLargePage) & ~(kLargePage - 1);
  if (heapEnd <= first + kLargePage || ::madvise(reinterpret_cast<void*>(first), heapEnd - first, MADV_HUGEPAGE) != 0)
    return;
  void* volatile const spacer = std::malloc(first - top);
  static_cast<void>(spacer);
#endif
}

namespace {

// A directory (not a link to one) of this user's that nobody else may use.
bool IsPrivateFolder(const std::filesystem::path& folder) {
  struct stat info {};
  return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() &&
         (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

}  // namespace

std::filesystem::path PrivateRuntimeFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && *runtime == '/' && IsPrivateFolder(runtime)) return runtime;
  std::error_code error;
  const std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
  if (error) return {};
  const std::filesystem::path own = temporary / ("velloran-" + std::to_string(::geteuid()));
  ::mkdir(own.c_str(), S_IRWXU);  // an existing one is checked like a new one
  return IsPrivateFolder(own) ? own : std::filesystem::path();
}

std::string SystemErrorText(std::uint32_t code) { return std::system_category().message(static_cast<int>(code)); }

}  // namespace velloran
