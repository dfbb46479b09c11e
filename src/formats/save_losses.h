// What a save in a given format would drop of the disk in memory. One check
// serves every format: the disk's carried losses (what its load could not
// hold), then each property the disk has and the format's row says it does
// not hold (FormatHolds), then what the format's own layout cannot hold (the
// `losses` function of its row, built from the finders below). A save that
// would lose something is refused unless the user asks for it, and then the
// loss is listed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/disk.h"

namespace velloran {

using SaveLoss = DiskLoss;
using SaveLosses = DiskLosses;

// What a file of a format holds beyond the ID numbers and data of its sectors.
struct FormatHolds {
  bool rawTracks = false;     // raw track images
  bool ids = false;           // every ID field as it is (C H R N), in track order
  bool crcState = false;      // data fields with a CRC error
  bool missingData = false;   // ID fields without a data field
  bool idCrcState = false;    // ID fields with a CRC error
  bool deletedMarks = false;  // data fields behind a deleted-data mark
  bool copies = false;        // several copies of one sector's data
  bool comments = false;      // the disk's comment
  bool recording = false;     // each track's data rate and encoding (FM or MFM)
  bool revolutions = false;   // every revolution of captured flux, not only the first
  bool capturedFlux = false;  // the captured flux of an unchanged track, as it was
  bool onlyFiles = false;     // only the files of a TR-DOS catalog, nothing outside them
};

// Everything the disk holds that a format with `holds` loses, `format`
// naming it in the texts: the disk's carried losses first, then per track
// and sector. Tracks a format keeps as captured flux are kept whole.
SaveLosses FindHeldLosses(const TZX_Disk& disk, const FormatHolds& holds, std::string_view format);

// The data of each used sector of a present track beyond the `stored(N)`
// bytes the format keeps of a sector with size code N.
void FindDataBeyond(const TZX_Disk& disk, std::string_view format, int (*stored)(std::uint8_t sizeCode),
                    SaveLosses& losses);

// Raw track images that carry more than gap filler past the `kept` bytes a
// track of the format holds.
void FindRawCuts(const TZX_Disk& disk, std::string_view format, int kept, SaveLosses& losses);

// What formats that store tracks built by BuildRawTrack (UDI, HFE) cannot
// hold: raw bytes past the `rawKept` a track keeps, data beyond the sector
// size, and sectors of size codes beyond 3, which go out cut at the track's
// end.
SaveLosses BuiltTrackLosses(const TZX_Disk& disk, std::string_view format, int rawKept);

// "сектор 512 байт", or "сектор с кодом размера 6" for codes beyond the model.
Phrase SectorSizeText(std::uint8_t sizeCode);

}  // namespace velloran
