#include "common/system.h"

#include <unistd.h>

#include <system_error>

namespace velloran {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>{};
}

void UseUtf8Console() {}

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) != 0; }

bool LocalTime(std::time_t time, std::tm& local) { return localtime_r(&time, &local) != nullptr; }

long CurrentProcessId() { return static_cast<long>(::getpid()); }

std::string SystemErrorText(std::uint32_t code) { return std::system_category().message(static_cast<int>(code)); }

}  // namespace velloran
