// Why a writer that stores tracks built by BuildRawTrack (UDI, HFE, MFI)
// could not build one, in the user's words: sectors that do not fit in one
// double-density revolution name their count, their data and the rate they
// were recorded at (a 1.2 MB disk at 500 kbit/s holds twice what such a
// track can); a sector that cannot be placed is named by its number.
#pragma once

#include <string_view>

#include "model/disk.h"

namespace velloran {

// The failure of BuildRawTrack on `track` as the writer of `format` reports
// it. `failedSlot` is the disk's ErrSector after the build, or kSlotCount
// (or more) when the build named no slot.
Diagnostic TrackBuildFailure(const TZX_Disk& disk, int track, int failedSlot, std::string_view format);

// Builds `track` into `raw` and `syncMap` (BuildRawTrack); on failure leaves
// TrackBuildFailure in LastError and returns false.
bool BuildTrackToWrite(TZX_Disk& disk, int track, std::uint8_t* raw, std::uint8_t* syncMap, std::string_view format);

}  // namespace velloran
