#include "trdos/file_sectors.h"

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

Phrase SectorErrorPhrase(const TrdosPosition& position) {
  return {MessageId::SectorErrorAt, {position.Track, position.Sector + 1}};
}

Phrase DamagedSectorPhrase(const DamagedSector& sector) {
  return {MessageId::AtSector,
          {sector.Position.Track, sector.Position.Sector + 1,
           Phrase(sector.NoData ? MessageId::SectorNoDataZeros : MessageId::LossDataCrcError)}};
}

}  // namespace velloran
