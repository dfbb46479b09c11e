// The sector walk of TR-DOS files: a file occupies a run of 256-byte
// sectors starting at (first track, first sector); after the sixteenth
// sector of a track comes the first sector of the next track.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "common/bytes.h"
#include "common/messages.h"
#include "model/disk.h"
#include "trdos/catalog.h"

namespace velloran {

// A position on the disk: track index and 0-based sector within the track.
struct TrdosPosition {
  int Track = 0;
  int Sector = 0;  // 0..15; the ID number is Sector + 1

  int Logical() const { return Track * kTrdosSectorsPerTrack + Sector; }
  void Advance() {
    if (++Sector >= kTrdosSectorsPerTrack) {
      Sector = 0;
      ++Track;
    }
  }
};

// Where a walk stopped: the sector that was not usable.
struct SectorFailure {
  TrdosPosition Position;
};

// Reads `count` sectors from `start` and appends their first 256 bytes to
// `out`. Returns the first sector that is not usable, or nothing on success.
std::optional<SectorFailure> ReadFileSectors(const TZX_Disk& disk, TrdosPosition start, int count, Bytes& out);

// A sector of a file that did not read cleanly.
struct DamagedSector {
  TrdosPosition Position;
  bool NoData = false;  // missing or without data; otherwise a data CRC error
};

// Reads `count` sectors from `start` like ReadFileSectors, but goes on past
// damage: a sector that is missing or holds no data gives 256 zero bytes, one
// with a data CRC error its data as read. Returns every such sector.
std::vector<DamagedSector> SalvageFileSectors(const TZX_Disk& disk, TrdosPosition start, int count, Bytes& out);

// The start of an entry's data.
inline TrdosPosition EntryStart(const TrdosEntry& entry) { return {entry.FirstTrack, entry.FirstSector}; }

// "Sector error: track T, sector N!", where N is the ID number of the sector.
Phrase SectorErrorPhrase(const TrdosPosition& position);

// "track T, sector N: " and what is wrong with the damaged sector.
Phrase DamagedSectorPhrase(const DamagedSector& sector);

}  // namespace velloran
