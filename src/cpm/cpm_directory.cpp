#include "cpm/cpm_directory.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/codepages.h"

namespace velloran {

namespace {

constexpr int kEntryCount = kCpmDirectorySize / kCpmEntrySize;
constexpr int kBlocksPerEntry = 8;
constexpr int kExtentOffset = 12;
constexpr int kRecordsOffset = 15;
constexpr int kBlocksOffset = 16;
constexpr std::uint8_t kFullExtent = 0x80;

const std::uint8_t* EntryAt(const CpmDirectory& directory, int index) {
  return directory.data() + index * kCpmEntrySize;
}

std::uint16_t BlockNumber(const std::uint8_t* entry, int k) { return ReadLe16(entry + kBlocksOffset + 2 * k); }

bool SameName(const std::uint8_t* a, const std::uint8_t* b) { return std::memcmp(a + 1, b + 1, 11) == 0; }

bool IsEndMarker(const std::uint8_t* entry) { return entry[0] == kCpmDeleted && entry[1] == kCpmDeleted; }

// Marks the entry's blocks with their owner, up to the first number outside
// the disk.
void MarkBlocks(const std::uint8_t* entry, std::uint8_t owner, std::array<std::uint8_t, kCpmBlockCount>& map) {
  for (int k = 0; k < kBlocksPerEntry; ++k) {
    const std::uint16_t block = BlockNumber(entry, k);
    if (block >= kCpmBlockCount) break;
    map[block] = owner;
  }
}

// Bytes as code page 1251 text, ending at the first zero byte.
std::string DisplayText(const std::uint8_t* bytes, std::size_t count) {
  const std::size_t length = std::find(bytes, bytes + count, 0) - bytes;
  return ToUtf8(CodePage::Cp1251, std::string_view(reinterpret_cast<const char*>(bytes), length));
}

std::string Hex2(std::uint8_t value) {
  char text[4];
  std::snprintf(text, sizeof text, "%02X", value);
  return text;
}

// Appends the entry's block numbers up to its first 0, never more than 400.
void AppendBlocks(const std::uint8_t* entry, std::vector<std::uint16_t>& blocks) {
  for (int k = 0; k < kBlocksPerEntry && blocks.size() < kCpmBlockCount; ++k) {
    const std::uint16_t block = BlockNumber(entry, k);
    if (block == 0) break;
    blocks.push_back(block);
  }
}

}  // namespace

bool LooksLikeCpmDisk(const TZX_Disk& disk) {
  const auto& sectors = disk.Tracks[0].Sectors;
  const auto used = std::count_if(sectors.begin(), sectors.end(), [](const TSectorRec& s) { return s.Used != 0; });
  return used == 5 || used == 6;
}

CpmDirectory ReadCpmDirectory(const TZX_Disk& disk) {
  CpmDirectory directory{};
  for (int n = 1; n <= 4; ++n) {
    const std::uint8_t slot = FindCpmSector(disk, 0, n);
    if (slot == kCpmNoSlot) continue;
    const TSectorRec& sector = disk.Tracks[0].Sectors[slot];
    const int count = std::min<int>(sector.DataLen, kCpmSectorSize);
    std::copy_n(sector.Data.begin(), count, directory.begin() + (n - 1) * kCpmSectorSize);
  }
  return directory;
}

std::string CpmLengthText(long long bytes, char decimalSeparator) {
  const double value = static_cast<double>(bytes / 1024) + static_cast<double>(bytes % 1024) / 1000.0;
  char text[40];
  std::snprintf(text, sizeof text, "%.15g", value);
  std::string result = text;
  std::replace(result.begin(), result.end(), '.', decimalSeparator);
  return result;
}

CpmListing ListCpmDirectory(const CpmDirectory& directory, bool showDeleted, bool showHidden) {
  CpmListing listing;
  listing.Directory = directory;
  listing.BlockMap[0] = listing.BlockMap[1] = 0xFF;
  for (int i = 0; i < kEntryCount; ++i) {
    const std::uint8_t* entry = EntryAt(directory, i);
    if (IsEndMarker(entry)) break;
    const auto owner = static_cast<std::uint8_t>(i + 1);
    const bool deleted = entry[0] == kCpmDeleted;
    const bool hidden = entry[0] != 0 && !deleted;
    long long records = entry[kRecordsOffset];
    if (!deleted) {
      MarkBlocks(entry, owner, listing.BlockMap);
      if (entry[kRecordsOffset] >= kFullExtent) {
        // Later extents of the same name add their records and blocks, up to
        // the first extent that is not full.
        for (int k = i + 1; k < kEntryCount; ++k) {
          const std::uint8_t* extent = EntryAt(directory, k);
          if (extent[kExtentOffset] == 0 || !SameName(extent, entry)) continue;
          records += extent[kRecordsOffset];
          MarkBlocks(extent, owner, listing.BlockMap);
          if (extent[kRecordsOffset] < kFullExtent) break;
        }
      }
    }
    if (entry[kExtentOffset] != 0 || (deleted && !showDeleted) || (hidden && !showHidden)) continue;
    CpmRow row;
    row.Entry = i;
    row.Filename = DisplayText(entry + 1, 8);
    row.Ext = DisplayText(entry + 9, 3);
    row.Length = CpmLengthText(records * kCpmRecordSize);
    row.Atrib = Hex2(entry[0]);
    row.Number = Hex2(entry[kExtentOffset]);
    row.Name11.assign(reinterpret_cast<const char*>(entry + 1), 11);
    listing.Rows.push_back(std::move(row));
  }
  const long long used = kCpmBlockSize * std::count_if(listing.BlockMap.begin(), listing.BlockMap.end(),
                                                       [](std::uint8_t b) { return b != 0; });
  listing.l6 = std::to_string(listing.Rows.size());
  listing.l5 = std::to_string(used / 1024) + " кБ";
  listing.l4 = std::to_string((kCpmDiskBytes - used) / 1024) + " кБ";
  return listing;
}

CpmListing ListCpmDisk(const TZX_Disk& disk, bool showDeleted, bool showHidden) {
  return ListCpmDirectory(ReadCpmDirectory(disk), showDeleted, showHidden);
}

int FindCpmFile(const CpmDirectory& directory, std::string_view name11, CpmFoundFile& found) {
  found = CpmFoundFile{};
  if (name11.size() != 11) return -1;
  const auto* name = reinterpret_cast<const std::uint8_t*>(name11.data());
  int first = -1;
  for (int i = 0; i < kEntryCount && first < 0; ++i) {
    const std::uint8_t* entry = EntryAt(directory, i);
    if (std::memcmp(entry + 1, name, 11) == 0 && entry[kExtentOffset] == 0) first = i;
  }
  if (first < 0) return -1;

  const std::uint8_t* entry = EntryAt(directory, first);
  found.Name.assign(reinterpret_cast<const char*>(entry + 1), 8);
  found.Extension.assign(reinterpret_cast<const char*>(entry + 9), 3);
  found.User = entry[0];
  found.Size = static_cast<long long>(entry[kRecordsOffset]) * kCpmRecordSize;
  AppendBlocks(entry, found.Blocks);
  if (found.Blocks.size() == kBlocksPerEntry) {
    for (int k = first + 1; k < kEntryCount; ++k) {
      const std::uint8_t* extent = EntryAt(directory, k);
      if (std::memcmp(extent + 1, name, 11) != 0 || extent[kExtentOffset] == 0) continue;
      found.Size += static_cast<long long>(extent[kRecordsOffset]) * kCpmRecordSize;
      AppendBlocks(extent, found.Blocks);
    }
  }
  // Damaged or duplicate entries may promise more than the blocks hold: the
  // file is what its blocks hold.
  found.Size = std::min<long long>(found.Size, static_cast<long long>(found.Blocks.size()) * kCpmBlockSize);
  return first;
}

Bytes CpmFileContents(const TZX_Disk& disk, const CpmFoundFile& found, std::vector<CpmDamagedSector>* damaged) {
  Bytes contents(found.Blocks.size() * kCpmBlockSize);
  for (std::size_t i = 0; i < found.Blocks.size(); ++i) {
    std::vector<CpmDamagedSector> inBlock;
    ReadCpmBlock(disk, found.Blocks[i], contents.data() + i * kCpmBlockSize, &inBlock);
    // Damage past the end of the file does not touch it.
    for (const auto& sector : inBlock)
      if (damaged != nullptr && static_cast<long long>(i * kCpmBlockSize) + sector.Offset < found.Size)
        damaged->push_back(sector);
  }
  contents.resize(static_cast<std::size_t>(found.Size));
  return contents;
}

}  // namespace velloran
