#include "ui/map_legend.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

#include "ui/disk_map_cells.h"

namespace velloran {

namespace {

// A sample cell: the tile's colour with a sample text, as the map draws it.
QPixmap Sample(Tile tile, const QColor& buttonFace) {
  const bool label = tile == Tile::LabelRaw || tile == Tile::LabelPlain;
  QPixmap sample(label ? kMapLabelWidth : kMapSlotWidth, kMapRowHeight);
  sample.fill(TileColour(tile, buttonFace));
  QPainter painter(&sample);
  painter.setPen(Qt::black);
  painter.drawRect(sample.rect().adjusted(0, 0, -1, -1));
  QFont font(QStringLiteral("Courier New"));
  font.setPointSizeF(kMapFontPoints);
  font.setStyleHint(QFont::TypeWriter);
  painter.setFont(font);
  painter.setPen(TileTextColour(tile));
  painter.drawText(sample.rect(), Qt::AlignCenter, label ? QStringLiteral("T005") : QStringLiteral("s01"));
  return sample;
}

}  // namespace

MapLegend::MapLegend(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("mapLegend"));
  setFrameShape(QFrame::StyledPanel);
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(6, 4, 6, 4);
  grid->setVerticalSpacing(2);
  int row = 0;
  for (Tile tile : kLegendTiles) {
    auto* swatch = new QLabel(this);
    swatch->setPixmap(Sample(tile, palette().color(QPalette::Button)));
    grid->addWidget(swatch, row, 0, Qt::AlignCenter);
    meanings_ << new QLabel(this);
    grid->addWidget(meanings_.back(), row, 1);
    ++row;
  }
  meanings_ << new QLabel(this);
  grid->addWidget(meanings_.back(), row, 0, 1, 2);
  grid->setColumnStretch(1, 1);
  Retranslate();
}

void MapLegend::Retranslate() {
  int line = 0;
  for (Tile tile : kLegendTiles) meanings_[line++]->setText(TileMeaning(tile));
  meanings_[line]->setText(tr("Рамка — выбранная ячейка. Масштаб: Ctrl и колесо мыши, Ctrl+плюс, Ctrl+минус"));
}

void MapLegend::changeEvent(QEvent* event) {
  QFrame::changeEvent(event);
  if (event->type() == QEvent::LanguageChange && !meanings_.isEmpty()) Retranslate();
}

}  // namespace velloran
