// The sectors of a CP/M volume on the disk in memory, by its definition:
// where a logical sector lies, reading blocks and the directory, and making
// an empty CP/M disk.
#pragma once

#include <cstdint>
#include <vector>

#include "common/bytes.h"
#include "cpm/cpm_definitions.h"
#include "model/disk.h"

namespace velloran {

inline constexpr std::uint8_t kCpmNoSlot = 255;
inline constexpr std::uint8_t kCpmDeleted = 0xE5;

// Where logical sector `logical` of the volume lies (counted from the first
// sector of track 0, system tracks included): the model's track index (-1
// beyond the volume or the model) and the ID sector number.
struct CpmSectorPlace {
  int Track = -1;
  int Sector = 0;
};
CpmSectorPlace LocateCpmSector(const CpmDefinition& definition, long long logical);

// The slot of the track holding ID sector number n among the first
// CountSectors slots; 255 when none (or when the track is outside the model).
std::uint8_t FindCpmSector(const TZX_Disk& disk, int track, int n);

// A sector of a block that did not read cleanly.
struct CpmDamagedSector {
  int Track = 0;
  int Sector = 0;       // ID number
  int Offset = 0;       // where its bytes start in the block
  bool NoData = false;  // read as zeros; otherwise a data CRC error
};

// Reads block b into the BlockSize bytes of `target`. Sectors that are
// missing, unused, of another size or beyond the volume read as zeros. Those
// inside the model, and sectors with a data CRC error, are added to `damaged`
// when it is given.
void ReadCpmBlock(const TZX_Disk& disk, const CpmDefinition& definition, int block, std::uint8_t* target,
                  std::vector<CpmDamagedSector>* damaged = nullptr);

// The directory bytes (DirectoryBytes of them): the sectors of its blocks,
// as much of each as it holds; missing sectors read as zeros.
using CpmDirectory = Bytes;
CpmDirectory ReadCpmDirectory(const TZX_Disk& disk, const CpmDefinition& definition);

// Replaces the disk by an empty CP/M disk of the definition: every sector
// present and zero except the directory, filled with 0xE5 (the mark of an
// unused entry), and the +3 geometry record where the definition has one.
void MakeCpmDisk(TZX_Disk& disk, const CpmDefinition& definition = ProfiDefinition());

}  // namespace velloran
