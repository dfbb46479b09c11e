// DSK images of Amstrad CPC and Spectrum +3 disks, as emulators, libdsk and
// flux tools write them: the extended variant ("EXTENDED CPC DSK File"), with
// a size per track and per sector, and the original one ("MV - CPCEMU"),
// whose tracks all have one size. Both keep each sector's ID and the
// controller's status bytes ST1/ST2, which carry its CRC state.
#pragma once

#include <filesystem>

#include "common/bytes.h"
#include "formats/probe.h"
#include "formats/save_losses.h"
#include "model/disk.h"

namespace velloran {

enum class DskVariant { Extended, Standard };

Confidence ProbeDSK(const ProbeInput& input);

// Reads either variant with the sectors' deleted-data marks. Several stored
// copies of a weak sector (the extended variant's data length a multiple of
// the sector size) become the slot's copies, up to kMaxSectorCopies, all with
// the sector's CRC state; copies beyond those are a loss the disk carries, and
// so are other things the disk cannot hold (data beyond 1100 bytes, more than
// 20 sectors).
bool LoadDSK(TZX_Disk& disk, const std::filesystem::path& file);
bool LoadDSKFromBytes(TZX_Disk& disk, ByteSpan data);

// Writes every track up to the highest present one; one side when no odd
// track is present; the extended variant writes the copies of a weak sector
// one after another. The standard variant refuses a disk it cannot hold (a
// track of mixed sector sizes, a sector with part of its data or several
// copies).
bool SaveDSK(TZX_Disk& disk, const std::filesystem::path& file, DskVariant variant = DskVariant::Extended);
bool SaveDSKToBytes(TZX_Disk& disk, Bytes& out, DskVariant variant = DskVariant::Extended);

// What the extended variant cannot hold: copies of a weak sector that are not
// whole sectors, or whose CRC state differs from the first copy's. What the
// status bytes cannot tell: an ID CRC error in a sector whose data is bad too.
SaveLosses SaveLossesDSK(const TZX_Disk& disk, std::string_view format);

}  // namespace velloran
