#include "formats/kdi.h"

#include <array>

#include "formats/sector_dump.h"

namespace velloran {

namespace {

// Korvet: five 1024-byte sectors numbered 1..5 on every track.
constexpr std::array<std::uint8_t, 5> kKorvetSectors = {1, 2, 3, 4, 5};
constexpr SectorDumpLayout kKdiLayout{"KDI", 3, true, kKorvetSectors, kKorvetSectors};

}  // namespace

// A Korvet dump shows only its size.
Confidence ProbeKDI(const ProbeInput& input) { return ProbeSectorDumpSize(input, kKdiLayout); }

// Loads a KDI file into the disk.
bool LoadKDI(TZX_Disk& disk, const std::filesystem::path& file) { return LoadSectorDumpFile(disk, file, kKdiLayout); }

// Fills the disk from the bytes of a KDI file.
bool LoadKDIFromBytes(TZX_Disk& disk, ByteSpan data) { return LoadSectorDump(disk, data, kKdiLayout); }

// Saves the disk as a KDI file; nothing is written when a sector is missing.
bool SaveKDI(TZX_Disk& disk, const std::filesystem::path& file) { return SaveSectorDumpFile(disk, file, kKdiLayout); }

// Builds the bytes of a KDI file from the disk.
bool SaveKDIToBytes(TZX_Disk& disk, Bytes& out) { return SaveSectorDump(disk, out, kKdiLayout); }

SaveLosses SaveLossesKDI(const TZX_Disk& disk, std::string_view format) {
  return SectorDumpLosses(disk, kKdiLayout, format);
}

}  // namespace velloran
