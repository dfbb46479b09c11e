// The plots of src/plot painted by Qt: a scene drawn by a QPainter, and a
// widget that builds its scene at its own size whenever it paints.
#pragma once

#include <functional>

#include <QWidget>

#include "plot/scene.h"

class QPainter;

namespace velloran {

void PaintScene(QPainter& painter, const Scene& scene);

class ScenePlot : public QWidget {
  Q_OBJECT

 public:
  using Builder = std::function<Scene(int width, int height)>;
  explicit ScenePlot(QWidget* parent = nullptr);
  void SetBuilder(Builder builder);

 protected:
  void paintEvent(QPaintEvent* event) override;
  // The scene's texts are in the process's language: a new one redraws it.
  void changeEvent(QEvent* event) override;

 private:
  Builder builder_;
};

}  // namespace velloran
