#include "ui/disk_map_cells.h"

#include <cstdio>

namespace velloran {

int MapColumnWidth(int column) { return column == 0 ? kMapLabelWidth : kMapSlotWidth; }

int MapColumnX(int column, int leftColumn) {
  int x = 0;
  for (int c = leftColumn; c < column; ++c) x += MapColumnWidth(c);
  for (int c = column; c < leftColumn; ++c) x -= MapColumnWidth(c);
  return x;
}

Tile CellTile(const TZX_Disk& disk, int column, int row) {
  if (row < 0 || row >= kMapRows || column < 0 || column >= kMapColumns) return Tile::Blank;
  const TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(row));
  if (column == 0) {
    if (track.Present != 0) return track.RawLength > 0 ? Tile::LabelRaw : Tile::LabelPlain;
    return disk.ShowDisabledSectors ? Tile::LabelAbsent : Tile::Blank;
  }
  const TSectorRec& sector = track.GetSector(static_cast<std::uint8_t>(column - 1));
  if (sector.Used != 0) {
    if (track.Present == 0) return Tile::Blank;
    if (sector.DataLen == 0) return Tile::SectorNoData;
    if (sector.DataOk == 0) return Tile::SectorBad;
    return sector.ErrorCount > 0 ? Tile::SectorRecovered : Tile::SectorGood;
  }
  return disk.ShowDisabledSectors ? Tile::SectorEmpty : Tile::Blank;
}

std::string CellText(const TZX_Disk& disk, int column, int row) {
  char text[8];
  switch (CellTile(disk, column, row)) {
    case Tile::LabelRaw:
    case Tile::LabelPlain: std::snprintf(text, sizeof text, "T%03d", row); return text;
    case Tile::SectorGood:
    case Tile::SectorRecovered:
    case Tile::SectorBad:
    case Tile::SectorNoData: {
      const int number =
          disk.GetTrack(static_cast<std::uint8_t>(row)).GetSector(static_cast<std::uint8_t>(column - 1)).IdSector;
      std::snprintf(text, sizeof text, "s%02d", number % 100);
      return text;
    }
    default: return {};
  }
}

QColor TileColour(Tile tile, const QColor& buttonFace) {
  switch (tile) {
    case Tile::LabelRaw: return {0x00, 0x00, 0xFF};
    case Tile::LabelPlain:
    case Tile::SectorNoData: return {0xFF, 0xFF, 0x00};
    case Tile::SectorGood: return {0x00, 0xFF, 0x00};
    case Tile::SectorBad: return {0xFF, 0x00, 0x00};
    case Tile::SectorRecovered: return {0x00, 0xFF, 0xFF};
    case Tile::LabelAbsent:
    case Tile::SectorEmpty:
    case Tile::Blank: break;
  }
  return buttonFace;
}

QColor TileTextColour(Tile tile) { return tile == Tile::LabelRaw ? QColor(Qt::white) : QColor(Qt::black); }

int CentredOffset(int cellSize, int textSize) {
  const int twice = cellSize - textSize;  // the offset is twice / 2
  int offset = twice / 2;                 // rounds towards zero
  if (twice % 2 != 0) {
    // A half: go to the even neighbour.
    const int other = twice > 0 ? offset + 1 : offset - 1;
    if (offset % 2 != 0) offset = other;
  }
  return offset;
}

}  // namespace velloran
