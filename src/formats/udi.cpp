#include "formats/udi.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "formats/image_file.h"
#include "formats/reader_notices.h"
#include "formats/track_build_failure.h"
#include "formats/zlib_inflate.h"
#include "model/raw_track.h"

namespace velloran {

namespace {

constexpr std::array<std::uint8_t, 4> kSignature = {'U', 'D', 'I', '!'};
constexpr std::size_t kHeaderLength = 16;
constexpr std::size_t kChecksumLength = 4;
constexpr std::size_t kRecordLength = 3 + kRawTrackLength + kSyncMapLength;
// Header byte 11: bit 0 flags a disk description after the track records,
// which this reader passes over; any other bit is unknown.
constexpr std::uint8_t kDescriptionFollows = 0x01;
// Track type of the variant whose track records are zlib-compressed.
constexpr std::uint8_t kCompressedTrack = 0xF0;
// Bytes between the type of a compressed record and its track length; the
// stream marks its own end, so the reader does not need them.
constexpr std::size_t kCompressedRecordSkip = 3;

Diagnostic LengthMismatch(std::size_t size, std::uint64_t promised) {
  return {size < promised ? MessageId::FileCutShort : MessageId::FileLongerThanHeader, {"UDI", size, promised}};
}

bool IsSyncByte(ByteSpan syncMap, std::size_t k) { return ((syncMap[k / 8] >> (k % 8)) & 1) != 0; }

// Takes C H R N and the stored ID CRC that follow an ID mark at e.
void TakeIdField(TSectorRec& sector, ByteSpan raw, std::size_t e) {
  sector.Used = true;
  sector.IdTrack = raw[e + 1];
  sector.IdSide = raw[e + 2];
  sector.IdSector = raw[e + 3];
  sector.IdSize = raw[e + 4];
  sector.IdCrc = static_cast<std::uint16_t>(raw[e + 5] << 8 | raw[e + 6]);
}

// Takes the data field behind a data mark at e (e >= 3: an ID mark and its
// field always come first) and returns the position the scan goes on from.
// A field that runs into the end of the track is taken as far as it goes and
// marked bad; Data keeps at most its 1100 bytes.
std::size_t TakeDataField(TSectorRec& sector, ByteSpan raw, std::size_t e) {
  // Size codes above 8 give fields longer than any track this reader accepts.
  const std::size_t size = std::size_t{128} << std::min<int>(sector.IdSize, 9);
  const std::size_t length = raw.size();
  std::size_t available = 0;
  std::size_t next = 0;
  if (e + size + 3 < length) {
    available = size;
    const std::uint16_t stored = static_cast<std::uint16_t>(raw[e + size + 1] << 8 | raw[e + size + 2]);
    sector.DataOk = stored == CalcCRC16(&raw[e - 3], size + 4);
    next = e + size + 1;
  } else {
    available = length > e + 3 ? length - (e + 3) : 0;
    sector.DataOk = false;
    next = std::max(e, length - 2);
  }
  const std::size_t kept = std::min<std::size_t>(available, kSectorDataSize);
  sector.DeletedMark = raw[e] == kDeletedDataMark;
  std::copy_n(raw.begin() + static_cast<std::ptrdiff_t>(e + 1), kept, sector.Data.begin());
  sector.DataPos = static_cast<std::uint16_t>(e + 1);
  sector.DataLen = static_cast<std::uint16_t>(kept);
  return next;
}

// Finds the sectors of a raw track. An address mark is the first unmarked
// byte after sync bytes; an ID waits for the next data mark, and IDs met
// while one waits are passed over. Sectors beyond the 20 slots are dropped
// (the raw bytes keep them).
void ScanSectors(TTrack& track, ByteSpan raw, ByteSpan syncMap) {
  const std::size_t length = raw.size();
  std::size_t slot = 0;
  bool afterMark = false;
  bool idPending = false;
  for (std::size_t e = 0; e < length; ++e) {
    if (IsSyncByte(syncMap, e)) {
      afterMark = true;
      continue;
    }
    if (!afterMark) continue;
    afterMark = false;
    if (raw[e] == kIdMark && !idPending && slot < kSlotCount && e + 6 < length) {
      TakeIdField(track.Sectors[slot], raw, e);
      idPending = true;
      e += 7;
      if (e >= length) break;
    }
    if ((raw[e] == kDataMark || raw[e] == kDeletedDataMark) && idPending) {
      e = TakeDataField(track.Sectors[slot], raw, e);
      ++slot;
      idPending = false;
    }
  }
}

// Takes one track record: its raw bytes and sync map, unpacked into
// `unpacked` when the record is compressed. Returns what is wrong, if anything.
std::optional<MessageId> TakeRecord(ByteReader& reader, Bytes& unpacked, ByteSpan& raw, ByteSpan& syncMap) {
  std::uint8_t type = 0;
  std::uint16_t length = 0;
  const bool compressed = reader.U8(type) && type == kCompressedTrack;
  if (compressed && !reader.Skip(kCompressedRecordSkip)) return MessageId::FileLengthError;
  if (!reader.U16(length)) return MessageId::FileLengthError;
  if (length > kRawCapacity) return MessageId::TrackLengthError;
  const std::size_t mapLength = (length + 7u) / 8;
  if (!compressed) {
    if (!reader.Take(length, raw) || !reader.Take(mapLength, syncMap)) return MessageId::FileLengthError;
    return std::nullopt;
  }
  const std::size_t start = reader.Position();
  ByteSpan rest;
  reader.Take(reader.Remaining(), rest);
  std::size_t consumed = 0;
  if (!InflateStream(rest, length + mapLength, unpacked, consumed)) return MessageId::CompressedTrackError;
  reader.Seek(start + consumed);
  raw = ByteSpan(unpacked).first(length);
  syncMap = ByteSpan(unpacked).subspan(length);
  return std::nullopt;
}

}  // namespace

// A UDI file starts with its signature, plain or compressed.
Confidence ProbeUDI(const ProbeInput& input) {
  return HeadStartsWith(input.head, "UDI!") ? Confidence::Signature : Confidence::None;
}

// Reads a UDI file into the disk; a missing file leaves the disk untouched.
bool LoadUDI(TZX_Disk& disk, const std::filesystem::path& file) {
  Bytes data;
  if (!ReadImageFile(disk, file, data)) return false;
  return LoadUDIFromBytes(disk, data);
}

// Checks the checksum and header, then loads the track records in file
// order into model tracks 0, 1, 2, ...
bool LoadUDIFromBytes(TZX_Disk& disk, ByteSpan data) {
  disk.ClearDisk();
  if (data.size() < kHeaderLength + kChecksumLength) return Fail(disk, {MessageId::FileTooShort, {"UDI"}});
  if (!std::equal(kSignature.begin(), kSignature.end(), data.begin()))
    return Fail(disk, {MessageId::NotOfFormat, {"UDI"}});
  // The header's length field counts the file without its checksum.
  const std::uint64_t promised = std::uint64_t{ReadLe32(&data[4])} + kChecksumLength;
  if (promised != data.size()) return Fail(disk, LengthMismatch(data.size(), promised));
  const std::size_t body = data.size() - kChecksumLength;
  if (CalcCRC32(data.data(), body) != ReadLe32(&data[body])) return Fail(disk, {MessageId::FileCrcError, {"UDI"}});
  const std::uint8_t version = data[8];
  const std::uint8_t lastCylinder = data[9];
  const std::uint8_t lastSide = data[10];
  const std::uint8_t flags = data[11];
  if (version != 0 || (flags & ~kDescriptionFollows) != 0 || ReadLe32(&data[12]) != 0)
    return Fail(disk, {MessageId::FileHeaderError, {"UDI"}});
  const int sides = lastSide + 1;
  const int records = (lastCylinder + 1) * sides;

  // Records must end before the checksum.
  ByteReader reader(data.first(body));
  reader.Skip(kHeaderLength);
  TracksBeyondDisk beyond("UDI");
  std::unique_ptr<TTrack> scratch;  // where a track beyond the disk is looked at
  Bytes unpacked;
  for (int t = 0; t < records; ++t) {
    ByteSpan raw;
    ByteSpan syncMap;
    if (const auto error = TakeRecord(reader, unpacked, raw, syncMap)) return Fail(disk, {*error, {"UDI"}});
    const bool onDisk = t < kTrackCount;
    if (!onDisk && !scratch) scratch = std::make_unique<TTrack>();
    TTrack& track = onDisk ? disk.GetTrack(static_cast<std::uint8_t>(t)) : *scratch;
    if (!onDisk) track.Clear();
    std::copy(raw.begin(), raw.end(), track.RawData.begin());
    track.RawLength = static_cast<std::uint16_t>(raw.size());
    track.Present = true;
    track.RawValid = true;
    ScanSectors(track, raw, syncMap);
    if (!onDisk) beyond.Drop(disk, t / sides, t % sides, track.CountSectors());
  }
  beyond.Report(disk);
  return true;
}

// Builds the whole file in memory and replaces the target in one step.
bool SaveUDI(TZX_Disk& disk, const std::filesystem::path& file) {
  Bytes out;
  return SaveUDIToBytes(disk, out) && WriteImageFile(disk, file, out);
}

// Two sides of every cylinder up to the highest present track; each track is
// built by BuildRawTrack as 6256 bytes and a 782-byte sync map.
bool SaveUDIToBytes(TZX_Disk& disk, Bytes& out) {
  out.clear();
  const int cylinders = (disk.TracksToWrite() + 1) / 2;
  if (cylinders == 0) return Fail(disk, MessageId::NoTracksToWrite);
  const auto tracks = static_cast<std::uint32_t>(2 * cylinders);
  out.reserve(kHeaderLength + tracks * kRecordLength + kChecksumLength);
  out.insert(out.end(), kSignature.begin(), kSignature.end());
  AppendLe32(out, static_cast<std::uint32_t>(kHeaderLength + tracks * kRecordLength));
  out.push_back(0);                                         // version
  out.push_back(static_cast<std::uint8_t>(cylinders - 1));  // highest cylinder
  out.push_back(1);                                         // highest side
  out.push_back(0);                                         // flags
  AppendLe32(out, 0);                                       // extended header

  std::array<std::uint8_t, kRawTrackLength> raw{};
  std::array<std::uint8_t, kSyncMapLength> syncMap{};
  for (std::uint32_t t = 0; t < tracks; ++t) {
    raw.fill(0x4E);
    if (!BuildTrackToWrite(disk, static_cast<int>(t), raw.data(), syncMap.data(), "UDI")) {
      out.clear();
      return false;
    }
    out.push_back(0);  // MFM
    AppendLe16(out, kRawTrackLength);
    out.insert(out.end(), raw.begin(), raw.end());
    out.insert(out.end(), syncMap.begin(), syncMap.end());
  }
  AppendLe32(out, CalcCRC32(out.data(), out.size()));
  return true;
}

SaveLosses SaveLossesUDI(const TZX_Disk& disk, std::string_view format) {
  return BuiltTrackLosses(disk, format, kRawTrackLength);
}

}  // namespace velloran
