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

CatalogWindowContext ContextOf(TFMain& owner) {
  return CatalogWindowContext{owner.Disk(), owner.Catalogs(), owner.Options(), owner.Store(), owner.Questions()};
}

TFmScr& Viewer(TFMain& owner) {
  return WindowOf<TFmScr>(owner, "TFmScr", [&] { return new TFmScr(&owner); });
}

}  // namespace

void ShowTrdosCatalogWindow(TFMain& owner) {
  TFLed& editor = WindowOf<TFLed>(owner, "TFLed", [&] { return new TFLed(&owner); });
  T_ZXCAT& window =
      WindowOf<T_ZXCAT>(owner, "T_ZXCAT", [&] { return new T_ZXCAT(ContextOf(owner), Viewer(owner), editor, &owner); });
  window.Open();
}

void ShowCpmCatalogWindow(TFMain& owner) {
  T_cCat& window =
      WindowOf<T_cCat>(owner, "T_cCat", [&] { return new T_cCat(ContextOf(owner), Viewer(owner), &owner); });
  window.FormShow();
  window.show();
  window.raise();
  window.activateWindow();
}

}  // namespace velloran
