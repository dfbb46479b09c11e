// The reset command and the catalog read straight from the drive.
#include "engine/controller_commands.h"

#include <gtest/gtest.h>

#include "drive/drive_test_support.h"
#include "formats/trd.h"
#include "sim/simulated_drive.h"
#include "support/test_support.h"

namespace velloran {
namespace {

// What a command said, in the process's language; empty when it said nothing.
std::string Said(const std::optional<Phrase>& message) { return message ? PhraseText(*message) : std::string(); }

using Lines = std::vector<std::string>;

TEST(ControllerCommandsTest, ResetLeavesTheHeadsOnCylinderZero) {
  SimulatedDrive sim;
  sim.OpenDrive('A');
  sim.Seek(40, 0);
  test::RecordingDriver driver(sim);
  EXPECT_FALSE(ResetController(driver).has_value());
  EXPECT_EQ(driver.requests, (Lines{"reset", "seek 80 0", "seek 0 0"}));
  EXPECT_EQ(sim.Cylinder(), 0);
}

TEST(ControllerCommandsTest, ResetFailuresAreReported) {
  SimulatedDrive closed;  // no drive open: every request fails
  EXPECT_EQ(Said(ResetController(closed)), "Ошибка сброса контроллера - (6)!");
  SimulatedDriveOptions options;
  options.cylinders = 80;  // cannot reach cylinder 80
  SimulatedDrive short_(options);
  short_.OpenDrive('A');
  EXPECT_EQ(Said(ResetController(short_)), "Ошибка позиционирования - (25)!");
}

TEST(ControllerCommandsTest, CatalogOfATrdosDiskComesFromSixteenSectors) {
  SimulatedDrive sim;
  sim.OpenDrive('A');
  ASSERT_TRUE(LoadTRD(sim.Medium(), test::CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd")));
  test::RecordingDriver driver(sim);
  TrdosCatalog catalog;
  const DriveCatalogResult result = ReadDriveCatalog(driver, catalog);
  EXPECT_FALSE(result.message.has_value());
  EXPECT_TRUE(result.showCatalog);
  EXPECT_EQ(driver.requests.back(), "read 0 0 1 1 x16");
  EXPECT_EQ(driver.Count("read"), 1);
  EXPECT_EQ(catalog.Valid, 1);
  EXPECT_EQ(catalog.TrdosId, 0x10);

  // The same parse of the same bytes from the disk in memory.
  TrdosCatalog fromMemory;
  ASSERT_TRUE(ReadCatalog(sim.Medium(), fromMemory));
  EXPECT_EQ(catalog.EntryCount, fromMemory.EntryCount);
  EXPECT_EQ(catalog.FreeSectors, fromMemory.FreeSectors);
  EXPECT_EQ(catalog.Entries[catalog.EntryCount - 1].Name, fromMemory.Entries[catalog.EntryCount - 1].Name);
}

TEST(ControllerCommandsTest, CatalogReadGivesUpAfterFiveAttempts) {
  SimulatedDrive sim;
  sim.OpenDrive('A');
  test::FillTrack(sim.Medium(), 0, 16);
  sim.Faults().alwaysFail.insert({0, 4});
  test::RecordingDriver driver(sim);
  TrdosCatalog catalog;
  const DriveCatalogResult result = ReadDriveCatalog(driver, catalog);
  EXPECT_EQ(Said(result.message), "Ошибка - 23 при чтении 0 дорожки!");
  EXPECT_FALSE(result.showCatalog);
  EXPECT_EQ(driver.Count("read"), 5);
}

TEST(ControllerCommandsTest, ReadableTrackThatIsNotTrdos) {
  SimulatedDrive sim;
  sim.OpenDrive('A');
  test::FillTrack(sim.Medium(), 0, 16);
  TrdosCatalog catalog;
  const DriveCatalogResult result = ReadDriveCatalog(sim, catalog);
  EXPECT_EQ(Said(result.message), "Диск не соответствует формату TR-DOS!");
  EXPECT_FALSE(result.showCatalog);
  EXPECT_EQ(catalog.Valid, 0);
}

}  // namespace
}  // namespace velloran
