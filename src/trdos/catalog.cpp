#include "trdos/catalog.h"

#include <algorithm>
#include <string>

#include "common/codepages.h"
#include "common/messages.h"

namespace velloran {

namespace {

// Offsets of the fields used in the disk information sector.
constexpr int kInfoFirstFreeSector = 0xE1;
constexpr int kInfoFirstFreeTrack = 0xE2;
constexpr int kInfoDiskType = 0xE3;
constexpr int kInfoFileCount = 0xE4;
constexpr int kInfoFreeSectors = 0xE5;
constexpr int kInfoTrdosId = 0xE7;
constexpr int kInfoDeletedCount = 0xF4;
constexpr int kInfoLabel = 0xF5;
constexpr std::uint8_t kTrdosIdByte = 0x10;
constexpr std::uint8_t kDiskType80Tracks2Sides = 0x16;

template <typename Disk, typename Sector>
Sector* FindSectorIn(Disk& disk, int track, int sector) {
  if (track < 0 || track >= kTrackCount) return nullptr;
  for (auto& slot : disk.Tracks[track].Sectors)
    if (slot.IdSector == sector) return &slot;
  return nullptr;
}

}  // namespace

TSectorRec* FindSector(TZX_Disk& disk, int track, int sector) {
  return FindSectorIn<TZX_Disk, TSectorRec>(disk, track, sector);
}

const TSectorRec* FindSector(const TZX_Disk& disk, int track, int sector) {
  return FindSectorIn<const TZX_Disk, const TSectorRec>(disk, track, sector);
}

bool IsUsableSector(const TSectorRec* sector) {
  return sector != nullptr && sector->Used && sector->DataLen >= kTrdosSectorSize;
}

TSectorRec* FindUsableSector(TZX_Disk& disk, int track, int sector) {
  TSectorRec* found = FindSector(disk, track, sector);
  return IsUsableSector(found) ? found : nullptr;
}

const TSectorRec* FindUsableSector(const TZX_Disk& disk, int track, int sector) {
  const TSectorRec* found = FindSector(disk, track, sector);
  return IsUsableSector(found) ? found : nullptr;
}

void StoreEntry(const TrdosEntry& entry, std::uint8_t* out) {
  std::copy(entry.Name.begin(), entry.Name.end(), out);
  out[8] = entry.FileType;
  WriteLe16(out + 9, entry.Start);
  WriteLe16(out + 11, entry.Length);
  out[13] = entry.FileSectors;
  out[14] = entry.FirstSector;
  out[15] = entry.FirstTrack;
}

TrdosEntry LoadEntry(const std::uint8_t* in) {
  TrdosEntry entry;
  std::copy(in, in + 8, entry.Name.begin());
  entry.FileType = in[8];
  entry.Start = ReadLe16(in + 9);
  entry.Length = ReadLe16(in + 11);
  entry.FileSectors = in[13];
  entry.FirstSector = in[14];
  entry.FirstTrack = in[15];
  return entry;
}

std::string NameText(std::span<const std::uint8_t> bytes) {
  return ToUtf8(CodePage::Cp1251, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void RecountFreeSectors(TrdosCatalog& catalog) {
  catalog.FreeSectors = static_cast<std::uint16_t>(
      kTrdosTotalSectors - (catalog.FirstFreeTrack * kTrdosSectorsPerTrack + catalog.FirstFreeSector));
}

bool ParseCatalog(ByteSpan image, TrdosCatalog& catalog) {
  std::array<std::uint8_t, kCatalogImageSize> buffer{};
  std::copy_n(image.begin(), std::min<std::size_t>(image.size(), buffer.size()), buffer.begin());
  catalog = TrdosCatalog{};

  const std::uint8_t* info = buffer.data() + (kInfoSectorNumber - 1) * kTrdosSectorSize;
  catalog.DiskType = info[kInfoDiskType];
  catalog.TrdosId = info[kInfoTrdosId];
  catalog.FirstFreeSector = info[kInfoFirstFreeSector];
  catalog.FirstFreeTrack = info[kInfoFirstFreeTrack];
  catalog.FreeSectors = ReadLe16(info + kInfoFreeSectors);
  catalog.FileCount = info[kInfoFileCount];
  catalog.DeletedCount = info[kInfoDeletedCount];
  std::copy_n(info + kInfoLabel, 8, catalog.DiskLabel.begin());

  if (catalog.TrdosId != kTrdosIdByte || catalog.DiskType < 0x16 || catalog.DiskType > 0x19) {
    catalog = TrdosCatalog{};
    return false;
  }
  for (int offset = 0; offset < kTrdosMaxFiles * kTrdosEntrySize; offset += kTrdosEntrySize) {
    const std::uint8_t* bytes = buffer.data() + offset;
    if (std::all_of(bytes, bytes + 8, [](std::uint8_t b) { return b == 0; })) break;
    catalog.Entries[catalog.EntryCount++] = LoadEntry(bytes);
  }
  catalog.Valid = true;
  return true;
}

bool ReadCatalog(const TZX_Disk& disk, TrdosCatalog& catalog) {
  catalog = TrdosCatalog{};
  const TTrack& track = disk.Tracks[0];
  if (!track.Present) return false;

  // The slots scanned are as many as the track has used slots, in slot order.
  const auto used =
      std::count_if(track.Sectors.begin(), track.Sectors.end(), [](const TSectorRec& s) { return s.Used; });
  std::array<std::uint8_t, kCatalogImageSize> buffer{};
  for (int slot = 0; slot < used; ++slot) {
    const TSectorRec& sector = track.Sectors[slot];
    if (sector.IdSector < 1 || sector.IdSector > kInfoSectorNumber) continue;
    if (sector.IdSize != 1 || !sector.Used) return false;
    if (sector.IdSector == kInfoSectorNumber && sector.DataLen < kTrdosSectorSize) return false;
    std::copy_n(sector.Data.begin(), kTrdosSectorSize, buffer.begin() + (sector.IdSector - 1) * kTrdosSectorSize);
  }
  return ParseCatalog(buffer, catalog);
}

std::optional<Message> WriteCatalog(TZX_Disk& disk, const TrdosCatalog& catalog) {
  // Every sector is checked before any byte changes, so a failure never
  // leaves the catalog half written.
  std::array<TSectorRec*, kInfoSectorNumber> sectors{};
  for (int number = 1; number <= kInfoSectorNumber; ++number) {
    sectors[number - 1] = FindUsableSector(disk, 0, number);
    if (sectors[number - 1] == nullptr) return ErrorMessage({MessageId::SectorErrorAt, {0, number}});
  }
  for (int number = 1; number < kInfoSectorNumber; ++number)
    std::fill_n(sectors[number - 1]->Data.begin(), kTrdosSectorSize, 0);
  const int count = std::min<int>(catalog.EntryCount, kTrdosMaxFiles);
  for (int i = 0; i < count; ++i) {
    TSectorRec* sector = sectors[i / 16];
    StoreEntry(catalog.Entries[i], sector->Data.data() + (i % 16) * kTrdosEntrySize);
  }
  std::uint8_t* info = sectors[kInfoSectorNumber - 1]->Data.data();
  info[kInfoFirstFreeSector] = catalog.FirstFreeSector;
  info[kInfoFirstFreeTrack] = catalog.FirstFreeTrack;
  info[kInfoFileCount] = catalog.FileCount;
  info[kInfoDeletedCount] = catalog.DeletedCount;
  WriteLe16(info + kInfoFreeSectors, catalog.FreeSectors);
  std::copy(catalog.DiskLabel.begin(), catalog.DiskLabel.end(), info + kInfoLabel);
  return std::nullopt;
}

void MakeTrdosDisk(TZX_Disk& disk, std::string_view label) {
  disk.ClearDisk();
  for (int index = 0; index < kTrdosTracks; ++index) {
    TTrack& track = disk.Tracks[index];
    track.Present = true;
    for (int slot = 0; slot < kTrdosSectorsPerTrack; ++slot)
      PlaceGoodSector(track.Sectors[slot], static_cast<std::uint8_t>(index / 2), 0, static_cast<std::uint8_t>(slot + 1),
                      1);
  }
  std::uint8_t* info = disk.Tracks[0].Sectors[kInfoSectorNumber - 1].Data.data();
  info[kInfoTrdosId] = kTrdosIdByte;
  info[kInfoDiskType] = kDiskType80Tracks2Sides;
  info[kInfoFirstFreeSector] = 0;
  info[kInfoFirstFreeTrack] = 1;
  WriteLe16(info + kInfoFreeSectors, kTrdosFreeOnEmptyDisk);
  info[kInfoFileCount] = 0;
  info[kInfoDeletedCount] = 0;
  std::string bytes = FromUtf8(CodePage::Cp1251, label);
  bytes.resize(8, ' ');
  std::copy(bytes.begin(), bytes.end(), info + kInfoLabel);
}

std::string FileAtSector(const TrdosCatalog& catalog, int track, int sector) {
  if (track == 0 || !catalog.Valid) return {};
  const int target = static_cast<std::uint16_t>(track * kTrdosSectorsPerTrack + sector);
  for (int i = 0; i < catalog.EntryCount; ++i) {
    const TrdosEntry& entry = catalog.Entries[i];
    const int first = entry.FirstTrack * kTrdosSectorsPerTrack + entry.FirstSector;
    if (first <= target && target < first + entry.FileSectors)
      return NameText(entry.Name) + " _" + NameText(std::span(&entry.FileType, 1));
  }
  return MessageText(MessageId::TrdosFreeSector);
}

}  // namespace velloran
