// TFMain, the main window: the disk map, the hex pane, the sector panel, the
// log and comments tabs, the status bar, the menus and the map's context
// menu. It owns the one disk of the program and routes every command.
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

#include "fdc/floppy_driver.h"
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
class HexView;
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

  // Text of status-bar panel 0..2.
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
  void SetDriver(std::unique_ptr<FloppyDriver> driver);
  FloppyDriver* Driver() { return driver_.get(); }
  // Start-up when the window first shows: settings read and repaired, the
  // driver and the drive opened, then the command line's image loaded.
  void StartUp(const std::filesystem::path& programDirectory, const QString& commandLineFile);
  bool DiskMenuEnabled() const;
  // Whether a whole-disk operation is running in the progress window.
  bool OperationRunning() const;
  void ScrollMapToOrigin();

  // The common load routine: reads an image chosen by its extension.
  bool LoadImageFile(const QString& file, QString& error);
  // What follows a load from a drop, a hand-off or the command line: the
  // panels show the new disk, or the error is shown and the disk cleared.
  void LoadAndShow(const QString& file);

  // Menu and map commands.
  void N1Click();
  void N2Click();
  void N31Click();
  void N32Click();
  void N4Click();
  void N6Click();
  void TRDOS1Click();
  void CPMProfi1Click();
  void N21Click();
  void N26Click();
  void CPM1Click();
  void N12Click();
  void N8Click();
  void N9Click();
  void N17Click();
  void N14Click();
  void N15Click();
  void N33Click();
  void N10Click();
  // Rescue commands (main_window_rescue.cpp).
  void FastRead1Click();
  void MergeImage1Click();
  void N22Click();
  void N29Click();
  // A message handed over by a second start ("v" + file name, or "s").
  void WMOpenRequest(const QByteArray& message);
  void zxdClick();
  void zxdContextPopup(int column, int row);
  void s1ByteChange();
  void lb1Exit();
  void pnb1Click();
  void pnb2Click();
  void z8Click();
  void z9Click();
  void z10Click();
  void z11Click();
  void z12Click();
  void z14Click();
  void z22Click();
  void z23Click();
  // Default extension for a 1-based filter index of the save dialog.
  static QString sd2TypeChange(int filterIndex);

 signals:
  // The window beeped (a drop it does not take).
  void Beeped();
  // A load ended; the text is what the image panel of the status bar shows.
  void LoadFinished(const QString& statusText);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildPanels();
  void BuildMenus();
  void BuildContextMenu();
  void BuildStatusBar();
  void ConnectCommands();
  QAction* AddItem(QMenu* menu, const char* name, const QString& caption);
  QAction* Item(const char* name) const;

  void RunDiskCommand(int command);
  // Hand-off messages that waited for an operation or a question to end.
  void LoadDeferredRequests();
  void SetDiskMenuEnabled(bool enabled);
  void ShowErrors(const std::vector<std::string>& messages);
  void SetTrackAndSectorLabels(int column, int row);
  void ShowSector(int track, int slot);
  void ShowTrack(int track);
  void ShowTrackLog(int track);
  void EmptyHexPane();
  void SetPaneButtons(bool enabled);
  void FillComments();
  void AfterLoad(bool loaded, const QString& error, bool rememberFolder, const QString& file);
  bool AskOverwrite(const QString& file);
  void LogLosses(const QString& file, const SaveLosses& losses);

  Prompts& prompts_;
  SettingsStore& store_;
  Settings settings_;
  TZX_Disk disk_;
  CatalogState catalogs_;
  std::unique_ptr<FloppyDriver> driver_;
  QList<QByteArray> deferredRequests_;
  QString curImageName_;
  int curTrack_ = -1;
  int curSector_ = -1;
  int saveFilterIndex_ = 1;
  // Whether a udf file has been loaded since start (the owner strip shows only then).
  bool ownerCatalogLoaded_ = false;

  DiskMap* zxd_ = nullptr;
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
  QGroupBox* gb1_ = nullptr;
  QLabel* an_[6] = {};
  QTabWidget* pc1_ = nullptr;
  QListWidget* Lzx1_ = nullptr;
  QPlainTextEdit* lb1_ = nullptr;
  QToolButton* tlb1_ = nullptr;
  QToolButton* tlb2_ = nullptr;
  QLabel* panels_[3] = {};
  QMenu* pm1_ = nullptr;
};

}  // namespace velloran
