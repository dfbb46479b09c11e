// The floppy controller backend of Linux.
#include "fdc/driver_choice.h"
#include "fdc/linux_floppy_driver.h"

namespace velloran {

std::unique_ptr<FloppyDriver> CreatePlatformDriver() { return std::make_unique<LinuxFloppyDriver>(); }

}  // namespace velloran
