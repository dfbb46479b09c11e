// ProgressWindow, the progress window of the whole-disk operations: shows the track
// being worked on and a progress bar, offers "Отмена", and runs the engine
// from a 100 ms timer once it has shown.
#pragma once

#include <QDialog>

#include "drive/disk_drive.h"
#include "engine/operation.h"
#include "model/disk.h"
#include "ui/translated_texts.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace velloran {

class TFMain;

class ProgressWindow : public QDialog, public OperationHost {
  Q_OBJECT

 public:
  explicit ProgressWindow(TFMain& owner);

  // What the next showing runs: the caption, the operation, the bar's maximum.
  void Prepare(const QString& caption, const DiskOperation& operation, int progressMaximum, DiskDrive& driver);
  const DiskOperation& Operation() const { return operation_; }
  OperationOutcome Outcome() const { return outcome_; }
  bool Running() const { return running_; }

  // OperationHost
  void ShowTrack(int track) override;
  void SetProgress(int position) override;
  void ProcessPendingEvents() override;
  bool CancelRequested() override { return cancelRequested_; }
  void ClearMainLog() override;
  void AddMainLog(const Phrase& line, bool selected) override;
  void ShowError(const Phrase& text) override;

 signals:
  // The engine reached a track (after the label shows it).
  void TrackShown(int track);

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void reject() override;

 private:
  void OnTimer();
  void OnCancel();

  TFMain& owner_;
  DiskDrive* driver_ = nullptr;
  DiskOperation operation_;
  OperationOutcome outcome_ = OperationOutcome::Completed;
  int progressMaximum_ = 0;
  bool cancelRequested_ = false;
  bool running_ = false;
  QLabel* trackLabel_;
  QProgressBar* progressBar_;
  QPushButton* cancelButton_;
  QTimer* timer_;
  TranslatedTexts texts_;
};

}  // namespace velloran
