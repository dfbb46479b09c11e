// Merging several dumps of one disk: every sector is taken from the first
// dump that holds it with a good data CRC, so that reads of a damaged disk
// made at different times or with different drives add up.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/messages.h"
#include "model/disk.h"

namespace velloran {

// Two dumps hold good copies of a sector (good data CRCs) whose data differ.
struct MergeConflict {
  int track = 0;
  std::uint8_t sector = 0;  // the sector number R
  int taken = 0;            // the input whose copy went into the result
  std::vector<int> others;  // the inputs whose good copies differ from it
};

enum class SectorState { Good, Voted, Bad, NoData };

// What a merge did, by input index (0 = the first input).
struct MergeReport {
  // One sector of the result.
  struct Sector {
    int track = 0;
    int slot = 0;
    std::uint8_t number = 0;  // R
    SectorState state = SectorState::Good;
    int input = -1;    // whose copy was taken; -1 = voted from several, or no copy has data
    int copies = 1;    // copies the slot holds (Data and the further ones)
    int attempts = 0;  // copies of the sector among the inputs
    // Of a disk read as flux: the revolution of its track's capture the data
    // came from (0 = the first); -1 unknown.
    int revolution = -1;
    // Of a disk read as flux: the other decoding way that read its data, in
    // words; empty for the normal way, or unknown.
    std::string way{};
  };
  std::vector<Sector> sectors;  // every sector of the result, in track and slot order
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
  int votedSectors = 0;
  int badSectors = 0;

  // The tracks with a sector still bad, ascending.
  std::vector<int> BadTracks() const;
};

// Makes `out` from the inputs (at least one), track by track. A track is
// laid out as in the input that holds most sectors of it, followed by the
// sectors only other inputs hold. Each sector (matched by its whole ID, and
// among equal IDs by their order) takes the first copy with a good data CRC
// in input order; where two good copies differ, that first one is taken and
// the difference reported. Where no copy is good, the copies whose stored CRC
// is known (from a raw track image), three or more, vote byte by byte; voted
// data whose CRC comes out right is kept as good (reported as voted).
// Otherwise the data seen most often (the earlier input on a tie) is kept,
// marked bad, with every other distinct copy as a further copy. A sector's error count
// grows by the copies passed over before the one taken. A raw track image
// stays only when every sector of the track is as in that image. Title and
// comments come from the first input. `out` may be one of the inputs.
MergeReport MergeDisks(const std::vector<const TZX_Disk*>& inputs, TZX_Disk& out);

// The state of every sector of a disk as read (no inputs): attempts are the
// failed reads of a sector, and the one that read it good.
MergeReport DiskStateReport(const TZX_Disk& disk);

// The report as log lines, the inputs named by `names`.
std::vector<Phrase> MergeReportLines(const MergeReport& report, const std::vector<std::string>& names);

}  // namespace velloran
