#include "formats/trd.h"

#include <array>

#include "formats/sector_dump.h"

namespace velloran {

namespace {

// TR-DOS: 16 sectors of 256 bytes numbered 1..16; TR-DOS writes side 0 into
// the IDs of both sides.
constexpr std::array<std::uint8_t, 16> kTrdosSectors = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
constexpr SectorDumpLayout kTrdLayout{"TRD", 1, false, kTrdosSectors, kTrdosSectors};

}  // namespace

// Loads a TRD file into the disk.
bool LoadTRD(TZX_Disk& disk, const std::filesystem::path& file) { return LoadSectorDumpFile(disk, file, kTrdLayout); }

// Fills the disk from the bytes of a TRD file.
bool LoadTRDFromBytes(TZX_Disk& disk, ByteSpan data) { return LoadSectorDump(disk, data, kTrdLayout); }

// Saves the disk as a TRD file; nothing is written when a sector is missing.
bool SaveTRD(TZX_Disk& disk, const std::filesystem::path& file) { return SaveSectorDumpFile(disk, file, kTrdLayout); }

// Builds the bytes of a TRD file from the disk.
bool SaveTRDToBytes(TZX_Disk& disk, Bytes& out) { return SaveSectorDump(disk, out, kTrdLayout); }

SaveLosses SaveLossesTRD(const TZX_Disk& disk, std::string_view format) {
  return SectorDumpLosses(disk, kTrdLayout, format);
}

}  // namespace velloran
