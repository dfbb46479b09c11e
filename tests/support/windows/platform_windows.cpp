// The test helpers that differ on Windows: programs run by CreateProcessW
// with a command line quoted the way the C runtime splits it again, their
// output going to files in a scratch folder, and the environment.
#include <windows.h>

#include <stdlib.h>

#include <fstream>
#include <iterator>

#include "common/windows/wide_text.h"
#include "support/test_support.h"

namespace velloran::test {

namespace {

// One argument as CommandLineToArgvW and the C runtime read it back:
// quoted when it holds blanks or quotes, with the backslashes before a quote
// (or before the closing quote) doubled.
std::wstring Quote(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) return argument;
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    quoted.push_back(c);
    backslashes = 0;
  }
  quoted.append(2 * backslashes, L'\\');
  quoted.push_back(L'"');
  return quoted;
}

HANDLE InheritedFile(const std::filesystem::path& file, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileW(file.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

// What a program printed, with the console's "\r\n" line ends read as
// "\n" so that the tests compare the same text as on POSIX systems.
std::string ReadText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string text(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>{});
  std::string lines;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] != '\r' || i + 1 == text.size() || text[i + 1] != '\n') lines.push_back(text[i]);
  return lines;
}

}  // namespace

RunResult RunProgram(const std::string& program, const std::vector<std::string>& args) {
  ScratchDir scratch;
  std::wstring commandLine = Quote(WideFromUtf8(program));
  for (const auto& argument : args) commandLine += L" " + Quote(WideFromUtf8(argument));

  const HANDLE in = InheritedFile(L"NUL", GENERIC_READ, OPEN_EXISTING);
  const HANDLE out = InheritedFile(scratch / "stdout", GENERIC_WRITE, CREATE_ALWAYS);
  const HANDLE err = InheritedFile(scratch / "stderr", GENERIC_WRITE, CREATE_ALWAYS);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  const bool started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                      &startup, &process) != FALSE;
  for (HANDLE handle : {in, out, err})
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);

  RunResult result;
  result.exitCode = 127;  // as a shell says of a program it cannot start
  if (started) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(process.hProcess, &code)) result.exitCode = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  result.out = ReadText(scratch / "stdout");
  result.err = ReadText(scratch / "stderr");
  return result;
}

// The Debian tools of the cross-checks are never Windows programs: a
// program is there when the search path holds it as an .exe.
bool HaveProgram(const std::string& name) {
  wchar_t found[MAX_PATH];
  return SearchPathW(nullptr, WideFromUtf8(name).c_str(), L".exe", MAX_PATH, found, nullptr) != 0;
}

const char* const kTemporaryFolderVariable = "TMP";

// The C runtime's copy of the environment and the system's both change, and
// an empty value removes the variable.
void SetEnvironment(const std::string& name, const std::string& value) {
  _wputenv_s(WideFromUtf8(name).c_str(), WideFromUtf8(value).c_str());
}

}  // namespace velloran::test
