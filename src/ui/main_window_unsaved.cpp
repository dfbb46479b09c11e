// Work the user expects not to lose: whether the disk differs from its file
// (shown in the title), the Save / Discard / Cancel question before the disk
// is dropped, hex edits not yet accepted, and the recently used images.
#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include "common/version.h"
#include "ui/main_window.h"
#include "ui/main_window_commands.h"
#include "ui/main_window_text.h"
#include "ui/prompts.h"

namespace velloran {

bool TFMain::IsModified() const {
  return panels_.PaneEdited() || panels_.CommentsPending() || document_.DiskModified();
}

// The menus' items as the disk now allows; the title "EyeAche.trd* — Velloran":
// the file's name, a star while something is unsaved.
void TFMain::RefreshState() {
  RefreshItems(nullptr);
  emit DiskChanged();
  const bool modified = IsModified();
  const QString file = CurImageName();
  if (file.isEmpty() && !modified) {
    setWindowTitle(QStringLiteral("Velloran ") + QLatin1String(kVersion));
    return;
  }
  const QString name = file.isEmpty() ? MainWindowText("Без имени") : file;
  setWindowTitle(name + (modified ? QStringLiteral("*") : QString()) + QStringLiteral(" — Velloran"));
}

bool TFMain::ConfirmUnsaved() {
  const bool edited = panels_.PaneEdited();
  if (!panels_.ResolvePaneEdits()) return false;
  if (edited) RefreshState();
  if (panels_.CommentsPending()) OnTakeComments(*this);
  if (!document_.DiskModified()) return true;
  const QString file = CurImageName();
  const QString name = file.isEmpty() ? MainWindowText("Без имени") : file;
  const PromptAnswer answer =
      prompts_.Message(MainWindowText("Образ «%1» изменён. Сохранить изменения?").arg(name),
                       MainWindowText("Внимание..!"), PromptIcon::Warning, PromptButtons::SaveDiscardCancel);
  if (answer == PromptAnswer::Save) return SaveImageAs(*this);
  return answer == PromptAnswer::Discard;
}

void TFMain::closeEvent(QCloseEvent* event) {
  if (!ConfirmUnsaved()) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

// "Последние образы" opens: one item per image, the most recent first.
void OnRecentFilesMenu(TFMain& window) {
  QMenu* menu = window.findChild<QMenu*>(QStringLiteral("Recent1"));
  menu->clear();
  int number = 0;
  for (const std::string& entry : window.RecentFiles()) {
    const QString file = QString::fromStdString(entry);
    QString caption = QDir::toNativeSeparators(file);
    caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction* item = menu->addAction(QStringLiteral("&%1 %2").arg(++number).arg(caption));
    item->setObjectName(QStringLiteral("RecentFile%1").arg(number));
    QObject::connect(item, &QAction::triggered, &window, [&window, file] {
      OpenRecentFile(window, file);
      window.RefreshState();
    });
  }
}

void OpenRecentFile(TFMain& window, const QString& file) {
  if (!QFileInfo(file).isFile()) {
    window.Doc().ForgetRecentFile(file.toStdString());
    window.Questions().Error(MainWindowText("Файл %1 не найден!\rОн убран из списка последних образов.")
                                 .arg(QDir::toNativeSeparators(file)));
    return;
  }
  window.LoadAndShow(file);
}

}  // namespace velloran
