// The legend of the disk map: one line per tile colour with what it means,
// shown under the map when the user asks for it ("Вид" -> "Легенда карты").
#pragma once

#include <QFrame>

namespace velloran {

class MapLegend : public QFrame {
  Q_OBJECT

 public:
  explicit MapLegend(QWidget* parent = nullptr);
};

}  // namespace velloran
