// The direct controller commands of the main window, which run at once
// without the progress window.
#pragma once

#include <optional>

#include "common/messages.h"

#include "drive/disk_drive.h"
#include "drive/floppy_driver.h"
#include "trdos/catalog.h"

namespace velloran {

// "Сбросить FDD контроллер": reset, heads to cylinder 80 and back to 0.
// Returns the message to show (the error caption) or nothing on success.
std::optional<Phrase> ResetController(FloppyDriver& driver);

// "Считать ZX каталог": reads sectors 1..16 of cylinder 0, head 0 and parses
// the TR-DOS catalog in them. Before calling, the window shows "0" in its
// track and sector labels, clears the main log and shows the "LOG" tab.
struct DriveCatalogResult {
  std::optional<Phrase> message;  // message box (the error caption), when something failed
  bool showCatalog = false;       // open the catalog window read-only (CatalogEditable = 0)
};
DriveCatalogResult ReadDriveCatalog(FloppyDriver& driver, TrdosCatalog& catalog);

// The same commands on any kind of drive: a flux drive's reset brings its
// heads to track 0 (checked) and stops it again; its catalog comes from the
// decoded flux of track 0.
std::optional<Phrase> ResetController(DiskDrive& drive);
DriveCatalogResult ReadDriveCatalog(DiskDrive& drive, TrdosCatalog& catalog);

}  // namespace velloran
