#include "formats/td0.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <string>

#include "common/codepages.h"
#include "common/system.h"
#include "formats/image_file.h"
#include "formats/lzh.h"

namespace velloran {

namespace {

constexpr std::size_t kHeaderSize = 12;
constexpr std::uint8_t kVersion = 21;
constexpr std::uint8_t kOldestVersion = 10;
constexpr std::uint8_t kOldestCompressedVersion = 20;
constexpr std::uint8_t kCommentFollows = 0x80;  // bit of header byte 7
constexpr std::uint8_t kEndOfImage = 0xFF;      // sector count of the end marker
// Sector flags: this program marks a data CRC error with 0x10, TeleDisk
// itself with 0x02; 0x04 marks a deleted-data mark, 0x20 a sector without a
// data field.
constexpr std::uint8_t kFlagsDataError = 0x10;
constexpr std::uint8_t kFlagsCrcError = 0x02;
constexpr std::uint8_t kFlagsDeleted = 0x04;
constexpr std::uint8_t kFlagsNoData = 0x20;
constexpr std::size_t kCommentHeaderSize = 10;
constexpr std::size_t kCommentTextLimit = 1016;
constexpr int kLargestBlock = 5000;  // data bytes one block may produce
// More body than any disk the model holds can need: the longest comment
// block, then every track with 20 sectors of the longest block stored as it
// is, then the end marker (a real track holds a small part of that).
// Decompression stops there, so a small file cannot make the reader expand
// and scan more than that.
constexpr std::size_t kTrackHeaderSize = 4;
constexpr std::size_t kSectorHeaderSize = 6;
constexpr std::size_t kLargestBody =
    kCommentHeaderSize + 0xFFFF +
    kTrackCount * (kTrackHeaderSize + kSlotCount * (kSectorHeaderSize + 2 + kLargestBlock)) + kTrackHeaderSize;

constexpr MessageId kSizeError = MessageId::Td0BlockPastEnd;
constexpr MessageId kSectorSizeError = MessageId::SectorSizeError;
constexpr MessageId kFormatError = MessageId::FileFormatError;

constexpr std::array<std::uint16_t, 256> MakeCrcTable() {
  std::array<std::uint16_t, 256> table{};
  for (int i = 0; i < 256; ++i) {
    std::uint16_t crc = static_cast<std::uint16_t>(i << 8);
    for (int bit = 0; bit < 8; ++bit) crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0xA097 : crc << 1);
    table[i] = crc;
  }
  return table;
}

constexpr auto kCrcTable = MakeCrcTable();

// Bytes a sector of this size code stores in a TD0 file. Codes above 3 are
// beyond the model: their data is held as the 1100 bytes a slot has.
int StoredSize(std::uint8_t sizeCode) { return SizeCodeSupported(sizeCode) ? SectorLength(sizeCode) : kSectorDataSize; }

// The comment text: each non-empty line in CP1251 ended by a 0 byte, as many
// lines as fit in 1016 bytes, then two more 0 bytes; nothing at all without
// comment lines. `cut` counts the lines that did not fit.
Bytes CommentText(const std::vector<std::string>& comments, std::size_t* cut = nullptr) {
  Bytes text;
  if (comments.empty()) return text;
  for (auto line = comments.begin(); line != comments.end(); ++line) {
    const std::string bytes = FromUtf8(CodePage::Cp1251, *line);
    if (bytes.size() + text.size() > kCommentTextLimit) {
      if (cut != nullptr) *cut = static_cast<std::size_t>(comments.end() - line);
      break;
    }
    if (bytes.empty()) continue;
    text.insert(text.end(), bytes.begin(), bytes.end());
    text.push_back(0);
  }
  text.push_back(0);
  text.push_back(0);
  return text;
}

// Comment block: its CRC, the text length, the creation time and the text.
void AppendCommentBlock(Bytes& body, const std::vector<std::string>& comments, const std::tm& created) {
  const Bytes text = CommentText(comments);
  Bytes block(kCommentHeaderSize);
  WriteLe16(&block[2], static_cast<std::uint16_t>(text.size()));
  block[4] = static_cast<std::uint8_t>(created.tm_year);
  block[5] = static_cast<std::uint8_t>(created.tm_mon + 1);
  block[6] = static_cast<std::uint8_t>(created.tm_mday);
  block[7] = static_cast<std::uint8_t>(created.tm_hour);
  block[8] = static_cast<std::uint8_t>(created.tm_min);
  block[9] = static_cast<std::uint8_t>(created.tm_sec);
  block.insert(block.end(), text.begin(), text.end());
  WriteLe16(&block[0], Td0Crc(ByteSpan(block).subspan(2)));
  body.insert(body.end(), block.begin(), block.end());
}

// One track: its header, then each used slot as a sector header and a data
// block stored as it is.
void AppendTrack(Bytes& body, TTrack& track, int index) {
  const std::uint8_t sectorCount = track.CountSectors();
  const std::uint8_t header[3] = {sectorCount, static_cast<std::uint8_t>(index / 2),
                                  static_cast<std::uint8_t>(index % 2)};
  body.insert(body.end(), header, header + 3);
  body.push_back(static_cast<std::uint8_t>(Td0Crc(header)));

  int written = 0;
  for (const auto& sector : track.Sectors) {
    if (written == sectorCount) break;
    if (!sector.Used) continue;
    const int size = StoredSize(sector.IdSize);
    const ByteSpan data(sector.Data.data(), static_cast<std::size_t>(size));
    body.push_back(sector.IdTrack);
    body.push_back(sector.IdSide);
    body.push_back(sector.IdSector);
    body.push_back(sector.IdSize);
    body.push_back(static_cast<std::uint8_t>((sector.DataOk ? 0 : kFlagsDataError) |
                                             (sector.DeletedMark ? kFlagsDeleted : 0) |
                                             (sector.DataLen == 0 ? kFlagsNoData : 0)));
    body.push_back(static_cast<std::uint8_t>(Td0Crc(data)));
    AppendLe16(body, static_cast<std::uint16_t>(size + 1));
    body.push_back(0);  // stored as it is
    body.insert(body.end(), data.begin(), data.end());
    ++written;
  }
}

// Writes decoded data bytes into a slot, dropping what the slot cannot hold
// but still counting it. Repeated patterns are expanded only as far as the
// slot reaches, so long runs cost no more than short ones.
class SectorFill {
 public:
  explicit SectorFill(TSectorRec& sector) : sector_(sector) {}
  void Put(std::uint8_t byte) {
    if (produced_ < kSectorDataSize) sector_.Data[produced_] = byte;
    ++produced_;
  }
  void PutPattern(const std::uint8_t pattern[2], int count) {
    const int expanded = std::clamp((kSectorDataSize - produced_ + 1) / 2, 0, count);
    for (int i = 0; i < expanded; ++i) {
      Put(pattern[0]);
      Put(pattern[1]);
    }
    produced_ += 2 * (count - expanded);
  }
  int Produced() const { return produced_; }

