// The loop every engine runs over its tracks: seek, show the track, then the
// track's steps, each followed by the window's events and the cancel check
// where it asks for them, and the progress bar last.
#pragma once

#include <functional>
#include <vector>

#include "engine/operation.h"

namespace velloran {

struct TrackStep {
  std::function<bool(int track)> run;  // false: the operation cannot go on
  bool processEvents = false;          // let the window handle its events after the step
  bool checkCancel = true;             // end the pass when "Отмена" was pressed
};

struct TrackPass {
  int first = 0;  // inclusive range of track indexes
  int last = 0;
  std::function<bool(int track)> wanted;  // which tracks the pass visits; empty: all of them
  std::function<bool(int track)> seek;    // positions the heads; shows its own failure
  // The outcome after a failed seek or step (the pass stops there).
  std::function<OperationOutcome(int track)> failed;
  bool cancelBeforeSteps = true;  // the cancel check right after the track is shown
  std::vector<TrackStep> steps;
  bool showProgress = true;  // the progress bar follows the tracks (not on re-read passes)
};

// Runs the pass; Completed when every wanted track went through its steps.
OperationOutcome RunTrackPass(OperationHost& host, const TrackPass& pass);

}  // namespace velloran
