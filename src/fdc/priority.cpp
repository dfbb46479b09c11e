#include "fdc/priority.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>
#endif

namespace velloran {

void RaiseControllerPriority() {
#ifdef _WIN32
  if (HANDLE process = OpenProcess(PROCESS_SET_INFORMATION, FALSE, GetCurrentProcessId())) {
    SetPriorityClass(process, REALTIME_PRIORITY_CLASS);
    CloseHandle(process);
  }
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
#else
  // The best nice value the process may take; without the right to raise
  // it, the call fails and the priority stays as it was.
  for (int nice = -20; nice < 0; nice += 5)
    if (setpriority(PRIO_PROCESS, 0, nice) == 0) break;
#endif
}

}  // namespace velloran
