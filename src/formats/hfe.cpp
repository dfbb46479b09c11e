#include "formats/hfe.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "formats/image_file.h"
#include "formats/track_build_failure.h"
#include "model/raw_track.h"

namespace velloran {

namespace {

constexpr std::size_t kBlockSize = 512;
constexpr std::size_t kSideHalf = 256;                // bytes of each side in a block
constexpr int kRawBytesPerBlock = 128;                // raw bytes of one side in a block
constexpr std::size_t kHeaderBytes = 2 * kBlockSize;  // header block and track table block
constexpr std::uint16_t kTrackTableBlock = 1;
constexpr int kMinCylinders = 80;
constexpr int kMaxCylinders = kTrackCount / 2;  // 83
constexpr int kRawBytesWritten = 6250;          // raw bytes of each side in the file
constexpr int kBlocksPerCylinder = 49;
constexpr std::size_t kCylinderBytes = kBlocksPerCylinder * kBlockSize;  // 25088
constexpr std::uint16_t kTrackDataLength = 25000;
constexpr char kSignature[8] = {'H', 'X', 'C', 'P', 'I', 'C', 'F', 'E'};

constexpr std::array<std::uint8_t, 256> MakeReversedBytes() {
  std::array<std::uint8_t, 256> table{};
  for (int byte = 0; byte < 256; ++byte)
    for (int bit = 0; bit < 8; ++bit)
      if (byte & (1 << bit)) table[byte] = static_cast<std::uint8_t>(table[byte] | (0x80 >> bit));
  return table;
}

// MFM cells of each byte value after a 0 bit (first half) and after a 1 bit
// (second half): per data bit from bit 7 down, a clock bit and the data bit;
// the clock bit is 1 only between two 0 data bits. The first clock bit lands
// in the top bit.
constexpr std::array<std::uint16_t, 512> MakeCellTable() {
  std::array<std::uint16_t, 512> table{};
  for (int previous = 0; previous < 2; ++previous) {
    for (int value = 0; value < 256; ++value) {
      int last = previous;
      std::uint16_t cells = 0;
      for (int bit = 7; bit >= 0; --bit) {
        const int data = (value >> bit) & 1;
        const int clock = (last == 0 && data == 0) ? 1 : 0;
        cells = static_cast<std::uint16_t>(cells << 2 | clock << 1 | data);
        last = data;
      }
      table[previous * 256 + value] = cells;
    }
  }
  return table;
}

constexpr auto kReversed = MakeReversedBytes();
constexpr auto kCells = MakeCellTable();

constexpr std::uint16_t kA1Sync = 0x4489;  // A1 with its missing clock bit

Diagnostic FieldPastTrackEnd(int track, int sector, int available, int size) {
  return {{MessageId::HfeFieldPastEnd, {available, size}}, Severity::Warning, {track, sector}};
}

// Encodes raw bytes 0..6249 of one side into the cylinder's track data:
// raw byte 128k + i goes to block k, at 256 * side + 2i.
void EncodeSide(const std::uint8_t* raw, const std::uint8_t* syncMap, std::uint8_t* cylinder, int side) {
  int previousBit = 0;
  for (int i = 0; i < kRawBytesWritten; ++i) {
    const bool sync = (syncMap[i / 8] >> (i % 8)) & 1;
    const auto cells = HfeCellBytes(raw[i], sync, previousBit);
    std::uint8_t* target =
        cylinder + (i / kRawBytesPerBlock) * kBlockSize + side * kSideHalf + 2 * (i % kRawBytesPerBlock);
    target[0] = cells[0];
    target[1] = cells[1];
  }
}

bool IsDataMark(const std::uint8_t* raw, int e) {
  return raw[e] == 0xA1 && raw[e + 1] == 0xA1 && (raw[e + 2] == kDataMark || raw[e + 2] == kDeletedDataMark);
}

// Finds the sectors of a decoded track: each ID address mark fills the next
// slot, and the first data mark after it gives the sector's data and CRC
// state.
void ScanTrack(TZX_Disk& disk, int index, bool& cut) {
  TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(index));
  const std::uint8_t* raw = track.RawData.data();
  const int length = track.RawLength;
  int slot = 0;
  for (int e = 0; e < length - 10; ++e) {
    if (raw[e] != 0xA1 || raw[e + 1] != 0xA1 || raw[e + 2] != kIdMark) continue;
    if (slot == kSlotCount) {
      cut = true;
      return;
    }
    e += 3;
    TSectorRec& sector = track.Sectors[slot];
    sector.Used = true;
    sector.IdTrack = raw[e];
    sector.IdSide = raw[e + 1];
    sector.IdSector = raw[e + 2];
    sector.IdSize = raw[e + 3];
    sector.IdCrc = static_cast<std::uint16_t>(raw[e + 4] << 8 | raw[e + 5]);
    e += 7;
    for (; e < length - 3; ++e) {
      if (!IsDataMark(raw, e)) continue;
      sector.DeletedMark = raw[e + 2] == kDeletedDataMark;
      e += 3;
      // Size codes above 8 cannot fit in a track at all; clamping them keeps
      // the shift defined and the result the same.
      const int size = 128 << std::min<int>(sector.IdSize, 8);
      // A field cut by the end of the track keeps what the track holds of it.
      if (e + size > length) {
        const int kept = std::min(length - e, kSectorDataSize);
        std::copy_n(raw + e, kept, sector.Data.begin());
        sector.DataPos = static_cast<std::uint16_t>(e);
        sector.DataLen = static_cast<std::uint16_t>(kept);
        sector.DataOk = false;
        disk.Notices.push_back(FieldPastTrackEnd(index, sector.IdSector, length - e, size));
        return;
      }
      const int kept = std::min(size, kSectorDataSize);
      std::copy_n(raw + e, kept, sector.Data.begin());
      sector.DataPos = static_cast<std::uint16_t>(e);
      sector.DataLen = static_cast<std::uint16_t>(kept);
      const bool crcPresent = e + size + 2 <= length;
      const std::uint16_t stored = crcPresent ? static_cast<std::uint16_t>(raw[e + size] << 8 | raw[e + size + 1]) : 0;
      sector.DataOk = crcPresent && stored == CalcCRC16(raw + e - 4, size + 4);
      e += size - 1;
      ++slot;
      break;
    }
  }
}

// The cells of `count` raw bytes of one side in the order they pass the
// head: two file bytes a raw byte, each sent lowest bit first.
std::vector<std::uint8_t> SideCells(ByteSpan data, std::size_t start, int side, int count) {
  std::vector<std::uint8_t> cells;
  cells.reserve(16 * static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const std::size_t at =
        start + (i / kRawBytesPerBlock) * kBlockSize + side * kSideHalf + 2 * (i % kRawBytesPerBlock);
    for (std::size_t b = at; b < at + 2; ++b)
      for (int bit = 0; bit < 8; ++bit) cells.push_back(static_cast<std::uint8_t>(data[b] >> bit & 1));
  }
  return cells;
}

// The data bits of the 16 cells from `first` on: every second cell, from the second on.
std::uint8_t DataBits(const std::vector<std::uint8_t>& cells, std::size_t first) {
  int value = 0;
  for (std::size_t bit = 0; bit < 8; ++bit) value = value << 1 | cells[first + 2 * bit + 1];
  return static_cast<std::uint8_t>(value);
}

// Frames the cells into at most `limit` raw bytes of 16 cells. The framing
// starts afresh at every A1 sync wherever it lies, so that marks written at
// any cell are found; cells before the first sync are framed back from it.
Bytes FrameCells(const std::vector<std::uint8_t>& cells, std::size_t limit) {
  std::vector<std::size_t> syncs;
  std::uint16_t window = 0;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    window = static_cast<std::uint16_t>(window << 1 | cells[i]);
    if (i >= 15 && window == kA1Sync) syncs.push_back(i - 15);
  }
  Bytes bytes;
  std::size_t cursor = syncs.empty() ? 0 : syncs.front() % 16;
  auto next = syncs.begin();
  while (cursor + 16 <= cells.size() && bytes.size() < limit) {
    while (next != syncs.end() && *next < cursor) ++next;
    if (next != syncs.end() && *next < cursor + 16) {
      cursor = *next++;
      bytes.push_back(0xA1);
    } else {
      bytes.push_back(DataBits(cells, cursor));
    }
    cursor += 16;
  }
  return bytes;
}

}  // namespace

