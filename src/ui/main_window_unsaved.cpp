// Work the user expects not to lose: whether the disk differs from its file
// (shown in the title), the Save / Discard / Cancel question before the disk
// is dropped, hex edits not yet accepted, and the recently used images.
#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

#include "common/version.h"
#include "model/disk_fingerprint.h"
#include "settings/desktop_settings.h"
#include "ui/hex_view.h"
#include "ui/main_window.h"
#include "ui/prompts.h"

namespace velloran {

namespace {

const QString kNoName = QStringLiteral("Без имени");

}  // namespace

bool TFMain::DiskModified() const { return DiskFingerprint(disk_) != savedFingerprint_; }

bool TFMain::CommentsPending() const {
  QStringList lines;
  for (const std::string& line : disk_.Comments) lines << QString::fromStdString(line);
  return lb1_->toPlainText() != lines.join(QLatin1Char('\n'));
}

bool TFMain::IsModified() const { return pnb1_->isEnabled() || CommentsPending() || DiskModified(); }

void TFMain::MarkSaved() { savedFingerprint_ = DiskFingerprint(disk_); }

// The menus' items as the disk now allows; the title "EyeAche.trd* — Velloran":
// the file's name, a star while something is unsaved.
void TFMain::RefreshState() {
  RefreshItems(nullptr);
  emit DiskChanged();
  const bool modified = IsModified();
  if (curImageName_.isEmpty() && !modified) {
    setWindowTitle(QStringLiteral("Velloran ") + QLatin1String(kVersion));
    return;
  }
  const QString name = curImageName_.isEmpty() ? kNoName : curImageName_;
  setWindowTitle(name + (modified ? QStringLiteral("*") : QString()) + QStringLiteral(" — Velloran"));
}

bool TFMain::ConfirmUnsaved() {
  if (!ResolvePaneEdits()) return false;
  if (CommentsPending()) lb1Exit();
  if (!DiskModified()) return true;
  const QString name = curImageName_.isEmpty() ? kNoName : curImageName_;
  const PromptAnswer answer =
      prompts_.Message(QStringLiteral("Образ «%1» изменён. Сохранить изменения?").arg(name),
                       QStringLiteral("Внимание..!"), PromptIcon::Warning, PromptButtons::SaveDiscardCancel);
  if (answer == PromptAnswer::Save) return SaveImageAs();
  return answer == PromptAnswer::Discard;
}

bool TFMain::ResolvePaneEdits() {
  if (!pnb1_->isEnabled()) return true;
  const PromptAnswer answer =
      prompts_.Message(QStringLiteral("Изменения в HEX редакторе не приняты.\rПринять их?"),
                       QStringLiteral("Внимание!"), PromptIcon::Question, PromptButtons::YesNoCancel);
  if (answer == PromptAnswer::Cancel) return false;
  if (answer == PromptAnswer::Yes) CopyPaneIntoShownCell();
  pnb1_->setEnabled(false);
  s1_->ClearChangeMarks();
  RefreshState();
  return true;
}

void TFMain::closeEvent(QCloseEvent* event) {
  if (!ConfirmUnsaved()) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

void TFMain::AddRecentFile(const QString& file) {
  recentFiles_ = WithRecentFile(recentFiles_, QFileInfo(file).absoluteFilePath().toStdString());
  SaveRecentFiles(store_, recentFiles_);
}

// "Последние образы" opens: one item per image, the most recent first.
void TFMain::FillRecentMenu() {
  QMenu* menu = findChild<QMenu*>(QStringLiteral("Recent1"));
  menu->clear();
  int number = 0;
  for (const std::string& entry : recentFiles_) {
    const QString file = QString::fromStdString(entry);
    QString caption = QDir::toNativeSeparators(file);
    caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction* item = menu->addAction(QStringLiteral("&%1 %2").arg(++number).arg(caption));
    item->setObjectName(QStringLiteral("RecentFile%1").arg(number));
    connect(item, &QAction::triggered, this, [this, file] {
      OpenRecentFile(file);
      RefreshState();
    });
  }
}

void TFMain::OpenRecentFile(const QString& file) {
  if (!QFileInfo(file).isFile()) {
    recentFiles_ = WithoutRecentFile(recentFiles_, file.toStdString());
    SaveRecentFiles(store_, recentFiles_);
    prompts_.Error(QStringLiteral("Файл %1 не найден!\rОн убран из списка последних образов.")
                       .arg(QDir::toNativeSeparators(file)));
    return;
  }
  LoadAndShow(file);
}

}  // namespace velloran
