// Merging several dumps of one disk: every sector is taken from the first
// dump that holds it with a good data CRC, so that reads of a damaged disk
// made at different times or with different drives add up.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/disk.h"

namespace velloran {

// Two dumps hold good copies of a sector (good data CRCs) whose data differ.
struct MergeConflict {
  int track = 0;
  std::uint8_t sector = 0;  // the sector number R
  int taken = 0;            // the input whose copy went into the result
  std::vector<int> others;  // the inputs whose good copies differ from it
};

// What a merge did, by input index (0 = the first input).
struct MergeReport {
  struct Track {
    int track = 0;
    // Per input, the sector numbers taken good from it that the first input
    // did not hold good (entry 0 stays empty).
    std::vector<std::vector<std::uint8_t>> recovered;
    std::vector<std::uint8_t> stillBad;  // no input holds them good
  };
  std::vector<Track> tracks;  // the tracks with something recovered or still bad
  std::vector<MergeConflict> conflicts;
  int recoveredSectors = 0;
  int badSectors = 0;
};

// Makes `out` from the inputs (at least one), track by track. A track is
// laid out as in the input that holds most sectors of it, followed by the
// sectors only other inputs hold. Each sector (matched by its whole ID, and
// among equal IDs by their order) takes the first copy with a good data CRC
// in input order; where two good copies differ, that first one is taken and
// the difference reported. Where no copy is good, the data seen most often
// (the earlier input on a tie) is kept, marked bad. A sector's error count
// grows by the copies passed over before the one taken. A raw track image
// stays only when every sector of the track is as in that image. Title and
// comments come from the first input. `out` may be one of the inputs.
MergeReport MergeDisks(const std::vector<const TZX_Disk*>& inputs, TZX_Disk& out);

// The report in the program's log style, the inputs named by `names`.
std::vector<std::string> MergeReportLines(const MergeReport& report, const std::vector<std::string>& names);

}  // namespace velloran
