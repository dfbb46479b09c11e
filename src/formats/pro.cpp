#include "formats/pro.h"

#include <array>

#include "formats/sector_dump.h"

namespace velloran {

namespace {

// Profi CP/M: five 1024-byte sectors per track; the fifth sector of track 0
// is numbered 9.
constexpr std::array<std::uint8_t, 5> kFirstTrack = {1, 2, 3, 4, 9};
constexpr std::array<std::uint8_t, 5> kOtherTracks = {1, 2, 3, 4, 5};
constexpr SectorDumpLayout kProLayout{"PRO", 3, true, kFirstTrack, kOtherTracks};

}  // namespace

// A Profi dump shows only its size.
Confidence ProbePRO(const ProbeInput& input) { return ProbeSectorDumpSize(input, kProLayout); }

// Loads a PRO file into the disk.
bool LoadPRO(TZX_Disk& disk, const std::filesystem::path& file) { return LoadSectorDumpFile(disk, file, kProLayout); }

// Fills the disk from the bytes of a PRO file.
bool LoadPROFromBytes(TZX_Disk& disk, ByteSpan data) { return LoadSectorDump(disk, data, kProLayout); }

// Saves the disk as a PRO file; nothing is written when a sector is missing.
bool SavePRO(TZX_Disk& disk, const std::filesystem::path& file) { return SaveSectorDumpFile(disk, file, kProLayout); }

// Builds the bytes of a PRO file from the disk.
bool SavePROToBytes(TZX_Disk& disk, Bytes& out) { return SaveSectorDump(disk, out, kProLayout); }

SaveLosses SaveLossesPRO(const TZX_Disk& disk, std::string_view format) {
  return SectorDumpLosses(disk, kProLayout, format);
}

}  // namespace velloran
