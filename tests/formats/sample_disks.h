// Disks built for the format tests, and a comparison of two disks on what an
// image format can hold.
#pragma once

#include <cstdint>
#include <ctime>
#include <span>
#include <string>

#include "formats/format_table.h"
#include "model/disk.h"

namespace velloran::test {

// 05/03/2008 14:07:09, the creation time saved images are made with. Set by
// field name: the fields after the standard ones differ between C libraries.
std::tm SampleCreationTime();

// A byte that depends on where it lies, so misplaced data shows.
std::uint8_t PatternByte(int track, int sector, int index);

// Fills one slot with a sector of that ID and patterned data, and marks the
// track present.
void PutSector(TZX_Disk& disk, int track, int slot, std::uint8_t c, std::uint8_t h, std::uint8_t r, std::uint8_t n,
               bool dataOk = true);

// Tracks 0..tracks-1 laid out as a plain sector dump reads them back: the
// sectors in the order of `first` on track 0 and of `other` elsewhere.
void MakeUniformDisk(TZX_Disk& disk, int tracks, std::uint8_t sizeCode, std::span<const std::uint8_t> first,
                     std::span<const std::uint8_t> other, bool sideInId);
void MakeTrdosLayoutDisk(TZX_Disk& disk, int tracks);  // 16 × 256, side 0 in the IDs
void MakeProLayoutDisk(TZX_Disk& disk, int tracks);    // 5 × 1024, sector 9 on track 0
void MakeKdiLayoutDisk(TZX_Disk& disk, int tracks);    // 5 × 1024

// Tracks of several layouts a controller meets: interleaved 16 × 256, 5 ×
// 1024, 9 × 512 with odd IDs, 18 × 128; some sectors with CRC errors when
// `withBadSectors`. Every track fits a standard raw track.
void MakeMixedDisk(TZX_Disk& disk, int tracks, bool withBadSectors);

// A TR-DOS disk of 160 tracks whose catalog holds two files.
void MakeTrdosCatalogDisk(TZX_Disk& disk);

// What to compare: present tracks, used slots in order with ID fields, ID
// CRC, data length and data, and optionally the CRC state and the comments.
struct Aspects {
  bool crcState = true;
  bool comments = false;
};
// Empty when the disks agree on those aspects, else the first difference.
std::string DiskDifference(const TZX_Disk& expected, const TZX_Disk& actual, Aspects aspects);

// As DiskDifference, but each sector is looked up by its ID (C H R N, in
// order of repetition) wherever it lies on the track: for images made by
// tools that lay the sectors out their own way. Without `matchSide` the H of
// the IDs is not compared (TRD files do not hold it; tools choose 0 or the side).
std::string SectorDifference(const TZX_Disk& expected, const TZX_Disk& actual, bool matchSide = true);

// Writes the disk as a KryoFlux stream set beside `firstFile`, whose name
// gives the prefix ("disk00.0.raw" -> "disk"): one revolution per track
// between two index pulses. False with LastError set when it cannot.
bool WriteKryoFluxSet(TZX_Disk& disk, const std::filesystem::path& firstFile);

// The capability flags of a format as aspects to compare.
Aspects AspectsOf(const ImageFormat& format);

// Whether a message says the format has not been written yet.
bool NotSupportedYet(const Diagnostic& message);

}  // namespace velloran::test
