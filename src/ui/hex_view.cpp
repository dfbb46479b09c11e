#include "ui/hex_view.h"

#include <algorithm>
#include <cstring>

#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "common/file_io.h"

namespace velloran {

namespace {

const QColor kOffsetColour(0, 0, 0);
const QColor kEvenColumnColour(0, 0, 0x80);  // navy
const QColor kOddColumnColour(0, 0, 0xFF);   // blue
const QColor kCurrentText(0xFF, 0xFF, 0xFF);
const QColor kCurrentBack(0x80, 0, 0);  // maroon
const QColor kChangedText(0x80, 0, 0);
const QColor kChangedBack(0xFF, 0xFF, 0xA8);  // light yellow
const QColor kCursorFrame(0, 0, 0x80);
const QColor kMarkedBack(0xFF, 0xC8, 0xC8);  // light red: copies differ here

int HexDigitValue(int key) {
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return key - Qt::Key_0;
  if (key >= Qt::Key_A && key <= Qt::Key_F) return key - Qt::Key_A + 10;
  return -1;
}

}  // namespace

HexView::HexView(QWidget* parent) : QAbstractScrollArea(parent) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSize(9);
  // Crisp glyphs in exactly the column colours, as on a terminal.
  font.setStyleStrategy(QFont::NoAntialias);
  setFont(font);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  UpdateScrollBars();
}

void HexView::SetMarks(std::vector<bool> marks) {
  marks_ = std::move(marks);
  viewport()->update();
}

void HexView::SetData(ByteSpan bytes) {
  data_.assign(bytes.begin(), bytes.end());
  changed_.assign(data_.size(), false);
  marks_.clear();
  position_ = 0;
  secondNibble_ = false;
  verticalScrollBar()->setValue(0);
  UpdateScrollBars();
  viewport()->update();
}

void HexView::SetReadOnly(bool readOnly) {
  readOnly_ = readOnly;
  secondNibble_ = false;
}

void HexView::SetCodePage(CodePage page) {
  codePage_ = page;
  viewport()->update();
}

bool HexView::EditByte(int index, std::uint8_t value) {
  if (readOnly_ || index < 0 || index >= Size()) return false;
  data_[index] = value;
  changed_[index] = true;
  viewport()->update();
  emit ByteChanged(index);
  return true;
}

bool HexView::IsChanged(int index) const { return index >= 0 && index < Size() && changed_[index]; }

bool HexView::AnyChanged() const { return std::find(changed_.begin(), changed_.end(), true) != changed_.end(); }

void HexView::ClearChangeMarks() {
  std::fill(changed_.begin(), changed_.end(), false);
  viewport()->update();
}

std::size_t HexView::CopyTo(std::uint8_t* target, std::size_t maxLength) const {
  const std::size_t count = std::min(maxLength, data_.size());
  if (count > 0) std::memcpy(target, data_.data(), count);
  return count;
}

bool HexView::SaveToFile(const std::filesystem::path& file, std::string& error) {
  if (!WriteFileAtomic(file, data_, error)) return false;
  ClearChangeMarks();
  return true;
}

void HexView::SetCurrentPosition(int position) {
  if (data_.empty()) return;
  position_ = std::clamp(position, 0, Size() - 1);
  secondNibble_ = false;
  EnsureVisible(position_);
  viewport()->update();
}

int HexView::OffsetDigits() const {
  int digits = 4;
  while (digits < 8 && static_cast<std::size_t>(1) << (4 * digits) < data_.size()) ++digits;
  return digits;
}

QString HexView::OffsetText(int line) const {
  return QStringLiteral("%1:").arg(line * kBytesPerLine, OffsetDigits(), 16, QLatin1Char('0')).toUpper();
}

HexView::Metrics HexView::Measure() const {
  const QFontMetrics metrics(font());
  Metrics m{};
  m.charWidth = metrics.horizontalAdvance(QLatin1Char('0'));
  m.lineHeight = metrics.height() + 2;
  m.ascent = metrics.ascent() + 1;
  m.offsetWidth = (OffsetDigits() + 2) * m.charWidth;
  m.byteWidth = 3 * m.charWidth;
  m.charsLeft = m.offsetWidth + kBytesPerLine * m.byteWidth + m.charWidth;
  m.totalWidth = m.charsLeft + kBytesPerLine * m.charWidth + m.charWidth;
  return m;
}

