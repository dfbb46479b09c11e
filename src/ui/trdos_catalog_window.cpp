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

T_ZXCAT::T_ZXCAT(CatalogWindowContext context, TFmScr& viewer, TFLed& editor, QWidget* parent)
    : QDialog(parent), context_(context), viewer_(viewer), editor_(editor) {
  setObjectName(QStringLiteral("T_ZXCAT"));
  setWindowTitle(tr("Каталог диска TR-DOS"));
  BuildList();
  BuildMenu();

  auto* side = new QVBoxLayout;
  BuildInformation(side);
  side->addStretch();
  BitBtn1_ = new QPushButton(tr("Закрыть"), this);
  BitBtn1_->setObjectName(QStringLiteral("BitBtn1"));
  side->addWidget(BitBtn1_);
  connect(BitBtn1_, &QPushButton::clicked, this, &T_ZXCAT::BitBtn1Click);

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(LV1_, 1);
  layout->addLayout(side);
  resize(700, 420);
}

void T_ZXCAT::BuildList() { LV1_ = MakeCatalogList(this, kColumns); }

void T_ZXCAT::BuildInformation(QLayout* layout) {
  auto* group = new QGroupBox(tr("Описание диска"), this);
  auto* grid = new QGridLayout(group);
  for (int i = 0; i < 7; ++i)
    d_[i] = AddInformationLine(grid, kInformationCaptions[i], QStringLiteral("d%1").arg(i + 1));
  layout->addWidget(group);
}

void T_ZXCAT::BuildMenu() {
  struct MenuItem {
    const char* name;  // nullptr: a separator
    const char* caption;
    void (T_ZXCAT::*handler)();
  };
  static constexpr MenuItem kItems[] = {
      {"N1", "Просмотр экрана", &T_ZXCAT::N1Click},
      {"HEX1", "Просмотр HEX", &T_ZXCAT::HEX1Click},
      {nullptr, nullptr, nullptr},
      {"N2", "Уплотнить", &T_ZXCAT::N2Click},
      {"N4", "Сменить имя диска", &T_ZXCAT::N4Click},
      {"N10", "Показать удаленные файлы", &T_ZXCAT::N10Click},
      {nullptr, nullptr, nullptr},
      {"Hob", "Сохранить hob", &T_ZXCAT::HobClick},
      {"scl1", "Сохранить scl", &T_ZXCAT::scl1Click},
      {nullptr, nullptr, nullptr},
      {"N9", "Редактировать заголовок", &T_ZXCAT::N9Click},
      {"N11", "Восстановить файл", &T_ZXCAT::N11Click},
      {"N3", "Добавить файл(ы)", &T_ZXCAT::N3Click},
      {"N8", "Удалить файл(ы)", &T_ZXCAT::N8Click},
  };
  pm1_ = MakeListMenu(LV1_);
  for (const MenuItem& item : kItems) {
    if (item.name == nullptr) {
      pm1_->addSeparator();
      continue;
    }
    QAction* action = AddMenuItem(pm1_, item.name, QString::fromUtf8(item.caption));
    connect(action, &QAction::triggered, this, item.handler);
  }
  Item("N10")->setCheckable(true);
  Item("N11")->setEnabled(false);
  connect(pm1_, &QMenu::aboutToShow, this, &T_ZXCAT::pm1Popup);
}

QAction* T_ZXCAT::Item(const char* name) const { return pm1_->findChild<QAction*>(QString::fromLatin1(name)); }

void T_ZXCAT::Open() {
  FormShow(true);
  context_.prompts.Run(*this);
}

void T_ZXCAT::FormShow(bool opening) {
  CatalogState& state = context_.catalogs;
  if (opening) state.CatalogChanged = 0;
  // A catalog read from a drive is only shown: its list has no menu.
  LV1_->setContextMenuPolicy(state.CatalogEditable == 1 ? Qt::CustomContextMenu : Qt::NoContextMenu);
  const DiskInfoTexts info = DiskInfo(state.SharedCatalog);
  const std::string* values[] = {&info.d1, &info.d2, &info.d3, &info.d4, &info.d5, &info.d6, &info.d7};
  for (int i = 0; i < 7; ++i) d_[i]->setText(QtText(*values[i]));
  FillList();
}

// Rebuilds the rows from the catalog: deleted entries only when N10 is checked.
void T_ZXCAT::FillList() {
  LV1_->clear();
  for (const CatalogRow& row : CatalogRows(context_.catalogs.SharedCatalog, ShowDeleted()))
    AddCatalogRow(LV1_, kColumns,
                  {QtText(row.Filename), QtText(row.Type), QtText(row.Start), QtText(row.Length), QtText(row.Sectors),
                   QtText(row.FirstSector), QtText(row.FirstTrack)});
}

