// TFMain, the main window: the disk map, the hex pane, the sector panel, the
// log and comments tabs, the status bar, the menus and the map's context
// menu. It owns the one disk of the program, routes every command and knows
// whether the disk differs from the file it came from.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include <QByteArray>
#include <QList>
#include <QMainWindow>
#include <QString>
#include <QStringList>

#include "drive/floppy_driver.h"
#include "formats/save_losses.h"

#include "model/disk.h"
#include "settings/settings.h"
#include "trdos/catalog.h"

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QGroupBox;
class QTabWidget;
class QToolButton;
class QFrame;

namespace velloran {

class DiskMap;
class ElidedLabel;
class HexView;
class MapLegend;
class Prompts;

class TFMain : public QMainWindow {
  Q_OBJECT

 public:
  // Settings are read from `store` at start-up; until then they hold their defaults.
  TFMain(Prompts& prompts, SettingsStore& store, QWidget* parent = nullptr);
  ~TFMain() override;

  // The one disk of the program and what the windows share about it.
  TZX_Disk& Disk() { return disk_; }
  Prompts& Questions() { return prompts_; }
  CatalogState& Catalogs() { return catalogs_; }
  Settings& Options() { return settings_; }
  SettingsStore& Store() { return store_; }
  // Stores a remembered folder (Directory_1, Directory_2, HobetaDir, SCLDir)
  // from the folder of `file`, in memory and in the store.
  void RememberFolder(const std::string& key, const QString& file);

  // File name (without folder) of the image last loaded or saved.
  const QString& CurImageName() const { return curImageName_; }
  int CurTrack() const { return curTrack_; }
  int CurSector() const { return curSector_; }

  // Whether anything would be lost by dropping the disk: it differs from the
  // file last loaded or saved, the hex pane holds bytes not yet accepted, or
  // the comments memo holds text not yet taken.
  bool IsModified() const;
  // The images of the "Последние образы" menu, most recent first.
  const std::vector<std::string>& RecentFiles() const { return recentFiles_; }

  // Whole text of status-bar panel 0..2 (the panel may show it shortened).
  QString StatusText(int panel) const;
  void SetStatusText(int panel, const QString& text);
  // Lines of the main log list.
  QStringList LogLines() const;
  // Adds a line to the main log; a selected line becomes the current item.
  void AddLogLine(const QString& line, bool select);
  void ClearLog();
  // Shows page 0 ("LOG") or 1 ("Комментарии к диску").
  void ShowPage(int page);
  // Map repainted after the model changed.
  void RepaintMap();

  // The driver the "Диск" and "Контроллер" menus work with.
  // The drive of the disk commands. A drive chosen on the command line stays;
  // otherwise a Greaseweazle named by the Drive setting takes its place.
  void SetDriver(std::unique_ptr<DiskDrive> driver, bool chosen = true);
  DiskDrive* Driver() { return driver_.get(); }
  // Start-up when the window first shows: settings read and repaired, the
  // driver and the drive opened (their failures wait until a drive command
  // is asked for), then the command line's image loaded.
  void StartUp(const std::filesystem::path& programDirectory, const QString& commandLineFile);
  // Whether the drive commands can be used (driver loaded, drive open).
  bool DiskMenuEnabled() const;
  // Whether a whole-disk operation is running in the progress window.
  bool OperationRunning() const;
  void ScrollMapToOrigin();

  // The common load routine: reads an image into a disk of its own and
  // makes it the disk in memory only when that worked; a failure leaves
  // the disk and the panels as they were.
  bool LoadImageFile(const QString& file, QString& error);
  // A file from the command line, a second start, a drop or the recent
  // files: asks about unsaved changes, loads it and shows it, or reports why not.
  void LoadAndShow(const QString& file);

