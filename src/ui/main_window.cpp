#include "ui/main_window.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "common/version.h"
#include "ui/disk_map.h"
#include "ui/hex_view.h"
#include "ui/prompts.h"

namespace velloran {

namespace {

constexpr int kPanelWidths[3] = {260, 600, 150};

QLabel* ValueLabel(const char* name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(QLatin1String(name));
  label->setMinimumWidth(48);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  return label;
}

// The About box: name, version and what the program is for.
QString AboutText() {
  return QStringLiteral("Velloran %1\n\nОбразы дисков и дискеты ZX Spectrum: TR-DOS, CP/M Profi, Корвет.\n\nQt %2")
      .arg(QLatin1String(kVersion), QLatin1String(qVersion()));
}

QFrame* Strip(const char* name, QWidget* parent) {
  auto* strip = new QFrame(parent);
  strip->setObjectName(QLatin1String(name));
  strip->setFrameShape(QFrame::StyledPanel);
  strip->setFrameShadow(QFrame::Raised);
  return strip;
}

}  // namespace

TFMain::TFMain(Prompts& prompts, SettingsStore& store, QWidget* parent)
    : QMainWindow(parent), prompts_(prompts), store_(store) {
  setObjectName(QStringLiteral("FMain"));
  setWindowTitle(QStringLiteral("Velloran ") + QLatin1String(kVersion));
  setAcceptDrops(true);
  BuildPanels();
  BuildMenus();
  BuildContextMenu();
  BuildStatusBar();
  ConnectCommands();
  resize(1240, 820);
}

TFMain::~TFMain() = default;

void TFMain::BuildPanels() {
  auto* central = new QWidget(this);
  setCentralWidget(central);

  // Map column: the track/sector strip, the map, the owner strip.
  pnTS_ = Strip("pnTS", central);
  auto* tsLayout = new QHBoxLayout(pnTS_);
  tsLayout->setContentsMargins(6, 2, 6, 2);
  tsLayout->addWidget(new QLabel(QStringLiteral("Дорожка -"), pnTS_));
  l2_ = ValueLabel("l2", pnTS_);
  tsLayout->addWidget(l2_);
  tsLayout->addSpacing(16);
  tsLayout->addWidget(new QLabel(QStringLiteral("Сектор -"), pnTS_));
  l1_ = ValueLabel("l1", pnTS_);
  tsLayout->addWidget(l1_);
  tsLayout->addStretch();

  zxd_ = new DiskMap(disk_, central);
  zxd_->setObjectName(QStringLiteral("zxd"));
  zxd_->SetColumnCount(kMapColumns);
  zxd_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  zxd_->setFixedWidth(zxd_->sizeHint().width());

  trp1_ = Strip("trp1", central);
  auto* ownerLayout = new QHBoxLayout(trp1_);
  ownerLayout->setContentsMargins(6, 2, 6, 2);
  mml1_ = new QLabel(trp1_);
  mml1_->setObjectName(QStringLiteral("mml1"));
  ownerLayout->addWidget(mml1_);
  trp1_->hide();

  auto* mapColumn = new QVBoxLayout;
  mapColumn->setSpacing(2);
  mapColumn->addWidget(pnTS_);
  mapColumn->addWidget(zxd_, 1);
  mapColumn->addWidget(trp1_);

  // Hex column: the pane and the strip under it.
  s1_ = new HexView(central);
  s1_->setObjectName(QStringLiteral("s1"));
  s1_->SetReadOnly(true);
  pn7_ = Strip("pn7", central);
  auto* crcLayout = new QHBoxLayout(pn7_);
  crcLayout->setContentsMargins(6, 2, 6, 2);
  crcLayout->addWidget(new QLabel(QStringLiteral("CRC - "), pn7_));
  vCRC_ = ValueLabel("vCRC", pn7_);
  vCRC_->setText(QStringLiteral("#0000"));
  crcLayout->addWidget(vCRC_);
  crcLayout->addStretch();
  pnb1_ = new QPushButton(QStringLiteral("Принять"), pn7_);
  pnb2_ = new QPushButton(QStringLiteral("Сохранить"), pn7_);
  pnb3_ = new QPushButton(QStringLiteral("Загрузить"), pn7_);
  pnb1_->setObjectName(QStringLiteral("pnb1"));
  pnb2_->setObjectName(QStringLiteral("pnb2"));
  pnb3_->setObjectName(QStringLiteral("pnb3"));
  for (QPushButton* button : {pnb1_, pnb2_, pnb3_}) {
    button->setEnabled(false);
    crcLayout->addWidget(button);
  }
  auto* hexColumn = new QVBoxLayout;
  hexColumn->setSpacing(2);
  hexColumn->addWidget(s1_, 1);
  hexColumn->addWidget(pn7_);

  auto* top = new QHBoxLayout;
  top->addLayout(mapColumn);
  top->addLayout(hexColumn, 1);

  // Bottom: the sector group and the page control.
  gb1_ = new QGroupBox(QStringLiteral("Сектор"), central);
  gb1_->setObjectName(QStringLiteral("gb1"));
  gb1_->setFixedWidth(170);
  QSizePolicy keepSpace = gb1_->sizePolicy();
  keepSpace.setRetainSizeWhenHidden(true);
  gb1_->setSizePolicy(keepSpace);
  auto* sectorLayout = new QGridLayout(gb1_);
  const char* rowCaptions[5] = {"Track -", "Side -", "Sector -", "Size -", "CRC -"};
  const char* valueNames[6] = {"an1", "an2", "an3", "an4", "an5", "an6"};
  for (int i = 0; i < 6; ++i) an_[i] = ValueLabel(valueNames[i], gb1_);
  for (int i = 0; i < 5; ++i) {
    sectorLayout->addWidget(new QLabel(QLatin1String(rowCaptions[i]), gb1_), i, 0);
    sectorLayout->addWidget(an_[i], i, 1);
  }
  an_[5]->setAlignment(Qt::AlignCenter);
  sectorLayout->addWidget(an_[5], 5, 0, 1, 2);
  gb1_->hide();

  pc1_ = new QTabWidget(central);
  pc1_->setObjectName(QStringLiteral("pc1"));
  auto* nts1 = new QWidget;
  nts1->setObjectName(QStringLiteral("nts1"));
  auto* logLayout = new QVBoxLayout(nts1);
  logLayout->setContentsMargins(2, 2, 2, 2);
  Lzx1_ = new QListWidget(nts1);
  Lzx1_->setObjectName(QStringLiteral("Lzx1"));
  logLayout->addWidget(Lzx1_);
  pc1_->addTab(nts1, QStringLiteral("LOG"));

  auto* nts2 = new QWidget;
  nts2->setObjectName(QStringLiteral("nts2"));
  auto* commentsLayout = new QHBoxLayout(nts2);
  commentsLayout->setContentsMargins(2, 2, 2, 2);
  lb1_ = new QPlainTextEdit(nts2);
  lb1_->setObjectName(QStringLiteral("lb1"));
  lb1_->setAcceptDrops(false);  // files dropped here are not text; the window decides
  lb1_->installEventFilter(this);
  commentsLayout->addWidget(lb1_, 1);
  auto* commentButtons = new QVBoxLayout;
  tlb1_ = new QToolButton(nts2);
  tlb1_->setObjectName(QStringLiteral("tlb1"));
  tlb1_->setText(QStringLiteral("Принять"));
  tlb2_ = new QToolButton(nts2);
  tlb2_->setObjectName(QStringLiteral("tlb2"));
  tlb2_->setText(QStringLiteral("Отменить"));
  commentButtons->addWidget(tlb1_);
  commentButtons->addWidget(tlb2_);
  commentButtons->addStretch();
  commentsLayout->addLayout(commentButtons);
  pc1_->addTab(nts2, QStringLiteral("Комментарии к диску"));

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(gb1_, 0, Qt::AlignTop);
  bottom->addWidget(pc1_, 1);

  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(top, 3);
  layout->addLayout(bottom, 1);
}

QAction* TFMain::AddItem(QMenu* menu, const char* name, const QString& caption) {
  auto* action = new QAction(caption, this);
  action->setObjectName(QLatin1String(name));
  menu->addAction(action);
  return action;
}

QAction* TFMain::Item(const char* name) const { return findChild<QAction*>(QLatin1String(name)); }

void TFMain::BuildMenus() {
  QMenu* image = menuBar()->addMenu(QStringLiteral("Образ"));
  image->setObjectName(QStringLiteral("N1"));
  QMenu* create = image->addMenu(QStringLiteral("Создать образ"));
  create->setObjectName(QStringLiteral("CreateImage1"));
  AddItem(create, "TRDOS1", QStringLiteral("TR-DOS диска"));
  AddItem(create, "CPMProfi1", QStringLiteral("CP/M диска (Profi)"));
  AddItem(image, "N4", QStringLiteral("Загрузить"))->setVisible(false);
  AddItem(image, "N31", QStringLiteral("Загрузить образ"));
  AddItem(image, "MergeImage1", QStringLiteral("Объединить с другим образом"));
  image->addSeparator();
  QMenu* templates = image->addMenu(QStringLiteral("Шаблон дорожек"));
  templates->setObjectName(QStringLiteral("TrackTemplate1"));
  templates->menuAction()->setObjectName(QStringLiteral("TrackTemplate1Item"));
  templates->menuAction()->setEnabled(false);
  AddItem(templates, "EditBaseTemplate1", QStringLiteral("Редактировать базовый шаблон"));
  QAction* useBase = AddItem(templates, "N21", QStringLiteral("Использовать базовый шаблон для всех дорожек"));
  useBase->setCheckable(true);
  useBase->setChecked(true);
  AddItem(image, "N26", QStringLiteral("Просмотреть ZX каталог"));
  AddItem(image, "CPM1", QStringLiteral("Просмотреть CP/M каталог"));
  image->addSeparator();
  AddItem(image, "N12", QStringLiteral("Очистить образ"));
  AddItem(image, "N6", QStringLiteral("Сохранить"))->setVisible(false);
  AddItem(image, "N32", QStringLiteral("Сохранить образ"));
  image->addSeparator();
  AddItem(image, "N20", QStringLiteral("Выход"));

  QMenu* disk = menuBar()->addMenu(QStringLiteral("Диск"));
  disk->setObjectName(QStringLiteral("N2"));
  AddItem(disk, "FullRead1", QStringLiteral("Полное чтение диска"))->setVisible(false);
  AddItem(disk, "RawRead1", QStringLiteral("Чтение сырых данных"))->setVisible(false);
  AddItem(disk, "N8", QStringLiteral("Сканирование дорожек"));
  AddItem(disk, "N9", QStringLiteral("Чтение секторов по  меткам"));
  AddItem(disk, "N17", QStringLiteral("Сканирование и чтение диска"));
  AddItem(disk, "FastRead1", QStringLiteral("Быстрое чтение диска"));
  AddItem(disk, "RereadBad1", QStringLiteral("Перечитать сбойные сектора"))->setVisible(false);
  disk->addSeparator();
  AddItem(disk, "N14", QStringLiteral("Форматировать диск"));
  AddItem(disk, "N15", QStringLiteral("Записать диск"));
  AddItem(disk, "N33", QStringLiteral("Форматировать и записать"));
  disk->addSeparator();
  AddItem(disk, "N10", QStringLiteral("Считать ZX каталог"));

  QMenu* controller = menuBar()->addMenu(QStringLiteral("Контроллер"));
  controller->setObjectName(QStringLiteral("Controller1"));
  AddItem(controller, "N22", QStringLiteral("Сбросить FDD контроллер"));

  QMenu* settings = menuBar()->addMenu(QStringLiteral("Настройки"));
  settings->setObjectName(QStringLiteral("Settings1"));
  AddItem(settings, "N29", QStringLiteral("Настройки программы"));

  QMenu* help = menuBar()->addMenu(QStringLiteral("Справка"));
  help->setObjectName(QStringLiteral("Help1"));
  AddItem(help, "About1", QStringLiteral("О программе"));

  // The toolbar stays hidden; its height still counts in the drop test.
  auto* toolbar = addToolBar(QStringLiteral("toolb1"));
  toolbar->setObjectName(QStringLiteral("toolb1"));
  auto* tb4 = toolbar->addAction(QStringLiteral("Сканирование и чтение диска"));
  tb4->setObjectName(QStringLiteral("tb4"));
  connect(tb4, &QAction::triggered, Item("N17"), &QAction::trigger);
  toolbar->hide();
}

void TFMain::BuildContextMenu() {
  pm1_ = new QMenu(this);
  pm1_->setObjectName(QStringLiteral("pm1"));
  AddItem(pm1_, "z1", QStringLiteral("Считать сектор"));
  AddItem(pm1_, "z2", QStringLiteral("Считать RAW дорожки"))->setVisible(false);
  AddItem(pm1_, "z3", QStringLiteral("Считать сектора дорожки"));
  AddItem(pm1_, "z4", QStringLiteral("Сканировать дорожку"));
  pm1_->addSeparator();
  AddItem(pm1_, "z23", QStringLiteral("Редактировать адрес сектора"));
  QMenu* operations = pm1_->addMenu(QStringLiteral("Операци с образом"));
  operations->setObjectName(QStringLiteral("ImageOperations1"));
  AddItem(operations, "z22", QStringLiteral("Установить базовым трэком"));
  AddItem(operations, "z8", QStringLiteral("Убрать дорожку"));
  AddItem(operations, "z9", QStringLiteral("Добавить дорожку"));
  AddItem(operations, "z10", QStringLiteral("Убрать сектор"));
  AddItem(operations, "z11", QStringLiteral("Добавить сектор"));
  operations->addSeparator();
  AddItem(operations, "z12", QStringLiteral("Данные секторов -> RAW"));
  AddItem(operations, "z13", QStringLiteral("RAW -> заголовки секторов"));
  operations->addSeparator();
  AddItem(operations, "z14", QStringLiteral("Очистить дорожку"));
  // z15 and z17 have no action and no row of the menu table enables them.
  AddItem(operations, "z15", QStringLiteral("Очистить данные сектора"))->setEnabled(false);
  AddItem(operations, "z16", QStringLiteral("Очистить данные секторов"));
  AddItem(operations, "z17", QStringLiteral("Очистить заголовок сектора"))->setEnabled(false);
  AddItem(operations, "z18", QStringLiteral("Очистить заголовки секторов"));
  AddItem(operations, "z19", QStringLiteral("Очистить Log дорожки"));
  pm1_->addSeparator();
  AddItem(pm1_, "z5", QStringLiteral("Записать сектор"));
  AddItem(pm1_, "z6", QStringLiteral("Записать дорожку"));
  AddItem(pm1_, "z7", QStringLiteral("Формат дорожки"));
}

void TFMain::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("sb"));
  bar->setSizeGripEnabled(true);
  for (int i = 0; i < 3; ++i) {
    panels_[i] = new QLabel(bar);
    panels_[i]->setObjectName(QStringLiteral("sbPanel%1").arg(i));
    panels_[i]->setFixedWidth(kPanelWidths[i]);
    panels_[i]->setFrameShape(QFrame::Panel);
    panels_[i]->setFrameShadow(QFrame::Sunken);
    bar->addWidget(panels_[i]);
  }
}

