// The rotation-aware reading (OperationSteps::fast): each track read in about one turn,
// then re-reads of the sectors that failed.
#pragma once

#include "drive/floppy_driver.h"
#include "engine/operation.h"
#include "model/disk.h"

namespace velloran {

// Reads the tracks OpFirstTrack..OpLastTrack. For each track the first ID
// read tells where the head is; when it fits the layout of the track read
// before, that layout is taken, otherwise the track is scanned. The sectors
// are then read in the order they arrive, consecutive numbers in one request.
// Every sector gets one read per pass; after the pass the tracks with failed
// sectors are read again, up to RetryCount passes in all, each sector
// keeping its first good copy.
OperationOutcome RunFastReadingEngine(TZX_Disk& disk, FloppyDriver& driver, OperationHost& host,
                                      DiskOperation& operation);

}  // namespace velloran
