#include "formats/imd.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/codepages.h"
#include "common/system.h"
#include "formats/image_file.h"
#include "formats/reader_notices.h"

namespace velloran {

namespace {

constexpr std::string_view kSignature = "IMD ";
constexpr std::uint8_t kCommentEnd = 0x1A;
// Modes 0..2 are FM, 3..5 MFM, each at 500, 300 and 250 kbit/s.
constexpr std::uint8_t kLastMode = 5;
constexpr std::uint8_t kFirstMfmMode = 3;
constexpr std::array<std::uint16_t, 3> kModeRates = {500, 300, 250};

// Head byte: the head in bit 0, and flags for the maps that follow the
// sector numbering map.
constexpr std::uint8_t kCylinderMapFlag = 0x80;
constexpr std::uint8_t kHeadMapFlag = 0x40;
constexpr std::uint8_t kHeadMask = 0x01;
// Size code 0..6 gives 128 << code bytes; this one says a table of 16-bit
// sizes, one per sector, follows the maps.
constexpr std::uint8_t kSizeTable = 0xFF;
constexpr std::uint8_t kLastSizeCode = 6;

// Sector records: 0 = no data; odd = the data follows, even = one byte that
// fills the sector. From 1: normal, deleted-data mark, data error, both.
constexpr std::uint8_t kNoData = 0;
constexpr std::uint8_t kLastRecord = 8;
constexpr std::uint8_t kNormal = 1;
constexpr std::uint8_t kCompressedStep = 1;  // a compressed record is its plain one + 1

constexpr MessageId kTrackError = MessageId::TrackHeaderError;
constexpr MessageId kLengthError = MessageId::FileLengthError;

// ---- reading ----

// The comment: the text after the header line, up to the end mark.
std::vector<std::string> CommentLines(std::string_view text) {
  std::vector<std::string> lines;
  const std::size_t lineEnd = text.find("\r\n");
  if (lineEnd == std::string_view::npos) return lines;
  text.remove_prefix(lineEnd + 2);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(ToUtf8(CodePage::Cp866, text.substr(start, end - start)));
    start = end + 2;
  }
  return lines;
}

// One track record as read, before it goes into the model.
struct TrackRecord {
  std::uint8_t mode = 0;
  int cylinder = 0;
  int head = 0;
  ByteSpan numbers, cylinders, heads;
  std::vector<std::size_t> sizes;  // data length of each sector
};

std::optional<MessageId> ReadTrackHeader(ByteReader& in, TrackRecord& record) {
  std::uint8_t cylinder = 0, head = 0, count = 0, sizeCode = 0;
  if (!in.U8(record.mode) || !in.U8(cylinder) || !in.U8(head) || !in.U8(count) || !in.U8(sizeCode)) return kLengthError;
  if (record.mode > kLastMode || (head & ~(kCylinderMapFlag | kHeadMapFlag | kHeadMask)) != 0) return kTrackError;
  if (sizeCode > kLastSizeCode && sizeCode != kSizeTable) return kTrackError;
  record.cylinder = cylinder;
  record.head = head & kHeadMask;
  if (!in.Take(count, record.numbers)) return kLengthError;
  if ((head & kCylinderMapFlag) != 0 && !in.Take(count, record.cylinders)) return kLengthError;
  if ((head & kHeadMapFlag) != 0 && !in.Take(count, record.heads)) return kLengthError;
  record.sizes.assign(count, sizeCode == kSizeTable ? 0 : std::size_t{128} << sizeCode);
  if (sizeCode == kSizeTable) {
    for (auto& size : record.sizes) {
      std::uint16_t length = 0;
      if (!in.U16(length)) return kLengthError;
      size = length;
    }
  }
  return std::nullopt;
}

// The size code of a data length, as the ID field carries it.
std::uint8_t SizeCodeOf(std::size_t length) {
  std::uint8_t code = 0;
  while (code < 7 && (std::size_t{128} << code) < length) ++code;
  return code;
}

// Reads the sector records of a track into its slots (or past them, for
// sectors beyond the slots).
std::optional<MessageId> ReadSectors(TZX_Disk& disk, ByteReader& in, const TrackRecord& record, int index,
                                     TTrack& track) {
  track.Present = true;
  track.Fm = record.mode < kFirstMfmMode;
  track.DataRate = kModeRates[record.mode % kFirstMfmMode];
  for (std::size_t s = 0; s < record.numbers.size(); ++s) {
    std::uint8_t type = 0;
    if (!in.U8(type)) return kLengthError;
    if (type > kLastRecord) return MessageId::SectorRecordError;
    const std::size_t size = record.sizes[s];
    ByteSpan data;
    std::uint8_t fill = 0;
    const bool compressed = type != kNoData && type % 2 == 0;
    if (type != kNoData && !(compressed ? in.U8(fill) : in.Take(size, data))) return kLengthError;
    if (s >= kSlotCount) continue;

    TSectorRec& sector = track.Sectors[s];
    SetIdField(sector, record.cylinders.empty() ? static_cast<std::uint8_t>(record.cylinder) : record.cylinders[s],
               record.heads.empty() ? static_cast<std::uint8_t>(record.head) : record.heads[s], record.numbers[s],
               SizeCodeOf(size));
    if (type == kNoData) continue;
    // Records 1..8 in pairs: normal, deleted mark, data error, both.
    const int kind = (type - 1) / 2;
    sector.DeletedMark = kind == 1 || kind == 3;
    const std::size_t kept = std::min(size, std::size_t{kSectorDataSize});
    if (kept < size) NoteDataCut(disk, "IMD", index, sector.IdSector, size);
    if (compressed)
      std::fill_n(sector.Data.begin(), kept, fill);
    else
      std::copy_n(data.begin(), kept, sector.Data.begin());
    sector.DataLen = static_cast<std::uint16_t>(kept);
    sector.DataOk = kind < 2;
  }
  if (record.numbers.size() > kSlotCount) NoteTooManySectors(disk, "IMD", index, record.numbers.size());
  return std::nullopt;
}

// ---- writing ----

// Why a track cannot be written, or empty: IMD gives every sector of a track
// one size, and stores either all of a sector's data or none.
Phrase Misfit(const TTrack& track, int index) {
  const TSectorRec* first = nullptr;
  for (const auto& sector : track.Sectors) {
    if (!sector.Used) continue;
    if (first == nullptr) first = &sector;
    if (sector.IdSize != first->IdSize) return {MessageId::DskMisfitSizes, {index}};
    if (sector.IdSize > kLastSizeCode) return {MessageId::MisfitSizeCode, {index, sector.IdSize}};
    const std::size_t nominal = std::size_t{128} << sector.IdSize;
    if (sector.DataLen != 0 && sector.DataLen != nominal)
      return {MessageId::DskMisfitLength, {index, sector.IdSector, sector.DataLen, nominal}};
  }
  return {};
}

// The mode byte of the track's encoding and rate; a rate IMD has no mode
// for (the save check names it) is written as 250 kbit/s.
std::uint8_t ModeOf(const TTrack& track) {
  const auto rate = std::find(kModeRates.begin(), kModeRates.end(), track.DataRate);
  const int index = rate == kModeRates.end() ? 2 : static_cast<int>(rate - kModeRates.begin());
  return static_cast<std::uint8_t>((track.Fm ? 0 : kFirstMfmMode) + index);
}

void AppendSector(Bytes& out, const TSectorRec& sector) {
  if (sector.DataLen == 0) {
    out.push_back(kNoData);
    return;
  }
  // Records 1, 3, 5, 7: normal, deleted mark, data error, both.
  const int kind = (sector.DeletedMark ? 1 : 0) + (sector.DataOk ? 0 : 2);
  const auto plain = static_cast<std::uint8_t>(kNormal + 2 * kind);
  const auto begin = sector.Data.begin();
  const auto end = begin + sector.DataLen;
  if (std::all_of(begin, end, [&](std::uint8_t b) { return b == *begin; })) {
    out.push_back(plain + kCompressedStep);
    out.push_back(*begin);
    return;
  }
  out.push_back(plain);
  out.insert(out.end(), begin, end);
}

void AppendTrack(Bytes& out, const TTrack& track, int index) {
  std::vector<const TSectorRec*> sectors;
  for (const auto& sector : track.Sectors)
    if (sector.Used) sectors.push_back(&sector);
  const auto cylinder = static_cast<std::uint8_t>(index / 2);
  const auto head = static_cast<std::uint8_t>(index % 2);
  const bool cylinderMap =
      std::any_of(sectors.begin(), sectors.end(), [&](const TSectorRec* s) { return s->IdTrack != cylinder; });
  const bool headMap =
      std::any_of(sectors.begin(), sectors.end(), [&](const TSectorRec* s) { return s->IdSide != head; });
  out.push_back(ModeOf(track));
  out.push_back(cylinder);
  out.push_back(static_cast<std::uint8_t>(head | (cylinderMap ? kCylinderMapFlag : 0) | (headMap ? kHeadMapFlag : 0)));
  out.push_back(static_cast<std::uint8_t>(sectors.size()));
  out.push_back(sectors.empty() ? 2 : sectors.front()->IdSize);
  for (const TSectorRec* s : sectors) out.push_back(s->IdSector);
  if (cylinderMap)
    for (const TSectorRec* s : sectors) out.push_back(s->IdTrack);
  if (headMap)
    for (const TSectorRec* s : sectors) out.push_back(s->IdSide);
  for (const TSectorRec* s : sectors) AppendSector(out, *s);
}

}  // namespace

