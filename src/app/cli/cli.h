// The command line's shared pieces: parsed arguments and the command table.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "formats/format_table.h"
#include "formats/save_losses.h"

namespace velloran {
struct ImageFormat;
struct TrdosCatalog;
}  // namespace velloran

namespace velloran::cli {

// Arguments of one command: positional words, "--name value" options and
// "--flag" switches. Which options take a value is told by the command.
class Arguments {
 public:
  Arguments(const std::vector<std::string>& words, const std::set<std::string>& valueOptions);

  const std::vector<std::string>& Positional() const { return positional_; }
  bool Flag(const std::string& name) const { return flags_.count(name) != 0; }
  std::optional<std::string> Value(const std::string& name) const;
  // A problem found while parsing (an option without its value), or empty.
  const std::string& Error() const { return error_; }
  // Options given that the command does not know; `known` lists every valid one.
  std::string UnknownOption(const std::set<std::string>& known) const;

 private:
  std::vector<std::string> positional_;
  std::set<std::string> flags_;
  std::vector<std::pair<std::string, std::string>> values_;
  std::string error_;
};

// Takes a short option with its value ("-o FILE") out of the words before
// the usual parsing; the last one given counts. Sets `error` when the value
// is missing.
std::optional<std::string> TakeShortOption(std::vector<std::string>& words, const std::string& option,
                                           std::string& error);

// A whole number from minimum to maximum from option --name into `value`,
// left as it is when the option is absent; false with a message otherwise.
bool NumberOption(const Arguments& args, const std::string& name, int minimum, int maximum, std::uint8_t& value,
                  std::string& error);

// The writer options given on the command line (the rows of writer_options.h).
SaveOptions SaveOptionsOf(const Arguments& args);
// A command's own options joined by every writer option: what a command
// that saves an image accepts.
std::set<std::string> WithWriterOptions(std::set<std::string> own);

// Loads `input` in the format its contents show and saves it as `output` in
// the `target` format. On failure returns false with "FILE: message" in
// `error`. The reader's notices and, with --lossy, what the target could not
// hold are added to `notes` as "FILE: text".
bool ConvertFile(const std::filesystem::path& input, const std::filesystem::path& output, const ImageFormat& target,
                 const SaveOptions& options, std::string& error, std::vector<std::string>& notes);

// convert --to FORMAT FILE... -d DIR: the many-files form of convert; `folder`
// is the value of -d.
int RunBatchConvert(const Arguments& args, const std::optional<std::string>& folder);

// Prints a TR-DOS catalog as the ls command shows it.
void PrintTrdosListing(const TrdosCatalog& catalog, bool showDeleted);

// Prints the table of image formats: key, file pattern, name, what it holds.
void PrintFormatList(std::ostream& out);
// The format keys, separated by blanks.
std::string FormatKeys();

inline constexpr const char* kConvertUsage = "convert IN OUT [--keep-raw] [--compress] [--standard-dsk] [--lossy]";
inline constexpr const char* kBatchConvertUsage =
    "convert --to FORMAT FILE... -d DIR [--jobs N] [--keep-raw] [--compress] [--standard-dsk] [--lossy]";

// Prints "velloran-cli: <message>" on standard error and returns exit code 1.
int Fail(const std::string& message);

// A failed save of `file` in the chosen language: "<file>: <why>", or that the
// image is not saved when the core gave no reason.
std::string SaveFailureText(const std::string& file, const Diagnostic& failure);

// Lists on standard error what a lossy save of `file` dropped, one line each.
void ReportLosses(const std::string& file, const SaveLosses& losses);

// Each command takes the words after its name and returns the exit code.
int RunInfo(const std::vector<std::string>& words);
int RunFormats(const std::vector<std::string>& words);
int RunConvert(const std::vector<std::string>& words);
int RunLs(const std::vector<std::string>& words);
int RunGet(const std::vector<std::string>& words);
int RunPut(const std::vector<std::string>& words);
int RunRm(const std::vector<std::string>& words);
int RunNewTrdos(const std::vector<std::string>& words);
int RunNewCpm(const std::vector<std::string>& words);
int RunCompact(const std::vector<std::string>& words);
int RunReadDisk(const std::vector<std::string>& words);
int RunWriteDisk(const std::vector<std::string>& words);
int RunCatalog(const std::vector<std::string>& words);
int RunMerge(const std::vector<std::string>& words);
int RunPlot(const std::vector<std::string>& words);

}  // namespace velloran::cli
