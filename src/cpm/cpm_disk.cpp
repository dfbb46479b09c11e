#include "cpm/cpm_disk.h"

#include <algorithm>

namespace velloran {

std::uint8_t FindCpmSector(const TZX_Disk& disk, int track, int n) {
  if (track < 0 || track >= kTrackCount) return kCpmNoSlot;
  if (track == 0 && n == 5) n = 9;
  const TTrack& t = disk.Tracks[track];
  const auto used = std::count_if(t.Sectors.begin(), t.Sectors.end(), [](const TSectorRec& s) { return s.Used != 0; });
  for (int slot = 0; slot < used; ++slot)
    if (t.Sectors[slot].IdSector == n) return static_cast<std::uint8_t>(slot);
  return kCpmNoSlot;
}

void ReadCpmBlock(const TZX_Disk& disk, int block, std::uint8_t* target, std::vector<CpmDamagedSector>* damaged) {
  std::fill_n(target, kCpmBlockSize, 0);
  for (int half = 0; half < 2; ++half) {
    const long logical = 2L * block + half;
    const long track = logical / kCpmSectorsPerTrack;
    if (logical < 0 || track >= kTrackCount) continue;
    const int n = static_cast<int>(logical % kCpmSectorsPerTrack) + 1;
    const std::uint8_t slot = FindCpmSector(disk, static_cast<int>(track), n);
    const TTrack& t = disk.Tracks[track];
    const TSectorRec* sector = slot == kCpmNoSlot ? nullptr : &t.Sectors[slot];
    const int offset = half * kCpmSectorSize;
    const auto report = [&](bool noData) {
      if (damaged != nullptr)
        damaged->push_back({static_cast<int>(track), sector != nullptr ? sector->IdSector : n, offset, noData});
    };
    if (sector == nullptr || sector->Used == 0 || sector->DataLen != kCpmSectorSize || t.Present == 0) {
      report(true);
      continue;
    }
    if (sector->DataOk == 0) report(false);
    std::copy_n(sector->Data.begin(), kCpmSectorSize, target + offset);
  }
}

void MakeCpmDisk(TZX_Disk& disk) {
  disk.ClearDisk();
  for (int index = 0; index < kCpmTracks; ++index) {
    TTrack& track = disk.Tracks[index];
    track.Present = 0xFF;
    for (int slot = 0; slot < kCpmSectorsPerTrack; ++slot) {
      // Track 0 numbers its last sector 9 instead of 5.
      const int number = index == 0 && slot == 4 ? 9 : slot + 1;
      PlaceGoodSector(track.Sectors[slot], static_cast<std::uint8_t>(index / 2), static_cast<std::uint8_t>(index % 2),
                      static_cast<std::uint8_t>(number), 3);
    }
  }
}

}  // namespace velloran
