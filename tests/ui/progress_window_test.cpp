// Whole-disk operations through the progress window on the simulated drive.
#include <functional>

#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include "session/driver_choice.h"
#include "sim/simulated_drive.h"
#include "ui/disk_map_cells.h"
#include "ui/progress_window.h"
#include "ui/ui_fixture.h"

namespace velloran::test {
namespace {

class ProgressTest : public MainWindowTest {
 protected:
  void SetUp() override {
    auto drive = std::make_unique<SimulatedDrive>();
    drive_ = drive.get();
    MakeMarkedTrdosDisk(drive_->Medium());
    window->SetDriver(std::move(drive));
    window->StartUp(dir.Path(), {});
    window->Options().FirstTrack = 0;
    window->Options().LastTrack = 5;
  }
  ProgressWindow* Progress() const { return window->findChild<ProgressWindow*>(QStringLiteral("T_Prog")); }
  // Calls `action` with the progress window each time the engine shows a track.
  void OnTrack(std::function<void(ProgressWindow&, int)> action) {
    onTrack_ = std::move(action);
    QTimer::singleShot(0, window.get(), [this] {
      if (ProgressWindow* progress = Progress())
        QObject::connect(progress, &ProgressWindow::TrackShown, progress,
                         [this, progress](int track) { onTrack_(*progress, track); });
    });
  }