std::array<std::uint8_t, 2> HfeCellBytes(std::uint8_t value, bool sync, int& previousBit) {
  std::uint16_t cells = kCells[(previousBit != 0 ? 256 : 0) + value];
  previousBit = value & 1;
  // The sync marks drop one clock bit: A1 becomes 4489, C2 becomes 5224.
  if (sync && value == 0xA1) cells &= 0xFFDF;
  if (sync && value == 0xC2) cells &= 0xFF7F;
  return {kReversed[cells >> 8], kReversed[cells & 0xFF]};
}

Confidence ProbeHFE(const ProbeInput& input) {
  return HeadStartsWith(input.head, std::string_view(kSignature, sizeof kSignature)) ? Confidence::Signature
                                                                                     : Confidence::None;
}

// Checks the header, then decodes both sides of every cylinder named in the
// track table into raw track images and finds their sectors.
bool LoadHFEFromBytes(TZX_Disk& disk, ByteSpan data) {
  disk.ClearDisk();
  disk.LastError = {};
  if (data.size() < kHeaderBytes) return Fail(disk, {MessageId::FileTooShort, {"HFE"}});
  if (std::memcmp(data.data(), kSignature, sizeof kSignature) != 0)
    return Fail(disk, {MessageId::NotOfFormat, {"HFE"}});
  const int sides = data[10];
  if (sides != 1 && sides != 2) return Fail(disk, MessageId::HfeSideCountError);
  if (data[9] == 0) return Fail(disk, MessageId::HfeNoCylinders);

  bool cut = data[9] > kMaxCylinders;
  const int cylinders = std::min<int>(data[9], kMaxCylinders);
  const std::size_t table = std::size_t{ReadLe16(&data[18])} * kBlockSize;
  for (int c = 0; c < cylinders; ++c) {
    if (table + 4 * c + 4 > data.size()) return Fail(disk, {MessageId::FileLengthError, {"HFE"}});
    const std::size_t start = std::size_t{ReadLe16(&data[table + 4 * c])} * kBlockSize;
    const std::size_t length = ReadLe16(&data[table + 4 * c + 2]);
    if (start + length > data.size()) return Fail(disk, {MessageId::FileLengthError, {"HFE"}});

    // A last partial block gives each side half of its bytes (whole pairs).
    const std::size_t fullBlocks = length / kBlockSize;
    const std::size_t partialFileBytes = (length % kBlockSize) / 2 / 2 * 2;
    const std::size_t end = start + fullBlocks * kBlockSize + (sides - 1) * kSideHalf + partialFileBytes;
    if (partialFileBytes > 0 && end > data.size()) return Fail(disk, {MessageId::FileLengthError, {"HFE"}});
    const int rawLength = static_cast<int>(fullBlocks * kRawBytesPerBlock + partialFileBytes / 2);

    for (int side = 0; side < sides; ++side) {
      const int index = 2 * c + side;
      TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(index));
      Bytes raw = FrameCells(SideCells(data, start, side, rawLength), kRawCapacity + 1);
      if (raw.size() > kRawCapacity) {
        raw.resize(kRawCapacity);
        cut = true;
      }
      std::copy(raw.begin(), raw.end(), track.RawData.begin());
      track.RawLength = static_cast<std::uint16_t>(raw.size());
      track.Present = true;
      track.RawValid = true;
      ScanTrack(disk, index, cut);
    }
  }
  if (cut)
    disk.Notices.push_back({{MessageId::HfeImageCut, {kMaxCylinders, kRawCapacity, kSlotCount}}, Severity::Warning});
  return true;
}