 private:
  TSectorRec& sector_;
  int produced_ = 0;
};

// Decodes one data block into the slot. Returns what is wrong, or nothing
// when the block was read.
std::optional<MessageId> ReadDataBlock(ByteReader& in, TSectorRec& sector, int size) {
  std::uint16_t blockLength;
  if (!in.U16(blockLength)) return kFormatError;
  if (blockLength > in.Remaining()) return kSizeError;
  if (blockLength == 0) return kFormatError;  // no room even for the encoding byte
  std::fill_n(sector.Data.begin(), size, 0);
  std::uint8_t encoding = 0;
  in.U8(encoding);  // the first byte of the block, known to be there

  SectorFill fill(sector);
  switch (encoding) {
    case 0: {  // the bytes as they are
      if (blockLength > kLargestBlock) return kSectorSizeError;
      ByteSpan bytes;
      in.Take(blockLength - 1u, bytes);
      for (const auto byte : bytes) fill.Put(byte);
      break;
    }
    case 1: {  // one two-byte pattern repeated
      std::uint16_t repeats;
      std::uint8_t pattern[2];
      if (!in.U16(repeats) || !in.U8(pattern[0]) || !in.U8(pattern[1])) return kFormatError;
      if (2 * repeats > kLargestBlock) return kSectorSizeError;
      fill.PutPattern(pattern, repeats);
      break;
    }
    case 2: {  // runs of literal bytes and repeated patterns
      std::size_t consumed = 0;
      while (consumed < blockLength - 1u) {
        std::uint8_t runType;
        std::uint8_t count;
        if (!in.U8(runType) || !in.U8(count)) return kFormatError;
        if (runType == 0) {
          ByteSpan bytes;
          if (!in.Take(count, bytes)) return kFormatError;
          for (const auto byte : bytes) fill.Put(byte);
          consumed += 2u + count;
        } else if (runType == 1) {
          std::uint8_t pattern[2];
          if (!in.U8(pattern[0]) || !in.U8(pattern[1])) return kFormatError;
          fill.PutPattern(pattern, count);
          consumed += 4;
        } else {
          return kFormatError;
        }
      }
      break;
    }
    default: return kFormatError;
  }
  sector.DataLen = static_cast<std::uint16_t>(std::min(std::max(size, fill.Produced()), kSectorDataSize));
  return std::nullopt;
}

// Reads one sector header and its data block into a slot. A sector flagged
// with a CRC error stays bad, one flagged without data has none; the data
// block that follows is read in any case, and its CRC byte is not checked.
std::optional<MessageId> ReadSector(ByteReader& in, TSectorRec& sector) {
  std::uint8_t id[4];
  std::uint8_t flags = 0;
  for (auto& byte : id)
    if (!in.U8(byte)) return kFormatError;
  if (!in.U8(flags) || !in.Skip(1)) return kFormatError;
  SetIdField(sector, id[0], id[1], id[2], id[3]);
  sector.DataOk = (flags & (kFlagsDataError | kFlagsCrcError | kFlagsNoData)) == 0;
  sector.DeletedMark = (flags & kFlagsDeleted) != 0;
  if (const auto error = ReadDataBlock(in, sector, StoredSize(id[3]))) return error;
  if ((flags & kFlagsNoData) != 0) sector.DataLen = 0;
  return std::nullopt;
}

// Reads the comment block: its lines go to Comments, the creation time
// becomes the text returned in `created`.
bool ReadComment(TZX_Disk& disk, ByteReader& in, std::string& created) {
  ByteSpan header;
  if (!in.Take(kCommentHeaderSize, header)) return false;
  created = std::to_string(header[6]) + "." + std::to_string(header[5]) + "." + std::to_string(header[4] + 1900) + " " +
            std::to_string(header[7]) + ":" + std::to_string(header[8]) + ":" + std::to_string(header[9]);
  ByteSpan text;
  if (!in.Take(ReadLe16(&header[2]), text)) return false;
  std::string piece;
  const auto flush = [&] {
    if (!piece.empty()) disk.Comments.push_back(ToUtf8(CodePage::Cp1251, piece));
    piece.clear();
  };
  for (const auto byte : text) {
    if (byte == 0)
      flush();
    else
      piece.push_back(static_cast<char>(byte));
  }
  flush();
  return true;
}

// Reads tracks until the end marker or the end of the data.
bool ReadTracks(TZX_Disk& disk, ByteReader& in) {
  int highestCylinder = -1;
  int highestHead = -1;
  std::uint8_t sectorCount;
  while (in.U8(sectorCount) && sectorCount != kEndOfImage) {
    std::uint8_t cylinder;
    std::uint8_t head;
    if (!in.U8(cylinder) || !in.U8(head) || !in.Skip(1)) return Fail(disk, {kFormatError, {"TD0"}});
    highestCylinder = std::max<int>(highestCylinder, cylinder);
    highestHead = std::max<int>(highestHead, head);
    // The model holds sides 0 and 1 of 83 cylinders with 20 slots per track.
    const int index = cylinder * 2 + head;
    if (head > 1 || index >= kTrackCount || sectorCount > kSlotCount) return Fail(disk, {kFormatError, {"TD0"}});

    TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(index));
    track.Present = true;
    for (int slot = 0; slot < sectorCount; ++slot)
      if (const auto error = ReadSector(in, track.Sectors[slot])) return Fail(disk, {*error, {"TD0"}});
  }
  disk.TrackCount = highestCylinder < 0 ? 0 : static_cast<std::uint8_t>((highestCylinder + 1) * (highestHead + 1));
  return true;
}

}  // namespace

