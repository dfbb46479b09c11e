// info IMAGE [--json]: what a file holds, as text for people or as one JSON
// object for scripts.
#include <iomanip>
#include <iostream>
#include <optional>
#include <sstream>

#include "app/cli/cli.h"
#include "app/cli/json.h"
#include "app/cli/text_table.h"
#include "common/file_io.h"
#include "common/messages.h"
#include "common/utf8_path.h"
#include "formats/format_table.h"
#include "model/disk_fingerprint.h"
#include "trdos/catalog.h"
#include "trdos/hobeta.h"

namespace velloran::cli {

namespace {

// Sector states as the disk map colours them.
struct SectorTally {
  int used = 0;
  int good = 0;
  int bad = 0;
  int noData = 0;
  int idCrcErrors = 0;  // ID fields whose CRC is wrong, whatever their data
  int copies = 0;       // further copies of weak sectors
};

SectorTally TallyTrack(const TTrack& track) {
  SectorTally tally;
  for (const auto& sector : track.Sectors) {
    if (!sector.Used) continue;
    ++tally.used;
    if (!IdCrcGood(sector)) ++tally.idCrcErrors;
    tally.copies += static_cast<int>(sector.ExtraCopies.size());
    if (sector.DataLen == 0)
      ++tally.noData;
    else if (sector.DataOk)
      ++tally.good;
    else
      ++tally.bad;
  }
  return tally;
}

// How the format was recognised, as the text says it.
Phrase DetectionPhrase(const DetectedFormat& detected) {
  if (detected.byExtension) return MessageId::FoundByExtension;
  switch (detected.confidence) {
    case Confidence::Signature: return MessageId::FoundBySignature;
    case Confidence::Fields: return MessageId::FoundByContents;
    case Confidence::SizeOrExtension: return MessageId::FoundBySize;
    case Confidence::None: break;
  }
  return {MessageId::Verbatim, {DetectionText(detected)}};
}

void PrintDiskText(const std::string& file, const DetectedFormat& detected, TZX_Disk& disk) {
  using enum MessageId;
  std::cout << MessageText(InfoImage, {file}) << '\n'
            << PhraseText(
                   {InfoFormat, {detected.format->key, Phrase{detected.format->name}, DetectionPhrase(detected)}})
            << '\n'
            << MessageText(InfoPresentTracks, {std::to_string(disk.CountTracks())}) << '\n';
  for (const auto& notice : disk.Notices) std::cout << PhraseText({InfoNote, {PlacedPhrase(notice)}}) << '\n';
  for (const auto& line : disk.Comments) std::cout << MessageText(InfoComment, {line}) << '\n';
  for (const auto& loss : disk.Losses) std::cout << MessageText(InfoLostOnLoading, {LossText(loss)}) << '\n';
  std::cout << MessageText(InfoContentHash, {ContentSha256(disk)}) << '\n';
  static constexpr TableColumn kColumns[] = {{ColumnTrack, true}, {ColumnSectors, true}, {ColumnGood, true},
                                             {ColumnBad, true},   {ColumnNoData, true},  {ColumnIdCrc, true},
                                             {ColumnRaw},         {ColumnCopies, true}};
  std::vector<std::vector<std::string>> rows;
  for (int t = 0; t < kTrackCount; ++t) {
    const TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    if (!track.Present) continue;
    const SectorTally tally = TallyTrack(track);
    rows.push_back({std::to_string(t), std::to_string(tally.used), std::to_string(tally.good),
                    std::to_string(tally.bad), std::to_string(tally.noData), std::to_string(tally.idCrcErrors),
                    MessageText(track.RawLength > 0 ? Yes : No), std::to_string(tally.copies)});
  }
  std::cout << TextTable(kColumns, rows, 2);
}

// A JSON array of strings.
std::string JsonStrings(const std::vector<std::string>& texts) {
  std::string json = "[";
  for (std::size_t i = 0; i < texts.size(); ++i) json += (i > 0 ? "," : "") + JsonString(texts[i]);
  return json + "]";
}

// The texts of diagnostics as a JSON array of strings.
std::string JsonStrings(const std::vector<Diagnostic>& diagnostics) {
  std::vector<std::string> texts;
  for (const Diagnostic& diagnostic : diagnostics) texts.push_back(DiagnosticText(diagnostic));
  return JsonStrings(texts);
}

// The disk's carried losses as a JSON array of objects.
std::string JsonLosses(const DiskLosses& losses) {
  std::string json = "[";
  for (std::size_t i = 0; i < losses.size(); ++i)
    json += std::string(i > 0 ? "," : "") + "{\"kind\":" + JsonString(LossKindName(losses[i].kind)) +
            ",\"track\":" + std::to_string(losses[i].track) + ",\"sector\":" + std::to_string(losses[i].sector) +
            ",\"text\":" + JsonString(LossText(losses[i])) + "}";
  return json + "]";
}

void PrintDiskJson(const std::string& file, const DetectedFormat& detected, TZX_Disk& disk) {
  std::string json = "{\"image\":" + JsonString(file) + ",\"format\":" + JsonString(detected.format->key) +
                     ",\"format_name\":" + JsonString(RenderMessage(Language::English, detected.format->name)) +
                     ",\"found_by\":" + JsonString(DetectionText(detected)) +
                     ",\"present_tracks\":" + std::to_string(disk.CountTracks()) +
                     ",\"sha256\":" + JsonString(ContentSha256(disk)) + ",\"notes\":" + JsonStrings(disk.Notices) +
                     ",\"comments\":" + JsonStrings(disk.Comments) + ",\"losses\":" + JsonLosses(disk.Losses) +
                     ",\"tracks\":[";
  bool first = true;
  for (int t = 0; t < kTrackCount; ++t) {
    const TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    if (!track.Present) continue;
    const SectorTally tally = TallyTrack(track);
    json += std::string(first ? "" : ",") + "{\"track\":" + std::to_string(t) +
            ",\"sectors\":" + std::to_string(tally.used) + ",\"good\":" + std::to_string(tally.good) +
            ",\"bad\":" + std::to_string(tally.bad) + ",\"no_data\":" + std::to_string(tally.noData) +
            ",\"id_crc_errors\":" + std::to_string(tally.idCrcErrors) +
            ",\"raw\":" + (track.RawLength > 0 ? "true" : "false") + ",\"copies\":" + std::to_string(tally.copies) +
            "}";
    first = false;
  }
  std::cout << json << "]}\n";
}

// The header of a Hobeta file and how it fits the data after it.
struct HobetaFacts {
  std::string name;
  std::string type;
  unsigned start = 0;
  unsigned length = 0;
  unsigned sectors = 0;
  unsigned storedChecksum = 0;
  unsigned computedChecksum = 0;
  std::size_t dataBytes = 0;
};

// For a file no image format claims: a whole header whose checksum is right,
// or a name ending in ".$" and the type.
std::optional<HobetaFacts> ReadHobetaFacts(const std::string& file) {
  const auto content = ReadWholeFile(PathFromUtf8(file));
  if (!content) return std::nullopt;
  const auto entry = ParseHobetaHeader(*content);
  const bool hobetaName = PathToUtf8(PathFromUtf8(file).extension()).rfind(".$", 0) == 0;
  if (!entry || (!HobetaChecksumValid(*content) && !hobetaName)) return std::nullopt;
  return HobetaFacts{NameText(entry->Name),
                     NameText(std::span(&entry->FileType, 1)),
                     entry->Start,
                     entry->Length,
                     entry->FileSectors,
                     ReadLe16(&(*content)[15]),
                     HobetaChecksum(content->data()),
                     content->size() - kHobetaHeaderSize};
}

void PrintHobetaText(const std::string& file, const HobetaFacts& facts) {
  const auto hex = [](unsigned value) {
    std::ostringstream text;
    text << '#' << std::uppercase << std::hex << std::setw(4) << std::setfill('0') << value;
    return text.str();
  };
  using enum MessageId;
  std::cout << MessageText(InfoImage, {file}) << '\n'
            << MessageText(InfoHobetaFormat) << '\n'
            << MessageText(InfoName, {facts.name}) << '\n'
            << MessageText(InfoType, {facts.type}) << '\n'
            << MessageText(InfoStart, {std::to_string(facts.start)}) << '\n'
            << MessageText(InfoLength, {std::to_string(facts.length)}) << '\n'
            << MessageText(InfoSectors, {std::to_string(facts.sectors)}) << '\n';
  if (facts.storedChecksum == facts.computedChecksum)
    std::cout << MessageText(InfoChecksumGood, {hex(facts.storedChecksum)}) << '\n';
  else
    std::cout << MessageText(InfoChecksumBad, {hex(facts.storedChecksum), hex(facts.computedChecksum)}) << '\n';
  const std::string data = std::to_string(facts.dataBytes);
  const unsigned expected = facts.sectors * 256u;
  std::cout << (facts.dataBytes < expected ? MessageText(InfoDataExpected, {data, std::to_string(expected)})
                                           : MessageText(InfoDataBytes, {data}))
            << '\n';
}

void PrintHobetaJson(const std::string& file, const HobetaFacts& facts) {
  std::cout << "{\"image\":" << JsonString(file) << ",\"format\":\"Hobeta\",\"name\":" << JsonString(facts.name)
            << ",\"type\":" << JsonString(facts.type) << ",\"start\":" << facts.start << ",\"length\":" << facts.length
            << ",\"sectors\":" << facts.sectors
            << ",\"checksum_good\":" << (facts.storedChecksum == facts.computedChecksum ? "true" : "false")
            << ",\"checksum_stored\":" << facts.storedChecksum << ",\"checksum_computed\":" << facts.computedChecksum
            << ",\"data_bytes\":" << facts.dataBytes << ",\"expected_data_bytes\":" << facts.sectors * 256u << "}\n";
}

}  // namespace

// info IMAGE [--json]: the format found, the present tracks and per track how
// many sectors it holds and how many of them are good, bad or without data.
// A Hobeta file shows its header instead. With --json the same facts are one
// JSON object on one line.
int RunInfo(const std::vector<std::string>& words) {
  const Arguments args(words, {});
  if (!args.Error().empty()) return Fail(args.Error());
  if (const auto unknown = args.UnknownOption({"json"}); !unknown.empty())
    return Fail(MessageText(MessageId::CliUnknownOption, {unknown}));
  if (args.Positional().size() != 1) return Fail(MessageText(MessageId::CliUsage, {"info IMAGE [--json]"}));
  const std::string& file = args.Positional()[0];
  const bool json = args.Flag("json");

  TZX_Disk disk;
  Diagnostic error;
  const DetectedFormat detected = DetectFormat(PathFromUtf8(file));
  if (detected.format == nullptr) {
    const auto hobeta = ReadHobetaFacts(file);
    if (!hobeta) {
      LoadImage(disk, PathFromUtf8(file), error);  // says why no format takes it
      return Fail(DiagnosticText(error));
    }
    json ? PrintHobetaJson(file, *hobeta) : PrintHobetaText(file, *hobeta);
    return 0;
  }
  if (!LoadImageAs(disk, PathFromUtf8(file), *detected.format, error)) return Fail(DiagnosticText(error));
  json ? PrintDiskJson(file, detected, disk) : PrintDiskText(file, detected, disk);
  return 0;
}

}  // namespace velloran::cli
