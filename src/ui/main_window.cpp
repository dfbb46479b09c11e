#include "ui/main_window.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "settings/desktop_settings.h"
#include "ui/disk_map.h"
#include "ui/elided_label.h"
#include "ui/hex_view.h"
#include "ui/map_legend.h"
#include "ui/prompts.h"

namespace velloran {

namespace {

// Preferred widths of the status-bar panels and how extra room is shared;
// the driver's panel asks for room for its whole (short) text.
constexpr int kPanelWidths[3] = {260, 600, 150};
constexpr int kPanelStretch[3] = {0, 3, 1};
constexpr bool kPanelFitsText[3] = {true, false, false};

QLabel* ValueLabel(const char* name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(QLatin1String(name));
  label->setMinimumWidth(48);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  return label;
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
  setAcceptDrops(true);
  BuildPanels();
  BuildMenus();
  BuildStatusBar();
  ConnectCommands();
  MarkSaved();
  RefreshState();
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
  tsLayout->addWidget(new QLabel(tr("Дорожка -"), pnTS_));
  l2_ = ValueLabel("l2", pnTS_);
  tsLayout->addWidget(l2_);
  tsLayout->addSpacing(16);
  tsLayout->addWidget(new QLabel(tr("Сектор -"), pnTS_));
  l1_ = ValueLabel("l1", pnTS_);
  tsLayout->addWidget(l1_);
  tsLayout->addStretch();

  zxd_ = new DiskMap(disk_, central);
  zxd_->setObjectName(QStringLiteral("zxd"));
  zxd_->SetColumnCount(kMapColumns);
  // As wide as its 21 columns at the current zoom, narrower when the window is.
  zxd_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
  zxd_->setMaximumWidth(zxd_->sizeHint().width());
  legend_ = new MapLegend(central);
  legend_->hide();

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
  mapColumn->addWidget(legend_);

  // Hex column: the pane and the strip under it.
  s1_ = new HexView(central);
  s1_->setObjectName(QStringLiteral("s1"));
  s1_->SetReadOnly(true);
  // Always wide enough for the 16 bytes of a line and their characters.
  s1_->setMinimumWidth(s1_->sizeHint().width());
  pn7_ = Strip("pn7", central);
  auto* crcLayout = new QHBoxLayout(pn7_);
  crcLayout->setContentsMargins(6, 2, 6, 2);
  crcLayout->addWidget(new QLabel(QStringLiteral("CRC - "), pn7_));
  vCRC_ = ValueLabel("vCRC", pn7_);
  vCRC_->setText(QStringLiteral("#0000"));
  crcLayout->addWidget(vCRC_);
  crcLayout->addStretch();
  pnb1_ = new QPushButton(tr("Принять"), pn7_);
  pnb2_ = new QPushButton(tr("Сохранить"), pn7_);
  pnb3_ = new QPushButton(tr("Загрузить"), pn7_);
  pnb1_->setObjectName(QStringLiteral("pnb1"));
  pnb2_->setObjectName(QStringLiteral("pnb2"));
  pnb3_->setObjectName(QStringLiteral("pnb3"));
  for (QPushButton* button : {pnb1_, pnb2_, pnb3_}) {
    button->setEnabled(false);
    crcLayout->addWidget(button);
  }
  pnb3_->setToolTip(NoAction());
  cpb1_ = new QPushButton(pn7_);
  cpb1_->setObjectName(QStringLiteral("cpb1"));
  cpb1_->setToolTip(QStringLiteral("Следующая копия слабого сектора; байты, в которых копии различаются, отмечены"));
  cpb1_->hide();
  crcLayout->insertWidget(2, cpb1_);
  auto* hexColumn = new QVBoxLayout;
  hexColumn->setSpacing(2);
  hexColumn->addWidget(s1_, 1);
  hexColumn->addWidget(pn7_);

  auto* top = new QHBoxLayout;
  top->addLayout(mapColumn, 0);
  top->addLayout(hexColumn, 1);

  // Bottom: the sector group and the page control.
  gb1_ = new QGroupBox(tr("Сектор"), central);
  gb1_->setObjectName(QStringLiteral("gb1"));
  gb1_->setFixedWidth(170);
  QSizePolicy keepSpace = gb1_->sizePolicy();
  keepSpace.setRetainSizeWhenHidden(true);
  gb1_->setSizePolicy(keepSpace);
  auto* sectorLayout = new QGridLayout(gb1_);
  const char* rowCaptions[5] = {QT_TR_NOOP("Дорожка -"), QT_TR_NOOP("Сторона -"), QT_TR_NOOP("Сектор -"),
                                QT_TR_NOOP("Размер -"), "CRC -"};
  const char* valueNames[6] = {"an1", "an2", "an3", "an4", "an5", "an6"};
  for (int i = 0; i < 6; ++i) an_[i] = ValueLabel(valueNames[i], gb1_);
  for (int i = 0; i < 5; ++i) {
    sectorLayout->addWidget(new QLabel(tr(rowCaptions[i]), gb1_), i, 0);
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
  pc1_->addTab(nts1, tr("Журнал"));

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
  tlb1_->setText(tr("Принять"));
  tlb2_ = new QToolButton(nts2);
  tlb2_->setObjectName(QStringLiteral("tlb2"));
  tlb2_->setText(tr("Отменить"));
  tlb1_->setEnabled(false);
  tlb2_->setEnabled(false);
  commentButtons->addWidget(tlb1_);
  commentButtons->addWidget(tlb2_);
  commentButtons->addStretch();
  commentsLayout->addLayout(commentButtons);
  pc1_->addTab(nts2, tr("Комментарии к диску"));

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(gb1_, 0, Qt::AlignTop);
  bottom->addWidget(pc1_, 1);

  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(top, 3);
  layout->addLayout(bottom, 1);
}

void TFMain::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("sb"));
  bar->setSizeGripEnabled(true);
  for (int i = 0; i < 3; ++i) {
    panels_[i] = new ElidedLabel(kPanelWidths[i], kPanelFitsText[i], bar);
    panels_[i]->setObjectName(QStringLiteral("sbPanel%1").arg(i));
    bar->addWidget(panels_[i], kPanelStretch[i]);
  }
}

// Connections of the map, the hex pane and the buttons; the menus connect
// themselves from the menu table.
void TFMain::ConnectCommands() {
  connect(zxd_, &DiskMap::CellClicked, this, [this] { zxdClick(); });
  connect(zxd_, &DiskMap::ContextMenuRequested, this, [this](int column, int row, const QPoint& at) {
    if (zxdContextPopup(column, row)) pm1_->popup(at);
  });
  connect(zxd_, &DiskMap::ZoomChanged, this, [this](int percent) {
    zxd_->setMaximumWidth(zxd_->sizeHint().width());
    SaveMapZoom(store_, percent);
  });
  connect(s1_, &HexView::ByteChanged, this, [this] { s1ByteChange(); });
  connect(cpb1_, &QPushButton::clicked, this, [this] { cpb1Click(); });
  connect(pnb1_, &QPushButton::clicked, this, &TFMain::pnb1Click);
  connect(pnb2_, &QPushButton::clicked, this, &TFMain::pnb2Click);
  // The memo's buttons take its text into the disk or put the disk's comments back.
  connect(lb1_, &QPlainTextEdit::textChanged, this, [this] {
    tlb1_->setEnabled(CommentsPending());
    tlb2_->setEnabled(CommentsPending());
    RefreshState();
  });
  connect(tlb1_, &QToolButton::clicked, this, &TFMain::lb1Exit);
  connect(tlb2_, &QToolButton::clicked, this, &TFMain::FillComments);
}

QString TFMain::StatusText(int panel) const { return panels_[panel]->Text(); }

// A text longer than its panel is shown shortened, whole in its tooltip.
void TFMain::SetStatusText(int panel, const QString& text) { panels_[panel]->SetText(text); }

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

bool TFMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lb1_ && event->type() == QEvent::FocusOut) lb1Exit();
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace velloran
