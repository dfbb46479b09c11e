// A status-bar panel: keeps its whole text, draws as much of it as fits with
// "…" in the middle, and shows the whole text as its tooltip. It asks for its
// preferred width (or its text's, when it fits its text) but may be
// narrowed, so that panels never overlap.
#pragma once

#include <QFrame>
#include <QString>

namespace velloran {

class ElidedLabel : public QFrame {
  Q_OBJECT

 public:
  ElidedLabel(int preferredWidth, bool fitText, QWidget* parent = nullptr);

  void SetText(const QString& text);
  const QString& Text() const { return text_; }
  // The text as drawn at the current width.
  QString ShownText() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
  int preferredWidth_;
  bool fitText_;
};

}  // namespace velloran
