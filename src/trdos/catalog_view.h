// What the TR-DOS catalog window shows: the rows of its list, the disk
// information texts, which context-menu items are enabled, and the bytes its
// viewers are given.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "common/messages.h"
#include "model/disk.h"
#include "trdos/catalog.h"

namespace velloran {

// Entry index of a list row. With deleted files shown the row is the entry;
// otherwise row r is the (r + 1)-th live entry. -1 when there is none.
int RowToEntry(const TrdosCatalog& catalog, int row, bool showDeleted);

// One list row, as text (UTF-8): the name and type as code page 1251 bytes,
// numbers in upper-case hex without prefix.
struct CatalogRow {
  int Entry = 0;  // index into Entries
  std::string Filename, Type, Start, Length, Sectors, FirstSector, FirstTrack;
};
std::vector<CatalogRow> CatalogRows(const TrdosCatalog& catalog, bool showDeleted);

// The values of the window's disk description (the labels d1..d7).
struct DiskInfoTexts {
  std::string Label;
  Phrase DiskType;
  std::string FirstFreeSector;  // counted from 1
  std::string FirstFreeTrack;
  std::string FreeSectors;
  std::string Files;
  std::string DeletedFiles;
};
DiskInfoTexts DiskInfo(const TrdosCatalog& catalog);
// What a disk type byte says about the disk's tracks.
enum class TrdosDiskTracks { Eighty, Forty, Unknown };
TrdosDiskTracks DiskTracksOf(std::uint8_t diskType);
// "80 tracks", "40 tracks" or "Unknown".
Phrase DiskTypePhrase(std::uint8_t diskType);

// Which items of the list's context menu are enabled.
struct CatalogMenuEnabling {
  bool ViewScreen = false;
  bool ViewHex = false;
  bool Compact = false;
  bool RenameDisk = false;
  bool ShowDeleted = true;  // never disabled
  bool SaveHobeta = false;
  bool SaveScl = false;
  bool EditEntry = false;
  bool RestoreFile = false;
  bool AddFiles = false;
  bool DeleteFiles = false;
};
// The enabling when the menu opens: from whether the list is empty, the
// selected rows and the entries they map to.
CatalogMenuEnabling CatalogMenu(const TrdosCatalog& catalog, bool listEmpty, const std::vector<int>& selectedRows,
                                bool showDeleted);

// The 6912 bytes of a screen picture stored from the entry's first sector
// (27 sectors), or nothing when a sector on the way is not usable.
std::optional<Bytes> ScreenFileBytes(const TZX_Disk& disk, const TrdosEntry& entry);
// All FileSectors sectors of the entry for the hex view, or nothing.
std::optional<Bytes> HexFileBytes(const TZX_Disk& disk, const TrdosEntry& entry);

}  // namespace velloran
