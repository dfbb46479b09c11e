#include "ui/catalog_windows.h"

#include "ui/cpm_catalog_window.h"
#include "ui/entry_editor.h"
#include "ui/main_window.h"
#include "ui/trdos_catalog_window.h"
#include "ui/viewer_window.h"

namespace velloran {

namespace {

// The windows live as children of the main window from their first use to
// the end of the program, like its other windows; each is made once.
template <typename Window, typename Make>
Window& WindowOf(TFMain& owner, const char* name, Make make) {
  if (auto* window = owner.findChild<Window*>(QString::fromLatin1(name))) return *window;
  return *make();
}

FileViewer& Viewer(TFMain& owner) {
  return WindowOf<FileViewer>(owner, "TFmScr", [&] { return new FileViewer(&owner); });
}

}  // namespace

void ShowTrdosCatalogWindow(TFMain& owner) {
  EntryEditor& editor = WindowOf<EntryEditor>(owner, "TFLed", [&] { return new EntryEditor(&owner); });
  TrdosCatalogWindow& window = WindowOf<TrdosCatalogWindow>(owner, "T_ZXCAT", [&] {
    return new TrdosCatalogWindow(owner.Doc(), owner.Questions(), Viewer(owner), editor, &owner);
  });
  window.Open();
}

void ShowCpmCatalogWindow(TFMain& owner) {
  CpmCatalogWindow& window = WindowOf<CpmCatalogWindow>(
      owner, "T_cCat", [&] { return new CpmCatalogWindow(owner.Doc(), owner.Questions(), Viewer(owner), &owner); });
  window.ListDirectory();
  window.show();
  window.raise();
  window.activateWindow();
}

}  // namespace velloran
