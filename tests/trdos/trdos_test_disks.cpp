#include "trdos/trdos_test_disks.h"

#include <algorithm>

#include "model/crc.h"
#include "support/test_support.h"

namespace velloran::test {

namespace {

TSectorRec* Sector(TZX_Disk& disk, int track, int idNumber) {
  for (auto& sector : disk.Tracks[track].Sectors)
    if (sector.Used && sector.IdSector == idNumber) return &sector;
  return nullptr;
}

void PutName(std::uint8_t* out, const std::string& name) {
  std::string padded = name;
  padded.resize(8, ' ');
  std::copy(padded.begin(), padded.end(), out);
}

}  // namespace

void BlankTrdosDisk(TZX_Disk& disk) {
  disk.ClearDisk();
  for (int t = 0; t < 160; ++t) {
    TTrack& track = disk.Tracks[t];
    track.Present = true;
    for (int s = 0; s < 16; ++s) {
      // Slots in reverse order: lookups must go by ID number, not by slot.
      TSectorRec& sector = track.Sectors[15 - s];
      sector.Used = true;
      sector.IdTrack = static_cast<std::uint8_t>(t / 2);
      sector.IdSide = static_cast<std::uint8_t>(t % 2);
      sector.IdSector = static_cast<std::uint8_t>(s + 1);
      sector.IdSize = 1;
      sector.IdCrc = IdFieldCrc(sector.IdTrack, sector.IdSide, sector.IdSector, 1);
      sector.DataOk = true;
      sector.DataLen = 256;
    }
  }
  std::uint8_t* info = Sector(disk, 0, 9)->Data.data();
  info[0xE3] = 0x16;
  info[0xE7] = 0x10;
  info[0xE2] = 1;
  info[0xE5] = 0xF0;
  info[0xE6] = 0x09;
  PutName(info + 0xF5, "TESTDISK");
}

void WriteTrdosFiles(TZX_Disk& disk, const std::vector<FileSpec>& files, int fileCount, int deletedCount, int freeTrack,
                     int freeSector) {
  for (std::size_t i = 0; i < files.size(); ++i) {
    const FileSpec& f = files[i];
    std::uint8_t* entry = Sector(disk, 0, static_cast<int>(i / 16) + 1)->Data.data() + (i % 16) * 16;
    PutName(entry, f.name);
    entry[8] = static_cast<std::uint8_t>(f.type);
    WriteLe16(entry + 9, f.start);
    WriteLe16(entry + 11, f.length);
    entry[13] = static_cast<std::uint8_t>(f.sectors);
    entry[14] = static_cast<std::uint8_t>(f.firstSector);
    entry[15] = static_cast<std::uint8_t>(f.firstTrack);
    int track = f.firstTrack;
    int sector = f.firstSector;
    for (int s = 0; s < f.sectors; ++s) {
      std::fill_n(Sector(disk, track, sector + 1)->Data.begin(), 256, FillByte(static_cast<int>(i), s));
      if (++sector == 16) {
        sector = 0;
        ++track;
      }
    }
  }
  std::uint8_t* info = Sector(disk, 0, 9)->Data.data();
  info[0xE4] = static_cast<std::uint8_t>(fileCount);
  info[0xF4] = static_cast<std::uint8_t>(deletedCount);
  info[0xE1] = static_cast<std::uint8_t>(freeSector);
  info[0xE2] = static_cast<std::uint8_t>(freeTrack);
  WriteLe16(info + 0xE5, static_cast<std::uint16_t>(2560 - (freeTrack * 16 + freeSector)));
}

Bytes SectorBytes(const TZX_Disk& disk, int track, int idNumber) {
  for (const auto& sector : disk.Tracks[track].Sectors)
    if (sector.Used && sector.IdSector == idNumber) return Bytes(sector.Data.begin(), sector.Data.begin() + 256);
  return {};
}

Bytes MakeHobeta(const std::string& name, char type, std::uint16_t start, std::uint16_t length, int sectors,
                 std::uint8_t fill) {
  Bytes file(17, 0);
  PutName(file.data(), name);
  file[8] = static_cast<std::uint8_t>(type);
  WriteLe16(&file[9], start);
  WriteLe16(&file[11], length);
  file[14] = static_cast<std::uint8_t>(sectors);
  unsigned sum = 0;
  for (unsigned i = 0; i < 15; ++i) sum += 257 * file[i] + i;
  WriteLe16(&file[15], static_cast<std::uint16_t>(sum));
  file.resize(17 + 256 * sectors, fill);
  return file;
}

Bytes MakeScl(const std::vector<SclPart>& parts) {
  Bytes file = {'S', 'I', 'N', 'C', 'L', 'A', 'I', 'R', static_cast<std::uint8_t>(parts.size())};
  for (const auto& part : parts) {
    std::uint8_t header[14] = {};
    PutName(header, part.name);
    header[8] = static_cast<std::uint8_t>(part.type);
    WriteLe16(header + 9, part.start);
    WriteLe16(header + 11, part.length);
    header[13] = static_cast<std::uint8_t>(part.sectors);
    file.insert(file.end(), header, header + 14);
  }
  for (const auto& part : parts) file.insert(file.end(), 256 * part.sectors, part.fill);
  std::uint32_t sum = 0;
  for (std::uint8_t b : file) sum += b;
  AppendLe32(file, sum);
  return file;
}

}  // namespace velloran::test
