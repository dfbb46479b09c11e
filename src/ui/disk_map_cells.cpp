#include "ui/disk_map_cells.h"

#include <cmath>
#include <cstdio>

namespace velloran {

MapGeometry MapGeometry::AtZoom(int percent) {
  auto scaled = [percent](int size) { return static_cast<int>(std::lround(size * percent / 100.0)); };
  return {scaled(kMapLabelWidth), scaled(kMapSlotWidth), scaled(kMapRowHeight)};
}

int MapGeometry::ColumnX(int column, int leftColumn) const {
  int x = 0;
  for (int c = leftColumn; c < column; ++c) x += ColumnWidth(c);
  for (int c = column; c < leftColumn; ++c) x -= ColumnWidth(c);
  return x;
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
      std::snprintf(text, sizeof text, "s%02d", number);
      return text;
    }
    default: return {};
  }
}

QColor TileColour(Tile tile, const QColor& buttonFace) {
  const std::optional<Rgb> colour = TileRgb(tile);
  return colour ? QColor(colour->r, colour->g, colour->b) : buttonFace;
}

QColor TileTextColour(Tile tile) { return tile == Tile::LabelRaw ? QColor(Qt::white) : QColor(Qt::black); }

QString TileMeaning(Tile tile) {
  switch (tile) {
    case Tile::LabelRaw: return QStringLiteral("Дорожка с RAW образом");
    case Tile::LabelPlain: return QStringLiteral("Дорожка без RAW образа");
    case Tile::LabelAbsent: return QStringLiteral("Дорожка убрана из образа");
    case Tile::SectorGood: return QStringLiteral("Сектор прочитан без ошибок");
    case Tile::SectorBad: return QStringLiteral("Сбойный сектор: ошибка CRC или не найден после всех попыток");
    case Tile::SectorRecovered: return QStringLiteral("Сектор прочитан без ошибок после сбойных попыток");
    case Tile::SectorNoData: return QStringLiteral("Заголовок сектора без данных");
    case Tile::SectorEmpty: return QStringLiteral("Пустое место на дорожке");
    case Tile::Blank: break;
  }
  return {};
}

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
