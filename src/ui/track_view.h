// The track view: a window with the histogram of a track's flux intervals
// and its timing plot (a revolution, or all overlaid; the mouse wheel zooms
// along the revolution, dragging pans, hovering names the sector). A track
// without flux shows the sector layout of its raw track, or says it has none.
#pragma once

#include <vector>

#include <QWidget>

#include "model/disk.h"
#include "plot/track_plots.h"

class QComboBox;
class QLabel;
class QSpinBox;

namespace velloran {

class ScenePlot;

class TrackView : public QWidget {
  Q_OBJECT

 public:
  // The view reads `disk`, which must outlive it.
  explicit TrackView(const TZX_Disk& disk, QWidget* parent = nullptr);

  // Shows `track` from the whole revolution on.
  void ShowTrack(int track);
  // The disk changed: the same track is read again.
  void Reload();
  int Track() const { return source_.track; }
  const TimingWindow& Window() const { return window_; }
  // Zooms by `factor` (below 1: closer) keeping `around` (a place in the revolution) where it is.
  void Zoom(double factor, double around);
  // What hovering at a point of the timing plot names; empty off the sectors.
  QString SectorAt(QPoint point) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FillRevolutions();
  void Redraw();

  const TZX_Disk& disk_;
  TrackSource source_;
  std::vector<FieldBand> bands_;
  TimingWindow window_;
  QSpinBox* track_ = nullptr;
  QComboBox* revolution_ = nullptr;
  QLabel* message_ = nullptr;
  ScenePlot* histogram_ = nullptr;
  ScenePlot* timing_ = nullptr;
  QLabel* hover_ = nullptr;
  double dragX_ = -1;  // where a drag along the timing plot began; -1: none
};

}  // namespace velloran
