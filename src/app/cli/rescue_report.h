// The report of a merge as one JSON object, for scripts that re-read what
// stays bad.
#pragma once

#include <string>
#include <vector>

#include "model/merge.h"

namespace velloran::cli {

// {"sources": [...], "sha256": ..., "good"/"voted"/"bad": counts,
//  "tracks": [{"track", "sectors": [{"slot", "sector", "state", "source",
//  "copies", "attempts", "variant"}]}], "conflicts": [...], "bad_tracks": [...]}.
// A sector's "source" names the entry of `sources` its data came from, or
// for a disk read as flux the revolution of its track's capture ("revolution
// 1" is the first, as the SCP saved with it holds them), or is null (voted
// from several, no data at all, or not known). A sector's "variant" names the
// other decoding way (data rate, loop, clock) that read it from flux, or is
// null (the normal way, or not read from flux).
std::string RescueReportJson(const MergeReport& report, const std::vector<std::string>& sources,
                             const std::string& sha256);

}  // namespace velloran::cli
