// DSK facts the shared suites do not reach: the status bytes of each sector
// state, blank and absent tracks, weak sectors, both headers, the limits.
#include <gtest/gtest.h>

#include <cstring>

#include "formats/dsk.h"
#include "formats/format_table.h"
#include "formats/sample_disks.h"
#include "formats/udf.h"
#include "support/test_support.h"

namespace velloran {
namespace {

// A disk with every sector state a controller reports, a present track
// without sectors (track 2) and an absent one (track 3) below track 4.
void MakeStatesDisk(TZX_Disk& disk) {
  disk.ClearDisk();
  test::PutSector(disk, 0, 0, 0, 0, 1, 2);         // good
  test::PutSector(disk, 0, 1, 0, 0, 2, 2, false);  // data CRC error
  test::PutSector(disk, 0, 2, 0, 0, 3, 2);         // no data field
  disk.GetSector(0, 2).DataLen = 0;
  disk.GetSector(0, 2).DataOk = false;
  test::PutSector(disk, 0, 3, 7, 1, 0xF0, 2);  // ID CRC error
  disk.GetSector(0, 3).IdCrc ^= 0xFFFF;
  test::PutSector(disk, 1, 0, 0, 1, 1, 2);
  disk.GetTrack(2).Present = true;
  test::PutSector(disk, 4, 0, 2, 0, 1, 2);
}

TEST(Dsk, ExtendedLayoutAndStatusBytesRoundTrip) {
  TZX_Disk disk;
  MakeStatesDisk(disk);
  Bytes file;
  ASSERT_TRUE(SaveDSKToBytes(disk, file)) << disk.LastError;
  ASSERT_EQ(std::memcmp(file.data(), "EXTENDED CPC DSK File\r\nDisk-Info\r\n", 34), 0);
  EXPECT_EQ(std::memcmp(&file[0x22], "Velloran", 8), 0);
  EXPECT_EQ(file[0x30], 3);  // cylinders
  EXPECT_EQ(file[0x31], 2);  // sides
  // Track sizes / 256: header and data of 4 sectors (3 with 512 bytes), of
  // one, a track without sectors, an absent track, then one more.
  EXPECT_EQ((Bytes(file.begin() + 0x34, file.begin() + 0x3A)), (Bytes{7, 3, 1, 0, 3, 0}));

  const std::uint8_t* track0 = &file[0x100];
  EXPECT_EQ(std::memcmp(track0, "Track-Info\r\n", 12), 0);
  EXPECT_EQ(track0[0x14], 2);  // size code
  EXPECT_EQ(track0[0x15], 4);  // sectors
  const auto info = [&](int s) { return Bytes(track0 + 0x18 + 8 * s, track0 + 0x20 + 8 * s); };
  EXPECT_EQ(info(0), (Bytes{0, 0, 1, 2, 0x00, 0x00, 0x00, 0x02}));
  EXPECT_EQ(info(1), (Bytes{0, 0, 2, 2, 0x20, 0x20, 0x00, 0x02}));
  EXPECT_EQ(info(2), (Bytes{0, 0, 3, 2, 0x01, 0x01, 0x00, 0x00}));
  EXPECT_EQ(info(3), (Bytes{7, 1, 0xF0, 2, 0x20, 0x00, 0x00, 0x02}));
  EXPECT_EQ(file[0x100 + 7 * 256 + 3 * 256 + 0x15], 0) << "a track without sectors lists none";

  TZX_Disk loaded;
  ASSERT_TRUE(LoadDSKFromBytes(loaded, file)) << loaded.LastError;
  EXPECT_EQ(test::DiskDifference(disk, loaded, {}), "");
  EXPECT_TRUE(loaded.GetTrack(2).Present);
  EXPECT_FALSE(loaded.GetTrack(3).Present);
  EXPECT_TRUE(loaded.Notices.empty());
}

TEST(Dsk, OneSidedDiskHasOneSideAndLoadsOnEvenTracks) {
  TZX_Disk disk;
  for (int t = 0; t < 80; t += 2) test::PutSector(disk, t, 0, static_cast<std::uint8_t>(t / 2), 0, 0xC1, 2);
  Bytes file;
  ASSERT_TRUE(SaveDSKToBytes(disk, file));
  EXPECT_EQ(file[0x30], 40);
  EXPECT_EQ(file[0x31], 1);
  TZX_Disk loaded;
  ASSERT_TRUE(LoadDSKFromBytes(loaded, file)) << loaded.LastError;
  EXPECT_EQ(test::DiskDifference(disk, loaded, {}), "");
}

// The original header: one track size for all, data lengths from the track's
// size code, no length per sector.
TEST(Dsk, StandardVariantHoldsUniformTracksAndRefusesOthers) {
  TZX_Disk disk;
  test::MakeKdiLayoutDisk(disk, 4);
  disk.GetSector(1, 2).DataOk = false;
  Bytes file;
  ASSERT_TRUE(SaveDSKToBytes(disk, file, DskVariant::Standard)) << disk.LastError;
  ASSERT_EQ(std::memcmp(file.data(), "MV - CPCEMU Disk-File\r\nDisk-Info\r\n", 34), 0);
  EXPECT_EQ(ReadLe16(&file[0x32]), 256 + 5 * 1024);
  EXPECT_EQ(file.size(), 256u + 4 * (256 + 5 * 1024));
  EXPECT_EQ(ReadLe16(&file[0x100 + 0x18 + 6]), 0) << "no length per sector";
  TZX_Disk loaded;
  ASSERT_TRUE(LoadDSKFromBytes(loaded, file)) << loaded.LastError;
  EXPECT_EQ(test::DiskDifference(disk, loaded, {}), "");

  test::PutSector(disk, 2, 5, 1, 0, 6, 1);
  EXPECT_FALSE(SaveDSKToBytes(disk, file, DskVariant::Standard));
  EXPECT_EQ(test::English(disk.LastError),
            "The standard DSK cannot hold the disk: track 2 has sectors of different sizes; save it as an extended "
            "DSK.");
  disk.GetTrack(2).ClearSector(5);
  disk.GetSector(3, 1).DataLen = 100;
  EXPECT_FALSE(SaveDSKToBytes(disk, file, DskVariant::Standard));
  EXPECT_NE(test::English(disk.LastError).find("track 3, sector 2 holds 100 of its 1024 bytes"), std::string::npos);
  EXPECT_TRUE(SaveDSKToBytes(disk, file)) << "the extended variant holds it";
}

// An extended file as a copy-protected disk has it: a weak sector stored
// three times, a long sector, a deleted-data mark, one track of 22 sectors,
// blank cylinders past 82.
struct Sector {
  std::uint8_t c, h, r, n, st1, st2;
  Bytes data;
};

Bytes ExtendedFile(int cylinders, const std::vector<std::vector<Sector>>& tracks) {
  Bytes file(256, 0);
  std::memcpy(file.data(), "EXTENDED CPC DSK File\r\nDisk-Info\r\n", 34);
  file[0x30] = static_cast<std::uint8_t>(cylinders);
  file[0x31] = 1;
  for (std::size_t t = 0; t < tracks.size(); ++t) {
    Bytes block(256, 0);
    std::memcpy(block.data(), "Track-Info\r\n", 12);
    block[0x10] = static_cast<std::uint8_t>(t);
    block[0x15] = static_cast<std::uint8_t>(tracks[t].size());
    for (std::size_t s = 0; s < tracks[t].size(); ++s) {
      const Sector& sector = tracks[t][s];
      std::uint8_t* info = &block[0x18 + 8 * s];
      info[0] = sector.c, info[1] = sector.h, info[2] = sector.r, info[3] = sector.n;
      info[4] = sector.st1, info[5] = sector.st2;
      WriteLe16(info + 6, static_cast<std::uint16_t>(sector.data.size()));
      block.insert(block.end(), sector.data.begin(), sector.data.end());
    }
    block.resize((block.size() + 255) / 256 * 256, 0);
    file[0x34 + t] = static_cast<std::uint8_t>(block.size() / 256);
    file.insert(file.end(), block.begin(), block.end());
  }
  return file;
}

TEST(Dsk, WhatTheDiskCannotHoldIsKeptAsFarAsItGoesAndNoted) {
  Bytes weak(3 * 512);
  for (std::size_t i = 0; i < weak.size(); ++i) weak[i] = static_cast<std::uint8_t>(i / 512 + 1);
  std::vector<Sector> crowded;
  for (int r = 1; r <= 22; ++r) crowded.push_back({1, 0, static_cast<std::uint8_t>(r), 0, 0, 0, Bytes(128, 0x11)});
  std::vector<std::vector<Sector>> tracks = {{{0, 0, 1, 2, 0x20, 0x20, weak},
                                              {0, 0, 2, 6, 0x20, 0x20, Bytes(6144, 0x66)},
                                              {0, 0, 3, 2, 0, 0x40, Bytes(512, 0x33)}},
                                             crowded};
  tracks.resize(86);  // cylinders 2..85 blank
  TZX_Disk disk;
  ASSERT_TRUE(LoadDSKFromBytes(disk, ExtendedFile(86, tracks))) << disk.LastError;

  const TSectorRec& first = disk.GetSector(0, 0);
  EXPECT_EQ(first.DataLen, 512);
  EXPECT_EQ(first.Data[511], 1) << "the first copy";
  EXPECT_FALSE(first.DataOk);
  EXPECT_EQ(first.ExtraCopies, (std::vector<DataCopy>{{false, Bytes(512, 2)}, {false, Bytes(512, 3)}}));
  EXPECT_EQ(disk.GetSector(0, 1).DataLen, kSectorDataSize);
  EXPECT_TRUE(disk.GetSector(0, 2).DataOk);
  EXPECT_EQ(disk.GetTrack(2).CountSectors(), kSlotCount);
  EXPECT_EQ(disk.GetSector(2, 19).IdSector, 20);
  EXPECT_EQ(disk.CountTracks(), 83);
  EXPECT_TRUE(disk.GetSector(0, 2).DeletedMark);
  EXPECT_EQ(test::English(disk.Notices),
            (std::vector<std::string>{
                "DSK: track 0, sector 2: 6144 bytes of data; the first 1100 were loaded.",
                "DSK: track 2: 22 sectors; the first 20 were loaded.",
                "The DSK image is larger than the program holds: the blank tracks of cylinders 83–85 were "
                "not loaded.",
            }));
  // Each of them is a loss the disk carries to every save, even one as DSK.
  std::vector<LossKind> kinds;
  for (const auto& loss : disk.Losses) kinds.push_back(loss.kind);
  EXPECT_EQ(kinds, (std::vector<LossKind>{LossKind::SectorData, LossKind::SectorData}));
  EXPECT_EQ(FindSaveLosses(disk, *FindFormat("DSK")).size(), 2u) << "the weak sector's copies are kept, not lost";

  tracks[84] = {{84, 0, 1, 2, 0, 0, Bytes(512, 0)}};
  ASSERT_TRUE(LoadDSKFromBytes(disk, ExtendedFile(86, tracks))) << disk.LastError;
  EXPECT_EQ(disk.Losses.back().kind, LossKind::CylinderBeyondDisk);
  EXPECT_EQ(disk.Losses.back().track, 168);
}

// Three copies of a weak sector survive DSK -> udf -> DSK byte for byte; a
// sector stored nine times keeps the first eight; formats of one copy count
// the further copies as a loss.
TEST(Dsk, WeakSectorCopiesSurviveUdfAndAreALossElsewhere) {
  Bytes weak(3 * 256);
  for (std::size_t i = 0; i < weak.size(); ++i) weak[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
  const std::vector<std::vector<Sector>> tracks = {{{0, 0, 1, 1, 0x20, 0x20, weak},
                                                    {0, 0, 2, 1, 0, 0, Bytes(256, 0x22)},
                                                    {0, 0, 3, 1, 0x20, 0x20, Bytes(9 * 256, 9)}}};
  TZX_Disk disk;
  ASSERT_TRUE(LoadDSKFromBytes(disk, ExtendedFile(1, tracks))) << disk.LastError;
  ASSERT_EQ(disk.GetSector(0, 0).ExtraCopies.size(), 2u);
  EXPECT_EQ(disk.GetSector(0, 2).ExtraCopies.size(), static_cast<std::size_t>(kMaxSectorCopies - 1));
  Bytes first;
  ASSERT_TRUE(SaveDSKToBytes(disk, first));
  TZX_Disk again;
  ASSERT_TRUE(LoadDSKFromBytes(again, first));
  EXPECT_EQ(ReadLe16(&first[256 + 0x18 + 6]), 3 * 256) << "the weak sector's data length holds its copies";
  EXPECT_TRUE(std::equal(weak.begin(), weak.end(), first.begin() + 512));

  Bytes udf;
  ASSERT_TRUE(SaveUDFToBytes(again, udf));
  TZX_Disk fromUdf;
  ASSERT_TRUE(LoadUDFFromBytes(fromUdf, udf)) << fromUdf.LastError;
  Bytes second;
  ASSERT_TRUE(SaveDSKToBytes(fromUdf, second));
  EXPECT_EQ(first, second);

  const ImageFormat* trd = FindFormat("TRD");
  ASSERT_NE(trd, nullptr);
  const SaveLosses losses = FindSaveLosses(fromUdf, *trd);
  EXPECT_TRUE(std::any_of(losses.begin(), losses.end(), [](const SaveLoss& loss) {
    return loss.kind == LossKind::Copies && loss.sector == 1 &&
           test::English(loss.detail) == "3 copies of a weak sector, the format holds one";
  }));
  EXPECT_TRUE(FindSaveLosses(fromUdf, *FindFormat("DSK")).empty());
  fromUdf.GetSector(0, 0).ExtraCopies[1].data.resize(100);
  EXPECT_EQ(SaveLossesDSK(fromUdf, "DSK").size(), 1u);
  Bytes standard;
  EXPECT_FALSE(SaveDSKToBytes(fromUdf, standard, DskVariant::Standard));
}

TEST(Dsk, DamagedHeadersAreRefused) {
  TZX_Disk disk;
  EXPECT_FALSE(LoadDSKFromBytes(disk, Bytes(300, 0)));
  EXPECT_EQ(test::English(disk.LastError), "The file is not in the DSK format!");
  Bytes file = ExtendedFile(1, {{{0, 0, 1, 2, 0, 0, Bytes(512, 1)}}});
  file[0x31] = 3;
  EXPECT_FALSE(LoadDSKFromBytes(disk, file));
  EXPECT_EQ(test::English(disk.LastError), "Error in the DSK file header!");
  file[0x31] = 1;
  file[0x100] = 'X';
  EXPECT_FALSE(LoadDSKFromBytes(disk, file));
  EXPECT_EQ(test::English(disk.LastError), "Error in a track header of the DSK file!");
  file.pop_back();
  EXPECT_FALSE(LoadDSKFromBytes(disk, file));
  EXPECT_EQ(test::English(disk.LastError), "Error in the DSK file length!");
}

}  // namespace
}  // namespace velloran
