#include "ui/trdos_catalog_window.h"

#include <algorithm>

#include <QEvent>
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
const ListColumn kColumns[] = {
    {QT_TRANSLATE_NOOP("velloran::TrdosCatalogWindow", "Имя файла"), 90, Qt::AlignLeft | Qt::AlignVCenter},
    {QT_TRANSLATE_NOOP("velloran::TrdosCatalogWindow", "Тип"), 40, kCentred},
    {QT_TRANSLATE_NOOP("velloran::TrdosCatalogWindow", "Старт"), 50, kCentred},
    {QT_TRANSLATE_NOOP("velloran::TrdosCatalogWindow", "Длина"), 55, kCentred},
    {QT_TRANSLATE_NOOP("velloran::TrdosCatalogWindow", "Секторов"), 65, kCentred},
    {QT_TRANSLATE_NOOP("velloran::TrdosCatalogWindow", "Сектор"), 60, kCentred},
    {QT_TRANSLATE_NOOP("velloran::TrdosCatalogWindow", "Дорожка"), 65, kCentred}};

constexpr const char* kInformationCaptions[] = {QT_TRANSLATE_NOOP("velloran::TrdosCatalogWindow", "Название дискеты"),
                                                QT_TRANSLATE_NOOP("velloran::TrdosCatalogWindow", "Тип дискеты"),
                                                QT_TRANSLATE_NOOP("velloran::TrdosCatalogWindow", "Свободный сектор"),
                                                QT_TRANSLATE_NOOP("velloran::TrdosCatalogWindow", "Свободная дорожка"),
                                                QT_TRANSLATE_NOOP("velloran::TrdosCatalogWindow", "Свободных секторов"),
                                                QT_TRANSLATE_NOOP("velloran::TrdosCatalogWindow", "Количество файлов"),
                                                QT_TRANSLATE_NOOP("velloran::TrdosCatalogWindow", "Удаленных файлов")};

// The context menu; an item without a name is a separator. The names are
// the items' object names, which the tests find them by.
struct MenuItem {
  const char* name;
  const char* caption;
  void (TrdosCatalogWindow::*handler)();
};
constexpr MenuItem kSeparator{.name = nullptr, .caption = nullptr, .handler = nullptr};
constexpr MenuItem kMenuItems[] = {
    {.name = "N1",
     .caption = QT_TRANSLATE_NOOP("velloran::TrdosCatalogWindow", "Просмотр экрана"),
     .handler = &TrdosCatalogWindow::OnViewScreen},
    {.name = "HEX1",
     .caption = QT_TRANSLATE_NOOP("velloran::TrdosCatalogWindow", "Просмотр HEX"),
     .handler = &TrdosCatalogWindow::OnViewHex},
    kSeparator,
    {.name = "N2",
     .caption = QT_TRANSLATE_NOOP("velloran::TrdosCatalogWindow", "Уплотнить"),
     .handler = &TrdosCatalogWindow::OnCompact},
    {.name = "N4",
     .caption = QT_TRANSLATE_NOOP("velloran::TrdosCatalogWindow", "Сменить имя диска"),
     .handler = &TrdosCatalogWindow::OnRenameDisk},
    {.name = "N10",
     .caption = QT_TRANSLATE_NOOP("velloran::TrdosCatalogWindow", "Показать удаленные файлы"),
     .handler = &TrdosCatalogWindow::OnShowDeleted},
    kSeparator,
    {.name = "Hob",
     .caption = QT_TRANSLATE_NOOP("velloran::TrdosCatalogWindow", "Сохранить как Hobeta"),
     .handler = &TrdosCatalogWindow::OnSaveHobeta},
    {.name = "scl1",
     .caption = QT_TRANSLATE_NOOP("velloran::TrdosCatalogWindow", "Сохранить как SCL"),
     .handler = &TrdosCatalogWindow::OnSaveScl},
    kSeparator,
    {.name = "N9",
     .caption = QT_TRANSLATE_NOOP("velloran::TrdosCatalogWindow", "Редактировать заголовок"),
     .handler = &TrdosCatalogWindow::OnEditEntry},
    {.name = "N11",
     .caption = QT_TRANSLATE_NOOP("velloran::TrdosCatalogWindow", "Восстановить файл"),
     .handler = &TrdosCatalogWindow::OnRestoreFile},
    {.name = "N3",
     .caption = QT_TRANSLATE_NOOP("velloran::TrdosCatalogWindow", "Добавить файл(ы)"),
     .handler = &TrdosCatalogWindow::OnAddFiles},
    {.name = "N8",
     .caption = QT_TRANSLATE_NOOP("velloran::TrdosCatalogWindow", "Удалить файл(ы)"),
     .handler = &TrdosCatalogWindow::OnDeleteFiles},
};

}  // namespace

