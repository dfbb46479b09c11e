#include "support/test_support.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velloran::test {

ScratchDir::ScratchDir() {
  std::random_device seed;
  path_ = std::filesystem::temp_directory_path() /
          ("velloran-test-" + std::to_string(::getpid()) + "-" + std::to_string(seed()));
  std::filesystem::create_directories(path_);
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path CorpusFile(const std::string& relative) {
  return std::filesystem::path(VELLORAN_CORPUS_DIR) / relative;
}

void CopyCorpusFile(const std::string& relative, const std::filesystem::path& target) {
  std::filesystem::copy_file(CorpusFile(relative), target, std::filesystem::copy_options::overwrite_existing);
  std::filesystem::permissions(target, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
}

std::vector<std::filesystem::path> CorpusFiles(const std::string& folder) {
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(CorpusFile(folder), ec))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

Bytes ReadFileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::filesystem::path& file, ByteSpan data) {
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

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

RunResult RunCli(const std::vector<std::string>& args) { return RunProgram(VELLORAN_CLI, args); }

bool HaveProgram(const std::string& name) { return RunProgram("sh", {"-c", "command -v " + name}).exitCode == 0; }

}  // namespace velloran::test
