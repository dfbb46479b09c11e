// Hobeta files: one TR-DOS file behind a 17-byte header with a checksum.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "model/disk.h"
#include "trdos/catalog.h"
#include "trdos/file_sectors.h"
#include "trdos/message.h"

namespace velloran {

inline constexpr std::size_t kHobetaHeaderSize = 17;

// Checksum of the first 15 header bytes: (sum * 257 + 105) mod 65536.
std::uint16_t HobetaChecksum(const std::uint8_t* header);

// The 17-byte header of an entry: name, type, start, length, 0, sectors, checksum.
Bytes HobetaHeader(const TrdosEntry& entry);

// The catalog fields a Hobeta header carries (first sector and track stay 0),
// or nothing when fewer than 17 bytes are given.
std::optional<TrdosEntry> ParseHobetaHeader(ByteSpan file);
// Whether the stored header checksum matches the header.
bool HobetaChecksumValid(ByteSpan file);

// The export file name: the name without trailing bytes of 0x20 and below,
// unsafe characters replaced by "_", then ".$" and the type (boot.$B), UTF-8.
std::string HobetaFileName(const TrdosEntry& entry);

// The Hobeta file of one entry: its header and sectors. Sectors that did not
// read cleanly are in it as read (zeros where nothing was read) and listed.
struct HobetaFile {
  Bytes Data;
  std::vector<DamagedSector> Damaged;
};
HobetaFile BuildHobetaFile(const TZX_Disk& disk, const TrdosEntry& entry);

// The warning after a file was saved with damaged sectors, one line each.
Message DamagedFileMessage(const std::string& fileName, const std::vector<DamagedSector>& damaged);

// The question asked before a Hobeta export overwrites an existing file.
Message HobetaOverwriteQuestion(const std::string& fileName);

}  // namespace velloran
