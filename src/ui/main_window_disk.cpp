// The drive side of the main window: start-up, the "Диск" and "Контроллер"
// menus, the settings window, and images handed over by a second start.
#include <utility>

#include <QApplication>
#include <QTimer>

#include "drive/priority.h"
#include "engine/controller_commands.h"
#include "engine/operation_start.h"
#include "model/disk_fingerprint.h"
#include "session/driver_choice.h"
#include "settings/desktop_settings.h"
#include "ui/catalog_windows.h"
#include "ui/disk_map.h"
#include "ui/live_text.h"
#include "ui/main_window.h"
#include "ui/main_window_commands.h"
#include "ui/main_window_text.h"
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

void ShowErrors(Prompts& prompts, const std::vector<Phrase>& messages) {
  for (const Phrase& text : messages)
    prompts.Message(QtText(text), MainWindowText("Ошибка!"), PromptIcon::Error, PromptButtons::Ok);
}

// Start-up: priority, settings, the driver and the drive, then the image
// named on the command line (empty: none). A PC without a floppy controller
// is normal: the drive's failures go to the status bar and wait until the
// user asks for a drive command.
void TFMain::StartUp(const std::filesystem::path& programDirectory, const QString& commandLineFile) {
  RaiseControllerPriority();
  document_.LoadSettings(programDirectory);
  map_->SetZoom(LoadMapZoom(document_.Store()));
  const DriverStatus status = document_.OpenDrive();
  if (document_.Drive() != nullptr) SetStatusText(0, PhraseShown(status.statusText));
  RefreshState();
  if (!commandLineFile.isEmpty()) LoadAndShow(commandLineFile);
}

// Runs one whole-disk operation in the progress window. A read replaces
// what the disk in memory holds, so unsaved work is asked about first; a
// disk changed by the drive belongs to no file any more.
void TFMain::RunDiskCommand(int command) {
  if (!DiskMenuEnabled()) {
    OnExplainDriveProblem(*this);
    return;
  }
  const auto kind = static_cast<DiskCommand>(command);
  const CommandStart start = PrepareDiskCommand(kind, document_.Options(), document_.Disk());
  ShowErrors(prompts_, start.messages);
  if (!start.run) return;
  if (ReadsIntoMemory(kind) && !ConfirmUnsaved()) return;
  auto* progress = findChild<ProgressWindow*>(QStringLiteral("T_Prog"));
  if (progress == nullptr) progress = new ProgressWindow(*this);
  progress->Prepare(QtText(start.caption), start.operation, start.progressMaximum, *document_.Drive());
  const auto before = DiskFingerprint(document_.Disk());
  progress->exec();
  RepaintMap();
  if (DiskFingerprint(document_.Disk()) != before) ShowDiskFromDrive(*this);
  // Images handed over while the operation ran are loaded now.
  LoadDeferredRequests();
}

// The disk in memory is now the drive's: it belongs to no file, and nothing
// of the old disk stays in the pane and the sector box (the operation's log
// stays in view); a click shows a cell of the disk read.
void ShowDiskFromDrive(TFMain& window) {
  window.ForgetImageFile();
  window.Panels().ShowNothing();
  window.RefreshState();
}

void TFMain::LoadDeferredRequests() {
  const QList<QByteArray> waiting = std::exchange(deferredRequests_, {});
  for (const QByteArray& message : waiting) OnOpenRequest(message);
}

bool TFMain::OperationRunning() const {
  const auto* progress = findChild<ProgressWindow*>(QStringLiteral("T_Prog"));
  return progress != nullptr && progress->isVisible();
}

// The reasons of the start-up (or of the last settings change) in one message.
void OnExplainDriveProblem(TFMain& window) {
  window.Questions().Message(BlockerText(window.Doc(), window.Doc().DriveBlocker()), MainWindowText("Ошибка!"),
                             PromptIcon::Error, PromptButtons::Ok);
}

void OnScanTracks(TFMain& window) { window.RunDiskCommand(static_cast<int>(DiskCommand::ScanTracks)); }
void OnReadSectors(TFMain& window) { window.RunDiskCommand(static_cast<int>(DiskCommand::ReadSectors)); }
void OnScanAndRead(TFMain& window) { window.RunDiskCommand(static_cast<int>(DiskCommand::ScanAndRead)); }
void OnFormatDisk(TFMain& window) { window.RunDiskCommand(static_cast<int>(DiskCommand::Format)); }
void OnWriteDisk(TFMain& window) { window.RunDiskCommand(static_cast<int>(DiskCommand::Write)); }
void OnFormatAndWrite(TFMain& window) { window.RunDiskCommand(static_cast<int>(DiskCommand::FormatAndWrite)); }

// "Сбросить FDD контроллер": reset and heads to cylinder 0; silent on success.
void OnResetController(TFMain& window) {
  if (!window.DiskMenuEnabled()) {
    OnExplainDriveProblem(window);
    return;
  }
  if (const auto message = ResetController(*window.Driver())) ShowErrors(window.Questions(), {*message});
}

// "Считать ZX каталог": the TR-DOS catalog straight from the disk in the drive.
void OnReadDriveCatalog(TFMain& window) {
  if (!window.DiskMenuEnabled()) {
    OnExplainDriveProblem(window);
    return;
  }
  window.Panels().SetCellLabels(QStringLiteral("0"), QStringLiteral("0"));
  window.ClearLog();
  window.ShowPage(0);
  CatalogState& catalogs = window.Catalogs();
  const DriveCatalogResult result = ReadDriveCatalog(*window.Driver(), catalogs.SharedCatalog);
  if (result.message) ShowErrors(window.Questions(), {*result.message});
  if (!result.showCatalog) return;
  catalogs.CatalogEditable = false;
  catalogs.CatalogChanged = false;
  ShowTrdosCatalogWindow(window);
}

// "Настройки программы": the settings window; accepted values are saved and
// the drive is opened again with them.
void OnOpenSettings(TFMain& window) {
  auto* settingsWindow = window.findChild<SettingsWindow*>(QStringLiteral("Tfmset"));
  if (settingsWindow == nullptr) settingsWindow = new SettingsWindow(&window);
  Settings& settings = window.Options();
  SettingsStore& store = window.Store();
  settingsWindow->OfferGreaseweazles(DriveKindOf(DriveKind::Greaseweazle).discover());
  settingsWindow->Load(settings);
  settingsWindow->LoadLanguage(LoadLanguageChoice(store));
  if (!window.Questions().Run(*settingsWindow)) return;
  settingsWindow->Store(settings);
  SaveDialogSettings(store, settings);
  if (settingsWindow->StoredLanguage() != LoadLanguageChoice(store)) {
    SaveLanguageChoice(store, settingsWindow->StoredLanguage());
    const QString missing =
        ApplyLanguage(*QCoreApplication::instance(), ChosenLanguage(settingsWindow->StoredLanguage()));
    if (!missing.isEmpty()) window.SetStatusText(0, FixedText(missing));
    window.Questions().Message(MainWindowText("Язык окон сменён."), MainWindowText("Настройки"),
                               PromptIcon::Information, PromptButtons::Ok);
  }
  // A drive the user chose just now shows its failures at once.
  const DriverStatus status = window.Doc().ApplyDriveSettings();
  if (!status.statusText.Empty()) window.SetStatusText(0, PhraseShown(status.statusText));
  ShowErrors(window.Questions(), status.messages);
}

// A message from a second start: come forward, and load its file if it named one.
void TFMain::OnOpenRequest(const QByteArray& message) {
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
