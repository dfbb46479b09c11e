// The flux views of the main window: the track view (a window of its own)
// and the disk picture (a dock beside the map). Both follow the disk after
// every command.
#include <QAction>
#include <QDockWidget>

#include "ui/disk_picture_view.h"
#include "ui/main_window.h"
#include "ui/main_window_commands.h"
#include "ui/main_window_text.h"
#include "ui/track_view.h"

namespace velloran {

void OnShowTrackFlux(TFMain& window) {
  auto* view = window.findChild<TrackView*>();
  if (view == nullptr) {
    view = new TrackView(window.Disk(), &window);
    QObject::connect(&window, &TFMain::DiskChanged, view, [view] {
      if (view->isVisible()) view->Reload();
    });
  }
  view->ShowTrack(window.Panels().ShownRow());
  view->show();
  view->raise();
}

void OnToggleDiskPicture(TFMain& window) {
  auto* dock = window.findChild<QDockWidget*>(QStringLiteral("DiskPictureDock"));
  if (dock == nullptr) {
    dock = new QDockWidget(MainWindowText("Картина диска"), &window);
    dock->setObjectName(QStringLiteral("DiskPictureDock"));
    auto* view = new DiskPictureView(window.Disk(), window.Questions(), dock);
    dock->setWidget(view);
    window.addDockWidget(Qt::RightDockWidgetArea, dock);
    QObject::connect(&window, &TFMain::DiskChanged, view, &DiskPictureView::Reload);
    // Closing the dock by its own button clears the menu's check mark.
    QObject::connect(dock, &QDockWidget::visibilityChanged, &window, [&window, dock] {
      if (!dock->isVisible() && !window.isMinimized()) window.Item("DiskPicture1")->setChecked(false);
    });
    dock->hide();
  }
  dock->setVisible(!dock->isVisible());
  window.Item("DiskPicture1")->setChecked(dock->isVisible());
}

}  // namespace velloran