  SimulatedDrive* drive_ = nullptr;
  std::function<void(ProgressWindow&, int)> onTrack_;
};

TEST_F(ProgressTest, ScanAndReadFillsTheDiskTrackByTrack) {
  window->RefreshItems("N2");
  EXPECT_TRUE(Action("N17")->isEnabled());
  EXPECT_FALSE(Action("N9")->isEnabled()) << "reading by ID needs a disk in memory";
  int shown = 0;
  OnTrack([&](ProgressWindow& progress, int track) {
    EXPECT_EQ(progress.windowTitle(), "Сканирование с посекторным чтением");
    EXPECT_TRUE(progress.isVisible());
    EXPECT_EQ(progress.findChild<QLabel*>("Vr1")->text(), QString::number(track));
    EXPECT_EQ(progress.findChild<QLabel*>("VrLabel1")->text(), "Дорожка -");
    EXPECT_TRUE(progress.findChild<QPushButton*>("bb1")->isEnabled());
    ++shown;
  });
  OnScanAndRead(*window);
  EXPECT_EQ(shown, 7) << "track 0 at the start, then tracks 0..5";
  ASSERT_NE(Progress(), nullptr);
  EXPECT_FALSE(Progress()->isVisible());
  EXPECT_EQ(Progress()->Outcome(), OperationOutcome::Completed);
  EXPECT_EQ(Progress()->findChild<QProgressBar*>("VrPb")->value(), 5);
  EXPECT_EQ(Disk().CountTracks(), 6);
  for (int t = 0; t <= 5; ++t)
    for (int s = 0; s < 16; ++s) {
      const TSectorRec& read = Disk().GetSector(static_cast<std::uint8_t>(t), static_cast<std::uint8_t>(s));
      const TSectorRec& medium = drive_->Medium().GetSector(static_cast<std::uint8_t>(t), static_cast<std::uint8_t>(s));
      ASSERT_EQ(read.IdSector, medium.IdSector);
      ASSERT_EQ(read.DataLen, 256);
      ASSERT_TRUE(std::equal(read.Data.begin(), read.Data.begin() + 256, medium.Data.begin())) << t << "/" << s;
    }
  const QStringList log = window->LogLines();
  ASSERT_FALSE(log.isEmpty());
  EXPECT_EQ(log.front(), "Начало операции!");
  EXPECT_EQ(log.back(), "Операция выполнена!");
  EXPECT_TRUE(log.contains("Начало сканирования дорожки - 3"));
  EXPECT_EQ(Find<QTabWidget>("pc1")->currentIndex(), 0);
  EXPECT_EQ(Disk().GetTrack(2).Log.front(), "Начало сканирования дорожки.");
}

TEST_F(ProgressTest, CancelStopsAtTheNextCheckAndKeepsWhatWasRead) {
  OnTrack([](ProgressWindow& progress, int track) {
    if (track == 2) progress.findChild<QPushButton*>("bb1")->click();
  });
  OnScanAndRead(*window);
  EXPECT_EQ(Progress()->Outcome(), OperationOutcome::Cancelled);
  EXPECT_EQ(window->LogLines().back(), "Операция отменена пользователем!");
  EXPECT_TRUE(Disk().GetTrack(1).Present);
  EXPECT_EQ(Disk().GetSector(1, 15).Data[1], 15);
  EXPECT_FALSE(Disk().GetTrack(2).Present);
  EXPECT_FALSE(Disk().GetTrack(3).Present);
  EXPECT_FALSE(window->LogLines().contains("Операция выполнена!"));

  // The next operation starts with the button enabled and no cancel pending.
  OnTrack([](ProgressWindow& progress, int) { EXPECT_FALSE(progress.CancelRequested()); });
  prompts.QueueAnswer(PromptAnswer::Discard);  // what the first read brought
  OnScanAndRead(*window);
  EXPECT_EQ(Progress()->Outcome(), OperationOutcome::Completed);
}

// A read replaces the disk in memory: unsaved edits are asked about first
// (Cancel keeps them), and the disk read belongs to no file: the title and
// the status bar no longer name the image, the pane shows the read disk.
TEST_F(ProgressTest, ReadingAsksAboutUnsavedWorkAndTheReadDiskHasNoFile) {
  window->LoadAndShow(QString::fromStdString(CorpusFile("trd/vitamin-caig_zxtune__tiden.trd").string()));
  ASSERT_TRUE(window->windowTitle().startsWith("vitamin-caig_zxtune__tiden.trd"));
  Click(0, 0);
  const std::uint8_t edited = Disk().GetSector(3, 0).Data[5] ^= 0xFF;  // an edit not saved
  OnScanAndRead(*window);                                              // answered Cancel
  ASSERT_FALSE(prompts.Messages().empty());
  EXPECT_EQ(prompts.Messages().back().text, "Образ «vitamin-caig_zxtune__tiden.trd» изменён. Сохранить изменения?");
  EXPECT_EQ(prompts.Messages().back().buttons, PromptButtons::SaveDiscardCancel);
  EXPECT_EQ(Progress(), nullptr) << "nothing read";
  EXPECT_EQ(Disk().GetSector(3, 0).Data[5], edited);

  prompts.QueueAnswer(PromptAnswer::Discard);
  OnScanAndRead(*window);
  ASSERT_NE(Progress(), nullptr);
  EXPECT_EQ(Progress()->Outcome(), OperationOutcome::Completed);
  EXPECT_EQ(Disk().GetSector(3, 0).Data[0], 3) << "the drive's disk";
  EXPECT_FALSE(window->windowTitle().contains("tiden")) << window->windowTitle().toStdString();
  EXPECT_TRUE(window->windowTitle().contains('*')) << "what was read is not saved anywhere";
  EXPECT_FALSE(window->StatusText(1).contains("tiden"));
  EXPECT_EQ(Pane()->Size(), 0) << "nothing of the old disk";
  EXPECT_EQ(window->LogLines().back(), "Операция выполнена!") << "the operation's log stays";
  Click(0, 0);
  Bytes raw(kRawTrackLength, 0x4E);
  ASSERT_TRUE(Disk().BuildRawTrack(0, raw.data(), nullptr));
  EXPECT_EQ(Pane()->Data(), raw) << "a click shows the read disk";
}

TEST_F(ProgressTest, AnImageHandedOverDuringAnOperationLoadsAfterIt) {
  const QString image = QString::fromStdString(CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd").string());
  int tracksAfterHandOff = -1;
  OnTrack([&](ProgressWindow&, int track) {
    if (track == 2) {
      window->OnOpenRequest(QByteArray("v") + image.toUtf8());
      prompts.QueueAnswer(PromptAnswer::Discard);  // what was read is dropped for the image
    }
    if (track == 4) tracksAfterHandOff = Disk().CountTracks();
  });
  OnScanAndRead(*window);
  EXPECT_EQ(tracksAfterHandOff, 4) << "the operation went on with its own disk";
  EXPECT_EQ(Progress()->Outcome(), OperationOutcome::Completed);
  EXPECT_EQ(Disk().CountTracks(), 160) << "then the image was loaded";
  EXPECT_EQ(window->CurImageName(), "alfishe_unreal-ng__EyeAche.trd");
  ASSERT_FALSE(prompts.Messages().empty());
  EXPECT_EQ(prompts.Messages().back().buttons, PromptButtons::SaveDiscardCancel) << "the disk read was not saved";
}

TEST_F(ProgressTest, BadSectorsAreLoggedAndCounted) {
  drive_->Faults().alwaysFail.insert({1, 3});
  window->Options().RetryCount = 2;
  OnScanAndRead(*window);
  const QStringList log = window->LogLines();
  EXPECT_TRUE(log.contains("Ошибка чтения сектора - 23 (дорожка 1, сектор 3)")) << log.join("\n").toStdString();
  EXPECT_EQ(log.back(), "Сбойных секторов - 1");
  EXPECT_EQ(CellTile(Disk(), 3, 1), Tile::SectorBad) << "a header whose data never came after all attempts";
  EXPECT_EQ(CellTile(Disk(), 2, 1), Tile::SectorGood);
}

// The rotation-aware reading reads what failed again after its pass; the
// map shows a sector that came right on a re-read in its own colour.
TEST_F(ProgressTest, FastReadRereadsWhatFailedAndTheMapShowsIt) {
  window->RefreshItems("N2");
  EXPECT_TRUE(Action("FastRead1")->isEnabled());
  drive_->Faults().failFirstReads[{2, 7}] = 2;
  drive_->Faults().alwaysFail.insert({4, 1});
  window->Options().RetryCount = 3;
  QString title;
  OnTrack([&](ProgressWindow& progress, int) { title = progress.windowTitle(); });
  Action("FastRead1")->trigger();
  EXPECT_EQ(title, "Быстрое чтение диска");
  EXPECT_EQ(Progress()->Outcome(), OperationOutcome::Completed);
  const QStringList log = window->LogLines();
  EXPECT_TRUE(log.contains("Сектор прочитан при повторном чтении - попытка 2 (дорожка 2, сектор 7)"))
      << log.join("\n").toStdString();
  EXPECT_EQ(log.back(), "Сбойных секторов - 1");
  EXPECT_EQ(CellTile(Disk(), 7, 2), Tile::SectorRecovered);
  EXPECT_EQ(CellTile(Disk(), 1, 4), Tile::SectorBad) << "failed on every attempt";
  EXPECT_EQ(CellTile(Disk(), 8, 2), Tile::SectorGood);
  EXPECT_EQ(Disk().GetSector(2, 6).Data[1], 6);
}

TEST_F(ProgressTest, WritingPutsTheDiskOntoTheMedium) {
  MakeMarkedTrdosDisk(Disk());
  Disk().GetSector(4, 7).Data[100] = 0xEE;
  drive_->Medium().ClearDisk();
  window->RefreshItems("N2");
  EXPECT_TRUE(Action("N33")->isEnabled());
  window->Options().LastTrack = 159;
  OnFormatAndWrite(*window);
  EXPECT_EQ(Progress()->windowTitle(), "Формат и запись диска");
  EXPECT_EQ(Progress()->Outcome(), OperationOutcome::Completed);
  EXPECT_EQ(window->LogLines().back(), "Операция выполнена!");
  EXPECT_EQ(drive_->Medium().GetSector(4, 7).Data[100], 0xEE);
  EXPECT_EQ(drive_->Medium().GetSector(159, 15).Data[0], 159);
}

TEST_F(ProgressTest, CommandChecksComeBeforeTheWindow) {
  window->Options().FirstTrack = 9;
  window->Options().LastTrack = 3;
  OnScanTracks(*window);
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(prompts.Messages()[0].text, "Начальная дорожка больше конечной...");
  EXPECT_EQ(Progress(), nullptr) << "the window never opened";

  window->Options().FirstTrack = 0;
  window->Options().LastTrack = 159;
  MakeMarkedTrdosDisk(Disk());
  for (int t = 10; t < 160; ++t) Disk().GetTrack(static_cast<std::uint8_t>(t)).Present = false;
  prompts.QueueAnswer(PromptAnswer::Ok);       // the range is cut
  prompts.QueueAnswer(PromptAnswer::Discard);  // then the disk made here, not saved, is read over
  OnReadSectors(*window);
  ASSERT_EQ(prompts.Messages().size(), 3u);
  EXPECT_EQ(prompts.Messages()[1].text,
            "Конечная дорожка превышает число дорожек в образе!\nБудет обработано число существующих дорожек!");
  ASSERT_NE(Progress(), nullptr);
  EXPECT_EQ(Progress()->Operation().OpLastTrack, 9);
}

TEST_F(ProgressTest, ControllerCommands) {
  OnResetController(*window);
  EXPECT_TRUE(prompts.Messages().empty()) << "a reset is silent when it works";
  EXPECT_EQ(drive_->Cylinder(), 0);

  // Track 0 reads, but its information sector does not name TR-DOS.
  drive_->Medium().GetSector(0, 8).Data[0xE7] = 0;
  OnReadDriveCatalog(*window);
  EXPECT_EQ(Text("l1"), "0");
  EXPECT_EQ(Text("l2"), "0");
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(prompts.Messages()[0].text, "Диск не соответствует формату TR-DOS!");

  drive_->Faults().noDisk = true;
  OnReadDriveCatalog(*window);
  ASSERT_EQ(prompts.Messages().size(), 2u);
  EXPECT_EQ(prompts.Messages()[1].caption, "Ошибка!");
}

TEST_F(ProgressTest, DiskMenuFollowsTheDrive) {
  window->RefreshItems("N2");
  for (const char* name : {"N8", "N17", "N10"}) EXPECT_TRUE(Action(name)->isEnabled()) << name;
  for (const char* name : {"N9", "N14", "N15", "N33"}) EXPECT_FALSE(Action(name)->isEnabled()) << name;
  window->Driver()->AsController()->CloseDrive();
  MakeMarkedTrdosDisk(Disk());
  window->RefreshItems("N2");
  for (const char* name : {"N8", "N9", "N17", "N14", "N15", "N33", "N10"})
    EXPECT_FALSE(Action(name)->isEnabled()) << name;
}

// The Disk menu through a simulated Greaseweazle: the status bar names it,
// reading fills the map track by track in the progress window, writing puts
// the disk in memory onto the device's disk.
TEST_F(MainWindowTest, GreaseweazleReadsAndWritesThroughTheDiskMenu) {
  DriveChoice choice;
  std::string error;
  ASSERT_TRUE(ParseDriveChoice("gw-sim:?weak=1:4", choice, error)) << error;
  auto drive = CreateSimulatedGreaseweazle(choice, error);
  ASSERT_NE(drive, nullptr) << error;
  SimulatedGreaseweazleDrive* gw = drive.get();
  MakeMarkedTrdosDisk(gw->Sim().Medium());
  window->SetDriver(std::move(drive));
  window->StartUp(dir.Path(), {});
  EXPECT_EQ(window->StatusText(0), "Greaseweazle model 7.1 - прошивка 1.5");
  window->Options().FirstTrack = 0;
  window->Options().LastTrack = 3;
  window->RefreshItems("N2");
  ASSERT_TRUE(Action("N17")->isEnabled()) << Action("N17")->toolTip().toStdString();

  int shown = 0;
  QTimer::singleShot(0, window.get(), [&] {
    if (auto* progress = window->findChild<ProgressWindow*>(QStringLiteral("T_Prog")))
      QObject::connect(progress, &ProgressWindow::TrackShown, progress, [&](int) { ++shown; });
  });
  OnScanAndRead(*window);
  auto* progress = window->findChild<ProgressWindow*>(QStringLiteral("T_Prog"));
  ASSERT_NE(progress, nullptr);
  EXPECT_EQ(progress->Outcome(), OperationOutcome::Completed);
  EXPECT_GE(shown, 5);
  for (int t = 0; t <= 3; ++t)
    for (int s = 0; s < 16; ++s) {
      const TSectorRec& read = Disk().GetSector(static_cast<std::uint8_t>(t), static_cast<std::uint8_t>(s));
      const TSectorRec& medium =
          gw->Sim().Medium().GetSector(static_cast<std::uint8_t>(t), static_cast<std::uint8_t>(s));
      ASSERT_EQ(read.IdSector, medium.IdSector);
      ASSERT_TRUE(read.DataOk) << t << "/" << s;
      ASSERT_TRUE(std::equal(read.Data.begin(), read.Data.begin() + 256, medium.Data.begin())) << t << "/" << s;
    }
  EXPECT_TRUE(window->LogLines().contains("Сектор прочитан при повторном чтении - попытка 2 (дорожка 1, сектор 4)"));
  EXPECT_FALSE(gw->Sim().MotorOn());

  // Written onto a blank disk, the device's disk then holds the same sectors.
  gw->Sim().Medium() = TZX_Disk{};
  window->RefreshItems("N2");
  OnFormatAndWrite(*window);
  EXPECT_EQ(progress->Outcome(), OperationOutcome::Completed);
  for (int t = 0; t <= 3; ++t)
    for (int s = 0; s < 16; ++s) {
      const TSectorRec& written =
          gw->Sim().Medium().GetSector(static_cast<std::uint8_t>(t), static_cast<std::uint8_t>(s));
      ASSERT_EQ(written.IdSector,
                Disk().GetSector(static_cast<std::uint8_t>(t), static_cast<std::uint8_t>(s)).IdSector);
      ASSERT_TRUE(
          std::equal(written.Data.begin(), written.Data.begin() + 256,
                     Disk().GetSector(static_cast<std::uint8_t>(t), static_cast<std::uint8_t>(s)).Data.begin()));
    }
}

}  // namespace
}  // namespace velloran::test
