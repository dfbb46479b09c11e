#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "formats/sample_disks.h"
#include "formats/udi.h"
#include "support/test_support.h"
#include "trdos/catalog.h"

namespace velloran {
namespace {

// One raw track with its sync flags, put together byte by byte.
struct RawTrack {
  Bytes bytes;
  std::vector<bool> sync;

  void Add(std::uint8_t value, int count = 1, bool isSync = false) {
    for (int i = 0; i < count; ++i) {
      bytes.push_back(value);
      sync.push_back(isSync);
    }
  }
  void Mark(std::uint8_t mark) {
    Add(0x00, 12);
    Add(0xA1, 3, true);
    Add(mark);
  }
  void Crc(std::size_t from, bool good = true) {
    std::uint16_t crc = CalcCRC16(bytes.data() + from, bytes.size() - from);
    if (!good) crc = static_cast<std::uint16_t>(~crc);
    Add(static_cast<std::uint8_t>(crc >> 8));
    Add(static_cast<std::uint8_t>(crc));
  }
  void Id(std::uint8_t c, std::uint8_t h, std::uint8_t r, std::uint8_t n) {
    Mark(0xFE);
    const std::size_t from = bytes.size() - 4;
    for (auto v : {c, h, r, n}) Add(v);
    Crc(from);
    Add(0x4E, 22);
  }
  void Data(std::uint8_t mark, std::size_t size, std::uint8_t fill, bool good = true) {
    Mark(mark);
    const std::size_t from = bytes.size() - 4;
    for (std::size_t i = 0; i < size; ++i) Add(static_cast<std::uint8_t>(fill + i));
    Crc(from, good);
    Add(0x4E, 40);
  }
};

// A UDI file of these tracks, its header and checksum filled in.
Bytes MakeUdi(const std::vector<RawTrack>& tracks, int sides = 2) {
  Bytes file = {'U',
                'D',
                'I',
                '!',
                0,
                0,
                0,
                0,
                0,
                static_cast<std::uint8_t>((tracks.size() + sides - 1) / sides - 1),
                static_cast<std::uint8_t>(sides - 1),
                0,
                0,
                0,
                0,
                0};
  for (const auto& track : tracks) {
    file.push_back(0);
    AppendLe16(file, static_cast<std::uint16_t>(track.bytes.size()));
    file.insert(file.end(), track.bytes.begin(), track.bytes.end());
    Bytes map((track.bytes.size() + 7) / 8, 0);
    for (std::size_t k = 0; k < track.sync.size(); ++k)
      if (track.sync[k]) map[k / 8] = static_cast<std::uint8_t>(map[k / 8] | (1 << (k % 8)));
    file.insert(file.end(), map.begin(), map.end());
  }
  WriteLe32(&file[4], static_cast<std::uint32_t>(file.size()));
  AppendLe32(file, CalcCRC32(file.data(), file.size()));
  return file;
}

// Puts a fresh checksum on a changed file.
Bytes Reseal(Bytes file) {
  file.resize(file.size() - 4);
  AppendLe32(file, CalcCRC32(file.data(), file.size()));
  return file;
}

class UdiTest : public ::testing::Test {
 protected:
  std::unique_ptr<TZX_Disk> disk = std::make_unique<TZX_Disk>();
  std::unique_ptr<TZX_Disk> loaded = std::make_unique<TZX_Disk>();

