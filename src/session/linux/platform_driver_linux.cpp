// The real floppy driver of Linux: the kernel floppy driver's raw commands.
#include "session/driver_choice.h"
#include "drive/controller/linux_floppy_driver.h"

namespace velloran {

std::unique_ptr<FloppyDriver> CreatePlatformDriver() { return std::make_unique<LinuxFloppyDriver>(); }

}  // namespace velloran
