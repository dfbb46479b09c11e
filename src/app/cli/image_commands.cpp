#include <iomanip>
#include <iostream>
#include <sstream>

#include "app/cli/cli.h"
#include "common/file_io.h"
#include "formats/format_table.h"
#include "trdos/catalog.h"
#include "trdos/hobeta.h"

namespace velloran::cli {

namespace {

// Loads an image in the format its contents show; on failure prints why and returns false.
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

// The header of a Hobeta file, for a file no image format claims: a whole
// header whose checksum is right, or a name ending in ".$" and the type.
bool PrintHobetaInfo(const std::string& file) {
  const auto content = ReadWholeFile(file);
  if (!content) return false;
  const auto entry = ParseHobetaHeader(*content);
  const bool hobetaName = std::filesystem::path(file).extension().string().rfind(".$", 0) == 0;
  const bool checksumValid = HobetaChecksumValid(*content);
  if (!entry || (!checksumValid && !hobetaName)) return false;
  const auto hex = [](unsigned value) {
    std::ostringstream text;
    text << '#' << std::uppercase << std::hex << std::setw(4) << std::setfill('0') << value;
    return text.str();
  };
  std::cout << "Image: " << file << '\n';
  std::cout << "Format: Hobeta (one TR-DOS file behind a 17-byte header)\n";
  std::cout << "Name: " << NameText(entry->Name) << '\n';
  std::cout << "Type: " << NameText(std::span(&entry->FileType, 1)) << '\n';
  std::cout << "Start: " << entry->Start << '\n';
  std::cout << "Length: " << entry->Length << '\n';
  std::cout << "Sectors: " << static_cast<int>(entry->FileSectors) << '\n';
  const unsigned stored = ReadLe16(&(*content)[15]);
  if (checksumValid)
    std::cout << "Checksum: good (" << hex(stored) << ")\n";
  else
    std::cout << "Checksum: bad (stored " << hex(stored) << ", computed " << hex(HobetaChecksum(content->data()))
              << ")\n";
  const std::size_t dataBytes = content->size() - kHobetaHeaderSize;
  std::cout << "Data: " << dataBytes << " bytes";
  if (dataBytes < entry->FileSectors * 256u) std::cout << " (" << entry->FileSectors * 256u << " expected)";
  std::cout << '\n';
  return true;
}

}  // namespace

// info IMAGE: the format found, the present tracks and per track how many
// sectors it holds and how many of them are good, bad or without data. A
// Hobeta file shows its header instead.
int RunInfo(const std::vector<std::string>& words) {
  const Arguments args(words, {});
  if (!args.Error().empty()) return Fail(args.Error());
  if (const auto unknown = args.UnknownOption({}); !unknown.empty()) return Fail("unknown option " + unknown);
  if (args.Positional().size() != 1) return Fail("usage: info IMAGE");
  const std::string& file = args.Positional()[0];

  const DetectedFormat detected = DetectFormat(file);
  if (detected.format == nullptr) {
    if (PrintHobetaInfo(file)) return 0;
    return Fail(file + ": " + std::string(kUnsupportedFileType));
  }
  TZX_Disk disk;
  std::string error;
  if (!LoadImageAs(disk, file, *detected.format, error)) return Fail(file + ": " + error);
  std::cout << "Image: " << file << '\n';
  std::cout << "Format: " << detected.format->key << " (" << detected.format->name << "), found by its "
            << DetectionText(detected) << '\n';
  std::cout << "Present tracks: " << static_cast<int>(disk.CountTracks()) << '\n';
  for (const auto& notice : disk.Notices) std::cout << "Note: " << notice << '\n';
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

// What a format holds beyond sector data, as the format list shows it.
std::string HoldsText(const ImageFormat& format) {
  std::string text;
  const auto add = [&](bool holds, const char* what) {
    if (!holds) return;
    if (!text.empty()) text += ", ";
    text += what;
  };
  add(format.holdsIds, "IDs");
  add(format.holdsCrcState, "CRC state");
  add(format.holdsRawTracks, "raw tracks");
  add(format.holdsComments, "comments");
  if (text.empty()) text = "data only";
  return format.save == nullptr ? text + "; read only" : text;
}

void PrintFormatList(std::ostream& out) {
  out << "Key  File   Format                                            Holds\n";
  for (const auto& format : ImageFormats()) {
    std::string name(format.name);
    name.resize(std::max<std::size_t>(name.size(), 48), ' ');
    out << std::left << std::setw(5) << format.key << std::setw(7) << ("*." + std::string(format.defaultExtension))
        << name << "  " << HoldsText(format) << '\n';
  }
}

std::string FormatKeys() {
  std::string keys;
  for (const auto& format : ImageFormats()) keys += (keys.empty() ? "" : " ") + std::string(format.key);
  return keys;
}

// formats: the image formats, as the format table lists them.
int RunFormats(const std::vector<std::string>& words) {
  if (!words.empty()) return Fail("usage: formats");
  PrintFormatList(std::cout);
  return 0;
}

// convert IN OUT [--keep-raw] [--compress] [--standard-dsk] [--lossy]: loads
// IN (its format found by its contents) and saves it as OUT, in the format of
// its extension. --keep-raw keeps the loaded raw tracks when writing UDI;
// --compress writes TD0 with LZH compression; --standard-dsk writes DSK in
// the original fixed-size layout. When OUT cannot hold all of the disk the
// conversion fails, naming the first loss; with --lossy it is made and every
// loss is listed on standard error.
int RunConvert(const std::vector<std::string>& words) {
  const Arguments args(words, {});
  if (!args.Error().empty()) return Fail(args.Error());
  if (const auto unknown = args.UnknownOption({"keep-raw", "compress", "standard-dsk", "lossy"}); !unknown.empty())
    return Fail("unknown option " + unknown);
  if (args.Positional().size() != 2) return Fail(std::string("usage: ") + kConvertUsage);
  const std::string& input = args.Positional()[0];
  const std::string& output = args.Positional()[1];
  if (FindFormat(ExtensionKey(output)) == nullptr) return Fail(output + ": " + std::string(kUnsupportedFileType));

  TZX_Disk disk;
  if (!LoadOrReport(disk, input)) return 1;
  // What the reader noticed (a cut file, parts left out) goes along with the conversion.
  for (const auto& notice : disk.Notices) std::cerr << "velloran-cli: " << input << ": " << notice << '\n';
  if (ExtensionKey(output) == "UDI") disk.KeepRaw = args.Flag("keep-raw") ? 1 : 0;
  SaveOptions options;
  options.td0Compress = args.Flag("compress");
  options.lossy = args.Flag("lossy");
  options.dskStandard = args.Flag("standard-dsk");
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
