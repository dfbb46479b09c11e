// Pieces of raw-track building that are worth checking on their own.
#pragma once

#include <cstdint>
#include <optional>

namespace velloran {

// The address marks of an MFM track, each behind three A1 syncs.
constexpr std::uint8_t kIdMark = 0xFE;
constexpr std::uint8_t kDataMark = 0xFB;
constexpr std::uint8_t kDeletedDataMark = 0xF8;

// num / den rounded to the nearest integer, halves to the even neighbour
// (5/2 -> 2, 7/2 -> 4). num >= 0, den > 0.
int RoundHalfEven(int num, int den);

// How much the standard track template must shorten its gaps so that the
// sectors fit into one 6256-byte revolution.
struct GapCuts {
  int gap1 = 0;  // taken off both 0x4E runs of the index part
  int gap3 = 0;  // taken off gap 3 of every sector
};

// The cuts for a standard track of `sectorCount` sectors holding `dataBytes`
// bytes of sector data in all; nothing when even the largest cut allowed
// (36 bytes of every gap 3) does not make them fit.
std::optional<GapCuts> StandardGapCuts(int sectorCount, int dataBytes);

}  // namespace velloran
