#include "fdc/fdc_test_support.h"

namespace velloran::test {

void FillTrack(TZX_Disk& disk, int track, int count, std::uint8_t sizeCode) {
  TTrack& t = disk.GetTrack(static_cast<std::uint8_t>(track));
  t.Present = 0xFF;
  for (int i = 0; i < count; ++i) {
    TSectorRec& slot = t.Sectors[i];
    slot.Used = 0xFF;
    slot.IdTrack = static_cast<std::uint8_t>(track / 2);
    slot.IdSide = static_cast<std::uint8_t>(track % 2);
    slot.IdSector = static_cast<std::uint8_t>(i + 1);
    slot.IdSize = sizeCode;
    slot.IdCrc = IdFieldCrc(slot.IdTrack, slot.IdSide, slot.IdSector, slot.IdSize);
    slot.DataLen = static_cast<std::uint16_t>(SectorLength(sizeCode));
    slot.DataOk = 0xFF;
    for (int b = 0; b < slot.DataLen; ++b) slot.Data[b] = static_cast<std::uint8_t>(track * 7 + i * 13 + b);
  }
}

bool SameSectors(const TZX_Disk& a, const TZX_Disk& b, std::string& difference) {
  for (int t = 0; t < kTrackCount; ++t) {
    const TTrack& ta = a.GetTrack(static_cast<std::uint8_t>(t));
    const TTrack& tb = b.GetTrack(static_cast<std::uint8_t>(t));
    const std::string where = "track " + std::to_string(t);
    if ((ta.Present != 0) != (tb.Present != 0)) {
      difference = where + ": present differs";
      return false;
    }
    if (!ta.Present) continue;
    for (int s = 0; s < kSlotCount; ++s) {
      const TSectorRec& x = ta.Sectors[s];
      const TSectorRec& y = tb.Sectors[s];
      const std::string slot = where + " slot " + std::to_string(s);
      if ((x.Used != 0) != (y.Used != 0)) {
        difference = slot + ": used differs";
        return false;
      }
      if (!x.Used) continue;
      if (x.IdTrack != y.IdTrack || x.IdSide != y.IdSide || x.IdSector != y.IdSector || x.IdSize != y.IdSize ||
          x.IdCrc != y.IdCrc) {
        difference = slot + ": ID differs";
        return false;
      }
      if ((x.DataOk != 0) != (y.DataOk != 0)) {
        difference = slot + ": CRC state differs";
        return false;
      }
      if (!x.DataOk) continue;  // the data of a bad sector is not read back
      if (x.DataLen != y.DataLen || !std::equal(x.Data.begin(), x.Data.begin() + x.DataLen, y.Data.begin())) {
        difference = slot + ": data differs";
        return false;
      }
    }
  }
  return true;
}

}  // namespace velloran::test
