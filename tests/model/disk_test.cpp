#include <gtest/gtest.h>

#include <memory>

#include "model/disk.h"

namespace velloran {
namespace {

TEST(Disk, NewDiskIsEmpty) {
  const auto disk = std::make_unique<TZX_Disk>();
  ASSERT_EQ(disk->Tracks.size(), 166u);
  for (int t = 0; t < kTrackCount; ++t) {
    const TTrack& track = disk->Tracks[t];
    EXPECT_EQ(track.TrackNum, t);
    EXPECT_EQ(track.Present, 0);
    EXPECT_EQ(track.RawLength, 0);
    for (const auto& sector : track.Sectors) EXPECT_EQ(sector.Used, 0);
  }
  EXPECT_EQ(disk->BaseTrack, 255);
  EXPECT_EQ(disk->TrackCount, 0);
  EXPECT_EQ(disk->TracksToWrite(), 0);
}

TEST(Disk, CountSectorsLooksAtAllTwentySlots) {
  const auto disk = std::make_unique<TZX_Disk>();
  TTrack& track = disk->GetTrack(3);
  track.Sectors[0].Used = 0xFF;
  track.Sectors[5].Used = 1;
  track.Sectors[19].Used = 0xFF;
  EXPECT_EQ(track.CountSectors(), 3);
  EXPECT_EQ(track.SectorCount, 3);
}

TEST(Disk, CountTracksCountsPresentTracksOnly) {
  const auto disk = std::make_unique<TZX_Disk>();
  for (int t = 0; t < 80; ++t) disk->GetTrack(static_cast<std::uint8_t>(t)).Present = 0xFF;
  disk->GetTrack(40).Present = 0;
  EXPECT_EQ(disk->CountTracks(), 79);
  EXPECT_EQ(disk->TrackCount, 79);
  EXPECT_EQ(disk->TracksToWrite(), 80);  // positional writers keep track 79
}

TEST(Disk, SectorsToRawNeedsRoomBeforeTheEnd) {
  const auto disk = std::make_unique<TZX_Disk>();
  TTrack& track = disk->GetTrack(0);
  track.Present = 0xFF;
  track.RawValid = 1;
  track.RawLength = 300;
  for (int i = 0; i < 2; ++i) {
    track.Sectors[i].Used = 0xFF;
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
  disk->KeepRaw = 1;
  disk->ErrTrack = 5;
  disk->LastError = "x";
  disk->UseBaseTrack = 1;
  disk->BaseTrack = 3;
  disk->Title = "t";
  disk->Comments = {"c"};
  disk->GetTrack(7).Present = 0xFF;
  disk->GetTrack(7).Log = {"l"};
  disk->ClearDisk();
  EXPECT_EQ(disk->KeepRaw, 1);
  EXPECT_EQ(disk->ErrTrack, 5);
  EXPECT_EQ(disk->LastError, "x");
  EXPECT_EQ(disk->UseBaseTrack, 0);
  EXPECT_EQ(disk->BaseTrack, 255);
  EXPECT_TRUE(disk->Title.empty());
  EXPECT_TRUE(disk->Comments.empty());
  EXPECT_EQ(disk->GetTrack(7).Present, 0);
  EXPECT_TRUE(disk->GetTrack(7).Log.empty());
  EXPECT_EQ(disk->GetTrack(7).TrackNum, 7);
}

}  // namespace
}  // namespace velloran
