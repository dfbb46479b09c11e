// Steps both disk engines share.
#pragma once

#include "drive/floppy_driver.h"
#include "drive/flux_drive.h"
#include "engine/operation.h"
#include "engine/track_pass.h"
#include "model/disk.h"

namespace velloran {

// Start of every operation: track label 0, main log cleared, controller
// reset, heads to cylinder 80, OperationStarted logged. A failure is shown in a
// message box and returns false.
bool BeginOperation(FloppyDriver& driver, OperationHost& host);

// Start of an operation on a flux drive: track label 0, main log cleared,
// the drive started (heads on track 0), OperationStarted logged. A failure is
// shown in a message box and returns false.
bool BeginFluxOperation(FluxDrive& drive, OperationHost& host);

// Seeks a flux drive to a track index; a failure is shown in a message box.
bool SeekFluxTrack(FluxDrive& drive, OperationHost& host, int track);

// Stops a flux drive's motor and deselects it when an operation ends, however it ends.
class FluxDriveStopper {
 public:
  explicit FluxDriveStopper(FluxDrive& drive) : drive_(drive) {}
  ~FluxDriveStopper() { drive_.Stop(); }
  FluxDriveStopper(const FluxDriveStopper&) = delete;
  FluxDriveStopper& operator=(const FluxDriveStopper&) = delete;

 private:
  FluxDrive& drive_;
};

// The controller request for `count` sectors of track index `track`, from
// the sector whose ID slot `first` holds on, with the gap of a read or a write.
ReadWriteBlock SectorRequest(const TSectorRec& first, int track, int count, std::uint8_t gap);

// Seeks to the cylinder and head of a track index; a failure is shown in a
// message box and returns false.
bool SeekTrack(FloppyDriver& driver, OperationHost& host, int track);

// The cancel check: when "Отмена" was pressed, logs the cancellation and
// returns true.
bool CancelSeen(OperationHost& host);

// The closing line of a finished operation.
void LogCompleted(OperationHost& host);

// Start of a reading operation: its counts cleared, a range beyond track 165
// refused, then BeginOperation. False when the operation cannot go on.
bool BeginReading(FloppyDriver& driver, OperationHost& host, DiskOperation& operation);

// The main pass of a reading through a controller: the operation's range,
// the seek, and StopReadingAt on a failed seek; the caller adds the steps.
TrackPass ControllerReadingPass(FloppyDriver& driver, OperationHost& host, DiskOperation& operation);

// A seek failure has ended a reading operation at `track` (SeekTrack showed
// it): the tracks from there on are named in the main log as not read, and
// the operation remembers where it stopped. Returns the outcome Failed.
OperationOutcome StopReadingAt(OperationHost& host, DiskOperation& operation, int track);

// The count of bad sectors when some sectors failed.
void LogBadSectors(OperationHost& host, const DiskOperation& operation);

// The closing lines of a reading that re-reads what failed: completed, the
// sectors recovered on a re-read if any, the sectors still bad if any.
void LogReadingSummary(OperationHost& host, const DiskOperation& operation);

}  // namespace velloran
