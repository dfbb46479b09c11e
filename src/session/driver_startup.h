// Opening the floppy driver and the drive at start-up and again after the
// settings window: what the status bar shows, which messages come up and
// whether the "Диск" menu can be used.
#pragma once

#include <cstdint>
#include <string>

#include <string_view>
#include <vector>
#include "common/messages.h"

#include "drive/floppy_driver.h"
#include "drive/flux_drive.h"
#include "settings/settings.h"

namespace velloran {

struct DriverStatus {
  Phrase statusText;             // text of the first status-bar panel
  std::vector<Phrase> messages;  // message boxes in order, the error caption, one OK button
  bool diskMenuEnabled = true;   // the "Диск" menu N2
};

// Control device, driver version, the drive of the Drive setting, its data
// rate, the controller information. Failures disable the "Диск" menu; a
// backend's plain explanation of a failure follows its message.
DriverStatus OpenDriverAtStartup(FloppyDriver& driver, const Settings& settings);

// A flux drive at start-up: the device is opened and its firmware checked;
// the status bar names the device and its firmware.
DriverStatus OpenFluxDriveAtStartup(FluxDrive& drive);

// The start-up of whichever kind of drive this is.
DriverStatus OpenDriveAtStartup(DiskDrive& drive, const Settings& settings);

// After the settings window was accepted: the drive is closed and opened
// again with the new Drive and Rate. The status text is left empty (the
// status bar keeps what it shows).
DriverStatus ReopenDriveAfterSettings(FloppyDriver& driver, const Settings& settings);

// The same for any kind of drive: a flux drive is connected again.
DriverStatus ReopenDriveAfterSettings(DiskDrive& drive, const Settings& settings);

// Name of the controller type byte: 0 "UNKNOWN" ... 8 "NATIONAL", others "UNKNOWN3".
std::string_view FdcTypeName(std::uint8_t type);

}  // namespace velloran
