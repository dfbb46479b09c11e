// Clock recovery: a phase-locked loop turns flux transition times into bit
// cells, following slow speed changes and riding over jitter. While it runs it
// notes where the mark patterns of the encoding (cells with a missing clock)
// end, so that byte framing needs no second pass over the cells.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include "flux/flux_track.h"

namespace velloran {

// A 16-cell pattern (first cell in the top bit) and the byte it stands for.
struct CellPattern {
  std::uint16_t cells;
  std::uint8_t value;
};

// Where a pattern was seen: its first cell and which pattern.
struct PatternHit {
  std::size_t cell;
  std::uint8_t pattern;  // index into the pattern list
};

// The recovered cells of a whole capture: 1 = a transition in the cell.
class CellStream {
 public:
  std::size_t Size() const { return size_; }
  // 16 cells from `cell` on, the first in the top bit; cells past the end read 0.
  std::uint16_t Window16(std::size_t cell) const;
  // Whether `zeros` empty cells and a transition fit in the room the stream has.
  bool Fits(std::size_t zeros) const { return ((size_ + zeros) >> 6) + 1 < words_.size(); }
  // `zeros` empty cells, then one with a transition.
  void AppendRun(std::size_t zeros) {
    const std::size_t bit = size_ + zeros;
    if (!Fits(zeros)) words_.resize(std::max(2 * words_.size(), (bit >> 6) + 2), 0);
    size_ = bit + 1;
    words_[bit >> 6] |= std::uint64_t{1} << (63 - (bit & 63));
  }
  // Memory for `cells` cells, taken before it is needed (Fits counts only
  // the room the stream grew into, at least twice what it holds).
  void Reserve(std::size_t cells) { words_.reserve(cells / 64 + 2); }

 private:
  std::vector<std::uint64_t> words_;
  std::size_t size_ = 0;
};

struct RecoveredCells {
  CellStream cells;
  std::vector<PatternHit> hits;         // in cell order
  std::vector<std::size_t> indexCells;  // the cell at each index pulse
  double averageCell = 0;               // the loop's mean cell length, in ticks
};

// How the loop follows the flux. The normal setting lets the phase follow
// each transition closely and the frequency move slowly; other settings
// (stronger frequency gains, a nominal cell a little off) read some marginal
// sectors the normal one misses.
struct PllSettings {
  double frequencyGain = 0.01;  // share of each cell's timing error that corrects the cell length
  double phaseGain = 0.95;      // share of each timing error taken out of the phase
  double clockScale = 1.0;      // the nominal cell length is multiplied by it
};

// Runs the loop over the transitions (`passes` times over the same flux, for a
// single revolution read around its end) with the nominal cell length in ticks.
// A pass after the first stops once it has added `laterPassCells` cells: a
// revolution read around needs only enough to finish a field that crosses its
// index.
RecoveredCells RecoverCells(const FluxTrack& track, double cellTicks, std::span<const CellPattern> patterns, int passes,
                            const PllSettings& settings = {},
                            std::size_t laterPassCells = std::numeric_limits<std::size_t>::max());

}  // namespace velloran
