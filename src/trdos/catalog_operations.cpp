#include "trdos/catalog_operations.h"

#include <algorithm>

#include "common/codepages.h"
#include "trdos/catalog_view.h"
#include "trdos/file_sectors.h"

namespace velloran {

namespace {

// UTF-8 text as code page 1251 bytes, padded with spaces and cut to 8.
std::array<std::uint8_t, 8> PaddedName(const std::string& text) {
  std::string bytes = FromUtf8(CodePage::Cp1251, text);
  bytes.resize(8, ' ');
  std::array<std::uint8_t, 8> name{};
  std::copy(bytes.begin(), bytes.end(), name.begin());
  return name;
}

void SetFirstFree(TrdosCatalog& catalog, int logical) {
  catalog.FirstFreeTrack = static_cast<std::uint8_t>(logical / kTrdosSectorsPerTrack);
  catalog.FirstFreeSector = static_cast<std::uint8_t>(logical % kTrdosSectorsPerTrack);
  RecountFreeSectors(catalog);
}

// Erases the last file: its name starts with 0, it leaves the file count and
// its sectors become the start of the free space.
void EraseLastFile(TrdosCatalog& catalog, int e) {
  TrdosEntry& entry = catalog.Entries[e];
  entry.Name[0] = 0x00;
  --catalog.FileCount;
  catalog.FirstFreeSector = entry.FirstSector;
  catalog.FirstFreeTrack = entry.FirstTrack;
  RecountFreeSectors(catalog);
}

}  // namespace

void WriteCatalogBack(CatalogState& state, TZX_Disk& disk, OperationResult& result) {
  if (auto error = WriteCatalog(disk, state.SharedCatalog)) {
    result.Messages.push_back(*error);
    ReadCatalog(disk, state.SharedCatalog);
  }
  result.Refresh = true;
}

Message DeleteQuestion() { return AttentionMessage(MessageId::TrdosDeleteQuestion, MessageButtons::YesNo); }

// Marks the selected files deleted; the last files of the catalog are erased
// instead, together with the deleted files right before them, and their
// space returns to the free space.
OperationResult DeleteFiles(CatalogState& state, TZX_Disk& disk, const std::vector<int>& selectedRows,
                            bool showDeleted) {
  OperationResult result;
  TrdosCatalog& catalog = state.SharedCatalog;
  state.CatalogChanged = true;
  std::vector<int> rows = selectedRows;
  std::sort(rows.begin(), rows.end());
  std::vector<int> entries;
  for (int row : rows) entries.push_back(RowToEntry(catalog, row, showDeleted));

  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    const int e = *it;
    if (e < 0 || e >= kTrdosMaxFiles || catalog.Entries[e].Deleted()) continue;
    if (e == catalog.FileCount - 1) {
      EraseLastFile(catalog, e);
      for (int before = e - 1; before >= 0 && catalog.Entries[before].Deleted(); --before) {
        EraseLastFile(catalog, before);
        if (catalog.DeletedCount > 0) --catalog.DeletedCount;
      }
    } else {
      catalog.Entries[e].Name[0] = 0x01;
      ++catalog.DeletedCount;
    }
  }
  WriteCatalogBack(state, disk, result);
  return result;
}

TextDialog RestoreDialog() {
  TextDialog dialog;
  dialog.Caption = MessageId::TrdosRestoreCaption;
  dialog.Text = MessageId::TrdosRestoreText;
  dialog.Label = MessageId::TrdosRestoreLabel;
  dialog.MaxLength = 1;
  return dialog;
}

// Gives a deleted entry its first letter back; an erased entry beyond the
// file count becomes the last file again, with the entries before it.
OperationResult RestoreFile(CatalogState& state, TZX_Disk& disk, int e, const std::string& letter) {
  OperationResult result;
  TrdosCatalog& catalog = state.SharedCatalog;
  const std::string bytes = FromUtf8(CodePage::Cp1251, letter);
  if (bytes.empty() || e < 0 || e >= kTrdosMaxFiles) return result;
  TrdosEntry& entry = catalog.Entries[e];
  entry.Name[0] = static_cast<std::uint8_t>(bytes[0]);
  if (e < catalog.FileCount) {
    if (catalog.DeletedCount > 0) --catalog.DeletedCount;
  } else {
    SetFirstFree(catalog, entry.FirstTrack * kTrdosSectorsPerTrack + entry.FirstSector + entry.FileSectors);
    catalog.DeletedCount = static_cast<std::uint8_t>(catalog.DeletedCount + e - catalog.FileCount);
    catalog.FileCount = static_cast<std::uint8_t>(e + 1);
  }
  WriteCatalogBack(state, disk, result);
  state.CatalogChanged = true;
  return result;
}

TextDialog RenameDiskDialog(const TrdosCatalog& catalog) {
  TextDialog dialog;
  dialog.Caption = MessageId::TrdosRenameCaption;
  dialog.Text = MessageId::TrdosRenameText;
  dialog.Label = MessageId::TrdosRenameLabel;
  dialog.MaxLength = 8;
  dialog.InitialText = DiskInfo(catalog).Label;
  return dialog;
}

