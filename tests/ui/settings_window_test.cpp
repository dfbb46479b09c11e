// The settings window, the settings file and the start-up with a driver.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QSpinBox>

#include "formats/trd.h"
#include "sim/simulated_drive.h"
#include "ui/qt_settings_store.h"
#include "ui/settings_window.h"
#include "ui/ui_fixture.h"

namespace velloran::test {
namespace {

std::unique_ptr<SimulatedDrive> Drive(const std::string& drives = "AB") {
  auto drive = std::make_unique<SimulatedDrive>();
  drive->Faults().drives = drives;
  return drive;
}

// Sets every field of the window to a value other than its default and accepts.
void ChangeEverything(QDialog& dialog) {
  auto* accept = dialog.findChild<QPushButton*>("bb1");
  EXPECT_EQ(dialog.windowTitle(), "Настройки");
  EXPECT_TRUE(accept->isVisibleTo(&dialog));
  EXPECT_FALSE(accept->isEnabled()) << "disabled until something changes";
  const std::pair<const char*, int> numbers[] = {{"e1", 7},  {"e2", 3},  {"e3", 2}, {"e4", 150},
                                                 {"e5", 12}, {"e6", 20}, {"e7", 25}};
  for (const auto& [name, value] : numbers) dialog.findChild<QSpinBox*>(name)->setValue(value);
  EXPECT_TRUE(accept->isEnabled());
  dialog.findChild<QCheckBox*>("cb1")->setChecked(false);
  dialog.findChild<QCheckBox*>("cb2")->setChecked(true);
  dialog.findChild<QCheckBox*>("cb3")->setChecked(true);
  dialog.findChild<QCheckBox*>("cb4")->setChecked(true);
  dialog.findChild<QComboBox*>("cbdr")->setCurrentIndex(1);  // B:
  dialog.findChild<QComboBox*>("cbsr")->setCurrentIndex(1);  // 300K
  accept->click();
}

TEST(SettingsWindow, EveryValueSetInTheWindowSurvivesARestart) {
  ScratchDir dir;
  const QString ini = QString::fromStdString((dir / "Velloran.ini").string());
  {
    QtSettingsStore store(ini);
    ScriptedPrompts prompts;
    TFMain window(prompts, store);
    window.SetDriver(Drive());
    window.StartUp(dir.Path(), {});
    prompts.QueueWindow(ChangeEverything);
    OnOpenSettings(window);
    EXPECT_TRUE(prompts.Messages().empty());
    EXPECT_TRUE(window.DiskMenuEnabled());
  }
  QFile file(ini);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(file.readAll());
  EXPECT_TRUE(text.startsWith("[Option]")) << text.toStdString();
  EXPECT_TRUE(text.contains("RetryCount=7\n"));
  EXPECT_TRUE(text.contains("Rate=1\n"));
  EXPECT_TRUE(text.contains("Drive=B\n"));

  QtSettingsStore store(ini);
  ScriptedPrompts prompts;
  TFMain window(prompts, store);
  window.SetDriver(Drive());
  window.StartUp(dir.Path(), {});
  const Settings& s = window.Options();
  EXPECT_EQ(s.RetryCount, 7);
  EXPECT_EQ(s.RetryCountWithReset, 3);
  EXPECT_EQ(s.FirstTrack, 2);
  EXPECT_EQ(s.LastTrack, 150);
  EXPECT_EQ(s.CycleRead, 12);
  EXPECT_EQ(s.TimeOut, 20);
  EXPECT_EQ(s.GAP, 25);
  EXPECT_FALSE(s.RestoreTrack);
  EXPECT_TRUE(s.TD0arch);
  EXPECT_TRUE(s.OverlapTrackAndData);
  EXPECT_TRUE(s.SetSectorSizeFromHead);
  EXPECT_EQ(s.Drive, "B");
  EXPECT_EQ(s.Rate, 1);
  // The window shows them again.
  prompts.QueueWindow([](QDialog& dialog) {
    EXPECT_EQ(dialog.findChild<QSpinBox*>("e4")->value(), 150);
    EXPECT_EQ(dialog.findChild<QComboBox*>("cbsr")->currentText(), "300K");
    EXPECT_EQ(dialog.findChild<QComboBox*>("cbdr")->currentText(), "B:");
    EXPECT_FALSE(dialog.findChild<QCheckBox*>("cb1")->isChecked());
    dialog.findChild<QSpinBox*>("e1")->setValue(1);
    dialog.findChild<QPushButton*>("BitBtn2")->click();
  });
  OnOpenSettings(window);
  EXPECT_EQ(window.Options().RetryCount, 7) << "cancel changes nothing";
}

TEST(SettingsWindow, FoldersAreRememberedInTheFile) {
  ScratchDir dir;
  std::filesystem::create_directories(dir / "images");
  const QString ini = QString::fromStdString((dir / "Velloran.ini").string());
  const auto image = dir / "images" / "a.trd";
  {
    QtSettingsStore store(ini);
    ScriptedPrompts prompts;
    TFMain window(prompts, store);
    window.StartUp(dir.Path(), {});
    EXPECT_EQ(window.Options().Directory_1, dir.Path().string() + "/") << "the program's folder at first";
    MakeMarkedTrdosDisk(window.Disk());
    prompts.QueueSave(QString::fromStdString(image.string()), 2);
    OnSaveImage(window);
    prompts.QueueOpen({QString::fromStdString(image.string())});
    OnLoadImage(window);
  }
  QtSettingsStore store(ini);
  EXPECT_EQ(store.Read("Directory_1"), (dir / "images").string() + "/");
  EXPECT_EQ(store.Read("Directory_2"), (dir / "images").string() + "/");
}

TEST(SettingsWindow, DriveChoiceReopensTheDrive) {
  ScratchDir dir;
  MemorySettingsStore store;
  store.Write("Drive", "B");
  ScriptedPrompts prompts;
  TFMain window(prompts, store);
  window.SetDriver(Drive("A"));
  window.StartUp(dir.Path(), {});
  EXPECT_TRUE(prompts.Messages().empty()) << "nothing asked for the drive yet";
  EXPECT_FALSE(window.DiskMenuEnabled());
  window.findChild<QAction*>("DriveProblem1")->trigger();
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_TRUE(prompts.Messages()[0].text.startsWith("Дисковод B не найден!"));
  EXPECT_EQ(prompts.Messages()[0].caption, "Ошибка!");

  prompts.QueueWindow([](QDialog& dialog) {
    dialog.findChild<QComboBox*>("cbdr")->setCurrentIndex(0);
    dialog.findChild<QPushButton*>("bb1")->click();
  });
  const std::size_t before = prompts.Messages().size();
  OnOpenSettings(window);
  EXPECT_EQ(prompts.Messages().size(), before);
  EXPECT_TRUE(window.DiskMenuEnabled());
  EXPECT_EQ(store.Read("Drive"), "A");
}

TEST(StartUp, DriverStateInTheStatusBarAndMessages) {
  ScratchDir dir;
  MemorySettingsStore store;
  {
    ScriptedPrompts prompts;
    TFMain window(prompts, store);
    window.SetDriver(Drive());
    window.StartUp(dir.Path(), {});
    EXPECT_TRUE(prompts.Messages().empty());
    EXPECT_EQ(window.StatusText(0), "Версия драйвера - 01000A02 / Тип FDC - 82077AA");
    EXPECT_TRUE(window.DiskMenuEnabled());
    EXPECT_EQ(store.Read("RetryCount"), "10") << "every key is written back";
    EXPECT_EQ(store.Read("Rate"), "2");
  }
  ScriptedPrompts prompts;
  TFMain window(prompts, store);
  auto drive = Drive();
  drive->Faults().driverMissing = true;
  window.SetDriver(std::move(drive));
  // No controller: no message at start (a command-line file that fails
  // still says so); the status bar tells, the drive items say why.
  window.StartUp(dir.Path(), QString::fromStdString((dir / "none.trd").string()));
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_TRUE(prompts.Messages()[0].text.contains("none.trd"));
  EXPECT_EQ(window.StatusText(0), "Ошибка загрузки драйвера");
  EXPECT_FALSE(window.DiskMenuEnabled());
  window.RefreshItems("N2");
  for (const char* name : {"N8", "N9", "N17", "N14", "N15", "N33", "N10", "N22"}) {
    auto* item = window.findChild<QAction*>(name);
    EXPECT_FALSE(item->isEnabled()) << name;
    EXPECT_EQ(item->toolTip(), "Ошибка загрузки драйвера!") << name;
  }
  EXPECT_TRUE(window.findChild<QAction*>("DriveProblem1")->isVisible());
  EXPECT_TRUE(window.findChild<QAction*>("DriveProblem2")->isVisible());
  // Asking for a drive command shows the reason then.
  OnScanAndRead(window);
  ASSERT_EQ(prompts.Messages().size(), 2u);
  EXPECT_EQ(prompts.Messages()[1].text, "Ошибка загрузки драйвера!");
  EXPECT_EQ(prompts.Messages()[1].icon, PromptIcon::Error);
}

TEST(StartUp, DriveItemsFollowTheDriveAndTheDisk) {
  ScratchDir dir;
  MemorySettingsStore store;
  ScriptedPrompts prompts;
  TFMain window(prompts, store);
  window.SetDriver(Drive());
  window.StartUp(dir.Path(), {});
  auto enabled = [&](const char* name) { return window.findChild<QAction*>(name)->isEnabled(); };
  window.RefreshItems("N2");
  EXPECT_FALSE(window.findChild<QAction*>("DriveProblem1")->isVisible());
  for (const char* name : {"N8", "N17", "N10", "N22"}) EXPECT_TRUE(enabled(name)) << name;
  for (const char* name : {"N9", "N14", "N15", "N33"}) {
    EXPECT_FALSE(enabled(name)) << name << ": nothing in memory to read by, format or write";
    EXPECT_EQ(window.findChild<QAction*>(name)->toolTip(), "Нет образа в памяти");
  }
  for (const char* name : {"FullRead1", "RawRead1", "RereadBad1"}) EXPECT_FALSE(enabled(name)) << name;
  MakeMarkedTrdosDisk(window.Disk());
  window.RefreshItems("N2");
  for (const char* name : {"N9", "N14", "N15", "N33"}) EXPECT_TRUE(enabled(name)) << name;
}

TEST(StartUp, CommandLineImageIsLoaded) {
  ScratchDir dir;
  MemorySettingsStore store;
  ScriptedPrompts prompts;
  TFMain window(prompts, store);
  window.SetDriver(Drive());
  const auto image = CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd");
  window.StartUp(dir.Path(), QString::fromStdString(image.string()));
  EXPECT_TRUE(prompts.Messages().empty());
  EXPECT_EQ(window.Disk().CountTracks(), 160);
  EXPECT_EQ(window.CurImageName(), "alfishe_unreal-ng__EyeAche.trd");
  EXPECT_EQ(store.Read("Directory_1"), image.parent_path().string() + "/") << "the folder follows the file";
  EXPECT_EQ(window.RecentFiles(), std::vector<std::string>{image.string()});
}

TEST(SettingsWindow, GreaseweazlesFoundAreOfferedAsDrivesAndTheSettingSwitchesTheDrive) {
  ScratchDir dir;
  const QString ini = QString::fromStdString((dir / "Velloran.ini").string());
  QtSettingsStore store(ini);
  ScriptedPrompts prompts;
  TFMain window(prompts, store);
  window.SetDriver(Drive(), false);  // no drive named on the command line
  window.StartUp(dir.Path(), {});

  SettingsWindow settings(&window);
  settings.OfferGreaseweazles({"/no/such/greaseweazle"});
  settings.Load(window.Options());
  auto* list = settings.findChild<QComboBox*>("cbdr");
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->itemText(2), "Greaseweazle: /no/such/greaseweazle");
  list->setCurrentIndex(2);
  if (const char* folder = std::getenv("VELLORAN_SCREENSHOTS")) {
    settings.adjustSize();
    settings.grab().save(QString::fromUtf8(folder) + "/settings-greaseweazle.png");
  }
  Settings chosen = window.Options();
  settings.Store(chosen);
  EXPECT_EQ(chosen.Drive, "gw:/no/such/greaseweazle");
  settings.Load(chosen);
  EXPECT_EQ(list->currentIndex(), 2);

