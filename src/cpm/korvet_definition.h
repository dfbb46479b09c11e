// The Korvet's CP/M disks: 80 cylinders, both sides alternately, five
// 1024-byte sectors numbered 1-5 on every track. The disk says how its
// file system lies: the first sector of track 0 holds, from byte 16, the
// CP/M 2.2 disk parameter block the system reads it by.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "cpm/cpm_definitions.h"

namespace velloran {

inline constexpr int kKorvetParameterBlockOffset = 16;
inline constexpr int kKorvetParameterBlockSize = 15;

// The definition the parameter block in the Korvet's first sector gives:
// records per track (SPT, 16 bits), block shift and mask (BSH, BLM), extent
// mask (EXM), highest block (DSM, 16 bits), highest directory entry (DRM,
// 16 bits), directory allocation bits (AL0, AL1), check vector size (CKS,
// 16 bits) and system tracks (OFF, 16 bits). None when the bytes are no
// parameter block of a Korvet disk this program can read.
std::optional<CpmDefinition> ParseKorvetBootSector(std::span<const std::uint8_t> sector);

}  // namespace velloran
