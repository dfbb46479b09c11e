#include "formats/udf.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/codepages.h"
#include "formats/image_file.h"
#include "formats/reader_notices.h"

namespace velloran {

namespace {

constexpr std::size_t kTitleField = 256;
constexpr std::size_t kMaxTitleLength = 255;
// Flags are stored as 1 (set) or 0xFF (clear); only 1 reads as set.
constexpr std::uint8_t kFlagSet = 1;
constexpr std::uint8_t kFlagClear = 0xFF;

constexpr MessageId kReadError = MessageId::FileEndsEarly;
constexpr MessageId kFormatError = MessageId::FileFormatError;
constexpr MessageId kCrcError = MessageId::FileCrcError;
// Lines kept of one text (a track's log or the comments): a file of millions
// of short lines would otherwise take hundreds of megabytes.
constexpr std::size_t kMaxTextLines = 4096;

// The copies of weak sectors follow the comments in a block of their own,
// written only when there are any, so that files without them keep the
// older layout: "COPY", a 32-bit count of slots, then per slot the track,
// the slot index, the number of further copies and each copy (its CRC flag, a
// 16-bit length, the data).
constexpr std::string_view kCopiesTag = "COPY";
// Then, in the same way, the recording of tracks that are not plain MFM at
// 250 kbit/s or hold deleted-data marks: "RECO", a 32-bit count of tracks,
// then per track its index, its data rate (16 bits, kbit/s, 0 for not known),
// its FM flag, the number of slots with a deleted-data mark and their indexes.
constexpr std::string_view kRecordingTag = "RECO";
constexpr std::size_t kChecksumSize = 4;

std::uint8_t FlagByte(bool flag) { return flag ? kFlagSet : kFlagClear; }

// ---- writing ----

// Lines as the file holds them: Windows-1251, each ended by CR LF, after a
// 32-bit byte count.
void AppendLines(Bytes& out, const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) {
    text += FromUtf8(CodePage::Cp1251, line);
    text += "\r\n";
  }
  AppendLe32(out, static_cast<std::uint32_t>(text.size()));
  out.insert(out.end(), text.begin(), text.end());
}

void AppendSlot(Bytes& out, const TSectorRec& sector) {
  out.push_back(FlagByte(sector.Used));
  if (!sector.Used) return;
  out.push_back(sector.IdTrack);
  out.push_back(sector.IdSide);
  out.push_back(sector.IdSector);
  out.push_back(sector.IdSize);
  AppendLe16(out, sector.IdCrc);
  out.push_back(sector.ErrorCount);
  out.push_back(FlagByte(sector.DataOk));
  AppendLe16(out, sector.DataPos);
  const auto dataLen = std::min<std::uint16_t>(sector.DataLen, kSectorDataSize);
  AppendLe16(out, dataLen);
  out.insert(out.end(), sector.Data.begin(), sector.Data.begin() + dataLen);
}

void AppendTrack(Bytes& out, const TTrack& track) {
  out.push_back(FlagByte(track.Present));
  if (track.Present) {
    out.push_back(track.TrackNum);
    out.push_back(track.SectorCount);
    out.push_back(FlagByte(track.RawValid));
    const auto rawLength = std::min<std::uint16_t>(track.RawLength, kRawCapacity);
    AppendLe16(out, rawLength);
    out.insert(out.end(), track.RawData.begin(), track.RawData.begin() + rawLength);
    AppendLines(out, track.Log);
  }
  for (const auto& sector : track.Sectors) AppendSlot(out, sector);
}

void AppendCopies(Bytes& out, const TZX_Disk& disk) {
  std::vector<std::pair<int, int>> slots;
  for (int t = 0; t < kTrackCount; ++t)
    for (int s = 0; s < kSlotCount; ++s)
      if (const TSectorRec& sector = disk.Tracks[t].Sectors[s]; sector.Used && !sector.ExtraCopies.empty())
        slots.emplace_back(t, s);
  if (slots.empty()) return;
  out.insert(out.end(), kCopiesTag.begin(), kCopiesTag.end());
  AppendLe32(out, static_cast<std::uint32_t>(slots.size()));
  for (const auto& [t, s] : slots) {
    const TSectorRec& sector = disk.Tracks[t].Sectors[s];
    const std::size_t count = std::min<std::size_t>(sector.ExtraCopies.size(), kMaxSectorCopies - 1);
    out.push_back(static_cast<std::uint8_t>(t));
    out.push_back(static_cast<std::uint8_t>(s));
    out.push_back(static_cast<std::uint8_t>(count));
    for (std::size_t c = 0; c < count; ++c) {
      const DataCopy& copy = sector.ExtraCopies[c];
      const std::size_t length = std::min<std::size_t>(copy.data.size(), kSectorDataSize);
      out.push_back(FlagByte(copy.ok));
      AppendLe16(out, static_cast<std::uint16_t>(length));
      out.insert(out.end(), copy.data.begin(), copy.data.begin() + static_cast<std::ptrdiff_t>(length));
    }
  }
}

bool HasDeletedMarks(const TTrack& track) {
  return std::any_of(track.Sectors.begin(), track.Sectors.end(),
                     [](const TSectorRec& sector) { return sector.Used && sector.DeletedMark; });
}

void AppendRecording(Bytes& out, const TZX_Disk& disk) {
  std::vector<int> tracks;
  for (int t = 0; t < kTrackCount; ++t)
    if (const TTrack& track = disk.Tracks[t]; track.Present && (!track.UsualRecording() || HasDeletedMarks(track)))
      tracks.push_back(t);
  if (tracks.empty()) return;
  out.insert(out.end(), kRecordingTag.begin(), kRecordingTag.end());
  AppendLe32(out, static_cast<std::uint32_t>(tracks.size()));
  for (const int t : tracks) {
    const TTrack& track = disk.Tracks[t];
    out.push_back(static_cast<std::uint8_t>(t));
    AppendLe16(out, track.DataRate);
    out.push_back(FlagByte(track.Fm));
    std::vector<std::uint8_t> marked;
    for (int s = 0; s < kSlotCount; ++s)
      if (track.Sectors[s].Used && track.Sectors[s].DeletedMark) marked.push_back(static_cast<std::uint8_t>(s));
    out.push_back(static_cast<std::uint8_t>(marked.size()));
    out.insert(out.end(), marked.begin(), marked.end());
  }
}

// ---- reading ----

// Whether a block with `tag` follows at the reader's position (leaving room
// for the checksum); if so, the tag is taken.
bool TakeTag(ByteReader& reader, ByteSpan data, std::string_view tag) {
  const ByteSpan rest = data.subspan(reader.Position());
  if (rest.size() < tag.size() + kChecksumSize || !std::equal(tag.begin(), tag.end(), rest.begin())) return false;
  ByteSpan taken;
  return reader.Take(tag.size(), taken);
}

// Splits Windows-1251 text into UTF-8 lines at CR LF (a lone CR or LF ends a
// line too); a last line without an ending still counts. Lines past
// kMaxTextLines are dropped and `cut` is set.
std::vector<std::string> SplitLines(ByteSpan bytes, bool& cut) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  std::vector<std::string> lines;
  const auto add = [&](std::string_view line) {
    if (lines.size() < kMaxTextLines)
      lines.push_back(ToUtf8(CodePage::Cp1251, line));
    else
      cut = true;
  };
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size() && !cut; ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    add(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size() && !cut) add(text.substr(start));
  return lines;
}

