// Tracks an image holds beyond the disk's 83 cylinders. Emulators write blank
// 84- and 86-cylinder disks; such blank tracks are left out with one notice.
// A track out there that holds sectors cannot be kept, so it stops the load.
#pragma once

#include <string>
#include <string_view>

#include "model/disk.h"

namespace velloran {

class TracksBeyondDisk {
 public:
  explicit TracksBeyondDisk(std::string_view format) : format_(format) {}

  // A track at that cylinder and side that the disk cannot hold. False, with
  // a message naming it in LastError, when it holds sectors.
  bool Drop(TZX_Disk& disk, int cylinder, int side, bool holdsSectors);

  // Adds the notice of the blank tracks left out, if there were any.
  void Report(TZX_Disk& disk) const;

 private:
  std::string format_;
  int dropped_ = 0;
  int lastCylinder_ = 0;
};

}  // namespace velloran
