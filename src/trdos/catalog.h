// The TR-DOS volume: where its sectors are, the catalog on track 0 and its
// in-memory record, reading and writing that record, the empty TR-DOS disk
// and the lookup of the file that owns a sector.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/bytes.h"
#include "model/disk.h"
#include "trdos/message.h"

namespace velloran {

inline constexpr int kTrdosSectorSize = 256;
inline constexpr int kTrdosSectorsPerTrack = 16;
inline constexpr int kTrdosTracks = 160;
inline constexpr int kTrdosTotalSectors = kTrdosTracks * kTrdosSectorsPerTrack;           // 2560
inline constexpr int kTrdosFreeOnEmptyDisk = kTrdosTotalSectors - kTrdosSectorsPerTrack;  // 2544
inline constexpr int kTrdosMaxFiles = 128;
inline constexpr int kTrdosEntrySize = 16;
inline constexpr int kCatalogImageSize = 2560;  // sectors 1..10 of track 0
inline constexpr int kInfoSectorNumber = 9;     // ID number of the disk information sector
inline constexpr std::size_t kScreenLength = 6912;

// One catalog entry, the fields of the 16 on-disk bytes in their order.
struct TrdosEntry {
  std::array<std::uint8_t, 8> Name{};
  std::uint8_t FileType = 0;
  std::uint16_t Start = 0;
  std::uint16_t Length = 0;
  std::uint8_t FileSectors = 0;
  std::uint8_t FirstSector = 0;
  std::uint8_t FirstTrack = 0;

  // A first name byte below 0x20 marks a deleted (or erased) entry.
  bool Deleted() const { return Name[0] < 0x20; }
  bool SameNameAndType(const TrdosEntry& other) const { return Name == other.Name && FileType == other.FileType; }
};

// The in-memory catalog record every TR-DOS operation works on.
struct TrdosCatalog {
  bool Valid = false;           // read from a well-formed information sector
  std::uint8_t EntryCount = 0;  // entries before the all-zero name, 0..128
  std::array<std::uint8_t, 8> DiskLabel{};
  std::uint8_t DiskType = 0;
  std::uint8_t TrdosId = 0;
  std::uint8_t FirstFreeSector = 0;
  std::uint8_t FirstFreeTrack = 0;
  std::uint16_t FreeSectors = 0;
  std::uint8_t FileCount = 0;  // files, deleted ones included, from the info sector
  std::uint8_t DeletedCount = 0;
  std::array<TrdosEntry, kTrdosMaxFiles> Entries{};
};

// The catalog records and flags the application holds for the life of the
// process and passes to the catalog operations.
struct CatalogState {
  TrdosCatalog SharedCatalog;    // what the catalog window shows and edits
  TrdosCatalog OwnerCatalog;     // used only by FileAtSector
  bool CatalogEditable = false;  // read from the disk in memory, not from a drive
  bool CatalogChanged = false;   // the window changed sectors of the disk
};

// The first slot of the track whose IdSector equals `sector`, used or not;
// nullptr when there is none or the track index is outside the disk.
TSectorRec* FindSector(TZX_Disk& disk, int track, int sector);
const TSectorRec* FindSector(const TZX_Disk& disk, int track, int sector);

// The test every catalog operation applies to a sector: found, used, and
// holding at least 256 bytes of data.
bool IsUsableSector(const TSectorRec* sector);
TSectorRec* FindUsableSector(TZX_Disk& disk, int track, int sector);
const TSectorRec* FindUsableSector(const TZX_Disk& disk, int track, int sector);

// Parses a 2560-byte image of track 0 (sector n at (n - 1) * 256). On
// failure the record is zeroed and false is returned. A shorter buffer
// reads as if padded with zeros.
bool ParseCatalog(ByteSpan image, TrdosCatalog& catalog);

// Reads track 0 of the disk in memory into the record.
bool ReadCatalog(const TZX_Disk& disk, TrdosCatalog& catalog);

// Writes the record back into sectors 1..9 of track 0. All nine sectors are
// checked first: when one is not usable nothing is changed and the message
// for the first such sector is returned.
std::optional<Message> WriteCatalog(TZX_Disk& disk, const TrdosCatalog& catalog);

// Replaces the whole disk by an empty TR-DOS disk with the label (UTF-8 text,
// stored in code page 1251, padded with spaces and cut to 8 bytes).
void MakeTrdosDisk(TZX_Disk& disk, std::string_view label);

// The name of the file owning (track, sector 0..15) by the catalog, as
// "NAME____ _T" in UTF-8; "Free sector!" when no entry covers it; empty on
// track 0 or when the catalog is not valid.
std::string FileAtSector(const TrdosCatalog& catalog, int track, int sector);

// The 16 bytes of an entry as stored on the disk, and back.
void StoreEntry(const TrdosEntry& entry, std::uint8_t* out);
TrdosEntry LoadEntry(const std::uint8_t* in);

// Name bytes (code page 1251) as UTF-8 text.
std::string NameText(std::span<const std::uint8_t> bytes);

// Sets FreeSectors from the first free position: 2560 minus its logical number.
void RecountFreeSectors(TrdosCatalog& catalog);

}  // namespace velloran