// Each Read* returns nothing on success or the message of the failure; `cut`
// is set when a text had more lines than are kept.
std::optional<MessageId> ReadLines(ByteReader& reader, std::vector<std::string>& lines, bool& cut) {
  std::uint32_t count = 0;
  ByteSpan bytes;
  if (!reader.U32(count) || !reader.Take(count, bytes)) return kReadError;
  lines = SplitLines(bytes, cut);
  return std::nullopt;
}

std::optional<MessageId> ReadSlot(ByteReader& reader, TSectorRec& sector) {
  std::uint8_t used = 0;
  if (!reader.U8(used)) return kReadError;
  if (used != kFlagSet) return std::nullopt;
  sector.Used = true;
  std::uint8_t dataOk = 0;
  std::uint16_t dataLen = 0;
  if (!reader.U8(sector.IdTrack) || !reader.U8(sector.IdSide) || !reader.U8(sector.IdSector) ||
      !reader.U8(sector.IdSize) || !reader.U16(sector.IdCrc) || !reader.U8(sector.ErrorCount) || !reader.U8(dataOk) ||
      !reader.U16(sector.DataPos) || !reader.U16(dataLen))
    return kReadError;
  if (dataLen > kSectorDataSize) return kFormatError;
  ByteSpan data;
  if (!reader.Take(dataLen, data)) return kReadError;
  sector.DataOk = dataOk == kFlagSet;
  sector.DataLen = dataLen;
  std::copy(data.begin(), data.end(), sector.Data.begin());
  return std::nullopt;
}

