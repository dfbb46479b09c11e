// Opening the driver at start-up and after the settings window, and the
// checks of the commands that start a disk operation.
#include <gtest/gtest.h>

#include "drive/drive_test_support.h"
#include "engine/operation_start.h"
#include "session/driver_startup.h"
#include "sim/simulated_drive.h"
#include "support/test_support.h"

namespace velloran {
namespace {

using Lines = std::vector<std::string>;

SimulatedDriveOptions Options(std::uint32_t version = 0x01000A02, std::string drives = "AB") {
  SimulatedDriveOptions options;
  options.version = version;
  options.faults.drives = std::move(drives);
  options.controllerType = 5;
  return options;
}

TEST(DriverStartupTest, WorkingDriverShowsVersionAndControllerType) {
  SimulatedDrive drive(Options());
  Settings settings;
  settings.Rate = 3;
  const DriverStatus status = OpenDriverAtStartup(drive, settings);
  EXPECT_EQ(PhraseText(status.statusText), "Версия драйвера - 01000A02 / Тип FDC - 82077AA");
  EXPECT_TRUE(status.messages.empty());
  EXPECT_TRUE(status.diskMenuEnabled);
  EXPECT_TRUE(drive.DriveOpen());
  EXPECT_EQ(drive.DataRate(), 3);
}

TEST(DriverStartupTest, MissingDriverStopsAtOnce) {
  SimulatedDriveOptions options = Options();
  options.faults.driverMissing = true;
  SimulatedDrive drive(options);
  const DriverStatus status = OpenDriverAtStartup(drive, Settings{});
  EXPECT_EQ(PhraseText(status.statusText), "Ошибка загрузки драйвера");
  EXPECT_EQ(test::Russian(status.messages), Lines{"Ошибка загрузки драйвера!"});
  EXPECT_FALSE(status.diskMenuEnabled);
  EXPECT_FALSE(drive.DriveOpen());
}

TEST(DriverStartupTest, VersionTwoIsRefused) {
  SimulatedDrive drive(Options(0x02000000));
  const DriverStatus status = OpenDriverAtStartup(drive, Settings{});
  EXPECT_EQ(test::Russian(status.messages), Lines{"Версия драйвера не поддерживается!"});
  EXPECT_EQ(PhraseText(status.statusText), "Версия драйвера - не поддерживается");
  EXPECT_FALSE(status.diskMenuEnabled);
  EXPECT_TRUE(VersionSupported(0x0100FFFF));
  EXPECT_FALSE(VersionSupported(0x01010000));
}

TEST(DriverStartupTest, MissingDriveBThenDriveAFromTheDialog) {
  SimulatedDrive drive(Options(0x01000A02, "A"));
  Settings settings;
  settings.Drive = "B";
  const DriverStatus status = OpenDriverAtStartup(drive, settings);
  EXPECT_EQ(test::Russian(status.messages),
            (Lines{"Дисковод B не найден!", "Ошибка получения информации о контроллере FDC!"}));
  EXPECT_EQ(PhraseText(status.statusText), "Версия драйвера - 01000A02 / ошибка чтения информации FDC");
  EXPECT_FALSE(status.diskMenuEnabled);

  settings.Drive = "A";
  const DriverStatus again = ReopenDriveAfterSettings(drive, settings);
  EXPECT_TRUE(again.messages.empty());
  EXPECT_TRUE(again.diskMenuEnabled);
  EXPECT_TRUE(drive.DriveOpen());
}

TEST(DriverStartupTest, RefusedDataRateDisablesTheMenu) {
  SimulatedDrive drive(Options());
  Settings settings;
  settings.Rate = 9;
  const DriverStatus status = OpenDriverAtStartup(drive, settings);
  EXPECT_EQ(test::Russian(status.messages), Lines{"Ошибка установки скорости передачи!"});
  EXPECT_FALSE(status.diskMenuEnabled);
  EXPECT_EQ(PhraseText(status.statusText), "Версия драйвера - 01000A02 / Тип FDC - 82077AA");
}

TEST(DriverStartupTest, ControllerTypeNames) {
  EXPECT_EQ(FdcTypeName(0), "UNKNOWN");
  EXPECT_EQ(FdcTypeName(1), "UNKNOWN2");
  EXPECT_EQ(FdcTypeName(6), "82078_44");
  EXPECT_EQ(FdcTypeName(8), "NATIONAL");
  EXPECT_EQ(FdcTypeName(9), "UNKNOWN3");
}

TEST(CommandStartTest, ReadCommandsTakeTheConfiguredRange) {
  TZX_Disk disk;
  Settings settings;
  settings.FirstTrack = 2;
  settings.LastTrack = 9;
  settings.RetryCount = 4;
  const CommandStart start = PrepareDiskCommand(DiskCommand::ScanAndRead, settings, disk);
  EXPECT_TRUE(start.run);
  EXPECT_EQ(PhraseText(start.caption), "Сканирование с посекторным чтением");
  EXPECT_EQ(start.operation.Steps, kScanAndRead);
  EXPECT_EQ(start.operation.OpFirstTrack, 2);
  EXPECT_EQ(start.operation.OpLastTrack, 9);
  EXPECT_EQ(start.operation.RetryCount, 4);
  EXPECT_EQ(start.progressMaximum, 9);
  EXPECT_EQ(PhraseText(PrepareDiskCommand(DiskCommand::ScanTracks, settings, disk).caption),
            "Сканирование дорожек диска");
  const CommandStart fast = PrepareDiskCommand(DiskCommand::FastRead, settings, disk);
  EXPECT_EQ(PhraseText(fast.caption), "Быстрое чтение диска");
  EXPECT_EQ(fast.operation.Steps, kFastRead);
  EXPECT_EQ(fast.operation.OpLastTrack, 9);

  // Reading by ID needs tracks in memory: with none, nothing happens at all.
  const CommandStart none = PrepareDiskCommand(DiskCommand::ReadSectors, settings, disk);
  EXPECT_FALSE(none.run);
  EXPECT_TRUE(none.messages.empty());
}

TEST(CommandStartTest, ReversedRangeIsRefused) {
  TZX_Disk disk;
  Settings settings;
  settings.FirstTrack = 10;
  settings.LastTrack = 9;
  const CommandStart start = PrepareDiskCommand(DiskCommand::ScanTracks, settings, disk);
  EXPECT_FALSE(start.run);
  EXPECT_EQ(test::Russian(start.messages), Lines{"Начальная дорожка больше конечной..."});
}

TEST(CommandStartTest, RangeBeyondTheDiskIsShortened) {
  TZX_Disk disk;
  for (int t = 0; t < 10; ++t) test::FillTrack(disk, t, 1);
  disk.GetTrack(5).Present = false;  // a gap does not lose the last tracks
  Settings settings;                 // 0..159
  const Lines expected = {
      "Конечная дорожка превышает число дорожек в образе!\nБудет обработано число существующих дорожек!"};
  const CommandStart read = PrepareDiskCommand(DiskCommand::ReadSectors, settings, disk);
  EXPECT_EQ(test::Russian(read.messages), expected);
  EXPECT_TRUE(read.run);
  EXPECT_EQ(read.operation.OpLastTrack, 9);
  const CommandStart write = PrepareDiskCommand(DiskCommand::FormatAndWrite, settings, disk);
  EXPECT_EQ(PhraseText(write.caption), "Формат и запись диска");
  EXPECT_EQ(write.operation.Steps, kFormatAndWrite);
  EXPECT_EQ(write.operation.OpLastTrack, 9);
  EXPECT_EQ(write.progressMaximum, 10);

  TZX_Disk empty;
  const CommandStart nothing = PrepareDiskCommand(DiskCommand::Write, settings, empty);
  EXPECT_EQ(test::Russian(nothing.messages), expected);
  EXPECT_FALSE(nothing.run);
}

}  // namespace
}  // namespace velloran
