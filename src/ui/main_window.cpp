#include "ui/main_window.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "settings/desktop_settings.h"
#include "ui/disk_map.h"
#include "ui/elided_label.h"
#include "ui/hex_view.h"
#include "ui/main_window_commands.h"
#include "ui/map_legend.h"

namespace velloran {

namespace {

// Preferred widths of the status-bar panels and how extra room is shared;
// the driver's panel asks for room for its whole (short) text.
constexpr int kPanelWidths[3] = {260, 600, 150};
constexpr int kPanelStretch[3] = {0, 3, 1};
constexpr bool kPanelFitsText[3] = {true, false, false};

}  // namespace

TFMain::TFMain(Prompts& prompts, SettingsStore& store, QWidget* parent)
    : QMainWindow(parent), prompts_(prompts), document_(store), panels_(document_, prompts) {
  setObjectName(QStringLiteral("FMain"));
  setAcceptDrops(true);
  BuildLayout();
  BuildMenus();
  Connect();
  document_.MarkSaved();
  RefreshState();
  resize(1240, 820);
}

TFMain::~TFMain() = default;

// The map column (cell strip, map, owner strip, legend) beside the hex
// column; the sector box and the pages under them; the status bar.
void TFMain::BuildLayout() {
  auto* central = new QWidget(this);
  setCentralWidget(central);
  panels_.Build(central);

  map_ = new DiskMap(document_.Disk(), central);
  map_->setObjectName(QStringLiteral("zxd"));
  map_->SetColumnCount(kMapColumns);
  // As wide as its 21 columns at the current zoom, narrower when the window is.
  map_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
  map_->setMaximumWidth(map_->sizeHint().width());
  legend_ = new MapLegend(central);
  legend_->hide();

  auto* mapColumn = new QVBoxLayout;
  mapColumn->setSpacing(2);
  mapColumn->addWidget(panels_.CellStrip());
  mapColumn->addWidget(map_, 1);
  mapColumn->addWidget(panels_.OwnerStrip());
  mapColumn->addWidget(legend_);

  auto* top = new QHBoxLayout;
  top->addLayout(mapColumn, 0);
  top->addLayout(panels_.HexColumn(), 1);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(panels_.SectorBox(), 0, Qt::AlignTop);
  bottom->addWidget(panels_.Pages(), 1);

  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(top, 3);
  layout->addLayout(bottom, 1);

  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("sb"));
  bar->setSizeGripEnabled(true);
  for (int i = 0; i < 3; ++i) {
    statusPanels_[i] = new ElidedLabel(kPanelWidths[i], kPanelFitsText[i], bar);
    statusPanels_[i]->setObjectName(QStringLiteral("sbPanel%1").arg(i));
    bar->addWidget(statusPanels_[i], kPanelStretch[i]);
  }
}

// Connections of the map, the hex pane and the buttons; the menus connect
// themselves from the menu table.
void TFMain::Connect() {
  connect(map_, &DiskMap::CellClicked, this, [this] { OnMapClick(); });
  connect(map_, &DiskMap::ContextMenuRequested, this, [this](int column, int row, const QPoint& at) {
    if (OnMapContextMenu(column, row)) findChild<QMenu*>(QStringLiteral("pm1"))->popup(at);
  });
  connect(map_, &DiskMap::ZoomChanged, this, [this](int percent) {
    map_->setMaximumWidth(map_->sizeHint().width());
    SaveMapZoom(document_.Store(), percent);
  });
  connect(&panels_.HexPane(), &HexView::ByteChanged, this, [this] {
    if (panels_.HexPane().IsReadOnly()) return;
    panels_.AcceptButton().setEnabled(true);
    RefreshState();
  });
  connect(&panels_.CopyButton(), &QPushButton::clicked, this, [this] {
    panels_.ShowNextCopy();
    RefreshState();
  });
  connect(&panels_.AcceptButton(), &QPushButton::clicked, this, [this] { OnAcceptPaneEdits(*this); });
  connect(&panels_.SaveButton(), &QPushButton::clicked, this, [this] { OnSavePane(*this); });
  // The memo's buttons take its text into the disk or put the disk's comments back.
  QPlainTextEdit* comments = &panels_.CommentsEdit();
  comments->installEventFilter(this);
  connect(comments, &QPlainTextEdit::textChanged, this, [this] {
    panels_.TakeCommentsButton().setEnabled(panels_.CommentsPending());
    panels_.RestoreCommentsButton().setEnabled(panels_.CommentsPending());
    RefreshState();
  });
  connect(&panels_.TakeCommentsButton(), &QToolButton::clicked, this, [this] { OnTakeComments(*this); });
  connect(&panels_.RestoreCommentsButton(), &QToolButton::clicked, this, [this] {
    panels_.FillComments();
    RefreshState();
  });
}

QString TFMain::StatusText(int panel) const { return statusPanels_[panel]->Text(); }

// A text longer than its panel is shown shortened, whole in its tooltip.
void TFMain::SetStatusText(int panel, const LiveText& text) {
  statusTexts_[panel] = text ? text : FixedText({});
  statusPanels_[panel]->SetText(statusTexts_[panel]());
}

void TFMain::ShowStatusTexts() {
  for (int panel = 0; panel < 3; ++panel) statusPanels_[panel]->SetText(statusTexts_[panel]());
}

void TFMain::RepaintMap() { map_->viewport()->update(); }

bool TFMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &panels_.CommentsEdit() && event->type() == QEvent::FocusOut) OnTakeComments(*this);
  return QMainWindow::eventFilter(watched, event);
}

void TFMain::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::LanguageChange && !tableActions_.empty()) Retranslate();
}

}  // namespace velloran