std::optional<MessageId> ReadTrack(ByteReader& reader, TTrack& track, bool& cut) {
  std::uint8_t present = 0;
  if (!reader.U8(present)) return kReadError;
  if (present == kFlagSet) {
    track.Present = true;
    std::uint8_t rawValid = 0;
    std::uint16_t rawLength = 0;
    if (!reader.U8(track.TrackNum) || !reader.U8(track.SectorCount) || !reader.U8(rawValid) || !reader.U16(rawLength))
      return kReadError;
    if (rawLength > kRawCapacity) return kFormatError;
    ByteSpan raw;
    if (!reader.Take(rawLength, raw)) return kReadError;
    // A track has 20 slots; a larger count cannot be true.
    track.SectorCount = std::min<std::uint8_t>(track.SectorCount, kSlotCount);
    track.RawValid = rawValid == kFlagSet;
    track.RawLength = rawLength;
    std::copy(raw.begin(), raw.end(), track.RawData.begin());
    if (const auto error = ReadLines(reader, track.Log, cut)) return error;
  }
  for (auto& sector : track.Sectors)
    if (const auto error = ReadSlot(reader, sector)) return error;
  return std::nullopt;
}

// The copies block, if the file has one ("COPY" after the comments); a slot
// named twice, one not in use or a copy larger than the model is a damaged
// file.
std::optional<MessageId> ReadCopies(ByteReader& reader, ByteSpan data, TZX_Disk& disk) {
  // Anything else after the comments is left to the checksum test, as ever.
  if (!TakeTag(reader, data, kCopiesTag)) return std::nullopt;
  std::uint32_t slots = 0;
  if (!reader.U32(slots)) return kReadError;
  for (std::uint32_t i = 0; i < slots; ++i) {
    std::uint8_t t = 0;
    std::uint8_t s = 0;
    std::uint8_t count = 0;
    if (!reader.U8(t) || !reader.U8(s) || !reader.U8(count)) return kReadError;
    if (t >= kTrackCount || s >= kSlotCount || count == 0 || count >= kMaxSectorCopies) return kFormatError;
    TSectorRec& sector = disk.Tracks[t].Sectors[s];
    if (!sector.Used || !sector.ExtraCopies.empty()) return kFormatError;
    for (std::uint8_t c = 0; c < count; ++c) {
      std::uint8_t ok = 0;
      std::uint16_t length = 0;
      ByteSpan copy;
      if (!reader.U8(ok) || !reader.U16(length)) return kReadError;
      if (length > kSectorDataSize) return kFormatError;
      if (!reader.Take(length, copy)) return kReadError;
      sector.ExtraCopies.push_back({ok == kFlagSet, Bytes(copy.begin(), copy.end())});
    }
  }
  return std::nullopt;
}

// The recording block, if the file has one ("RECO" after the copies); a
// track named twice or not present, or a mark on a slot not in use, is a
// damaged file.
std::optional<MessageId> ReadRecording(ByteReader& reader, ByteSpan data, TZX_Disk& disk) {
  if (!TakeTag(reader, data, kRecordingTag)) return std::nullopt;
  std::uint32_t tracks = 0;
  if (!reader.U32(tracks)) return kReadError;
  std::vector<bool> seen(kTrackCount, false);
  for (std::uint32_t i = 0; i < tracks; ++i) {
    std::uint8_t t = 0;
    std::uint8_t fm = 0;
    std::uint8_t marks = 0;
    std::uint16_t rate = 0;
    if (!reader.U8(t) || !reader.U16(rate) || !reader.U8(fm) || !reader.U8(marks)) return kReadError;
    if (t >= kTrackCount || seen[t] || !disk.Tracks[t].Present || marks > kSlotCount) return kFormatError;
    seen[t] = true;
    TTrack& track = disk.Tracks[t];
    track.DataRate = rate;
    track.Fm = fm == kFlagSet;
    for (std::uint8_t m = 0; m < marks; ++m) {
      std::uint8_t s = 0;
      if (!reader.U8(s)) return kReadError;
      if (s >= kSlotCount || !track.Sectors[s].Used) return kFormatError;
      track.Sectors[s].DeletedMark = true;
    }
  }
  return std::nullopt;
}

// The 260-byte header, held apart until the whole file has proved sound.
struct Header {
  std::string title;
  std::uint8_t trackCount = 0;
  bool useBaseTrack = false;
  std::uint8_t baseTrack = kNoBaseTrack;
  bool keepRaw = false;
};

std::optional<MessageId> ReadHeader(ByteReader& reader, Header& header) {
  ByteSpan title;
  std::uint8_t useBaseTrack = 0;
  std::uint8_t keepRaw = 0;
  if (!reader.Take(kTitleField, title) || !reader.U8(header.trackCount) || !reader.U8(useBaseTrack) ||
      !reader.U8(header.baseTrack) || !reader.U8(keepRaw))
    return kReadError;
  const auto end = std::find(title.begin(), title.begin() + kMaxTitleLength, 0);
  header.title = ToUtf8(CodePage::Cp1251, std::string_view(reinterpret_cast<const char*>(title.data()),
                                                           static_cast<std::size_t>(end - title.begin())));
  header.useBaseTrack = useBaseTrack == kFlagSet;
  header.keepRaw = keepRaw == kFlagSet;
  return std::nullopt;
}

