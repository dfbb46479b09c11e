#include "trdos/hobeta.h"

#include <algorithm>

namespace velloran {

std::uint16_t HobetaChecksum(const std::uint8_t* header) {
  unsigned sum = 0;
  for (int i = 0; i < 15; ++i) sum += header[i];
  return static_cast<std::uint16_t>((sum & 0xFFFF) * 257 + 105);
}

Bytes HobetaHeader(const TrdosEntry& entry) {
  Bytes header(kHobetaHeaderSize, 0);
  std::copy(entry.Name.begin(), entry.Name.end(), header.begin());
  header[8] = entry.FileType;
  WriteLe16(&header[9], entry.Start);
  WriteLe16(&header[11], entry.Length);
  header[13] = 0;
  header[14] = entry.FileSectors;
  WriteLe16(&header[15], HobetaChecksum(header.data()));
  return header;
}

std::optional<TrdosEntry> ParseHobetaHeader(ByteSpan file) {
  if (file.size() < kHobetaHeaderSize) return std::nullopt;
  TrdosEntry entry;
  std::copy_n(file.begin(), 8, entry.Name.begin());
  entry.FileType = file[8];
  entry.Start = ReadLe16(&file[9]);
  entry.Length = ReadLe16(&file[11]);
  entry.FileSectors = file[14];
  return entry;
}

bool HobetaChecksumValid(ByteSpan file) {
  return file.size() >= kHobetaHeaderSize && ReadLe16(&file[15]) == HobetaChecksum(file.data());
}

namespace {

// Bytes below 0x20 and characters a file name cannot hold become "_".
void ReplaceUnsafeCharacters(std::string& text) {
  for (char& c : text) {
    const auto byte = static_cast<std::uint8_t>(c);
    if (byte < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) c = '_';
  }
}

std::string BytesText(const std::string& bytes) {
  return NameText(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

}  // namespace

std::string HobetaFileName(const TrdosEntry& entry) {
  std::string name(entry.Name.begin(), entry.Name.end());
  while (!name.empty() && static_cast<std::uint8_t>(name.back()) <= 0x20) name.pop_back();
  ReplaceUnsafeCharacters(name);
  // The type letter goes into the file name too, so it gets the same care.
  std::string type(1, static_cast<char>(entry.FileType));
  ReplaceUnsafeCharacters(type);
  return BytesText(name) + ".$" + BytesText(type);
}

HobetaFile BuildHobetaFile(const TZX_Disk& disk, const TrdosEntry& entry) {
  HobetaFile file{HobetaHeader(entry), {}};
  file.Damaged = SalvageFileSectors(disk, EntryStart(entry), entry.FileSectors, file.Data);
  return file;
}

Message DamagedFileMessage(const std::string& fileName, const std::vector<DamagedSector>& damaged) {
  Message message = AttentionMessage({MessageId::FileSavedWithBadSectors, {fileName}});
  for (const DamagedSector& sector : damaged) message.Details.push_back(DamagedSectorPhrase(sector));
  return message;
}

Message HobetaOverwriteQuestion(const std::string& fileName) {
  return AttentionMessage({MessageId::FileExistsOverwrite, {fileName}}, MessageButtons::YesNoCancel);
}

}  // namespace velloran
