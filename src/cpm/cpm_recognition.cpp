#include "cpm/cpm_recognition.h"

#include <algorithm>
#include <span>

#include "cpm/cpm_disk.h"
#include "cpm/korvet_definition.h"

namespace velloran {

namespace {

// The +3's definition: the one the geometry record in sector 1 of track 0
// names, or the plain single-sided format.
CpmDefinition PlusThreeDefinition(const TZX_Disk& disk) {
  const std::uint8_t slot = FindCpmSector(disk, 0, 1);
  CpmBootRecord record{};
  if (slot != kCpmNoSlot && disk.Tracks[0].Sectors[slot].DataLen >= record.size()) {
    std::copy_n(disk.Tracks[0].Sectors[slot].Data.begin(), record.size(), record.begin());
    if (auto described = ParseCpmBootRecord(record)) return *described;
  }
  return *FindCpmDefinition("plus3");
}

// Track 0 numbered 1-5, as the Korvet formats it (the Profi's fifth
// sector is number 9).
bool HasKorvetTrackZero(const TZX_Disk& disk) {
  for (int n = 1; n <= 5; ++n)
    if (FindCpmSector(disk, 0, n) == kCpmNoSlot) return false;
  return FindCpmSector(disk, 0, 9) == kCpmNoSlot;
}

// The Korvet's definition, from the parameter block in its first sector.
std::optional<CpmDefinition> KorvetDefinition(const TZX_Disk& disk) {
  const TSectorRec& first = disk.Tracks[0].Sectors[FindCpmSector(disk, 0, 1)];
  if (first.IdSize != 3) return std::nullopt;
  return ParseKorvetBootSector(std::span(first.Data.data(), first.DataLen));
}

}  // namespace

std::optional<CpmDefinition> RecognizeCpmDisk(const TZX_Disk& disk) {
  const auto& sectors = disk.Tracks[0].Sectors;
  const auto used = std::count_if(sectors.begin(), sectors.end(), [](const TSectorRec& s) { return s.Used; });
  if (used == 5 && HasKorvetTrackZero(disk)) return KorvetDefinition(disk);
  if (used == 5 || used == 6) return ProfiDefinition();

  const TSectorRec* first = nullptr;
  for (const TSectorRec& sector : sectors)
    if (sector.Used && (first == nullptr || sector.IdSector < first->IdSector)) first = &sector;
  if (first == nullptr) return std::nullopt;
  std::optional<CpmDefinition> definition;
  if (first->IdSector >= 0x41 && first->IdSector <= 0x49)
    definition = FindCpmDefinition("cpcsys");
  else if (first->IdSector >= 0xC1 && first->IdSector <= 0xC9)
    definition = FindCpmDefinition("cpcdata");
  else if (first->IdSector >= 1 && first->IdSector <= 9)
    definition = PlusThreeDefinition(disk);
  if (definition && first->IdSize != definition->SizeCode()) return std::nullopt;
  return definition;
}

}  // namespace velloran
