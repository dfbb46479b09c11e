#include "cpm/cpm_recognition.h"

#include <algorithm>

#include "cpm/cpm_disk.h"

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

}  // namespace

std::optional<CpmDefinition> RecognizeCpmDisk(const TZX_Disk& disk) {
  const auto& sectors = disk.Tracks[0].Sectors;
  const auto used = std::count_if(sectors.begin(), sectors.end(), [](const TSectorRec& s) { return s.Used != 0; });
  if (used == 5 || used == 6) return ProfiDefinition();

  const TSectorRec* first = nullptr;
  for (const TSectorRec& sector : sectors)
    if (sector.Used != 0 && (first == nullptr || sector.IdSector < first->IdSector)) first = &sector;
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
