#include "ui/disk_map.h"

#include <algorithm>

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>

#include "settings/desktop_settings.h"

namespace velloran {

namespace {

constexpr Tile kTiles[] = {Tile::Blank,        Tile::LabelRaw,    Tile::LabelPlain,
                           Tile::LabelAbsent,  Tile::SectorGood,  Tile::SectorBad,
                           Tile::SectorNoData, Tile::SectorEmpty, Tile::SectorRecovered};

// A tile of the cell's size: filled, white along the left and top edges,
// black along the right and bottom edges.
QPixmap RaisedTile(int width, int height, const QColor& colour) {
  QPixmap tile(width, height);
  tile.fill(colour);
  QPainter painter(&tile);
  painter.setPen(Qt::white);
  painter.drawLine(0, 0, width - 1, 0);
  painter.drawLine(0, 0, 0, height - 1);
  painter.setPen(Qt::black);
  painter.drawLine(width - 1, 0, width - 1, height - 1);
  painter.drawLine(0, height - 1, width - 1, height - 1);
  return tile;
}

}  // namespace

DiskMap::DiskMap(TZX_Disk& disk, QWidget* parent) : QAbstractScrollArea(parent), disk_(disk) {
  QFont cellFont(QStringLiteral("Courier New"));
  cellFont.setPointSizeF(kMapFontPoints);
  cellFont.setStyleHint(QFont::TypeWriter);
  setFont(cellFont);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setBackgroundRole(QPalette::Button);
  viewport()->setAutoFillBackground(true);
  BuildTiles();
  disk_.SetObserver(this);
  UpdateScrollBars();
}

DiskMap::~DiskMap() { disk_.SetObserver(nullptr); }

void DiskMap::BuildTiles() {
  const QColor face = palette().color(QPalette::Button);
  for (std::size_t i = 0; i < std::size(kTiles); ++i) {
    const QColor colour = TileColour(kTiles[i], face);
    labelTiles_[i] = RaisedTile(geometry_.labelWidth, geometry_.rowHeight, colour);
    slotTiles_[i] = RaisedTile(geometry_.slotWidth, geometry_.rowHeight, colour);
  }
}

void DiskMap::SetZoom(int percent) {
  int level = kMapZoomLevels.front();
  for (int candidate : kMapZoomLevels)
    if (candidate <= percent) level = candidate;
  if (level == zoom_) return;
  zoom_ = level;
  geometry_ = MapGeometry::AtZoom(level);
  QFont cellFont = font();
  cellFont.setPointSizeF(kMapFontPoints * level / 100.0);
  setFont(cellFont);
  BuildTiles();
  UpdateScrollBars();
  updateGeometry();
  viewport()->update();
  emit ZoomChanged(level);
}

void DiskMap::ZoomIn() {
  const auto next = std::upper_bound(kMapZoomLevels.begin(), kMapZoomLevels.end(), zoom_);
  if (next != kMapZoomLevels.end()) SetZoom(*next);
}

void DiskMap::ZoomOut() {
  const auto current = std::lower_bound(kMapZoomLevels.begin(), kMapZoomLevels.end(), zoom_);
  if (current != kMapZoomLevels.begin()) SetZoom(*(current - 1));
}

void DiskMap::SetColumnCount(int count) {
  columnCount_ = std::max(1, count);
  currentColumn_ = std::min(currentColumn_, columnCount_ - 1);
  UpdateScrollBars();
  viewport()->update();
}

void DiskMap::SetCurrentCell(int column, int row) {
  currentColumn_ = std::clamp(column, 0, columnCount_ - 1);
  currentRow_ = std::clamp(row, 0, kMapRows - 1);
  viewport()->update();
}

int DiskMap::TopRow() const { return verticalScrollBar()->value(); }
int DiskMap::LeftColumn() const { return horizontalScrollBar()->value(); }
void DiskMap::SetTopRow(int row) { verticalScrollBar()->setValue(row); }
void DiskMap::SetLeftColumn(int column) { horizontalScrollBar()->setValue(column); }

int DiskMap::LastFullyVisibleRow() const {
  const int rows = std::max(1, viewport()->height() / geometry_.rowHeight);
  return std::min(kMapRows - 1, TopRow() + rows - 1);
}

void DiskMap::ScrollToOrigin() {
  SetTopRow(0);
  SetLeftColumn(0);
  SetCurrentCell(0, 0);
  viewport()->update();
}

void DiskMap::UpdateScrollBars() {
  const int visibleRows = std::max(1, viewport()->height() / geometry_.rowHeight);
  verticalScrollBar()->setRange(0, std::max(0, kMapRows - visibleRows));
  verticalScrollBar()->setPageStep(visibleRows);
  verticalScrollBar()->setSingleStep(1);
  // The furthest first column that still shows the last column in full.
  int lastLeft = columnCount_ - 1;
  int width = geometry_.ColumnWidth(lastLeft);
  while (lastLeft > 0 && width + geometry_.ColumnWidth(lastLeft - 1) <= viewport()->width()) {
    --lastLeft;
    width += geometry_.ColumnWidth(lastLeft);
  }
  horizontalScrollBar()->setRange(0, lastLeft);
  horizontalScrollBar()->setPageStep(1);
}

QRect DiskMap::CellRect(int column, int row) const {
  return {geometry_.ColumnX(column, LeftColumn()), (row - TopRow()) * geometry_.rowHeight,
          geometry_.ColumnWidth(column), geometry_.rowHeight};
}

bool DiskMap::CellAt(const QPoint& point, int& column, int& row) const {
  column = -1;
  row = -1;
  if (point.x() < 0 || point.y() < 0) return false;
  const int r = TopRow() + point.y() / geometry_.rowHeight;
  int c = LeftColumn();
  int x = geometry_.ColumnWidth(c);
  while (point.x() >= x && c < columnCount_) x += geometry_.ColumnWidth(++c);
  if (r >= kMapRows || c >= columnCount_) return false;
  column = c;
  row = r;
  return true;
}

void DiskMap::PaintCell(QPainter& painter, int column, int row) {
  const Tile tile = CellTile(disk_, column, row);
  if (tile == Tile::Blank) return;
  const QRect cell = CellRect(column, row);
  const std::size_t kind = static_cast<std::size_t>(tile);
  painter.drawPixmap(cell.topLeft(), column == 0 ? labelTiles_[kind] : slotTiles_[kind]);
  const QString text = QString::fromStdString(CellText(disk_, column, row));
  if (text.isEmpty()) return;
  // A sector number of three digits is drawn smaller to fit its tile.
  QFont cellFont = font();
  const int room = cell.width() - 2;
  const int natural = QFontMetrics(cellFont).horizontalAdvance(text);
  if (natural > room && cellFont.pointSizeF() > 0) cellFont.setPointSizeF(cellFont.pointSizeF() * room / natural);
  const QFontMetrics metrics(cellFont);
  const int x = cell.left() + CentredOffset(cell.width(), metrics.horizontalAdvance(text));
  const int y = cell.top() + CentredOffset(cell.height(), metrics.height());
  const QRect textRect(x, y, metrics.horizontalAdvance(text), metrics.height());
  painter.fillRect(textRect, TileColour(tile, palette().color(QPalette::Button)));
  painter.setPen(TileTextColour(tile));
  painter.setFont(cellFont);
  painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop, text);
  painter.setFont(font());
}

