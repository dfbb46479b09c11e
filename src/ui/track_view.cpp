#include "ui/track_view.h"

#include <algorithm>

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "ui/disk_map_cells.h"
#include "ui/scene_painter.h"

namespace velloran {

namespace {

constexpr double kNarrowestWindow = 0.002;  // of a revolution
constexpr double kWheelZoom = 0.8;

}  // namespace

TrackView::TrackView(const TZX_Disk& disk, QWidget* parent) : QWidget(parent, Qt::Window), disk_(disk) {
  setObjectName(QStringLiteral("TrackView"));
  resize(1000, 640);
  auto* layout = new QVBoxLayout(this);
  auto* controls = new QHBoxLayout;
  track_ = new QSpinBox(this);
  track_->setObjectName(QStringLiteral("trackNumber"));
  track_->setRange(0, kTrackCount - 1);
  track_->setPrefix(QStringLiteral("Дорожка "));
  revolution_ = new QComboBox(this);
  revolution_->setObjectName(QStringLiteral("trackRevolution"));
  message_ = new QLabel(this);
  message_->setObjectName(QStringLiteral("trackMessage"));
  controls->addWidget(track_);
  controls->addWidget(revolution_);
  controls->addWidget(message_, 1);
  layout->addLayout(controls);
  histogram_ = new ScenePlot(this);
  histogram_->setObjectName(QStringLiteral("trackHistogram"));
  histogram_->setMinimumHeight(220);
  histogram_->SetBuilder([this](int w, int h) { return HistogramScene(source_, window_.revolution, w, h); });
  timing_ = new ScenePlot(this);
  timing_->setObjectName(QStringLiteral("trackTiming"));
  timing_->setMinimumHeight(300);
  timing_->setMouseTracking(true);
  timing_->installEventFilter(this);
  timing_->SetBuilder([this](int w, int h) { return TimingScene(source_, window_, w, h); });
  hover_ = new QLabel(this);
  hover_->setObjectName(QStringLiteral("trackHover"));
  layout->addWidget(histogram_, 2);
  layout->addWidget(timing_, 3);
  layout->addWidget(hover_);

  connect(track_, &QSpinBox::valueChanged, this, [this](int track) {
    if (track != source_.track) ShowTrack(track);
  });
  connect(revolution_, &QComboBox::currentIndexChanged, this, [this](int index) {
    window_.revolution = index <= 0 ? kAllRevolutions : index - 1;
    Redraw();
  });
}

void TrackView::ShowTrack(int track) {
  window_ = {};
  source_ = {};
  source_.track = static_cast<std::uint8_t>(std::clamp(track, 0, kTrackCount - 1));
  Reload();
}

void TrackView::Reload() {
  source_ = PrepareTrackSource(disk_, source_.track);
  bands_ = FieldBands(source_.layout);
  setWindowTitle(QStringLiteral("Поток дорожки %1").arg(source_.track));
  track_->setValue(source_.track);
  switch (source_.kind) {
    case TrackSourceKind::Flux: message_->clear(); break;
    case TrackSourceKind::RawTrack:
      message_->setText(QStringLiteral("Дорожка без потока: расположение секторов по RAW образу"));
      break;
    case TrackSourceKind::NoRawTrack:
    case TrackSourceKind::Absent: message_->setText(QStringLiteral("Дорожка без потока и без RAW образа")); break;
  }
  histogram_->setVisible(source_.kind == TrackSourceKind::Flux);
  timing_->setVisible(source_.kind == TrackSourceKind::Flux || source_.kind == TrackSourceKind::RawTrack);
  FillRevolutions();
  Redraw();
}

void TrackView::FillRevolutions() {
  const QSignalBlocker quiet(revolution_);
  revolution_->clear();
  revolution_->addItem(QStringLiteral("Все обороты"));
  const int count = static_cast<int>(ShownRevolutions(source_, {}).size());
  for (int r = 0; r < count; ++r) revolution_->addItem(QStringLiteral("Оборот %1").arg(r + 1));
  if (window_.revolution >= count) window_.revolution = kAllRevolutions;
  revolution_->setCurrentIndex(window_.revolution + 1);
  revolution_->setEnabled(count > 1);
}

void TrackView::Redraw() {
  histogram_->update();
  timing_->update();
}

void TrackView::Zoom(double factor, double around) {
  const double span = std::clamp((window_.to - window_.from) * factor, kNarrowestWindow, 1.0);
  const double share = (around - window_.from) / (window_.to - window_.from);
  window_.from = std::clamp(around - share * span, 0.0, 1.0 - span);
  window_.to = window_.from + span;
  Redraw();
}

QString TrackView::SectorAt(QPoint point) const {
  const std::vector<int> shown = ShownRevolutions(source_, window_);
  if (shown.empty()) return {};
  const TimingFrame frame = TimingFrameOf(timing_->width(), timing_->height(), static_cast<int>(shown.size()));
  const double place = frame.PlaceAt(point.x(), window_);
  // Over the lanes, the lane's revolution; below them, the first one shown.
  const int lane = frame.laneHeight > 0 ? static_cast<int>((point.y() - frame.lanesTop) / frame.laneHeight) : 0;
  const int revolution = shown[static_cast<std::size_t>(std::clamp(lane, 0, static_cast<int>(shown.size()) - 1))];
  const FieldBand* band = BandAt(bands_, revolution, place);
  if (band == nullptr) return {};
  return QStringLiteral("Сектор %1 (C%2 H%3 R%4 N%5), %6: %7")
      .arg(band->r)
      .arg(band->c)
      .arg(band->h)
      .arg(band->r)
      .arg(band->n)
      .arg(band->kind == FieldKind::Id ? QStringLiteral("заголовок") : QStringLiteral("данные"))
      .arg(TileMeaning(band->tile));
}

bool TrackView::eventFilter(QObject* watched, QEvent* event) {
  if (watched != timing_) return QWidget::eventFilter(watched, event);
  const TimingFrame frame =
      TimingFrameOf(timing_->width(), timing_->height(), static_cast<int>(ShownRevolutions(source_, window_).size()));
  switch (event->type()) {
    case QEvent::Wheel: {
      const auto* wheel = static_cast<QWheelEvent*>(event);
      const double place = std::clamp(frame.PlaceAt(wheel->position().x(), window_), window_.from, window_.to);
      Zoom(wheel->angleDelta().y() > 0 ? kWheelZoom : 1 / kWheelZoom, place);
      return true;
    }
    case QEvent::MouseButtonPress: dragX_ = static_cast<QMouseEvent*>(event)->position().x(); return true;
    case QEvent::MouseButtonRelease: dragX_ = -1; return true;
    case QEvent::MouseMove: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (dragX_ >= 0) {
        const double span = window_.to - window_.from;
        const double shift = (dragX_ - mouse->position().x()) / frame.width * span;
        window_.from = std::clamp(window_.from + shift, 0.0, 1.0 - span);
        window_.to = window_.from + span;
        dragX_ = mouse->position().x();
        Redraw();
      }
      hover_->setText(SectorAt(mouse->position().toPoint()));
      return true;
    }
    default: return QWidget::eventFilter(watched, event);
  }
}

}  // namespace velloran
