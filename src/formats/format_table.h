// The one table of image formats: the extension key of each, its reader and
// writer, its dialog filter text and default extension, and what it can hold.
// The load and save dispatch, the dialogs and the command line all read it.
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "formats/save_losses.h"
#include "model/disk.h"

namespace velloran {

struct SaveOptions {
  bool td0Compress = false;  // the TD0arch setting
  bool lossy = false;        // save even when the format cannot hold all of the disk
};

struct ImageFormat {
  std::string_view key;  // upper-case extension key, e.g. "TRD"
  bool (*load)(TZX_Disk&, const std::filesystem::path&);
  bool (*save)(TZX_Disk&, const std::filesystem::path&, const SaveOptions&);  // nullptr: read only
  std::string_view filter;            // dialog filter entry; empty = not in the dialogs
  std::string_view defaultExtension;  // "trd"
  // What a file of this format can hold beyond plain sector data.
  bool holdsRawTracks;
  bool holdsCrcState;
  bool holdsIds;
  bool holdsComments;
  // What a file of this format cannot hold of a disk (`format` names it in the
  // texts); nullptr when it holds everything.
  SaveLosses (*losses)(const TZX_Disk& disk, std::string_view format);
};

// All formats, in the order of the dialogs' filter lists (1-based filter
// index = position + 1); formats reached only by their own commands follow.
std::span<const ImageFormat> ImageFormats();

// Upper-cased extension without its dot, cut to three characters:
// "game.Trdx" -> "TRD", "notes" -> "".
std::string ExtensionKey(const std::filesystem::path& file);

// The table row of an extension key, or nullptr.
const ImageFormat* FindFormat(std::string_view key);

// The load dialog's filter list, entries separated by "|".
std::string LoadDialogFilter();
// The save dialog's filter list.
std::string SaveDialogFilter();
// Default extension for a 1-based save-dialog filter index; empty when out of range.
std::string_view DefaultExtensionForFilter(int filterIndex);

// Loads an image chosen by its extension key. On failure returns false and sets
// `error`: the reader's LastError, or "Данный тип файлов не поддерживается!"
// for a key outside the table.
bool LoadImage(TZX_Disk& disk, const std::filesystem::path& file, std::string& error);

// What saving the disk in this format would lose.
SaveLosses FindSaveLosses(const TZX_Disk& disk, const ImageFormat& format);

// What a save would lose in one sentence: the first loss and how many there
// are. LossRefusal is the message of a save refused for it.
std::string LossSummary(const ImageFormat& format, const SaveLosses& losses);
std::string LossRefusal(const ImageFormat& format, const SaveLosses& losses);

// Saves an image chosen by its extension key; false with `error` on failure.
// A save that would lose part of the disk is refused (LossRefusal) unless
// options.lossy. What the save loses, or would lose, goes to `lost` when given.
bool SaveImage(TZX_Disk& disk, const std::filesystem::path& file, const SaveOptions& options, std::string& error,
               SaveLosses* lost = nullptr);

inline constexpr std::string_view kUnsupportedFileType = "Данный тип файлов не поддерживается!";

}  // namespace velloran
