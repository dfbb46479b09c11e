// What readers tell the user about parts of a file the disk cannot hold.
// Blank tracks beyond the disk's 83 cylinders (emulators write blank 84- and
// 86-cylinder disks) are left out with one notice; a track out there that
// holds sectors is left out as a loss the disk carries (TZX_Disk::Losses),
// so that no later save passes it over in silence. The other notes name what
// was kept of a sector or a track, and are carried losses too.
#pragma once

#include <string>
#include <string_view>

#include "model/disk.h"

namespace velloran {

class TracksBeyondDisk {
 public:
  explicit TracksBeyondDisk(std::string_view format) : format_(format) {}

  // A track at that cylinder and side that the disk cannot hold, with
  // `sectors` used sectors on it.
  void Drop(TZX_Disk& disk, int cylinder, int side, int sectors);

  // Adds the notice of the tracks left out, if there were any.
  void Report(TZX_Disk& disk) const;

 private:
  std::string format_;
  int firstCylinder_ = -1;
  int lastCylinder_ = -1;
  int sectorsLeftOut_ = 0;
};

// A sector whose data is longer than a slot holds: its first bytes are kept.
void NoteDataCut(TZX_Disk& disk, std::string_view format, int track, int sector, std::size_t length);
// A track with more sectors than it has slots: the first ones are kept.
void NoteTooManySectors(TZX_Disk& disk, std::string_view format, int track, std::size_t count);
// Sectors with a deleted-data mark that the reader loads as normal ones, if any.
void NoteDeletedMarks(TZX_Disk& disk, std::string_view format, int count);

// The notice of a flux image whose tracks beyond the disk's cylinders were
// left out.
Diagnostic TracksBeyondLeftOut(std::string_view format);

// A loss the disk carries from its load, with the notice that tells it.
void CarryLoss(TZX_Disk& disk, std::string_view format, DiskLoss loss);

}  // namespace velloran
