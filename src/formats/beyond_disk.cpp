#include "formats/beyond_disk.h"

#include <algorithm>

namespace velloran {

namespace {

constexpr int kLastCylinder = kTrackCount / 2 - 1;

}  // namespace

bool TracksBeyondDisk::Drop(TZX_Disk& disk, int cylinder, int side, bool holdsSectors) {
  if (holdsSectors) {
    disk.LastError = format_ + " track at cylinder " + std::to_string(cylinder) + ", side " + std::to_string(side) +
                     " holds sectors, but a disk holds cylinders 0 to " + std::to_string(kLastCylinder) + " only!";
    return false;
  }
  ++dropped_;
  lastCylinder_ = std::max(lastCylinder_, cylinder);
  return true;
}

void TracksBeyondDisk::Report(TZX_Disk& disk) const {
  if (dropped_ == 0) return;
  disk.Notices.push_back(format_ + ": " + std::to_string(dropped_) + " blank track(s) of cylinders " +
                         std::to_string(kLastCylinder + 1) + " to " + std::to_string(lastCylinder_) +
                         " left out; a disk holds " + std::to_string(kLastCylinder + 1) + " cylinders.");
}

}  // namespace velloran
