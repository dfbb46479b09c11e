// The disk map: one row per track, the track label and one raised tile per
// sector slot in the colour of the sector's state. Scrolls by whole rows and
// columns; repaints single cells while a long operation fills the disk;
// zooms its cells and their text (Ctrl+wheel, Ctrl+plus/minus, Ctrl+0).
#pragma once

#include <array>

#include <QAbstractScrollArea>
#include <QPixmap>

#include "model/disk.h"
#include "ui/disk_map_cells.h"

namespace velloran {

class DiskMap : public QAbstractScrollArea, public DiskObserver {
  Q_OBJECT

 public:
  // The map draws `disk` and registers itself as the disk's observer.
  explicit DiskMap(TZX_Disk& disk, QWidget* parent = nullptr);
  ~DiskMap() override;

  int ColumnCount() const { return columnCount_; }
  void SetColumnCount(int count);

  // The current cell (moved by a left click): column 0 = label, 1..20 = slots.
  int CurrentColumn() const { return currentColumn_; }
  int CurrentRow() const { return currentRow_; }
  void SetCurrentCell(int column, int row);

  int TopRow() const;
  int LeftColumn() const;
  void SetTopRow(int row);
  void SetLeftColumn(int column);
  // Last row shown in full; rows below it are cut or hidden.
  int LastFullyVisibleRow() const;
  // Back to the first row and column, current cell (0, 0), repainted.
  void ScrollToOrigin();

  // Zoom in percent, one of kMapZoomLevels; other values take the nearest
  // level below (at least the smallest).
  int Zoom() const { return zoom_; }
  void SetZoom(int percent);
  // One level up or down; nothing beyond the ends.
  void ZoomIn();
  void ZoomOut();
  const MapGeometry& Geometry() const { return geometry_; }

  // The cell under a point of the viewport; false outside the cells.
  bool CellAt(const QPoint& point, int& column, int& row) const;
  // Where a cell lies in the viewport (may be outside it).
  QRect CellRect(int column, int row) const;

  // DiskObserver: repaint one cell at once, or scroll one row down when the
  // track lies below the visible rows so that the reading front stays in view.
  void RedrawSector(std::uint8_t track, std::uint8_t slot) override;
  void RedrawTrackLabel(std::uint8_t track) override;
  void DiskCleared() override;

  QSize sizeHint() const override;

 signals:
  // A left click (or a keyboard move) made (column, row) the current cell.
  void CellClicked(int column, int row);
  void CellDoubleClicked(int column, int row);
  // A right click; column and row are -1 outside the cells.
  void ContextMenuRequested(int column, int row, const QPoint& globalPos);
  // The zoom changed (to be kept in the settings).
  void ZoomChanged(int percent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // Tooltips of the cells: what the cell under the mouse means.
  bool viewportEvent(QEvent* event) override;

 private:
  void BuildTiles();
  void UpdateScrollBars();
  void RedrawCell(int column, int row);
  void PaintCell(QPainter& painter, int column, int row);
  void MoveCurrent(int column, int row);
  // Last row of the disk (the last present track), for Ctrl+End.
  int LastTrackRow() const;
  QString CellToolTip(int column, int row) const;

  TZX_Disk& disk_;
  int columnCount_ = kMapCreatedColumns;
  int currentColumn_ = 0;
  int currentRow_ = 0;
  int zoom_ = 100;
  MapGeometry geometry_;
  // One raised tile per kind, label width and slot width, at the current zoom.
  std::array<QPixmap, 9> labelTiles_;
  std::array<QPixmap, 9> slotTiles_;
};

}  // namespace velloran
