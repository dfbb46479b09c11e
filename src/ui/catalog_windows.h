// Where the main window opens the catalog windows. The catalog windows'
// code provides these two calls; the main window prepares what they show.
#pragma once

namespace velloran {

class TFMain;

// Shows the TR-DOS catalog window modally for owner.Catalogs().SharedCatalog.
// CatalogEditable tells whether the catalog came from the disk in memory
// or from a real drive (shown read-only). Returns when the window closed;
// CatalogChanged then says whether it changed sectors of the disk.
void ShowTrdosCatalogWindow(TFMain& owner);

// Shows the CP/M catalog window of the disk in memory, not modal.
void ShowCpmCatalogWindow(TFMain& owner);

}  // namespace velloran
