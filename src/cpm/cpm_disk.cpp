#include "cpm/cpm_disk.h"

#include <algorithm>
#include <array>

namespace velloran {

namespace {

// The position on its track of the s-th logical sector. With a skew the
// logical sectors are laid `Skew` positions apart, moving on to the next
// free position when one is taken (0 and 1 keep the track order).
int PhysicalPosition(const CpmDefinition& definition, int s) {
  const int count = definition.SectorsPerTrack;
  if (definition.Skew <= 1) return s;
  std::array<bool, 256> taken{};
  int position = 0;
  for (int i = 0;; ++i) {
    while (taken[position]) position = (position + 1) % count;
    if (i == s) return position;
    taken[position] = true;
    position = (position + definition.Skew) % count;
  }
}

// The model's track index of a logical track, or -1 outside the volume.
int ModelTrack(const CpmDefinition& definition, int track) {
  if (track < 0 || track >= definition.Tracks) return -1;
  int index = track;
  if (definition.Sides == CpmSides::One) {
    index = 2 * track;
  } else if (definition.Sides == CpmSides::Successive) {
    const int perSide = definition.Tracks / 2;
    index = track < perSide ? 2 * track : 2 * (track - perSide) + 1;
  }
  return index < kTrackCount ? index : -1;
}

// The ID number of the sector at a position of a logical track.
int SectorNumber(const CpmDefinition& definition, int track, int position) {
  if (track == 0 && position == definition.SectorsPerTrack - 1 && definition.TrackZeroLastSector != 0)
    return definition.TrackZeroLastSector;
  return definition.FirstSector + position;
}

long long FirstVolumeSector(const CpmDefinition& definition) {
  return static_cast<long long>(definition.ReservedTracks) * definition.SectorsPerTrack;
}

// The slot holding a logical sector, or null when the disk has none.
const TSectorRec* SectorAt(const TZX_Disk& disk, const CpmDefinition& definition, long long logical) {
  const CpmSectorPlace place = LocateCpmSector(definition, logical);
  const std::uint8_t slot = FindCpmSector(disk, place.Track, place.Sector);
  return slot == kCpmNoSlot ? nullptr : &disk.Tracks[place.Track].Sectors[slot];
}

}  // namespace

CpmSectorPlace LocateCpmSector(const CpmDefinition& definition, long long logical) {
  if (logical < 0) return {};
  const long long track = logical / definition.SectorsPerTrack;
  if (track >= definition.Tracks) return {};
  const int t = static_cast<int>(track);
  const int position = PhysicalPosition(definition, static_cast<int>(logical % definition.SectorsPerTrack));
  return {ModelTrack(definition, t), SectorNumber(definition, t, position)};
}

std::uint8_t FindCpmSector(const TZX_Disk& disk, int track, int n) {
  if (track < 0 || track >= kTrackCount) return kCpmNoSlot;
  const TTrack& t = disk.Tracks[track];
  const auto used = std::count_if(t.Sectors.begin(), t.Sectors.end(), [](const TSectorRec& s) { return s.Used; });
  for (int slot = 0; slot < used; ++slot)
    if (t.Sectors[slot].IdSector == n) return static_cast<std::uint8_t>(slot);
  return kCpmNoSlot;
}

void ReadCpmBlock(const TZX_Disk& disk, const CpmDefinition& definition, int block, std::uint8_t* target,
                  std::vector<CpmDamagedSector>* damaged) {
  std::fill_n(target, definition.BlockSize, 0);
  const int sectorsPerBlock = definition.BlockSize / definition.SectorSize;
  for (int k = 0; k < sectorsPerBlock; ++k) {
    const long long logical = FirstVolumeSector(definition) + static_cast<long long>(block) * sectorsPerBlock + k;
    const CpmSectorPlace place = LocateCpmSector(definition, logical);
    if (place.Track < 0) continue;  // beyond the volume: no sector to be damaged
    const std::uint8_t slot = FindCpmSector(disk, place.Track, place.Sector);
    const TTrack& track = disk.Tracks[place.Track];
    const TSectorRec* sector = slot == kCpmNoSlot ? nullptr : &track.Sectors[slot];
    const int offset = k * definition.SectorSize;
    const auto report = [&](bool noData) {
      if (damaged != nullptr) damaged->push_back({place.Track, place.Sector, offset, noData});
    };
    if (sector == nullptr || !sector->Used || sector->DataLen != definition.SectorSize || !track.Present) {
      report(true);
      continue;
    }
    if (!sector->DataOk) report(false);
    std::copy_n(sector->Data.begin(), definition.SectorSize, target + offset);
  }
}

CpmDirectory ReadCpmDirectory(const TZX_Disk& disk, const CpmDefinition& definition) {
  CpmDirectory directory(static_cast<std::size_t>(definition.DirectoryBytes()));
  for (std::size_t offset = 0, k = 0; offset < directory.size(); offset += definition.SectorSize, ++k) {
    const TSectorRec* sector = SectorAt(disk, definition, FirstVolumeSector(definition) + static_cast<long long>(k));
    if (sector == nullptr) continue;
    const std::size_t count = std::min<std::size_t>(
        {sector->DataLen, static_cast<std::size_t>(definition.SectorSize), directory.size() - offset});
    std::copy_n(sector->Data.begin(), count, directory.begin() + static_cast<std::ptrdiff_t>(offset));
  }
  return directory;
}

void MakeCpmDisk(TZX_Disk& disk, const CpmDefinition& definition) {
  disk.ClearDisk();
  for (int t = 0; t < definition.Tracks; ++t) {
    const int index = ModelTrack(definition, t);
    if (index < 0) continue;
    TTrack& track = disk.Tracks[index];
    track.Present = true;
    for (int position = 0; position < definition.SectorsPerTrack; ++position)
      PlaceGoodSector(track.Sectors[position], static_cast<std::uint8_t>(index / 2),
                      static_cast<std::uint8_t>(index % 2),
                      static_cast<std::uint8_t>(SectorNumber(definition, t, position)),
                      static_cast<std::uint8_t>(definition.SizeCode()));
  }
  auto sectorData = [&](long long logical) -> std::uint8_t* {
    const CpmSectorPlace place = LocateCpmSector(definition, logical);
    const std::uint8_t slot = FindCpmSector(disk, place.Track, place.Sector);
    return slot == kCpmNoSlot ? nullptr : disk.Tracks[place.Track].Sectors[slot].Data.data();
  };
  // CP/M reads an entry of zeros as a used one: an empty directory is 0xE5.
  for (int offset = 0, k = 0; offset < definition.DirectoryBytes(); offset += definition.SectorSize, ++k)
    if (std::uint8_t* data = sectorData(FirstVolumeSector(definition) + k))
      std::fill_n(data, std::min(definition.SectorSize, definition.DirectoryBytes() - offset), kCpmDeleted);
  // The geometry record lives in the first sector of the system track.
  if (definition.BootRecord && definition.ReservedTracks > 0)
    if (std::uint8_t* data = sectorData(0)) {
      const auto record = MakeCpmBootRecord(definition);
      std::copy(record.begin(), record.end(), data);
    }
}

}  // namespace velloran