  // Menu, map and button commands; the menu table says which item runs which.
  void N1Click();         // "Образ" opens: its items enabled as the disk allows
  void N2Click();         // "Диск" opens: its items enabled as the drive and the disk allow
  void N31Click();        // "Загрузить образ": load an image chosen in a dialog
  void N32Click();        // "Сохранить образ": save the disk as an image chosen in a dialog
  void N4Click();         // "Загрузить" (udf): load the program's own whole-disk file
  void N6Click();         // "Сохранить" (udf): save the disk in the program's own file
  void N20Click();        // "Выход": close the window (asks about unsaved changes)
  void TRDOS1Click();     // "Создать образ" -> "TR-DOS диска": a new empty TR-DOS disk
  void CPMProfi1Click();  // "Создать образ" -> "CP/M диска (Profi)": a new empty CP/M disk
  void N21Click();  // "Использовать базовый шаблон для всех дорожек": base track on or off
  void N26Click();   // "Просмотреть ZX каталог": the TR-DOS catalog window
  void CPM1Click();  // "Просмотреть CP/M каталог": the CP/M catalog window
  void N12Click();   // "Очистить образ": empty the whole disk
  void N8Click();    // "Сканирование дорожек": scan the disk's tracks for sector IDs
  void N9Click();    // "Чтение секторов по меткам": read the sectors whose IDs are known
  void N17Click();   // "Сканирование и чтение диска": scan and read the whole disk
  void N14Click();   // "Форматировать диск": format with the IDs in memory
  void N15Click();   // "Записать диск": write the sectors in memory
  void N33Click();   // "Форматировать и записать": both, track by track
  void N10Click();   // "Считать ZX каталог": the TR-DOS catalog straight from the drive
  // Rescue commands (main_window_rescue.cpp).
  void FastRead1Click();  // "Быстрое чтение диска": each track in about one turn, then re-reads
  void MergeImage1Click();  // "Объединить с другим образом": one disk from this one and chosen dumps
  void N22Click();          // "Сбросить FDD контроллер": reset the controller, heads to cylinder 0
  void N29Click();          // "Настройки программы": the settings window
  void About1Click();       // "О программе": name, version and purpose
  void DriveProblemClick();  // "Почему дисковод недоступен?": the start-up's drive errors in one message
  void ZoomIn1Click();     // "Крупнее": larger map cells
  void ZoomOut1Click();    // "Мельче": smaller map cells
  void ZoomReset1Click();  // "Обычный размер": map cells at 100 %
  void Legend1Click();     // "Легенда карты": show or hide the map's legend
  // Flux views (main_window_plots.cpp).
  void TrackView1Click();    // "Поток дорожки": the track view for the current cell's track
  void DiskPicture1Click();  // "Картина диска": the disk picture beside the map, shown or hidden
  void z8Click();            // "Убрать дорожку": the right-clicked track leaves the image
  void z9Click();            // "Добавить дорожку": the right-clicked track is part of the image again
  void z10Click();           // "Убрать сектор": remove the right-clicked slot, later slots move up
  void z11Click();           // "Добавить сектор": make the right-clicked empty slot a sector
  void z12Click();           // "Данные секторов -> RAW": sectors' data into every raw track image
  void z14Click();           // "Очистить дорожку": drop the right-clicked track's raw image
  void z22Click();  // "Установить базовой дорожкой": the right-clicked track becomes the base track
  void z23Click();  // "Редактировать адрес сектора": edit the right-clicked slot's ID field
  // A message handed over by a second start ("v" + file name, or "s").
  void WMOpenRequest(const QByteArray& message);
  // Left click on the map (or a keyboard move): the panels show the current cell.
  void zxdClick();
  // Right click on the map: that cell becomes the current one and the
  // context menu's items are set for it; false when the user kept the
  // previous cell (unaccepted hex edits) and no menu should open.
  bool zxdContextPopup(int column, int row);
  void s1ByteChange();  // a byte edited in the hex pane: "Принять" may be used
  void lb1Exit();       // leaving the comments memo: its lines become the disk's comments
  void pnb1Click();     // "Принять" under the hex pane: the edited bytes go back into the disk
  void pnb2Click();     // "Сохранить" under the hex pane: the pane's bytes to a .sec file
  // Default extension for a 1-based filter index of the save dialog.
  static QString sd2TypeChange(int filterIndex);

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
  // A language change captions the menus anew; the other texts of the
  // window follow at the next start.
  void changeEvent(QEvent* event) override;

 private:
  bool DriveFromSetting();
  // One row of the menu table: a menu, a submenu, an item or a separator.
  struct MenuEntry;
  // The main menus, the map's context menu and their items, in order.
  static std::span<const MenuEntry> MenuTable();

  void BuildPanels();
  void BuildMenus();
  void BuildStatusBar();
  void ConnectCommands();
  QAction* Item(const char* name) const;
  // Sets enabled, tooltip and visibility of the items of one menu (every
  // menu: nullptr) from the table.
  void RefreshItems(const char* menuName);
  // Captions every menu and item of the table in the current language.
  void CaptionMenus();
  // Runs a command of the table, then shows in the title what it changed.
  void RunCommand(void (TFMain::*handler)());

  // Why an item cannot be used now; empty text when it can.
  QString NoAction() const;
  QString NoDisk() const;
  QString NoDrive() const;
  QString NoDriveOrNoDisk() const;
  QString NoRecentFiles() const;
  QString NotPresentTrackLabel() const;
  QString NotAbsentTrackLabel() const;
  QString NotRawTrackLabel() const;
  QString NotUsedSlot() const;
  QString NotAddableSlot() const;
  // Whether a context-menu item shows for the right-clicked cell.
  bool OnUsedSlot() const;
  bool OnPresentTrackLabel() const;
  bool DriveUnavailable() const;