// "IMD " and an end mark for the comment.
Confidence ProbeIMD(const ProbeInput& input) {
  const bool signature = HeadStartsWith(input.head, kSignature);
  return signature && std::find(input.head.begin(), input.head.end(), kCommentEnd) != input.head.end()
             ? Confidence::Signature
             : Confidence::None;
}

bool LoadIMD(TZX_Disk& disk, const std::filesystem::path& file) {
  Bytes data;
  if (!ReadImageFile(disk, file, data)) return false;
  return LoadIMDFromBytes(disk, data);
}

// The header line and comment, then track records until the file ends. The
// tracks read before a failure stay loaded.
bool LoadIMDFromBytes(TZX_Disk& disk, ByteSpan data) {
  disk.ClearDisk();
  if (!HeadStartsWith(data, kSignature)) return Fail(disk, {MessageId::NotOfFormat, {"IMD"}});
  const auto end = std::find(data.begin(), data.end(), kCommentEnd);
  if (end == data.end()) return Fail(disk, {MessageId::CommentError, {"IMD"}});
  const auto textLength = static_cast<std::size_t>(end - data.begin());
  disk.Comments = CommentLines(std::string_view(reinterpret_cast<const char*>(data.data()), textLength));

  ByteReader in(data.subspan(textLength + 1));
  TracksBeyondDisk beyond("IMD");
  TTrack scratch;  // where a track beyond the disk is looked at
  while (in.Remaining() > 0) {
    TrackRecord record;
    if (const auto error = ReadTrackHeader(in, record)) return Fail(disk, {*error, {"IMD"}});
    const int index = record.cylinder * 2 + record.head;
    const bool onDisk = index < kTrackCount;
    if (onDisk && disk.GetTrack(static_cast<std::uint8_t>(index)).Present)
      return Fail(disk, {MessageId::ImdTrackTwice, {index}});
    if (!onDisk) scratch.Clear();
    TTrack& track = onDisk ? disk.GetTrack(static_cast<std::uint8_t>(index)) : scratch;
    if (const auto error = ReadSectors(disk, in, record, index, track)) return Fail(disk, {*error, {"IMD"}});
    if (!onDisk) beyond.Drop(disk, record.cylinder, record.head, track.CountSectors());
  }
  beyond.Report(disk);
  return true;
}

