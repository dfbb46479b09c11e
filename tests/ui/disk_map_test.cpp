#include "ui/disk_map.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QScrollBar>

#include "formats/trd.h"
#include "formats/udi.h"
#include "support/test_support.h"
#include "ui/disk_map_cells.h"

namespace velloran {
namespace {

void UseSlot(TZX_Disk& disk, int track, int slot, int number, int dataLength, bool ok) {
  TTrack& t = disk.GetTrack(static_cast<std::uint8_t>(track));
  t.Present = 0xFF;
  TSectorRec& s = t.GetSector(static_cast<std::uint8_t>(slot));
  s.Used = 0xFF;
  s.IdSector = static_cast<std::uint8_t>(number);
  s.IdSize = 1;
  s.DataLen = static_cast<std::uint16_t>(dataLength);
  s.DataOk = ok ? 0xFF : 0;
}

TEST(DiskMapCells, TrdImageShowsYellowLabelsAndSixteenGreenSectors) {
  const auto file = test::CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd");
  TZX_Disk disk;
  ASSERT_TRUE(LoadTRD(disk, file)) << disk.LastError;
  const int tracks = static_cast<int>(std::filesystem::file_size(file) / 4096);
  ASSERT_EQ(tracks, 160);
  for (int row = 0; row < kMapRows; ++row) {
    SCOPED_TRACE(row);
    if (row >= tracks) {
      for (int column = 0; column < kMapColumns; ++column) EXPECT_EQ(CellTile(disk, column, row), Tile::Blank);
      continue;
    }
    char label[16];
    std::snprintf(label, sizeof label, "T%03d", row);
    EXPECT_EQ(CellTile(disk, 0, row), Tile::LabelPlain);
    EXPECT_EQ(CellText(disk, 0, row), label);
    for (int column = 1; column <= 16; ++column) {
      char sector[16];
      std::snprintf(sector, sizeof sector, "s%02d", column);
      EXPECT_EQ(CellTile(disk, column, row), Tile::SectorGood);
      EXPECT_EQ(CellText(disk, column, row), sector);
    }
    EXPECT_EQ(CellTile(disk, 17, row), Tile::Blank);
  }
  EXPECT_EQ(CellText(disk, 0, 159), "T159");
}

TEST(DiskMapCells, UdiTrackHasABlueLabelWithWhiteText) {
  const auto files = test::CorpusFiles("udi");
  TZX_Disk disk;
  const auto udi = std::find_if(files.begin(), files.end(), [&](const auto& file) { return LoadUDI(disk, file); });
  ASSERT_NE(udi, files.end());
  ASSERT_GT(disk.GetTrack(0).RawLength, 0);
  EXPECT_EQ(CellTile(disk, 0, 0), Tile::LabelRaw);
  EXPECT_EQ(TileColour(Tile::LabelRaw, Qt::gray), QColor(0, 0, 0xFF));
  EXPECT_EQ(TileTextColour(Tile::LabelRaw), QColor(Qt::white));
  EXPECT_EQ(TileTextColour(Tile::LabelPlain), QColor(Qt::black));
}

TEST(DiskMapCells, SectorStatesAndRemovedTracks) {
  TZX_Disk disk;
  UseSlot(disk, 3, 0, 1, 256, true);
  UseSlot(disk, 3, 1, 2, 256, false);  // data with a CRC error
  UseSlot(disk, 3, 2, 3, 0, false);    // header without data
  UseSlot(disk, 3, 3, 123, 256, true);
  EXPECT_EQ(CellTile(disk, 1, 3), Tile::SectorGood);
  EXPECT_EQ(CellTile(disk, 2, 3), Tile::SectorBad);
  EXPECT_EQ(CellTile(disk, 3, 3), Tile::SectorNoData);
  EXPECT_EQ(CellText(disk, 4, 3), "s23") << "only the last two digits";
  EXPECT_EQ(TileColour(Tile::SectorGood, Qt::gray), QColor(0, 0xFF, 0));
  EXPECT_EQ(TileColour(Tile::SectorBad, Qt::gray), QColor(0xFF, 0, 0));
  EXPECT_EQ(TileColour(Tile::SectorNoData, Qt::gray), QColor(0xFF, 0xFF, 0));
  // Good data after failed reads (a re-read or a merge recovered it): aqua.
  disk.GetTrack(3).Sectors[3].ErrorCount = 1;
  EXPECT_EQ(CellTile(disk, 4, 3), Tile::SectorRecovered);
  EXPECT_EQ(CellText(disk, 4, 3), "s23");
  EXPECT_EQ(TileColour(Tile::SectorRecovered, Qt::gray), QColor(0, 0xFF, 0xFF));
  disk.GetTrack(3).Sectors[1].ErrorCount = 1;
  EXPECT_EQ(CellTile(disk, 2, 3), Tile::SectorBad);
  disk.GetTrack(3).Present = 0;
  for (int column = 0; column <= 4; ++column) EXPECT_EQ(CellTile(disk, column, 3), Tile::Blank);
  EXPECT_EQ(CellText(disk, 1, 3), "");
}

TEST(DiskMapCells, DisabledSectorsShowGreyOnlyWhenAsked) {
  TZX_Disk disk;
  UseSlot(disk, 0, 0, 1, 256, true);
  EXPECT_EQ(CellTile(disk, 0, 1), Tile::Blank);
  EXPECT_EQ(CellTile(disk, 2, 0), Tile::Blank);
  disk.ShowDisabledSectors = true;
  EXPECT_EQ(CellTile(disk, 0, 1), Tile::LabelAbsent);
  EXPECT_EQ(CellTile(disk, 2, 0), Tile::SectorEmpty);
  EXPECT_EQ(CellTile(disk, 21, 0), Tile::Blank) << "only columns 0..20 are painted";
  EXPECT_EQ(TileColour(Tile::SectorEmpty, QColor(1, 2, 3)), QColor(1, 2, 3));
  EXPECT_EQ(CellText(disk, 2, 0), "");
}

TEST(DiskMapCells, GeometryAndCentring) {
  EXPECT_EQ(MapColumnWidth(0), 50);
  EXPECT_EQ(MapColumnWidth(1), 30);
  EXPECT_EQ(MapColumnX(3, 0), 110);
  EXPECT_EQ(MapColumnX(3, 2), 30);
  EXPECT_EQ(MapColumnX(0, 2), -80);
  // nearest((30 - 25) / 2) = 2, nearest((30 - 23) / 2) = 4, halves to even.
  EXPECT_EQ(CentredOffset(30, 25), 2);
  EXPECT_EQ(CentredOffset(30, 23), 4);
  EXPECT_EQ(CentredOffset(14, 10), 2);
  EXPECT_EQ(CentredOffset(14, 17), -2);
  EXPECT_EQ(CentredOffset(14, 19), -2);
}

TEST(DiskMap, PaintsRaisedTilesInTheirColours) {
  TZX_Disk disk;
  UseSlot(disk, 1, 0, 1, 256, true);
  UseSlot(disk, 1, 1, 2, 256, false);
  DiskMap map(disk);
  map.SetColumnCount(kMapColumns);
  map.resize(map.sizeHint());
  map.show();
  map.SetCurrentCell(5, 5);
  const QImage image = map.viewport()->grab().toImage();
  const QRect good = map.CellRect(1, 1);
  const QRect bad = map.CellRect(2, 1);
  const QRect label = map.CellRect(0, 1);
  EXPECT_EQ(good, QRect(50, 14, 30, 14));
  EXPECT_EQ(image.pixelColor(good.left() + 2, good.top() + 2), QColor(0, 0xFF, 0));
  EXPECT_EQ(image.pixelColor(good.left(), good.top() + 5), QColor(Qt::white)) << "raised: white left edge";
  EXPECT_EQ(image.pixelColor(good.right(), good.top() + 5), QColor(Qt::black)) << "raised: black right edge";
  EXPECT_EQ(image.pixelColor(good.left() + 5, good.bottom()), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(bad.left() + 2, bad.top() + 2), QColor(0xFF, 0, 0));
  EXPECT_EQ(image.pixelColor(label.left() + 2, label.top() + 2), QColor(0xFF, 0xFF, 0));
  // Row 0 is absent: nothing drawn there.
  const QColor face = map.viewport()->palette().color(QPalette::Button);
  EXPECT_EQ(image.pixelColor(map.CellRect(1, 0).center()), face);
}

TEST(DiskMap, CellsUnderPointsAndTheReadingFrontStaysInView) {
  TZX_Disk disk;
  DiskMap map(disk);
  map.SetColumnCount(kMapColumns);
  map.resize(map.sizeHint().width(),
             20 * kMapRowHeight + 2 * map.frameWidth() + map.horizontalScrollBar()->sizeHint().height());
  map.show();
  int column = 0;
  int row = 0;
  ASSERT_TRUE(map.CellAt(QPoint(49, 0), column, row));
  EXPECT_EQ(column, 0);
  ASSERT_TRUE(map.CellAt(QPoint(50, 15), column, row));
  EXPECT_EQ(column, 1);
  EXPECT_EQ(row, 1);
  const int last = map.LastFullyVisibleRow();
  EXPECT_GE(last, 10);
  map.RedrawSector(static_cast<std::uint8_t>(last), 0);
  EXPECT_EQ(map.TopRow(), 0) << "a visible row is only repainted";
  map.RedrawTrackLabel(static_cast<std::uint8_t>(last + 1));
  EXPECT_EQ(map.TopRow(), 1) << "a row below the view scrolls the map by one row";
  map.RedrawSector(static_cast<std::uint8_t>(last + 2), 3);
  EXPECT_EQ(map.TopRow(), 2);
  ASSERT_TRUE(map.CellAt(QPoint(0, 0), column, row));
  EXPECT_EQ(row, 2);
  disk.ClearDisk();
  EXPECT_EQ(map.TopRow(), 0) << "a cleared disk shows its first row";
}

}  // namespace
}  // namespace velloran
