// Small TR-DOS disks written byte by byte for the tests, without the code
// under test: catalog bytes and the info sector are poked in directly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "model/disk.h"

namespace velloran::test {

struct FileSpec {
  std::string name;  // up to 8 bytes, padded with spaces; "\x01..." for a deleted file
  char type = 'C';
  int firstTrack = 1;
  int firstSector = 0;
  int sectors = 1;
  std::uint16_t start = 0;
  std::uint16_t length = 0;
};

// An empty 160-track TR-DOS disk (16 sectors of 256 bytes, all zero).
void BlankTrdosDisk(TZX_Disk& disk);

// Writes the entries, the file sectors (sector s of file f filled with
// FillByte(f, s)), the file and deleted counts and the first free position
// (free count = 2560 - position) into a blank disk.
void WriteTrdosFiles(TZX_Disk& disk, const std::vector<FileSpec>& files, int fileCount, int deletedCount, int freeTrack,
                     int freeSector);

// The byte every sector of file `index`, sector `s` is filled with.
inline std::uint8_t FillByte(int index, int s) { return static_cast<std::uint8_t>(0x40 + index * 16 + s); }

// 256 bytes of a sector by ID number (1..16), or empty when missing.
Bytes SectorBytes(const TZX_Disk& disk, int track, int idNumber);

// A Hobeta file; the header checksum is computed as the sum over i of
// 257 * byte i + i, the second way of writing the same checksum.
Bytes MakeHobeta(const std::string& name, char type, std::uint16_t start, std::uint16_t length, int sectors,
                 std::uint8_t fill);

// An SCL file of Hobeta-like parts: headers, sectors and the 32-bit sum.
struct SclPart {
  std::string name;
  char type = 'C';
  std::uint16_t start = 0;
  std::uint16_t length = 0;
  int sectors = 1;
  std::uint8_t fill = 0;
};
Bytes MakeScl(const std::vector<SclPart>& parts);

}  // namespace velloran::test
