#include "ui/catalog_windows.h"

namespace velloran {

// Placeholders until the catalog windows land.
void ShowTrdosCatalogWindow(TFMain&) {}
void ShowCpmCatalogWindow(TFMain&) {}

}  // namespace velloran