// Writes a new label into the information sector and the record; the label
// is padded with zero bytes.
OperationResult RenameDisk(CatalogState& state, TZX_Disk& disk, const std::string& newName) {
  OperationResult result;
  TrdosCatalog& catalog = state.SharedCatalog;
  std::string oldName(catalog.DiskLabel.begin(), catalog.DiskLabel.end());
  while (!oldName.empty() && oldName.back() == ' ') oldName.pop_back();
  std::string bytes = FromUtf8(CodePage::Cp1251, newName);
  if (bytes.size() > 8) bytes.resize(8);
  if (bytes == oldName) return result;

  state.CatalogChanged = true;
  TSectorRec* info = FindSector(disk, 0, kInfoSectorNumber);
  if (info == nullptr) return result;
  catalog.DiskLabel.fill(0);
  std::copy(bytes.begin(), bytes.end(), catalog.DiskLabel.begin());
  std::copy(catalog.DiskLabel.begin(), catalog.DiskLabel.end(), info->Data.begin() + 0xF5);
  result.Refresh = true;
  return result;
}

EntryEditorFields EntryEditorFieldsOf(const TrdosEntry& entry) {
  EntryEditorFields fields;
  fields.Name = entry.Deleted() ? "?" + NameText(std::span(entry.Name).subspan(1)) : NameText(entry.Name);
  fields.Type = NameText(std::span(&entry.FileType, 1));
  fields.Start = entry.Start;
  fields.Length = entry.Length;
  fields.FileSectors = entry.FileSectors;
  fields.FirstSector = entry.FirstSector;
  fields.FirstTrack = entry.FirstTrack;
  return fields;
}

// Stores the editor's fields in the entry as they are; no count or free
// space is adjusted.
OperationResult EditEntry(CatalogState& state, TZX_Disk& disk, int e, const EntryEditorFields& fields) {
  OperationResult result;
  if (e < 0 || e >= kTrdosMaxFiles) return result;
  state.CatalogChanged = true;
  const int sectorNumber = e / 16 + 1;
  if (FindUsableSector(disk, 0, sectorNumber) == nullptr) {
    result.Messages.push_back(ErrorMessage({MessageId::SectorErrorAt, {0, sectorNumber}}));
    return result;
  }
  TrdosEntry& entry = state.SharedCatalog.Entries[e];
  const auto name = PaddedName(fields.Name);
  if (entry.Deleted() && !fields.Name.empty() && fields.Name[0] == '?')
    std::copy(name.begin() + 1, name.end(), entry.Name.begin() + 1);
  else
    entry.Name = name;
  const std::string type = FromUtf8(CodePage::Cp1251, fields.Type);
  if (!type.empty()) entry.FileType = static_cast<std::uint8_t>(type[0]);
  entry.Start = fields.Start;
  entry.Length = fields.Length;
  entry.FileSectors = fields.FileSectors;
  entry.FirstSector = fields.FirstSector;
  entry.FirstTrack = fields.FirstTrack;
  WriteCatalogBack(state, disk, result);
  return result;
}

Message CompactQuestion() { return AttentionMessage(MessageId::TrdosCompactQuestion, MessageButtons::YesNo); }

namespace {

// Copies `count` sectors from `source` down to `target`; the message of the
// first sector that cannot be read or written, or nothing.
std::optional<Message> MoveSectors(TZX_Disk& disk, TrdosPosition source, TrdosPosition target, int count) {
  for (int i = 0; i < count; ++i) {
    const TSectorRec* from = FindUsableSector(disk, source.Track, source.Sector + 1);
    if (from == nullptr) return ErrorMessage(SectorErrorPhrase(source));
    TSectorRec* to = FindSector(disk, target.Track, target.Sector + 1);
    if (to == nullptr) return ErrorMessage(SectorErrorPhrase(target));
    std::copy_n(from->Data.begin(), kTrdosSectorSize, to->Data.begin());
    to->DataLen = kTrdosSectorSize;
    to->Used = true;
    source.Advance();
    target.Advance();
  }
  return std::nullopt;
}

}  // namespace

// Drops the deleted entries and moves every later file down so the files
// follow each other from track 1 in catalog order; files never move up.
OperationResult CompactCatalog(CatalogState& state, TZX_Disk& disk) {
  OperationResult result;
  TrdosCatalog& catalog = state.SharedCatalog;
  state.CatalogChanged = true;
  TrdosPosition write{1, 0};
  std::array<TrdosEntry, kTrdosMaxFiles> kept{};
  int j = 0;
  int end = kTrdosSectorsPerTrack;
  for (int i = 0; i < catalog.EntryCount; ++i) {
    TrdosEntry entry = catalog.Entries[i];
    if (entry.Deleted()) continue;
    const TrdosPosition start = EntryStart(entry);
    if (start.Logical() > write.Logical()) {
      if (auto error = MoveSectors(disk, start, write, entry.FileSectors)) {
        // The disk's catalog was not rewritten: show what it holds.
        result.Messages.push_back(*error);
        ReadCatalog(disk, catalog);
        result.Refresh = true;
        return result;
      }
      entry.FirstTrack = static_cast<std::uint8_t>(write.Track);
      entry.FirstSector = static_cast<std::uint8_t>(write.Sector);
    }
    kept[j++] = entry;
    end = entry.FirstTrack * kTrdosSectorsPerTrack + entry.FirstSector + entry.FileSectors;
    write = {end / kTrdosSectorsPerTrack, end % kTrdosSectorsPerTrack};
  }
  catalog.Entries = kept;
  catalog.FileCount = catalog.EntryCount = static_cast<std::uint8_t>(j);
  catalog.DeletedCount = 0;
  SetFirstFree(catalog, end);
  WriteCatalogBack(state, disk, result);
  return result;
}

}  // namespace velloran
