#include "formats/format_table.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <system_error>

#include "common/file_io.h"
#include "common/messages.h"
#include "common/utf8_path.h"
#include "formats/dsk.h"
#include "formats/fdi.h"
#include "formats/flux_image.h"
#include "formats/hfe.h"
#include "formats/imd.h"
#include "formats/kdi.h"
#include "formats/kryoflux.h"
#include "formats/mfi.h"
#include "formats/pro.h"
#include "formats/scp.h"
#include "formats/td0.h"
#include "formats/trd.h"
#include "formats/udf.h"
#include "formats/udi.h"
#include "trdos/scl.h"

namespace velloran {

namespace {

// Writers that take no options, adapted to the table's writer signature.
template <bool (*Save)(TZX_Disk&, const std::filesystem::path&)>
bool Plain(TZX_Disk& disk, const std::filesystem::path& file, const SaveOptions&) {
  return Save(disk, file);
}

bool SaveTD0WithOptions(TZX_Disk& disk, const std::filesystem::path& file, const SaveOptions& options) {
  return SaveTD0(disk, file, options.td0Compress);
}

bool SaveDSKWithOptions(TZX_Disk& disk, const std::filesystem::path& file, const SaveOptions& options) {
  return SaveDSK(disk, file, options.dskStandard ? DskVariant::Standard : DskVariant::Extended);
}

// The SCL reader lives with the TR-DOS code; its probe is its signature.
Confidence ProbeSCL(const ProbeInput& input) {
  return HasSclSignature(input.head) ? Confidence::Signature : Confidence::None;
}

// What each kind of file holds beyond plain sector data.
constexpr FormatHolds kSectorDumpHolds{};  // data only, in the fixed order of the layout
constexpr FormatHolds kBuiltTrackHolds{
    .rawTracks = true, .ids = true, .crcState = true, .idCrcState = true, .deletedMarks = true};
constexpr FormatHolds kFluxHolds{.rawTracks = true,
                                 .ids = true,
                                 .crcState = true,
                                 .idCrcState = true,
                                 .deletedMarks = true,
                                 .revolutions = true,
                                 .capturedFlux = true};
constexpr FormatHolds kOneRevolutionFluxHolds{
    .rawTracks = true, .ids = true, .crcState = true, .idCrcState = true, .deletedMarks = true, .capturedFlux = true};

// key, name, whether the dialogs offer it, default extension, probe, reader, writer, what
// it holds, and what its layout cannot hold besides (nullptr: nothing more;
// SCL keeps the files of a TR-DOS disk, so what lies outside the TR-DOS
// layout is lost as in TRD; DSK and IMD hold every sector or refuse the save;
// of weak sectors only DSK and UDF keep every copy). To add a format, see
// "Adding an image format" in ARCHITECTURE.md.
const std::array kFormats = {
    ImageFormat{"UDI", MessageId::FormatNameUdi, true, "udi", ProbeUDI, LoadUDI, Plain<SaveUDI>, kBuiltTrackHolds,
                SaveLossesUDI},
    ImageFormat{"TRD", MessageId::FormatNameTrd, true, "trd", ProbeTRD, LoadTRD, Plain<SaveTRD>, kSectorDumpHolds,
                SaveLossesTRD},
    ImageFormat{"TD0",
                MessageId::FormatNameTd0,
                true,
                "td0",
                ProbeTD0,
                LoadTD0,
                SaveTD0WithOptions,
                {.ids = true, .crcState = true, .missingData = true, .deletedMarks = true, .comments = true},
                SaveLossesTD0},
    ImageFormat{"FDI",
                MessageId::FormatNameFdi,
                true,
                "fdi",
                ProbeFDI,
                LoadFDI,
                Plain<SaveFDI>,
                {.ids = true, .crcState = true, .comments = true},
                SaveLossesFDI},
    ImageFormat{"PRO", MessageId::FormatNamePro, true, "pro", ProbePRO, LoadPRO, Plain<SavePRO>, kSectorDumpHolds,
                SaveLossesPRO},
    ImageFormat{"SCL",
                MessageId::FormatNameScl,
                true,
                "scl",
                ProbeSCL,
                LoadSCL,
                Plain<SaveSCL>,
                {.onlyFiles = true},
                SaveLossesTRD},
    ImageFormat{"KDI", MessageId::FormatNameKdi, true, "kdi", ProbeKDI, LoadKDI, Plain<SaveKDI>, kSectorDumpHolds,
                SaveLossesKDI},
    ImageFormat{"HFE", MessageId::FormatNameHfe, true, "hfe", ProbeHFE, LoadHFE, Plain<SaveHFE>, kBuiltTrackHolds,
                SaveLossesHFE},
    ImageFormat{
        "DSK",
        MessageId::FormatNameDsk,
        true,
        "dsk",
        ProbeDSK,
        LoadDSK,
        SaveDSKWithOptions,
        {.ids = true, .crcState = true, .missingData = true, .idCrcState = true, .deletedMarks = true, .copies = true},
        SaveLossesDSK},
    ImageFormat{
        "IMD",
        MessageId::FormatNameImd,
        true,
        "imd",
        ProbeIMD,
        LoadIMD,
        Plain<SaveIMD>,
        {.ids = true, .crcState = true, .missingData = true, .deletedMarks = true, .comments = true, .recording = true},
        nullptr},
    ImageFormat{"SCP", MessageId::FormatNameScp, true, "scp", ProbeSCP, LoadSCP, Plain<SaveSCP>, kFluxHolds,
                SaveLossesFlux},
    ImageFormat{"MFI", MessageId::FormatNameMfi, true, "mfi", ProbeMFI, LoadMFI, Plain<SaveMFI>,
                kOneRevolutionFluxHolds, SaveLossesFlux},
    ImageFormat{"UDF",
                MessageId::FormatNameUdf,
                false,
                "udf",
                ProbeUDF,
                LoadUDF,
                Plain<SaveUDF>,
                {.rawTracks = true,
                 .ids = true,
                 .crcState = true,
                 .missingData = true,
                 .idCrcState = true,
                 .deletedMarks = true,
                 .copies = true,
                 .comments = true,
                 .recording = true},
                nullptr},
    // KryoFlux stream sets are only read: a folder, or one of its NN.S.raw files.
    ImageFormat{"RAW", MessageId::FormatNameRaw, false, "raw", ProbeKryoFlux, LoadKryoFlux, nullptr, kFluxHolds,
                nullptr},
};

std::string Pattern(const ImageFormat& format) { return "*." + std::string(format.defaultExtension); }

// The first bytes and the size of a file, for the probes. A folder, or a
// file that cannot be read, shows no bytes.
Bytes ReadHead(const std::filesystem::path& file, std::uintmax_t& size) {
  size = 0;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return {};
  const auto length = std::filesystem::file_size(file, ec);
  if (ec) return {};
  std::ifstream in(file, std::ios::binary);
  Bytes head(static_cast<std::size_t>(std::min<std::uintmax_t>(length, kProbeHeadSize)));
  in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(in.gcount()));
  size = length;
  return head;
}

}  // namespace

