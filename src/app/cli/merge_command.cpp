// merge: one image from several dumps of the same disk.
#include <iostream>
#include <memory>

#include "app/cli/cli.h"
#include "app/cli/rescue_report.h"
#include "common/file_io.h"
#include "common/messages.h"
#include "common/utf8_path.h"
#include "formats/format_table.h"
#include "model/disk_fingerprint.h"
#include "model/merge.h"

namespace velloran::cli {

// merge A B C... -o OUT [--report FILE.json] [--lossy]: every sector from the
// first input that holds it with a good data CRC, or voted from bad copies;
// the report goes to standard output, and as JSON to the report file. Exits
// with 2 when sectors stay bad or good copies disagree, after saving OUT. An
// OUT that cannot hold all of the merged disk (or of what the inputs' loads
// left out) needs --lossy, and the losses are listed.
int RunMerge(const std::vector<std::string>& words) {
  const std::string usage = MessageText(
      MessageId::CliUsage,
      {"merge IMAGE IMAGE... -o OUT [--report FILE.json] [--keep-raw] [--compress] [--standard-dsk] [--lossy]"});
  std::vector<std::string> rest = words;
  std::string error;
  const std::optional<std::string> output = TakeShortOption(rest, "-o", error);
  if (!error.empty()) return Fail(error);
  const Arguments args(rest, {"report"});
  if (!args.Error().empty()) return Fail(args.Error());
  if (const auto unknown = args.UnknownOption(WithWriterOptions({"report"})); !unknown.empty())
    return Fail(MessageText(MessageId::CliUnknownOption, {unknown}));
  if (args.Positional().size() < 2 || !output) return Fail(usage);
  if (FindFormat(ExtensionKey(PathFromUtf8(*output))) == nullptr)
    return Fail(*output + ": " + MessageText(MessageId::UnsupportedFileType));

  std::vector<std::unique_ptr<TZX_Disk>> disks;
  std::vector<const TZX_Disk*> inputs;
  for (const std::string& file : args.Positional()) {
    disks.push_back(std::make_unique<TZX_Disk>());
    if (Diagnostic failure; !LoadImage(*disks.back(), PathFromUtf8(file), failure))
      return Fail(DiagnosticText(failure));
    inputs.push_back(disks.back().get());
  }

  auto merged = std::make_unique<TZX_Disk>();
  const MergeReport report = MergeDisks(inputs, *merged);
  for (const Phrase& line : MergeReportLines(report, args.Positional())) std::cout << PhraseText(line) << '\n';
  // The report tells what to read again even when OUT cannot hold the result.
  if (const auto reportFile = args.Value("report")) {
    const std::string json = RescueReportJson(report, args.Positional(), ContentSha256(*merged));
    const ByteSpan bytes(reinterpret_cast<const std::uint8_t*>(json.data()), json.size());
    if (!WriteFileAtomic(PathFromUtf8(*reportFile), bytes, error)) return Fail(*reportFile + ": " + error);
  }
  const SaveOptions options = SaveOptionsOf(args);
  merged->KeepRaw = options.keepRaw;
  SaveLosses losses;
  if (Diagnostic failure; !SaveImage(*merged, PathFromUtf8(*output), options, failure, &losses))
    return Fail(SaveFailureText(*output, failure));
  ReportLosses(*output, losses);
  return report.badSectors > 0 || !report.conflicts.empty() ? 2 : 0;
}

}  // namespace velloran::cli
