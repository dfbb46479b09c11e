// The report of a merge as one JSON object, for scripts that re-read what
// stays bad.
#pragma once

#include <string>
#include <vector>

#include "model/merge.h"

namespace velloran::cli {

// {"sources": [...], "sha256": ..., "good"/"voted"/"bad": counts,
//  "tracks": [{"track", "sectors": [{"slot", "sector", "state", "source",
//  "copies", "attempts"}]}], "conflicts": [...], "bad_tracks": [...]}.
// A sector's "source" names the entry of `sources` its data came from, or is
// null (voted from several, or no data at all).
std::string RescueReportJson(const MergeReport& report, const std::vector<std::string>& sources,
                             const std::string& sha256);

}  // namespace velloran::cli
