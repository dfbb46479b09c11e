#include "trdos/scl.h"

#include <algorithm>
#include <cstring>

#include "common/file_io.h"

namespace velloran {

namespace {

constexpr char kSignature[] = "SINCLAIR";

void AppendSclHeader(Bytes& out, const TrdosEntry& entry) {
  std::uint8_t bytes[kTrdosEntrySize];
  StoreEntry(entry, bytes);
  out.insert(out.end(), bytes, bytes + kSclHeaderSize);
}

// Signature, count, headers, sectors and checksum of the entries.
SclFile BuildSclBytes(const TZX_Disk& disk, const std::vector<TrdosEntry>& entries) {
  SclFile file;
  Bytes& out = file.Data;
  out.assign(kSignature, kSignature + kSclSignatureSize);
  out.push_back(static_cast<std::uint8_t>(entries.size()));
  for (const auto& entry : entries) AppendSclHeader(out, entry);
  for (const auto& entry : entries) {
    file.Failure = ReadFileSectors(disk, EntryStart(entry), entry.FileSectors, out);
    if (file.Failure) {
      out.clear();
      return file;
    }
  }
  AppendLe32(out, SclChecksum(out));
  return file;
}

}  // namespace

std::uint32_t SclChecksum(ByteSpan data) {
  std::uint32_t sum = 0;
  for (std::uint8_t byte : data) sum += byte;
  return sum;
}

bool SclChecksumValid(ByteSpan data) {
  if (data.size() < 4) return false;
  return SclChecksum(data.first(data.size() - 4)) == ReadLe32(&data[data.size() - 4]);
}

bool HasSclSignature(ByteSpan data) {
  return data.size() >= kSclSignatureSize && std::memcmp(data.data(), kSignature, kSclSignatureSize) == 0;
}

TrdosEntry SclHeaderAt(ByteSpan data, std::size_t offset) {
  std::uint8_t bytes[kTrdosEntrySize] = {};
  std::copy_n(data.begin() + offset, kSclHeaderSize, bytes);
  return LoadEntry(bytes);
}

bool LoadSCL(TZX_Disk& disk, const std::filesystem::path& file) {
  ReadFailure failure = ReadFailure::None;
  std::error_code reason;
  const auto data = ReadWholeFile(file, &failure, kMaxImageFileSize, &reason);
  if (!data) return Fail(disk, ReadFailureMessage(failure, file, kMaxImageFileSize, reason));
  return LoadSCLFromBytes(disk, *data);
}

bool LoadSCLFromBytes(TZX_Disk& disk, ByteSpan data) {
  disk.ClearDisk();
  if (!SclChecksumValid(data)) return Fail(disk, MessageId::SclChecksumError);
  if (!HasSclSignature(data)) return Fail(disk, MessageId::SclBadSignature);
  // From here on the disk is the new empty one, also when a later check fails.
  MakeTrdosDisk(disk, "NEW DISK");
  const long long size = static_cast<long long>(data.size());
  const int count = size > 8 ? data[8] : 0;
  if (size < 9 || size < 14LL * count + 9) return Fail(disk, {MessageId::FileLengthError, {"SCL"}});
  if (count > kTrdosMaxFiles) return Fail(disk, MessageId::SclTooManyFiles);

  TrdosPosition next{1, 0};
  int placed = 0;
  std::size_t headerPosition = 9;
  std::size_t dataPosition = 9 + kSclHeaderSize * count;
  for (int i = 0; i < count; ++i) {
    TrdosEntry entry = SclHeaderAt(data, headerPosition);
    headerPosition += kSclHeaderSize;
    const int bytes = entry.FileSectors * kTrdosSectorSize;
    if (size - static_cast<long long>(dataPosition) - 4 < bytes)
      return Fail(
          disk, {MessageId::SclWrongFileSize, {NameText(entry.Name) + "." + NameText(std::span(&entry.FileType, 1))}});
    if (entry.FileSectors > kTrdosFreeOnEmptyDisk - placed) return Fail(disk, MessageId::NoRoomOnDisk);
    entry.FirstSector = static_cast<std::uint8_t>(next.Sector);
    entry.FirstTrack = static_cast<std::uint8_t>(next.Track);
    for (int s = 0; s < entry.FileSectors; ++s) {
      TSectorRec& sector = disk.Tracks[next.Track].Sectors[next.Sector];
      sector.Data.CopyFrom(data.data() + dataPosition, kTrdosSectorSize);
      dataPosition += kTrdosSectorSize;
      next.Advance();
    }
    placed += entry.FileSectors;
    StoreEntry(entry, disk.Tracks[0].Sectors[i / 16].Data.data() + (i % 16) * kTrdosEntrySize);
  }

  std::uint8_t* info = disk.Tracks[0].Sectors[kInfoSectorNumber - 1].Data.data();
  info[0xE1] = static_cast<std::uint8_t>(next.Sector);
  info[0xE2] = static_cast<std::uint8_t>(next.Track);
  info[0xE4] = static_cast<std::uint8_t>(count);
  info[0xF4] = 0;
  WriteLe16(info + 0xE5, static_cast<std::uint16_t>(kTrdosTotalSectors - next.Logical()));
  return true;
}

bool SaveSCLToBytes(TZX_Disk& disk, Bytes& out) {
  TrdosCatalog catalog;
  if (!ReadCatalog(disk, catalog)) return Fail(disk, MessageId::NotTrdosDisk);
  // The count byte is the number of headers that follow: the live entries
  // among the first FileCount, whatever the deleted count claims.
  std::vector<TrdosEntry> live;
  const int files = std::min<int>(catalog.FileCount, kTrdosMaxFiles);
  for (int i = 0; i < files; ++i)
    if (!catalog.Entries[i].Deleted()) live.push_back(catalog.Entries[i]);
  if (live.empty()) return Fail(disk, MessageId::NotTrdosDisk);
  SclFile file = BuildSclBytes(disk, live);
  if (file.Failure) {
    const TrdosPosition& at = file.Failure->Position;
    return Fail(disk, {MessageId::SectorErrorAt, {at.Track, at.Sector + 1}});
  }
  out = std::move(file.Data);
  return true;
}

bool SaveSCL(TZX_Disk& disk, const std::filesystem::path& file) {
  Bytes out;
  if (!SaveSCLToBytes(disk, out)) return false;
  std::string error;
  if (!WriteFileAtomic(file, out, error)) return Fail(disk, {MessageId::Verbatim, {error}});
  return true;
}

SclFile BuildSclFile(const TZX_Disk& disk, const std::vector<TrdosEntry>& entries) {
  return BuildSclBytes(disk, entries);
}

Message NoFilesSelectedMessage() { return ErrorMessage(MessageId::TrdosNoFilesSelected); }

Message SclOverwriteQuestion(const std::string& fullFileName) {
  return AttentionMessage({MessageId::FileExistsOverwrite, {fullFileName}}, MessageButtons::YesNo);
}

Message SclSectorErrorMessage(const SectorFailure& failure) {
  return ErrorMessage(SectorErrorPhrase(failure.Position));
}

}  // namespace velloran
