#include "formats/format_table.h"

#include <array>
#include <cctype>

#include "formats/fdi.h"
#include "formats/flux_image.h"
#include "formats/hfe.h"
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

// key, reader, writer, filter, extension, raw tracks, CRC state, IDs, comments, what it cannot hold
// (SCL keeps the files of a TR-DOS disk: what lies outside the TR-DOS layout is lost as in TRD)
const std::array<ImageFormat, 12> kFormats = {{
    {"UDI", LoadUDI, Plain<SaveUDI>, "Универсальный образ диска (*.udi)", "udi", true, true, true, false,
     SaveLossesUDI},
    {"TRD", LoadTRD, Plain<SaveTRD>, "Файл образа TRDOS диска (*.trd)", "trd", false, false, false, false,
     SaveLossesTRD},
    {"TD0", LoadTD0, SaveTD0WithOptions, "Образ диска TeleDisk (*.td0)", "td0", false, true, true, true, SaveLossesTD0},
    {"FDI", LoadFDI, Plain<SaveFDI>, "Полный образ диска (*.fdi)", "fdi", false, true, true, true, SaveLossesFDI},
    {"PRO", LoadPRO, Plain<SavePRO>, "Секторный образ диска CP/M Profi (*.pro)", "pro", false, false, false, false,
     SaveLossesPRO},
    {"SCL", LoadSCL, Plain<SaveSCL>, "Краткий формат образа TRDOS диска (*.scl)", "scl", false, false, false, false,
     SaveLossesTRD},
    {"KDI", LoadKDI, Plain<SaveKDI>, "Образ диска Корвета (*.kdi)", "kdi", false, false, false, false, SaveLossesKDI},
    {"HFE", LoadHFE, Plain<SaveHFE>, "Образ для флоппи эмулятора (*.hfe)", "hfe", true, true, true, false,
     SaveLossesHFE},
    {"SCP", LoadSCP, Plain<SaveSCP>, "Флюкс-образ SuperCard Pro / Greaseweazle (*.scp)", "scp", true, true, true, false,
     SaveLossesFlux},
    {"MFI", LoadMFI, Plain<SaveMFI>, "Флюкс-образ MAME (*.mfi)", "mfi", true, true, true, false, SaveLossesFlux},
    {"UDF", LoadUDF, Plain<SaveUDF>, "", "udf", true, true, true, true, nullptr},
    // KryoFlux stream sets are only read: a file NN.S.raw or their folder.
    {"RAW", LoadKryoFlux, nullptr, "", "raw", true, true, true, false, nullptr},
}};

}  // namespace

std::span<const ImageFormat> ImageFormats() { return kFormats; }

std::string ExtensionKey(const std::filesystem::path& file) {
  std::string extension = file.extension().string();
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

std::string SaveDialogFilter() {
  std::string filter;
  for (const auto& format : kFormats) {
    if (format.filter.empty()) continue;
    if (!filter.empty()) filter += '|';
    filter += std::string(format.filter) + "|*." + std::string(format.defaultExtension);
  }
  return filter;
}

std::string LoadDialogFilter() {
  std::string names;
  for (const auto& format : kFormats) {
    if (format.filter.empty()) continue;
    if (!names.empty()) names += ',';
    names += "*." + std::string(format.defaultExtension);
  }
  // The combined entry lists FDI first in its pattern, as users have always seen it.
  return SaveDialogFilter() + "|Поддерживаемые форматы (" + names +
         ")|*.fdi;*.trd;*.udi;*.td0;*.pro;*.scl;*.kdi;*.hfe;*.scp;*.mfi";
}

std::string_view DefaultExtensionForFilter(int filterIndex) {
  int index = 0;
  for (const auto& format : kFormats) {
    if (format.filter.empty()) continue;
    if (++index == filterIndex) return format.defaultExtension;
  }
  return {};
}

bool LoadImage(TZX_Disk& disk, const std::filesystem::path& file, std::string& error) {
  // A folder can only be a set of KryoFlux stream files.
  std::error_code ec;
  const ImageFormat* format = FindFormat(std::filesystem::is_directory(file, ec) ? "RAW" : ExtensionKey(file));
  if (format == nullptr) {
    error = kUnsupportedFileType;
    return false;
  }
  disk.LastError.clear();
  if (format->load(disk, file)) return true;
  error = disk.LastError.empty() ? "Cannot load " + file.string() : disk.LastError;
  return false;
}

SaveLosses FindSaveLosses(const TZX_Disk& disk, const ImageFormat& format) {
  return format.losses == nullptr ? SaveLosses{} : format.losses(disk, format.key);
}

std::string LossSummary(const ImageFormat& format, const SaveLosses& losses) {
  std::string text =
      "Образ " + std::string(format.key) + " не вместит всего, что есть на диске: " + LossText(losses.front());
  if (losses.size() > 1) text += " (всего потерь: " + std::to_string(losses.size()) + ")";
  return text;
}

std::string LossRefusal(const ImageFormat& format, const SaveLosses& losses) {
  return LossSummary(format, losses) + ". Образ не сохранён!";
}

bool SaveImage(TZX_Disk& disk, const std::filesystem::path& file, const SaveOptions& options, std::string& error,
               SaveLosses* lost) {
  const ImageFormat* format = FindFormat(ExtensionKey(file));
  if (format == nullptr) {
    error = kUnsupportedFileType;
    return false;
  }
  if (format->save == nullptr) {
    error = std::string(format->key) + " images can only be read";
    return false;
  }
  const SaveLosses losses = FindSaveLosses(disk, *format);
  if (lost != nullptr) *lost = losses;
  if (!losses.empty() && !options.lossy) {
    error = LossRefusal(*format, losses);
    return false;
  }
  disk.LastError.clear();
  if (format->save(disk, file, options)) return true;
  error = disk.LastError.empty() ? "Cannot save " + file.string() : disk.LastError;
  return false;
}

}  // namespace velloran
