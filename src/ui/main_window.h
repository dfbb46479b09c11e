// TFMain, the main window: a view of the desktop's document. It places the
// disk map and the cell panels, builds the menus and the map's context menu
// from the menu table (each row's command and when it can be used come from
// the document), shows the status bar and the title, and takes dropped files
// and a second start's hand-off.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <QByteArray>
#include <QList>
#include <QMainWindow>
#include <QString>
#include <QStringList>

#include "document/document.h"
#include "ui/cell_panels.h"
#include "ui/live_text.h"
#include "ui/main_window_commands.h"

class QAction;

namespace velloran {

class DiskMap;
class ElidedLabel;
class MapLegend;
class Prompts;

class TFMain : public QMainWindow {
  Q_OBJECT

 public:
  // Settings are read from `store` at start-up; until then they hold their defaults.
  TFMain(Prompts& prompts, SettingsStore& store, QWidget* parent = nullptr);
  ~TFMain() override;

  // The document and what the other windows share of it.
  Document& Doc() { return document_; }
  TZX_Disk& Disk() { return document_.Disk(); }
  CatalogState& Catalogs() { return document_.Catalogs(); }
  Settings& Options() { return document_.Options(); }
  SettingsStore& Store() { return document_.Store(); }
  Prompts& Questions() { return prompts_; }
  CellPanels& Panels() { return panels_; }
  DiskMap& Map() { return *map_; }
  // Stores a remembered folder (Directory_1, Directory_2, HobetaDir, SCLDir)
  // from the folder of `file`, in memory and in the store.
  void RememberFolder(const std::string& key, const QString& file);

  // File name (without folder) of the image last loaded or saved.
  QString CurImageName() const { return QString::fromStdString(document_.FileName()); }
  // The right-clicked cell the context menu acts on.
  int CurTrack() const { return document_.TargetTrack(); }
  int CurSector() const { return document_.TargetColumn(); }

  // Whether anything would be lost by dropping the disk: it differs from the
  // file last loaded or saved, the hex pane holds bytes not yet accepted, or
  // the comments memo holds text not yet taken.
  bool IsModified() const;
  // The images of the "Последние образы" menu, most recent first.
  const std::vector<std::string>& RecentFiles() const { return document_.RecentFiles(); }

  // Whole text of status-bar panel 0..2 (the panel may show it shortened).
  QString StatusText(int panel) const;
  // The text is put into words now and again when the language changes.
  void SetStatusText(int panel, const LiveText& text);
  // The main log list and the pages ("LOG" 0, "Комментарии к диску" 1).
  QStringList LogLines() const { return panels_.LogLines(); }
  void AddLogLine(const LiveText& line, bool select) { panels_.AddLogLine(line, select); }
  void ClearLog() { panels_.ClearLog(); }
  void ShowPage(int page) { panels_.ShowPage(page); }
  // Map repainted after the model changed.
  void RepaintMap();

  // The drive of the disk commands. A drive chosen on the command line stays;
  // otherwise a Greaseweazle named by the Drive setting takes its place.
  void SetDriver(std::unique_ptr<DiskDrive> driver, bool chosen = true) {
    document_.SetDrive(std::move(driver), chosen);
  }
  DiskDrive* Driver() { return document_.Drive(); }
  // Start-up when the window first shows: settings read and repaired, the
  // driver and the drive opened (their failures wait until a drive command
  // is asked for), then the command line's image loaded.
  void StartUp(const std::filesystem::path& programDirectory, const QString& commandLineFile);
  // Whether the drive commands can be used (driver loaded, drive open).
  bool DiskMenuEnabled() const { return document_.DriveBlocker() == Blocker::None; }
  // Whether a whole-disk operation is running in the progress window.
  bool OperationRunning() const;
  // Runs one whole-disk operation of the "Диск" menu in the progress window.
  void RunDiskCommand(int command);

  // The common load routine: reads an image into a disk of its own and
  // makes it the disk in memory only when that worked; a failure leaves
  // the disk and the panels as they were.
  bool LoadImageFile(const QString& file, QString& error);
  // Loads `file` (any way it came) and shows it, or reports the failure.
  bool OpenImage(const QString& file);
  // A file from the command line, a second start, a drop or the recent
  // files: asks about unsaved changes, loads it and shows it, or reports why not.
  void LoadAndShow(const QString& file);
  // What follows a successful save of `file`: the file is the disk's now.
  void AfterSave(const QString& file);
  // The disk in memory no longer is the image it was loaded from.
  void ForgetImageFile();
  // Unsaved work: before the disk is dropped the user chooses Save, Discard
  // or Cancel. True: go on.
  bool ConfirmUnsaved();

  // A message handed over by a second start ("v" + file name, or "s").
  void OnOpenRequest(const QByteArray& message);
  // Left click on the map (or a keyboard move): the panels show the current cell.
  void OnMapClick();
  // Right click on the map: that cell becomes the current one and the
  // context menu's items are set for it; false when the user kept the
  // previous cell (unaccepted hex edits) and no menu should open.
  bool OnMapContextMenu(int column, int row);
  // Sets enabled, tooltip and visibility of the items of one menu (every
  // menu: nullptr) from the table, as when the menu opens.
  void RefreshItems(const char* menuName);
  // The item of the menus with this object name.
  QAction* Item(const char* name) const;
  // The title and every menu item follow the disk: run after each command.
  void RefreshState();

 signals:
  // The window beeped (a drop it does not take).
  void Beeped();
  // A load ended; the text is what the image panel of the status bar shows,
  // or "Disk Image load error".
  void LoadFinished(const QString& statusText);
  // A command ended; the disk may have changed (the flux views follow it).
  void DiskChanged();

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // A language change captions the menus and panels anew.
  void changeEvent(QEvent* event) override;

 private:
  void BuildLayout();
  void BuildMenus();
  void Connect();
  // Every text of the window in the current language.
  void Retranslate();
  // The status bar's texts put into words again.
  void ShowStatusTexts();
  // The image panel of the status bar: `state` (a source text: loaded or
  // saved), the file and its tracks.
  void ShowImageStatus(const char* state);
  // Hand-off messages that waited for an operation or a question to end.
  void LoadDeferredRequests();

  Prompts& prompts_;
  Document document_;
  CellPanels panels_;
  QList<QByteArray> deferredRequests_;
  DiskMap* map_ = nullptr;
  MapLegend* legend_ = nullptr;
  ElidedLabel* statusPanels_[3] = {};
  LiveText statusTexts_[3] = {FixedText({}), FixedText({}), FixedText({})};  // what each panel shows
  // The action of each row of the menu table (null for menus and separators).
  std::vector<QAction*> tableActions_;
};

}  // namespace velloran
