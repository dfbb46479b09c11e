// The flux views of the desktop: the track view (from the Вид menu and the
// map's context menu) and the disk picture beside the map, on a disk read
// from flux with one damaged sector.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QSpinBox>

#include <algorithm>
#include <cmath>
#include <random>

#include "flux/flux_disk.h"
#include "flux/track_encoder.h"
#include "ui/disk_picture_view.h"
#include "ui/track_view.h"
#include "ui/ui_fixture.h"

namespace velloran::test {
namespace {

void SaveShot(QWidget& widget, const char* name) {
  QString folder = qEnvironmentVariable("VELLORAN_SCREENSHOTS");
  if (folder.isEmpty()) folder = QDir::current().filePath(QStringLiteral("screenshots"));
  QDir().mkpath(folder);
  EXPECT_TRUE(widget.grab().save(QDir(folder).filePath(QLatin1String(name))));
}

class FluxViewTest : public MainWindowTest {
 protected:
  // Tracks 0..5 of a TR-DOS disk as three revolutions of slightly jittered
  // flux each; on track 2 the middle of sector 9's data is spoilt in every revolution.
  void LoadFluxDisk() {
    MakeMarkedTrdosDisk(Disk());
    auto capture = std::make_shared<FluxDisk>();
    std::mt19937 random(5);
    std::uniform_real_distribution<double> jitter(-0.03, 0.03);
    for (int t = 0; t < 6; ++t) {
      FluxTrack one;
      ASSERT_TRUE(EncodeDiskTrack(Disk(), static_cast<std::uint8_t>(t), FluxTiming{}, one));
      FluxTrack three;
      three.sampleClock = one.sampleClock;
      for (int r = 0; r < 3; ++r) {
        std::vector<std::uint32_t> intervals = one.intervals;
        for (auto& interval : intervals) interval = static_cast<std::uint32_t>(interval * (1 + jitter(random)));
        if (t == 2) Spoil(intervals, one);
        AppendRevolution(three, intervals, one.indexTimes.back());
      }
      capture->tracks[t] = FluxDisk::HeldTrack{three, 0};
    }
    DecodeFluxDisk(Disk(), capture);
    window->RepaintMap();
  }

