#include "engine/track_pass.h"

#include <algorithm>

#include "engine/engine_steps.h"

namespace velloran {

OperationOutcome RunTrackPass(OperationHost& host, const TrackPass& pass) {
  for (int t = std::max(pass.first, 0); t <= pass.last; ++t) {
    if (!pass.wanted || pass.wanted(t)) {
      if (!pass.seek(t)) return pass.failed(t);
      host.ShowTrack(t);
      if (pass.cancelBeforeSteps && CancelSeen(host)) return OperationOutcome::Cancelled;
      for (const TrackStep& step : pass.steps) {
        if (!step.run(t)) return pass.failed(t);
        if (step.processEvents) host.ProcessPendingEvents();
        if (step.checkCancel && CancelSeen(host)) return OperationOutcome::Cancelled;
      }
    }
    if (pass.showProgress) host.SetProgress(t + 1);
  }
  return OperationOutcome::Completed;
}

}  // namespace velloran
