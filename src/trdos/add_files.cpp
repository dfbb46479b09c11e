#include "trdos/add_files.h"

#include <algorithm>
#include <cctype>

#include "common/file_io.h"
#include "common/messages.h"
#include "common/utf8_path.h"
#include "trdos/file_sectors.h"
#include "trdos/hobeta.h"
#include "trdos/scl.h"

namespace velloran {

namespace {

Message AddError(MessageId id, std::vector<PhraseArgument> arguments = {}) {
  return Message{
      {id, std::move(arguments)}, Phrase(MessageId::CatalogErrorCaption), MessageIcon::None, MessageButtons::Ok, {}};
}

std::string NameAndType(const TrdosEntry& entry) {
  return NameText(entry.Name) + "." + NameText(std::span(&entry.FileType, 1));
}

// A file with the same 8 name bytes and type among the files, deleted ones
// included.
bool HasFile(const TrdosCatalog& catalog, const TrdosEntry& entry) {
  const int files = std::min<int>(catalog.FileCount, kTrdosMaxFiles);
  for (int i = 0; i < files; ++i)
    if (catalog.Entries[i].SameNameAndType(entry)) return true;
  return false;
}

Message DuplicateMessage(const TrdosEntry& entry) { return AddError(MessageId::TrdosFileOnDisk, {NameAndType(entry)}); }

// Writes the file's sectors from the first free position and appends its
// entry as the next file.
std::optional<Message> StoreFile(TrdosCatalog& catalog, TZX_Disk& disk, const std::string& path, TrdosEntry entry,
                                 ByteSpan sectors) {
  const TrdosPosition start{catalog.FirstFreeTrack, catalog.FirstFreeSector};
  TrdosPosition position = start;
  for (int i = 0; i < entry.FileSectors; ++i) {
    TSectorRec* sector = FindUsableSector(disk, position.Track, position.Sector + 1);
    if (sector == nullptr) return AddError(MessageId::TrdosCannotStoreFile, {path});
    std::copy_n(sectors.begin() + i * kTrdosSectorSize, kTrdosSectorSize, sector->Data.begin());
    position.Advance();
  }
  entry.FirstSector = static_cast<std::uint8_t>(start.Sector);
  entry.FirstTrack = static_cast<std::uint8_t>(start.Track);
  const int index = catalog.FileCount;
  catalog.Entries[index] = entry;
  // The new entry always lies inside the catalog, also when the slot held an
  // erased entry whose name started with 0.
  catalog.EntryCount = static_cast<std::uint8_t>(std::max<int>(catalog.EntryCount, index + 1));
  catalog.FirstFreeTrack = static_cast<std::uint8_t>(position.Track);
  catalog.FirstFreeSector = static_cast<std::uint8_t>(position.Sector);
  RecountFreeSectors(catalog);
  ++catalog.FileCount;
  return std::nullopt;
}

std::optional<Message> AddHobeta(TrdosCatalog& catalog, TZX_Disk& disk, const std::string& path, ByteSpan data) {
  const auto entry = ParseHobetaHeader(data);
  if (!entry) return AddError(MessageId::TrdosFileTooSmall, {path});
  if (catalog.FileCount >= kTrdosMaxFiles) return AddError(MessageId::TrdosCatalogFull);
  if (!HobetaChecksumValid(data)) return AddError(MessageId::FileWrongChecksum, {path});
  if (data.size() - kHobetaHeaderSize < entry->FileSectors * std::size_t{kTrdosSectorSize})
    return AddError(MessageId::SclWrongFileSize, {path});
  if (entry->FileSectors > catalog.FreeSectors) return AddError(MessageId::NoRoomOnDisk);
  if (HasFile(catalog, *entry)) return DuplicateMessage(*entry);
  return StoreFile(catalog, disk, path, *entry, data.subspan(kHobetaHeaderSize));
}

std::optional<Message> AddScl(TrdosCatalog& catalog, TZX_Disk& disk, const std::string& path, ByteSpan data) {
  if (!SclChecksumValid(data)) return AddError(MessageId::FileWrongChecksum, {path});
  if (!HasSclSignature(data)) return AddError(MessageId::FileWrongSignature, {path});
  const long long size = static_cast<long long>(data.size());
  const int count = size > 8 ? data[8] : 0;
  if (size < 9 || size < 14LL * count + 9) return AddError(MessageId::FileWrongLength, {path});

  std::size_t dataPosition = 9 + kSclHeaderSize * count;
  for (int i = 0; i < count; ++i) {
    const TrdosEntry entry = SclHeaderAt(data, 9 + kSclHeaderSize * i);
    if (catalog.FileCount >= kTrdosMaxFiles) return AddError(MessageId::TrdosCatalogFull);
    if (HasFile(catalog, entry)) return DuplicateMessage(entry);
    const int bytes = entry.FileSectors * kTrdosSectorSize;
    if (size - static_cast<long long>(dataPosition) - 4 < bytes)
      return AddError(MessageId::SclWrongFileSize, {path + " / " + NameAndType(entry)});
    if (entry.FileSectors > catalog.FreeSectors) return AddError(MessageId::NoRoomOnDisk);
    if (auto error = StoreFile(catalog, disk, path, entry, data.subspan(dataPosition, bytes))) return error;
    dataPosition += bytes;
  }
  return std::nullopt;
}

}  // namespace

bool IsSclFileName(const std::filesystem::path& file) {
  std::string extension = PathToUtf8(file.extension());
  if (!extension.empty() && extension.front() == '.') extension.erase(0, 1);
  if (extension.size() < 3) return false;
  for (int i = 0; i < 3; ++i)
    if (std::toupper(static_cast<unsigned char>(extension[i])) != "SCL"[i]) return false;
  return true;
}

std::optional<Message> AddFileBytes(TrdosCatalog& catalog, TZX_Disk& disk, const std::string& path, ByteSpan data) {
  return IsSclFileName(PathFromUtf8(path)) ? AddScl(catalog, disk, path, data) : AddHobeta(catalog, disk, path, data);
}

OperationResult AddFiles(CatalogState& state, TZX_Disk& disk, const std::vector<std::filesystem::path>& files) {
  OperationResult result;
  std::size_t added = 0;
  for (const auto& file : files) {
    ReadFailure failure = ReadFailure::None;
    const auto data = ReadWholeFile(file, &failure);
    std::optional<Message> error;
    if (!data)
      error = AddError(MessageId::Verbatim, {ReadFailureMessage(failure, file)});
    else
      error = AddFileBytes(state.SharedCatalog, disk, PathToUtf8(file), *data);
    if (!error) ++added;
    if (error) result.Messages.push_back(*error);
    // A full catalog takes no later file either.
    if (state.SharedCatalog.FileCount >= kTrdosMaxFiles) break;
  }
  if (files.size() > 1 && added < files.size())
    result.Messages.push_back(AttentionMessage({MessageId::TrdosFilesAdded, {added, files.size()}}));
  WriteCatalogBack(state, disk, result);
  state.CatalogChanged = true;
  return result;
}

}  // namespace velloran
