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

TrdosDiskTracks DiskTracksOf(std::uint8_t diskType) {
  if (diskType == 0x16 || diskType == 0x18) return TrdosDiskTracks::Eighty;
  if (diskType == 0x17 || diskType == 0x19) return TrdosDiskTracks::Forty;
  return TrdosDiskTracks::Unknown;
}

Phrase DiskTypePhrase(std::uint8_t diskType) {
  switch (DiskTracksOf(diskType)) {
    case TrdosDiskTracks::Eighty: return MessageId::TrdosEightyTracks;
    case TrdosDiskTracks::Forty: return MessageId::TrdosFortyTracks;
    case TrdosDiskTracks::Unknown: break;
  }
  return MessageId::TrdosTracksUnknown;
}

DiskInfoTexts DiskInfo(const TrdosCatalog& catalog) {
  DiskInfoTexts texts;
  // A label ends at its first zero byte, as a renamed disk pads with zeros.
  std::size_t length = 0;
  while (length < catalog.DiskLabel.size() && catalog.DiskLabel[length] != 0) ++length;
  texts.Label = NameText(std::span(catalog.DiskLabel.data(), length));
  texts.DiskType = DiskTypePhrase(catalog.DiskType);
  texts.FirstFreeSector = std::to_string(catalog.FirstFreeSector + 1);
  texts.FirstFreeTrack = std::to_string(catalog.FirstFreeTrack);
  texts.FreeSectors = std::to_string(catalog.FreeSectors);
  texts.Files = std::to_string(catalog.FileCount);
  texts.DeletedFiles = std::to_string(catalog.DeletedCount);
  return texts;
}

CatalogMenuEnabling CatalogMenu(const TrdosCatalog& catalog, bool listEmpty, const std::vector<int>& selectedRows,
                                bool showDeleted) {
  CatalogMenuEnabling menu;
  menu.AddFiles = true;
  menu.RenameDisk = true;
  if (listEmpty) return menu;

  menu.SaveHobeta = menu.SaveScl = menu.DeleteFiles = true;
  menu.Compact = catalog.DeletedCount > 0;
  menu.RestoreFile = false;
  if (selectedRows.size() == 1) {
    const int e = RowToEntry(catalog, selectedRows[0], showDeleted);
    if (e < 0 || e >= kTrdosMaxFiles) return menu;
    const TrdosEntry& entry = catalog.Entries[e];
    menu.ViewHex = true;
    menu.ViewScreen = entry.Length == kScreenLength;
    menu.EditEntry = true;
    if (entry.Deleted()) {
      menu.RestoreFile = true;
      menu.DeleteFiles = false;
    }
    return menu;
  }
  menu.DeleteFiles = false;
  for (int row : selectedRows) {
    const int e = RowToEntry(catalog, row, showDeleted);
    if (e >= 0 && e < kTrdosMaxFiles && !catalog.Entries[e].Deleted()) menu.DeleteFiles = true;
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
