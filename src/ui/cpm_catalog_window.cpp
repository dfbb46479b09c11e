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

T_cCat::T_cCat(CatalogWindowContext context, TFmScr& viewer, QWidget* parent)
    : QDialog(parent), context_(context), viewer_(viewer) {
  setObjectName(QStringLiteral("T_cCat"));
  setWindowTitle(tr("Каталог диска CP/M"));
  setModal(false);
  BuildList();
  BuildMenu();

  auto* group = new QGroupBox(tr("Описание диска"), this);
  auto* grid = new QGridLayout(group);
  l6_ = AddInformationLine(grid, "Количество файлов", QStringLiteral("l6"));
  l5_ = AddInformationLine(grid, "Занято", QStringLiteral("l5"));
  l4_ = AddInformationLine(grid, "Свободно", QStringLiteral("l4"));
  l7_ = AddInformationLine(grid, "Формат", QStringLiteral("l7"));
  l7_->setWordWrap(true);

  BitBtn1_ = new QPushButton(tr("Закрыть"), this);
  BitBtn1_->setObjectName(QStringLiteral("BitBtn1"));
  connect(BitBtn1_, &QPushButton::clicked, this, &T_cCat::BitBtn1Click);

  auto* side = new QVBoxLayout;
  side->addWidget(group);
  side->addStretch();
  side->addWidget(BitBtn1_);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(LV1_, 1);
  layout->addLayout(side);
  resize(620, 420);
}

void T_cCat::BuildList() {
  LV1_ = MakeCatalogList(this, kColumns);
  LV1_->setContextMenuPolicy(Qt::CustomContextMenu);
}

void T_cCat::BuildMenu() {
  pm1_ = MakeListMenu(LV1_);
  HEX1_ = AddMenuItem(pm1_, "HEX1", tr("Просмотр HEX"));
  N11_ = AddMenuItem(pm1_, "N11", tr("Просмотр текста"));
  N10_ = AddMenuItem(pm1_, "N10", tr("Показать удаленные файлы"));
  N10_->setCheckable(true);
  N2_ = AddMenuItem(pm1_, "N2", tr("Показать скрытые файлы"));
  N2_->setCheckable(true);
  Hob_ = AddMenuItem(pm1_, "Hob", tr("Сохранить как"));
  connect(HEX1_, &QAction::triggered, this, &T_cCat::HEX1Click);
  connect(N11_, &QAction::triggered, this, &T_cCat::N11Click);
  connect(N10_, &QAction::triggered, this, &T_cCat::N10Click);
  connect(N2_, &QAction::triggered, this, &T_cCat::N2Click);
  connect(Hob_, &QAction::triggered, this, &T_cCat::HobClick);
  connect(pm1_, &QMenu::aboutToShow, this, &T_cCat::pm1Popup);
}

void T_cCat::FormShow() {
  listing_ = ListCpmDisk(context_.disk, N10_->isChecked(), N2_->isChecked());
  LV1_->clear();
  // Lengths in bytes: the kilobytes-dot-bytes form ("2.384" for 2 KB and
  // 384 bytes) reads like a decimal fraction.
  for (const CpmRow& row : listing_.Rows)
    AddCatalogRow(
        LV1_, kColumns,
        {QtText(row.Filename), QtText(row.Ext), QString::number(row.Size), QtText(row.Atrib), QtText(row.Number)});
  l4_->setText(QtText(listing_.l4));
  l5_->setText(QtText(listing_.l5));
  l6_->setText(QtText(listing_.l6));
  l7_->setText(QtText(listing_.Definition.Title));
  l7_->setToolTip(QtText(CpmDefinitionText(listing_.Definition)));
}

void T_cCat::N10Click() { FormShow(); }

void T_cCat::N2Click() { FormShow(); }

void T_cCat::pm1Popup() {
  const bool selected = !LV1_->selectedItems().isEmpty();
  HEX1_->setEnabled(selected);
  N11_->setEnabled(selected);
  Hob_->setEnabled(selected);
}

std::string T_cCat::SelectedName11() const {
  int first = -1;
  for (QTreeWidgetItem* item : LV1_->selectedItems()) {
    const int row = LV1_->indexOfTopLevelItem(item);
    if (first < 0 || row < first) first = row;
  }
  if (first < 0 || first >= static_cast<int>(listing_.Rows.size())) return {};
  return listing_.Rows[first].Name11;
}

bool T_cCat::FindSelectedFile(CpmFoundFile& found) const {
  const std::string name11 = SelectedName11();
  return !name11.empty() && FindCpmFile(listing_.Definition, listing_.Directory, name11, found) >= 0;
}

// Shows the selected file's bytes in hex, in the Terminal font.
void T_cCat::HEX1Click() {
  CpmFoundFile found;
  if (!FindSelectedFile(found)) return;
  viewer_.PrepareHex(CpmFileContents(context_.disk, listing_.Definition, found), true);
  context_.prompts.Run(viewer_);
}

// Shows the selected file as text; a CP/M text ends at its first ^Z, the
// rest of its last record is filler.
void T_cCat::N11Click() {
  CpmFoundFile found;
  if (!FindSelectedFile(found)) return;
  Bytes contents = CpmFileContents(context_.disk, listing_.Definition, found);
  contents.erase(std::find(contents.begin(), contents.end(), kCpmEndOfText), contents.end());
  viewer_.PrepareText(contents);
  context_.prompts.Run(viewer_);
}

// "Сохранить как": writes the selected file's bytes to a chosen file.
void T_cCat::HobClick() {
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

void T_cCat::BitBtn1Click() { close(); }

}  // namespace velloran
