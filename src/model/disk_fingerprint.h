// A fingerprint of everything a disk holds that a user sees or a file keeps:
// two disks with the same fingerprint hold the same tracks, sectors, raw
// images, logs, comments and base-track choice. The desktop compares the
// fingerprint with the one taken at the last load or save to know whether
// the disk has unsaved changes, whatever command changed it.
#pragma once

#include <cstdint>

#include "model/disk.h"

namespace velloran {

// Counters kept only for speed (TrackCount, SectorCount), the last error and
// its position, KeepRaw (set by every UDI save from the settings) and the
// view's ShowDisabledSectors do not count; raw bytes beyond RawLength do not
// either.
std::uint64_t DiskFingerprint(const TZX_Disk& disk);

}  // namespace velloran
