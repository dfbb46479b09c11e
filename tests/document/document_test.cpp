// The desktop's document without a window: a disk's saved state, the recent
// files, the drive, and when each command can be used.
#include "document/document.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "settings/settings_store.h"
#include "sim/simulated_drive.h"
#include "support/test_support.h"
#include "trdos/catalog.h"

namespace velloran {
namespace {

class DocumentTest : public testing::Test {
 protected:
  // A new TR-DOS disk: track 0 holds sixteen sectors in slots 1..16.
  void MakeDisk() {
    MakeTrdosDisk(document.Disk(), "TEST");
    document.MarkSaved();
  }
  // An opened simulated controller drive.
  SimulatedDrive& OpenSimulatedDrive(SimulatedDriveOptions options = {}) {
    auto drive = std::make_unique<SimulatedDrive>(options);
    SimulatedDrive& held = *drive;
    document.SetDrive(std::move(drive));
    document.OpenDrive();
    return held;
  }
  Blocker At(int column, int row, Command command) {
    document.SetTargetCell(column, row);
    return document.Availability(command);
  }

  test::ScratchDir dir;
  MemorySettingsStore store;
  Document document{store};
};

TEST_F(DocumentTest, ModifiedUntilSavedAndFileForgottenWithItsOwners) {
  EXPECT_FALSE(document.DiskModified()) << "an empty new document has nothing to lose";
  MakeDisk();
  document.SetFile(dir / "disk.trd");
  EXPECT_EQ(document.FileName(), "disk.trd");
  document.Catalogs().OwnerCatalog.EntryCount = 1;
  document.Disk().GetSector(0, 0).Data[0] ^= 0xFF;
  EXPECT_TRUE(document.DiskModified());
  document.Disk().GetSector(0, 0).Data[0] ^= 0xFF;
  EXPECT_FALSE(document.DiskModified()) << "the same bytes again are no change";
  document.Disk().GetTrack(3).Present = false;
  EXPECT_TRUE(document.DiskModified()) << "a track removed from the image is a change";
  document.MarkSaved();
  EXPECT_FALSE(document.DiskModified());

  document.ForgetFile();
  EXPECT_EQ(document.FileName(), "");
  EXPECT_EQ(document.Catalogs().OwnerCatalog.EntryCount, 0) << "the owners were of the file";
}

TEST_F(DocumentTest, ReplacedDiskKeepsTheViewAndForgetsTheOwners) {
  struct Silent : DiskObserver {
    void RedrawSector(std::uint8_t, std::uint8_t) override {}
    void RedrawTrackLabel(std::uint8_t) override {}
    void DiskCleared() override {}
  } observer;
  document.Disk().SetObserver(&observer);
  document.Disk().ShowDisabledSectors = true;
  document.Catalogs().OwnerCatalog.EntryCount = 1;
  TZX_Disk incoming;
  MakeTrdosDisk(incoming, "NEW");
  document.ReplaceDisk(incoming);
  EXPECT_EQ(document.Disk().Observer(), &observer);
  EXPECT_TRUE(document.Disk().ShowDisabledSectors);
  EXPECT_EQ(document.Catalogs().OwnerCatalog.EntryCount, 0);
  EXPECT_TRUE(document.DiskModified()) << "a replaced disk is unsaved until marked";
}

// The list is newest first without copies, holds eight images, and lives in
// the settings store: another start reads it back.
TEST_F(DocumentTest, RecentFilesNewestFirstEightAtMostAndStored) {
  for (int i = 1; i <= 9; ++i) document.AddRecentFile("/disks/" + std::to_string(i) + ".trd");
  ASSERT_EQ(document.RecentFiles().size(), 8U);
  EXPECT_EQ(document.RecentFiles().front(), "/disks/9.trd");
  EXPECT_EQ(document.RecentFiles().back(), "/disks/2.trd") << "the oldest left the list";
  document.AddRecentFile("/disks/5.trd");
  EXPECT_EQ(document.RecentFiles().front(), "/disks/5.trd");
  EXPECT_EQ(std::count(document.RecentFiles().begin(), document.RecentFiles().end(), "/disks/5.trd"), 1);
  document.ForgetRecentFile("/disks/9.trd");
  EXPECT_EQ(document.RecentFiles()[1], "/disks/8.trd");

  Document nextStart(store);
  nextStart.LoadSettings(dir.Path());
  EXPECT_EQ(nextStart.RecentFiles(), document.RecentFiles());
  EXPECT_EQ(nextStart.Availability(Command::RecentFilesMenu), Blocker::None);
  EXPECT_EQ(Document(store).Availability(Command::RecentFilesMenu), Blocker::NoRecentFiles)
      << "before the settings are read the list is empty";
}

TEST_F(DocumentTest, DriveSettingIsRepairedAtStartUp) {
  store.Write("Drive", "sim:disk.trd");
  document.LoadSettings(dir.Path());
  EXPECT_EQ(document.Options().Drive, "A");
  EXPECT_EQ(store.Read("Drive"), "A") << "the repaired value is written back";
  store.Write("Drive", "B");
  document.LoadSettings(dir.Path());
  EXPECT_EQ(document.Options().Drive, "B");
}

// Loading, making and the views never need a disk or a drive; saving and the
// catalogs need a disk; the drive commands a usable drive, and those that
// write or read by the IDs in memory a disk as well.
TEST_F(DocumentTest, CommandsFollowTheDiskAndTheDrive) {
  for (Command always : {Command::LoadImage, Command::NewTrdosDisk, Command::MergeImages, Command::OpenSettings,
                         Command::ZoomIn, Command::About, Command::Exit})
    EXPECT_EQ(document.Availability(always), Blocker::None);
  EXPECT_EQ(document.Availability(Command::SaveImage), Blocker::NoDisk);
  EXPECT_EQ(document.Availability(Command::ShowTrdosCatalog), Blocker::NoDisk);
  EXPECT_EQ(document.Availability(Command::ScanTracks), Blocker::NoDriver);
  EXPECT_EQ(document.Availability(Command::WriteDisk), Blocker::NoDriver) << "the drive is named first";
  EXPECT_TRUE(document.Shown(Command::ExplainDriveProblem));

  SimulatedDrive& drive = OpenSimulatedDrive();
  EXPECT_EQ(document.Availability(Command::ScanAndRead), Blocker::None);
  EXPECT_EQ(document.Availability(Command::ReadSectors), Blocker::NoDisk) << "no IDs to read by";
  EXPECT_FALSE(document.Shown(Command::ExplainDriveProblem));
  MakeDisk();
  for (Command command : {Command::ReadSectors, Command::FormatDisk, Command::WriteDisk, Command::FormatAndWrite,
                          Command::SaveImage, Command::ClearImage, Command::ResetController})
    EXPECT_EQ(document.Availability(command), Blocker::None);

  drive.CloseDrive();
  EXPECT_EQ(document.Availability(Command::FastRead), Blocker::DriveNotOpen);
  EXPECT_TRUE(document.Shown(Command::ExplainDriveProblem));
}

TEST_F(DocumentTest, ADriveThatFailedToOpenSaysWhy) {
  SimulatedDriveOptions options;
  options.faults.driverMissing = true;
  OpenSimulatedDrive(options);
  EXPECT_EQ(document.DriveBlocker(), Blocker::DriveUnusable);
  EXPECT_FALSE(document.DriveProblems().empty());
  EXPECT_EQ(document.Availability(Command::ReadDriveCatalog), Blocker::DriveUnusable);
}

// The context menu's commands act on the right-clicked cell: column 0 is a
// track's label, columns 1..20 its slots.
TEST_F(DocumentTest, ContextCommandsFollowTheRightClickedCell) {
  MakeDisk();
  EXPECT_EQ(At(0, 0, Command::RemoveTrack), Blocker::None);
  EXPECT_EQ(At(0, 0, Command::AddTrack), Blocker::NotOnAbsentTrackLabel);
  EXPECT_EQ(At(0, 0, Command::SetBaseTrack), Blocker::NotOnRawTrackLabel) << "a new disk has no raw tracks";
  EXPECT_EQ(At(3, 0, Command::RemoveTrack), Blocker::NotOnPresentTrackLabel);
  document.Disk().GetTrack(5).Present = false;
  EXPECT_EQ(At(0, 5, Command::AddTrack), Blocker::None);
  EXPECT_EQ(At(0, 5, Command::ClearTrack), Blocker::NotOnPresentTrackLabel);

  EXPECT_EQ(At(1, 0, Command::EditSectorAddress), Blocker::None);
  EXPECT_TRUE(document.Shown(Command::EditSectorAddress));
  EXPECT_FALSE(document.Shown(Command::ScanTrack)) << "a track's items show on its label only";
  EXPECT_EQ(At(16, 0, Command::RemoveSector), Blocker::None);
  EXPECT_EQ(At(16, 0, Command::AddSector), Blocker::NotOnAddableSlot);
  EXPECT_EQ(At(17, 0, Command::AddSector), Blocker::None) << "right after the last sector";
  EXPECT_EQ(At(18, 0, Command::AddSector), Blocker::NotOnAddableSlot) << "a gap would follow the last sector";
  EXPECT_EQ(At(17, 0, Command::RemoveSector), Blocker::NotOnUsedSlot);
  EXPECT_FALSE(document.Shown(Command::WriteSector));
  EXPECT_EQ(At(21, 0, Command::AddSector), Blocker::NotOnAddableSlot) << "past the map";
  EXPECT_EQ(At(0, 166, Command::AddTrack), Blocker::NotOnAbsentTrackLabel) << "past the map";
  EXPECT_EQ(At(1, 0, Command::ClearSectorData), Blocker::NotInThisVersion);
}

}  // namespace
}  // namespace velloran
