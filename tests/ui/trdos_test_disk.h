// A small TR-DOS disk for the catalog window tests, its bytes written by
// hand at the offsets of the on-disk layout:
//   entry 0  "ALPHA   " C  start 8000 length 0500  5 sectors at track 1, sector 0
//   entry 1  0x01"ETA    " B (deleted)             3 sectors at track 1, sector 5
//   entry 2  "GAMMA   " B  start 5CCB length 0200  2 sectors at track 1, sector 8
//   entry 3  "SCREEN  " C  start 4000 length 1B00 27 sectors at track 1, sector 10
//   entry 4  0x00"OLD    " C (erased leftover)     2 sectors at track 3, sector 5
// Files: 4, deleted: 1, first free track 3 sector 5, 2507 free, label TESTDISK.
#pragma once

#include <cstdint>

#include "common/bytes.h"
#include "model/disk.h"

namespace velloran::test {

// Sector data of file f (1..5 for the entries above), sector i of the file.
std::uint8_t FileByte(int file, int sectorIndex);

// The picture stored in SCREEN: pixel bytes 0xF0 (four ink, four paper
// pixels), except 0x00 at offset 0x0020 and 0xFF at 0x0100; attributes 0x47
// for the upper half of the rows and 0x38 for the lower half.
Bytes TestScreen();

void MakeTestDisk(TZX_Disk& disk);

// The 256 data bytes of (track, sector 0..15) of a TR-DOS disk made by
// MakeTrdosDisk, where slot k holds ID number k + 1.
std::uint8_t* SectorBytes(TZX_Disk& disk, int track, int sector);
// The 16 bytes of catalog entry i on track 0.
std::uint8_t* EntryBytes(TZX_Disk& disk, int entry);
std::uint8_t* InfoSector(TZX_Disk& disk);

}  // namespace velloran::test
