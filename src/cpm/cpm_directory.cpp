#include "cpm/cpm_directory.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/codepages.h"
#include "cpm/cpm_recognition.h"

namespace velloran {

namespace {

constexpr int kExtentOffset = 12;
constexpr int kExtentHighOffset = 14;
constexpr int kRecordsOffset = 15;
constexpr int kBlocksOffset = 16;
constexpr int kRecordsPerExtent = 128;
constexpr std::uint8_t kDiskLabel = 0x20;
constexpr std::uint8_t kDateStamps = 0x21;

// The directory's entries as the definition reads them: block numbers of
// one or two bytes, and extent numbers whose low bits count the 16 KB
// extents inside one entry.
class Entries {
 public:
  Entries(const CpmDefinition& definition, const CpmDirectory& directory)
      : definition_(definition), directory_(directory) {}

  int Count() const { return static_cast<int>(directory_.size()) / kCpmEntrySize; }
  const std::uint8_t* At(int index) const { return directory_.data() + index * kCpmEntrySize; }
  int BlocksPerEntry() const { return definition_.BlocksPerEntry(); }

  int BlockNumber(const std::uint8_t* entry, int k) const {
    return definition_.WideBlockNumbers() ? ReadLe16(entry + kBlocksOffset + 2 * k) : entry[kBlocksOffset + k];
  }
  // A file's first entry: extent 0, counting the high extent byte (files
  // beyond 512 KB number their extents on from 32 there).
  bool IsFirstExtent(const std::uint8_t* entry) const {
    return (entry[kExtentOffset] & ~definition_.ExtentMask()) == 0 && entry[kExtentHighOffset] == 0;
  }
  // Records held by the entry: its full extents and the records of its last.
  long long Records(const std::uint8_t* entry) const {
    return static_cast<long long>(entry[kExtentOffset] & definition_.ExtentMask()) * kRecordsPerExtent +
           entry[kRecordsOffset];
  }
  bool IsFull(const std::uint8_t* entry) const {
    return Records(entry) >= static_cast<long long>(definition_.ExtentMask() + 1) * kRecordsPerExtent;
  }

