// The states a sector slot or a track label is drawn in, and their colours:
// one table for the disk map, its legend, the disk picture and the track plots.
#pragma once

#include <cstdint>
#include <optional>

#include "model/disk.h"
#include "plot/scene.h"

namespace velloran {

inline constexpr int kMapRows = kTrackCount;  // one row per track index
inline constexpr int kMapColumns = 21;        // track label + 20 slots

// The picture of one cell.
enum class Tile {
  Blank,         // nothing drawn
  LabelRaw,      // present track with a raw image: blue, white text
  LabelPlain,    // present track without raw image: yellow
  LabelAbsent,   // absent track, only when disabled sectors are shown
  SectorGood,    // data read without error: green
  SectorBad,     // the read failed: data with a CRC error, or no data after failed attempts: red
  SectorNoData,  // header without data, never tried: yellow
  SectorEmpty,   // empty slot, only when disabled sectors are shown
  // Data read without error after failed reads (a re-read or a merge): aqua.
  SectorRecovered,
};

// Tile of cell (column, row) of the map: column 0 is the track label, column
// 1 + i slot i; columns beyond 20 and rows beyond 165 are blank.
Tile CellTile(const TZX_Disk& disk, int column, int row);

// Fill colour of a tile; nothing for the grey tiles, which take the system's
// button face.
std::optional<Rgb> TileRgb(Tile tile);

// Whether a used slot's ID field fails its CRC.
bool BadIdField(const TSectorRec& sector);

}  // namespace velloran
