#include "trdos/file_sectors.h"

#include <string>

namespace velloran {

std::optional<SectorFailure> ReadFileSectors(const TZX_Disk& disk, TrdosPosition start, int count, Bytes& out) {
  TrdosPosition position = start;
  for (int i = 0; i < count; ++i) {
    const TSectorRec* sector = FindUsableSector(disk, position.Track, position.Sector + 1);
    if (sector == nullptr) return SectorFailure{position};
    out.insert(out.end(), sector->Data.begin(), sector->Data.begin() + kTrdosSectorSize);
    position.Advance();
  }
  return std::nullopt;
}

std::vector<DamagedSector> SalvageFileSectors(const TZX_Disk& disk, TrdosPosition start, int count, Bytes& out) {
  std::vector<DamagedSector> damaged;
  TrdosPosition position = start;
  for (int i = 0; i < count; ++i) {
    const TSectorRec* sector = FindUsableSector(disk, position.Track, position.Sector + 1);
    if (sector == nullptr) {
      damaged.push_back({position, true});
      out.insert(out.end(), kTrdosSectorSize, 0);
    } else {
      if (!sector->DataOk) damaged.push_back({position, false});
      out.insert(out.end(), sector->Data.begin(), sector->Data.begin() + kTrdosSectorSize);
    }
    position.Advance();
  }
  return damaged;
}

std::string SectorErrorText(const TrdosPosition& position, const char* ending) {
  return "Ошибка сектора - (track " + std::to_string(position.Track) + " sector " +
         std::to_string(position.Sector + 1) + ")" + ending;
}

}  // namespace velloran
