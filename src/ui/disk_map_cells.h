// What each cell of the disk map shows, and where it lies: pure functions
// over the disk, so the rules can be checked without a widget.
#pragma once

#include <string>

#include <QColor>
#include <QRect>

#include "model/disk.h"
#include "plot/tiles.h"

namespace velloran {

inline constexpr int kMapCreatedColumns = 26;  // the grid's column count before the window sets it
inline constexpr int kMapLabelWidth = 50;      // cell sizes at 100 %
inline constexpr int kMapSlotWidth = 30;
inline constexpr int kMapRowHeight = 14;
inline constexpr double kMapFontPoints = 7;

// Cell sizes at a zoom; the default is 100 %.
struct MapGeometry {
  int labelWidth = kMapLabelWidth;
  int slotWidth = kMapSlotWidth;
  int rowHeight = kMapRowHeight;

  // Every size scaled by percent / 100, rounded.
  static MapGeometry AtZoom(int percent);
  int ColumnWidth(int column) const { return column == 0 ? labelWidth : slotWidth; }
  // x of `column` when `leftColumn` is the first column shown (0 at the left edge).
  int ColumnX(int column, int leftColumn) const;
};

// "T005" for a label, "s01" for a sector ("s193" for sector 193; the map
// draws the wider texts narrower), empty for a blank or grey cell.
std::string CellText(const TZX_Disk& disk, int column, int row);

// Fill colour of a tile; the grey tiles take the system's button face.
QColor TileColour(Tile tile, const QColor& buttonFace);
// Text colour on a tile: white on blue, black otherwise.
QColor TileTextColour(Tile tile);
// What a tile means, in the words of the legend; empty for the blank tile.
QString TileMeaning(Tile tile);
// The tiles the legend explains, in its order.
inline constexpr Tile kLegendTiles[] = {Tile::LabelRaw,  Tile::LabelPlain,      Tile::SectorGood,
                                        Tile::SectorBad, Tile::SectorRecovered, Tile::SectorNoData};

// Offset that centres a text of `textSize` in a cell of `cellSize`: the
// nearest integer of the half difference, halves going to the even one.
int CentredOffset(int cellSize, int textSize);

}  // namespace velloran
