// The disk picture beside the map (a dock of the main window): both sides as
// rings of sectors in the map's colours, saved as PNG or SVG on request.
#pragma once

#include <QWidget>

#include "model/disk.h"

namespace velloran {

class Prompts;
class ScenePlot;

class DiskPictureView : public QWidget {
  Q_OBJECT

 public:
  // The view reads `disk`, which must outlive it.
  DiskPictureView(const TZX_Disk& disk, Prompts& prompts, QWidget* parent = nullptr);
  // The disk changed: the picture is drawn again.
  void Reload();
  // Asks for a file and saves the picture there as PNG or SVG.
  void SavePicture();

 private:
  const TZX_Disk& disk_;
  Prompts& prompts_;
  ScenePlot* picture_ = nullptr;
};

}  // namespace velloran
