// The test helpers that differ on POSIX systems: programs run by fork and
// exec with their output going to files in a scratch folder, and the
// environment.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/test_support.h"

namespace velloran::test {

namespace {

std::string ReadAll(int fd) {
  std::string text;
  char buffer[4096];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<std::size_t>(n));
  return text;
}

}  // namespace

RunResult RunProgram(const std::string& program, const std::vector<std::string>& args) {
  ScratchDir scratch;
  const auto outFile = scratch / "stdout";
  const auto errFile = scratch / "stderr";
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int in = ::open("/dev/null", O_RDONLY);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execvp(program.c_str(), argv.data());
    ::_exit(127);
  }
  RunResult result;
  int status = 0;
  ::waitpid(pid, &status, 0);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  const int out = ::open(outFile.c_str(), O_RDONLY);
  const int err = ::open(errFile.c_str(), O_RDONLY);
  if (out >= 0) {
    result.out = ReadAll(out);
    ::close(out);
  }
  if (err >= 0) {
    result.err = ReadAll(err);
    ::close(err);
  }
  return result;
}

bool HaveProgram(const std::string& name) { return RunProgram("sh", {"-c", "command -v " + name}).exitCode == 0; }

const char* const kTemporaryFolderVariable = "TMPDIR";

void SetEnvironment(const std::string& name, const std::string& value) {
  if (value.empty())
    ::unsetenv(name.c_str());
  else
    ::setenv(name.c_str(), value.c_str(), 1);
}

}  // namespace velloran::test
