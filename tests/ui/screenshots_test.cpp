// Pictures of the windows for a person to look at: the main window with a
// disk (and with unsaved changes), its context menu, the zoomed map with its
// legend, the load dialog, the settings window and the progress window.
// They go to $VELLORAN_SCREENSHOTS, or to "screenshots" in the working folder.
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include "cpm/cpm_disk.h"
#include "formats/trd.h"
#include "sim/simulated_drive.h"
#include "ui/progress_window.h"
#include "ui/qt_prompts.h"
#include "ui/sector_address_dialog.h"
#include "ui/settings_window.h"
#include "ui/ui_fixture.h"

namespace velloran::test {
namespace {

QString ShotFolder() {
  QString folder = qEnvironmentVariable("VELLORAN_SCREENSHOTS");
  if (folder.isEmpty()) folder = QDir::current().filePath(QStringLiteral("screenshots"));
  QDir().mkpath(folder);
  return folder;
}

void Save(const QPixmap& picture, const char* name) {
  const QString file = QDir(ShotFolder()).filePath(QLatin1String(name));
  ASSERT_TRUE(picture.save(file)) << file.toStdString();
  EXPECT_GT(picture.width(), 100);
}

class ScreenshotTest : public MainWindowTest {
 protected:
  void LoadSample() {
    window->show();
    window->StartUp(dir.Path(), {});
    window->LoadAndShow(QString::fromStdString(CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd").string()));
    // A few states worth seeing on the map.
    Disk().GetSector(2, 4).DataOk = false;
    Disk().GetSector(2, 5).DataLen = 0;
    Disk().GetSector(2, 6).DataLen = 0;  // not found after every attempt
    Disk().GetSector(2, 6).DataOk = false;
    Disk().GetSector(2, 6).ErrorCount = 10;
    Disk().GetSector(2, 7).ErrorCount = 1;  // came right on a re-read
    Disk().GetTrack(5).RawValid = true;
    Disk().GetTrack(5).RawLength = 6250;
    window->SetStatusText(0, PhraseShown({MessageId::StatusWithFdcType,
                                          {Phrase{MessageId::StatusDriverVersion, {"01000A02"}}, "82077AA"}}));
    Map()->SetCurrentCell(2, 1);
    window->OnMapClick();
    QApplication::processEvents();
  }
};

TEST_F(ScreenshotTest, MainWindowWithADisk) {
  LoadSample();
  Save(window->grab(), "main_window.png");
}

// The window system draws the caption; here it is painted above the window.
QPixmap WithCaption(QWidget& window) {
  const QPixmap body = window.grab();
  QPixmap picture(body.width(), body.height() + 24);
  picture.fill(QColor(0x30, 0x30, 0x40));
  QPainter painter(&picture);
  painter.setPen(Qt::white);
  painter.drawText(QRect(0, 0, body.width(), 24), Qt::AlignCenter, window.windowTitle());
  painter.drawPixmap(0, 24, body);
  return picture;
}

TEST_F(ScreenshotTest, MainWindowWithUnsavedChanges) {
  LoadSample();
  window->OnMapContextMenu(0, 9);
  Action("z8")->trigger();  // a track removed
  Map()->SetCurrentCell(3, 1);
  window->OnMapClick();
  Pane()->EditByte(0, 0x5A);  // a byte typed, not accepted
  window->SetStatusText(
      2,
      FixedText(QStringLiteral("HFE: a warning long enough to be shortened inside its panel, whole in the tooltip")));
  QApplication::processEvents();
  EXPECT_TRUE(window->windowTitle().endsWith("* — Velloran"));
  Save(WithCaption(*window), "main_window_modified.png");
}

TEST_F(ScreenshotTest, ZoomedMapWithItsLegend) {
  LoadSample();
  Map()->SetZoom(200);
  Action("Legend1")->trigger();
  QApplication::processEvents();
  Save(window->grab(), "main_window_zoomed_legend.png");
}

TEST_F(ScreenshotTest, LoadDialog) {
  prompts.QueueCancelFile();
  OnLoadImage(*window);
  QFileDialog dialog(window.get());
  PrepareFileDialog(dialog, prompts.Records().back().file, false);
  dialog.setDirectory(QString::fromStdString(CorpusFile("trd").string()));
  dialog.resize(820, 480);
  dialog.show();
  QApplication::processEvents();
  Save(dialog.grab(), "load_dialog.png");
  dialog.hide();
}

TEST_F(ScreenshotTest, MainWindowWithItsContextMenu) {
  LoadSample();
  const QPoint cell = Map()->CellRect(3, 4).center();
  window->OnMapContextMenu(3, 4);
  auto* menu = Find<QMenu>("pm1");
  const QPoint at = Map()->viewport()->mapTo(window.get(), cell);
  menu->popup(window->mapToGlobal(at));
  QApplication::processEvents();
  QPixmap picture = window->grab();
  QPainter painter(&picture);
  painter.drawPixmap(at, menu->grab());
  auto* operations = Find<QMenu>("ImageOperations1");
  const QRect item = menu->actionGeometry(operations->menuAction());
  operations->popup(menu->mapToGlobal(item.topRight()));
  QApplication::processEvents();
  painter.drawPixmap(at + item.topRight(), operations->grab());
  painter.end();
  operations->hide();
  menu->hide();
  Save(picture, "main_window_context_menu.png");
}

TEST_F(ScreenshotTest, MainMenus) {
  LoadSample();
  QPixmap picture(1100, 420);
  picture.fill(Qt::white);
  QPainter painter(&picture);
  int x = 0;
  for (const char* name : {"N1", "N2", "Controller1", "View1", "Settings1"}) {
    auto* menu = Find<QMenu>(name);
    menu->popup(window->mapToGlobal(QPoint(0, 0)));
    QApplication::processEvents();
    const QPixmap shot = menu->grab();
    painter.drawPixmap(x, 0, shot);
    x += shot.width() + 10;
    menu->hide();
  }
  painter.end();
  Save(picture, "main_menus.png");
}

// An Amstrad CPC data disk's sector numbers C1-C9 (193-201) on the map.
TEST_F(ScreenshotTest, MainWindowWithCpcSectorNumbers) {
  window->show();
  window->StartUp(dir.Path(), {});
  MakeCpmDisk(Disk(), *FindCpmDefinition("cpcdata"));
  window->RepaintMap();
  Click(1, 2);
  QApplication::processEvents();
  Save(window->grab(), "main_window_cpc_sectors.png");
}

TEST_F(ScreenshotTest, SettingsWindow) {
  SettingsWindow settings(window.get());
  settings.Load(window->Options());
  settings.show();
  QApplication::processEvents();
  Save(settings.grab(), "settings_window.png");
  settings.findChild<QSpinBox*>(QStringLiteral("e1"))->setValue(7);
  QApplication::processEvents();
  Save(settings.grab(), "settings_window_changed.png");
}

TEST_F(ScreenshotTest, SectorAddressDialog) {
  MakeMarkedTrdosDisk(Disk());
  SectorAddressDialog dialog(window.get());
  dialog.Fill(Disk().GetSector(3, 4));
  dialog.show();
  QApplication::processEvents();
  Save(dialog.grab(), "sector_address_dialog.png");
}

// The question before a save that loses data, and the log after it.
TEST_F(ScreenshotTest, LossySaveQuestionAndLog) {
  LoadSample();
  const QString file = QString::fromStdString((dir / "out.kdi").string());
  prompts.QueueSave(file, 7);
  prompts.QueueAnswer(PromptAnswer::Yes);
  OnSaveImage(*window);
  ASSERT_GE(prompts.Messages().size(), 1u);
  QMessageBox box(QMessageBox::Warning, prompts.Messages().back().caption, prompts.Messages().back().text,
                  QMessageBox::Yes | QMessageBox::No);
  box.show();
  QApplication::processEvents();
  Save(box.grab(), "lossy_save_question.png");
  window->ShowPage(0);
  QApplication::processEvents();
  Save(window->grab(), "lossy_save_log.png");
}

TEST_F(ScreenshotTest, ProgressWindowDuringARead) {
  auto drive = std::make_unique<SimulatedDrive>();
  ASSERT_TRUE(LoadTRD(drive->Medium(), CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd")));
  window->SetDriver(std::move(drive));
  window->show();
  window->StartUp(dir.Path(), {});
  window->Options().LastTrack = 40;
  bool saved = false;
  auto grabAtTrack = [&](int track) {
    auto* progress = window->findChild<ProgressWindow*>(QStringLiteral("T_Prog"));
    if (track != 25 || progress == nullptr || saved) return;
    Save(progress->grab(), "progress_window.png");
    Save(window->grab(), "main_window_during_read.png");
    saved = true;
  };
  // The progress window is made by the first command; watch it from then on.
  QTimer::singleShot(0, window.get(), [&] {
    auto* progress = window->findChild<ProgressWindow*>(QStringLiteral("T_Prog"));
    ASSERT_NE(progress, nullptr);
    QObject::connect(progress, &ProgressWindow::TrackShown, progress, grabAtTrack);
  });
  OnScanAndRead(*window);
  EXPECT_TRUE(saved);
}

// The hex pane on the second copy of a weak sector, the differing bytes marked.
TEST_F(ScreenshotTest, WeakSectorCopyInTheHexPane) {
  window->show();
  MakeWeakSectorDisk(Disk());
  Map()->SetCurrentCell(1, 0);
  window->OnMapClick();
  Find<QPushButton>("cpb1")->click();
  QApplication::processEvents();
  Save(window->grab(), "weak_sector_copies.png");
}

}  // namespace
}  // namespace velloran::test
