// What the TR-DOS catalog window shows: the rows of its list, the disk
// information texts, which context-menu items are enabled, and the bytes its
// viewers are given.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/bytes.h"
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

// The values of the group "Описание диска", d1..d7.
struct DiskInfoTexts {
  std::string d1;  // label
  std::string d2;  // disk type
  std::string d3;  // first free sector, counted from 1
  std::string d4;  // first free track
  std::string d5;  // free sectors
  std::string d6;  // files
  std::string d7;  // deleted files
};
DiskInfoTexts DiskInfo(const TrdosCatalog& catalog);
// "80-дорожек", "40-дорожек" or "Не определено".
std::string DiskTypeText(std::uint8_t diskType);

// Which items of the list's context menu are enabled, by component name.
struct CatalogMenuEnabling {
  bool N1 = false;    // "Просмотр экрана"
  bool HEX1 = false;  // "Просмотр HEX"
  bool N2 = false;    // "Уплотнить"
  bool N4 = false;    // "Сменить имя диска"
  bool N10 = true;    // "Показать удаленные файлы", never disabled
  bool Hob = false;   // "Сохранить hob"
  bool scl1 = false;  // "Сохранить scl"
  bool N9 = false;    // "Редактировать заголовок"
  bool N11 = false;   // "Восстановить файл"
  bool N3 = false;    // "Добавить файл(ы)"
  bool N8 = false;    // "Удалить файл(ы)"
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
