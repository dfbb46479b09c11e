// Helpers shared by the tests: scratch folders, corpus paths, running the CLI.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/bytes.h"
#include "common/diagnostic.h"

namespace velloran::test {

// A fresh empty folder for one test, removed when the object goes away.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// tests/data/corpus/<relative>, the real images made by other tools.
std::filesystem::path CorpusFile(const std::string& relative);
// Copies a corpus file to `target` (replacing it) as a file the test may
// change, whatever the mode of the checked-out corpus.
void CopyCorpusFile(const std::string& relative, const std::filesystem::path& target);
// Every file of one corpus folder ("trd", "udi", ...), sorted.
std::vector<std::filesystem::path> CorpusFiles(const std::string& folder);

Bytes ReadFileBytes(const std::filesystem::path& file);
// SHA-256 of the bytes as 64 lower-case hex digits.
std::string Sha256(ByteSpan data);
void WriteFileBytes(const std::filesystem::path& file, ByteSpan data);
// The diagnostic in English, as the tests compare it.
inline std::string English(const Diagnostic& diagnostic) { return RenderDiagnostic(Language::English, diagnostic); }
inline std::string English(const Phrase& phrase) { return RenderPhrase(Language::English, phrase); }
std::vector<std::string> English(const std::vector<Diagnostic>& diagnostics);
// Phrases in Russian, the language of the source texts.
std::vector<std::string> Russian(const std::vector<Phrase>& phrases);
// Whether `part` occurs in `text`.
inline bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

// How many entries a folder holds (to see that no temporary file is left).
int EntriesIn(const std::filesystem::path& folder);

// Result of running a program: exit code and what it printed.
struct RunResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};
// Runs velloran-cli with the arguments (no shell involved).
RunResult RunCli(const std::vector<std::string>& args);
// Whether a program is on the PATH (for cross-checks with other tools).
bool HaveProgram(const std::string& name);
// Runs a program with arguments; standard output and error are captured.
RunResult RunProgram(const std::string& program, const std::vector<std::string>& args);

// Sets an environment variable of this process for the life of the object
// (an empty value removes it) and then puts back what was there before.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const std::string& name, const std::string& value);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::string name_;
  std::string old_;  // empty when the variable was not set
};

// The environment variable that names the temporary folder: TMPDIR on
// POSIX systems, TMP on Windows.
extern const char* const kTemporaryFolderVariable;
// Sets an environment variable, or removes it when `value` is empty.
void SetEnvironment(const std::string& name, const std::string& value);

}  // namespace velloran::test
