#include "drive/priority.h"

#include <windows.h>

namespace velloran {

void RaiseControllerPriority() {
  if (HANDLE process = OpenProcess(PROCESS_SET_INFORMATION, FALSE, GetCurrentProcessId())) {
    SetPriorityClass(process, REALTIME_PRIORITY_CLASS);
    CloseHandle(process);
  }
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
}

}  // namespace velloran