std::span<const ImageFormat> ImageFormats() { return kFormats; }

std::string ExtensionKey(const std::filesystem::path& file) {
  std::string extension = PathToUtf8(file.extension());
  if (!extension.empty() && extension.front() == '.') extension.erase(0, 1);
  if (extension.size() > 3) extension.resize(3);
  for (char& c : extension) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return extension;
}

const ImageFormat* FindFormat(std::string_view key) {
  for (const auto& format : kFormats)
    if (format.key == key) return &format;
  return nullptr;
}

DetectedFormat DetectFormat(const std::filesystem::path& file) {
  ProbeInput input;
  input.file = file;
  const Bytes head = ReadHead(file, input.size);
  input.head = head;
  const std::string key = ExtensionKey(file);
  DetectedFormat best;
  bool bestHasExtension = false;
  for (const auto& format : kFormats) {
    const Confidence byContents = format.probe(input);
    const bool hasExtension = format.key == key;
    const Confidence confidence = hasExtension ? std::max(byContents, Confidence::SizeOrExtension) : byContents;
    if (confidence == Confidence::None) continue;
    // Stronger claims win; between equal ones the file's extension decides,
    // then the first row.
    const bool better =
        confidence > best.confidence || (confidence == best.confidence && hasExtension && !bestHasExtension);
    if (!better) continue;
    best = {&format, confidence, byContents == Confidence::None};
    bestHasExtension = hasExtension;
  }
  return best;
}

std::string_view DetectionText(const DetectedFormat& detected) {
  if (detected.byExtension) return "extension";
  switch (detected.confidence) {
    case Confidence::Signature: return "signature";
    case Confidence::Fields: return "contents";
    case Confidence::SizeOrExtension: return "size";
    case Confidence::None: break;
  }
  return "none";
}

std::string FormatFilter(const ImageFormat& format) {
  return MessageText(format.name) + " (" + Pattern(format) + ")|" + Pattern(format);
}

std::string SaveDialogFilter() {
  std::string filter;
  for (const auto& format : kFormats) {
    if (!format.inDialogs) continue;
    if (!filter.empty()) filter += '|';
    filter += FormatFilter(format);
  }
  return filter;
}