 private:
  const CpmDefinition& definition_;
  const CpmDirectory& directory_;
};

bool SameName(const std::uint8_t* a, const std::uint8_t* b) { return std::memcmp(a + 1, b + 1, 11) == 0; }

bool IsBlankEntry(const std::uint8_t* entry) { return entry[0] == kCpmDeleted && entry[1] == kCpmDeleted; }

// Labels and date stamps share the directory with the files.
bool IsFileEntry(const std::uint8_t* entry) { return entry[0] != kDiskLabel && entry[0] != kDateStamps; }

// Marks the entry's blocks with their owner, up to the first number outside
// the volume.
void MarkBlocks(const Entries& entries, const std::uint8_t* entry, std::uint16_t owner,
                std::vector<std::uint16_t>& map) {
  for (int k = 0; k < entries.BlocksPerEntry(); ++k) {
    const int block = entries.BlockNumber(entry, k);
    if (block >= static_cast<int>(map.size())) break;
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

// Appends the entry's block numbers up to its first 0, never more than the
// volume's block count in all.
void AppendBlocks(const Entries& entries, const std::uint8_t* entry, std::size_t limit,
                  std::vector<std::uint16_t>& blocks) {
  for (int k = 0; k < entries.BlocksPerEntry() && blocks.size() < limit; ++k) {
    const int block = entries.BlockNumber(entry, k);
    if (block == 0) break;
    blocks.push_back(static_cast<std::uint16_t>(block));
  }
}

}  // namespace

std::string CpmLengthText(long long bytes, char decimalSeparator) {
  const double value = static_cast<double>(bytes / 1024) + static_cast<double>(bytes % 1024) / 1000.0;
  char text[40];
  std::snprintf(text, sizeof text, "%.15g", value);
  std::string result = text;
  std::replace(result.begin(), result.end(), '.', decimalSeparator);
  return result;
}

CpmListing ListCpmDirectory(const CpmDefinition& definition, const CpmDirectory& directory, bool showDeleted,
                            bool showHidden) {
  CpmListing listing;
  listing.Definition = definition;
  listing.Directory = directory;
  listing.BlockMap.assign(static_cast<std::size_t>(definition.BlockCount()), 0);
  std::fill_n(listing.BlockMap.begin(), definition.DirectoryBlocks(), kCpmDirectoryBlock);
  const Entries entries(definition, directory);
  for (int i = 0; i < entries.Count(); ++i) {
    const std::uint8_t* entry = entries.At(i);
    if (definition.EndsAtBlankEntry && IsBlankEntry(entry)) break;
    if (!IsFileEntry(entry)) continue;
    const auto owner = static_cast<std::uint16_t>(i + 1);
    const bool deleted = entry[0] == kCpmDeleted;
    const bool hidden = entry[0] != 0 && !deleted;
    long long records = entries.Records(entry);
    if (!deleted) {
      MarkBlocks(entries, entry, owner, listing.BlockMap);
      if (entries.IsFull(entry)) {
        // Later extents of the same name add their records and blocks, up to
        // the first extent that is not full.
        for (int k = i + 1; k < entries.Count(); ++k) {
          const std::uint8_t* extent = entries.At(k);
          if (entries.IsFirstExtent(extent) || !IsFileEntry(extent) || !SameName(extent, entry)) continue;
          records += entries.Records(extent);
          MarkBlocks(entries, extent, owner, listing.BlockMap);
          if (!entries.IsFull(extent)) break;
        }
      }
    }
    if (!entries.IsFirstExtent(entry) || (deleted && !showDeleted) || (hidden && !showHidden)) continue;
    CpmRow row;
    row.Entry = i;
    row.Filename = DisplayText(entry + 1, 8);
    row.Ext = DisplayText(entry + 9, 3);
    row.Size = records * kCpmRecordSize;
    row.Length = CpmLengthText(row.Size);
    row.User = Hex2(entry[0]);
    row.Number = Hex2(entry[kExtentOffset]);
    row.Name11.assign(reinterpret_cast<const char*>(entry + 1), 11);
    listing.Rows.push_back(std::move(row));
  }
  const long long used =
      static_cast<long long>(definition.BlockSize) *
      std::count_if(listing.BlockMap.begin(), listing.BlockMap.end(), [](std::uint16_t b) { return b != 0; });
  listing.UsedKilobytes = used / 1024;
  listing.FreeKilobytes = (definition.CapacityBytes() - used) / 1024;
  return listing;
}

CpmListing ListCpmDisk(const TZX_Disk& disk, bool showDeleted, bool showHidden) {
  const CpmDefinition definition = RecognizeCpmDisk(disk).value_or(ProfiDefinition());
  return ListCpmDirectory(definition, ReadCpmDirectory(disk, definition), showDeleted, showHidden);
}

int FindCpmFile(const CpmDefinition& definition, const CpmDirectory& directory, std::string_view name11,
                CpmFoundFile& found) {
  found = CpmFoundFile{};
  if (name11.size() != 11) return -1;
  const Entries entries(definition, directory);
  const auto* name = reinterpret_cast<const std::uint8_t*>(name11.data());
  int first = -1;
  for (int i = 0; i < entries.Count() && first < 0; ++i) {
    const std::uint8_t* entry = entries.At(i);
    if (std::memcmp(entry + 1, name, 11) == 0 && entries.IsFirstExtent(entry) && IsFileEntry(entry)) first = i;
  }
  if (first < 0) return -1;

  const auto limit = static_cast<std::size_t>(definition.BlockCount());
  const std::uint8_t* entry = entries.At(first);
  found.Name.assign(reinterpret_cast<const char*>(entry + 1), 8);
  found.Extension.assign(reinterpret_cast<const char*>(entry + 9), 3);
  found.User = entry[0];
  found.Size = entries.Records(entry) * kCpmRecordSize;
  AppendBlocks(entries, entry, limit, found.Blocks);
  if (found.Blocks.size() == static_cast<std::size_t>(entries.BlocksPerEntry())) {
    for (int k = first + 1; k < entries.Count(); ++k) {
      const std::uint8_t* extent = entries.At(k);
      if (std::memcmp(extent + 1, name, 11) != 0 || entries.IsFirstExtent(extent) || !IsFileEntry(extent)) continue;
      found.Size += entries.Records(extent) * kCpmRecordSize;
      AppendBlocks(entries, extent, limit, found.Blocks);
    }
  }
  // Damaged or duplicate entries may promise more than the blocks hold: the
  // file is what its blocks hold.
  found.Size = std::min<long long>(found.Size, static_cast<long long>(found.Blocks.size()) * definition.BlockSize);
  return first;
}

Bytes CpmFileContents(const TZX_Disk& disk, const CpmDefinition& definition, const CpmFoundFile& found,
                      std::vector<CpmDamagedSector>* damaged) {
  const auto blockSize = static_cast<std::size_t>(definition.BlockSize);
  Bytes contents(found.Blocks.size() * blockSize);
  for (std::size_t i = 0; i < found.Blocks.size(); ++i) {
    std::vector<CpmDamagedSector> inBlock;
    ReadCpmBlock(disk, definition, found.Blocks[i], contents.data() + i * blockSize, &inBlock);
    // Damage past the end of the file does not touch it.
    for (const auto& sector : inBlock)
      if (damaged != nullptr && static_cast<long long>(i * blockSize) + sector.Offset < found.Size)
        damaged->push_back(sector);
  }
  contents.resize(static_cast<std::size_t>(found.Size));
  return contents;
}

}  // namespace velloran
