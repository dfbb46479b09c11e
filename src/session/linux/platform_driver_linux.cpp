// The real floppy driver of Linux: the kernel floppy driver's raw commands.
#include "drive/controller/linux_floppy_driver.h"
#include "session/driver_choice.h"

namespace velloran {

std::unique_ptr<FloppyDriver> CreatePlatformDriver() { return std::make_unique<LinuxFloppyDriver>(); }

}  // namespace velloran
