// The CP/M directory of a disk, by its definition: the listing with its
// used and free space, the lookup of one file by name and the file's
// contents.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/bytes.h"
#include "cpm/cpm_definitions.h"
#include "cpm/cpm_disk.h"
#include "model/disk.h"

namespace velloran {

inline constexpr int kCpmEntrySize = 32;
inline constexpr int kCpmRecordSize = 128;
// Owner mark of the directory's own blocks in the block map.
inline constexpr std::uint16_t kCpmDirectoryBlock = 0xFFFF;

// One row of the list (UTF-8 texts: names as code page 1251 characters).
struct CpmRow {
  int Entry = 0;         // entry number in the directory
  std::string Filename;  // the 8 name bytes
  std::string Ext;       // the 3 extension bytes
  long long Size = 0;    // bytes: the records of all its extents
  std::string Length;    // kilobytes + bytes / 1000, e.g. "2.384"
  std::string User;      // user byte, 2 hex digits (E5 for a deleted entry)
  std::string Number;    // extent number, 2 hex digits
  std::string Name11;    // name and extension as stored bytes, for FindCpmFile
};

// The window's state after listing: the definition read by, the directory,
// the block map, the rows and the space the files take and leave.
struct CpmListing {
  CpmDefinition Definition;
  CpmDirectory Directory;
  std::vector<std::uint16_t> BlockMap;  // per block: 0 free, owner entry + 1, or kCpmDirectoryBlock
  std::vector<CpmRow> Rows;
  long long UsedKilobytes = 0;  // the blocks of the files and the directory
  long long FreeKilobytes = 0;
};

// Lists the directory. Deleted entries are listed only with `showDeleted`
// ("Показать удаленные файлы"), entries of users other than 0 only with
// `showHidden` ("Показать скрытые файлы"). Disk labels and date stamps
// (user bytes 0x20 and 0x21) are no files: neither listed nor holding blocks.
CpmListing ListCpmDirectory(const CpmDefinition& definition, const CpmDirectory& directory, bool showDeleted,
                            bool showHidden);
// Lists the disk by the definition recognised on it; a disk that is not
// recognised is read as a Profi disk.
CpmListing ListCpmDisk(const TZX_Disk& disk, bool showDeleted, bool showHidden);

// The Length text of a byte count: k + r / 1000 as a general number, where
// k = bytes div 1024 and r = bytes mod 1024 (2432 -> "2.384", 34816 -> "34").
std::string CpmLengthText(long long bytes, char decimalSeparator = '.');

// The file found by FindCpmFile.
struct CpmFoundFile {
  std::string Name;       // 8 bytes as stored
  std::string Extension;  // 3 bytes as stored
  std::uint8_t User = 0;
  long long Size = 0;                 // bytes; never more than the blocks hold
  std::vector<std::uint16_t> Blocks;  // at most the volume's block count
};

// Finds the first entry whose 11 name bytes equal name11 and which is a
// file's first extent, whatever its user byte, and gathers its blocks and
// size from the later extents. Returns the entry number or -1.
int FindCpmFile(const CpmDefinition& definition, const CpmDirectory& directory, std::string_view name11,
                CpmFoundFile& found);

// The file's bytes: its blocks one after the other, cut to its size. The
// damaged sectors among those bytes go to `damaged` when it is given.
Bytes CpmFileContents(const TZX_Disk& disk, const CpmDefinition& definition, const CpmFoundFile& found,
                      std::vector<CpmDamagedSector>* damaged = nullptr);

}  // namespace velloran
