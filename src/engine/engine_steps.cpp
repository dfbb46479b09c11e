#include "engine/engine_steps.h"

#include "engine/messages.h"

namespace velloran {

// Resets the controller and parks the heads on cylinder 80 before the tracks.
bool BeginOperation(FloppyDriver& driver, OperationHost& host) {
  host.ShowTrack(0);
  host.ClearMainLog();
  if (!driver.Reset()) {
    host.ShowError(ResetFailed(driver.LastError()));
    return false;
  }
  if (!driver.Seek(80, 0)) {
    host.ShowError(SeekFailed(driver.LastError()));
    return false;
  }
  host.AddMainLog({MessageId::OperationStarted}, true);
  return true;
}

// Positions the heads on track index t: cylinder t div 2, head t mod 2.
bool SeekTrack(FloppyDriver& driver, OperationHost& host, int track) {
  if (driver.Seek(static_cast<std::uint8_t>(track / 2), static_cast<std::uint8_t>(track % 2))) return true;
  host.ShowError(SeekFailed(driver.LastError()));
  return false;
}

bool BeginFluxOperation(FluxDrive& drive, OperationHost& host) {
  host.ShowTrack(0);
  host.ClearMainLog();
  if (!drive.Start()) {
    host.ShowError(drive.LastFailure());
    return false;
  }
  host.AddMainLog({MessageId::OperationStarted}, true);
  return true;
}

bool SeekFluxTrack(FluxDrive& drive, OperationHost& host, int track) {
  if (drive.SeekTrack(track / 2, track % 2)) return true;
  host.ShowError(drive.LastFailure());
  return false;
}

ReadWriteBlock SectorRequest(const TSectorRec& first, int track, int count, std::uint8_t gap) {
  ReadWriteBlock block;
  block.flags = kFlagMfm;
  block.head = static_cast<std::uint8_t>(track % 2);
  block.id = {first.IdTrack, first.IdSide, first.IdSector, first.IdSize};
  block.eot = static_cast<std::uint8_t>(first.IdSector + count);
  block.gap = gap;
  block.dtl = kDataLengthAll;
  return block;
}

// Ends the operation when the user pressed "Отмена".
bool CancelSeen(OperationHost& host) {
  if (!host.CancelRequested()) return false;
  host.AddMainLog({MessageId::OperationCancelled}, true);
  return true;
}

void LogCompleted(OperationHost& host) { host.AddMainLog({MessageId::OperationCompleted}, true); }

bool BeginReading(FloppyDriver& driver, OperationHost& host, DiskOperation& operation) {
  operation.BadSectors = 0;
  operation.RecoveredSectors = 0;
  operation.UnreadFrom = -1;
  if (operation.OpLastTrack > kLastTrackIndex) {
    host.ShowError({MessageId::OperationTooManyTracks});
    return false;
  }
  return BeginOperation(driver, host);
}

OperationOutcome StopReadingAt(OperationHost& host, DiskOperation& operation, int track) {
  operation.UnreadFrom = track;
  host.AddMainLog({MessageId::TracksNotRead, {track, operation.OpLastTrack}}, true);
  return OperationOutcome::Failed;
}

TrackPass ControllerReadingPass(FloppyDriver& driver, OperationHost& host, DiskOperation& operation) {
  TrackPass pass;
  pass.first = operation.OpFirstTrack;
  pass.last = operation.OpLastTrack;
  pass.seek = [&driver, &host](int t) { return SeekTrack(driver, host, t); };
  pass.failed = [&host, &operation](int t) { return StopReadingAt(host, operation, t); };
  return pass;
}

void LogBadSectors(OperationHost& host, const DiskOperation& operation) {
  if (operation.BadSectors > 0) host.AddMainLog({MessageId::BadSectorCount, {operation.BadSectors}}, true);
}

void LogReadingSummary(OperationHost& host, const DiskOperation& operation) {
  LogCompleted(host);
  if (operation.RecoveredSectors > 0)
    host.AddMainLog({MessageId::RecoveredOnRereadCount, {operation.RecoveredSectors}}, true);
  LogBadSectors(host, operation);
}

}  // namespace velloran
