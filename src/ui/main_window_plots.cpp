// The flux views of the main window: the track view (a window of its own)
// and the disk picture (a dock beside the map). Both follow the disk after
// every command.
#include <QAction>
#include <QDockWidget>

#include "ui/disk_picture_view.h"
#include "ui/main_window.h"
#include "ui/track_view.h"

namespace velloran {

void TFMain::TrackView1Click() {
  auto* view = findChild<TrackView*>();
  if (view == nullptr) {
    view = new TrackView(disk_, this);
    connect(this, &TFMain::DiskChanged, view, [view] {
      if (view->isVisible()) view->Reload();
    });
  }
  view->ShowTrack(shownRow_);
  view->show();
  view->raise();
}

void TFMain::DiskPicture1Click() {
  auto* dock = findChild<QDockWidget*>(QStringLiteral("DiskPictureDock"));
  if (dock == nullptr) {
    dock = new QDockWidget(QStringLiteral("Картина диска"), this);
    dock->setObjectName(QStringLiteral("DiskPictureDock"));
    auto* view = new DiskPictureView(disk_, prompts_, dock);
    dock->setWidget(view);
    addDockWidget(Qt::RightDockWidgetArea, dock);
    connect(this, &TFMain::DiskChanged, view, &DiskPictureView::Reload);
    // Closing the dock by its own button clears the menu's check mark.
    connect(dock, &QDockWidget::visibilityChanged, this, [this, dock] {
      if (!dock->isVisible() && !isMinimized()) Item("DiskPicture1")->setChecked(false);
    });
    dock->hide();
  }
  dock->setVisible(!dock->isVisible());
  Item("DiskPicture1")->setChecked(dock->isVisible());
}

}  // namespace velloran
