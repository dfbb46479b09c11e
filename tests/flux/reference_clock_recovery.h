// The clock-recovery loop written the plain way, one step after another, as
// the yardstick of the fast loop in src/flux: both must give the same cells,
// pattern hits, index cells and mean cell for any flux and loop setting.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "flux/clock_recovery.h"

namespace velloran {

struct ReferenceCells {
  std::vector<bool> cells;  // true = a transition in the cell
  std::vector<PatternHit> hits;
  std::vector<std::size_t> indexCells;
  double averageCell = 0;
};

ReferenceCells ReferenceRecoverCells(const FluxTrack& track, double cellTicks, std::span<const CellPattern> patterns,
                                     int passes, const PllSettings& settings, std::size_t laterPassCells);

}  // namespace velloran
