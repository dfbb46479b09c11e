// A fingerprint of everything a disk holds that a user sees or a file keeps:
// two disks with the same fingerprint hold the same tracks, sectors, raw
// images, logs, comments and base-track choice. The desktop compares the
// fingerprint with the one taken at the last load or save to know whether
// the disk has unsaved changes, whatever command changed it.
#pragma once

#include <cstdint>
#include <string>

#include "model/disk.h"

namespace velloran {

// Counters kept only for speed (TrackCount, SectorCount), the last error and
// its position, KeepRaw (set by every UDI save from the settings) and the
// view's ShowDisabledSectors do not count; raw bytes beyond RawLength do not
// either.
std::uint64_t DiskFingerprint(const TZX_Disk& disk);

// The SHA-256 of the disk's logical content, for comparing two reads of one
// disk whatever file they came in: for every present track in order and every
// used slot in slot order, the track index, C H R N, a state byte (1 = data
// field present, 2 = data CRC good, 4 = ID CRC good), the data length (16 bits,
// little-endian), the data, the number of further copies and each copy (state
// byte, length, data). Raw images, logs, titles and error counts do not count.
std::string ContentSha256(const TZX_Disk& disk);

}  // namespace velloran
