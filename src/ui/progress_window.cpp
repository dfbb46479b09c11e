#include "ui/progress_window.h"

#include <algorithm>

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "engine/disk_engines.h"
#include "engine/messages.h"
#include "ui/disk_map.h"
#include "ui/main_window.h"
#include "ui/prompts.h"

namespace velloran {

T_Prog::T_Prog(TFMain& owner) : QDialog(&owner), owner_(owner) {
  setObjectName(QStringLiteral("T_Prog"));
  setModal(true);
  auto* label = new QLabel(tr("Дорожка -"), this);
  label->setObjectName(QStringLiteral("VrLabel1"));
  Vr1_ = new QLabel(QStringLiteral("0"), this);
  Vr1_->setObjectName(QStringLiteral("Vr1"));
  Vr1_->setMinimumWidth(40);
  QFont bold = Vr1_->font();
  bold.setBold(true);
  Vr1_->setFont(bold);
  VrPb_ = new QProgressBar(this);
  VrPb_->setObjectName(QStringLiteral("VrPb"));
  VrPb_->setTextVisible(false);
  VrPb_->setStyleSheet(QStringLiteral(
      "QProgressBar { border: 1px solid #808080; background: white; height: 18px; }"
      "QProgressBar::chunk { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #008000, stop:1 #00FF00); }"));
  bb1_ = new QPushButton(tr("Отмена"), this);
  bb1_->setObjectName(QStringLiteral("bb1"));
  t1_ = new QTimer(this);
  t1_->setObjectName(QStringLiteral("t1"));
  t1_->setSingleShot(true);
  t1_->setInterval(100);

  auto* trackRow = new QHBoxLayout;
  trackRow->addWidget(label);
  trackRow->addWidget(Vr1_);
  trackRow->addStretch();
  trackRow->addWidget(bb1_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(trackRow);
  layout->addWidget(VrPb_);
  setFixedSize(380, 90);

  connect(t1_, &QTimer::timeout, this, &T_Prog::t1Timer);
  connect(bb1_, &QPushButton::clicked, this, &T_Prog::bb1Click);
}

void T_Prog::Prepare(const QString& caption, const DiskOperation& operation, int progressMaximum, DiskDrive& driver) {
  setWindowTitle(caption);
  operation_ = operation;
  progressMaximum_ = progressMaximum;
  driver_ = &driver;
}

// On show: the map goes back to its start, the bar to 0, and the timer is
// armed that starts the engine.
void T_Prog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (parentWidget() != nullptr) move(parentWidget()->geometry().center() - rect().center());
  owner_.Map().ScrollToOrigin();
  bb1_->setEnabled(false);
  VrPb_->setRange(0, std::max(progressMaximum_, 1));
  VrPb_->setValue(0);
  Vr1_->setText(QStringLiteral("0"));
  t1_->start();
  bb1_->setEnabled(true);
  cancelRequested_ = false;
}

// The timer fires once: the engine runs to its end, then the window closes.
void T_Prog::t1Timer() {
  t1_->stop();
  running_ = true;
  outcome_ =
      driver_ != nullptr ? RunDiskOperation(owner_.Disk(), *driver_, *this, operation_) : OperationOutcome::Failed;
  running_ = false;
  owner_.RepaintMap();
  accept();
}

// "Отмена": the engine stops at its next check.
void T_Prog::bb1Click() {
  bb1_->setEnabled(false);
  cancelRequested_ = true;
}

// Escape or the close box act as "Отмена" while the engine runs.
void T_Prog::reject() {
  if (running_) {
    bb1Click();
    return;
  }
  QDialog::reject();
}

void T_Prog::ShowTrack(int track) {
  Vr1_->setText(QString::number(track));
  emit TrackShown(track);
}

void T_Prog::SetProgress(int position) { VrPb_->setValue(std::min(position, VrPb_->maximum())); }

void T_Prog::ProcessPendingEvents() { QApplication::processEvents(); }

void T_Prog::ClearMainLog() {
  owner_.ClearLog();
  owner_.ShowPage(0);
}

void T_Prog::AddMainLog(const std::string& line, bool selected) {
  owner_.AddLogLine(QString::fromStdString(line), selected);
}

void T_Prog::ShowError(const std::string& text) {
  owner_.Questions().Message(QString::fromStdString(text),
                             QString::fromUtf8(kErrorCaption.data(), static_cast<qsizetype>(kErrorCaption.size())),
                             PromptIcon::Error, PromptButtons::Ok);
}

}  // namespace velloran