TrdosCatalogWindow::TrdosCatalogWindow(Document& document, Prompts& prompts, FileViewer& viewer, EntryEditor& editor,
                                       QWidget* parent)
    : QDialog(parent),
      document_(document),
      prompts_(prompts),
      viewer_(viewer),
      editor_(editor),
      texts_(staticMetaObject.className()) {
  setObjectName(QStringLiteral("T_ZXCAT"));
  texts_.WindowTitle(this, QT_TR_NOOP("Каталог диска TR-DOS"));
  BuildList();
  BuildMenu();

  auto* side = new QVBoxLayout;
  BuildInformation(side);
  side->addStretch();
  closeButton_ = new QPushButton(this);
  closeButton_->setObjectName(QStringLiteral("BitBtn1"));
  texts_.Text(closeButton_, QT_TR_NOOP("Закрыть"));
  side->addWidget(closeButton_);
  connect(closeButton_, &QPushButton::clicked, this, &TrdosCatalogWindow::OnClose);

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(list_, 1);
  layout->addLayout(side);
  resize(740, 420);
}

void TrdosCatalogWindow::BuildList() { list_ = MakeCatalogList(this, kColumns, texts_); }

void TrdosCatalogWindow::BuildInformation(QLayout* layout) {
  auto* group = new QGroupBox(this);
  texts_.Title(group, QT_TR_NOOP("Описание диска"));
  auto* grid = new QGridLayout(group);
  for (int i = 0; i < 7; ++i)
    informationValues_[i] = AddInformationLine(grid, kInformationCaptions[i], QStringLiteral("d%1").arg(i + 1), texts_);
  layout->addWidget(group);
}

void TrdosCatalogWindow::BuildMenu() {
  menu_ = MakeListMenu(list_);
  for (const MenuItem& item : kMenuItems) {
    if (item.name == nullptr) {
      menu_->addSeparator();
      continue;
    }
    QAction* action = AddMenuItem(menu_, item.name, QString());
    texts_.Text(action, item.caption);
    connect(action, &QAction::triggered, this, item.handler);
  }
  Item("N10")->setCheckable(true);
  Item("N11")->setEnabled(false);
  connect(menu_, &QMenu::aboutToShow, this, &TrdosCatalogWindow::UpdateMenu);
}

QAction* TrdosCatalogWindow::Item(const char* name) const {
  return menu_->findChild<QAction*>(QString::fromLatin1(name));
}

void TrdosCatalogWindow::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() != QEvent::LanguageChange) return;
  texts_.Retranslate();
  ShowDiskType();
}

void TrdosCatalogWindow::ShowDiskType() {
  informationValues_[1]->setText(QtText(DiskTypePhrase(document_.Catalogs().SharedCatalog.DiskType)));
}

void TrdosCatalogWindow::Open() {
  ShowCatalog(true);
  prompts_.Run(*this);
}

void TrdosCatalogWindow::ShowCatalog(bool opening) {
  CatalogState& state = document_.Catalogs();
  if (opening) state.CatalogChanged = false;
  // A catalog read from a drive is only shown: its list has no menu.
  list_->setContextMenuPolicy(state.CatalogEditable ? Qt::CustomContextMenu : Qt::NoContextMenu);
  const DiskInfoTexts info = DiskInfo(state.SharedCatalog);
  // The disk type (line 2) is a word, shown in the window's language.
  const std::string* values[] = {&info.Label,       nullptr,     &info.FirstFreeSector, &info.FirstFreeTrack,
                                 &info.FreeSectors, &info.Files, &info.DeletedFiles};
  for (int i = 0; i < 7; ++i)
    if (values[i] != nullptr) informationValues_[i]->setText(QtText(*values[i]));
  ShowDiskType();
  FillList();
}

