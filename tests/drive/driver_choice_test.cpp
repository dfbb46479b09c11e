// Naming the drive: real drives and the simulated drive with its options.
#include "session/driver_choice.h"

#include <gtest/gtest.h>

#include <utility>

#include "common/language.h"
#include "support/test_support.h"

namespace velloran {
namespace {

TEST(DriveChoiceTest, LettersNameRealDrives) {
  DriveChoice choice;
  std::string error;
  ASSERT_TRUE(ParseDriveChoice("b:", choice, error));
  EXPECT_EQ(choice.kind, DriveKind::Controller);
  EXPECT_EQ(choice.drive, 'B');
  ASSERT_TRUE(ParseDriveChoice("A", choice, error));
  EXPECT_EQ(choice.drive, 'A');
  // The refusal names every way to choose a drive, in the process's language.
  for (const auto& [language, expected] :
       {std::pair{Language::English, "expected A, B, sim:IMAGE, gw[:DEVICE] or gw-sim:IMAGE"},
        std::pair{Language::Russian, "ожидается A, B, sim:IMAGE, gw[:DEVICE] или gw-sim:IMAGE"}}) {
    SetProcessLanguage(language);
    EXPECT_FALSE(ParseDriveChoice("C", choice, error));
    EXPECT_NE(error.find(expected), std::string::npos) << error;
  }
}

// The desktop keeps a drive letter or a Greaseweazle by its device; a
// simulated drive, a letter written otherwise or nothing becomes drive A.
TEST(DriveChoiceTest, DriveSettingIsRepaired) {
  EXPECT_EQ(RepairDriveSetting(std::string("B")), "B");
  EXPECT_EQ(RepairDriveSetting(std::string("gw:/dev/ttyACM0")), "gw:/dev/ttyACM0");
  EXPECT_EQ(RepairDriveSetting(std::string("b")), "A");
  EXPECT_EQ(RepairDriveSetting(std::string("B:")), "A");
  EXPECT_EQ(RepairDriveSetting(std::string("C")), "A");
  EXPECT_EQ(RepairDriveSetting(std::string("gw")), "A") << "a Greaseweazle is stored by its device";
  EXPECT_EQ(RepairDriveSetting(std::string("sim:disk.trd")), "A");
  EXPECT_EQ(RepairDriveSetting(std::string("gw-sim:")), "A");
  EXPECT_EQ(RepairDriveSetting(std::nullopt), "A");
}

TEST(DriveChoiceTest, SimulatedDriveWithFaults) {
  DriveChoice choice;
  std::string error;
  ASSERT_TRUE(ParseDriveChoice(
      "sim:/tmp/a.trd?bad=3:5,4:1&flaky=2:7:3&seed=9&errors=0.5&protect&nodisk&seekfail=12&drives=a&cylinders=80&"
      "save=out.udi",
      choice, error))
      << error;
  EXPECT_EQ(choice.kind, DriveKind::SimulatedController);
  EXPECT_EQ(choice.image, "/tmp/a.trd");
  const SimulatedFaults& faults = choice.simulation.faults;
  EXPECT_EQ(faults.alwaysFail, (std::set<SectorKey>{{3, 5}, {4, 1}}));
  EXPECT_EQ(faults.failFirstReads.at({2, 7}), 3);
  EXPECT_EQ(faults.seed, 9u);
  EXPECT_DOUBLE_EQ(faults.errorRate, 0.5);
  EXPECT_TRUE(faults.writeProtected);
  EXPECT_TRUE(faults.noDisk);
  EXPECT_EQ(faults.seekFailCylinder, 12);
  EXPECT_EQ(faults.drives, "A");
  EXPECT_EQ(choice.simulation.cylinders, 80);
  EXPECT_EQ(choice.saveTo, "out.udi");

  ASSERT_TRUE(ParseDriveChoice("sim:", choice, error));
  EXPECT_TRUE(choice.image.empty());
}

TEST(DriveChoiceTest, BadOptionsAreRefused) {
  DriveChoice choice;
  std::string error;
  for (const char* text : {"sim:x.trd?bad=3", "sim:x.trd?errors=2", "sim:x.trd?bogus", "sim:x.trd?cylinders=90",
                           "sim:x.trd?flaky=1:2", "sim:x.trd?drives=C"}) {
    error.clear();
    EXPECT_FALSE(ParseDriveChoice(text, choice, error)) << text;
    EXPECT_FALSE(error.empty()) << text;
  }
}

TEST(DriveChoiceTest, SimulatedDriveLoadsItsImage) {
  DriveChoice choice;
  std::string error;
  ASSERT_TRUE(ParseDriveChoice("sim:" + test::CorpusFile("trd/tslabs_zx-evo__test1.trd").string(), choice, error));
  auto drive = CreateSimulatedDrive(choice, error);
  ASSERT_NE(drive, nullptr) << error;
  EXPECT_EQ(drive->Medium().CountTracks(), 160);

  ASSERT_TRUE(ParseDriveChoice("sim:/no/such/file.trd", choice, error));
  EXPECT_EQ(CreateSimulatedDrive(choice, error), nullptr);
  EXPECT_FALSE(error.empty());
  // A file that is there but of no format the program knows.
  test::ScratchDir dir;
  const auto unknown = dir / "file.xyz";
  test::WriteFileBytes(unknown, Bytes{'h', 'e', 'l', 'l', 'o'});
  ASSERT_TRUE(ParseDriveChoice("sim:" + unknown.string(), choice, error));
  EXPECT_EQ(CreateDriver(choice, error), nullptr);
  EXPECT_NE(error.find("Этот тип файлов не поддерживается!"), std::string::npos) << error;
}

}  // namespace
}  // namespace velloran
