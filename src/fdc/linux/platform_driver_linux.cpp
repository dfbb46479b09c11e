// The real floppy driver of Linux: the kernel floppy driver's raw commands.
#include "fdc/driver_choice.h"
#include "fdc/linux_floppy_driver.h"

namespace velloran {

std::unique_ptr<FloppyDriver> CreatePlatformDriver() { return std::make_unique<LinuxFloppyDriver>(); }

}  // namespace velloran