void TFMain::ConnectCommands() {
  auto bind = [this](const char* name, void (TFMain::*handler)()) {
    connect(Item(name), &QAction::triggered, this, [this, handler] { (this->*handler)(); });
  };
  connect(findChild<QMenu*>(QStringLiteral("N1")), &QMenu::aboutToShow, this, &TFMain::N1Click);
  connect(findChild<QMenu*>(QStringLiteral("N2")), &QMenu::aboutToShow, this, &TFMain::N2Click);
  bind("TRDOS1", &TFMain::TRDOS1Click);
  bind("CPMProfi1", &TFMain::CPMProfi1Click);
  bind("N4", &TFMain::N4Click);
  bind("N31", &TFMain::N31Click);
  bind("N26", &TFMain::N26Click);
  bind("CPM1", &TFMain::CPM1Click);
  bind("N12", &TFMain::N12Click);
  bind("N6", &TFMain::N6Click);
  bind("N32", &TFMain::N32Click);
  connect(Item("N20"), &QAction::triggered, this, &QWidget::close);
  bind("N8", &TFMain::N8Click);
  bind("N9", &TFMain::N9Click);
  bind("N17", &TFMain::N17Click);
  bind("N14", &TFMain::N14Click);
  bind("N15", &TFMain::N15Click);
  bind("N33", &TFMain::N33Click);
  bind("N10", &TFMain::N10Click);
  bind("FastRead1", &TFMain::FastRead1Click);
  bind("MergeImage1", &TFMain::MergeImage1Click);
  bind("N22", &TFMain::N22Click);
  bind("N29", &TFMain::N29Click);
  connect(Item("About1"), &QAction::triggered, this, [this] {
    prompts_.Message(AboutText(), QStringLiteral("О программе"), PromptIcon::Information, PromptButtons::Ok);
  });
  bind("z8", &TFMain::z8Click);
  bind("z9", &TFMain::z9Click);
  bind("z10", &TFMain::z10Click);
  bind("z11", &TFMain::z11Click);
  bind("z12", &TFMain::z12Click);
  bind("z14", &TFMain::z14Click);
  bind("z22", &TFMain::z22Click);
  bind("z23", &TFMain::z23Click);
  // N21 sets its own check mark in its handler: Qt's toggle is undone first.
  connect(Item("N21"), &QAction::triggered, this, [this] {
    Item("N21")->setChecked(!Item("N21")->isChecked());
    N21Click();
  });

  connect(zxd_, &DiskMap::CellClicked, this, [this] { zxdClick(); });
  connect(zxd_, &DiskMap::ContextMenuRequested, this, [this](int column, int row, const QPoint& at) {
    zxdContextPopup(column, row);
    pm1_->popup(at);
  });
  connect(s1_, &HexView::ByteChanged, this, [this] { s1ByteChange(); });
  connect(pnb1_, &QPushButton::clicked, this, &TFMain::pnb1Click);
  connect(pnb2_, &QPushButton::clicked, this, &TFMain::pnb2Click);
}