std::uint16_t Td0Crc(ByteSpan data) {
  std::uint16_t crc = 0;
  for (const auto byte : data) crc = static_cast<std::uint16_t>((crc << 8) ^ kCrcTable[((crc >> 8) ^ byte) & 0xFF]);
  return crc;
}

// "TD" (plain) or "td" (compressed) and a header whose checksum is right.
Confidence ProbeTD0(const ProbeInput& input) {
  if (input.head.size() < kHeaderSize) return Confidence::None;
  const bool plain = HeadStartsWith(input.head, "TD");
  const bool compressed = HeadStartsWith(input.head, "td");
  if (!plain && !compressed) return Confidence::None;
  return Td0Crc(input.head.first(10)) == ReadLe16(&input.head[10]) ? Confidence::Signature : Confidence::None;
}

// Checks the header, unpacks a compressed body, then reads the comment block
// and the tracks. On success the creation text, if any, is a notice.
bool LoadTD0FromBytes(TZX_Disk& disk, ByteSpan data) {
  disk.ClearDisk();
  disk.LastError = {};
  if (data.size() < kHeaderSize) return Fail(disk, {MessageId::NotOfFormat, {"TD0"}});
  if (std::toupper(data[0]) != 'T' || std::toupper(data[1]) != 'D')
    return Fail(disk, {MessageId::NotOfFormat, {"TD0"}});
  if (data[4] < kOldestVersion || data[4] > kVersion) return Fail(disk, MessageId::Td0VersionNotSupported);
  if (Td0Crc(data.first(10)) != ReadLe16(&data[10])) return Fail(disk, MessageId::Td0HeaderCrcError);
  const bool compressed = data[0] == 't' && data[1] == 'd';

  Bytes unpacked;
  ByteSpan body = data.subspan(kHeaderSize);
  if (compressed) {
    if (data[4] < kOldestCompressedVersion) return Fail(disk, MessageId::Td0OldCompression);
    // Started behind the header with the whole file as its budget, the
    // decoder also takes 12 zero bytes past the end: they push out the last
    // codes of the file.
    LZHDecompress(data, kHeaderSize, unpacked, kLargestBody);
    body = unpacked;
  }

  ByteReader in(body);
  std::string created;
  if ((data[7] & kCommentFollows) != 0 && !ReadComment(disk, in, created)) return Fail(disk, {kFormatError, {"TD0"}});
  if (!ReadTracks(disk, in)) return false;
  if (!created.empty()) disk.Notices.push_back({{MessageId::Td0Created, {created}}, Severity::Info});
  return true;
}