  Bytes Save() {
    Bytes out;
    EXPECT_TRUE(SaveUDIToBytes(*disk, out)) << disk->LastError;
    return out;
  }
  std::string LoadError(const Bytes& file) {
    EXPECT_FALSE(LoadUDIFromBytes(*loaded, file));
    return test::English(loaded->LastError);
  }
  const TSectorRec& Slot(int track, int slot) { return loaded->GetSector(track, slot); }
};

TEST_F(UdiTest, ChecksumCheckValue) {
  const std::uint8_t abc[] = {'a', 'b', 'c'};
  EXPECT_EQ(CalcCRC32(abc, 3), 0xEB52592Fu);
}

TEST_F(UdiTest, HeaderOfA160TrackDisk) {
  test::MakeTrdosLayoutDisk(*disk, 160);
  const Bytes file = Save();
  ASSERT_EQ(file.size(), 16u + 80 * 2 * 7041 + 4);
  const Bytes header = {0x55, 0x44, 0x49, 0x21, 0xB0, 0x30, 0x11, 0x00, 0x00, 0x4F, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00};
  EXPECT_TRUE(std::equal(header.begin(), header.end(), file.begin()));
  EXPECT_EQ(ReadLe32(&file[file.size() - 4]), CalcCRC32(file.data(), file.size() - 4));
  // Every record: type 0, length 6256, the raw bytes and the map.
  EXPECT_EQ(file[16], 0);
  EXPECT_EQ(ReadLe16(&file[17]), 6256);
  EXPECT_EQ(file[16 + 7041], 0);
}

TEST_F(UdiTest, TrdosDiskRoundTrips) {
  test::MakeTrdosLayoutDisk(*disk, 160);
  const Bytes file = Save();
  ASSERT_TRUE(LoadUDIFromBytes(*loaded, file)) << loaded->LastError;
  EXPECT_EQ(test::DiskDifference(*disk, *loaded, {}), "");
  const TTrack& track = loaded->GetTrack(37);
  EXPECT_TRUE(track.RawValid);
  EXPECT_EQ(track.RawLength, 6256);
  EXPECT_TRUE(track.Present);
  EXPECT_EQ(track.SectorCount, 0);  // left for CountSectors
  // The first sector's data follows its mark at 205.
  EXPECT_EQ(track.Sectors[0].DataPos, 206);
  EXPECT_TRUE(track.Sectors[0].DataOk);
  EXPECT_FALSE(loaded->GetTrack(160).Present);
  // Saving the loaded disk again, its raw images kept, gives the same file.
  Bytes again;
  loaded->KeepRaw = true;
  ASSERT_TRUE(SaveUDIToBytes(*loaded, again));
  EXPECT_EQ(again, file);
}

TEST_F(UdiTest, OddTrackCountIsRoundedUpToCylinders) {
  test::MakeTrdosLayoutDisk(*disk, 161);
  const Bytes file = Save();
  EXPECT_EQ(file[9], 80);
  EXPECT_EQ(file.size(), 16u + 81 * 2 * 7041 + 4);
  ASSERT_TRUE(LoadUDIFromBytes(*loaded, file));
  EXPECT_EQ(loaded->CountTracks(), 162);
  EXPECT_FALSE(loaded->GetTrack(161).Sectors[0].Used);
}

TEST_F(UdiTest, TracksAfterAGapAreNotDropped) {
  test::MakeTrdosLayoutDisk(*disk, 160);
  for (int t = 1; t < 160; t += 2) disk->GetTrack(static_cast<std::uint8_t>(t)).Present = false;
  const Bytes file = Save();
  EXPECT_EQ(file[9], 79);  // 80 cylinders although only 80 tracks are present
  ASSERT_TRUE(LoadUDIFromBytes(*loaded, file));
  EXPECT_EQ(loaded->GetSector(158, 15).IdSector, 16);
  EXPECT_EQ(loaded->GetSector(158, 15).Data[7], disk->GetSector(158, 15).Data[7]);
  EXPECT_FALSE(loaded->GetSector(157, 0).Used);  // an absent track is plain filler
}

TEST_F(UdiTest, EmptyDiskIsRefusedWithAMessage) {
  Bytes out;
  EXPECT_FALSE(SaveUDIToBytes(*disk, out));
  EXPECT_FALSE(disk->LastError.Empty());
  EXPECT_TRUE(out.empty());
}

TEST_F(UdiTest, FailedTrackBuildWritesNothing) {
  test::MakeTrdosLayoutDisk(*disk, 10);
  disk->GetSector(5, 3).IdSize = 5;
  test::ScratchDir dir;
  const auto file = dir / "disk.udi";
  test::WriteFileBytes(file, Bytes{1, 2, 3});
  EXPECT_FALSE(SaveUDI(*disk, file));
  EXPECT_EQ(disk->ErrTrack, 5);
  EXPECT_EQ(disk->ErrSector, 3);
  EXPECT_EQ(test::ReadFileBytes(file), (Bytes{1, 2, 3}));
  disk->GetSector(5, 3).IdSize = 1;
  ASSERT_TRUE(SaveUDI(*disk, file));
  ASSERT_TRUE(LoadUDI(*loaded, file));
  EXPECT_EQ(test::DiskDifference(*disk, *loaded, {}), "");
}

TEST_F(UdiTest, MalformedFilesGiveTheirMessages) {
  test::MakeTrdosLayoutDisk(*disk, 2);
  const Bytes good = Save();
  EXPECT_EQ(LoadError(Bytes(19, 0)), "The UDI file is too short!");
  Bytes bad = good;
  bad[0] = 'X';
  EXPECT_EQ(LoadError(bad), "The file is not in the UDI format!");  // checked before the checksum
  bad = good;
  bad[100] ^= 1;
  EXPECT_EQ(LoadError(bad), "UDI file checksum error!");
  bad = good;
  bad[3] = '?';
  EXPECT_EQ(LoadError(Reseal(bad)), "The file is not in the UDI format!");
  for (int offset : {8, 12, 15}) {
    bad = good;
    bad[offset] = 1;
    EXPECT_EQ(LoadError(Reseal(bad)), "Error in the UDI file header!") << offset;
  }
  bad = good;
  bad[11] = 2;
  EXPECT_EQ(LoadError(Reseal(bad)), "Error in the UDI file header!");
  // A cut file says where it ends and how long its header says it is.
  const std::string size = std::to_string(good.size());
  EXPECT_EQ(LoadError(Bytes(good.begin(), good.end() - 1000)), "The UDI file is cut short: it ends at byte " +
                                                                   std::to_string(good.size() - 1000) +
                                                                   ", its header promises " + size + "!");
  bad = good;
  bad.push_back(0);
  EXPECT_EQ(LoadError(bad), "The UDI file is longer than its header says: " + std::to_string(good.size() + 1) +
                                " bytes, the header promises " + size + "!");
}

TEST_F(UdiTest, FileEndingInsideATrackKeepsTheTracksBefore) {
  test::MakeTrdosLayoutDisk(*disk, 4);
  Bytes file = Save();
  file.resize(16 + 2 * 7041 + 100);  // inside the third record
  WriteLe32(&file[4], static_cast<std::uint32_t>(file.size()));
  AppendLe32(file, CalcCRC32(file.data(), file.size()));
  EXPECT_EQ(LoadError(file), "Error in the UDI file length!");
  EXPECT_EQ(loaded->CountTracks(), 2);
  EXPECT_EQ(loaded->GetSector(1, 15).IdSector, 16);
  // A sync map that would run into the checksum is cut off the same way.
  file = Save();
  file.resize(16 + 4 * 7041 - 2);
  WriteLe32(&file[4], static_cast<std::uint32_t>(file.size()));
  AppendLe32(file, CalcCRC32(file.data(), file.size()));
  EXPECT_EQ(LoadError(file), "Error in the UDI file length!");
  EXPECT_EQ(loaded->CountTracks(), 3);
}

// An emulator's blank 86-cylinder disk loads; its last three cylinders are
// left out with a notice. Sectors out there are left out too, as losses the
// disk carries: every save of it is then lossy.
TEST_F(UdiTest, CylindersBeyondTheDiskAreDroppedAndCarriedAsLossesWhenTheyHoldSectors) {
  RawTrack blank;
  blank.Add(0x4E, 100);
  std::vector<RawTrack> tracks(172, blank);
  ASSERT_TRUE(LoadUDIFromBytes(*loaded, MakeUdi(tracks))) << loaded->LastError;
  EXPECT_EQ(loaded->CountTracks(), kTrackCount);
  EXPECT_EQ(
      test::English(loaded->Notices),
      std::vector<std::string>{
          "The UDI image is larger than the program holds: the blank tracks of cylinders 83–85 were not loaded."});

  tracks[169].Id(84, 1, 1, 1);
  tracks[169].Data(0xFB, 256, 0);
  tracks[171] = tracks[169];
  ASSERT_TRUE(LoadUDIFromBytes(*loaded, MakeUdi(tracks))) << loaded->LastError;
  EXPECT_EQ(loaded->CountTracks(), kTrackCount);
  ASSERT_EQ(loaded->Losses.size(), 2u);
  EXPECT_EQ(LossText(loaded->Losses[1], Language::English),
            "track 171: cylinder 85, side 1: sectors beyond the disk's 83 cylinders, not loaded: 1");
  EXPECT_EQ(test::English(loaded->Notices.back()),
            "The UDI image is larger than the program holds: the tracks of cylinders 83–85 were not loaded; sectors "
            "on them: 2. Saving the image loses them.");
  EXPECT_EQ(FindSaveLosses(*loaded, *FindFormat("UDI")).size(), 2u);

  RawTrack longTrack;
  longTrack.Add(0x4E, 6501);
  EXPECT_EQ(LoadError(MakeUdi({longTrack, blank})), "Error in a track length of the UDI file!");
  RawTrack fullTrack;
  fullTrack.Add(0x4E, 6500);
  EXPECT_TRUE(LoadUDIFromBytes(*loaded, MakeUdi({fullTrack, blank})));
  EXPECT_EQ(loaded->GetTrack(0).RawLength, 6500);
}

TEST_F(UdiTest, OneSidedFileFillsConsecutiveTracks) {
  std::vector<RawTrack> tracks(80);
  for (int c = 0; c < 80; ++c) {
    tracks[c].Add(0x4E, 60);
    tracks[c].Id(static_cast<std::uint8_t>(c), 0, 1, 1);
    tracks[c].Data(0xFB, 256, static_cast<std::uint8_t>(c));
  }
  ASSERT_TRUE(LoadUDIFromBytes(*loaded, MakeUdi(tracks, 1))) << loaded->LastError;
  EXPECT_EQ(loaded->CountTracks(), 80);
  for (int c = 0; c < 80; ++c) {
    EXPECT_EQ(Slot(c, 0).IdTrack, c);
    EXPECT_EQ(Slot(c, 0).Data[0], c);
    EXPECT_TRUE(Slot(c, 0).DataOk);
  }
}

TEST_F(UdiTest, ScanTakesIdsAndDataAsTheMarksCome) {
  RawTrack track;
  track.Add(0x4E, 30);
  track.Id(1, 0, 1, 0);
  track.Id(1, 0, 2, 0);  // a second ID while the first waits: skipped
  track.Data(0xFB, 128, 0x10);
  track.Id(1, 0, 3, 1);
  track.Data(0xF8, 256, 0x20);  // deleted data, good CRC
  track.Id(1, 0, 4, 0);
  track.Data(0xFB, 128, 0x30, false);
  track.Id(1, 0, 5, 2);  // no data field follows
  track.Add(0x4E, 100);
  ASSERT_TRUE(LoadUDIFromBytes(*loaded, MakeUdi({track}, 1)));
  EXPECT_EQ(Slot(0, 0).IdSector, 1);
  EXPECT_EQ(Slot(0, 0).IdCrc, IdFieldCrc(1, 0, 1, 0));
  EXPECT_EQ(Slot(0, 0).Data[0], 0x10);
  EXPECT_TRUE(Slot(0, 0).DataOk);
  EXPECT_EQ(Slot(0, 1).IdSector, 3);
  EXPECT_EQ(Slot(0, 1).DataLen, 256);
  EXPECT_EQ(Slot(0, 1).Data[255], static_cast<std::uint8_t>(0x20 + 255));
  EXPECT_TRUE(Slot(0, 1).DataOk);
  EXPECT_EQ(loaded->GetTrack(0).RawData[Slot(0, 1).DataPos - 1], 0xF8);
  EXPECT_FALSE(Slot(0, 2).DataOk);
  EXPECT_EQ(Slot(0, 2).DataLen, 128);
  EXPECT_TRUE(Slot(0, 3).Used);
  EXPECT_EQ(Slot(0, 3).IdSector, 5);
  EXPECT_EQ(Slot(0, 3).DataLen, 0);
  EXPECT_FALSE(Slot(0, 4).Used);
}

TEST_F(UdiTest, DataFieldEndingAtTheLastByteCountsAsCutOff) {
  RawTrack track;
  track.Add(0x4E, 30);
  track.Id(0, 0, 1, 0);
  track.Mark(0xFB);
  const std::size_t mark = track.bytes.size() - 1;
  for (int i = 0; i < 128; ++i) track.Add(0xE5);
  track.Crc(mark - 3);  // the CRC ends the track
  ASSERT_TRUE(LoadUDIFromBytes(*loaded, MakeUdi({track}, 1)));
  EXPECT_FALSE(Slot(0, 0).DataOk);
  EXPECT_EQ(Slot(0, 0).DataLen, 128);
  EXPECT_EQ(Slot(0, 0).DataPos, mark + 1);
  // One more byte of gap and it is a good sector.
  track.Add(0x4E);
  ASSERT_TRUE(LoadUDIFromBytes(*loaded, MakeUdi({track}, 1)));
  EXPECT_TRUE(Slot(0, 0).DataOk);
}

TEST_F(UdiTest, OversizedFieldsAndCrowdedTracksStayInsideTheModel) {
  RawTrack crowded;
  crowded.Add(0x4E, 30);
  for (int i = 0; i < 22; ++i) {
    crowded.Id(0, 0, static_cast<std::uint8_t>(i + 1), 0);
    crowded.Data(0xFB, 128, static_cast<std::uint8_t>(i));
  }
  RawTrack big;
  big.Add(0x4E, 30);
  big.Id(0, 0, 99, 6);  // 8192 bytes: runs into the end, kept as 1100
  big.Mark(0xFB);
  big.Add(0x55, 1500);
  RawTrack tail;  // an ID mark in the last bytes of the track is not taken
  tail.Add(0x4E, 30);
  tail.Mark(0xFE);
  tail.Add(0x01, 5);
  ASSERT_TRUE(LoadUDIFromBytes(*loaded, MakeUdi({crowded, big, tail}, 1)));
  EXPECT_EQ(Slot(0, 19).IdSector, 20);  // the 20 slots are filled, the rest dropped
  EXPECT_EQ(Slot(0, 19).Data[0], 19);
  EXPECT_EQ(Slot(1, 0).DataLen, 1100);
  EXPECT_FALSE(Slot(1, 0).DataOk);
  EXPECT_EQ(Slot(1, 0).Data[1099], 0x55);
  EXPECT_FALSE(Slot(2, 0).Used);
}

// ---- cross-checks with MAME's floptool through HxC MFM bit-cell files ----

constexpr std::uint16_t kSyncA1Cells = 0x4489;  // A1 with a missing clock bit
constexpr std::uint16_t kSyncC2Cells = 0x5224;  // C2 with a missing clock bit

// MFM cells of one raw track, first cell in the top bit of the first byte.
Bytes EncodeMfm(ByteSpan raw, ByteSpan syncMap) {
  Bytes cells;
  int previous = 0;
  for (std::size_t k = 0; k < raw.size(); ++k) {
    std::uint16_t word = 0;
    for (int bit = 7; bit >= 0; --bit) {
      const int data = (raw[k] >> bit) & 1;
      const int clock = previous == 0 && data == 0 ? 1 : 0;
      word = static_cast<std::uint16_t>(word << 2 | clock << 1 | data);
      previous = data;
    }
    if ((syncMap[k / 8] >> (k % 8)) & 1) word = raw[k] == 0xC2 ? kSyncC2Cells : kSyncA1Cells;
    cells.push_back(static_cast<std::uint8_t>(word >> 8));
    cells.push_back(static_cast<std::uint8_t>(word));
  }
  return cells;
}

// Bytes and sync flags of MFM cells. The first sync word after three zero
// bytes sets the byte alignment (the cells before it count as gap bytes);
// from then on sync words count only where a byte starts, since a sync
// pattern can show up across byte boundaries.
RawTrack DecodeMfm(ByteSpan cells) {
  constexpr std::uint64_t kThreeZeroBytes = 0xAAAAAAAAAAAA;
  RawTrack track;
  std::uint64_t history = 0;
  int count = 0;
  bool aligned = false;
  for (std::size_t i = 0; i < cells.size() * 8; ++i) {
    history = history << 1 | ((cells[i / 8] >> (7 - i % 8)) & 1);
    ++count;
    const auto word = static_cast<std::uint16_t>(history);
    const bool isSync = word == kSyncA1Cells || word == kSyncC2Cells;
    if (isSync && (aligned ? count == 16 : (history >> 16 & 0xFFFFFFFFFFFF) == kThreeZeroBytes)) {
      track.Add(word == kSyncA1Cells ? 0xA1 : 0xC2, 1, true);
      aligned = true;
      count = 0;
    } else if (aligned && count == 16) {
      std::uint8_t value = 0;
      for (int bit = 7; bit >= 0; --bit) value = static_cast<std::uint8_t>(value << 1 | ((word >> (2 * bit)) & 1));
      track.Add(value);
      count = 0;
    } else if (!aligned && count == 16) {
      track.Add(0x4E);
      count = 0;
    }
  }
  return track;
}

// An HxC MFM file ("HXCMFM"): header, track list, then each track's cells.
Bytes UdiToHxcMfm(const Bytes& udi) {
  const int cylinders = udi[9] + 1;
  const int sides = udi[10] + 1;
  std::vector<Bytes> tracks;
  std::size_t pos = 16;
  for (int t = 0; t < cylinders * sides; ++t) {
    const std::size_t length = ReadLe16(&udi[pos + 1]);
    const ByteSpan raw(&udi[pos + 3], length);
    const ByteSpan map(&udi[pos + 3 + length], (length + 7) / 8);
    tracks.push_back(EncodeMfm(raw, map));
    pos += 3 + length + (length + 7) / 8;
  }
  Bytes file = {'H', 'X', 'C', 'M', 'F', 'M', 0};
  AppendLe16(file, static_cast<std::uint16_t>(cylinders));
  file.push_back(static_cast<std::uint8_t>(sides));
  AppendLe16(file, 300);  // rpm
  AppendLe16(file, 250);  // kbit/s
  file.push_back(0);
  AppendLe32(file, 19);  // track list offset
  std::uint32_t offset = static_cast<std::uint32_t>(19 + 11 * tracks.size());
  for (std::size_t t = 0; t < tracks.size(); ++t) {
    AppendLe16(file, static_cast<std::uint16_t>(t / sides));
    file.push_back(static_cast<std::uint8_t>(t % sides));
    AppendLe32(file, static_cast<std::uint32_t>(tracks[t].size()));
    AppendLe32(file, offset);
    offset += static_cast<std::uint32_t>(tracks[t].size());
  }
  for (const auto& track : tracks) file.insert(file.end(), track.begin(), track.end());
  return file;
}

std::vector<RawTrack> HxcMfmTracks(const Bytes& file) {
  std::vector<RawTrack> tracks;
  const int count = ReadLe16(&file[7]) * file[9];
  const std::size_t list = ReadLe32(&file[15]);
  for (int t = 0; t < count; ++t) {
    const std::uint8_t* entry = &file[list + 11 * static_cast<std::size_t>(t)];
    tracks.push_back(DecodeMfm(ByteSpan(&file[ReadLe32(entry + 7)], ReadLe32(entry + 3))));
  }
  return tracks;
}

const char* kTrdosImage = "trd/alfishe_unreal-ng__EyeAche.trd";

TEST_F(UdiTest, FloptoolReadsOurTracksBackToTheSameSectors) {
  if (!test::HaveProgram("floptool")) GTEST_SKIP() << "floptool (mame-tools) is not installed";
  const Bytes trd = test::ReadFileBytes(test::CorpusFile(kTrdosImage));
  for (int t = 0; t < 160; ++t) {
    for (int s = 0; s < 16; ++s) {
      test::PutSector(*disk, t, s, static_cast<std::uint8_t>(t / 2), 0, static_cast<std::uint8_t>(s + 1), 1);
      std::copy_n(&trd[static_cast<std::size_t>(t * 4096 + s * 256)], 256, disk->GetSector(t, s).Data.begin());
    }
  }
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "disk.mfm", UdiToHxcMfm(Save()));
  const auto run = test::RunProgram(
      "floptool", {"flopconvert", "mfm", "trd", (dir / "disk.mfm").string(), (dir / "disk.trd").string()});
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
  EXPECT_TRUE(test::ReadFileBytes(dir / "disk.trd") == trd);
}

TEST_F(UdiTest, ScanFindsTheSectorsOfTracksFloptoolWrote) {
  if (!test::HaveProgram("floptool")) GTEST_SKIP() << "floptool (mame-tools) is not installed";
  test::ScratchDir dir;
  const auto run = test::RunProgram(
      "floptool", {"flopconvert", "trd", "mfm", test::CorpusFile(kTrdosImage).string(), (dir / "disk.mfm").string()});
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
  const auto tracks = HxcMfmTracks(test::ReadFileBytes(dir / "disk.mfm"));
  ASSERT_EQ(tracks.size(), 160u);
  ASSERT_TRUE(LoadUDIFromBytes(*loaded, MakeUdi(tracks))) << loaded->LastError;
  const Bytes trd = test::ReadFileBytes(test::CorpusFile(kTrdosImage));
  for (int t = 0; t < 160; ++t) {
    int found = 0;
    for (const TSectorRec& sector : loaded->GetTrack(static_cast<std::uint8_t>(t)).Sectors) {
      if (!sector.Used) continue;
      ++found;
      ASSERT_TRUE(sector.IdSector >= 1 && sector.IdSector <= 16);
      EXPECT_TRUE(sector.DataOk);
      EXPECT_EQ(sector.DataLen, 256);
      EXPECT_TRUE(std::equal(sector.Data.begin(), sector.Data.begin() + 256,
                             &trd[static_cast<std::size_t>(t * 4096 + (sector.IdSector - 1) * 256)]))
          << "track " << t << " sector " << int(sector.IdSector);
    }
    EXPECT_EQ(found, 16) << "track " << t;
  }
  // Rebuilt on their own foreign layout, the tracks still read back in floptool.
  loaded->KeepRaw = false;
  Bytes rebuilt;
  ASSERT_TRUE(SaveUDIToBytes(*loaded, rebuilt)) << loaded->LastError;
  test::WriteFileBytes(dir / "rebuilt.mfm", UdiToHxcMfm(rebuilt));
  const auto back = test::RunProgram(
      "floptool", {"flopconvert", "mfm", "trd", (dir / "rebuilt.mfm").string(), (dir / "rebuilt.trd").string()});
  ASSERT_EQ(back.exitCode, 0) << back.out << back.err;
  EXPECT_TRUE(test::ReadFileBytes(dir / "rebuilt.trd") == trd);
}

// ---- real files made by other tools ----

TEST_F(UdiTest, CorpusDiskWithADescriptionLoads) {
  const auto file = test::CorpusFile("udi/alfishe_unreal-ng__Zvezdnoe_Nasledie.udi");
  ASSERT_TRUE(LoadUDI(*loaded, file)) << loaded->LastError;
  EXPECT_EQ(loaded->CountTracks(), 160);
  int good = 0;
  for (int t = 0; t < 160; ++t) {
    const TTrack& track = loaded->GetTrack(static_cast<std::uint8_t>(t));
    EXPECT_EQ(track.RawLength, 6400);
    for (int s = 0; s < 16; ++s) {
      const TSectorRec& sector = track.Sectors[s];
      EXPECT_EQ(sector.IdTrack, t / 2);
      EXPECT_EQ(sector.IdCrc, IdFieldCrc(sector.IdTrack, sector.IdSide, sector.IdSector, sector.IdSize));
      good += sector.DataOk && sector.DataLen == 256 ? 1 : 0;
    }
  }
  EXPECT_EQ(good, 160 * 16);
  // The TR-DOS system sector (sector 9 of track 0) says it is a TR-DOS disk.
  const auto sector9 = std::find_if(loaded->GetTrack(0).Sectors.begin(), loaded->GetTrack(0).Sectors.end(),
                                    [](const TSectorRec& s) { return s.IdSector == 9; });
  ASSERT_NE(sector9, loaded->GetTrack(0).Sectors.end());
  EXPECT_EQ(sector9->Data[0xE7], 0x10);
}

TEST_F(UdiTest, CorpusDiskSavedAgainKeepsItsSectors) {
  ASSERT_TRUE(LoadUDI(*disk, test::CorpusFile("udi/alfishe_unreal-ng__Zvezdnoe_Nasledie.udi")));
  for (std::uint8_t keepRaw : {0, 1}) {
    disk->KeepRaw = keepRaw;
    ASSERT_TRUE(LoadUDIFromBytes(*loaded, Save())) << loaded->LastError;
    EXPECT_EQ(test::DiskDifference(*disk, *loaded, {}), "") << int(keepRaw);
  }
}

// An emulator's test disk whose track records are zlib-compressed: a TR-DOS
// disk with one BASIC program, "success". Saved again it is a plain UDI.
TEST_F(UdiTest, CompressedVariantLoadsAndSavesPlain) {
  const Bytes file = test::ReadFileBytes(test::CorpusFile("udi/vamposdecampos_fuse-emulator-svn__success.udi"));
  ASSERT_EQ(file[16], 0xF0) << "the first record is compressed";
  ASSERT_TRUE(LoadUDIFromBytes(*disk, file)) << disk->LastError;
  EXPECT_EQ(disk->CountTracks(), 160);
  EXPECT_EQ(disk->GetTrack(159).RawLength, 6250);
  TrdosCatalog catalog;
  ASSERT_TRUE(ReadCatalog(*disk, catalog));
  ASSERT_EQ(catalog.EntryCount, 1);
  EXPECT_EQ(NameText(catalog.Entries[0].Name), "success ");
  EXPECT_EQ(catalog.Entries[0].FileType, 'B');

  const Bytes plain = Save();
  EXPECT_EQ(plain[16], 0) << "written records are plain";
  ASSERT_TRUE(LoadUDIFromBytes(*loaded, plain)) << loaded->LastError;
  EXPECT_EQ(test::DiskDifference(*disk, *loaded, {}), "");

  // A damaged stream is refused, the tracks before it stay.
  Bytes damaged = file;
  damaged[0x10 + 6 + 100] ^= 0x55;  // inside the first record's stream
  EXPECT_EQ(LoadError(Reseal(damaged)), "Error in a compressed track of the UDI file!");
  EXPECT_EQ(loaded->CountTracks(), 0);
}

}  // namespace
}  // namespace velloran