  void RunDiskCommand(int command);
  // Hand-off messages that waited for an operation or a question to end.
  void LoadDeferredRequests();
  void ShowErrors(const std::vector<std::string>& messages);
  void SetTrackAndSectorLabels(int column, int row);
  // The panels show cell (column, row).
  void ShowCell(int column, int row);
  void ShowSector(int track, int slot);
  // Copy shownCopy_ of a sector in the hex pane, the bytes where its copies
  // differ marked; copies after the first are read-only.
  void ShowSectorCopy(const TSectorRec& sector, int shown);
  void cpb1Click();  // "Копия i из n" under the hex pane: the next copy of a weak sector
  // The data CRC label: the CRC of the sector's data, none without data.
  void ShowDataCrc(const TSectorRec& sector);
  int ShownLength(const TSectorRec& sector) const;
  void ShowTrack(int track);
  void ShowTrackLog(int track);
  void EmptyHexPane();
  void SetPaneButtons(bool enabled);
  void FillComments();

  // Loads `file` (any way it came) and shows it, or reports the failure.
  bool OpenImage(const QString& file);
  // The disk just loaded or created replaces the one in memory.
  void ReplaceDisk(TZX_Disk& incoming);
  // A disk made in memory is shown from its first cell, with no file name.
  void ShowNewDisk();
  void ShowDiskFromDrive();
  // The disk in memory no longer is the image it was loaded from.
  void ForgetImageFile();
  bool AskOverwrite(const QString& file);
  void LogLosses(const QString& file, const SaveLosses& losses);
  // The save dialog and the save; false when nothing was saved.
  bool SaveImageAs();
  // What follows a successful save of `file`.
  void AfterSave(const QString& file);

  // Unsaved work: the title shows it, and before the disk is dropped the
  // user chooses Save, Discard or Cancel. True: go on.
  bool ConfirmUnsaved();
  // Hex edits not yet accepted: accept, drop, or keep them (false).
  bool ResolvePaneEdits();
  // Copies the pane's bytes into the cell it shows; false when that cell holds nothing to copy into.
  bool CopyPaneIntoShownCell();
  bool DiskModified() const;
  bool CommentsPending() const;
  void MarkSaved();
  // The title and every menu item follow the disk: run after each command.
  void RefreshState();

  // Recent files: added after every load and save, kept in the settings.
  void AddRecentFile(const QString& file);
  void FillRecentMenu();
  void OpenRecentFile(const QString& file);

  Prompts& prompts_;
  SettingsStore& store_;
  Settings settings_;
  TZX_Disk disk_;
  CatalogState catalogs_;
  std::unique_ptr<DiskDrive> driver_;
  bool driverChosen_ = true;  // the drive came from the command line, not the Drive setting
  // Whether the drive could be used when last opened (at start-up or after
  // the settings), and the messages that said why not.
  bool driveUsable_ = true;
  std::vector<std::string> driveProblems_;
  QList<QByteArray> deferredRequests_;
  QString curImageName_;
  std::vector<std::string> recentFiles_;
  std::uint64_t savedFingerprint_ = 0;
  int curTrack_ = -1;
  int curSector_ = -1;
  // The cell the labels, the hex pane and the sector group show.
  int shownColumn_ = 0;
  int shownRow_ = 0;
  int saveFilterIndex_ = 1;

  DiskMap* zxd_ = nullptr;
  MapLegend* legend_ = nullptr;
  HexView* s1_ = nullptr;
  QFrame* pnTS_ = nullptr;
  QLabel* l1_ = nullptr;
  QLabel* l2_ = nullptr;
  QFrame* trp1_ = nullptr;
  QLabel* mml1_ = nullptr;
  QFrame* pn7_ = nullptr;
  QLabel* vCRC_ = nullptr;
  QPushButton* pnb1_ = nullptr;
  QPushButton* pnb2_ = nullptr;
  QPushButton* pnb3_ = nullptr;
  QPushButton* cpb1_ = nullptr;
  int shownCopy_ = 0;  // which copy of the shown sector the pane holds (0 = Data)
  QGroupBox* gb1_ = nullptr;
  QLabel* an_[6] = {};
  QTabWidget* pc1_ = nullptr;
  QListWidget* Lzx1_ = nullptr;
  QPlainTextEdit* lb1_ = nullptr;
  QToolButton* tlb1_ = nullptr;
  QToolButton* tlb2_ = nullptr;
  ElidedLabel* panels_[3] = {};
  QMenu* pm1_ = nullptr;
  // The action of each row of the menu table (null for menus and separators).
  std::vector<QAction*> tableActions_;
};

}  // namespace velloran
