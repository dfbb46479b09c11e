#include "formats/fdi.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "common/codepages.h"
#include "formats/image_file.h"

namespace velloran {

namespace {

constexpr std::size_t kHeaderSize = 14;
constexpr std::size_t kTrackHeaderSize = 7;
constexpr std::size_t kSectorHeaderSize = 7;
constexpr int kMaxCylinders = kTrackCount / 2;
constexpr std::size_t kMaxCommentBytes = 63;

// Data length of a size code as the format counts it, in 16 bits (codes of 9
// and more give 0), cut to what a sector slot holds.
std::uint16_t StoredSectorLength(std::uint8_t sizeCode) {
  const std::uint32_t length = sizeCode >= 9 ? 0 : (128u << sizeCode) & 0xFFFF;
  return static_cast<std::uint16_t>(std::min<std::uint32_t>(length, kSectorDataSize));
}

// The flags byte: the bit of the sector's size code when its data CRC is good.
std::uint8_t SectorFlags(const TSectorRec& sector) {
  if (!sector.DataOk) return 0;
  return sector.IdSize <= 4 ? static_cast<std::uint8_t>(1 << sector.IdSize) : 1;
}

// The comment lines as one CP866 text, every line ended by CR LF, cut to 63
// bytes and closed by a zero byte.
Bytes CommentText(const std::vector<std::string>& comments) {
  std::string text;
  for (const auto& line : comments) text += FromUtf8(CodePage::Cp866, line) + "\r\n";
  if (text.size() > kMaxCommentBytes) text.resize(kMaxCommentBytes);
  Bytes bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

// Comment lines from the text between the track headers and the data area.
// A text offset outside that gap holds no comment.
std::vector<std::string> ReadComments(ByteSpan data, std::size_t textOffset, std::size_t headersEnd,
                                      std::size_t dataOffset) {
  std::vector<std::string> lines;
  const std::size_t end = std::min(dataOffset, data.size());
  if (textOffset < headersEnd || textOffset >= end) return lines;
  const auto first = data.begin() + static_cast<std::ptrdiff_t>(textOffset);
  const auto last = std::find(first, data.begin() + static_cast<std::ptrdiff_t>(end), 0);
  const std::string text = ToUtf8(CodePage::Cp866, std::string(first, last));
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t stop = text.find('\n', start);
    if (stop == std::string::npos) stop = text.size();
    std::string line = text.substr(start, stop - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = stop + 1;
  }
  return lines;
}

// The used slots of a present track in slot order; an absent track has none.
std::vector<const TSectorRec*> SectorsToSave(const TTrack& track) {
  std::vector<const TSectorRec*> sectors;
  if (!track.Present) return sectors;
  for (const auto& sector : track.Sectors)
    if (sector.Used) sectors.push_back(&sector);
  return sectors;
}

}  // namespace

// Loads an FDI file into the disk.
bool LoadFDI(TZX_Disk& disk, const std::filesystem::path& file) {
  Bytes data;
  return ReadImageFile(disk, file, data) && LoadFDIFromBytes(disk, data);
}

// Fills the disk from the bytes of an FDI file: one model track per track
// header, one slot per sector header, the data taken from the data area.
// "FDI" in any letter case.
Confidence ProbeFDI(const ProbeInput& input) {
  if (input.head.size() < 3) return Confidence::None;
  const auto upper = [&](int i) { return std::toupper(input.head[i]); };
  return upper(0) == 'F' && upper(1) == 'D' && upper(2) == 'I' ? Confidence::Signature : Confidence::None;
}

bool LoadFDIFromBytes(TZX_Disk& disk, ByteSpan data) {
  const Diagnostic kSizeError{MessageId::FileLengthError, {"FDI"}};
  disk.ClearDisk();
  if (data.empty()) return Fail(disk, {MessageId::EmptyFile, {"FDI"}});
  const auto upper = [&](std::size_t i) { return std::toupper(data[i]); };
  if (data.size() < 3 || upper(0) != 'F' || upper(1) != 'D' || upper(2) != 'I')
    return Fail(disk, {MessageId::NotOfFormat, {"FDI"}});
  if (data.size() < kHeaderSize) return Fail(disk, kSizeError);
  const std::size_t cylinders = ReadLe16(&data[4]);
  const std::size_t heads = ReadLe16(&data[6]);
  const std::size_t textOffset = ReadLe16(&data[8]);
  const std::size_t dataOffset = ReadLe16(&data[10]);
  const std::size_t extraHeader = ReadLe16(&data[12]);
  if (data.size() < kHeaderSize + extraHeader + kTrackHeaderSize * cylinders * heads) return Fail(disk, kSizeError);
  if (cylinders > kMaxCylinders || heads > 2) return Fail(disk, MessageId::FdiGeometryError);

  ByteReader reader(data);
  reader.Seek(kHeaderSize + extraHeader);
  for (std::size_t c = 0; c < cylinders; ++c) {
    for (std::size_t h = 0; h < heads; ++h) {
      std::uint32_t trackOffset = 0;
      std::uint8_t sectorCount = 0;
      if (!reader.U32(trackOffset) || !reader.Skip(2) || !reader.U8(sectorCount)) return Fail(disk, kSizeError);
      const std::size_t trackStart = dataOffset + trackOffset;
      if (trackStart > data.size()) return Fail(disk, kSizeError);
      const auto index = static_cast<std::uint8_t>(c * 2 + h);
      if (sectorCount > kSlotCount) return Fail(disk, {MessageId::FdiTooManySectors, {index, sectorCount, kSlotCount}});
      TTrack& track = disk.GetTrack(index);
      track.Present = true;
      for (std::uint8_t slot = 0; slot < sectorCount; ++slot) {
        ByteSpan header;
        if (!reader.Take(kSectorHeaderSize, header)) return Fail(disk, kSizeError);
        TSectorRec& sector = track.GetSector(slot);
        SetIdField(sector, header[0], header[1], header[2], header[3]);
        sector.DataLen = StoredSectorLength(sector.IdSize);
        sector.DataOk = (header[4] & 0x3F) != 0;
        const std::size_t start = trackStart + ReadLe16(&header[5]);
        if (start > data.size() || data.size() - start < sector.DataLen) return Fail(disk, kSizeError);
        std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(start), sector.DataLen, sector.Data.begin());
      }
    }
  }
  disk.Comments = ReadComments(data, textOffset, reader.Position(), dataOffset);
  return true;
}

SaveLosses SaveLossesFDI(const TZX_Disk& disk, std::string_view format) {
  SaveLosses losses;
  FindDataBeyond(
      disk, format, [](std::uint8_t sizeCode) -> int { return StoredSectorLength(sizeCode); }, losses);
  return losses;
}

// Saves the disk as an FDI file.
bool SaveFDI(TZX_Disk& disk, const std::filesystem::path& file) {
  Bytes data;
  return SaveFDIToBytes(disk, data) && WriteImageFile(disk, file, data);
}

// Builds the bytes of an FDI file: one head for a one-sided disk, else two,
// whole cylinders up to the last present track, the used slots of each
// present track in slot order.
bool SaveFDIToBytes(TZX_Disk& disk, Bytes& out) {
  const int cylinders = (disk.TracksToWrite() + 1) / 2;
  const int heads = SidesToWrite(disk);
  Bytes file{'F', 'D', 'I', 0};
  AppendLe16(file, static_cast<std::uint16_t>(cylinders));
  AppendLe16(file, static_cast<std::uint16_t>(heads));
  AppendLe16(file, 0);  // text offset, filled in below
  AppendLe16(file, 0);  // data offset, filled in below
  AppendLe16(file, 0);  // no extra header
  Bytes area;
  for (int t = 0; t < cylinders * 2; ++t) {
    if (t % 2 >= heads) continue;  // a one-sided disk has no second side
    const auto sectors = SectorsToSave(disk.GetTrack(static_cast<std::uint8_t>(t)));
    const std::size_t trackStart = area.size();
    AppendLe32(file, static_cast<std::uint32_t>(trackStart));
    AppendLe16(file, 0);
    file.push_back(static_cast<std::uint8_t>(sectors.size()));
    for (const TSectorRec* sector : sectors) {
      file.insert(file.end(),
                  {sector->IdTrack, sector->IdSide, sector->IdSector, sector->IdSize, SectorFlags(*sector)});
      AppendLe16(file, static_cast<std::uint16_t>(area.size() - trackStart));
      const std::uint16_t length = StoredSectorLength(sector->IdSize);
      area.insert(area.end(), sector->Data.begin(), sector->Data.begin() + length);
    }
  }
  WriteLe16(&file[8], static_cast<std::uint16_t>(file.size()));
  const Bytes text = CommentText(disk.Comments);
  file.insert(file.end(), text.begin(), text.end());
  WriteLe16(&file[10], static_cast<std::uint16_t>(file.size()));
  file.insert(file.end(), area.begin(), area.end());
  out = std::move(file);
  return true;
}

}  // namespace velloran
