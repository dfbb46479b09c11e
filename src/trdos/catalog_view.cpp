#include "trdos/catalog_view.h"

#include <cstdio>

#include "trdos/file_sectors.h"

namespace velloran {

namespace {

std::string Hex(unsigned value, int digits) {
  char text[8];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

std::optional<Bytes> ReadSectors(const TZX_Disk& disk, const TrdosEntry& entry, int count) {
  Bytes bytes;
  if (ReadFileSectors(disk, EntryStart(entry), count, bytes)) return std::nullopt;
  return bytes;
}

}  // namespace

int RowToEntry(const TrdosCatalog& catalog, int row, bool showDeleted) {
  if (row < 0) return -1;
  if (showDeleted) return row < catalog.EntryCount ? row : -1;
  int live = 0;
  for (int i = 0; i < catalog.EntryCount; ++i) {
    if (catalog.Entries[i].Deleted()) continue;
    if (live++ == row) return i;
  }
  return -1;
}

std::vector<CatalogRow> CatalogRows(const TrdosCatalog& catalog, bool showDeleted) {
  std::vector<CatalogRow> rows;
  for (int i = 0; i < catalog.EntryCount; ++i) {
    const TrdosEntry& entry = catalog.Entries[i];
    if (entry.Deleted() && !showDeleted) continue;
    CatalogRow row;
    row.Entry = i;
    auto name = entry.Name;
    if (name[0] < 0x20) name[0] = '?';
    row.Filename = NameText(name);
    row.Type = NameText(std::span(&entry.FileType, 1));
    row.Start = Hex(entry.Start, 4);
    row.Length = Hex(entry.Length, 4);
    row.Sectors = Hex(entry.FileSectors, 2);
    row.FirstSector = Hex(entry.FirstSector, 2);
    row.FirstTrack = Hex(entry.FirstTrack, 2);
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string DiskTypeText(std::uint8_t diskType) {
  if (diskType == 0x16 || diskType == 0x18) return "80-дорожек";
  if (diskType == 0x17 || diskType == 0x19) return "40-дорожек";
  return "Не определено";
}

DiskInfoTexts DiskInfo(const TrdosCatalog& catalog) {
  DiskInfoTexts texts;
  // A label ends at its first zero byte, as a renamed disk pads with zeros.
  std::size_t length = 0;
  while (length < catalog.DiskLabel.size() && catalog.DiskLabel[length] != 0) ++length;
  texts.d1 = NameText(std::span(catalog.DiskLabel.data(), length));
  texts.d2 = DiskTypeText(catalog.DiskType);
  texts.d3 = std::to_string(catalog.FirstFreeSector + 1);
  texts.d4 = std::to_string(catalog.FirstFreeTrack);
  texts.d5 = std::to_string(catalog.FreeSectors);
  texts.d6 = std::to_string(catalog.FileCount);
  texts.d7 = std::to_string(catalog.DeletedCount);
  return texts;
}

CatalogMenuEnabling CatalogMenu(const TrdosCatalog& catalog, bool listEmpty, const std::vector<int>& selectedRows,
                                bool showDeleted) {
  CatalogMenuEnabling menu;
  menu.N3 = true;
  menu.N4 = true;
  if (listEmpty) return menu;

  menu.Hob = menu.scl1 = menu.N8 = true;
  menu.N2 = catalog.DeletedCount > 0;
  menu.N11 = false;
  if (selectedRows.size() == 1) {
    const int e = RowToEntry(catalog, selectedRows[0], showDeleted);
    if (e < 0 || e >= kTrdosMaxFiles) return menu;
    const TrdosEntry& entry = catalog.Entries[e];
    menu.HEX1 = true;
    menu.N1 = entry.Length == kScreenLength;
    menu.N9 = true;
    if (entry.Deleted()) {
      menu.N11 = true;
      menu.N8 = false;
    }
    return menu;
  }
  menu.N8 = false;
  for (int row : selectedRows) {
    const int e = RowToEntry(catalog, row, showDeleted);
    if (e >= 0 && e < kTrdosMaxFiles && !catalog.Entries[e].Deleted()) menu.N8 = true;
  }
  return menu;
}

std::optional<Bytes> ScreenFileBytes(const TZX_Disk& disk, const TrdosEntry& entry) {
  return ReadSectors(disk, entry, static_cast<int>(kScreenLength / kTrdosSectorSize));
}

std::optional<Bytes> HexFileBytes(const TZX_Disk& disk, const TrdosEntry& entry) {
  return ReadSectors(disk, entry, entry.FileSectors);
}

}  // namespace velloran
