#include "ui/scene_painter.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace velloran {

namespace {

QColor ColourOf(Rgb colour) { return {colour.r, colour.g, colour.b}; }

// Scenes count degrees clockwise from the top, Qt counter-clockwise from three o'clock.
QPainterPath RingPath(const SceneRingPiece& piece) {
  const QPointF centre(piece.cx, piece.cy);
  const QRectF outer(centre.x() - piece.outer, centre.y() - piece.outer, 2 * piece.outer, 2 * piece.outer);
  const QRectF inner(centre.x() - piece.inner, centre.y() - piece.inner, 2 * piece.inner, 2 * piece.inner);
  const double sweep = piece.end - piece.start;
  QPainterPath path;
  path.arcMoveTo(outer, 90 - piece.start);
  path.arcTo(outer, 90 - piece.start, -sweep);
  path.arcTo(inner, 90 - piece.end, sweep);
  path.closeSubpath();
  return path;
}

}  // namespace

void PaintScene(QPainter& painter, const Scene& scene) {
  painter.fillRect(QRectF(0, 0, scene.width, scene.height), ColourOf(scene.background));
  painter.setPen(Qt::NoPen);
  painter.setRenderHint(QPainter::Antialiasing, true);
  for (const SceneRingPiece& piece : scene.rings) painter.fillPath(RingPath(piece), ColourOf(piece.fill));
  painter.setRenderHint(QPainter::Antialiasing, false);
  for (const SceneRect& rect : scene.rects)
    painter.fillRect(QRectF(rect.x, rect.y, rect.width, rect.height), ColourOf(rect.fill));
  for (const SceneLine& line : scene.lines) {
    painter.setPen(QPen(ColourOf(line.colour), 0));
    painter.drawLine(QPointF(line.x1, line.y1), QPointF(line.x2, line.y2));
  }
  QFont font = painter.font();
  for (const SceneText& text : scene.texts) {
    font.setPixelSize(static_cast<int>(text.size * 1.3));
    painter.setFont(font);
    painter.setPen(ColourOf(text.colour));
    const QString words = QString::fromStdString(text.text);
    const double width = QFontMetricsF(font).horizontalAdvance(words);
    const double shift = text.anchor == TextAnchor::Start ? 0 : text.anchor == TextAnchor::Middle ? width / 2 : width;
    painter.drawText(QPointF(text.x - shift, text.y), words);
  }
}

ScenePlot::ScenePlot(QWidget* parent) : QWidget(parent) {}

void ScenePlot::SetBuilder(Builder builder) {
  builder_ = std::move(builder);
  update();
}

void ScenePlot::paintEvent(QPaintEvent*) {
  if (!builder_) return;
  QPainter painter(this);
  PaintScene(painter, builder_(width(), height()));
}

void ScenePlot::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) update();
  QWidget::changeEvent(event);
}

}  // namespace velloran