void DiskMap::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.setFont(font());
  const QRect area = event->rect();
  const int firstRow = TopRow() + area.top() / geometry_.rowHeight;
  const int lastRow = std::min(kMapRows - 1, TopRow() + area.bottom() / geometry_.rowHeight);
  // Only the track label and the 20 slots are ever drawn.
  const int lastColumn = std::min(columnCount_, kMapColumns) - 1;
  for (int row = firstRow; row <= lastRow; ++row) {
    for (int column = LeftColumn(); column <= lastColumn; ++column) {
      const QRect cell = CellRect(column, row);
      if (cell.left() > area.right()) break;
      if (cell.intersects(area)) PaintCell(painter, column, row);
    }
  }
  // The current cell gets a frame that shows on every tile colour: two
  // black pixels with a white line inside.
  const QRect current = CellRect(currentColumn_, currentRow_);
  if (current.intersects(area)) {
    painter.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawRect(QRectF(current).adjusted(1, 1, -1, -1));
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(current.adjusted(2, 2, -3, -3));
  }
}

void DiskMap::RedrawCell(int column, int row) {
  if (row > LastFullyVisibleRow()) {
    SetTopRow(TopRow() + 1);
    viewport()->repaint();
    return;
  }
  viewport()->repaint(CellRect(column, row));
}

void DiskMap::RedrawSector(std::uint8_t track, std::uint8_t slot) { RedrawCell(slot + 1, track); }

void DiskMap::RedrawTrackLabel(std::uint8_t track) { RedrawCell(0, track); }

void DiskMap::DiskCleared() {
  SetTopRow(0);
  viewport()->update();
}

QSize DiskMap::sizeHint() const {
  const int width = geometry_.ColumnX(kMapColumns, 0) + verticalScrollBar()->sizeHint().width() + 2 * frameWidth();
  return {width, 40 * geometry_.rowHeight};
}

int DiskMap::LastTrackRow() const {
  const int tracks = disk_.TracksToWrite();
  return tracks > 0 ? tracks - 1 : kMapRows - 1;
}

