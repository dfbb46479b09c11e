#include "ui/qt_prompts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace velloran {

namespace {

// Message texts use a carriage return alone as the line break.
QString DisplayText(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

QMessageBox::Icon BoxIcon(PromptIcon icon) {
  switch (icon) {
    case PromptIcon::Information: return QMessageBox::Information;
    case PromptIcon::Warning: return QMessageBox::Warning;
    case PromptIcon::Error: return QMessageBox::Critical;
    case PromptIcon::Question: return QMessageBox::Question;
    case PromptIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

// "Name (*.a,*.b)|*.a;*.b" -> "Name (*.a *.b)", the form Qt reads its
// patterns from.
QString QtNameFilter(const QString& entry) {
  const qsizetype bar = entry.indexOf(QLatin1Char('|'));
  QString description = bar < 0 ? entry : entry.left(bar);
  const QString patterns = bar < 0 ? QString() : entry.mid(bar + 1);
  const qsizetype open = description.lastIndexOf(QLatin1Char('('));
  if (open > 0) description = description.left(open).trimmed();
  return description + QStringLiteral(" (") + QString(patterns).replace(QLatin1Char(';'), QLatin1Char(' ')) +
         QLatin1Char(')');
}

}  // namespace

PromptAnswer QtPrompts::Message(const QString& text, const QString& caption, PromptIcon icon, PromptButtons buttons) {
  QMessageBox box(BoxIcon(icon), caption, DisplayText(text), QMessageBox::NoButton, parent_);
  switch (buttons) {
    case PromptButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case PromptButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case PromptButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
    case PromptButtons::SaveDiscardCancel:
      box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
      box.setDefaultButton(QMessageBox::Save);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Yes: return PromptAnswer::Yes;
    case QMessageBox::No: return PromptAnswer::No;
    case QMessageBox::Ok: return PromptAnswer::Ok;
    case QMessageBox::Save: return PromptAnswer::Save;
    case QMessageBox::Discard: return PromptAnswer::Discard;
    default: break;
  }
  // Closing the box counts as its mildest answer.
  return buttons == PromptButtons::Ok      ? PromptAnswer::Ok
         : buttons == PromptButtons::YesNo ? PromptAnswer::No
                                           : PromptAnswer::Cancel;
}

void PrepareFileDialog(QFileDialog& dialog, const FileDialogRequest& request, bool save) {
  dialog.setWindowTitle(request.title);
  dialog.setDirectory(request.folder);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  if (save) {
    // The commands ask about overwriting themselves.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setFileMode(QFileDialog::AnyFile);
  } else {
    dialog.setFileMode(request.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  }
  QStringList nameFilters;
  for (const QString& entry : request.filters) nameFilters << QtNameFilter(entry);
  dialog.setNameFilters(nameFilters);
  if (request.filterIndex >= 1 && request.filterIndex <= nameFilters.size())
    dialog.selectNameFilter(nameFilters[request.filterIndex - 1]);
  dialog.setDefaultSuffix(request.defaultSuffix);
  if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
  if (request.suffixForFilter) {
    QFileDialog* target = &dialog;
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [target, nameFilters, suffixForFilter = request.suffixForFilter](const QString& filter) {
                       const int index = static_cast<int>(nameFilters.indexOf(filter)) + 1;
                       if (index > 0) target->setDefaultSuffix(suffixForFilter(index));
                     });
  }
}

FileDialogResult QtPrompts::RunFileDialog(const FileDialogRequest& request, bool save) {
  QFileDialog dialog(parent_);
  PrepareFileDialog(dialog, request, save);
  const QStringList nameFilters = dialog.nameFilters();
  FileDialogResult result;
  result.filterIndex = request.filterIndex;
  if (dialog.exec() != QDialog::Accepted) return result;
  result.accepted = true;
  result.files = dialog.selectedFiles();
  const int chosen = static_cast<int>(nameFilters.indexOf(dialog.selectedNameFilter())) + 1;
  if (chosen > 0) result.filterIndex = chosen;
  return result;
}

FileDialogResult QtPrompts::OpenFiles(const FileDialogRequest& request) { return RunFileDialog(request, false); }

FileDialogResult QtPrompts::SaveFile(const FileDialogRequest& request) { return RunFileDialog(request, true); }

QString QtPrompts::ChooseFolder(const QString& title, const QString& folder) {
  return QFileDialog::getExistingDirectory(parent_, title, folder, QFileDialog::DontUseNativeDialog);
}

bool QtPrompts::AskText(const TextRequest& request, QString& text) {
  QDialog dialog(parent_);
  dialog.setWindowTitle(request.caption);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(DisplayText(request.text)));
  auto* row = new QGridLayout;
  auto* edit = new QLineEdit(text);
  if (request.maxLength > 0) edit->setMaxLength(request.maxLength);
  row->addWidget(new QLabel(request.label), 0, 0);
  row->addWidget(edit, 0, 1);
  layout->addLayout(row);
  auto* buttons = new QDialogButtonBox;
  QPushButton* accept = buttons->addButton(request.acceptButton, QDialogButtonBox::AcceptRole);
  accept->setDefault(true);
  if (!request.cancelButton.isEmpty()) buttons->addButton(request.cancelButton, QDialogButtonBox::RejectRole);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  edit->selectAll();
  if (dialog.exec() != QDialog::Accepted) return false;
  text = edit->text();
  return true;
}

bool QtPrompts::Run(QDialog& dialog) { return dialog.exec() == QDialog::Accepted; }

}  // namespace velloran
