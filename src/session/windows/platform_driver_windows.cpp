// The real floppy driver of Windows: fdrawcmd.sys.
#include "drive/controller/windows_floppy_driver.h"
#include "session/driver_choice.h"

namespace velloran {

std::unique_ptr<FloppyDriver> CreatePlatformDriver() {
  return std::make_unique<WindowsFloppyDriver>(CreateWin32Devices());
}

}  // namespace velloran