bool T_ZXCAT::ShowDeleted() const { return Item("N10")->isChecked(); }

std::vector<int> T_ZXCAT::SelectedRows() const {
  std::vector<int> rows;
  for (QTreeWidgetItem* item : LV1_->selectedItems()) rows.push_back(LV1_->indexOfTopLevelItem(item));
  std::sort(rows.begin(), rows.end());
  return rows;
}

int T_ZXCAT::SingleSelectedEntry() const {
  const std::vector<int> rows = SelectedRows();
  if (rows.size() != 1) return -1;
  return RowToEntry(context_.catalogs.SharedCatalog, rows.front(), ShowDeleted());
}

void T_ZXCAT::pm1Popup() {
  const CatalogMenuEnabling menu =
      CatalogMenu(context_.catalogs.SharedCatalog, LV1_->topLevelItemCount() == 0, SelectedRows(), ShowDeleted());
  const std::pair<const char*, bool> items[] = {{"N1", menu.N1},     {"HEX1", menu.HEX1}, {"N2", menu.N2},
                                                {"N4", menu.N4},     {"N10", menu.N10},   {"Hob", menu.Hob},
                                                {"scl1", menu.scl1}, {"N9", menu.N9},     {"N11", menu.N11},
                                                {"N3", menu.N3},     {"N8", menu.N8}};
  for (const auto& [name, enabled] : items) Item(name)->setEnabled(enabled);
}

void T_ZXCAT::Finish(const OperationResult& result) {
  for (const Message& message : result.Messages) ShowMessage(context_.prompts, message);
  if (result.Refresh) FormShow(false);
}

// Shows the selected file as a screen picture: 27 sectors from its start.
void T_ZXCAT::N1Click() {
  const int e = SingleSelectedEntry();
  if (e < 0) return;
  const auto bytes = ScreenFileBytes(context_.disk, context_.catalogs.SharedCatalog.Entries[e]);
  if (!bytes) return;
  viewer_.PrepareScreen(*bytes);
  context_.prompts.Run(viewer_);
}

// Shows all sectors of the selected file in hex.
void T_ZXCAT::HEX1Click() {
  const int e = SingleSelectedEntry();
  if (e < 0) return;
  const auto bytes = HexFileBytes(context_.disk, context_.catalogs.SharedCatalog.Entries[e]);
  if (!bytes) return;
  viewer_.PrepareHex(*bytes, false);
  context_.prompts.Run(viewer_);
}

// Moves the live files together after asking.
void T_ZXCAT::N2Click() {
  if (ShowMessage(context_.prompts, CompactQuestion()) != PromptAnswer::Yes) return;
  Finish(CompactCatalog(context_.catalogs, context_.disk));
}

// Asks for a new disk name and writes it into the information sector.
void T_ZXCAT::N4Click() {
  QString name;
  if (!AskTextDialog(context_.prompts, RenameDiskDialog(context_.catalogs.SharedCatalog), name)) return;
  Finish(RenameDisk(context_.catalogs, context_.disk, name.toStdString()));
}

// Shows or hides the deleted entries.
void T_ZXCAT::N10Click() { FillList(); }

// Edits the selected entry in TFLed and writes it back when accepted.
void T_ZXCAT::N9Click() {
  const int e = SingleSelectedEntry();
  if (e < 0) return;
  editor_.SetFields(EntryEditorFieldsOf(context_.catalogs.SharedCatalog.Entries[e]));
  if (!context_.prompts.Run(editor_)) return;
  Finish(EditEntry(context_.catalogs, context_.disk, e, editor_.Fields()));
}

// Gives the selected deleted file back its first letter.
void T_ZXCAT::N11Click() {
  const int e = SingleSelectedEntry();
  if (e < 0 || !context_.catalogs.SharedCatalog.Entries[e].Deleted()) return;
  QString letter;
  if (!AskTextDialog(context_.prompts, RestoreDialog(), letter) || letter.isEmpty()) return;
  Finish(RestoreFile(context_.catalogs, context_.disk, e, letter.toStdString()));
}

// Deletes the selected files after asking.
void T_ZXCAT::N8Click() {
  if (ShowMessage(context_.prompts, DeleteQuestion()) != PromptAnswer::Yes) return;
  Finish(DeleteFiles(context_.catalogs, context_.disk, SelectedRows(), ShowDeleted()));
}

void T_ZXCAT::BitBtn1Click() { reject(); }

}  // namespace velloran
