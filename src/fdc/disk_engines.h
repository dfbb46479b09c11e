// The engines that read a real disk into the disk in memory and put the disk
// in memory onto a real disk, track by track, through the floppy driver.
#pragma once

#include "fdc/floppy_driver.h"
#include "fdc/operation.h"
#include "model/disk.h"

namespace velloran {

// Scans and/or reads the tracks OpFirstTrack..OpLastTrack (OpMode 2, 4, 6).
OperationOutcome RunReadingEngine(TZX_Disk& disk, FloppyDriver& driver, OperationHost& host, DiskOperation& operation);

// Formats and/or writes the present tracks of the range (OpMode 8, 16, 24).
OperationOutcome RunWritingEngine(TZX_Disk& disk, FloppyDriver& driver, OperationHost& host, DiskOperation& operation);

// Runs the engine that OpMode selects: below 8 reading, otherwise writing.
OperationOutcome RunDiskOperation(TZX_Disk& disk, FloppyDriver& driver, OperationHost& host, DiskOperation& operation);

}  // namespace velloran
