// The reading engine: for each track of the range it seeks, scans the
// track's sector IDs into its slots and reads every slot's sector by its ID.
// The rotation-aware mode (OperationSteps::fast) has its own engine in fast_reading.cpp.
#include <algorithm>
#include <string>
#include <vector>

#include "engine/disk_engines.h"
#include "engine/engine_steps.h"
#include "engine/fast_reading.h"
#include "engine/reading_steps.h"
#include "engine/track_pass.h"

namespace velloran {

namespace {

// Reads the data of every slot 0 .. CountSectors-1 of track t by its ID,
// with up to RetryCount attempts each.
void ReadStep(TZX_Disk& disk, FloppyDriver& driver, OperationHost& host, DiskOperation& operation, int t) {
  TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
  const int count = track.CountSectors();
  const int attempts = AttemptCount(operation.RetryCount);
  std::vector<std::uint8_t> buffer(kSectorBufferSize);
  for (int i = 0; i < count; ++i) {
    const TSectorRec& slot = track.GetSector(static_cast<std::uint8_t>(i));
    const ReadWriteBlock block = SectorRequest(slot, t, 1, kReadGap);

    bool ok = false;
    std::size_t received = 0;
    std::uint32_t code = kUnsupportedSizeCode;
    if (SizeCodeSupported(slot.IdSize)) {
      for (int attempt = 0; attempt < attempts && !ok; ++attempt) ok = driver.ReadData(block, buffer, received);
      code = driver.LastError();
    }
    if (ok) {
      StoreReadSector(track, host, i, buffer.data(), received);
    } else {
      MarkReadFailed(track, host, t, i, code);
      ++operation.BadSectors;
    }
  }
}

}  // namespace

OperationOutcome RunReadingEngine(TZX_Disk& disk, FloppyDriver& driver, OperationHost& host, DiskOperation& operation) {
  if (operation.Steps.fast) return RunFastReadingEngine(disk, driver, host, operation);
  if (!BeginReading(driver, host, operation)) return OperationOutcome::Failed;

  TrackPass pass = ControllerReadingPass(driver, host, operation);
  pass.steps = {{.run =
                     [&](int t) {
                       if (operation.Steps.scan) ScanStep(disk, driver, host, t);
                       return true;
                     },
                 .processEvents = true},
                {.run = [&](int t) {
                  if (operation.Steps.read) ReadStep(disk, driver, host, operation, t);
                  return true;
                }}};
  if (const OperationOutcome outcome = RunTrackPass(host, pass); outcome != OperationOutcome::Completed) return outcome;

  LogCompleted(host);
  LogBadSectors(host, operation);
  return OperationOutcome::Completed;
}

OperationOutcome RunDiskOperation(TZX_Disk& disk, FloppyDriver& driver, OperationHost& host, DiskOperation& operation) {
  if (!operation.Steps.Writes()) return RunReadingEngine(disk, driver, host, operation);
  return RunWritingEngine(disk, driver, host, operation);
}

OperationOutcome RunDiskOperation(TZX_Disk& disk, DiskDrive& drive, OperationHost& host, DiskOperation& operation) {
  return VisitDrive(
      drive, [&](FloppyDriver& controller) { return RunDiskOperation(disk, controller, host, operation); },
      [&](FluxDrive& flux) {
        if (!operation.Steps.Writes()) return RunFluxReadingEngine(disk, flux, host, operation);
        return RunFluxWritingEngine(disk, flux, host, operation);
      });
}

}  // namespace velloran
