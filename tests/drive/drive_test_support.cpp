#include "drive/drive_test_support.h"

namespace velloran::test {

void FillTrack(TZX_Disk& disk, int track, int count, std::uint8_t sizeCode) {
  TTrack& t = disk.GetTrack(static_cast<std::uint8_t>(track));
  t.Present = true;
  for (int i = 0; i < count; ++i) {
    TSectorRec& slot = t.Sectors[i];
    slot.Used = true;
    slot.IdTrack = static_cast<std::uint8_t>(track / 2);
    slot.IdSide = static_cast<std::uint8_t>(track % 2);
    slot.IdSector = static_cast<std::uint8_t>(i + 1);
    slot.IdSize = sizeCode;
    slot.IdCrc = IdFieldCrc(slot.IdTrack, slot.IdSide, slot.IdSector, slot.IdSize);
    slot.DataLen = static_cast<std::uint16_t>(SectorLength(sizeCode));
    slot.DataOk = true;
    for (int b = 0; b < slot.DataLen; ++b) slot.Data[b] = static_cast<std::uint8_t>(track * 7 + i * 13 + b);
  }
}

namespace {

bool SameId(const TSectorRec& x, const TSectorRec& y) {
  return x.IdTrack == y.IdTrack && x.IdSide == y.IdSide && x.IdSector == y.IdSector && x.IdSize == y.IdSize;
}

// The turn of b's first `count` slots that puts a's slot 0 first, or 0.
int Turn(const TTrack& a, const TTrack& b, int count) {
  for (int turn = 0; turn < count; ++turn) {
    bool same = true;
    for (int s = 0; s < count && same; ++s) same = SameId(a.Sectors[s], b.Sectors[(s + turn) % count]);
    if (same) return turn;
  }
  return 0;
}

int UsedRun(const TTrack& track) {
  int count = 0;
  while (count < kSlotCount && track.Sectors[count].Used) ++count;
  return count;
}

}  // namespace

bool SameSectors(const TZX_Disk& a, const TZX_Disk& b, std::string& difference, bool anyStart) {
  for (int t = 0; t < kTrackCount; ++t) {
    const TTrack& ta = a.GetTrack(static_cast<std::uint8_t>(t));
    const TTrack& tb = b.GetTrack(static_cast<std::uint8_t>(t));
    const std::string where = "track " + std::to_string(t);
    if (ta.Present != tb.Present) {
      difference = where + ": present differs";
      return false;
    }
    if (!ta.Present) continue;
    const int count = UsedRun(ta);
    const int turn = anyStart && count == UsedRun(tb) ? Turn(ta, tb, count) : 0;
    for (int s = 0; s < kSlotCount; ++s) {
      const TSectorRec& x = ta.Sectors[s];
      const TSectorRec& y = tb.Sectors[s < count ? (s + turn) % count : s];
      const std::string slot = where + " slot " + std::to_string(s);
      if (x.Used != y.Used) {
        difference = slot + ": used differs";
        return false;
      }
      if (!x.Used) continue;
      if (x.IdTrack != y.IdTrack || x.IdSide != y.IdSide || x.IdSector != y.IdSector || x.IdSize != y.IdSize ||
          x.IdCrc != y.IdCrc) {
        difference = slot + ": ID differs";
        return false;
      }
      if (x.DataOk != y.DataOk) {
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
