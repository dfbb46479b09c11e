// The one table of image formats: for each its key, names, content probe,
// reader and writer, default extension and what it can hold. Loading, saving,
// the dialogs' filter lists, the command line's lists and the README's list
// all come from it; nothing else lists the formats.
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "common/messages.h"
#include "formats/probe.h"
#include "formats/save_losses.h"
#include "model/disk.h"

namespace velloran {

// What a save is asked to do beyond writing the disk; the command line takes
// each from a row of writer_options.h.
struct SaveOptions {
  bool keepRaw = false;      // UDI keeps the loaded raw tracks (the inverse of the RestoreTrack setting)
  bool td0Compress = false;  // the TD0arch setting
  bool dskStandard = false;  // DSK in the original fixed-size layout instead of the extended one
  bool lossy = false;        // save even when the format cannot hold all of the disk
};

struct ImageFormat {
  std::string_view key;               // upper-case extension key, e.g. "TRD"
  MessageId name;                     // what it is: "TR-DOS sector dump"; also the dialogs' caption
  bool inDialogs;                     // the open and save dialogs offer it
  std::string_view defaultExtension;  // "trd"
  Confidence (*probe)(const ProbeInput&);
  bool (*load)(TZX_Disk&, const std::filesystem::path&);
  bool (*save)(TZX_Disk&, const std::filesystem::path&, const SaveOptions&);  // nullptr: read only
  // What a file of this format holds beyond plain sector data; the save
  // check compares the disk against it.
  FormatHolds holds;
  // What the layout of this format cannot hold of a disk besides (`format`
  // names it in the texts); nullptr when nothing more.
  SaveLosses (*losses)(const TZX_Disk& disk, std::string_view format);
};

// All formats, in the order of the dialogs' filter lists; formats reached
// only by their own commands are not in the dialogs.
std::span<const ImageFormat> ImageFormats();

// Upper-cased extension without its dot, cut to three characters:
// "game.Trdx" -> "TRD", "notes" -> "".
std::string ExtensionKey(const std::filesystem::path& file);

// The table row of an extension key, or nullptr.
const ImageFormat* FindFormat(std::string_view key);

// The format a file is read as and how it was recognised.
struct DetectedFormat {
  const ImageFormat* format = nullptr;  // nullptr: no format claims the file
  Confidence confidence = Confidence::None;
  bool byExtension = false;  // the extension alone named it
};

// Offers the file to every probe. The surest claim wins; the file's extension
// counts as the weakest claim of its own format and decides between equally
// sure claims; the table order decides the rest. A missing file is left to
// the format of its extension, whose reader then says what is wrong.
DetectedFormat DetectFormat(const std::filesystem::path& file);

// How a detection is described to the user: "signature", "contents", "size", "extension".
std::string_view DetectionText(const DetectedFormat& detected);

// The load dialog's filter list, entries separated by "|": every image first,
// then each format, then every file.
std::string LoadDialogFilter();
// One format's entry of a dialog's filter list: "name (*.ext)|*.ext".
std::string FormatFilter(const ImageFormat& format);
// The save dialog's filter list: each format.
std::string SaveDialogFilter();
// Default extension for a 1-based save-dialog filter index; empty when out of range.
std::string_view DefaultExtensionForFilter(int filterIndex);

// Loads an image in the format DetectFormat finds. On failure returns false
// and sets `error` to LoadFailure of the reader's LastError, or of
// UnsupportedFileType when no format claims the file (a missing file or a
// folder is named as such). The reader's notices on success are in
// disk.Notices.
bool LoadImage(TZX_Disk& disk, const std::filesystem::path& file, Diagnostic& error);
// Loads an image with the reader of a given format; `error` as for LoadImage.
bool LoadImageAs(TZX_Disk& disk, const std::filesystem::path& file, const ImageFormat& format, Diagnostic& error);
// A load failure as the user is shown it: the file's name, then what is
// wrong. A failure that names the file already (a failed read) stays as it is.
Diagnostic LoadFailure(const std::filesystem::path& file, const Diagnostic& failure);

// What saving the disk in this format would lose: the disk's carried losses,
// what its row says it does not hold, and what its layout cannot hold.
SaveLosses FindSaveLosses(const TZX_Disk& disk, const ImageFormat& format);

// What a save would lose in one sentence: the first loss and how many there
// are. LossRefusal is the message of a save refused for it.
Phrase LossSummary(const ImageFormat& format, const SaveLosses& losses);
Phrase LossRefusal(const ImageFormat& format, const SaveLosses& losses);

// Saves an image in the format of its extension key; false with `error` on
// failure. A save that would lose part of the disk is refused (LossRefusal)
// unless options.lossy. What the save loses, or would lose, goes to `lost`
// when given.
bool SaveImage(TZX_Disk& disk, const std::filesystem::path& file, const SaveOptions& options, Diagnostic& error,
               SaveLosses* lost = nullptr);
// Saves an image with the writer of a given format, whatever its name; losses
// as for SaveImage.
bool SaveImageAs(TZX_Disk& disk, const std::filesystem::path& file, const ImageFormat& format,
                 const SaveOptions& options, Diagnostic& error, SaveLosses* lost = nullptr);

}  // namespace velloran
