// The real floppy driver of Windows: fdrawcmd.sys.
#include "session/driver_choice.h"
#include "drive/controller/windows_floppy_driver.h"

namespace velloran {

std::unique_ptr<FloppyDriver> CreatePlatformDriver() {
  return std::make_unique<WindowsFloppyDriver>(CreateWin32Devices());
}

}  // namespace velloran
