// The floppy controller backend of Windows.
#include "fdc/driver_choice.h"
#include "fdc/windows_floppy_driver.h"

namespace velloran {

std::unique_ptr<FloppyDriver> CreatePlatformDriver() { return std::make_unique<WindowsFloppyDriver>(); }

}  // namespace velloran
