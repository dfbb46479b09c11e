// Raising the program's priority for controller work.
#pragma once

namespace velloran {

// Raises the process and the calling thread as far as the system permits:
// real-time class and time-critical thread on Windows, the highest allowed
// scheduling priority on Linux. A refusal is silent and changes nothing.
void RaiseControllerPriority();

}  // namespace velloran
