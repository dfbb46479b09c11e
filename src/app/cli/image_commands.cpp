#include <iomanip>
#include <iostream>

#include "app/cli/cli.h"
#include "app/cli/json.h"
#include "formats/format_table.h"

namespace velloran::cli {

namespace {

// Loads an image by its extension; on failure prints why and returns false.
bool LoadOrReport(TZX_Disk& disk, const std::string& file) {
  std::string error;
  if (LoadImage(disk, file, error)) return true;
  Fail(file + ": " + (error.empty() ? "cannot load the image" : error));
  return false;
}

// Sector states as the disk map colours them.
struct SectorTally {
  int used = 0;
  int good = 0;
  int bad = 0;
  int noData = 0;
};

SectorTally TallyTrack(const TTrack& track) {
  SectorTally tally;
  for (const auto& sector : track.Sectors) {
    if (sector.Used == 0) continue;
    ++tally.used;
    if (sector.DataLen == 0)
      ++tally.noData;
    else if (sector.DataOk != 0)
      ++tally.good;
    else
      ++tally.bad;
  }
  return tally;
}

// The facts info prints, as text for people.
void PrintInfoText(const std::string& file, const std::string& format, TZX_Disk& disk) {
  std::cout << "Image: " << file << '\n';
  std::cout << "Format: " << format << '\n';
  std::cout << "Present tracks: " << static_cast<int>(disk.CountTracks()) << '\n';
  if (!disk.LastError.empty()) std::cout << "Note: " << disk.LastError << '\n';
  for (const auto& line : disk.Comments) std::cout << "Comment: " << line << '\n';
  std::cout << "Track  Sectors  Good  Bad  NoData  Raw\n";
  for (int t = 0; t < kTrackCount; ++t) {
    const TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    if (track.Present == 0) continue;
    const SectorTally tally = TallyTrack(track);
    std::cout << std::setw(5) << t << std::setw(9) << tally.used << std::setw(6) << tally.good << std::setw(5)
              << tally.bad << std::setw(8) << tally.noData << "  " << (track.RawLength > 0 ? "yes" : "no") << '\n';
  }
}

// The same facts as one JSON object on one line, for scripts.
void PrintInfoJson(const std::string& file, const std::string& format, TZX_Disk& disk) {
  std::string json = "{\"image\":" + JsonString(file) + ",\"format\":" + JsonString(format) +
                     ",\"present_tracks\":" + std::to_string(disk.CountTracks()) + ",\"notes\":[";
  if (!disk.LastError.empty()) json += JsonString(disk.LastError);
  json += "],\"comments\":[";
  for (std::size_t i = 0; i < disk.Comments.size(); ++i) json += (i > 0 ? "," : "") + JsonString(disk.Comments[i]);
  json += "],\"tracks\":[";
  bool first = true;
  for (int t = 0; t < kTrackCount; ++t) {
    const TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    if (track.Present == 0) continue;
    const SectorTally tally = TallyTrack(track);
    json += std::string(first ? "" : ",") + "{\"track\":" + std::to_string(t) +
            ",\"sectors\":" + std::to_string(tally.used) + ",\"good\":" + std::to_string(tally.good) +
            ",\"bad\":" + std::to_string(tally.bad) + ",\"no_data\":" + std::to_string(tally.noData) +
            ",\"raw\":" + (track.RawLength > 0 ? "true" : "false") + "}";
    first = false;
  }
  std::cout << json << "]}\n";
}

}  // namespace

// info IMAGE [--json]: the format, the present tracks and per track how many
// sectors it holds and how many of them are good, bad or without data; with
// --json as one JSON object.
int RunInfo(const std::vector<std::string>& words) {
  const Arguments args(words, {});
  if (!args.Error().empty()) return Fail(args.Error());
  if (const auto unknown = args.UnknownOption({"json"}); !unknown.empty()) return Fail("unknown option " + unknown);
  if (args.Positional().size() != 1) return Fail("usage: info IMAGE [--json]");
  const std::string& file = args.Positional()[0];

  TZX_Disk disk;
  if (!LoadOrReport(disk, file)) return 1;
  if (args.Flag("json"))
    PrintInfoJson(file, ExtensionKey(file), disk);
  else
    PrintInfoText(file, ExtensionKey(file), disk);
  return 0;
}

ConvertOptions ConvertOptionsOf(const Arguments& args) { return {args.Flag("keep-raw"), args.Flag("compress")}; }

bool ConvertFile(const std::filesystem::path& input, const std::filesystem::path& output, const ConvertOptions& options,
                 std::string& error) {
  if (FindFormat(ExtensionKey(output)) == nullptr) {
    error = output.string() + ": " + std::string(kUnsupportedFileType);
    return false;
  }
  TZX_Disk disk;
  if (!LoadImage(disk, input, error)) {
    error = input.string() + ": " + (error.empty() ? "cannot load the image" : error);
    return false;
  }
  if (ExtensionKey(output) == "UDI") disk.KeepRaw = options.keepRaw ? 1 : 0;
  SaveOptions saveOptions;
  saveOptions.td0Compress = options.compress;
  if (SaveImage(disk, output, saveOptions, error)) return true;
  error = output.string() + ": " + (error.empty() ? "cannot save the image" : error);
  return false;
}

// convert IN OUT [--keep-raw] [--compress]: loads IN and saves it as OUT,
// both formats chosen by extension. --keep-raw keeps the loaded raw tracks
// when writing UDI; --compress writes TD0 with LZH compression. With --to
// and -d it converts many files (RunBatchConvert).
int RunConvert(const std::vector<std::string>& words) {
  std::vector<std::string> rest = words;
  std::string error;
  const auto folder = TakeShortOption(rest, "-d", error);
  if (!error.empty()) return Fail(error);
  const Arguments args(rest, {"to", "jobs"});
  if (!args.Error().empty()) return Fail(args.Error());
  if (args.Value("to") || folder) return RunBatchConvert(args, folder);
  if (const auto unknown = args.UnknownOption({"keep-raw", "compress"}); !unknown.empty())
    return Fail("unknown option " + unknown);
  if (args.Positional().size() != 2) return Fail("usage: convert IN OUT [--keep-raw] [--compress]");
  if (!ConvertFile(args.Positional()[0], args.Positional()[1], ConvertOptionsOf(args), error)) return Fail(error);
  return 0;
}

}  // namespace velloran::cli
