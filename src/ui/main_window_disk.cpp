// The drive side of the main window: start-up, the "Диск" and "Контроллер"
// menus, the settings window, and images handed over by a second start.
#include <utility>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "fdc/controller_commands.h"
#include "fdc/driver_startup.h"
#include "fdc/operation_start.h"
#include "fdc/priority.h"
#include "ui/catalog_windows.h"
#include "ui/disk_map.h"
#include "ui/main_window.h"
#include "ui/progress_window.h"
#include "ui/prompts.h"
#include "ui/settings_window.h"

namespace velloran {

namespace {

const QString kErrorCaption = QStringLiteral("Ошибка!");

}  // namespace

void TFMain::SetDriver(std::unique_ptr<FloppyDriver> driver) { driver_ = std::move(driver); }

void TFMain::ShowErrors(const std::vector<std::string>& messages) {
  for (const std::string& text : messages)
    prompts_.Message(QString::fromStdString(text), kErrorCaption, PromptIcon::Error, PromptButtons::Ok);
}

void TFMain::ScrollMapToOrigin() { zxd_->ScrollToOrigin(); }

void TFMain::SetDiskMenuEnabled(bool enabled) {
  findChild<QMenu*>(QStringLiteral("N2"))->menuAction()->setEnabled(enabled);
}

bool TFMain::DiskMenuEnabled() const { return findChild<QMenu*>(QStringLiteral("N2"))->menuAction()->isEnabled(); }

// Start-up: priority, settings, the driver and the drive, then the image
// named on the command line (empty: none).
void TFMain::StartUp(const std::filesystem::path& programDirectory, const QString& commandLineFile) {
  RaiseControllerPriority();
  settings_ = LoadSettings(store_, programDirectory);
  SetDiskMenuEnabled(true);
  if (driver_ != nullptr) {
    const DriverStatus status = OpenDriverAtStartup(*driver_, settings_);
    SetStatusText(0, QString::fromStdString(status.statusText));
    ShowErrors(status.messages);
    SetDiskMenuEnabled(status.diskMenuEnabled);
  } else {
    SetDiskMenuEnabled(false);
  }
  if (!commandLineFile.isEmpty()) LoadAndShow(commandLineFile);
}

// Opening "Диск": the drive commands need an open drive, some also a disk in memory.
void TFMain::N2Click() {
  const bool driveOpen = driver_ != nullptr && driver_->DriveOpen();
  const DiskMenuState state = DiskMenuAvailability(driveOpen, disk_);
  Item("FullRead1")->setEnabled(driveOpen);
  Item("RawRead1")->setEnabled(driveOpen);
  Item("RereadBad1")->setEnabled(state.readSectors);
  Item("N8")->setEnabled(state.scanTracks);
  Item("N9")->setEnabled(state.readSectors);
  Item("N17")->setEnabled(state.scanAndRead);
  Item("FastRead1")->setEnabled(state.fastRead);
  Item("N14")->setEnabled(state.format);
  Item("N15")->setEnabled(state.write);
  Item("N33")->setEnabled(state.formatAndWrite);
  Item("N10")->setEnabled(state.readCatalog);
}

// Runs one whole-disk operation in the progress window.
void TFMain::RunDiskCommand(int command) {
  if (driver_ == nullptr) return;
  const CommandStart start = PrepareDiskCommand(static_cast<DiskCommand>(command), settings_, disk_);
  ShowErrors(start.messages);
  if (!start.run) return;
  auto* progress = findChild<T_Prog*>(QStringLiteral("T_Prog"));
  if (progress == nullptr) progress = new T_Prog(*this);
  progress->Prepare(QString::fromStdString(start.caption), start.operation, start.progressMaximum, *driver_);
  progress->exec();
  RepaintMap();
  // Images handed over while the operation ran are loaded now.
  LoadDeferredRequests();
}

void TFMain::LoadDeferredRequests() {
  const QList<QByteArray> waiting = std::exchange(deferredRequests_, {});
  for (const QByteArray& message : waiting) WMOpenRequest(message);
}

bool TFMain::OperationRunning() const {
  const auto* progress = findChild<T_Prog*>(QStringLiteral("T_Prog"));
  return progress != nullptr && progress->isVisible();
}

void TFMain::N8Click() { RunDiskCommand(static_cast<int>(DiskCommand::ScanTracks)); }
void TFMain::N9Click() { RunDiskCommand(static_cast<int>(DiskCommand::ReadSectors)); }
void TFMain::N17Click() { RunDiskCommand(static_cast<int>(DiskCommand::ScanAndRead)); }
void TFMain::N14Click() { RunDiskCommand(static_cast<int>(DiskCommand::Format)); }
void TFMain::N15Click() { RunDiskCommand(static_cast<int>(DiskCommand::Write)); }
void TFMain::N33Click() { RunDiskCommand(static_cast<int>(DiskCommand::FormatAndWrite)); }

// "Сбросить FDD контроллер": reset and heads to cylinder 0; silent on success.
void TFMain::N22Click() {
  if (driver_ == nullptr) return;
  if (const auto message = ResetController(*driver_)) ShowErrors({*message});
}

// "Считать ZX каталог": the TR-DOS catalog straight from the disk in the drive.
void TFMain::N10Click() {
  if (driver_ == nullptr) return;
  l2_->setText(QStringLiteral("0"));
  l1_->setText(QStringLiteral("0"));
  ClearLog();
  ShowPage(0);
  const DriveCatalogResult result = ReadDriveCatalog(*driver_, catalogs_.SharedCatalog);
  if (result.message) ShowErrors({*result.message});
  if (!result.showCatalog) return;
  catalogs_.CatalogEditable = 0;
  catalogs_.CatalogChanged = 0;
  ShowTrdosCatalogWindow(*this);
}

// "Настройки программы": the settings window; accepted values are saved and
// the drive is opened again with them.
void TFMain::N29Click() {
  auto* window = findChild<Tfmset*>(QStringLiteral("Tfmset"));
  if (window == nullptr) window = new Tfmset(this);
  window->Load(settings_);
  if (!prompts_.Run(*window)) return;
  window->Store(settings_);
  SaveDialogSettings(store_, settings_);
  if (driver_ == nullptr) return;
  const DriverStatus status = ReopenDriveAfterSettings(*driver_, settings_);
  ShowErrors(status.messages);
  SetDiskMenuEnabled(status.diskMenuEnabled);
}

// A message from a second start: come forward, and load its file if it named one.
void TFMain::WMOpenRequest(const QByteArray& message) {
  // While an operation runs or a question waits, the disk must not change
  // under it: the message waits and is tried again shortly.
  if (OperationRunning() || QApplication::activeModalWidget() != nullptr) {
    if (deferredRequests_.isEmpty()) QTimer::singleShot(250, this, &TFMain::LoadDeferredRequests);
    deferredRequests_.push_back(message);
    return;
  }
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
  if (message.startsWith('v')) LoadAndShow(QString::fromUtf8(message.mid(1)));
}

}  // namespace velloran
