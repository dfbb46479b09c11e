#include "ui/cpm_catalog_window.h"

#include <algorithm>

#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/codepages.h"
#include "common/file_io.h"
#include "ui/viewer_window.h"

namespace velloran {

namespace {

constexpr std::uint8_t kCpmEndOfText = 0x1A;  // ^Z

// "Пользователь" is the directory entry's user byte, "Экстент" the number of
// the entry's extent within its file.
const ListColumn kColumns[] = {
    {QT_TRANSLATE_NOOP("velloran::CpmCatalogWindow", "Имя файла"), 100, Qt::AlignLeft | Qt::AlignVCenter},
    {QT_TRANSLATE_NOOP("velloran::CpmCatalogWindow", "Тип"), 50, Qt::AlignCenter},
    {QT_TRANSLATE_NOOP("velloran::CpmCatalogWindow", "Длина"), 60, Qt::AlignRight | Qt::AlignVCenter},
    {QT_TRANSLATE_NOOP("velloran::CpmCatalogWindow", "Пользователь"), 105, Qt::AlignCenter},
    {QT_TRANSLATE_NOOP("velloran::CpmCatalogWindow", "Экстент"), 70, Qt::AlignCenter}};

}  // namespace

CpmCatalogWindow::CpmCatalogWindow(Document& document, Prompts& prompts, FileViewer& viewer, QWidget* parent)
    : QDialog(parent), document_(document), prompts_(prompts), viewer_(viewer), texts_(staticMetaObject.className()) {
  setObjectName(QStringLiteral("T_cCat"));
  texts_.WindowTitle(this, QT_TR_NOOP("Каталог диска CP/M"));
  setModal(false);
  BuildList();
  BuildMenu();

  auto* group = new QGroupBox(this);
  texts_.Title(group, QT_TR_NOOP("Описание диска"));
  auto* grid = new QGridLayout(group);
  fileCountLabel_ = AddInformationLine(grid, QT_TR_NOOP("Количество файлов"), QStringLiteral("l6"), texts_);
  usedLabel_ = AddInformationLine(grid, QT_TR_NOOP("Занято"), QStringLiteral("l5"), texts_);
  freeLabel_ = AddInformationLine(grid, QT_TR_NOOP("Свободно"), QStringLiteral("l4"), texts_);
  definitionLabel_ = AddInformationLine(grid, QT_TR_NOOP("Формат"), QStringLiteral("l7"), texts_);
  definitionLabel_->setWordWrap(true);

  closeButton_ = new QPushButton(this);
  closeButton_->setObjectName(QStringLiteral("BitBtn1"));
  texts_.Text(closeButton_, QT_TR_NOOP("Закрыть"));
  connect(closeButton_, &QPushButton::clicked, this, &CpmCatalogWindow::OnClose);

  auto* side = new QVBoxLayout;
  side->addWidget(group);
  side->addStretch();
  side->addWidget(closeButton_);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(list_, 1);
  layout->addLayout(side);
  resize(700, 420);
}

void CpmCatalogWindow::BuildList() {
  list_ = MakeCatalogList(this, kColumns, texts_);
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
}

void CpmCatalogWindow::BuildMenu() {
  menu_ = MakeListMenu(list_);
  const auto item = [this](const char* name, const char* caption) {
    QAction* action = AddMenuItem(menu_, name, QString());
    texts_.Text(action, caption);
    return action;
  };
  viewHexAction_ = item("HEX1", QT_TR_NOOP("Просмотр HEX"));
  viewTextAction_ = item("N11", QT_TR_NOOP("Просмотр текста"));
  showDeletedAction_ = item("N10", QT_TR_NOOP("Показать удаленные файлы"));
  showDeletedAction_->setCheckable(true);
  showHiddenAction_ = item("N2", QT_TR_NOOP("Показать скрытые файлы"));
  showHiddenAction_->setCheckable(true);
  saveAsAction_ = item("Hob", QT_TR_NOOP("Сохранить как"));
  connect(viewHexAction_, &QAction::triggered, this, &CpmCatalogWindow::OnViewHex);
  connect(viewTextAction_, &QAction::triggered, this, &CpmCatalogWindow::OnViewText);
  connect(showDeletedAction_, &QAction::triggered, this, &CpmCatalogWindow::OnShowDeleted);
  connect(showHiddenAction_, &QAction::triggered, this, &CpmCatalogWindow::OnShowHidden);
  connect(saveAsAction_, &QAction::triggered, this, &CpmCatalogWindow::OnSaveAs);
  connect(menu_, &QMenu::aboutToShow, this, &CpmCatalogWindow::UpdateMenu);
}

void CpmCatalogWindow::ListDirectory() {
  listing_ = ListCpmDisk(document_.Disk(), showDeletedAction_->isChecked(), showHiddenAction_->isChecked());
  list_->clear();
  // Lengths in bytes: the kilobytes-dot-bytes form ("2.384" for 2 KB and
  // 384 bytes) reads like a decimal fraction.
  for (const CpmRow& row : listing_.Rows)
    AddCatalogRow(
        list_, kColumns,
        {QtText(row.Filename), QtText(row.Ext), QString::number(row.Size), QtText(row.User), QtText(row.Number)});
  fileCountLabel_->setText(QString::number(listing_.Rows.size()));
  definitionLabel_->setText(QtText(CpmDefinitionTitle(listing_.Definition)));
  definitionLabel_->setToolTip(QtText(CpmDefinitionDescription(listing_.Definition)));
  ShowSpace();
}

void CpmCatalogWindow::ShowSpace() {
  usedLabel_->setText(tr("%1 кБ").arg(listing_.UsedKilobytes));
  freeLabel_->setText(tr("%1 кБ").arg(listing_.FreeKilobytes));
}

void CpmCatalogWindow::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() != QEvent::LanguageChange) return;
  texts_.Retranslate();
  ShowSpace();
}

