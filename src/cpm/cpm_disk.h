// The Profi CP/M disk: 160 tracks of five 1024-byte sectors (the fifth
// sector of track 0 carries ID number 9), 2048-byte allocation blocks of two
// logical sectors, the directory in blocks 0 and 1.
#pragma once

#include <cstdint>
#include <vector>

#include "model/disk.h"

namespace velloran {

inline constexpr int kCpmSectorSize = 1024;
inline constexpr int kCpmSectorsPerTrack = 5;
inline constexpr int kCpmTracks = 160;
inline constexpr int kCpmBlockSize = 2048;
inline constexpr int kCpmBlockCount = 400;
inline constexpr int kCpmDiskBytes = 819200;
inline constexpr std::uint8_t kCpmNoSlot = 255;

// The slot of the track holding ID sector number n (on track 0, number 5
// is looked up as 9) among the first CountSectors slots; 255 when none.
std::uint8_t FindCpmSector(const TZX_Disk& disk, int track, int n);

// A sector of a block that did not read cleanly.
struct CpmDamagedSector {
  int Track = 0;
  int Sector = 0;       // ID number
  int Offset = 0;       // where its bytes start in the block: 0 or 1024
  bool NoData = false;  // read as zeros; otherwise a data CRC error
};

// Reads block b into the 2048 bytes of `target`. Sectors that are missing,
// unused, not 1024 bytes long or beyond the disk read as zeros. Those, and
// sectors with a data CRC error, are added to `damaged` when it is given.
void ReadCpmBlock(const TZX_Disk& disk, int block, std::uint8_t* target,
                  std::vector<CpmDamagedSector>* damaged = nullptr);

// Replaces the disk by an empty Profi CP/M disk: every sector present and
// zero, so the directory is all zero bytes.
void MakeCpmDisk(TZX_Disk& disk);

}  // namespace velloran
