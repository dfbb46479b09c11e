#include "ui/trdos_catalog_window.h"

#include <algorithm>

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "trdos/catalog_view.h"
#include "ui/entry_editor.h"
#include "ui/viewer_window.h"

namespace velloran {

namespace {

constexpr Qt::Alignment kCentred = Qt::AlignCenter;
const ListColumn kColumns[] = {{"Filename", 90, Qt::AlignLeft | Qt::AlignVCenter},
                               {"Type", 40, kCentred},
                               {"Start", 50, kCentred},
                               {"Length", 55, kCentred},
                               {"Sectors", 65, kCentred},
                               {"F.sec", 50, kCentred},
                               {"F.trk", 50, kCentred}};

constexpr const char* kInformationCaptions[] = {"Название дискеты",  "Тип дискеты",        "Свободный сектор",
                                                "Свободная дорожка", "Свободных секторов", "Количество файлов",
                                                "Удаленных файлов"};

}  // namespace

TrdosCatalogWindow::TrdosCatalogWindow(CatalogWindowContext context, FileViewer& viewer, EntryEditor& editor,
                                       QWidget* parent)
    : QDialog(parent), context_(context), viewer_(viewer), editor_(editor) {
  setObjectName(QStringLiteral("T_ZXCAT"));
  setWindowTitle(tr("Каталог диска TR-DOS"));
  BuildList();
  BuildMenu();

  auto* side = new QVBoxLayout;
  BuildInformation(side);
  side->addStretch();
  closeButton_ = new QPushButton(tr("Закрыть"), this);
  closeButton_->setObjectName(QStringLiteral("BitBtn1"));
  side->addWidget(closeButton_);
  connect(closeButton_, &QPushButton::clicked, this, &TrdosCatalogWindow::OnClose);

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(list_, 1);
  layout->addLayout(side);
  resize(700, 420);
}

void TrdosCatalogWindow::BuildList() { list_ = MakeCatalogList(this, kColumns); }

void TrdosCatalogWindow::BuildInformation(QLayout* layout) {
  auto* group = new QGroupBox(tr("Описание диска"), this);
  auto* grid = new QGridLayout(group);
  for (int i = 0; i < 7; ++i)
    informationValues_[i] = AddInformationLine(grid, kInformationCaptions[i], QStringLiteral("d%1").arg(i + 1));
  layout->addWidget(group);
}

void TrdosCatalogWindow::BuildMenu() {
  struct MenuItem {
    const char* name;  // nullptr: a separator
    const char* caption;
    void (TrdosCatalogWindow::*handler)();
  };
  static constexpr MenuItem kItems[] = {
      {"N1", "Просмотр экрана", &TrdosCatalogWindow::OnViewScreen},
      {"HEX1", "Просмотр HEX", &TrdosCatalogWindow::OnViewHex},
      {nullptr, nullptr, nullptr},
      {"N2", "Уплотнить", &TrdosCatalogWindow::OnCompact},
      {"N4", "Сменить имя диска", &TrdosCatalogWindow::OnRenameDisk},
      {"N10", "Показать удаленные файлы", &TrdosCatalogWindow::OnShowDeleted},
      {nullptr, nullptr, nullptr},
      {"Hob", "Сохранить hob", &TrdosCatalogWindow::OnSaveHobeta},
      {"scl1", "Сохранить scl", &TrdosCatalogWindow::OnSaveScl},
      {nullptr, nullptr, nullptr},
      {"N9", "Редактировать заголовок", &TrdosCatalogWindow::OnEditEntry},
      {"N11", "Восстановить файл", &TrdosCatalogWindow::OnRestoreFile},
      {"N3", "Добавить файл(ы)", &TrdosCatalogWindow::OnAddFiles},
      {"N8", "Удалить файл(ы)", &TrdosCatalogWindow::OnDeleteFiles},
  };
  menu_ = MakeListMenu(list_);
  for (const MenuItem& item : kItems) {
    if (item.name == nullptr) {
      menu_->addSeparator();
      continue;
    }
    QAction* action = AddMenuItem(menu_, item.name, QString::fromUtf8(item.caption));
    connect(action, &QAction::triggered, this, item.handler);
  }
  Item("N10")->setCheckable(true);
  Item("N11")->setEnabled(false);
  connect(menu_, &QMenu::aboutToShow, this, &TrdosCatalogWindow::UpdateMenu);
}

QAction* TrdosCatalogWindow::Item(const char* name) const {
  return menu_->findChild<QAction*>(QString::fromLatin1(name));
}

void TrdosCatalogWindow::Open() {
  ShowCatalog(true);
  context_.prompts.Run(*this);
}

void TrdosCatalogWindow::ShowCatalog(bool opening) {
  CatalogState& state = context_.catalogs;
  if (opening) state.CatalogChanged = false;
  // A catalog read from a drive is only shown: its list has no menu.
  list_->setContextMenuPolicy(state.CatalogEditable ? Qt::CustomContextMenu : Qt::NoContextMenu);
  const DiskInfoTexts info = DiskInfo(state.SharedCatalog);
  const std::string* values[] = {&info.Label,       &info.DiskType, &info.FirstFreeSector, &info.FirstFreeTrack,
                                 &info.FreeSectors, &info.Files,    &info.DeletedFiles};
  for (int i = 0; i < 7; ++i) informationValues_[i]->setText(QtText(*values[i]));
  FillList();
}

// Rebuilds the rows from the catalog: deleted entries only when N10 is checked.
void TrdosCatalogWindow::FillList() {
  list_->clear();
  for (const CatalogRow& row : CatalogRows(context_.catalogs.SharedCatalog, ShowDeleted()))
    AddCatalogRow(list_, kColumns,
                  {QtText(row.Filename), QtText(row.Type), QtText(row.Start), QtText(row.Length), QtText(row.Sectors),
                   QtText(row.FirstSector), QtText(row.FirstTrack)});
}

bool TrdosCatalogWindow::ShowDeleted() const { return Item("N10")->isChecked(); }

std::vector<int> TrdosCatalogWindow::SelectedRows() const {
  std::vector<int> rows;
  for (QTreeWidgetItem* item : list_->selectedItems()) rows.push_back(list_->indexOfTopLevelItem(item));
  std::sort(rows.begin(), rows.end());
  return rows;
}

int TrdosCatalogWindow::SingleSelectedEntry() const {
  const std::vector<int> rows = SelectedRows();
  if (rows.size() != 1) return -1;
  return RowToEntry(context_.catalogs.SharedCatalog, rows.front(), ShowDeleted());
}

void TrdosCatalogWindow::UpdateMenu() {
  const CatalogMenuEnabling menu =
      CatalogMenu(context_.catalogs.SharedCatalog, list_->topLevelItemCount() == 0, SelectedRows(), ShowDeleted());
  const std::pair<const char*, bool> items[] = {
      {"N1", menu.ViewScreen},   {"HEX1", menu.ViewHex},   {"N2", menu.Compact},    {"N4", menu.RenameDisk},
      {"N10", menu.ShowDeleted}, {"Hob", menu.SaveHobeta}, {"scl1", menu.SaveScl},  {"N9", menu.EditEntry},
      {"N11", menu.RestoreFile}, {"N3", menu.AddFiles},    {"N8", menu.DeleteFiles}};
  for (const auto& [name, enabled] : items) Item(name)->setEnabled(enabled);
}

void TrdosCatalogWindow::Finish(const OperationResult& result) {
  for (const Message& message : result.Messages) ShowMessage(context_.prompts, message);
  if (result.Refresh) ShowCatalog(false);
}

// Shows the selected file as a screen picture: 27 sectors from its start.
void TrdosCatalogWindow::OnViewScreen() {
  const int e = SingleSelectedEntry();
  if (e < 0) return;
  const auto bytes = ScreenFileBytes(context_.disk, context_.catalogs.SharedCatalog.Entries[e]);
  if (!bytes) return;
  viewer_.PrepareScreen(*bytes);
  context_.prompts.Run(viewer_);
}

// Shows all sectors of the selected file in hex.
void TrdosCatalogWindow::OnViewHex() {
  const int e = SingleSelectedEntry();
  if (e < 0) return;
  const auto bytes = HexFileBytes(context_.disk, context_.catalogs.SharedCatalog.Entries[e]);
  if (!bytes) return;
  viewer_.PrepareHex(*bytes, false);
  context_.prompts.Run(viewer_);
}

// Moves the live files together after asking.
void TrdosCatalogWindow::OnCompact() {
  if (ShowMessage(context_.prompts, CompactQuestion()) != PromptAnswer::Yes) return;
  Finish(CompactCatalog(context_.catalogs, context_.disk));
}

// Asks for a new disk name and writes it into the information sector.
void TrdosCatalogWindow::OnRenameDisk() {
  QString name;
  if (!AskTextDialog(context_.prompts, RenameDiskDialog(context_.catalogs.SharedCatalog), name)) return;
  Finish(RenameDisk(context_.catalogs, context_.disk, name.toStdString()));
}

// Shows or hides the deleted entries.
void TrdosCatalogWindow::OnShowDeleted() { FillList(); }

// Edits the selected entry in EntryEditor and writes it back when accepted.
void TrdosCatalogWindow::OnEditEntry() {
  const int e = SingleSelectedEntry();
  if (e < 0) return;
  editor_.SetFields(EntryEditorFieldsOf(context_.catalogs.SharedCatalog.Entries[e]));
  if (!context_.prompts.Run(editor_)) return;
  Finish(EditEntry(context_.catalogs, context_.disk, e, editor_.Fields()));
}

// Gives the selected deleted file back its first letter.
void TrdosCatalogWindow::OnRestoreFile() {
  const int e = SingleSelectedEntry();
  if (e < 0 || !context_.catalogs.SharedCatalog.Entries[e].Deleted()) return;
  QString letter;
  if (!AskTextDialog(context_.prompts, RestoreDialog(), letter) || letter.isEmpty()) return;
  Finish(RestoreFile(context_.catalogs, context_.disk, e, letter.toStdString()));
}

// Deletes the selected files after asking.
void TrdosCatalogWindow::OnDeleteFiles() {
  if (ShowMessage(context_.prompts, DeleteQuestion()) != PromptAnswer::Yes) return;
  Finish(DeleteFiles(context_.catalogs, context_.disk, SelectedRows(), ShowDeleted()));
}

void TrdosCatalogWindow::OnClose() { reject(); }

}  // namespace velloran
