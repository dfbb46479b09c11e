#include "plot/tiles.h"

namespace velloran {

Tile CellTile(const TZX_Disk& disk, int column, int row) {
  if (row < 0 || row >= kMapRows || column < 0 || column >= kMapColumns) return Tile::Blank;
  const TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(row));
  if (column == 0) {
    if (track.Present) return track.RawLength > 0 ? Tile::LabelRaw : Tile::LabelPlain;
    return disk.ShowDisabledSectors ? Tile::LabelAbsent : Tile::Blank;
  }
  const TSectorRec& sector = track.GetSector(static_cast<std::uint8_t>(column - 1));
  if (sector.Used) {
    if (!track.Present) return Tile::Blank;
    // A read that failed after all its attempts leaves no data but counts
    // its errors: that is a bad sector, not a header nobody tried to read.
    if (sector.DataLen == 0) return sector.ErrorCount > 0 && !sector.DataOk ? Tile::SectorBad : Tile::SectorNoData;
    if (!sector.DataOk) return Tile::SectorBad;
    return sector.ErrorCount > 0 ? Tile::SectorRecovered : Tile::SectorGood;
  }
  return disk.ShowDisabledSectors ? Tile::SectorEmpty : Tile::Blank;
}

std::optional<Rgb> TileRgb(Tile tile) {
  switch (tile) {
    case Tile::LabelRaw: return Rgb{0x00, 0x00, 0xFF};
    case Tile::LabelPlain:
    case Tile::SectorNoData: return Rgb{0xFF, 0xFF, 0x00};
    case Tile::SectorGood: return Rgb{0x00, 0xFF, 0x00};
    case Tile::SectorBad: return Rgb{0xFF, 0x00, 0x00};
    case Tile::SectorRecovered: return Rgb{0x00, 0xFF, 0xFF};
    case Tile::LabelAbsent:
    case Tile::SectorEmpty:
    case Tile::Blank: break;
  }
  return std::nullopt;
}

bool BadIdField(const TSectorRec& sector) {
  return sector.Used && sector.IdCrc != IdFieldCrc(sector.IdTrack, sector.IdSide, sector.IdSector, sector.IdSize);
}

}  // namespace velloran