// Reads the file into the disk; returns the message of the first failure. A
// file whose texts were cut leaves a notice saying so.
std::optional<MessageId> ReadImage(TZX_Disk& disk, ByteSpan data) {
  ByteReader reader(data);
  Header header;
  bool cut = false;
  if (const auto error = ReadHeader(reader, header)) return error;
  for (auto& track : disk.Tracks)
    if (const auto error = ReadTrack(reader, track, cut)) return error;
  if (const auto error = ReadLines(reader, disk.Comments, cut)) return error;
  if (const auto error = ReadCopies(reader, data, disk)) return error;
  if (const auto error = ReadRecording(reader, data, disk)) return error;

  const std::size_t checked = reader.Position();
  std::uint32_t stored = 0;
  if (!reader.U32(stored)) return kReadError;
  if (reader.Remaining() != 0 || CalcCRC32(data.data(), checked) != stored) return kCrcError;

  disk.Title = header.title;
  disk.TrackCount = header.trackCount;
  disk.UseBaseTrack = header.useBaseTrack;
  disk.BaseTrack = header.baseTrack;
  disk.KeepRaw = header.keepRaw;
  if (cut) CarryLoss(disk, "UDF", {LossKind::Comment, -1, -1, {MessageId::LossLongText, {kMaxTextLines}}});
  return std::nullopt;
}

}  // namespace

// A udf file has no signature, but its header is strict: the title padded
// with zeros, a track count the disk can hold, flags that are 1 or 0xFF, and
// the first track's flag behind them.
Confidence ProbeUDF(const ProbeInput& input) {
  const ByteSpan head = input.head;
  if (head.size() <= kTitleField + 4) return Confidence::None;
  const auto isFlag = [](std::uint8_t b) { return b == kFlagSet || b == kFlagClear; };
  const auto titleEnd = std::find(head.begin(), head.begin() + kMaxTitleLength, 0);
  const bool padded = std::all_of(titleEnd, head.begin() + kTitleField, [](std::uint8_t b) { return b == 0; });
  const bool fields = head[kTitleField] <= kTrackCount && isFlag(head[kTitleField + 1]) &&
                      isFlag(head[kTitleField + 3]) && isFlag(head[kTitleField + 4]);
  return padded && fields ? Confidence::Fields : Confidence::None;
}

// Reads a udf file; a missing file leaves the disk untouched.
bool LoadUDF(TZX_Disk& disk, const std::filesystem::path& file) {
  Bytes data;
  if (!ReadImageFile(disk, file, data)) return false;
  return LoadUDFFromBytes(disk, data);
}

// A file that ends early, holds fields larger than the model or fails its
// checksum is refused as a whole: the disk is left empty.
bool LoadUDFFromBytes(TZX_Disk& disk, ByteSpan data) {
  disk.ClearDisk();
  disk.LastError = {};
  if (const auto error = ReadImage(disk, data)) {
    disk.ClearDisk();
    return Fail(disk, {*error, {"UDF"}});
  }
  return true;
}

// Builds the whole file in memory and replaces the target in one step.
bool SaveUDF(TZX_Disk& disk, const std::filesystem::path& file) {
  Bytes out;
  return SaveUDFToBytes(disk, out) && WriteImageFile(disk, file, out);
}

// Header, 166 track blocks, the comments, the copies and the recording
// blocks when there is anything to put in them, then the checksum of all of it.
bool SaveUDFToBytes(TZX_Disk& disk, Bytes& out) {
  out.clear();
  std::string title = FromUtf8(CodePage::Cp1251, disk.Title);
  if (title.size() > kMaxTitleLength) title.resize(kMaxTitleLength);
  out.insert(out.end(), title.begin(), title.end());
  out.resize(kTitleField, 0);
  out.push_back(disk.CountTracks());
  out.push_back(FlagByte(disk.UseBaseTrack));
  out.push_back(disk.BaseTrack);
  out.push_back(FlagByte(disk.KeepRaw));
  for (const auto& track : disk.Tracks) AppendTrack(out, track);
  AppendLines(out, disk.Comments);
  AppendCopies(out, disk);
  AppendRecording(out, disk);
  AppendLe32(out, CalcCRC32(out.data(), out.size()));
  return true;
}

}  // namespace velloran
