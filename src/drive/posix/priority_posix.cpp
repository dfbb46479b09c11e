#include "drive/priority.h"

#include <sys/resource.h>

namespace velloran {

void RaiseControllerPriority() {
  // The best nice value the process may take; without the right to raise
  // it, the call fails and the priority stays as it was.
  for (int nice = -20; nice < 0; nice += 5)
    if (setpriority(PRIO_PROCESS, 0, nice) == 0) break;
}

}  // namespace velloran
