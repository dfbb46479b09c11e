#include "cpm/cpm_definitions.h"

#include <algorithm>
#include <vector>

#include "model/disk.h"

namespace velloran {

namespace {

constexpr int kMaxDirectoryEntries = 4096;

// The name of a definition made from a disk's boot record.
constexpr const char* kBootRecordDefinition = "plus3record";

CpmDefinition Profi() {
  CpmDefinition d;
  d.Name = "profi";
  d.Title = "Profi CP/M";
  d.SectorSize = 1024;
  d.SectorsPerTrack = 5;
  d.TrackZeroLastSector = 9;
  d.Tracks = 160;
  d.Sides = CpmSides::Alternate;
  d.BlockSize = 2048;
  d.DirectoryEntries = 128;
  d.EndsAtBlankEntry = true;
  return d;
}

// The Amstrad family: nine 512-byte sectors per track.
CpmDefinition Amstrad(const char* name, const char* title, int firstSector, int tracks, CpmSides sides, int blockSize,
                      int entries, int reserved, bool bootRecord) {
  CpmDefinition d;
  d.Name = name;
  d.Title = title;
  d.SectorSize = 512;
  d.SectorsPerTrack = 9;
  d.FirstSector = firstSector;
  d.Tracks = tracks;
  d.Sides = sides;
  d.BlockSize = blockSize;
  d.DirectoryEntries = entries;
  d.ReservedTracks = reserved;
  d.BootRecord = bootRecord;
  return d;
}

const std::vector<CpmDefinition>& Table() {
  static const std::vector<CpmDefinition> table = {
      Profi(),
      Amstrad("plus3", "Spectrum +3 / Amstrad PCW", 1, 40, CpmSides::One, 1024, 64, 1, true),
      Amstrad("pcw720", "Amstrad PCW 720K", 1, 160, CpmSides::Alternate, 2048, 256, 1, true),
      Amstrad("cpcsys", "Amstrad CPC System", 0x41, 40, CpmSides::One, 1024, 64, 2, false),
      Amstrad("cpcdata", "Amstrad CPC Data", 0xC1, 40, CpmSides::One, 1024, 64, 0, false),
  };
  return table;
}

}  // namespace

int CpmDefinition::SizeCode() const {
  int code = 0;
  while ((128 << code) < SectorSize) ++code;
  return code;
}

bool CpmDefinition::Valid() const {
  const bool sectorOk = SectorSize >= 128 && SectorSize <= 1024 && (SectorSize & (SectorSize - 1)) == 0;
  const bool blockOk = BlockSize >= 1024 && BlockSize <= 16384 && (BlockSize & (BlockSize - 1)) == 0;
  if (!sectorOk || !blockOk || BlockSize < SectorSize) return false;
  if (SectorsPerTrack < 1 || SectorsPerTrack > kSlotCount || FirstSector < 0 || FirstSector + SectorsPerTrack > 256)
    return false;
  const int cylinders = Sides == CpmSides::One ? Tracks : (Tracks + 1) / 2;
  if (Tracks < 1 || cylinders > kTrackCount / 2 || (Sides == CpmSides::Successive && Tracks % 2 != 0)) return false;
  if (ReservedTracks < 0 || ReservedTracks >= Tracks || Skew < 0) return false;
  if (DirectoryEntries < 1 || DirectoryEntries > kMaxDirectoryEntries) return false;
  if (VolumeBlocks < 0 || VolumeBlocks > TrackBlocks()) return false;
  // An entry must hold at least one 16 KB extent, and the directory must
  // leave blocks for files.
  return BlocksPerEntry() * BlockSize >= 16384 && DirectoryBlocks() < BlockCount() && BlockCount() <= 65535;
}

std::span<const CpmDefinition> CpmDefinitions() { return Table(); }

const CpmDefinition& ProfiDefinition() { return Table().front(); }

std::optional<CpmDefinition> FindCpmDefinition(std::string_view name) {
  const auto& table = Table();
  const auto found = std::find_if(table.begin(), table.end(), [&](const CpmDefinition& d) { return d.Name == name; });
  if (found == table.end()) return std::nullopt;
  return *found;
}

namespace {

int Log2(int value) {
  int bits = 0;
  while ((1 << (bits + 1)) <= value) ++bits;
  return bits;
}

}  // namespace

std::optional<CpmDefinition> ParseCpmBootRecord(const CpmBootRecord& record) {
  const int sides = record[1] & 3;
  if (record[0] > 3 || sides > 2 || record[4] > 3 || record[6] < 3 || record[6] > 7) return std::nullopt;
  CpmDefinition d;
  d.Name = kBootRecordDefinition;
  d.Title = "Spectrum +3 / Amstrad PCW";
  d.SectorSize = 128 << record[4];
  d.SectorsPerTrack = record[3];
  d.Sides = sides == 0 ? CpmSides::One : sides == 1 ? CpmSides::Alternate : CpmSides::Successive;
  d.Tracks = record[2] * (sides == 0 ? 1 : 2);
  d.ReservedTracks = record[5];
  d.BlockSize = 128 << record[6];
  d.DirectoryEntries = record[7] * d.BlockSize / 32;
  d.BootRecord = true;
  if (!d.Valid()) return std::nullopt;
  for (const CpmDefinition& known : Table()) {
    CpmDefinition same = d;
    same.Name = known.Name;
    same.Title = known.Title;
    if (same == known) return known;
  }
  return d;
}

CpmBootRecord MakeCpmBootRecord(const CpmDefinition& definition) {
  const bool oneSide = definition.Sides == CpmSides::One;
  const int sides = oneSide ? 0 : definition.Sides == CpmSides::Alternate ? 1 : 2;
  return {static_cast<std::uint8_t>(oneSide ? 0 : 3),
          static_cast<std::uint8_t>(sides),
          static_cast<std::uint8_t>(oneSide ? definition.Tracks : definition.Tracks / 2),
          static_cast<std::uint8_t>(definition.SectorsPerTrack),
          static_cast<std::uint8_t>(definition.SizeCode()),
          static_cast<std::uint8_t>(definition.ReservedTracks),
          static_cast<std::uint8_t>(Log2(definition.BlockSize / 128)),
          static_cast<std::uint8_t>(definition.DirectoryBlocks()),
          0x2A,
          0x52};
}

Phrase CpmDefinitionTitle(const CpmDefinition& definition) {
  if (definition.Name == kBootRecordDefinition) return {MessageId::CpmFromBootRecord, {definition.Title}};
  return {MessageId::Verbatim, {definition.Title}};
}

Phrase CpmDefinitionDescription(const CpmDefinition& definition) {
  const int sides = definition.Sides == CpmSides::One ? 1 : 2;
  return {MessageId::CpmDefinitionDetails,
          {CpmDefinitionTitle(definition), sides, definition.Tracks / sides, definition.SectorsPerTrack,
           definition.SectorSize, definition.BlockSize, definition.DirectoryEntries, definition.ReservedTracks}};
}

}  // namespace velloran
