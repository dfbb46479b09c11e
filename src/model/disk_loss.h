// A loss: a part of a disk that a load could not hold, or that a save would
// not keep. A disk carries the losses of its load (TZX_Disk::Losses) so that
// every later save lists them; the format table adds what the target cannot
// hold. The records are structured; LossText is the one place that turns one
// into words, in the language the front end chose.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/diagnostic.h"

namespace velloran {

enum class LossKind : std::uint8_t {
  SectorData,          // sector data past what is kept, or a sector with no place in the file
  RawBytes,            // raw track bytes past what a track keeps
  DataCrcState,        // a data CRC error that would read back good
  NoDataField,         // a sector without a data field that would read back with data
  IdCrcState,          // an ID field with a CRC error that would read back good
  DeletedMark,         // a deleted-data mark that would read back as a normal one
  Copies,              // copies of a sector's data beyond the first
  Comment,             // the disk's comment, or part of it
  DataRate,            // a track's data rate (kbit/s) other than the one written
  Encoding,            // a track recorded in FM written as MFM
  Revolutions,         // captured flux revolutions beyond the first
  OutsideFiles,        // sectors outside the files of the catalog
  CylinderBeyondDisk,  // a track with sectors past the 83 cylinders the disk holds
  FluxCut,             // flux transitions past the limit a capture keeps
};

struct DiskLoss {
  LossKind kind = LossKind::SectorData;
  int track = -1;   // track index as the disk counts them (cylinder × 2 + side); -1: the whole disk
  int sector = -1;  // ID number R of the sector, or -1 when the track as a whole is concerned
  Phrase detail;    // what is lost
};
using DiskLosses = std::vector<DiskLoss>;

// The loss as a warning placed on its track and sector.
Diagnostic LossDiagnostic(const DiskLoss& loss);

// "track 3, sector 17: <detail>", "track 3: <detail>", or the detail alone
// for the whole disk.
std::string LossText(const DiskLoss& loss, Language language = ProcessLanguage());

// The kind as a word for scripts: "data_crc", "id_crc", ...
std::string_view LossKindName(LossKind kind);

}  // namespace velloran
