#include "formats/trd.h"

#include <array>

#include "formats/sector_dump.h"

namespace velloran {

namespace {

// TR-DOS: 16 sectors of 256 bytes numbered 1..16; TR-DOS writes side 0 into
// the IDs of both sides.
constexpr std::array<std::uint8_t, 16> kTrdosSectors = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
constexpr SectorDumpLayout kTrdLayout{"TRD", 1, false, kTrdosSectors, kTrdosSectors};

// The TR-DOS disk information sector: sector 9 of track 0.
constexpr std::size_t kInfoSector = 8 * 256;
constexpr std::size_t kFirstFreeSector = kInfoSector + 0xE1;
constexpr std::size_t kDiskType = kInfoSector + 0xE3;
constexpr std::size_t kTrdosId = kInfoSector + 0xE7;

// Whether the file holds a TR-DOS disk information sector: the TR-DOS
// identification byte, one of the four disk types and a sector number.
bool HasTrdosInfoSector(const ProbeInput& input) {
  if (input.head.size() <= kTrdosId || input.size > kTrackCount * kTrdLayout.TrackBytes()) return false;
  const std::uint8_t type = input.head[kDiskType];
  return input.head[kTrdosId] == 0x10 && type >= 0x16 && type <= 0x19 && input.head[kFirstFreeSector] < 16;
}

}  // namespace

// A TRD is known by its TR-DOS information sector, or else by its size.
Confidence ProbeTRD(const ProbeInput& input) {
  if (HasTrdosInfoSector(input)) return Confidence::Fields;
  return ProbeSectorDumpSize(input, kTrdLayout);
}

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