// Rebuilds the rows from the catalog: deleted entries only when N10 is checked.
void TrdosCatalogWindow::FillList() {
  list_->clear();
  for (const CatalogRow& row : CatalogRows(document_.Catalogs().SharedCatalog, ShowDeleted()))
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
  return RowToEntry(document_.Catalogs().SharedCatalog, rows.front(), ShowDeleted());
}

void TrdosCatalogWindow::UpdateMenu() {
  const CatalogMenuEnabling menu =
      CatalogMenu(document_.Catalogs().SharedCatalog, list_->topLevelItemCount() == 0, SelectedRows(), ShowDeleted());
  const std::pair<const char*, bool> items[] = {
      {"N1", menu.ViewScreen},   {"HEX1", menu.ViewHex},   {"N2", menu.Compact},    {"N4", menu.RenameDisk},
      {"N10", menu.ShowDeleted}, {"Hob", menu.SaveHobeta}, {"scl1", menu.SaveScl},  {"N9", menu.EditEntry},
      {"N11", menu.RestoreFile}, {"N3", menu.AddFiles},    {"N8", menu.DeleteFiles}};
  for (const auto& [name, enabled] : items) Item(name)->setEnabled(enabled);
}

void TrdosCatalogWindow::Finish(const OperationResult& result) {
  for (const Message& message : result.Messages) ShowMessage(prompts_, message);
  if (result.Refresh) ShowCatalog(false);
}

// Shows the selected file as a screen picture: 27 sectors from its start.
void TrdosCatalogWindow::OnViewScreen() {
  const int e = SingleSelectedEntry();
  if (e < 0) return;
  const auto bytes = ScreenFileBytes(document_.Disk(), document_.Catalogs().SharedCatalog.Entries[e]);
  if (!bytes) return;
  viewer_.PrepareScreen(*bytes);
  prompts_.Run(viewer_);
}

// Shows all sectors of the selected file in hex.
void TrdosCatalogWindow::OnViewHex() {
  const int e = SingleSelectedEntry();
  if (e < 0) return;
  const auto bytes = HexFileBytes(document_.Disk(), document_.Catalogs().SharedCatalog.Entries[e]);
  if (!bytes) return;
  viewer_.PrepareHex(*bytes, false);
  prompts_.Run(viewer_);
}

// Moves the live files together after asking.
void TrdosCatalogWindow::OnCompact() {
  if (ShowMessage(prompts_, CompactQuestion()) != PromptAnswer::Yes) return;
  Finish(CompactCatalog(document_.Catalogs(), document_.Disk()));
}

// Asks for a new disk name and writes it into the information sector.
void TrdosCatalogWindow::OnRenameDisk() {
  QString name;
  if (!AskTextDialog(prompts_, RenameDiskDialog(document_.Catalogs().SharedCatalog), name)) return;
  Finish(RenameDisk(document_.Catalogs(), document_.Disk(), name.toStdString()));
}

// Shows or hides the deleted entries.
void TrdosCatalogWindow::OnShowDeleted() { FillList(); }

// Edits the selected entry in EntryEditor and writes it back when accepted.
void TrdosCatalogWindow::OnEditEntry() {
  const int e = SingleSelectedEntry();
  if (e < 0) return;
  editor_.SetFields(EntryEditorFieldsOf(document_.Catalogs().SharedCatalog.Entries[e]));
  if (!prompts_.Run(editor_)) return;
  Finish(EditEntry(document_.Catalogs(), document_.Disk(), e, editor_.Fields()));
}

// Gives the selected deleted file back its first letter.
void TrdosCatalogWindow::OnRestoreFile() {
  const int e = SingleSelectedEntry();
  if (e < 0 || !document_.Catalogs().SharedCatalog.Entries[e].Deleted()) return;
  QString letter;
  if (!AskTextDialog(prompts_, RestoreDialog(), letter) || letter.isEmpty()) return;
  Finish(RestoreFile(document_.Catalogs(), document_.Disk(), e, letter.toStdString()));
}

// Deletes the selected files after asking.
void TrdosCatalogWindow::OnDeleteFiles() {
  if (ShowMessage(prompts_, DeleteQuestion()) != PromptAnswer::Yes) return;
  Finish(DeleteFiles(document_.Catalogs(), document_.Disk(), SelectedRows(), ShowDeleted()));
}

void TrdosCatalogWindow::OnClose() { reject(); }

}  // namespace velloran
