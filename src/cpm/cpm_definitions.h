// CP/M disk parameter definitions: the geometry and file-system sizes of
// one kind of CP/M disk (the Profi's, the Spectrum +3's and the Amstrads'),
// and the table of the kinds this program knows.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/messages.h"

namespace velloran {

// How the logical tracks of a CP/M volume lie on the sides of the disk.
enum class CpmSides {
  One,         // side 0 only: logical track t is cylinder t
  Alternate,   // cylinder t / 2, side t % 2 (the model's own track order)
  Successive,  // side 0 from cylinder 0 outwards, then side 1 the same way
};

struct CpmDefinition {
  std::string Name;   // short key, also the name of the equivalent cpmtools diskdef
  std::string Title;  // what the user is shown
  int SectorSize = 0;
  int SectorsPerTrack = 0;
  int FirstSector = 1;          // ID number of the first sector of a track
  int TrackZeroLastSector = 0;  // when not 0: the ID of the last sector of track 0 (Profi: 9)
  int Tracks = 0;               // logical tracks, both sides counted
  CpmSides Sides = CpmSides::Alternate;
  int BlockSize = 0;         // allocation block in bytes
  int DirectoryEntries = 0;  // 32-byte entries
  int ReservedTracks = 0;    // system tracks before block 0
  int Skew = 0;              // step between logically adjacent sectors; 0 and 1 mean none
  bool BootRecord = false;   // a +3 geometry record in the first sector describes the disk
  // When not 0: the blocks the disk's own parameter block allows, which may
  // be fewer than its tracks hold (the Korvet's).
  int VolumeBlocks = 0;
  // The directory ends at the first entry whose user and first name bytes
  // are both 0xE5 (the Profi's CP/M stops there); other systems read every
  // entry, and a blank sector may lie before their files.
  bool EndsAtBlankEntry = false;

  // Blocks of the volume, directory included.
  int BlockCount() const { return VolumeBlocks != 0 ? VolumeBlocks : TrackBlocks(); }
  // Blocks the tracks after the system tracks hold.
  int TrackBlocks() const { return (Tracks - ReservedTracks) * SectorsPerTrack * SectorSize / BlockSize; }
  long long CapacityBytes() const { return static_cast<long long>(BlockCount()) * BlockSize; }
  int DirectoryBytes() const { return DirectoryEntries * 32; }
  int DirectoryBlocks() const { return (DirectoryBytes() + BlockSize - 1) / BlockSize; }
  // Up to 256 blocks an entry holds 16 one-byte block numbers, above that
  // 8 two-byte ones.
  bool WideBlockNumbers() const { return BlockCount() > 256; }
  int BlocksPerEntry() const { return WideBlockNumbers() ? 8 : 16; }
  // Logical 16 KB extents per entry, less one: the low bits of the extent
  // number that count within one entry.
  int ExtentMask() const { return BlocksPerEntry() * BlockSize / 16384 - 1; }
  // ID sector size code (128 << code bytes).
  int SizeCode() const;
  // Whether the sizes make a volume this program can read: sectors of 128
  // to 1024 bytes, blocks of 1 to 16 KB made of whole sectors, at most 20
  // sectors per track, tracks that fit the model, a directory of at most
  // 4096 entries that leaves blocks for files.
  bool Valid() const;

  friend bool operator==(const CpmDefinition&, const CpmDefinition&) = default;
};

// The known definitions: "profi", "plus3", "pcw720", "cpcsys", "cpcdata".
std::span<const CpmDefinition> CpmDefinitions();
const CpmDefinition& ProfiDefinition();
std::optional<CpmDefinition> FindCpmDefinition(std::string_view name);

// The geometry record of the Spectrum +3 (also written by the Amstrad PCW):
// the first 10 bytes of the disk's first sector. Byte 0 the disk type (0
// single-sided, 3 double-sided; 1 and 2 name the CPC formats), byte 1 the
// sides in its low two bits (0 one, 1 alternate, 2 successive), then tracks
// per side, sectors per track, log2(sector size / 128), reserved tracks,
// log2(block size / 128), directory blocks, and the read/write and format
// gap lengths.
inline constexpr int kCpmBootRecordSize = 10;
using CpmBootRecord = std::array<std::uint8_t, kCpmBootRecordSize>;
// The definition a record describes: the table's entry when the sizes are
// one of its +3/PCW formats, otherwise one made from the record. None when
// the bytes are no record of a volume this program can read (a freshly
// formatted +3 disk holds 0xE5 there).
std::optional<CpmDefinition> ParseCpmBootRecord(const CpmBootRecord& record);
CpmBootRecord MakeCpmBootRecord(const CpmDefinition& definition);

// The title the user is shown; a definition made from a boot record says so.
Phrase CpmDefinitionTitle(const CpmDefinition& definition);

// The title followed by the sizes in words, for listings.
Phrase CpmDefinitionDescription(const CpmDefinition& definition);

}  // namespace velloran
