// The drive side of the main window: start-up, the "Диск" and "Контроллер"
// menus, the settings window, and images handed over by a second start.
#include <utility>

#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QTimer>

#include "drive/priority.h"
#include "engine/controller_commands.h"
#include "engine/operation_start.h"
#include "model/disk_fingerprint.h"
#include "session/driver_choice.h"
#include "session/driver_startup.h"
#include "settings/desktop_settings.h"
#include "ui/catalog_windows.h"
#include "ui/disk_map.h"
#include "ui/main_window.h"
#include "ui/progress_window.h"
#include "ui/prompts.h"
#include "ui/qt_translation.h"
#include "ui/settings_window.h"

namespace velloran {

namespace {

// Commands that read the disk in the drive into the disk in memory.
bool ReadsIntoMemory(DiskCommand command) {
  return command == DiskCommand::ScanTracks || command == DiskCommand::ReadSectors ||
         command == DiskCommand::ScanAndRead || command == DiskCommand::FastRead;
}

}  // namespace

void TFMain::SetDriver(std::unique_ptr<DiskDrive> driver, bool chosen) {
  driver_ = std::move(driver);
  driverChosen_ = chosen;
}

// Follows the Drive setting unless the drive was chosen on the command line:
// "gw:DEVICE" is a Greaseweazle, "A" and "B" the platform's floppy drives.
// Returns whether the drive was replaced.
bool TFMain::DriveFromSetting() {
  if (driverChosen_) return false;
  DriveChoice choice;
  std::string error;
  if (!ParseDriveChoice(settings_.Drive, choice, error)) choice = DriveChoice{};
  auto* current = driver_ != nullptr ? dynamic_cast<GreaseweazleDrive*>(driver_.get()) : nullptr;
  if (choice.kind == DriveKind::Greaseweazle) {
    if (current != nullptr && current->Device() == choice.device) return false;
  } else if (current == nullptr) {
    return false;
  }
  if (auto drive = CreateDriver(choice, error)) {
    driver_ = std::move(drive);
    return true;
  }
  return false;
}

void TFMain::ShowErrors(const std::vector<std::string>& messages) {
  for (const std::string& text : messages)
    prompts_.Message(QString::fromStdString(text), tr("Ошибка!"), PromptIcon::Error, PromptButtons::Ok);
}

void TFMain::ScrollMapToOrigin() { zxd_->ScrollToOrigin(); }

bool TFMain::DiskMenuEnabled() const { return NoDrive().isEmpty(); }

// Start-up: priority, settings, the driver and the drive, then the image
// named on the command line (empty: none). A PC without a floppy controller
// is normal: the drive's failures go to the status bar and wait until the
// user asks for a drive command.
void TFMain::StartUp(const std::filesystem::path& programDirectory, const QString& commandLineFile) {
  RaiseControllerPriority();
  settings_ = LoadSettings(store_, programDirectory);
  zxd_->SetZoom(LoadMapZoom(store_));
  recentFiles_ = LoadRecentFiles(store_);
  DriveFromSetting();
  if (driver_ != nullptr) {
    const DriverStatus status = OpenDriveAtStartup(*driver_, settings_);
    SetStatusText(0, QString::fromStdString(status.statusText));
    driveUsable_ = status.diskMenuEnabled;
    driveProblems_ = status.messages;
  }
  RefreshState();
  if (!commandLineFile.isEmpty()) LoadAndShow(commandLineFile);
}

// Runs one whole-disk operation in the progress window. A read replaces
// what the disk in memory holds, so unsaved work is asked about first; a
// disk changed by the drive belongs to no file any more.
void TFMain::RunDiskCommand(int command) {
  if (!DiskMenuEnabled()) {
    DriveProblemClick();
    return;
  }
  const auto kind = static_cast<DiskCommand>(command);
  const CommandStart start = PrepareDiskCommand(kind, settings_, disk_);
  ShowErrors(start.messages);
  if (!start.run) return;
  if (ReadsIntoMemory(kind) && !ConfirmUnsaved()) return;
  auto* progress = findChild<ProgressWindow*>(QStringLiteral("T_Prog"));
  if (progress == nullptr) progress = new ProgressWindow(*this);
  progress->Prepare(QString::fromStdString(start.caption), start.operation, start.progressMaximum, *driver_);
  const auto before = DiskFingerprint(disk_);
  progress->exec();
  RepaintMap();
  if (DiskFingerprint(disk_) != before) ShowDiskFromDrive();
  // Images handed over while the operation ran are loaded now.
  LoadDeferredRequests();
}

// The disk in memory is now the drive's: it belongs to no file, and nothing
// of the old disk stays in the pane and the sector box (the operation's log
// stays in view); a click shows a cell of the disk read.
void TFMain::ShowDiskFromDrive() {
  ForgetImageFile();
  FillComments();
  EmptyHexPane();
  SetPaneButtons(false);
  l1_->clear();
  l2_->clear();
  gb1_->hide();
  trp1_->hide();
  vCRC_->clear();
  shownColumn_ = -1;
  RefreshState();
}

void TFMain::LoadDeferredRequests() {
  const QList<QByteArray> waiting = std::exchange(deferredRequests_, {});
  for (const QByteArray& message : waiting) WMOpenRequest(message);
}

bool TFMain::OperationRunning() const {
  const auto* progress = findChild<ProgressWindow*>(QStringLiteral("T_Prog"));
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
  if (!DiskMenuEnabled()) {
    DriveProblemClick();
    return;
  }
  if (const auto message = ResetController(*driver_)) ShowErrors({*message});
}

// "Считать ZX каталог": the TR-DOS catalog straight from the disk in the drive.
void TFMain::N10Click() {
  if (!DiskMenuEnabled()) {
    DriveProblemClick();
    return;
  }
  l2_->setText(QStringLiteral("0"));
  l1_->setText(QStringLiteral("0"));
  ClearLog();
  ShowPage(0);
  const DriveCatalogResult result = ReadDriveCatalog(*driver_, catalogs_.SharedCatalog);
  if (result.message) ShowErrors({*result.message});
  if (!result.showCatalog) return;
  catalogs_.CatalogEditable = false;
  catalogs_.CatalogChanged = false;
  ShowTrdosCatalogWindow(*this);
}

// "Настройки программы": the settings window; accepted values are saved and
// the drive is opened again with them.
void TFMain::N29Click() {
  auto* window = findChild<SettingsWindow*>(QStringLiteral("Tfmset"));
  if (window == nullptr) window = new SettingsWindow(this);
  window->OfferGreaseweazles(DriveKindOf(DriveKind::Greaseweazle).discover());
  window->Load(settings_);
  window->LoadLanguage(LoadLanguageChoice(store_));
  if (!prompts_.Run(*window)) return;
  window->Store(settings_);
  SaveDialogSettings(store_, settings_);
  if (window->StoredLanguage() != LoadLanguageChoice(store_)) {
    SaveLanguageChoice(store_, window->StoredLanguage());
    const QString missing = ApplyLanguage(*QCoreApplication::instance(), ChosenLanguage(window->StoredLanguage()));
    if (!missing.isEmpty()) SetStatusText(0, missing);
    prompts_.Message(tr("Меню уже на новом языке; остальные тексты окна сменятся при следующем запуске."),
                     tr("Настройки"), PromptIcon::Information, PromptButtons::Ok);
  }
  // The user chose the drive just now: its failures are shown at once.
  if (DriveFromSetting()) {
    const DriverStatus status = OpenDriveAtStartup(*driver_, settings_);
    SetStatusText(0, QString::fromStdString(status.statusText));
    ShowErrors(status.messages);
    driveUsable_ = status.diskMenuEnabled;
    driveProblems_ = status.messages;
    return;
  }
  if (driver_ == nullptr) return;
  const DriverStatus status = ReopenDriveAfterSettings(*driver_, settings_);
  ShowErrors(status.messages);
  driveUsable_ = status.diskMenuEnabled;
  driveProblems_ = status.messages;
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