std::string LoadDialogFilter() {
  std::string names;
  std::string patterns;
  for (const auto& format : kFormats) {
    if (!format.inDialogs) continue;
    if (!names.empty()) {
      names += ',';
      patterns += ';';
    }
    names += Pattern(format);
    patterns += Pattern(format);
  }
  return MessageText(MessageId::FormatAllImages) + " (" + names + ")|" + patterns + "|" + SaveDialogFilter() + "|" +
         MessageText(MessageId::FormatAllFiles) + " (*)|*";
}

std::string_view DefaultExtensionForFilter(int filterIndex) {
  int index = 0;
  for (const auto& format : kFormats) {
    if (!format.inDialogs) continue;
    if (++index == filterIndex) return format.defaultExtension;
  }
  return {};
}

namespace {

// A missing file is named as such, not as a file its format cannot read.
bool IsMissing(const std::filesystem::path& file, Diagnostic& error) {
  std::error_code ec;
  if (std::filesystem::exists(file, ec)) return false;
  error = ReadFailureMessage(ReadFailure::NotFound, file);
  return true;
}

// Whether the phrase or one of the phrases in it names the file already.
bool Names(const Phrase& phrase, std::string_view name) {
  return std::any_of(phrase.arguments.begin(), phrase.arguments.end(), [&](const PhraseArgument& argument) {
    return argument.phrase ? Names(*argument.phrase, name) : argument.text == name;
  });
}

}  // namespace

Diagnostic LoadFailure(const std::filesystem::path& file, const Diagnostic& failure) {
  const std::string name = PathToUtf8(file);
  if (Names(failure.phrase, name)) return failure;
  return {MessageId::InFile, {name, failure.Empty() ? Phrase{MessageId::CliCannotLoadImage} : PlacedPhrase(failure)}};
}

bool LoadImageAs(TZX_Disk& disk, const std::filesystem::path& file, const ImageFormat& format, Diagnostic& error) {
  if (IsMissing(file, error)) return false;
  disk.LastError = {};
  disk.Notices.clear();
  if (format.load(disk, file)) return true;
  error = LoadFailure(file, disk.LastError);
  return false;
}

bool LoadImage(TZX_Disk& disk, const std::filesystem::path& file, Diagnostic& error) {
  const DetectedFormat detected = DetectFormat(file);
  if (detected.format != nullptr) return LoadImageAs(disk, file, *detected.format, error);
  std::error_code ec;
  const auto status = std::filesystem::status(file, ec);
  if (!std::filesystem::exists(status))
    error = ReadFailureMessage(ReadFailure::NotFound, file);
  else if (!std::filesystem::is_regular_file(status))
    error = ReadFailureMessage(ReadFailure::NotRegularFile, file);
  else
    error = LoadFailure(file, MessageId::UnsupportedFileType);
  return false;
}

bool SaveImageAs(TZX_Disk& disk, const std::filesystem::path& file, const ImageFormat& format,
                 const SaveOptions& options, Diagnostic& error, SaveLosses* lost) {
  if (format.save == nullptr) {
    error = {MessageId::FormatOnlyRead, {format.key}};
    return false;
  }
  const SaveLosses losses = FindSaveLosses(disk, format);
  if (lost != nullptr) *lost = losses;
  if (!losses.empty() && !options.lossy) {
    error = LossRefusal(format, losses);
    return false;
  }
  disk.LastError = {};
  if (format.save(disk, file, options)) return true;
  error = disk.LastError.Empty() ? Diagnostic{MessageId::ImageNotSaved, {PathToUtf8(file)}} : disk.LastError;
  return false;
}

SaveLosses FindSaveLosses(const TZX_Disk& disk, const ImageFormat& format) {
  SaveLosses losses = FindHeldLosses(disk, format.holds, format.key);
  if (format.losses == nullptr) return losses;
  const SaveLosses ofLayout = format.losses(disk, format.key);
  losses.insert(losses.end(), ofLayout.begin(), ofLayout.end());
  return losses;
}

Phrase LossSummary(const ImageFormat& format, const SaveLosses& losses) {
  Phrase summary{MessageId::LossSummary, {format.key, PlacedPhrase(LossDiagnostic(losses.front()))}};
  if (losses.size() == 1) return summary;
  return {MessageId::LossSummaryCount, {std::move(summary), losses.size()}};
}

Phrase LossRefusal(const ImageFormat& format, const SaveLosses& losses) {
  return {MessageId::LossRefusal, {LossSummary(format, losses)}};
}

bool SaveImage(TZX_Disk& disk, const std::filesystem::path& file, const SaveOptions& options, Diagnostic& error,
               SaveLosses* lost) {
  const ImageFormat* format = FindFormat(ExtensionKey(file));
  if (format == nullptr) {
    error = MessageId::UnsupportedFileType;
    return false;
  }
  return SaveImageAs(disk, file, *format, options, error, lost);
}

}  // namespace velloran
