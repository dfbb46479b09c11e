#include "document/document.h"

#include <utility>

#include "common/utf8_path.h"
#include "model/disk_fingerprint.h"
#include "session/driver_choice.h"
#include "settings/desktop_settings.h"

namespace velloran {

namespace {

constexpr int kMapColumns = 1 + kSlotCount;  // the track's label, then its slots

bool InsideMap(int column, int row) { return column >= 0 && column < kMapColumns && row >= 0 && row < kTrackCount; }

}  // namespace

Document::Document(SettingsStore& store) : store_(store) { MarkSaved(); }

void Document::LoadSettings(const std::filesystem::path& programDirectory) {
  settings_ = velloran::LoadSettings(store_, programDirectory);
  settings_.Drive = RepairDriveSetting(settings_.Drive);
  store_.Write("Drive", settings_.Drive);
  recentFiles_ = LoadRecentFiles(store_);
}

void Document::ReplaceDisk(TZX_Disk& incoming) {
  incoming.ShowDisabledSectors = disk_.ShowDisabledSectors;
  incoming.SetObserver(disk_.Observer());
  disk_ = std::move(incoming);
  catalogs_.OwnerCatalog = TrdosCatalog{};
}

std::string Document::FileName() const { return PathToUtf8(file_.filename()); }

void Document::ForgetFile() {
  catalogs_.OwnerCatalog = TrdosCatalog{};
  file_.clear();
}

bool Document::DiskModified() const { return DiskFingerprint(disk_) != savedFingerprint_; }

void Document::MarkSaved() { savedFingerprint_ = DiskFingerprint(disk_); }

void Document::AddRecentFile(const std::string& file) {
  recentFiles_ = WithRecentFile(recentFiles_, file);
  SaveRecentFiles(store_, recentFiles_);
}

void Document::ForgetRecentFile(const std::string& file) {
  recentFiles_ = WithoutRecentFile(recentFiles_, file);
  SaveRecentFiles(store_, recentFiles_);
}

void Document::SetDrive(std::unique_ptr<DiskDrive> drive, bool chosen) {
  drive_ = std::move(drive);
  driveChosen_ = chosen;
}

bool Document::FollowDriveSetting() {
  if (driveChosen_) return false;
  DriveChoice choice;
  std::string error;
  if (!ParseDriveChoice(settings_.Drive, choice, error)) choice = DriveChoice{};
  auto* current = drive_ != nullptr ? dynamic_cast<GreaseweazleDrive*>(drive_.get()) : nullptr;
  if (choice.kind == DriveKind::Greaseweazle) {
    if (current != nullptr && current->Device() == choice.device) return false;
  } else if (current == nullptr) {
    return false;
  }
  auto drive = CreateDriver(choice, error);
  if (drive == nullptr) return false;
  drive_ = std::move(drive);
  return true;
}

void Document::KeepDriveStatus(const DriverStatus& status) {
  driveUsable_ = status.diskMenuEnabled;
  driveProblems_ = status.messages;
}

DriverStatus Document::OpenDrive() {
  FollowDriveSetting();
  if (drive_ == nullptr) return {};
  const DriverStatus status = OpenDriveAtStartup(*drive_, settings_);
  KeepDriveStatus(status);
  return status;
}

DriverStatus Document::ApplyDriveSettings() {
  if (FollowDriveSetting()) {
    const DriverStatus status = OpenDriveAtStartup(*drive_, settings_);
    KeepDriveStatus(status);
    return status;
  }
  if (drive_ == nullptr) return {};
  const DriverStatus status = ReopenDriveAfterSettings(*drive_, settings_);
  KeepDriveStatus(status);
  return status;
}

Blocker Document::DriveBlocker() const {
  if (drive_ == nullptr) return Blocker::NoDriver;
  if (!driveUsable_) return Blocker::DriveUnusable;
  const FloppyDriver* controller = drive_->AsController();
  if (controller != nullptr && !controller->DriveOpen()) return Blocker::DriveNotOpen;
  return Blocker::None;
}

void Document::SetTargetCell(int column, int row) {
  targetColumn_ = column;
  targetRow_ = row;
}

bool Document::OnPresentTrackLabel() const {
  return targetColumn_ == 0 && InsideMap(targetColumn_, targetRow_) &&
         disk_.GetTrack(static_cast<std::uint8_t>(targetRow_)).Present;
}

bool Document::OnUsedSlot() const {
  if (targetColumn_ < 1 || !InsideMap(targetColumn_, targetRow_)) return false;
  const TTrack& track = disk_.GetTrack(static_cast<std::uint8_t>(targetRow_));
  return track.Present && track.GetSector(static_cast<std::uint8_t>(targetColumn_ - 1)).Used;
}

bool Document::OnAddableSlot() const {
  if (targetColumn_ < 1 || !InsideMap(targetColumn_, targetRow_)) return false;
  const TTrack& track = disk_.GetTrack(static_cast<std::uint8_t>(targetRow_));
  const int slot = targetColumn_ - 1;
  return track.Present && !track.GetSector(static_cast<std::uint8_t>(slot)).Used &&
         (slot == 0 || track.GetSector(static_cast<std::uint8_t>(slot - 1)).Used);
}

Blocker Document::Availability(Command command) const {
  const Blocker drive = DriveBlocker();
  const Blocker disk = disk_.TracksToWrite() > 0 ? Blocker::None : Blocker::NoDisk;
  const auto unless = [](bool allowed, Blocker blocker) { return allowed ? Blocker::None : blocker; };
  switch (command) {
    case Command::RecentFilesMenu: return unless(!recentFiles_.empty(), Blocker::NoRecentFiles);
    case Command::ShowTrdosCatalog:
    case Command::ShowCpmCatalog:
    case Command::ClearImage:
    case Command::SaveUdf:
    case Command::SaveImage: return disk;
    case Command::ScanTracks:
    case Command::ScanAndRead:
    case Command::FastRead:
    case Command::ReadDriveCatalog:
    case Command::ResetController: return drive;
    case Command::ReadSectors:
    case Command::FormatDisk:
    case Command::WriteDisk:
    case Command::FormatAndWrite: return drive != Blocker::None ? drive : disk;
    case Command::EditSectorAddress:
    case Command::RemoveSector: return unless(OnUsedSlot(), Blocker::NotOnUsedSlot);
    case Command::AddSector: return unless(OnAddableSlot(), Blocker::NotOnAddableSlot);
    case Command::RemoveTrack:
    case Command::SectorsToRaw:
    case Command::ClearTrack: return unless(OnPresentTrackLabel(), Blocker::NotOnPresentTrackLabel);
    case Command::AddTrack:
      return unless(targetColumn_ == 0 && InsideMap(targetColumn_, targetRow_) && !OnPresentTrackLabel(),
                    Blocker::NotOnAbsentTrackLabel);
    case Command::SetBaseTrack:
      return unless(OnPresentTrackLabel() && disk_.GetTrack(static_cast<std::uint8_t>(targetRow_)).RawLength > 0,
                    Blocker::NotOnRawTrackLabel);
    case Command::TrackTemplateMenu:
    case Command::EditBaseTemplate:
    case Command::FullRead:
    case Command::RawRead:
    case Command::RereadBadSectors:
    case Command::ReadSector:
    case Command::ReadRawTrack:
    case Command::ReadTrackSectors:
    case Command::ScanTrack:
    case Command::RawToSectorHeaders:
    case Command::ClearSectorData:
    case Command::ClearTrackSectorsData:
    case Command::ClearSectorHeader:
    case Command::ClearTrackSectorHeaders:
    case Command::ClearTrackLog:
    case Command::WriteSector:
    case Command::WriteTrack:
    case Command::FormatTrack: return Blocker::NotInThisVersion;
    default: return Blocker::None;
  }
}

bool Document::Shown(Command command) const {
  switch (command) {
    case Command::ExplainDriveProblem: return DriveBlocker() != Blocker::None;
    case Command::ReadSector:
    case Command::EditSectorAddress:
    case Command::WriteSector: return OnUsedSlot();
    case Command::ReadTrackSectors:
    case Command::ScanTrack:
    case Command::WriteTrack:
    case Command::FormatTrack: return OnPresentTrackLabel();
    default: return true;
  }
}

}  // namespace velloran
