// The desktop's document: the one disk of the program and what is known
// about it. The file it came from, whether it differs from that file, the
// catalogs shared with the catalog windows, the settings, the recently used
// images, the drive of the disk commands with what opening it said, the
// right-clicked map cell, and which command can be used now (a function of
// all these). Free of Qt: the main window shows it and asks it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "document/command.h"
#include "drive/disk_drive.h"
#include "model/disk.h"
#include "session/driver_startup.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "trdos/catalog.h"

namespace velloran {

class Document {
 public:
  explicit Document(SettingsStore& store);

  TZX_Disk& Disk() { return disk_; }
  const TZX_Disk& Disk() const { return disk_; }
  CatalogState& Catalogs() { return catalogs_; }
  Settings& Options() { return settings_; }
  SettingsStore& Store() { return store_; }

  // Settings read and repaired, the recent files read, and the drive of the
  // Drive setting made unless one was chosen on the command line. The drive
  // is not opened yet.
  void LoadSettings(const std::filesystem::path& programDirectory);

  // The disk just loaded or made replaces the one in memory; it keeps the
  // map's observer and the display option of the old one. The sectors'
  // owners are forgotten (they were of the old disk).
  void ReplaceDisk(TZX_Disk& incoming);
  // The image the disk was last loaded from or saved to, and its name
  // without folder (UTF-8); empty for a disk made in memory or read from a
  // drive.
  const std::filesystem::path& File() const { return file_; }
  std::string FileName() const;
  void SetFile(std::filesystem::path file) { file_ = std::move(file); }
  // The disk no longer is the image it was loaded from.
  void ForgetFile();
  // Whether the disk differs from what was last loaded, saved or made.
  bool DiskModified() const;
  void MarkSaved();

  // The images of the recent-files menu, most recent first; each change is
  // stored at once.
  const std::vector<std::string>& RecentFiles() const { return recentFiles_; }
  void AddRecentFile(const std::string& file);
  void ForgetRecentFile(const std::string& file);

  // The drive of the disk commands. A drive chosen on the command line
  // stays; otherwise the Drive setting decides.
  void SetDrive(std::unique_ptr<DiskDrive> drive, bool chosen = true);
  DiskDrive* Drive() { return drive_.get(); }
  // Opens the drive as at start-up (the drive of the Drive setting, unless
  // one was chosen) and keeps whether it can be used.
  DriverStatus OpenDrive();
  // After the settings window: a drive the Drive setting replaced is opened
  // as at start-up, the drive held is opened again with the new settings.
  DriverStatus ApplyDriveSettings();
  // The messages of the last opening that failed.
  const std::vector<Phrase>& DriveProblems() const { return driveProblems_; }
  Blocker DriveBlocker() const;

  // The cell of the map the context menu acts on: column 0 is a track's
  // label, 1..20 its slots.
  void SetTargetCell(int column, int row);
  int TargetTrack() const { return targetRow_; }
  int TargetColumn() const { return targetColumn_; }

  // Why `command` cannot be used now (None: it can), and whether its item
  // shows at all.
  Blocker Availability(Command command) const;
  bool Shown(Command command) const;

  // The save dialog's last chosen filter (1-based).
  int SaveFilter() const { return saveFilter_; }
  void SetSaveFilter(int filter) { saveFilter_ = filter; }

 private:
  // Makes the drive of the Drive setting when it differs from the one held;
  // true when the drive was replaced.
  bool FollowDriveSetting();
  void KeepDriveStatus(const DriverStatus& status);
  bool OnPresentTrackLabel() const;
  bool OnUsedSlot() const;
  bool OnAddableSlot() const;

  SettingsStore& store_;
  Settings settings_;
  TZX_Disk disk_;
  CatalogState catalogs_;
  std::filesystem::path file_;
  std::uint64_t savedFingerprint_ = 0;
  std::vector<std::string> recentFiles_;
  std::unique_ptr<DiskDrive> drive_;
  bool driveChosen_ = true;  // the drive came from the command line, not the Drive setting
  bool driveUsable_ = true;
  std::vector<Phrase> driveProblems_;
  int targetColumn_ = -1;
  int targetRow_ = -1;
  int saveFilter_ = 1;
};

}  // namespace velloran
