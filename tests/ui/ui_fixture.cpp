#include "ui/ui_fixture.h"

#include "trdos/catalog.h"

namespace velloran::test {

void MakeMarkedTrdosDisk(TZX_Disk& disk) {
  MakeTrdosDisk(disk, "TEST");
  for (int t = 1; t < 160; ++t)
    for (int s = 0; s < 16; ++s) {
      TSectorRec& sector = disk.GetSector(static_cast<std::uint8_t>(t), static_cast<std::uint8_t>(s));
      sector.Data[0] = static_cast<std::uint8_t>(t);
      sector.Data[1] = static_cast<std::uint8_t>(s);
    }
}

void MakeWeakSectorDisk(TZX_Disk& disk) {
  TTrack& track = disk.GetTrack(0);
  track.Present = true;
  TSectorRec& sector = track.Sectors[0];
  PlaceGoodSector(sector, 0, 0, 1, 1);
  sector.DataOk = false;
  for (int i = 0; i < 256; ++i) sector.Data[i] = static_cast<std::uint8_t>(i);
  for (int c = 1; c <= 2; ++c) {
    Bytes copy(sector.Data.begin(), sector.Data.begin() + 256);
    copy[0x40] = static_cast<std::uint8_t>(0xA0 + c);
    copy[0x41 + c] = 0xEE;
    sector.ExtraCopies.push_back({false, copy});
  }
}

}  // namespace velloran::test