bool SaveIMD(TZX_Disk& disk, const std::filesystem::path& file) {
  Bytes out;
  return SaveIMDToBytes(disk, out) && WriteImageFile(disk, file, out);
}

bool SaveIMDToBytes(TZX_Disk& disk, Bytes& out) {
  const std::time_t now = std::time(nullptr);
  std::tm created{};
  LocalTime(now, created);
  return SaveIMDToBytes(disk, out, created);
}

// The header line with the time, the comment lines in CP866 (each ended by
// CR LF), the end mark,
// then every present track in index order.
bool SaveIMDToBytes(TZX_Disk& disk, Bytes& out, const std::tm& created) {
  out.clear();
  for (int t = 0; t < kTrackCount; ++t) {
    const TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    if (!track.Present) continue;
    if (Phrase misfit = Misfit(track, t); !misfit.Empty())
      return Fail(disk, {MessageId::ImdCannotHold, {std::move(misfit)}});
  }
  char header[64];
  std::snprintf(header, sizeof header, "IMD 1.18: %02d/%02d/%04d %02d:%02d:%02d\r\n", created.tm_mday,
                created.tm_mon + 1, created.tm_year + 1900, created.tm_hour, created.tm_min, created.tm_sec);
  std::string text = header;
  for (const auto& comment : disk.Comments) {
    // The end mark cannot be part of the comment.
    std::string line = FromUtf8(CodePage::Cp866, comment);
    std::replace(line.begin(), line.end(), static_cast<char>(kCommentEnd), ' ');
    text += line + "\r\n";
  }
  Bytes file(text.begin(), text.end());
  file.push_back(kCommentEnd);
  for (int t = 0; t < kTrackCount; ++t) {
    const TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    if (track.Present) AppendTrack(file, track, t);
  }
  out = std::move(file);
  return true;
}

}  // namespace velloran
