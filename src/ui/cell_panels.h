// The panels that show one cell of the disk map: the track and sector strip
// above the map, the owner strip under it, the hex pane with its data CRC and
// buttons, the sector box, and the pages of the log and the disk's comments.
// The main window places them and tells them which cell to show.
#pragma once

#include <QString>
#include <QStringList>

#include "model/disk.h"
#include "ui/live_text.h"

class QFrame;
class QGroupBox;
class QLabel;
class QLayout;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolButton;
class QWidget;

namespace velloran {

class Document;
class HexView;
class Prompts;

class CellPanels {
 public:
  CellPanels(Document& document, Prompts& prompts) : document_(document), prompts_(prompts) {}
  // Makes the widgets as children of `parent` (object names as the tests and
  // the settings know them).
  void Build(QWidget* parent);
  // Captions in the current language (the shown sector's state included).
  void Retranslate();

  QWidget* CellStrip() const;
  QWidget* OwnerStrip() const;
  QLayout* HexColumn() const { return hexColumn_; }
  QWidget* SectorBox() const;
  QWidget* Pages() const;
  HexView& HexPane() const { return *hexPane_; }
  QPlainTextEdit& CommentsEdit() const { return *commentsEdit_; }
  QPushButton& AcceptButton() const { return *acceptButton_; }
  QPushButton& SaveButton() const { return *saveButton_; }
  QPushButton& CopyButton() const { return *copyButton_; }
  QToolButton& TakeCommentsButton() const { return *takeCommentsButton_; }
  QToolButton& RestoreCommentsButton() const { return *restoreCommentsButton_; }

  int ShownColumn() const { return shownColumn_; }
  int ShownRow() const { return shownRow_; }
  // The panels show cell (column, row); column 0 is the track's label.
  void ShowCell(int column, int row);
  // The next ShowCell shows its cell whatever was shown before.
  void ForgetShownCell() { shownColumn_ = -1; }
  // The track and sector strip shows these numbers.
  void SetCellLabels(const QString& track, const QString& sector);
  // Nothing of the disk is shown (a click shows a cell again).
  void ShowNothing();
  // The next copy of the weak sector shown.
  void ShowNextCopy();
  // The bytes the pane shows written to a .sec file the user chooses.
  void SavePaneToFile();
  // "Принять": asks, then the edited bytes go back into the shown cell.
  void AcceptPaneEdits();
  // Whether the pane holds edits not yet accepted.
  bool PaneEdited() const;
  // Edits not yet accepted: accept, drop, or keep them (false).
  bool ResolvePaneEdits();
  // The disk's comments shown in the memo, or the memo's text taken into the disk.
  void FillComments();
  void TakeComments();
  bool CommentsPending() const;

  QStringList LogLines() const;
  // The line is put into words now and again when the language changes.
  void AddLogLine(const LiveText& line, bool select);
  void ClearLog();
  void ShowPage(int page);
  // The disk in memory was emptied: labels, memo, log and pane with it.
  void Clear();

 private:
  void SetTrackAndSectorLabels(int column, int row);
  void ShowSector(int track, int slot);
  void ShowSectorCopy(const TSectorRec& sector, int shown);
  void ShowDataCrc(const TSectorRec& sector);
  int ShownLength(const TSectorRec& sector) const;
  void ShowTrack(int track);
  void ShowTrackLog(int track);
  void EmptyHexPane();
  void SetPaneButtons(bool enabled);
  bool CopyPaneIntoShownCell();
  QString SectorStateText(const TSectorRec& sector) const;

  Document& document_;
  Prompts& prompts_;
  // The cell shown; column -1: none.
  int shownColumn_ = 0;
  int shownRow_ = 0;
  int shownCopy_ = 0;  // which copy of the shown sector the pane holds (0 = Data)

  QFrame* cellStrip_ = nullptr;
  QLabel* trackCaption_ = nullptr;
  QLabel* sectorCaption_ = nullptr;
  QLabel* trackLabel_ = nullptr;
  QLabel* sectorLabel_ = nullptr;
  QFrame* ownerStrip_ = nullptr;
  QLabel* ownerLabel_ = nullptr;
  HexView* hexPane_ = nullptr;
  QLayout* hexColumn_ = nullptr;
  QLabel* dataCrcLabel_ = nullptr;
  QPushButton* acceptButton_ = nullptr;
  QPushButton* saveButton_ = nullptr;
  QPushButton* loadButton_ = nullptr;
  QPushButton* copyButton_ = nullptr;
  QGroupBox* sectorBox_ = nullptr;
  QLabel* sectorCaptions_[4] = {};
  // The sector box's values: ID track, side, sector, size, ID CRC, and the data's state.
  QLabel* sectorFields_[6] = {};
  QTabWidget* pages_ = nullptr;
  QListWidget* logList_ = nullptr;
  std::vector<LiveText> logTexts_;  // what each line of logList_ shows
  QPlainTextEdit* commentsEdit_ = nullptr;
  QToolButton* takeCommentsButton_ = nullptr;
  QToolButton* restoreCommentsButton_ = nullptr;
};

}  // namespace velloran
