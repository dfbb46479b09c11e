// What a save in a given format would drop of the disk in memory. Each format
// states what it cannot hold with one function (the `losses` field of its
// format table row) built from the finders below; a save that would lose
// something is refused unless the user asks for it, and then the loss is
// listed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/disk.h"

namespace velloran {

struct SaveLoss {
  int track = 0;
  int sector = -1;   // ID number of the sector, or -1 when the track as a whole is concerned
  std::string what;  // what is lost, in words
};
using SaveLosses = std::vector<SaveLoss>;

// "дорожка 3, сектор 17: <what>", or "дорожка 3: <what>".
std::string LossText(const SaveLoss& loss);

// The data of each used sector of a present track beyond the `stored(N)`
// bytes the format keeps of a sector with size code N.
void FindDataBeyond(const TZX_Disk& disk, std::string_view format, int (*stored)(std::uint8_t sizeCode),
                    SaveLosses& losses);

// Raw track images that carry more than gap filler past the `kept` bytes a
// track of the format holds.
void FindRawCuts(const TZX_Disk& disk, std::string_view format, int kept, SaveLosses& losses);

// What formats that store tracks built by BuildRawTrack (UDI, HFE) cannot
// hold: raw bytes past the `rawKept` a track keeps, data beyond the sector size.
SaveLosses BuiltTrackLosses(const TZX_Disk& disk, std::string_view format, int rawKept);

// The further copies of weak sectors (TSectorRec::ExtraCopies), for formats
// that keep one copy of a sector.
void FindExtraCopies(const TZX_Disk& disk, SaveLosses& losses);

// The losses of a format that holds every sector but one copy of each.
SaveLosses CopyLosses(const TZX_Disk& disk, std::string_view format);

// "сектор 512 байт", or "сектор с кодом размера 6" for codes beyond the model.
std::string SectorSizeText(std::uint8_t sizeCode);

}  // namespace velloran
