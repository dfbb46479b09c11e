// The disk picture, the drawing of scenes into pixels and files, and
// velloran-cli plot on a flux image and a sector image.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "common/utf8_path.h"
#include "formats/format_table.h"
#include "plot/disk_picture.h"
#include "plot/plot_file.h"
#include "plot/raster.h"
#include "plot/svg_writer.h"
#include "plot/tiles.h"
#include "support/test_support.h"

namespace velloran {
namespace {

using test::RunCli;
using test::ScratchDir;

Rgb PixelAt(const RgbImage& image, double x, double y) {
  const std::size_t at = (static_cast<std::size_t>(y) * image.width + static_cast<std::size_t>(x)) * 3;
  return {image.pixels[at], image.pixels[at + 1], image.pixels[at + 2]};
}

// The pixel in the middle of a ring piece.
Rgb PixelInside(const RgbImage& image, const SceneRingPiece& piece) {
  const double radius = (piece.inner + piece.outer) / 2, angle = (piece.start + piece.end) / 2 * std::numbers::pi / 180;
  return PixelAt(image, piece.cx + radius * std::sin(angle), piece.cy - radius * std::cos(angle));
}

TEST(DiskPicture, EverySectorIsAnArcInItsMapColourAndBadIdsAreMarked) {
  TZX_Disk disk;
  for (const int t : {0, 1, 20}) {
    TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    for (int i = 0; i < 16; ++i)
      PlaceGoodSector(track.Sectors[i], static_cast<std::uint8_t>(t / 2), 0, static_cast<std::uint8_t>(i + 1), 1);
    track.Present = true;
  }
  disk.GetTrack(20).Sectors[3].DataOk = false;  // bad data
  disk.GetTrack(20).Sectors[5].IdCrc ^= 1;      // bad ID
  disk.GetTrack(3).Present = true;              // a present track without sectors
  const Scene scene = DiskPictureScene(disk, 900, 520);
  const Rgb good = *TileRgb(Tile::SectorGood), bad = *TileRgb(Tile::SectorBad);
  auto count = [&](Rgb colour) {
    return std::count_if(scene.rings.begin(), scene.rings.end(),
                         [&](const SceneRingPiece& p) { return p.fill == colour; });
  };
  EXPECT_EQ(count(bad), 1);
  EXPECT_EQ(count(good), 3 * 16 - 1);
  EXPECT_EQ(count(Rgb{0, 0, 0}), 1);  // the bad ID's mark
  // Both sides: 83 rings each, every track drawn, present or not.
  EXPECT_EQ(scene.rings.size() - 3 * 16 - 1 + 3, static_cast<std::size_t>(kTrackCount));

  // Track 0 is the outermost ring of side 0, track 1 of side 1; the bad sector lies on cylinder 10 of side 0.
  const auto outerOf = [&](double cx) {
    double outer = 0;
    for (const SceneRingPiece& p : scene.rings)
      if (p.cx == cx) outer = std::max(outer, p.outer);
    return outer;
  };
  const RgbImage image = RasterizeScene(scene);
  for (const SceneRingPiece& piece : scene.rings) {
    if (piece.fill == bad) {
      EXPECT_LT(piece.cx, 450);
      EXPECT_NEAR(outerOf(piece.cx) - piece.outer, 10 * (piece.outer - piece.inner), 1.0);
    }
    // Each arc wide enough to hold a pixel shows its colour there.
    if (piece.fill == bad || piece.fill == good) {
      EXPECT_EQ(PixelInside(image, piece), piece.fill);
    }
  }
}

TEST(PlotFiles, SvgIsWellFormedAndPngReadsBack) {
  Scene scene;
  scene.width = 120;
  scene.height = 80;
  scene.rects.push_back({10, 10, 20, 30, {0xFF, 0, 0}});
  scene.lines.push_back({0, 79, 119, 79, {0, 0, 0xFF}});
  scene.texts.push_back({60, 70, "T5 <&> 4.0 \u00B5s", 7, {0, 0, 0}, TextAnchor::Middle});
  scene.rings.push_back({90, 30, 10, 20, 300, 420, {0, 0x80, 0}});
  const std::string svg = SceneToSvg(scene);
  EXPECT_TRUE(test::Contains(svg, "&lt;&amp;&gt;"));

  const RgbImage image = RasterizeScene(scene);
  EXPECT_EQ(PixelAt(image, 20, 20), (Rgb{0xFF, 0, 0}));
  EXPECT_EQ(PixelAt(image, 60, 79), (Rgb{0, 0, 0xFF}));
  EXPECT_EQ(PixelAt(image, 90, 15), (Rgb{0, 0x80, 0}));         // at the top: inside 300..420 degrees
  EXPECT_EQ(PixelAt(image, 105, 30), (Rgb{0xFF, 0xFF, 0xFF}));  // at 90 degrees: outside

  ScratchDir scratch;
  std::string error;
  EXPECT_FALSE(WritePlotFile(scene, scratch / "plot.bmp", error));
  ASSERT_TRUE(WritePlotFile(scene, scratch / "plot.svg", error)) << error;
  ASSERT_TRUE(WritePlotFile(scene, scratch / "plot.PNG", error)) << error;
  // libpng reads the file back pixel for pixel.
  png_image read{};
  read.version = PNG_IMAGE_VERSION;
  const std::string png = PathToUtf8(scratch / "plot.PNG");
  ASSERT_NE(png_image_begin_read_from_file(&read, png.c_str()), 0) << read.message;
  read.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(read));
  ASSERT_NE(png_image_finish_read(&read, nullptr, pixels.data(), 0, nullptr), 0) << read.message;
  EXPECT_EQ(read.width, 120u);
  EXPECT_EQ(pixels, image.pixels);
}

// velloran-cli plot on a flux image made by the encoder from the first
// tracks of a real TR-DOS image (few, to keep the test quick), and on the
// TR-DOS image itself; what it writes is checked by xmllint and libpng.
TEST(PlotCommand, WritesEveryKindForAFluxImageAndTheDiskForASectorImage) {
  ScratchDir scratch;
  const std::string trd = PathToUtf8(test::CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd"));
  const std::string scp = PathToUtf8(scratch / "eye.scp");
  TZX_Disk disk;
  Diagnostic error;
  ASSERT_TRUE(LoadImage(disk, PathFromUtf8(trd), error)) << error;
  for (int t = 10; t < kTrackCount; ++t) disk.GetTrack(static_cast<std::uint8_t>(t)).Present = false;
  ASSERT_TRUE(SaveImage(disk, PathFromUtf8(scp), SaveOptions{}, error)) << error;

  std::vector<std::string> written;
  for (const std::string kind : {"histogram", "timing", "disk"}) {
    for (const std::string extension : {".svg", ".png"}) {
      const std::string out = PathToUtf8(scratch / (kind + extension));
      const auto result = RunCli({"plot", scp, "--kind", kind, "--track", "7", "--revolution", "1", "-o", out});
      EXPECT_EQ(result.exitCode, 0) << result.err;
      written.push_back(out);
    }
  }
  const std::string trdDisk = PathToUtf8(scratch / "trd-disk.svg");
  EXPECT_EQ(RunCli({"plot", trd, "--kind", "disk", "-o", trdDisk}).exitCode, 0);
  written.push_back(trdDisk);
  for (const std::string& file : written) {
    if (file.ends_with(".svg")) {
      if (test::HaveProgram("xmllint")) {
        EXPECT_EQ(test::RunProgram("xmllint", {"--noout", file}).exitCode, 0) << file;
      }
      continue;
    }
    png_image read{};
    read.version = PNG_IMAGE_VERSION;
    EXPECT_NE(png_image_begin_read_from_file(&read, file.c_str()), 0) << file << ": " << read.message;
    png_image_free(&read);
  }

  // Flux plots of a sector image, a revolution the capture lacks, a wrong kind: refused, and said why.
  const auto noFlux = RunCli({"plot", trd, "--kind", "timing", "-o", PathToUtf8(scratch / "t.svg")});
  EXPECT_NE(noFlux.exitCode, 0);
  EXPECT_TRUE(test::Contains(noFlux.err, "has no flux"));
  const auto noRevolution =
      RunCli({"plot", scp, "--kind", "histogram", "--revolution", "3", "-o", PathToUtf8(scratch / "h.svg")});
  EXPECT_NE(noRevolution.exitCode, 0);
  EXPECT_TRUE(test::Contains(noRevolution.err, "1 revolution"));
  EXPECT_NE(RunCli({"plot", scp, "--kind", "pie", "-o", PathToUtf8(scratch / "p.svg")}).exitCode, 0);
  EXPECT_FALSE(std::filesystem::exists(scratch / "t.svg"));
}

}  // namespace
}  // namespace velloran
