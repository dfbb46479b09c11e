#include <iostream>

#include "app/cli/cli.h"
#include "app/cli/text_table.h"
#include "common/messages.h"
#include "common/utf8_path.h"
#include "formats/format_table.h"
#include "formats/writer_options.h"

namespace velloran::cli {

// What a format holds beyond sector data, as the format list shows it.
std::string HoldsText(const ImageFormat& format) {
  using enum MessageId;
  std::string text;
  const auto add = [&](bool holds, MessageId what) {
    if (!holds) return;
    if (!text.empty()) text += ", ";
    text += MessageText(what);
  };
  const FormatHolds& holds = format.holds;
  add(holds.ids, HoldsIds);
  add(holds.crcState, HoldsCrcState);
  add(holds.missingData, HoldsMissingData);
  add(holds.idCrcState, HoldsIdCrcState);
  add(holds.deletedMarks, HoldsDeletedMarks);
  add(holds.copies, HoldsCopies);
  add(holds.rawTracks, HoldsRawTracks);
  add(holds.comments, HoldsComments);
  add(holds.recording, HoldsRecording);
  add(holds.capturedFlux, holds.revolutions ? HoldsFluxAll : HoldsFluxFirst);
  add(holds.onlyFiles, HoldsOnlyFiles);
  if (text.empty()) text = MessageText(HoldsDataOnly);
  return format.save == nullptr ? MessageText(HoldsReadOnly, {text}) : text;
}

void PrintFormatList(std::ostream& out) {
  using enum MessageId;
  // The names get room for longer ones than today's, so the list keeps its shape.
  static constexpr TableColumn kColumns[] = {{ColumnKey}, {ColumnFile}, {ColumnFormat, false, 48}, {ColumnHolds}};
  std::vector<std::vector<std::string>> rows;
  for (const auto& format : ImageFormats())
    rows.push_back({std::string(format.key), "*." + std::string(format.defaultExtension), MessageText(format.name),
                    HoldsText(format)});
  out << TextTable(kColumns, rows, 2);
}

std::string FormatKeys() {
  std::string keys;
  for (const auto& format : ImageFormats()) keys += (keys.empty() ? "" : " ") + std::string(format.key);
  return keys;
}

// formats: the image formats, as the format table lists them.
int RunFormats(const std::vector<std::string>& words) {
  if (!words.empty()) return Fail(MessageText(MessageId::CliUsage, {"formats"}));
  PrintFormatList(std::cout);
  return 0;
}

SaveOptions SaveOptionsOf(const Arguments& args) {
  SaveOptions options;
  for (const WriterOption& option : WriterOptions()) options.*option.field = args.Flag(std::string(option.flag));
  return options;
}

std::set<std::string> WithWriterOptions(std::set<std::string> own) {
  for (const WriterOption& option : WriterOptions()) own.insert(std::string(option.flag));
  return own;
}

bool ConvertFile(const std::filesystem::path& input, const std::filesystem::path& output, const ImageFormat& target,
                 const SaveOptions& options, std::string& error, std::vector<std::string>& notes) {
  TZX_Disk disk;
  Diagnostic failure;
  if (!LoadImage(disk, input, failure)) {
    error = DiagnosticText(failure);
    return false;
  }
  // What the reader noticed (a cut file, parts left out) goes along with the conversion.
  for (const auto& notice : disk.Notices) notes.push_back(PathToUtf8(input) + ": " + DiagnosticText(notice));
  if (target.key == "UDI") disk.KeepRaw = options.keepRaw;
  SaveLosses losses;
  if (SaveImageAs(disk, output, target, options, failure, &losses)) {
    for (const auto& loss : losses)
      notes.push_back(MessageText(MessageId::CliLost, {PathToUtf8(output), LossText(loss)}));
    return true;
  }
  error = SaveFailureText(PathToUtf8(output), failure);
  if (!losses.empty()) notes.push_back(MessageText(MessageId::CliLossyHint));
  return false;
}

// convert IN OUT [--keep-raw] [--compress] [--standard-dsk] [--lossy]: loads
// IN (its format found by its contents) and saves it as OUT, in the format of
// its extension. --keep-raw keeps the loaded raw tracks when writing UDI;
// --compress writes TD0 with LZH compression; --standard-dsk writes DSK in
// the original fixed-size layout. When OUT cannot hold all of the disk the
// conversion fails, naming the first loss; with --lossy it is made and every
// loss is listed on standard error. With --to and -d it converts many files
// (RunBatchConvert).
int RunConvert(const std::vector<std::string>& words) {
  std::vector<std::string> rest = words;
  std::string error;
  const auto folder = TakeShortOption(rest, "-d", error);
  if (!error.empty()) return Fail(error);
  const Arguments args(rest, {"to", "jobs"});
  if (!args.Error().empty()) return Fail(args.Error());
  if (args.Value("to") || folder) return RunBatchConvert(args, folder);
  if (const auto unknown = args.UnknownOption(WithWriterOptions({})); !unknown.empty())
    return Fail(MessageText(MessageId::CliUnknownOption, {unknown}));
  if (args.Positional().size() != 2) return Fail(MessageText(MessageId::CliUsage, {kConvertUsage}));
  const std::string& output = args.Positional()[1];
  const ImageFormat* target = FindFormat(ExtensionKey(PathFromUtf8(output)));
  if (target == nullptr) return Fail(output + ": " + MessageText(MessageId::UnsupportedFileType));
  std::vector<std::string> notes;
  const bool converted =
      ConvertFile(PathFromUtf8(args.Positional()[0]), PathFromUtf8(output), *target, SaveOptionsOf(args), error, notes);
  if (!converted) Fail(error);
  for (const auto& note : notes) std::cerr << "velloran-cli: " << note << '\n';
  if (!converted) return 1;
  return 0;
}

}  // namespace velloran::cli
