#include <iomanip>
#include <iostream>

#include "app/cli/cli.h"
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

}  // namespace

// info IMAGE: the format, the present tracks and per track how many sectors
// it holds and how many of them are good, bad or without data.
int RunInfo(const std::vector<std::string>& words) {
  const Arguments args(words, {});
  if (!args.Error().empty()) return Fail(args.Error());
  if (const auto unknown = args.UnknownOption({}); !unknown.empty()) return Fail("unknown option " + unknown);
  if (args.Positional().size() != 1) return Fail("usage: info IMAGE");
  const std::string& file = args.Positional()[0];

  TZX_Disk disk;
  if (!LoadOrReport(disk, file)) return 1;
  std::cout << "Image: " << file << '\n';
  std::cout << "Format: " << ExtensionKey(file) << '\n';
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
  return 0;
}

// convert IN OUT [--keep-raw] [--compress] [--lossy]: loads IN and saves it
// as OUT, both formats chosen by extension. --keep-raw keeps the loaded raw
// tracks when writing UDI; --compress writes TD0 with LZH compression. When
// OUT cannot hold all of the disk the conversion fails, naming the first
// loss; with --lossy it is made and every loss is listed on standard error.
int RunConvert(const std::vector<std::string>& words) {
  const Arguments args(words, {});
  if (!args.Error().empty()) return Fail(args.Error());
  if (const auto unknown = args.UnknownOption({"keep-raw", "compress", "lossy"}); !unknown.empty())
    return Fail("unknown option " + unknown);
  if (args.Positional().size() != 2) return Fail("usage: convert IN OUT [--keep-raw] [--compress] [--lossy]");
  const std::string& input = args.Positional()[0];
  const std::string& output = args.Positional()[1];
  if (FindFormat(ExtensionKey(output)) == nullptr) return Fail(output + ": " + std::string(kUnsupportedFileType));

  TZX_Disk disk;
  if (!LoadOrReport(disk, input)) return 1;
  if (ExtensionKey(output) == "UDI") disk.KeepRaw = args.Flag("keep-raw") ? 1 : 0;
  SaveOptions options;
  options.td0Compress = args.Flag("compress");
  options.lossy = args.Flag("lossy");
  std::string error;
  SaveLosses losses;
  if (!SaveImage(disk, output, options, error, &losses)) {
    Fail(output + ": " + (error.empty() ? "cannot save the image" : error));
    if (!losses.empty()) std::cerr << "velloran-cli: --lossy converts it anyway and lists what is lost\n";
    return 1;
  }
  ReportLosses(output, losses);
  return 0;
}

}  // namespace velloran::cli
