#include "support/test_support.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include <gtest/gtest.h>

namespace velloran::test {

std::vector<std::string> English(const std::vector<Diagnostic>& diagnostics) {
  std::vector<std::string> texts;
  for (const Diagnostic& diagnostic : diagnostics) texts.push_back(English(diagnostic));
  return texts;
}

std::vector<std::string> Russian(const std::vector<Phrase>& phrases) {
  std::vector<std::string> texts;
  for (const Phrase& phrase : phrases) texts.push_back(RenderPhrase(Language::Russian, phrase));
  return texts;
}

namespace {

// Programs the tests start speak English whatever the locale of the person
// running the tests; a test that expects Russian sets the locale itself.
class LocaleEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    SetEnvironment("LANGUAGE", "");
    SetEnvironment("LC_MESSAGES", "");
    SetEnvironment("LC_ALL", "C.UTF-8");
  }
};

const auto* const kLocaleEnvironment = ::testing::AddGlobalTestEnvironment(new LocaleEnvironment);

}  // namespace

ScratchDir::ScratchDir() {
  std::random_device seed;
  path_ = std::filesystem::temp_directory_path() /
          ("velloran-test-" + std::to_string(seed()) + "-" + std::to_string(seed()));
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

int EntriesIn(const std::filesystem::path& folder) {
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++entries;
  return entries;
}

void WriteFileBytes(const std::filesystem::path& file, ByteSpan data) {
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

RunResult RunCli(const std::vector<std::string>& args) { return RunProgram(VELLORAN_CLI, args); }

ScopedEnvironment::ScopedEnvironment(const std::string& name, const std::string& value) : name_(name) {
  if (const char* old = std::getenv(name.c_str())) old_ = old;
  SetEnvironment(name, value);
}

ScopedEnvironment::~ScopedEnvironment() { SetEnvironment(name_, old_); }

}  // namespace velloran::test
