#include "common/system.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include <io.h>
#include <stdio.h>

#include "common/windows/wide_text.h"

namespace velloran {

std::vector<std::string> Utf8Arguments(int, char**) {
  std::vector<std::string> arguments;
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  if (words == nullptr) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(Utf8FromWide(words[i]));
  LocalFree(words);
  return arguments;
}

void UseUtf8Console() { SetConsoleOutputCP(CP_UTF8); }

bool StandardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

bool LocalTime(std::time_t time, std::tm& local) { return localtime_s(&local, &time) == 0; }

long CurrentProcessId() { return static_cast<long>(GetCurrentProcessId()); }

// The Windows heap keeps freed blocks for reuse by itself.
void KeepFreedMemory() {}

void UseLargePages() {}

std::filesystem::path PrivateRuntimeFolder() {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
  return error ? std::filesystem::path() : folder;
}

std::string SystemErrorText(std::uint32_t code) {
  wchar_t* buffer = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  if (length == 0 || buffer == nullptr) return "error " + std::to_string(code);
  std::wstring_view text(buffer, length);
  // The system's texts end with a full stop and a line break.
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.'))
    text.remove_suffix(1);
  std::string utf8 = Utf8FromWide(text);
  LocalFree(buffer);
  return utf8;
}

}  // namespace velloran