bool LoadHFE(TZX_Disk& disk, const std::filesystem::path& file) {
  Bytes data;
  return ReadImageFile(disk, file, data) && LoadHFEFromBytes(disk, data);
}

// Header, track table and at least 80 cylinders of 25088 bytes; each side
// carries the MFM cells of its built raw track, or of 0xFF bytes when the
// track is absent.
bool SaveHFEToBytes(TZX_Disk& disk, Bytes& out) {
  const int cylinders = (disk.TracksToWrite() + 1) / 2;
  if (cylinders == 0) return Fail(disk, MessageId::NoTracksToWrite);  // a header of no cylinder names no disk
  const int written = std::max(cylinders, kMinCylinders);
  Bytes file(kHeaderBytes + written * kCylinderBytes, 0xFF);

  std::memcpy(file.data(), kSignature, sizeof kSignature);
  file[8] = 0;  // format revision
  file[9] = static_cast<std::uint8_t>(cylinders);
  file[10] = 2;               // sides
  file[11] = 0;               // MFM
  WriteLe16(&file[12], 250);  // kbit/s
  WriteLe16(&file[14], 0);    // rotation speed
  file[16] = 2;               // interface mode
  file[17] = 1;
  WriteLe16(&file[18], kTrackTableBlock);

  std::array<std::uint8_t, kRawTrackLength> raw;
  std::array<std::uint8_t, kSyncMapLength> syncMap;
  for (int c = 0; c < written; ++c) {
    WriteLe16(&file[kBlockSize + 4 * c], static_cast<std::uint16_t>(2 + kBlocksPerCylinder * c));
    WriteLe16(&file[kBlockSize + 4 * c + 2], kTrackDataLength);
    for (int side = 0; side < 2; ++side) {
      const int index = 2 * c + side;
      if (disk.GetTrack(static_cast<std::uint8_t>(index)).Present) {
        raw.fill(0x4E);
        if (!BuildTrackToWrite(disk, index, raw.data(), syncMap.data(), "HFE")) return false;
      } else {
        raw.fill(0xFF);
        syncMap.fill(0);
      }
      EncodeSide(raw.data(), syncMap.data(), &file[kHeaderBytes + c * kCylinderBytes], side);
    }
  }
  out = std::move(file);
  return true;
}

bool SaveHFE(TZX_Disk& disk, const std::filesystem::path& file) {
  Bytes data;
  if (!SaveHFEToBytes(disk, data)) return false;
  return WriteImageFile(disk, file, data);
}

SaveLosses SaveLossesHFE(const TZX_Disk& disk, std::string_view format) {
  return BuiltTrackLosses(disk, format, kRawBytesWritten);
}

}  // namespace velloran
