// Clicks on the disk map, and the buttons under the hex pane and beside the
// comments memo.
#include <QPushButton>

#include "ui/disk_map.h"
#include "ui/main_window.h"
#include "ui/main_window_commands.h"

namespace velloran {

// Left click on the map (also a keyboard move): shows the current cell.
// Hex edits not yet accepted are asked about first; keeping them keeps the
// cell they belong to.
void TFMain::OnMapClick() {
  const int column = map_->CurrentColumn();
  const int row = map_->CurrentRow();
  if (column == panels_.ShownColumn() && row == panels_.ShownRow() && panels_.PaneEdited()) return;
  const bool edited = panels_.PaneEdited();
  if (!panels_.ResolvePaneEdits()) {
    map_->SetCurrentCell(panels_.ShownColumn(), panels_.ShownRow());
    return;
  }
  if (edited) RefreshState();
  panels_.ShowCell(column, row);
}

// Right click on the map: the cell becomes the current one, shown in every
// panel like a left click, and the context menu's items are set for it.
bool TFMain::OnMapContextMenu(int column, int row) {
  if (column >= 0 && row >= 0) {
    map_->SetCurrentCell(column, row);
    OnMapClick();
    if (map_->CurrentColumn() != column || map_->CurrentRow() != row) return false;
  }
  document_.SetTargetCell(column, row);
  RefreshItems("pm1");
  RefreshItems("ImageOperations1");
  return true;
}

void OnAcceptPaneEdits(TFMain& window) {
  window.Panels().AcceptPaneEdits();
  window.RepaintMap();
  window.RefreshState();
}

void OnSavePane(TFMain& window) { window.Panels().SavePaneToFile(); }

void OnTakeComments(TFMain& window) {
  window.Panels().TakeComments();
  window.RefreshState();
}

}  // namespace velloran