  // Accepted in the window, the setting makes the Greaseweazle the drive;
  // this one is not there, which the message and the Disk menu say.
  prompts.QueueWindow([](QDialog& dialog) {
    dialog.findChild<QComboBox*>("cbdr")->addItem("Greaseweazle: /no/such/greaseweazle", "gw:/no/such/greaseweazle");
    dialog.findChild<QComboBox*>("cbdr")->setCurrentIndex(2);
    dialog.findChild<QPushButton*>("bb1")->click();
  });
  OnOpenSettings(window);
  EXPECT_EQ(window.Options().Drive, "gw:/no/such/greaseweazle");
  ASSERT_NE(window.Driver()->AsFlux(), nullptr);
  ASSERT_FALSE(prompts.Messages().empty());
  EXPECT_TRUE(prompts.Messages().back().text.startsWith("Не удалось открыть /no/such/greaseweazle"))
      << prompts.Messages().back().text.toStdString();
  EXPECT_FALSE(window.DiskMenuEnabled());
}

}  // namespace
// Where the settings live: beside a program in a writable folder of its
// own, never beside the installed program (a root start would leave a file
// in /usr/bin), unless a Velloran.ini is already there to be used.
TEST(SettingsWindow, SettingsFileBesideTheProgramOnlyOutsideItsInstalledFolder) {
  ScratchDir dir;
  ScratchDir home;
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home.Path().string()));
  const QString folder = QString::fromStdString(dir.Path().string());
  const QString beside = QDir(folder).filePath("Velloran.ini");
  const QString user = QDir(QString::fromStdString(home.Path().string())).filePath("Velloran/Velloran.ini");
  EXPECT_EQ(QtSettingsStore::DefaultFile(folder, "/usr/bin"), beside);
  EXPECT_EQ(QtSettingsStore::DefaultFile(folder, folder), user);
  EXPECT_FALSE(QFileInfo::exists(beside));
  QFile existing(beside);
  ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
  existing.close();
  EXPECT_EQ(QtSettingsStore::DefaultFile(folder, folder), beside) << "a portable setup chosen by hand";
  qunsetenv("XDG_CONFIG_HOME");
}

}  // namespace velloran::test
