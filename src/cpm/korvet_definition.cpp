#include "cpm/korvet_definition.h"

#include "common/bytes.h"

namespace velloran {

namespace {

constexpr int kSectorSize = 1024;
constexpr int kSectorsPerTrack = 5;
constexpr int kTracks = 160;
constexpr int kRecordsPerTrack = kSectorsPerTrack * kSectorSize / 128;

// AL0 and AL1 as one 16-bit mask, block 0 in its top bit.
int DirectoryMask(int blocks) { return blocks >= 16 ? 0xFFFF : 0xFFFF & ~(0xFFFF >> blocks); }

}  // namespace

std::optional<CpmDefinition> ParseKorvetBootSector(std::span<const std::uint8_t> sector) {
  if (sector.size() < kKorvetParameterBlockOffset + kKorvetParameterBlockSize) return std::nullopt;
  const std::uint8_t* dpb = sector.data() + kKorvetParameterBlockOffset;
  const int recordsPerTrack = ReadLe16(dpb);
  const int blockShift = dpb[2];
  const int blockMask = dpb[3];
  const int extentMask = dpb[4];
  const int highestBlock = ReadLe16(dpb + 5);
  const int highestEntry = ReadLe16(dpb + 7);
  const int allocation = dpb[9] << 8 | dpb[10];
  const int systemTracks = ReadLe16(dpb + 13);
  if (recordsPerTrack != kRecordsPerTrack || blockShift < 3 || blockShift > 7 || blockMask != (1 << blockShift) - 1)
    return std::nullopt;

  CpmDefinition d;
  d.Name = "korvet";
  d.Title = "Korvet CP/M";
  d.SectorSize = kSectorSize;
  d.SectorsPerTrack = kSectorsPerTrack;
  d.Tracks = kTracks;
  d.Sides = CpmSides::Alternate;
  d.BlockSize = 128 << blockShift;
  d.DirectoryEntries = highestEntry + 1;
  d.ReservedTracks = systemTracks;
  d.VolumeBlocks = highestBlock + 1;
  if (!d.Valid() || extentMask != d.ExtentMask() || allocation != DirectoryMask(d.DirectoryBlocks()))
    return std::nullopt;
  return d;
}

}  // namespace velloran