void DiskMap::MoveCurrent(int column, int row) {
  SetCurrentCell(column, row);
  if (currentRow_ < TopRow())
    SetTopRow(currentRow_);
  else if (currentRow_ > LastFullyVisibleRow())
    SetTopRow(TopRow() + currentRow_ - LastFullyVisibleRow());
  if (currentColumn_ < LeftColumn()) SetLeftColumn(currentColumn_);
  while (currentColumn_ > LeftColumn() && geometry_.ColumnX(currentColumn_ + 1, LeftColumn()) > viewport()->width() &&
         LeftColumn() < horizontalScrollBar()->maximum())
    SetLeftColumn(LeftColumn() + 1);
  emit CellClicked(currentColumn_, currentRow_);
}

void DiskMap::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  if (event->button() != Qt::LeftButton) return;
  int column = 0;
  int row = 0;
  if (!CellAt(event->position().toPoint(), column, row)) return;
  SetCurrentCell(column, row);
  emit CellClicked(column, row);
}

void DiskMap::mouseDoubleClickEvent(QMouseEvent* event) {
  int column = 0;
  int row = 0;
  if (event->button() == Qt::LeftButton && CellAt(event->position().toPoint(), column, row))
    emit CellDoubleClicked(column, row);
}

void DiskMap::contextMenuEvent(QContextMenuEvent* event) {
  int column = -1;
  int row = -1;
  // Events of the viewport arrive here in the viewport's coordinates.
  CellAt(event->pos(), column, row);
  emit ContextMenuRequested(column, row, event->globalPos());
}

void DiskMap::keyPressEvent(QKeyEvent* event) {
  const int page = std::max(1, verticalScrollBar()->pageStep());
  if (event->modifiers() & Qt::ControlModifier) {
    switch (event->key()) {
      case Qt::Key_Home: MoveCurrent(currentColumn_, 0); return;
      case Qt::Key_End: MoveCurrent(currentColumn_, LastTrackRow()); return;
      case Qt::Key_Plus:
      case Qt::Key_Equal: ZoomIn(); return;
      case Qt::Key_Minus: ZoomOut(); return;
      case Qt::Key_0: SetZoom(kMapZoomLevels.front()); return;
      default: break;
    }
  }
  switch (event->key()) {
    case Qt::Key_Left: MoveCurrent(std::max(0, currentColumn_ - 1), currentRow_); return;
    case Qt::Key_Right: MoveCurrent(std::min(columnCount_ - 1, currentColumn_ + 1), currentRow_); return;
    case Qt::Key_Up: MoveCurrent(currentColumn_, std::max(0, currentRow_ - 1)); return;
    case Qt::Key_Down: MoveCurrent(currentColumn_, std::min(kMapRows - 1, currentRow_ + 1)); return;
    case Qt::Key_PageUp: MoveCurrent(currentColumn_, std::max(0, currentRow_ - page)); return;
    case Qt::Key_PageDown: MoveCurrent(currentColumn_, std::min(kMapRows - 1, currentRow_ + page)); return;
    case Qt::Key_Home: MoveCurrent(0, currentRow_); return;
    case Qt::Key_End: MoveCurrent(columnCount_ - 1, currentRow_); return;
    default: QAbstractScrollArea::keyPressEvent(event);
  }
}

void DiskMap::wheelEvent(QWheelEvent* event) {
  if (!(event->modifiers() & Qt::ControlModifier)) {
    QAbstractScrollArea::wheelEvent(event);
    return;
  }
  const int turn = event->angleDelta().y();
  if (turn > 0) ZoomIn();
  if (turn < 0) ZoomOut();
  event->accept();
}

// "Дорожка 4, сектор 3: ..." for a sector, "Дорожка 4: ..." for a label or an empty slot.
QString DiskMap::CellToolTip(int column, int row) const {
  const Tile tile = CellTile(disk_, column, row);
  if (tile == Tile::Blank) return {};
  if (column == 0 || tile == Tile::SectorEmpty) return QStringLiteral("Дорожка %1: %2").arg(row).arg(TileMeaning(tile));
  const int number =
      disk_.GetTrack(static_cast<std::uint8_t>(row)).GetSector(static_cast<std::uint8_t>(column - 1)).IdSector;
  return QStringLiteral("Дорожка %1, сектор %2: %3").arg(row).arg(number).arg(TileMeaning(tile));
}

bool DiskMap::viewportEvent(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QAbstractScrollArea::viewportEvent(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  int column = -1;
  int row = -1;
  const QString text = CellAt(help->pos(), column, row) ? CellToolTip(column, row) : QString();
  if (text.isEmpty())
    QToolTip::hideText();
  else
    QToolTip::showText(help->globalPos(), text, viewport(), CellRect(column, row));
  return true;
}

void DiskMap::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

}  // namespace velloran