QString TFMain::StatusText(int panel) const { return panels_[panel]->text(); }

// A text longer than its panel widens the panel rather than being cut.
void TFMain::SetStatusText(int panel, const QString& text) {
  QLabel* label = panels_[panel];
  label->setText(text);
  label->setToolTip(text);
  const int needed = label->fontMetrics().horizontalAdvance(text) + 2 * label->frameWidth() + 8;
  label->setFixedWidth(std::max(kPanelWidths[panel], needed));
}

QStringList TFMain::LogLines() const {
  QStringList lines;
  for (int i = 0; i < Lzx1_->count(); ++i) lines << Lzx1_->item(i)->text();
  return lines;
}

void TFMain::AddLogLine(const QString& line, bool select) {
  Lzx1_->addItem(line);
  if (select) Lzx1_->setCurrentRow(Lzx1_->count() - 1);
}

void TFMain::ClearLog() { Lzx1_->clear(); }

void TFMain::ShowPage(int page) { pc1_->setCurrentIndex(page); }

void TFMain::RepaintMap() { zxd_->viewport()->update(); }

// Opening "Образ": the commands that need a disk are enabled only with one.
void TFMain::N1Click() {
  const bool haveDisk = disk_.CountTracks() > 0;
  for (const char* name : {"N6", "N32", "N26", "CPM1", "N12"}) Item(name)->setEnabled(haveDisk);
}

bool TFMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lb1_ && event->type() == QEvent::FocusOut) lb1Exit();
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace velloran
