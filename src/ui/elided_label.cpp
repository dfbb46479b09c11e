#include "ui/elided_label.h"

#include <algorithm>

#include <QPainter>

namespace velloran {

namespace {

constexpr int kPadding = 4;

}  // namespace

ElidedLabel::ElidedLabel(int preferredWidth, bool fitText, QWidget* parent)
    : QFrame(parent), preferredWidth_(preferredWidth), fitText_(fitText) {
  setFrameShape(QFrame::Panel);
  setFrameShadow(QFrame::Sunken);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void ElidedLabel::SetText(const QString& text) {
  text_ = text;
  setToolTip(text);
  updateGeometry();
  update();
}

QString ElidedLabel::ShownText() const {
  return fontMetrics().elidedText(text_, Qt::ElideMiddle, std::max(0, contentsRect().width() - 2 * kPadding));
}

QSize ElidedLabel::sizeHint() const {
  int width = preferredWidth_;
  if (fitText_) width = std::max(width, fontMetrics().horizontalAdvance(text_) + 2 * (frameWidth() + kPadding) + 2);
  return {width, fontMetrics().height() + 2 * frameWidth() + 2};
}

QSize ElidedLabel::minimumSizeHint() const {
  return {fontMetrics().horizontalAdvance(QStringLiteral("M…M")) + 2 * (frameWidth() + kPadding), sizeHint().height()};
}

void ElidedLabel::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  painter.drawText(contentsRect().adjusted(kPadding, 0, -kPadding, 0), Qt::AlignLeft | Qt::AlignVCenter, ShownText());
}

}  // namespace velloran