void CpmCatalogWindow::OnShowDeleted() { ListDirectory(); }

void CpmCatalogWindow::OnShowHidden() { ListDirectory(); }

void CpmCatalogWindow::UpdateMenu() {
  const bool selected = !list_->selectedItems().isEmpty();
  viewHexAction_->setEnabled(selected);
  viewTextAction_->setEnabled(selected);
  saveAsAction_->setEnabled(selected);
}

std::string CpmCatalogWindow::SelectedName11() const {
  int first = -1;
  for (QTreeWidgetItem* item : list_->selectedItems()) {
    const int row = list_->indexOfTopLevelItem(item);
    if (first < 0 || row < first) first = row;
  }
  if (first < 0 || first >= static_cast<int>(listing_.Rows.size())) return {};
  return listing_.Rows[first].Name11;
}

bool CpmCatalogWindow::FindSelectedFile(CpmFoundFile& found) const {
  const std::string name11 = SelectedName11();
  return !name11.empty() && FindCpmFile(listing_.Definition, listing_.Directory, name11, found) >= 0;
}

// Shows the selected file's bytes in hex, in the Terminal font.
void CpmCatalogWindow::OnViewHex() {
  CpmFoundFile found;
  if (!FindSelectedFile(found)) return;
  viewer_.PrepareHex(CpmFileContents(document_.Disk(), listing_.Definition, found), true);
  prompts_.Run(viewer_);
}

// Shows the selected file as text; a CP/M text ends at its first ^Z, the
// rest of its last record is filler.
void CpmCatalogWindow::OnViewText() {
  CpmFoundFile found;
  if (!FindSelectedFile(found)) return;
  Bytes contents = CpmFileContents(document_.Disk(), listing_.Definition, found);
  contents.erase(std::find(contents.begin(), contents.end(), kCpmEndOfText), contents.end());
  viewer_.PrepareText(contents);
  prompts_.Run(viewer_);
}

// "Сохранить как": writes the selected file's bytes to a chosen file.
void CpmCatalogWindow::OnSaveAs() {
  const std::string name11 = SelectedName11();
  if (name11.empty()) return;
  Prompts& prompts = prompts_;
  FileDialogRequest request;
  request.folder = QtText(document_.Options().SCLDir);
  request.fileName = QtText(ToUtf8(CodePage::Cp1251, name11));
  request.filters = SplitFilterList(tr("Файлы CP/M Profi (*.cpm)|*.cpm"));
  request.defaultSuffix = QStringLiteral("cpm");
  const FileDialogResult answer = prompts.SaveFile(request);
  if (!answer.accepted || answer.files.isEmpty() || answer.files.front().isEmpty()) return;
  const QString fileName = answer.files.front();
  if (QFileInfo::exists(fileName) && prompts.Message(tr("Файл существует! Перезаписать?!"), tr("Внимание!"),
                                                     PromptIcon::None, PromptButtons::YesNo) != PromptAnswer::Yes)
    return;
  CpmFoundFile found;
  if (FindCpmFile(listing_.Definition, listing_.Directory, name11, found) < 0) {
    prompts.Error(QtText(Phrase(MessageId::CpmDirectoryError)));
    return;
  }
  std::string error;
  if (!WriteFileAtomic(PathOf(fileName), CpmFileContents(document_.Disk(), listing_.Definition, found), error)) {
    prompts.Error(QtText(error));
    return;
  }
  RememberFolderSetting(document_, "SCLDir", PathOf(QFileInfo(fileName).absolutePath()));
}

void CpmCatalogWindow::OnClose() { close(); }

}  // namespace velloran
