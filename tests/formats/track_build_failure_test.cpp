// A disk whose tracks do not fit in the raw track a format stores is refused
// with the reason in the user's words: a high-density disk names its rate.
#include <gtest/gtest.h>

#include "formats/format_table.h"
#include "support/test_support.h"

namespace velloran {
namespace {

// Track 0 of a 5.25" 1.2 MB disk: 15 sectors of 512 bytes recorded at
// 500 kbit/s, twice what a 250 kbit/s revolution of 6250 bytes holds.
void MakeHighDensityTrack(TZX_Disk& disk) {
  TTrack& track = disk.GetTrack(0);
  track.Present = true;
  track.DataRate = 500;
  for (std::uint8_t r = 1; r <= 15; ++r) PlaceGoodSector(track.GetSector(r - 1), 0, 0, r, 2);
}

TEST(TrackBuildFailure, HighDensityTrackNamesItsRateInEveryRawTrackFormat) {
  test::ScratchDir dir;
  for (const char* key : {"UDI", "HFE", "MFI"}) {
    SCOPED_TRACE(key);
    TZX_Disk disk;
    MakeHighDensityTrack(disk);
    const ImageFormat& format = *FindFormat(key);
    SaveOptions lossy;
    lossy.lossy = true;
    Diagnostic error;
    const auto file = dir / ("hd." + std::string(format.defaultExtension));
    ASSERT_FALSE(SaveImageAs(disk, file, format, lossy, error));
    EXPECT_EQ(test::English(error), "The " + std::string(key) +
                                        " format cannot hold track 0: it has 15 sectors, 7680 bytes of data recorded "
                                        "at 500 kbit/s, and a track of the format is 6256 bytes, as at 250 kbit/s!");
    EXPECT_TRUE(test::Contains(RenderDiagnostic(Language::Russian, error), "на скорости 500 кбит/с"));
    EXPECT_FALSE(std::filesystem::exists(file)) << "a refused save writes nothing";
  }
}

TEST(TrackBuildFailure, TooManySectorsAtTheUsualRateNameTheirData) {
  TZX_Disk disk;
  MakeHighDensityTrack(disk);
  disk.GetTrack(0).DataRate = 0;  // rate not known: taken as 250 kbit/s
  Diagnostic error;
  test::ScratchDir dir;
  ASSERT_FALSE(SaveImageAs(disk, dir / "full.udi", *FindFormat("UDI"), {}, error));
  EXPECT_EQ(
      test::English(error),
      "The UDI format cannot hold track 0: 15 sectors with 7680 bytes of data do not fit in its 6256-byte track!");
}

}  // namespace
}  // namespace velloran
