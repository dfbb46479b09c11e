#include "ui/cpm_catalog_window.h"

#include <algorithm>

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

const ListColumn kColumns[] = {{"Filename", 100, Qt::AlignLeft | Qt::AlignVCenter},
                               {"Ext", 50, Qt::AlignCenter},
                               {"Length", 60, Qt::AlignRight | Qt::AlignVCenter},
                               {"Atrib", 75, Qt::AlignLeft | Qt::AlignVCenter},
                               {"№", 50, Qt::AlignLeft | Qt::AlignVCenter}};

}  // namespace

CpmCatalogWindow::CpmCatalogWindow(CatalogWindowContext context, FileViewer& viewer, QWidget* parent)
    : QDialog(parent), context_(context), viewer_(viewer) {
  setObjectName(QStringLiteral("T_cCat"));
  setWindowTitle(tr("Каталог диска CP/M"));
  setModal(false);
  BuildList();
  BuildMenu();

  auto* group = new QGroupBox(tr("Описание диска"), this);
  auto* grid = new QGridLayout(group);
  fileCountLabel_ = AddInformationLine(grid, "Количество файлов", QStringLiteral("l6"));
  usedLabel_ = AddInformationLine(grid, "Занято", QStringLiteral("l5"));
  freeLabel_ = AddInformationLine(grid, "Свободно", QStringLiteral("l4"));
  definitionLabel_ = AddInformationLine(grid, "Формат", QStringLiteral("l7"));
  definitionLabel_->setWordWrap(true);

  closeButton_ = new QPushButton(tr("Закрыть"), this);
  closeButton_->setObjectName(QStringLiteral("BitBtn1"));
  connect(closeButton_, &QPushButton::clicked, this, &CpmCatalogWindow::OnClose);

  auto* side = new QVBoxLayout;
  side->addWidget(group);
  side->addStretch();
  side->addWidget(closeButton_);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(list_, 1);
  layout->addLayout(side);
  resize(620, 420);
}

void CpmCatalogWindow::BuildList() {
  list_ = MakeCatalogList(this, kColumns);
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
}

void CpmCatalogWindow::BuildMenu() {
  menu_ = MakeListMenu(list_);
  viewHexAction_ = AddMenuItem(menu_, "HEX1", tr("Просмотр HEX"));
  viewTextAction_ = AddMenuItem(menu_, "N11", tr("Просмотр текста"));
  showDeletedAction_ = AddMenuItem(menu_, "N10", tr("Показать удаленные файлы"));
  showDeletedAction_->setCheckable(true);
  showHiddenAction_ = AddMenuItem(menu_, "N2", tr("Показать скрытые файлы"));
  showHiddenAction_->setCheckable(true);
  saveAsAction_ = AddMenuItem(menu_, "Hob", tr("Сохранить как"));
  connect(viewHexAction_, &QAction::triggered, this, &CpmCatalogWindow::OnViewHex);
  connect(viewTextAction_, &QAction::triggered, this, &CpmCatalogWindow::OnViewText);
  connect(showDeletedAction_, &QAction::triggered, this, &CpmCatalogWindow::OnShowDeleted);
  connect(showHiddenAction_, &QAction::triggered, this, &CpmCatalogWindow::OnShowHidden);
  connect(saveAsAction_, &QAction::triggered, this, &CpmCatalogWindow::OnSaveAs);
  connect(menu_, &QMenu::aboutToShow, this, &CpmCatalogWindow::UpdateMenu);
}

void CpmCatalogWindow::ListDirectory() {
  listing_ = ListCpmDisk(context_.disk, showDeletedAction_->isChecked(), showHiddenAction_->isChecked());
  list_->clear();
  // Lengths in bytes: the kilobytes-dot-bytes form ("2.384" for 2 KB and
  // 384 bytes) reads like a decimal fraction.
  for (const CpmRow& row : listing_.Rows)
    AddCatalogRow(
        list_, kColumns,
        {QtText(row.Filename), QtText(row.Ext), QString::number(row.Size), QtText(row.Atrib), QtText(row.Number)});
  freeLabel_->setText(QtText(listing_.l4));
  usedLabel_->setText(QtText(listing_.l5));
  fileCountLabel_->setText(QtText(listing_.l6));
  definitionLabel_->setText(QtText(listing_.Definition.Title));
  definitionLabel_->setToolTip(QtText(CpmDefinitionText(listing_.Definition)));
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
  viewer_.PrepareHex(CpmFileContents(context_.disk, listing_.Definition, found), true);
  context_.prompts.Run(viewer_);
}

// Shows the selected file as text; a CP/M text ends at its first ^Z, the
// rest of its last record is filler.
void CpmCatalogWindow::OnViewText() {
  CpmFoundFile found;
  if (!FindSelectedFile(found)) return;
  Bytes contents = CpmFileContents(context_.disk, listing_.Definition, found);
  contents.erase(std::find(contents.begin(), contents.end(), kCpmEndOfText), contents.end());
  viewer_.PrepareText(contents);
  context_.prompts.Run(viewer_);
}

// "Сохранить как": writes the selected file's bytes to a chosen file.
void CpmCatalogWindow::OnSaveAs() {
  const std::string name11 = SelectedName11();
  if (name11.empty()) return;
  Prompts& prompts = context_.prompts;
  FileDialogRequest request;
  request.folder = QtText(context_.settings.SCLDir);
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
    prompts.Error(QString::fromUtf8(kCpmCatalogError));
    return;
  }
  std::string error;
  if (!WriteFileAtomic(PathOf(fileName), CpmFileContents(context_.disk, listing_.Definition, found), error)) {
    prompts.Error(QtText(error));
    return;
  }
  RememberFolderSetting(context_, "SCLDir", PathOf(QFileInfo(fileName).absolutePath()));
}

void CpmCatalogWindow::OnClose() { close(); }

}  // namespace velloran
