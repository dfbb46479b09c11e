#include "trdos_test_disk.h"

#include <cstring>

#include "trdos/catalog.h"

namespace velloran::test {

namespace {

struct TestEntry {
  const char name[9];
  std::uint8_t firstNameByte;  // replaces name[0] when not 0xFF
  char type;
  std::uint16_t start, length;
  std::uint8_t sectors, firstSector, firstTrack;
};

constexpr TestEntry kEntries[] = {
    {"ALPHA   ", 0xFF, 'C', 0x8000, 0x0500, 5, 0, 1}, {"xETA    ", 0x01, 'B', 0x1234, 0x0300, 3, 5, 1},
    {"GAMMA   ", 0xFF, 'B', 0x5CCB, 0x0200, 2, 8, 1}, {"SCREEN  ", 0xFF, 'C', 0x4000, 0x1B00, 27, 10, 1},
    {"xOLD    ", 0x00, 'C', 0x0000, 0x0200, 2, 5, 3},
};

}  // namespace

std::uint8_t FileByte(int file, int sectorIndex) { return static_cast<std::uint8_t>(file * 0x20 + sectorIndex); }

Bytes TestScreen() {
  Bytes screen(6912, 0xF0);
  screen[0x0020] = 0x00;
  screen[0x0100] = 0xFF;
  for (int i = 0; i < 768; ++i) screen[6144 + i] = i < 384 ? 0x47 : 0x38;
  return screen;
}

std::uint8_t* SectorBytes(TZX_Disk& disk, int track, int sector) {
  return disk.GetSector(static_cast<std::uint8_t>(track), static_cast<std::uint8_t>(sector)).Data.data();
}

std::uint8_t* EntryBytes(TZX_Disk& disk, int entry) { return SectorBytes(disk, 0, entry / 16) + (entry % 16) * 16; }

std::uint8_t* InfoSector(TZX_Disk& disk) { return SectorBytes(disk, 0, 8); }

void MakeTestDisk(TZX_Disk& disk) {
  MakeTrdosDisk(disk, "TESTDISK");
  const Bytes screen = TestScreen();
  for (int i = 0; i < static_cast<int>(std::size(kEntries)); ++i) {
    const TestEntry& entry = kEntries[i];
    std::uint8_t* out = EntryBytes(disk, i);
    std::memcpy(out, entry.name, 8);
    if (entry.firstNameByte != 0xFF) out[0] = entry.firstNameByte;
    out[8] = static_cast<std::uint8_t>(entry.type);
    out[9] = entry.start & 0xFF;
    out[10] = entry.start >> 8;
    out[11] = entry.length & 0xFF;
    out[12] = entry.length >> 8;
    out[13] = entry.sectors;
    out[14] = entry.firstSector;
    out[15] = entry.firstTrack;
    int logical = entry.firstTrack * 16 + entry.firstSector;
    for (int s = 0; s < entry.sectors; ++s, ++logical) {
      std::uint8_t* data = SectorBytes(disk, logical / 16, logical % 16);
      if (i == 3)
        std::memcpy(data, screen.data() + s * 256, 256);
      else
        std::memset(data, FileByte(i + 1, s), 256);
    }
  }
  std::uint8_t* info = InfoSector(disk);
  info[0xE1] = 5;  // first free sector
  info[0xE2] = 3;  // first free track
  info[0xE4] = 4;  // files
  info[0xE5] = 2507 & 0xFF;
  info[0xE6] = 2507 >> 8;
  info[0xF4] = 1;  // deleted files
}

}  // namespace velloran::test