bool LoadTD0(TZX_Disk& disk, const std::filesystem::path& file) {
  Bytes data;
  return ReadImageFile(disk, file, data) && LoadTD0FromBytes(disk, data);
}

// Header, comment block with the creation time, every present track, the end
// marker; everything after the header LZH-compressed when asked.
bool SaveTD0ToBytes(TZX_Disk& disk, Bytes& out, bool compress, const std::tm& created) {
  Bytes body;
  AppendCommentBlock(body, disk.Comments, created);
  disk.CountTracks();
  for (int index = 0; index < kTrackCount; ++index) {
    TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(index));
    if (track.Present) AppendTrack(body, track, index);
  }
  const std::uint8_t endMarker[4] = {kEndOfImage, 0, 0, 0};
  body.insert(body.end(), endMarker, endMarker + 4);

  out.assign({static_cast<std::uint8_t>(compress ? 't' : 'T'), static_cast<std::uint8_t>(compress ? 'd' : 'D'), 0, 0,
              kVersion, 0, 3, kCommentFollows, 0, 2});
  AppendLe16(out, Td0Crc(out));
  if (compress)
    LZHCompress(body, out);
  else
    out.insert(out.end(), body.begin(), body.end());
  return true;
}

bool SaveTD0ToBytes(TZX_Disk& disk, Bytes& out, bool compress) {
  const std::time_t now = std::time(nullptr);
  std::tm created{};
  LocalTime(now, created);
  return SaveTD0ToBytes(disk, out, compress, created);
}

SaveLosses SaveLossesTD0(const TZX_Disk& disk, std::string_view format) {
  SaveLosses losses;
  FindDataBeyond(disk, format, StoredSize, losses);
  std::size_t cut = 0;
  CommentText(disk.Comments, &cut);
  if (cut > 0)
    losses.push_back({LossKind::Comment, -1, -1, {MessageId::LossCommentLines, {kCommentTextLimit, format, cut}}});
  return losses;
}

bool SaveTD0(TZX_Disk& disk, const std::filesystem::path& file, bool compress) {
  Bytes data;
  if (!SaveTD0ToBytes(disk, data, compress)) return false;
  return WriteImageFile(disk, file, data);
}

}  // namespace velloran
