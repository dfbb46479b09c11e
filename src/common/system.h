// The few things the core asks of the operating system that differ between
// systems; each is implemented once per system (posix/, windows/).
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace velloran {

// The program's arguments after its name, as UTF-8 text. On Windows they are
// taken from the wide command line, since argv there is in the ANSI code page.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Makes the console show the program's UTF-8 output (Windows consoles use
// an OEM code page otherwise); nothing to do elsewhere.
void UseUtf8Console();

// Whether standard error goes to a terminal (rather than a file or a pipe).
bool StandardErrorIsTerminal();

// The local time of `time`; false when the system cannot tell it.
bool LocalTime(std::time_t time, std::tm& local);

// The id of this process.
long CurrentProcessId();

// Asks the memory allocator to keep what is freed for the next allocations
// instead of handing it back to the system at once: many jobs in a row (a
// batch conversion) then reuse their memory rather than have every page
// faulted in and zeroed again. The memory goes back when the process ends.
void KeepFreedMemory();

// Asks for the heap in transparent huge pages (2 MiB), so that a job that
// fills megabytes (the flux of a disk) has a few pages faulted in and zeroed
// rather than thousands: one heap for all threads, grown in large steps that
// cost address space only until touched. For a short-lived process (the
// command line); called first thing in main. Nothing to do on Windows, under
// a sanitizer (it brings its own allocator), or when the process's data or
// address space is limited (the steps would count against the limit).
void UseLargePages();

// A folder only this user may enter, for sockets and other private files.
// POSIX: the runtime folder ($XDG_RUNTIME_DIR) when it is a directory of this
// user's with no access for group or others; else "velloran-UID" in the
// temporary folder, made with mode 0700 when missing and checked the same way
// (a link, another owner or a wider mode is refused). Empty when neither is
// private: the caller then does without. Windows: the user's own temporary
// folder.
std::filesystem::path PrivateRuntimeFolder();

// The system's own text for one of its error codes (errno values on POSIX,
// GetLastError values on Windows), as UTF-8.
std::string SystemErrorText(std::uint32_t code);

// The text of an error code as UTF-8: the system's own for its codes (the C++
// library's text for them is in the ANSI code page on Windows).
inline std::string ErrorCodeText(const std::error_code& code) {
  return code.category() == std::system_category() ? SystemErrorText(static_cast<std::uint32_t>(code.value()))
                                                   : code.message();
}

}  // namespace velloran