QRect HexView::ByteCellRect(int index, bool characterColumn) const {
  const Metrics m = Measure();
  const int top = (index / kBytesPerLine - verticalScrollBar()->value()) * m.lineHeight;
  const int left = -horizontalScrollBar()->value();
  const int column = index % kBytesPerLine;
  if (characterColumn) return {left + m.charsLeft + column * m.charWidth, top, m.charWidth, m.lineHeight};
  return {left + m.offsetWidth + column * m.byteWidth, top, m.byteWidth, m.lineHeight};
}

int HexView::LineCount() const { return (Size() + kBytesPerLine - 1) / kBytesPerLine; }

QSize HexView::sizeHint() const {
  const Metrics m = Measure();
  return {m.totalWidth + verticalScrollBar()->sizeHint().width() + 2 * frameWidth(), 20 * m.lineHeight};
}

void HexView::UpdateScrollBars() {
  const Metrics m = Measure();
  const int visibleLines = std::max(1, viewport()->height() / m.lineHeight);
  verticalScrollBar()->setRange(0, std::max(0, LineCount() - visibleLines));
  verticalScrollBar()->setPageStep(visibleLines);
  horizontalScrollBar()->setRange(0, std::max(0, m.totalWidth - viewport()->width()));
  horizontalScrollBar()->setPageStep(viewport()->width());
}

void HexView::EnsureVisible(int position) {
  const Metrics m = Measure();
  const int line = position / kBytesPerLine;
  const int visibleLines = std::max(1, viewport()->height() / m.lineHeight);
  QScrollBar* bar = verticalScrollBar();
  if (line < bar->value())
    bar->setValue(line);
  else if (line >= bar->value() + visibleLines)
    bar->setValue(line - visibleLines + 1);
}

void HexView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.setFont(font());
  const Metrics m = Measure();
  const int firstLine = verticalScrollBar()->value();
  const int left = -horizontalScrollBar()->value();
  const int visibleLines = viewport()->height() / m.lineHeight + 1;
  const int lastLine = std::min(LineCount(), firstLine + visibleLines);
  for (int line = firstLine; line < lastLine; ++line) {
    const int top = (line - firstLine) * m.lineHeight;
    painter.setPen(kOffsetColour);
    painter.drawText(left, top + m.ascent, OffsetText(line));
    for (int column = 0; column < kBytesPerLine; ++column) {
      const int index = line * kBytesPerLine + column;
      if (index >= Size()) break;
      const std::uint8_t value = data_[index];
      const QRect hexCell = ByteCellRect(index, false);
      const QRect charCell = ByteCellRect(index, true);
      QColor text = column % 2 == 0 ? kEvenColumnColour : kOddColumnColour;
      if (changed_[index]) {
        text = kChangedText;
        painter.fillRect(hexCell, kChangedBack);
        painter.fillRect(charCell, kChangedBack);
      } else if (IsMarked(index)) {
        painter.fillRect(hexCell, kMarkedBack);
        painter.fillRect(charCell, kMarkedBack);
      }
      if (index == position_) {
        const QRect active = inCharacters_ ? charCell : hexCell;
        const QRect other = inCharacters_ ? hexCell : charCell;
        painter.fillRect(active, kCurrentBack);
        painter.setPen(kCursorFrame);
        painter.drawRect(other.adjusted(0, 0, -1, -1));
      }
      painter.setPen(index == position_ && !inCharacters_ ? kCurrentText : text);
      painter.drawText(hexCell.left() + m.charWidth / 2, top + m.ascent,
                       QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper());
      char32_t c = ByteToUnicode(codePage_, value);
      // Control codes and bytes the code page leaves undefined show as a dot.
      if (c < 0x20 || c == 0x7F || c == 0xFFFD) c = U'.';
      painter.setPen(index == position_ && inCharacters_ ? kCurrentText : text);
      painter.drawText(charCell.left(), top + m.ascent, QString::fromUcs4(&c, 1));
    }
  }
  if (hasFocus()) {
    painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
    painter.drawRect(viewport()->rect().adjusted(0, 0, -1, -1));
  }
}