  // Every second interval within 1 % of a revolution round the middle of
  // sector 9's data field takes half of the next one: more than any loop
  // setting or clock scale can read.
  static void Spoil(std::vector<std::uint32_t>& intervals, const FluxTrack& one) {
    const std::vector<FieldBand> bands = FieldBands(DecodeTrackLayout(one));
    const auto data = std::find_if(bands.begin(), bands.end(),
                                   [](const FieldBand& b) { return b.r == 9 && b.kind == FieldKind::Data; });
    ASSERT_NE(data, bands.end());
    const double middle = (data->start + data->end) / 2, length = static_cast<double>(one.indexTimes.back());
    std::uint64_t time = 0;
    for (std::size_t i = 0; i + 1 < intervals.size(); ++i) {
      time += intervals[i];
      if (i % 2 != 0 || std::abs(static_cast<double>(time) / length - middle) > 0.005) continue;
      const std::uint32_t moved = intervals[i + 1] / 2;
      intervals[i] += moved;
      intervals[i + 1] -= moved;
    }
  }
};

TEST_F(FluxViewTest, TrackViewShowsTheFluxOfTheTrackUnderTheCursorAndNamesTheBadSector) {
  LoadFluxDisk();
  window->show();
  Click(0, 2);
  Action("TrackView1")->trigger();
  auto* view = window->findChild<TrackView*>();
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(view->isVisible());
  EXPECT_EQ(view->Track(), 2);
  EXPECT_EQ(view->findChild<QComboBox*>("trackRevolution")->count(), 4);  // all, and each of three
  EXPECT_TRUE(view->findChild<QWidget*>("trackHistogram")->isVisible());
  QApplication::processEvents();

  // The bad sector is where the map says, and the plot names it there.
  int badSlot = -1;
  for (int slot = 0; slot < kSlotCount; ++slot)
    if (CellTile(Disk(), slot + 1, 2) == Tile::SectorBad) badSlot = slot;
  ASSERT_GE(badSlot, 0) << Disk().GetTrack(2).Log.size() << " notices, sectors "
                        << int{Disk().GetTrack(2).CountSectors()};
  auto* timing = view->findChild<QWidget*>("trackTiming");
  const TimingFrame frame = TimingFrameOf(timing->width(), timing->height(), 3);
  QString named;
  for (int x = static_cast<int>(frame.left); x < frame.left + frame.width && named.isEmpty(); ++x) {
    const QString text = view->SectorAt(QPoint(x, static_cast<int>(frame.top + 20)));
    if (text.contains(QStringLiteral("Сбойный"))) named = text;
  }
  const int r = Disk().GetSector(2, static_cast<std::uint8_t>(badSlot)).IdSector;
  EXPECT_TRUE(named.startsWith(QStringLiteral("Сектор %1 ").arg(r))) << named.toStdString();
  EXPECT_TRUE(named.contains(QStringLiteral("данные")));

  view->findChild<QComboBox*>("trackRevolution")->setCurrentIndex(2);
  EXPECT_EQ(view->Window().revolution, 1);
  view->Zoom(0.5, 0.5);
  EXPECT_DOUBLE_EQ(view->Window().from, 0.25);
  EXPECT_DOUBLE_EQ(view->Window().to, 0.75);
  view->Zoom(0.5, 0.5);
  view->resize(1000, 640);
  QApplication::processEvents();
  SaveShot(*view, "track_view_zoomed.png");
  view->Zoom(16, 0.5);
  view->findChild<QComboBox*>("trackRevolution")->setCurrentIndex(0);
  QApplication::processEvents();
  SaveShot(*view, "track_view.png");

  // From the map's context menu, once the flux is gone: the sectors of the
  // raw track the decoder kept, without a histogram; a track with neither is said to have nothing.
  Disk().Capture.reset();
  window->OnMapContextMenu(0, 4);
  Action("z24")->trigger();
  EXPECT_EQ(view->Track(), 4);
  EXPECT_EQ(view->findChild<QLabel*>("trackMessage")->text(),
            QStringLiteral("Дорожка без потока: расположение секторов по RAW образу"));
  EXPECT_FALSE(view->findChild<QWidget*>("trackHistogram")->isVisible());
  EXPECT_TRUE(timing->isVisible());
  QApplication::processEvents();
  SaveShot(*view, "track_view_raw.png");
  view->ShowTrack(10);
  EXPECT_EQ(view->findChild<QLabel*>("trackMessage")->text(), QStringLiteral("Дорожка без потока и без RAW образа"));
  EXPECT_FALSE(timing->isVisible());
}

TEST_F(FluxViewTest, DiskPictureSitsBesideTheMapAndSavesAsPngAndSvg) {
  LoadFluxDisk();
  window->show();
  Action("DiskPicture1")->trigger();
  auto* dock = window->findChild<QDockWidget*>("DiskPictureDock");
  ASSERT_NE(dock, nullptr);
  EXPECT_TRUE(dock->isVisible());
  EXPECT_TRUE(Action("DiskPicture1")->isChecked());
  QApplication::processEvents();
  SaveShot(*window, "disk_picture.png");

  auto* view = dock->findChild<DiskPictureView*>();
  for (const char* name : {"disk.png", "disk.svg"}) {
    const QString file = QString::fromStdString((dir / name).string());
    prompts.QueueSave(file);
    view->SavePicture();
    const Bytes bytes = ReadFileBytes(dir / name);
    ASSERT_GT(bytes.size(), 100u) << name;
    const std::string head(bytes.begin(), bytes.begin() + 8);
    EXPECT_TRUE(head == "\x89PNG\r\n\x1a\n" || head == "<?xml ve") << name;
  }
  Action("DiskPicture1")->trigger();
  EXPECT_FALSE(dock->isVisible());
}

}  // namespace
}  // namespace velloran::test
