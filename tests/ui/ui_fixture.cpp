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

}  // namespace velloran::test
