// Which CP/M definition a disk in memory follows, told from the disk itself.
#pragma once

#include <optional>

#include "cpm/cpm_definitions.h"
#include "model/disk.h"

namespace velloran {

// Recognises the disk by its track 0, the way the machines themselves do:
// - five sectors numbered 1-5 on track 0: the Korvet, read by the
//   parameter block in its first sector; without a valid one the disk is
//   none this program knows (its directory would be read in the wrong
//   place);
// - otherwise five or six sectors on track 0: the Profi (five 1024-byte
//   sectors, numbered 1-4 and 9), as the CP/M window has always accepted;
// - otherwise the lowest sector number on track 0 names the Amstrad format:
//   0x41-0x49 the CPC system format, 0xC1-0xC9 the CPC data format, 1-9
//   the Spectrum +3 / PCW format, whose geometry record in the first sector
//   decides the sizes; without a valid record (a freshly formatted +3 disk
//   holds 0xE5 there) it is the standard single-sided +3 disk.
// The Amstrad formats also need track 0's lowest-numbered sector to be of
// the format's sector size, so a TR-DOS disk (sectors of 256 bytes numbered
// from 1) is none; so is any other disk.
std::optional<CpmDefinition> RecognizeCpmDisk(const TZX_Disk& disk);

}  // namespace velloran
