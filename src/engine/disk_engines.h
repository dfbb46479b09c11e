// The engines that read a real disk into the disk in memory and put the disk
// in memory onto a real disk, track by track, through the floppy driver.
#pragma once

#include "drive/disk_drive.h"
#include "drive/floppy_driver.h"
#include "drive/flux_drive.h"
#include "engine/operation.h"
#include "model/disk.h"

namespace velloran {

// Scans and/or reads the tracks OpFirstTrack..OpLastTrack (OpMode 2, 4, 6).
OperationOutcome RunReadingEngine(TZX_Disk& disk, FloppyDriver& driver, OperationHost& host, DiskOperation& operation);

// Formats and/or writes the present tracks of the range (OpMode 8, 16, 24).
OperationOutcome RunWritingEngine(TZX_Disk& disk, FloppyDriver& driver, OperationHost& host, DiskOperation& operation);

// Reads the tracks OpFirstTrack..OpLastTrack as flux and decodes them,
// whatever reading OpMode asks for: one turn of each track, or
// FluxRevolutions when KeepFlux is set. Tracks with bad sectors are read
// again after the pass (FluxRevolutions, up to RetryCount passes, the head
// stepping away and back first), each sector keeping its first good copy.
// Every revolution read stays beside the disk as its flux capture.
OperationOutcome RunFluxReadingEngine(TZX_Disk& disk, FluxDrive& drive, OperationHost& host, DiskOperation& operation);

// Writes every track of the range as flux (formatting is implied; absent
// tracks are erased), with up to RetryCount attempts, each read back and
// compared when Verify is set.
OperationOutcome RunFluxWritingEngine(TZX_Disk& disk, FluxDrive& drive, OperationHost& host, DiskOperation& operation);

// Runs the engine that OpMode selects: below 8 reading, otherwise writing.
OperationOutcome RunDiskOperation(TZX_Disk& disk, FloppyDriver& driver, OperationHost& host, DiskOperation& operation);
// The same for any kind of drive.
OperationOutcome RunDiskOperation(TZX_Disk& disk, DiskDrive& drive, OperationHost& host, DiskOperation& operation);

}  // namespace velloran
