#include "plot/disk_picture.h"

#include <algorithm>
#include <array>
#include <string>

#include "common/messages.h"
#include "plot/plot_style.h"
#include "plot/tiles.h"

namespace velloran {

namespace {

constexpr int kCylinders = kTrackCount / 2;
constexpr double kHoleShare = 0.3;  // the hub's radius, a share of the disc's
constexpr double kLegendEntryWidth = 118, kLegendRowHeight = 16;
constexpr Rgb kEmptyTrack{0xA0, 0xA0, 0xA0};
constexpr Rgb kAbsentTrack{0xF0, 0xF0, 0xF0};
constexpr Rgb kBadIdMark{0x00, 0x00, 0x00};
// Room between the arcs of neighbouring sectors, degrees.
constexpr double kSectorGap = 1.5;

// What marks a sector carries besides its colour. Copies of a weak sector,
// once the model keeps them, are to be marked here too.
struct SectorMarks {
  bool badId = false;
};

SectorMarks MarksOf(const TSectorRec& sector) { return {BadIdField(sector)}; }

void AddTrack(Scene& scene, const TZX_Disk& disk, int track, double cx, double cy, double inner, double outer) {
  const TTrack& model = disk.GetTrack(static_cast<std::uint8_t>(track));
  if (!model.Present) {
    scene.rings.push_back({cx, cy, inner, outer, 0, 360, kAbsentTrack});
    return;
  }
  std::vector<int> slots;
  for (int slot = 0; slot < kSlotCount; ++slot)
    if (model.Sectors[static_cast<std::size_t>(slot)].Used) slots.push_back(slot);
  if (slots.empty()) {
    scene.rings.push_back({cx, cy, inner, outer, 0, 360, kEmptyTrack});
    return;
  }
  const double share = 360.0 / static_cast<double>(slots.size());
  const double gap = std::min(kSectorGap, share / 4);
  for (std::size_t i = 0; i < slots.size(); ++i) {
    const double start = share * static_cast<double>(i), end = start + share - gap;
    const Tile tile = CellTile(disk, slots[i] + 1, track);
    scene.rings.push_back({cx, cy, inner, outer, start, end, TileRgb(tile).value_or(kEmptyTrack)});
    if (MarksOf(model.Sectors[static_cast<std::size_t>(slots[i])]).badId)
      scene.rings.push_back({cx, cy, inner, inner + (outer - inner) / 2, start, end, kBadIdMark});
  }
}

struct LegendEntry {
  Rgb colour;
  MessageId text;
};

std::array<LegendEntry, 7> LegendEntries() {
  using enum MessageId;
  return {{{*TileRgb(Tile::SectorGood), PlotLegendGood},
           {*TileRgb(Tile::SectorRecovered), PlotLegendRecovered},
           {*TileRgb(Tile::SectorBad), PlotLegendBadData},
           {*TileRgb(Tile::SectorNoData), PlotLegendIdNoData},
           {kBadIdMark, PlotLegendBadId},
           {kEmptyTrack, PlotLegendNoSectors},
           {kAbsentTrack, PlotLegendNotInImage}}};
}

// Entries of the legend in a row of a picture `width` wide.
int LegendColumns(int width, int entries) {
  return std::clamp(static_cast<int>(width / kLegendEntryWidth), 1, entries);
}

// The legend in rows under the discs, as many entries a row as fit.
void AddLegend(Scene& scene, double top) {
  const auto entries = LegendEntries();
  const int columns = LegendColumns(scene.width, static_cast<int>(std::size(entries)));
  const double step = scene.width / static_cast<double>(columns);
  for (std::size_t i = 0; i < std::size(entries); ++i) {
    const double x = 8 + step * static_cast<double>(static_cast<int>(i) % columns);
    const double y = top + kLegendRowHeight * static_cast<double>(static_cast<int>(i) / columns);
    scene.rects.push_back({x, y, 12, 12, kAxisColour});
    scene.rects.push_back({x + 1, y + 1, 10, 10, entries[i].colour});
    scene.texts.push_back({x + 16, y + 10, MessageText(entries[i].text), kSmallText, kTextColour, TextAnchor::Start});
  }
}

}  // namespace

Scene DiskPictureScene(const TZX_Disk& disk, int width, int height) {
  Scene scene;
  scene.width = width;
  scene.height = height;
  const int entries = static_cast<int>(LegendEntries().size());
  const int legendRows = (entries + LegendColumns(width, entries) - 1) / LegendColumns(width, entries);
  const double legendHeight = legendRows * kLegendRowHeight + 12;
  const double discHeight = std::max(20.0, height - legendHeight - 20);
  const double radius = std::max(10.0, std::min(width / 4.0, discHeight / 2) - 8);
  const double ring = radius * (1 - kHoleShare) / kCylinders;
  for (int side = 0; side < 2; ++side) {
    const double cx = width / 4.0 * (1 + 2 * side), cy = 20 + discHeight / 2;
    for (int cylinder = 0; cylinder < kCylinders; ++cylinder) {
      const double outer = radius - ring * cylinder;
      // Rings wide enough keep a thin gap between tracks.
      const double inner = outer - ring + (ring > 3 ? 0.5 : 0);
      AddTrack(scene, disk, cylinder * 2 + side, cx, cy, inner, outer);
    }
    scene.texts.push_back({cx, 14, MessageText(MessageId::PlotSide, {std::to_string(side)}), kTitleText, kTextColour,
                           TextAnchor::Middle});
  }
  AddLegend(scene, height - legendHeight + 4);
  return scene;
}

}  // namespace velloran
