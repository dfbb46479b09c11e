#include "ui/progress_window.h"

#include <algorithm>

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "engine/disk_engines.h"
#include "ui/disk_map.h"
#include "ui/live_text.h"
#include "ui/main_window.h"
#include "ui/main_window_text.h"
#include "ui/prompts.h"
#include "ui/translated_texts.h"

namespace velloran {

ProgressWindow::ProgressWindow(TFMain& owner) : QDialog(&owner), owner_(owner), texts_(staticMetaObject.className()) {
  setObjectName(QStringLiteral("T_Prog"));
  setModal(true);
  auto* label = new QLabel(this);
  texts_.Text(label, QT_TR_NOOP("Дорожка -"));
  label->setObjectName(QStringLiteral("VrLabel1"));
  trackLabel_ = new QLabel(QStringLiteral("0"), this);
  trackLabel_->setObjectName(QStringLiteral("Vr1"));
  trackLabel_->setMinimumWidth(40);
  QFont bold = trackLabel_->font();
  bold.setBold(true);
  trackLabel_->setFont(bold);
  progressBar_ = new QProgressBar(this);
  progressBar_->setObjectName(QStringLiteral("VrPb"));
  progressBar_->setTextVisible(false);
  progressBar_->setStyleSheet(QStringLiteral(
      "QProgressBar { border: 1px solid #808080; background: white; height: 18px; }"
      "QProgressBar::chunk { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #008000, stop:1 #00FF00); }"));
  cancelButton_ = new QPushButton(this);
  texts_.Text(cancelButton_, QT_TR_NOOP("Отмена"));
  cancelButton_->setObjectName(QStringLiteral("bb1"));
  timer_ = new QTimer(this);
  timer_->setObjectName(QStringLiteral("t1"));
  timer_->setSingleShot(true);
  timer_->setInterval(100);

  auto* trackRow = new QHBoxLayout;
  trackRow->addWidget(label);
  trackRow->addWidget(trackLabel_);
  trackRow->addStretch();
  trackRow->addWidget(cancelButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(trackRow);
  layout->addWidget(progressBar_);
  setFixedSize(380, 90);

  connect(timer_, &QTimer::timeout, this, &ProgressWindow::OnTimer);
  connect(cancelButton_, &QPushButton::clicked, this, &ProgressWindow::OnCancel);
}

void ProgressWindow::Prepare(const QString& caption, const DiskOperation& operation, int progressMaximum,
                             DiskDrive& driver) {
  setWindowTitle(caption);
  operation_ = operation;
  progressMaximum_ = progressMaximum;
  driver_ = &driver;
}

// On show: the map goes back to its start, the bar to 0, and the timer is
// armed that starts the engine.
void ProgressWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (parentWidget() != nullptr) move(parentWidget()->geometry().center() - rect().center());
  owner_.Map().ScrollToOrigin();
  cancelButton_->setEnabled(false);
  progressBar_->setRange(0, std::max(progressMaximum_, 1));
  progressBar_->setValue(0);
  trackLabel_->setText(QStringLiteral("0"));
  timer_->start();
  cancelButton_->setEnabled(true);
  cancelRequested_ = false;
}

// The timer fires once: the engine runs to its end, then the window closes.
void ProgressWindow::OnTimer() {
  timer_->stop();
  running_ = true;
  outcome_ =
      driver_ != nullptr ? RunDiskOperation(owner_.Disk(), *driver_, *this, operation_) : OperationOutcome::Failed;
  running_ = false;
  owner_.RepaintMap();
  accept();
}

// "Отмена": the engine stops at its next check.
void ProgressWindow::OnCancel() {
  cancelButton_->setEnabled(false);
  cancelRequested_ = true;
}

// The window lives on between operations: its words follow the language.
void ProgressWindow::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::LanguageChange) texts_.Retranslate();
}

// Escape or the close box act as "Отмена" while the engine runs.
void ProgressWindow::reject() {
  if (running_) {
    OnCancel();
    return;
  }
  QDialog::reject();
}

void ProgressWindow::ShowTrack(int track) {
  trackLabel_->setText(QString::number(track));
  emit TrackShown(track);
}

void ProgressWindow::SetProgress(int position) { progressBar_->setValue(std::min(position, progressBar_->maximum())); }

void ProgressWindow::ProcessPendingEvents() { QApplication::processEvents(); }

void ProgressWindow::ClearMainLog() {
  owner_.ClearLog();
  owner_.ShowPage(0);
}

void ProgressWindow::AddMainLog(const Phrase& line, bool selected) { owner_.AddLogLine(PhraseShown(line), selected); }

void ProgressWindow::ShowError(const Phrase& text) {
  owner_.Questions().Message(QtText(text), MainWindowText("Ошибка!"), PromptIcon::Error, PromptButtons::Ok);
}

}  // namespace velloran
