#include <gtest/gtest.h>

#include <memory>

#include "common/bytes.h"
#include "model/disk.h"
#include "model/disk_fingerprint.h"

namespace velloran {
namespace {

TEST(Disk, NewDiskIsEmpty) {
  const auto disk = std::make_unique<TZX_Disk>();
  ASSERT_EQ(disk->Tracks.size(), 166u);
  for (int t = 0; t < kTrackCount; ++t) {
    const TTrack& track = disk->Tracks[t];
    EXPECT_EQ(track.TrackNum, t);
    EXPECT_FALSE(track.Present);
    EXPECT_EQ(track.RawLength, 0);
    for (const auto& sector : track.Sectors) EXPECT_FALSE(sector.Used);
  }
  EXPECT_EQ(disk->BaseTrack, 255);
  EXPECT_EQ(disk->TrackCount, 0);
  EXPECT_EQ(disk->TracksToWrite(), 0);
}

// Slot data and raw images take memory only once written, and behave as
// arrays of their own all the same: untouched ones read as zeros, copies are
// independent, clearing hands the memory back.
TEST(Disk, ByteArraysAreAllocatedOnFirstWriteAndCopiedWhole) {
  TSectorRec sector;
  const TSectorRec& untouched = sector;
  EXPECT_FALSE(sector.Data.Allocated());
  EXPECT_EQ(untouched.Data[kSectorDataSize - 1], 0);
  EXPECT_FALSE(sector.Data.Allocated());
  const Bytes zeros(300, 0);
  sector.Data.CopyFrom(zeros.data(), zeros.size());
  EXPECT_FALSE(sector.Data.Allocated());

  sector.Data[1099] = 7;
  ASSERT_TRUE(sector.Data.Allocated());
  TSectorRec copy = sector;
  copy.Data[1099] = 8;
  EXPECT_EQ(sector.Data[1099], 7);
  const Bytes bytes(2000, 5);
  copy.Data.CopyFrom(bytes.data(), bytes.size());  // cut to the array
  EXPECT_EQ(copy.Data[1099], 5);
  EXPECT_FALSE(copy.Data == sector.Data);
  copy = sector;
  EXPECT_TRUE(copy.Data == sector.Data);
  copy.Data.fill(0);
  EXPECT_FALSE(copy.Data.Allocated());
  EXPECT_TRUE(copy.Data == TSectorRec{}.Data);

  TTrack track;
  track.RawData.fill(0x4E);
  track.Sectors[3] = sector;
  track.Clear();
  EXPECT_FALSE(track.RawData.Allocated());
  EXPECT_FALSE(track.Sectors[3].Data.Allocated());
}

TEST(Disk, CountSectorsLooksAtAllTwentySlots) {
  const auto disk = std::make_unique<TZX_Disk>();
  TTrack& track = disk->GetTrack(3);
  track.Sectors[0].Used = true;
  track.Sectors[5].Used = true;
  track.Sectors[19].Used = true;
  EXPECT_EQ(track.CountSectors(), 3);
  EXPECT_EQ(track.SectorCount, 3);
}

TEST(Disk, CountTracksCountsPresentTracksOnly) {
  const auto disk = std::make_unique<TZX_Disk>();
  for (int t = 0; t < 80; ++t) disk->GetTrack(static_cast<std::uint8_t>(t)).Present = true;
  disk->GetTrack(40).Present = false;
  EXPECT_EQ(disk->CountTracks(), 79);
  EXPECT_EQ(disk->TrackCount, 79);
  EXPECT_EQ(disk->TracksToWrite(), 80);  // positional writers keep track 79
}

TEST(Disk, SectorsToRawNeedsRoomBeforeTheEnd) {
  const auto disk = std::make_unique<TZX_Disk>();
  TTrack& track = disk->GetTrack(0);
  track.Present = true;
  track.RawValid = true;
  track.RawLength = 300;
  for (int i = 0; i < 2; ++i) {
    track.Sectors[i].Used = true;
    track.Sectors[i].DataLen = 100;
    track.Sectors[i].Data.fill(static_cast<std::uint8_t>(0x10 + i));
  }
  track.Sectors[0].DataPos = 199;  // ends at 299 < 300: copied
  track.Sectors[1].DataPos = 200;  // ends exactly at 300: skipped
  track.CountSectors();
  track.SectorsToRaw();
  EXPECT_EQ(track.RawData[199], 0x10);
  EXPECT_EQ(track.RawData[298], 0x10);
  EXPECT_EQ(track.RawData[299], 0x00);
}

TEST(Disk, ClearDiskKeepsSessionValues) {
  const auto disk = std::make_unique<TZX_Disk>();
  disk->KeepRaw = true;
  disk->ErrTrack = 5;
  disk->LastError = {MessageId::NoTracksToWrite};
  disk->UseBaseTrack = true;
  disk->BaseTrack = 3;
  disk->Title = "t";
  disk->Comments = {"c"};
  disk->GetTrack(7).Present = true;
  disk->GetTrack(7).Log = {"l"};
  disk->ClearDisk();
  EXPECT_TRUE(disk->KeepRaw);
  EXPECT_EQ(disk->ErrTrack, 5);
  EXPECT_EQ(disk->LastError.phrase.id, MessageId::NoTracksToWrite);
  EXPECT_FALSE(disk->UseBaseTrack);
  EXPECT_EQ(disk->BaseTrack, 255);
  EXPECT_TRUE(disk->Title.empty());
  EXPECT_TRUE(disk->Comments.empty());
  EXPECT_FALSE(disk->GetTrack(7).Present);
  EXPECT_TRUE(disk->GetTrack(7).Log.empty());
  EXPECT_EQ(disk->GetTrack(7).TrackNum, 7);
}

// Every field a user sees or a file keeps changes the fingerprint; putting
// the value back gives the old fingerprint; counters and session values do not count.
TEST(Disk, FingerprintFollowsEveryKeptFieldAndNothingElse) {
  const auto disk = std::make_unique<TZX_Disk>();
  disk->GetTrack(4).Present = true;
  disk->GetSector(4, 2).Used = true;
  const std::uint64_t original = DiskFingerprint(*disk);
  auto changes = [&](const char* what, auto&& change, auto&& undo) {
    change();
    EXPECT_NE(DiskFingerprint(*disk), original) << what;
    undo();
    EXPECT_EQ(DiskFingerprint(*disk), original) << what << " undone";
  };
  TTrack& track = disk->GetTrack(4);
  TSectorRec& sector = disk->GetSector(4, 2);
  changes(
      "Present", [&] { track.Present = false; }, [&] { track.Present = true; });
  changes(
      "RawValid", [&] { track.RawValid = true; }, [&] { track.RawValid = false; });
  changes(
      "RawLength", [&] { track.RawLength = 10; }, [&] { track.RawLength = 0; });
  changes(
      "Log", [&] { track.Log.push_back("x"); }, [&] { track.Log.clear(); });
  changes(
      "a slot's Used", [&] { disk->GetSector(165, 19).Used = true; }, [&] { disk->GetSector(165, 19).Used = false; });
  changes(
      "IdTrack", [&] { sector.IdTrack = 1; }, [&] { sector.IdTrack = 0; });
  changes(
      "IdSide", [&] { sector.IdSide = 1; }, [&] { sector.IdSide = 0; });
  changes(
      "IdSector", [&] { sector.IdSector = 1; }, [&] { sector.IdSector = 0; });
  changes(
      "IdSize", [&] { sector.IdSize = 1; }, [&] { sector.IdSize = 0; });
  changes(
      "IdCrc", [&] { sector.IdCrc = 1; }, [&] { sector.IdCrc = 0; });
  changes(
      "ErrorCount", [&] { sector.ErrorCount = 1; }, [&] { sector.ErrorCount = 0; });
  changes(
      "DataOk", [&] { sector.DataOk = true; }, [&] { sector.DataOk = false; });
  changes(
      "DeletedMark", [&] { sector.DeletedMark = true; }, [&] { sector.DeletedMark = false; });
  changes(
      "Fm", [&] { track.Fm = true; }, [&] { track.Fm = false; });
  changes(
      "DataRate", [&] { track.DataRate = 300; }, [&] { track.DataRate = 0; });
  changes(
      "DataPos", [&] { sector.DataPos = 1; }, [&] { sector.DataPos = 0; });
  changes(
      "DataLen", [&] { sector.DataLen = 1; }, [&] { sector.DataLen = 0; });
  changes(
      "the last data byte", [&] { sector.Data.back() = 1; }, [&] { sector.Data.back() = 0; });
  changes(
      "Comments", [&] { disk->Comments = {"c"}; }, [&] { disk->Comments.clear(); });
  changes(
      "Title", [&] { disk->Title = "t"; }, [&] { disk->Title.clear(); });
  changes(
      "UseBaseTrack", [&] { disk->UseBaseTrack = true; }, [&] { disk->UseBaseTrack = false; });
  changes(
      "BaseTrack", [&] { disk->BaseTrack = 4; }, [&] { disk->BaseTrack = kNoBaseTrack; });
  // Two comment lines are not one line holding both.
  disk->Comments = {"ab", ""};
  const std::uint64_t twoLines = DiskFingerprint(*disk);
  disk->Comments = {"a", "b"};
  EXPECT_NE(DiskFingerprint(*disk), twoLines);
  disk->Comments.clear();

  // Raw bytes beyond RawLength are no part of the track.
  track.RawData[5] = 7;
  EXPECT_EQ(DiskFingerprint(*disk), original);
  track.RawLength = 6;
  const std::uint64_t withRaw = DiskFingerprint(*disk);
  track.RawData[5] = 8;
  EXPECT_NE(DiskFingerprint(*disk), withRaw);
  track.RawLength = 0;

  disk->CountTracks();
  track.CountSectors();
  disk->KeepRaw = true;
  disk->ErrTrack = 3;
  disk->ErrSector = 2;
  disk->LastError = {MessageId::NoTracksToWrite};
  disk->ShowDisabledSectors = true;
  EXPECT_EQ(DiskFingerprint(*disk), original);
}

}  // namespace
}  // namespace velloran
