#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "common/utf8_path.h"
#include "formats/hfe.h"
#include "formats/sample_disks.h"
#include "formats/trd.h"
#include "support/test_support.h"

namespace velloran {
namespace {

constexpr std::size_t kCylinderBytes = 25088;
const char* const kTrdosDisk = "trd/alfishe_unreal-ng__EyeAche.trd";

// A raw track written by hand the way a controller formats one.
struct RawTrack {
  Bytes bytes;

  void Gap(int count, std::uint8_t value = 0x4E) { bytes.insert(bytes.end(), count, value); }
  void Mark(std::uint8_t mark) {
    Gap(12, 0);
    bytes.insert(bytes.end(), {0xA1, 0xA1, 0xA1, mark});
  }
  void Crc(std::size_t from, bool good) {
    const std::uint16_t crc = CalcCRC16(bytes.data() + from, bytes.size() - from) ^ (good ? 0 : 0xFFFF);
    bytes.push_back(static_cast<std::uint8_t>(crc >> 8));
    bytes.push_back(static_cast<std::uint8_t>(crc));
  }
  void Id(std::uint8_t c, std::uint8_t h, std::uint8_t r, std::uint8_t n) {
    Mark(0xFE);
    bytes.insert(bytes.end(), {c, h, r, n});
    Crc(bytes.size() - 8, true);
    Gap(22);
  }
  void Data(const Bytes& data, bool good = true, std::uint8_t mark = 0xFB) {
    Mark(mark);
    const std::size_t from = bytes.size() - 4;
    bytes.insert(bytes.end(), data.begin(), data.end());
    Crc(from, good);
    Gap(30);
  }
};

// An HFE file made by hand: each cylinder's sides MFM-coded with the A1
// bytes as sync marks, laid out in 512-byte blocks, 128 raw bytes of each
// side per block. `shift` empty cells go before each side's cells, so that
// its bytes no longer start on a 16-cell boundary.
Bytes HfeFile(const std::vector<std::array<Bytes, 2>>& cylinders, int sides = 2, int declared = -1, int shift = 0) {
  Bytes file(1024, 0xFF);
  std::memcpy(file.data(), "HXCPICFE", 8);
  file[8] = 0;
  file[9] = static_cast<std::uint8_t>(declared < 0 ? cylinders.size() : declared);
  file[10] = static_cast<std::uint8_t>(sides);
  WriteLe16(&file[18], 1);
  for (std::size_t c = 0; c < cylinders.size(); ++c) {
    const std::size_t rawLength = cylinders[c][0].size();
    const std::size_t length = rawLength / 128 * 512 + rawLength % 128 * 4;
    WriteLe16(&file[512 + 4 * c], static_cast<std::uint16_t>(file.size() / 512));
    WriteLe16(&file[512 + 4 * c + 2], static_cast<std::uint16_t>(length));
    const std::size_t start = file.size();
    file.resize(start + (length + 511) / 512 * 512, 0xFF);
    for (int side = 0; side < 2; ++side) {
      std::vector<int> cells(static_cast<std::size_t>(shift), 0);
      int previous = 0;
      for (const std::uint8_t value : cylinders[c][side])
        for (const std::uint8_t cellByte : HfeCellBytes(value, value == 0xA1, previous))
          for (int bit = 0; bit < 8; ++bit) cells.push_back(cellByte >> bit & 1);
      for (std::size_t i = 0; i < rawLength; ++i) {
        const std::size_t at = start + i / 128 * 512 + side * 256 + 2 * (i % 128);
        file[at] = file[at + 1] = 0;
        for (int bit = 0; bit < 16; ++bit)
          file[at + bit / 8] = static_cast<std::uint8_t>(file[at + bit / 8] | cells[16 * i + bit] << (bit % 8));
      }
    }
  }
  return file;
}

std::string LoadError(const Bytes& file) {
  TZX_Disk disk;
  EXPECT_FALSE(LoadHFEFromBytes(disk, file));
  return test::English(disk.LastError);
}

TEST(Hfe, CellPatterns) {
  int previous = 0;
  EXPECT_EQ(HfeCellBytes(0x00, false, previous), (std::array<std::uint8_t, 2>{0x55, 0x55}));
  EXPECT_EQ(HfeCellBytes(0xA1, true, previous), (std::array<std::uint8_t, 2>{0x22, 0x91}));  // 4489
  EXPECT_EQ(previous, 1);
  EXPECT_EQ(HfeCellBytes(0xC2, true, previous), (std::array<std::uint8_t, 2>{0x4A, 0x24}));  // 5224
  EXPECT_EQ(previous, 0);
  EXPECT_EQ(HfeCellBytes(0xA1, false, previous), (std::array<std::uint8_t, 2>{0x22, 0x95}));  // 44A9
  // After a 1 bit the first clock of a 0x00 byte stays clear: 2AAA.
  EXPECT_EQ(HfeCellBytes(0x00, false, previous), (std::array<std::uint8_t, 2>{0x54, 0x55}));
  EXPECT_EQ(HfeCellBytes(0xFF, false, previous), (std::array<std::uint8_t, 2>{0xAA, 0xAA}));
  // Other bytes are never sent with a missing clock.
  int marked = 0;
  int plain = 0;
  EXPECT_EQ(HfeCellBytes(0x4E, true, marked), HfeCellBytes(0x4E, false, plain));
}

TEST(Hfe, OneTrackLayout) {
  TZX_Disk disk;
  Bytes file;
  EXPECT_FALSE(SaveHFEToBytes(disk, file));  // a header of no cylinder would name no disk
  EXPECT_EQ(test::English(disk.LastError), "No tracks to write!");
  disk.GetTrack(0).Present = true;
  ASSERT_TRUE(SaveHFEToBytes(disk, file)) << disk.LastError;
  ASSERT_EQ(file.size(), 1024 + 80 * kCylinderBytes);
  EXPECT_EQ(std::memcmp(file.data(), "HXCPICFE", 8), 0);
  EXPECT_EQ(Bytes(file.begin() + 8, file.begin() + 21), (Bytes{0, 1, 2, 0, 250, 0, 0, 0, 2, 1, 1, 0, 0xFF}));
  EXPECT_EQ(file[511], 0xFF);
  EXPECT_EQ(ReadLe16(&file[512 + 4 * 79]), 2 + 49 * 79);
  EXPECT_EQ(ReadLe16(&file[512 + 4 * 79 + 2]), 25000);
  EXPECT_EQ(ReadLe16(&file[512 + 4 * 80]), 0xFFFF);  // entries not written stay FF
  // Absent tracks: 12500 bytes AA on each side; the last block beyond 212
  // bytes per side stays FF.
  const std::size_t last = 1024 + 5 * kCylinderBytes + 48 * 512;
  EXPECT_EQ(file[1024 + 5 * kCylinderBytes + 256 + 100], 0xAA);
  EXPECT_EQ(file[last + 211], 0xAA);
  EXPECT_EQ(file[last + 212], 0xFF);
  EXPECT_EQ(file[last + 256 + 211], 0xAA);
  EXPECT_EQ(file[last + 256 + 212], 0xFF);

  TZX_Disk loaded;
  ASSERT_TRUE(LoadHFEFromBytes(loaded, file));
  EXPECT_EQ(loaded.CountTracks(), 2);  // the header names one cylinder
  file[9] = 0;
  EXPECT_FALSE(LoadHFEFromBytes(loaded, file));
  EXPECT_EQ(test::English(loaded.LastError), "The HFE header names no cylinder: the file holds no disk!");
}

TEST(Hfe, TenTracksMakeFiveCylindersInAnEightyCylinderFile) {
  TZX_Disk disk;
  test::MakeTrdosLayoutDisk(disk, 10);
  Bytes file;
  ASSERT_TRUE(SaveHFEToBytes(disk, file)) << disk.LastError;
  EXPECT_EQ(file.size(), 1024 + 80 * kCylinderBytes);
  EXPECT_EQ(file[9], 5);
  EXPECT_EQ(ReadLe16(&file[512]), 2);
  EXPECT_EQ(ReadLe16(&file[514]), 25000);
  EXPECT_EQ(ReadLe16(&file[516]), 51);
  EXPECT_EQ(file[1024 + 5 * kCylinderBytes], 0xAA);  // cylinder 5 holds no track
}

TEST(Hfe, HighestPresentTrackSetsTheCylinders) {
  TZX_Disk disk;
  test::PutSector(disk, 0, 0, 0, 0, 1, 1);
  test::PutSector(disk, 165, 0, 82, 1, 1, 1);
  Bytes file;
  ASSERT_TRUE(SaveHFEToBytes(disk, file)) << disk.LastError;
  EXPECT_EQ(file[9], 83);
  EXPECT_EQ(file.size(), 1024 + 83 * kCylinderBytes);
  TZX_Disk loaded;
  ASSERT_TRUE(LoadHFEFromBytes(loaded, file)) << loaded.LastError;
  EXPECT_EQ(loaded.GetSector(165, 0).IdTrack, 82);
  EXPECT_TRUE(loaded.GetSector(165, 0).DataOk);
}

TEST(Hfe, RoundTripKeepsSectorsDataAndCrcStates) {
  TZX_Disk disk;
  test::MakeMixedDisk(disk, 12, true);
  Bytes file;
  ASSERT_TRUE(SaveHFEToBytes(disk, file)) << disk.LastError;
  TZX_Disk loaded;
  ASSERT_TRUE(LoadHFEFromBytes(loaded, file)) << loaded.LastError;
  EXPECT_EQ(test::DiskDifference(disk, loaded, {true, false}), "");
  for (int t = 0; t < 12; ++t) {
    const TTrack& track = loaded.GetTrack(static_cast<std::uint8_t>(t));
    EXPECT_EQ(track.RawLength, 6250);
    EXPECT_TRUE(track.RawValid);
    const TSectorRec& first = track.Sectors[0];
    EXPECT_EQ(track.RawData[first.DataPos - 1], 0xFB);
  }
}

TEST(Hfe, RawImagesSaveBackToTheSameFile) {
  TZX_Disk disk;
  test::MakeMixedDisk(disk, 8, false);
  Bytes file;
  ASSERT_TRUE(SaveHFEToBytes(disk, file)) << disk.LastError;
  TZX_Disk loaded;
  ASSERT_TRUE(LoadHFEFromBytes(loaded, file)) << loaded.LastError;
  Bytes again;
  ASSERT_TRUE(SaveHFEToBytes(loaded, again)) << loaded.LastError;
  EXPECT_TRUE(again == file);
}

TEST(Hfe, SaveReplacesTheFile) {
  test::ScratchDir dir;
  const auto file = dir / "disk.hfe";
  test::WriteFileBytes(file, Bytes(5, 1));
  TZX_Disk disk;
  test::MakeTrdosLayoutDisk(disk, 4);
  ASSERT_TRUE(SaveHFE(disk, file)) << disk.LastError;
  TZX_Disk loaded;
  ASSERT_TRUE(LoadHFE(loaded, file)) << loaded.LastError;
  EXPECT_EQ(test::DiskDifference(disk, loaded, {true, false}), "");

  EXPECT_FALSE(LoadHFE(loaded, dir / "missing.hfe"));
  EXPECT_EQ(test::English(loaded.LastError), "File " + PathToUtf8(dir / "missing.hfe") + " not found!");
}

TEST(Hfe, SectorScan) {
  RawTrack track;
  track.Gap(60);
  track.Id(0, 0, 1, 1);
  track.Data(Bytes(256, 0x11));
  track.Id(0, 0, 2, 0);
  track.Data(Bytes(128, 0x22), false);  // data CRC error
  track.Id(0, 0, 3, 0);
  track.Data(Bytes(128, 0x33), true, 0xF8);  // deleted data
  track.Id(0, 0, 4, 0);                      // no data field before the next ID...
  track.Id(0, 0, 5, 0);                      // ...so this one is never seen
  track.Gap(6250 - static_cast<int>(track.bytes.size()));
  RawTrack blank;
  blank.Gap(6250);

  TZX_Disk disk;
  ASSERT_TRUE(LoadHFEFromBytes(disk, HfeFile({{track.bytes, blank.bytes}}))) << disk.LastError;
  TTrack& t0 = disk.GetTrack(0);
  EXPECT_EQ(t0.RawLength, 6250);
  EXPECT_TRUE(t0.RawData[0] == 0x4E && t0.RawData[6249] == 0x4E);
  EXPECT_EQ(t0.CountSectors(), 4);
  EXPECT_TRUE(t0.Sectors[0].DataOk);
  EXPECT_EQ(t0.Sectors[0].DataLen, 256);
  EXPECT_EQ(t0.Sectors[0].Data[255], 0x11);
  EXPECT_EQ(t0.Sectors[0].IdCrc, IdFieldCrc(0, 0, 1, 1));
  EXPECT_FALSE(t0.Sectors[1].DataOk);
  EXPECT_TRUE(t0.Sectors[2].DataOk);
  EXPECT_EQ(t0.RawData[t0.Sectors[2].DataPos - 1], 0xF8);
  EXPECT_EQ(t0.Sectors[3].IdSector, 4);
  EXPECT_EQ(t0.Sectors[3].DataLen, 0);
  EXPECT_TRUE(disk.GetTrack(1).Present);
  EXPECT_EQ(disk.GetTrack(1).CountSectors(), 0);
}

TEST(Hfe, OneSidedFileFillsEvenTracks) {
  RawTrack track;
  track.Gap(80);
  track.Id(0, 0, 1, 1);
  track.Data(Bytes(256, 0x5A));
  track.Gap(6250 - static_cast<int>(track.bytes.size()));
  std::vector<std::array<Bytes, 2>> cylinders(80, {track.bytes, Bytes(6250, 0)});
  TZX_Disk disk;
  ASSERT_TRUE(LoadHFEFromBytes(disk, HfeFile(cylinders, 1))) << disk.LastError;
  EXPECT_EQ(disk.CountTracks(), 80);
  EXPECT_TRUE(disk.GetTrack(158).Present);
  EXPECT_EQ(disk.GetTrack(158).Sectors[0].Data[0], 0x5A);
  EXPECT_FALSE(disk.GetTrack(159).Present);
  EXPECT_EQ(disk.GetTrack(159).RawLength, 0);
}

TEST(Hfe, HeaderFailures) {
  EXPECT_EQ(LoadError(Bytes(1023, 0)), "The HFE file is too short!");
  Bytes file = HfeFile({});
  file[3] = 'X';
  EXPECT_EQ(LoadError(file), "The file is not in the HFE format!");
  for (const int sides : {0, 3})
    EXPECT_EQ(LoadError(HfeFile({}, sides)), "Error in the number of sides of the HFE file!");
  // The header names more cylinders than the table and the file hold.
  EXPECT_EQ(LoadError(HfeFile({}, 2, 1)), "Error in the HFE file length!");
  file = HfeFile({{Bytes(6250, 0x4E), Bytes(6250, 0x4E)}});
  file.resize(file.size() - 100);
  EXPECT_EQ(LoadError(file), "Error in the HFE file length!");
  // The track table itself lies past the end.
  file = HfeFile({});
  file[9] = 1;
  WriteLe16(&file[18], 7);
  EXPECT_EQ(LoadError(file), "Error in the HFE file length!");
}

// A data field cut by the track end is kept as far as it goes and named in
// a notice; the reader writes no file, not even through a link planted
// where debug dumps once went.
TEST(Hfe, DataFieldPastTheTrackEndIsANoticeAndWritesNothing) {
  RawTrack good;
  good.Gap(6250);
  RawTrack cut;
  cut.Gap(6000);
  cut.Id(3, 1, 1, 1);
  cut.Mark(0xFB);
  cut.Gap(6250 - static_cast<int>(cut.bytes.size()), 0xE5);
  std::vector<std::array<Bytes, 2>> cylinders(4, {good.bytes, good.bytes});
  cylinders[3][1] = cut.bytes;

  test::ScratchDir dir;
  const auto victim = dir / "victim";
  test::WriteFileBytes(victim, Bytes{1, 2, 3});
  std::error_code linkError;
  std::filesystem::create_symlink(victim, dir / "velloran.dbg", linkError);
  const test::ScopedEnvironment temporary(test::kTemporaryFolderVariable, PathToUtf8(dir.Path()));
  TZX_Disk disk;
  ASSERT_TRUE(LoadHFEFromBytes(disk, HfeFile(cylinders))) << disk.LastError;
  const TSectorRec& sector = disk.GetTrack(7).Sectors[0];
  EXPECT_FALSE(sector.DataOk);
  EXPECT_EQ(sector.DataLen, 6250 - sector.DataPos);
  EXPECT_EQ(sector.Data[0], 0xE5);
  ASSERT_EQ(disk.Notices.size(), 1u);
  EXPECT_EQ(test::English(disk.Notices[0]),
            "track 7, sector 1: the data field runs past the end of the track (190 of 256 bytes); what there is was "
            "kept, marked bad");

  EXPECT_TRUE(test::ReadFileBytes(victim) == (Bytes{1, 2, 3}));
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) ++entries;
  EXPECT_EQ(entries, linkError ? 1u : 2u);
}

// Marks are found wherever the cells put them, not only on 16-cell
// boundaries of the track.
TEST(Hfe, MarksAtAnyCell) {
  RawTrack track;
  track.Gap(60);
  for (int r = 1; r <= 9; ++r) {
    track.Id(5, 0, static_cast<std::uint8_t>(r), 2);
    track.Data(Bytes(512, static_cast<std::uint8_t>(r)));
  }
  track.Gap(6250 - static_cast<int>(track.bytes.size()));
  for (const int shift : {1, 5, 8, 15}) {
    TZX_Disk disk;
    ASSERT_TRUE(LoadHFEFromBytes(disk, HfeFile({{track.bytes, track.bytes}}, 2, -1, shift))) << disk.LastError;
    TTrack& t0 = disk.GetTrack(0);
    ASSERT_EQ(t0.CountSectors(), 9) << "shift " << shift;
    EXPECT_EQ(t0.Sectors[8].IdSector, 9);
    EXPECT_TRUE(t0.Sectors[8].DataOk);
    EXPECT_EQ(t0.Sectors[8].Data[511], 9);
  }
}

TEST(Hfe, InputBeyondTheModelIsCut) {
  // 84 cylinders: the first 83 load, with a note.
  std::vector<std::array<Bytes, 2>> cylinders(84, {Bytes(100, 0x4E), Bytes(100, 0x4E)});
  TZX_Disk disk;
  ASSERT_TRUE(LoadHFEFromBytes(disk, HfeFile(cylinders)));
  EXPECT_EQ(disk.CountTracks(), kTrackCount);
  ASSERT_EQ(disk.Notices.size(), 1u);
  EXPECT_NE(test::English(disk.Notices[0]).find("83 cylinders"), std::string::npos) << disk.Notices[0];

  // A track of 15000 bytes keeps its first 6500.
  RawTrack longTrack;
  longTrack.Gap(100);
  longTrack.Id(0, 0, 1, 1);
  longTrack.Data(Bytes(256, 0x66));
  longTrack.Gap(15000 - static_cast<int>(longTrack.bytes.size()));
  ASSERT_TRUE(LoadHFEFromBytes(disk, HfeFile({{longTrack.bytes, longTrack.bytes}})));
  EXPECT_EQ(disk.GetTrack(1).RawLength, kRawCapacity);
  EXPECT_EQ(disk.GetTrack(1).Sectors[0].Data[0], 0x66);
  EXPECT_FALSE(disk.Notices.empty());

  // 21 sectors: the first 20 fill the slots.
  RawTrack crowded;
  crowded.Gap(40);
  for (int r = 1; r <= 21; ++r) {
    crowded.Id(0, 0, static_cast<std::uint8_t>(r), 0);
    crowded.Data(Bytes(128, static_cast<std::uint8_t>(r)));
  }
  crowded.Gap(6250 - static_cast<int>(crowded.bytes.size()));
  ASSERT_TRUE(LoadHFEFromBytes(disk, HfeFile({{crowded.bytes, crowded.bytes}})));
  EXPECT_EQ(disk.GetTrack(0).CountSectors(), kSlotCount);
  EXPECT_EQ(disk.GetTrack(0).Sectors[19].IdSector, 20);
  EXPECT_FALSE(disk.Notices.empty());

  // A size code above 3 keeps the 1100 bytes a slot holds.
  RawTrack large;
  large.Gap(100);
  large.Id(0, 0, 1, 4);
  large.Data(Bytes(2048, 0x77));
  large.Gap(6250 - static_cast<int>(large.bytes.size()));
  ASSERT_TRUE(LoadHFEFromBytes(disk, HfeFile({{large.bytes, large.bytes}})));
  EXPECT_EQ(disk.GetTrack(0).Sectors[0].DataLen, kSectorDataSize);
  EXPECT_TRUE(disk.GetTrack(0).Sectors[0].DataOk);
}

TEST(Hfe, CorpusFiles) {
  TZX_Disk disk;
  // Version 3 files have another signature.
  EXPECT_FALSE(LoadHFE(disk, test::CorpusFile("hfe/companje_companje.nl__0001_TimeBandit_Sanyo_MBC55x.hfe")));
  EXPECT_EQ(test::English(disk.LastError), "The file is not in the HFE format!");
  // A blank double-density disk of 82 cylinders: raw tracks, no sectors.
  ASSERT_TRUE(LoadHFE(disk, test::CorpusFile("hfe/keirf_flashfloppy-images__double_density.hfe"))) << disk.LastError;
  EXPECT_EQ(disk.CountTracks(), 164);
  for (int t = 0; t < 164; ++t) {
    TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    EXPECT_GT(track.RawLength, 6000);
    EXPECT_EQ(track.CountSectors(), 0);
  }
}

// floptool (MAME) reads HFE and writes TRD.
TEST(HfeCrossCheck, FloptoolReadsWhatWeWrite) {
  if (!test::HaveProgram("floptool")) GTEST_SKIP() << "floptool is not installed";
  test::ScratchDir dir;
  TZX_Disk disk;
  ASSERT_TRUE(LoadTRD(disk, test::CorpusFile(kTrdosDisk)));
  ASSERT_TRUE(SaveHFE(disk, dir / "disk.hfe")) << disk.LastError;
  const auto result = test::RunProgram(
      "floptool", {"flopconvert", "hfe", "trd", (dir / "disk.hfe").string(), (dir / "disk.trd").string()});
  ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
  EXPECT_TRUE(test::ReadFileBytes(dir / "disk.trd") == test::ReadFileBytes(test::CorpusFile(kTrdosDisk)));
}

}  // namespace
}  // namespace velloran
