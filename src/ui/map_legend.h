// The legend of the disk map: one line per tile colour with what it means,
// shown under the map when the user asks for it ("Вид" -> "Легенда карты").
#pragma once

#include <QFrame>
#include <QList>

class QLabel;

namespace velloran {

class MapLegend : public QFrame {
  Q_OBJECT

 public:
  explicit MapLegend(QWidget* parent = nullptr);

 protected:
  // A language change captions the lines anew.
  void changeEvent(QEvent* event) override;

 private:
  void Retranslate();

  // The meaning of each tile of kLegendTiles, then the line on the frame and the zoom keys.
  QList<QLabel*> meanings_;
};

}  // namespace velloran