void HexView::MoveTo(int position) {
  if (data_.empty()) return;
  SetCurrentPosition(position);
}

void HexView::TypeHexDigit(int digit) {
  std::uint8_t value = data_[position_];
  if (!secondNibble_) {
    value = static_cast<std::uint8_t>((value & 0x0F) | (digit << 4));
    EditByte(position_, value);
    secondNibble_ = true;
    return;
  }
  value = static_cast<std::uint8_t>((value & 0xF0) | digit);
  EditByte(position_, value);
  const int next = position_ + 1;
  secondNibble_ = false;
  if (next < Size()) MoveTo(next);
}

void HexView::TypeCharacter(const QString& text) {
  const QList<uint> characters = text.toUcs4();
  if (characters.isEmpty()) return;
  const auto byte = UnicodeToByte(codePage_, static_cast<char32_t>(characters.front()));
  if (!byte) return;
  EditByte(position_, *byte);
  if (position_ + 1 < Size()) MoveTo(position_ + 1);
}

void HexView::keyPressEvent(QKeyEvent* event) {
  if (data_.empty()) {
    QAbstractScrollArea::keyPressEvent(event);
    return;
  }
  const int page = std::max(1, verticalScrollBar()->pageStep()) * kBytesPerLine;
  const bool control = event->modifiers() & Qt::ControlModifier;
  switch (event->key()) {
    case Qt::Key_Left: MoveTo(position_ - 1); return;
    case Qt::Key_Right: MoveTo(position_ + 1); return;
    case Qt::Key_Up: MoveTo(position_ - kBytesPerLine); return;
    case Qt::Key_Down: MoveTo(position_ + kBytesPerLine); return;
    case Qt::Key_PageUp: MoveTo(position_ - page); return;
    case Qt::Key_PageDown: MoveTo(position_ + page); return;
    case Qt::Key_Home: MoveTo(control ? 0 : position_ - position_ % kBytesPerLine); return;
    case Qt::Key_End: MoveTo(control ? Size() - 1 : position_ - position_ % kBytesPerLine + kBytesPerLine - 1); return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      inCharacters_ = !inCharacters_;
      secondNibble_ = false;
      viewport()->update();
      return;
    default: break;
  }
  if (!readOnly_ && !control) {
    if (!inCharacters_) {
      const int digit = HexDigitValue(event->key());
      if (digit >= 0) {
        TypeHexDigit(digit);
        return;
      }
    } else if (!event->text().isEmpty() && event->text().front().isPrint()) {
      TypeCharacter(event->text());
      return;
    }
  }
  QAbstractScrollArea::keyPressEvent(event);
}

// Tab must reach keyPressEvent instead of moving the focus.
bool HexView::focusNextPrevChild(bool) { return false; }

void HexView::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  if (data_.empty()) return;
  const Metrics m = Measure();
  const int x = event->position().toPoint().x() + horizontalScrollBar()->value();
  const int line = verticalScrollBar()->value() + event->position().toPoint().y() / m.lineHeight;
  int column = -1;
  if (x >= m.offsetWidth && x < m.offsetWidth + kBytesPerLine * m.byteWidth) {
    column = (x - m.offsetWidth) / m.byteWidth;
    inCharacters_ = false;
  } else if (x >= m.charsLeft && x < m.charsLeft + kBytesPerLine * m.charWidth) {
    column = (x - m.charsLeft) / m.charWidth;
    inCharacters_ = true;
  }
  if (column < 0) return;
  const int index = line * kBytesPerLine + column;
  if (index < Size()) MoveTo(index);
}

void HexView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void HexView::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  viewport()->update();
}

void HexView::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  viewport()->update();
}

}  // namespace velloran
