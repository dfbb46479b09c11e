#include "common/system.h"

#include <sys/stat.h>
#include <unistd.h>

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
