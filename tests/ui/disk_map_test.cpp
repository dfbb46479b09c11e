#include "ui/disk_map.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>

#include "formats/trd.h"
#include "formats/udi.h"
#include "support/test_support.h"
#include "ui/disk_map_cells.h"

namespace velloran {
namespace {

void UseSlot(TZX_Disk& disk, int track, int slot, int number, int dataLength, bool ok) {
  TTrack& t = disk.GetTrack(static_cast<std::uint8_t>(track));
  t.Present = true;
  TSectorRec& s = t.GetSector(static_cast<std::uint8_t>(slot));
  s.Used = true;
  s.IdSector = static_cast<std::uint8_t>(number);
  s.IdSize = 1;
  s.DataLen = static_cast<std::uint16_t>(dataLength);
  s.DataOk = ok;
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
  UseSlot(disk, 3, 4, 5, 0, false);  // not found after every attempt
  disk.GetSector(3, 4).ErrorCount = 10;
  EXPECT_EQ(CellTile(disk, 1, 3), Tile::SectorGood);
  EXPECT_EQ(CellTile(disk, 2, 3), Tile::SectorBad);
  EXPECT_EQ(CellTile(disk, 3, 3), Tile::SectorNoData);
  EXPECT_EQ(CellTile(disk, 5, 3), Tile::SectorBad) << "a failed read is not a header nobody read";
  EXPECT_EQ(CellText(disk, 5, 3), "s05");
  // The legend explains every colour the map draws.
  for (Tile tile : kLegendTiles) EXPECT_FALSE(TileMeaning(tile).isEmpty());
  EXPECT_EQ(CellText(disk, 4, 3), "s123") << "the whole number";
  EXPECT_EQ(TileColour(Tile::SectorGood, Qt::gray), QColor(0, 0xFF, 0));
  EXPECT_EQ(TileColour(Tile::SectorBad, Qt::gray), QColor(0xFF, 0, 0));
  EXPECT_EQ(TileColour(Tile::SectorNoData, Qt::gray), QColor(0xFF, 0xFF, 0));
  // Good data after failed reads (a re-read or a merge recovered it): aqua.
  disk.GetTrack(3).Sectors[3].ErrorCount = 1;
  EXPECT_EQ(CellTile(disk, 4, 3), Tile::SectorRecovered);
  EXPECT_EQ(CellText(disk, 4, 3), "s123");
  EXPECT_EQ(TileColour(Tile::SectorRecovered, Qt::gray), QColor(0, 0xFF, 0xFF));
  disk.GetTrack(3).Sectors[1].ErrorCount = 1;
  EXPECT_EQ(CellTile(disk, 2, 3), Tile::SectorBad);
  disk.GetTrack(3).Present = false;
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
  const MapGeometry normal;
  EXPECT_EQ(normal.ColumnWidth(0), 50);
  EXPECT_EQ(normal.ColumnWidth(1), 30);
  EXPECT_EQ(normal.ColumnX(3, 0), 110);
  EXPECT_EQ(normal.ColumnX(3, 2), 30);
  EXPECT_EQ(normal.ColumnX(0, 2), -80);
  const MapGeometry large = MapGeometry::AtZoom(150);
  EXPECT_EQ(large.ColumnWidth(0), 75);
  EXPECT_EQ(large.ColumnWidth(1), 45);
  EXPECT_EQ(large.rowHeight, 21);
  EXPECT_EQ(large.ColumnX(3, 0), 165);
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

// The CPC's sectors C1-C9 (193-201): their whole numbers, drawn inside
// their tiles, whose raised edges stay whole.
TEST(DiskMap, ThreeDigitSectorNumbersStayInsideTheirTiles) {
  TZX_Disk disk;
  for (int slot = 0; slot < 9; ++slot) UseSlot(disk, 1, slot, 0xC1 + slot, 512, true);
  EXPECT_EQ(CellText(disk, 1, 1), "s193");
  DiskMap map(disk);
  map.SetColumnCount(kMapColumns);
  map.resize(map.sizeHint());
  map.show();
  const QImage image = map.viewport()->grab().toImage();
  for (int column = 1; column <= 9; ++column) {
    const QRect cell = map.CellRect(column, 1);
    EXPECT_EQ(image.pixelColor(cell.left(), cell.center().y()), QColor(Qt::white)) << column;
    EXPECT_EQ(image.pixelColor(cell.right(), cell.center().y()), QColor(Qt::black)) << column;
    int ink = 0;
    for (int x = cell.left() + 1; x < cell.right(); ++x)
      for (int y = cell.top() + 1; y < cell.bottom(); ++y) ink += image.pixelColor(x, y).lightness() < 128;
    EXPECT_GT(ink, 10) << column;
  }
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

// The current cell: two black pixels, then a white line, around the tile.
TEST(DiskMap, CurrentCellIsFramedOnEveryColour) {
  TZX_Disk disk;
  UseSlot(disk, 1, 0, 1, 256, true);
  DiskMap map(disk);
  map.SetColumnCount(kMapColumns);
  map.resize(map.sizeHint());
  map.show();
  map.SetCurrentCell(1, 1);
  const QImage image = map.viewport()->grab().toImage();
  const QRect cell = map.CellRect(1, 1);
  const int middle = cell.center().y();
  EXPECT_EQ(image.pixelColor(cell.left() + 1, middle), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(cell.right() - 1, middle), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(cell.left() + 2, middle), QColor(Qt::white));
  EXPECT_EQ(image.pixelColor(cell.center().x(), cell.top() + 1), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(cell.left() + 4, cell.top() + 4), QColor(0, 0xFF, 0)) << "the tile inside";
}

TEST(DiskMap, CellsExplainTheirColourInTooltips) {
  TZX_Disk disk;
  UseSlot(disk, 4, 2, 3, 256, false);
  DiskMap map(disk);
  map.SetColumnCount(kMapColumns);
  map.resize(map.sizeHint());
  map.show();
  auto tipAt = [&](int column, int row) {
    const QPoint at = map.CellRect(column, row).center();
    QHelpEvent help(QEvent::ToolTip, at, map.viewport()->mapToGlobal(at));
    QApplication::sendEvent(map.viewport(), &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
  };
  EXPECT_EQ(tipAt(5, 4), "") << "an empty slot has nothing to say";
  EXPECT_EQ(tipAt(3, 4), "Дорожка 4, сектор 3: " + TileMeaning(Tile::SectorBad));
  EXPECT_EQ(tipAt(0, 4), "Дорожка 4: " + TileMeaning(Tile::LabelPlain));
}

TEST(DiskMap, ZoomFollowsTheKeysAndTheWheelAndScalesCellsAndText) {
  TZX_Disk disk;
  for (int track = 0; track <= 120; ++track) UseSlot(disk, track, 0, 1, 256, true);
  DiskMap map(disk);
  map.SetColumnCount(kMapColumns);
  map.resize(map.sizeHint().width(), 300);
  map.show();
  QSignalSpy zoomed(&map, &DiskMap::ZoomChanged);
  const int narrow = map.sizeHint().width();
  const double points = map.font().pointSizeF();

  QTest::keyClick(&map, Qt::Key_Plus, Qt::ControlModifier);
  QTest::keyClick(&map, Qt::Key_Equal, Qt::ControlModifier);  // "+" without Shift
  EXPECT_EQ(map.Zoom(), 150);
  EXPECT_EQ(map.CellRect(1, 1), QRect(75, 21, 45, 21));
  EXPECT_DOUBLE_EQ(map.font().pointSizeF(), points * 1.5);
  EXPECT_GT(map.sizeHint().width(), narrow);
  const QImage image = map.viewport()->grab().toImage();
  EXPECT_EQ(image.pixelColor(75 + 40, 21 + 18), QColor(0, 0xFF, 0)) << "tiles drawn at the new size";

  const QPointF at = map.CellRect(2, 2).center();
  auto wheel = [&](int turn, Qt::KeyboardModifiers modifiers) {
    QWheelEvent event(at, map.viewport()->mapToGlobal(at), QPoint(), QPoint(0, turn), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(map.viewport(), &event);
  };
  wheel(120, Qt::ControlModifier);
  EXPECT_EQ(map.Zoom(), 175);
  wheel(-120, Qt::ControlModifier);
  wheel(-120, Qt::ControlModifier);
  EXPECT_EQ(map.Zoom(), 125);
  wheel(-120, Qt::NoModifier);
  EXPECT_EQ(map.Zoom(), 125) << "a plain wheel scrolls";
  EXPECT_GT(map.TopRow(), 0);
  QTest::keyClick(&map, Qt::Key_0, Qt::ControlModifier);
  EXPECT_EQ(map.Zoom(), 100);
  for (int i = 0; i < 10; ++i) map.ZoomIn();
  EXPECT_EQ(map.Zoom(), 300);
  for (int i = 0; i < 10; ++i) map.ZoomOut();
  EXPECT_EQ(map.Zoom(), 100);
  ASSERT_FALSE(zoomed.isEmpty());
  EXPECT_EQ(zoomed.takeLast().at(0).toInt(), 100);

  // Ctrl+End and Ctrl+Home: the last track of the disk and the first.
  map.SetCurrentCell(3, 10);
  QTest::keyClick(&map, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(map.CurrentRow(), 120);
  EXPECT_EQ(map.CurrentColumn(), 3);
  EXPECT_LE(map.TopRow(), 120);
  EXPECT_GE(map.LastFullyVisibleRow(), 120);
  QTest::keyClick(&map, Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(map.CurrentRow(), 0);
  EXPECT_EQ(map.TopRow(), 0);
}

}  // namespace
}  // namespace velloran
