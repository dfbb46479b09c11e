// The writing engine: for each present track of the range it seeks, formats
// the track with the IDs held in memory and/or writes every used slot's data
// into the sector with the slot's ID. The disk in memory is only read.
#include <algorithm>
#include <string>

#include "engine/disk_engines.h"
#include "engine/engine_steps.h"
#include "engine/messages.h"
#include "engine/track_pass.h"

namespace velloran {

namespace {

// The format block of track t: the size code of slot 0 for the whole track,
// then the IDs of slots 0 .. count-1 in slot order.
FormatBlock MakeFormatBlock(const TTrack& track, int t, int count) {
  FormatBlock block;
  block.flags = kFlagMfm;
  block.head = static_cast<std::uint8_t>(t % 2);
  block.sizeCode = track.GetSector(0).IdSize;
  block.gap = kWriteGap;
  block.fill = 0x00;
  for (int i = 0; i < count; ++i) {
    const TSectorRec& slot = track.GetSector(static_cast<std::uint8_t>(i));
    block.headers.push_back({slot.IdTrack, slot.IdSide, slot.IdSector, slot.IdSize});
  }
  return block;
}

// Formats track t with up to RetryCount attempts; a failure is logged and
// returns false.
bool FormatStep(const TTrack& track, FloppyDriver& driver, OperationHost& host, const DiskOperation& operation, int t,
                int count) {
  const FormatBlock block = MakeFormatBlock(track, t, count);
  bool ok = false;
  for (int attempt = 0; attempt < AttemptCount(operation.RetryCount) && !ok; ++attempt) ok = driver.FormatTrack(block);
  if (!ok) host.AddMainLog({MessageId::TrackFormatFailed, {driver.LastError(), TrackPlace(t)}}, true);
  return ok;
}

// Writes the data of each used slot 0 .. count-1 into its sector; returns
// how many of them failed.
int WriteStep(const TTrack& track, FloppyDriver& driver, OperationHost& host, const DiskOperation& operation, int t,
              int count) {
  int failures = 0;
  for (int i = 0; i < count; ++i) {
    const TSectorRec& slot = track.GetSector(static_cast<std::uint8_t>(i));
    if (!slot.Used) continue;
    const ReadWriteBlock block = SectorRequest(slot, t, 1, kWriteGap);
    const std::size_t length = std::min<std::size_t>(slot.DataLen, slot.Data.size());
    const ByteSpan data(slot.Data.data(), length);

    bool ok = false;
    for (int attempt = 0; attempt < AttemptCount(operation.RetryCount) && !ok; ++attempt)
      ok = driver.WriteData(block, data);
    if (ok) continue;
    host.AddMainLog({MessageId::SectorWriteFailed, {driver.LastError(), TrackSectorPlace(t, slot.IdSector)}}, true);
    ++failures;
  }
  return failures;
}

}  // namespace

OperationOutcome RunWritingEngine(TZX_Disk& disk, FloppyDriver& driver, OperationHost& host, DiskOperation& operation) {
  operation.BadSectors = 0;
  if (!BeginOperation(driver, host)) return OperationOutcome::Failed;

  // A track whose format failed counts all its sectors as failed, its writes
  // aside; otherwise each failed write counts.
  bool formatted = true;
  TrackPass pass;
  pass.first = operation.OpFirstTrack;
  pass.last = std::min(operation.OpLastTrack, kLastTrackIndex);
  pass.wanted = [&](int t) { return disk.GetTrack(static_cast<std::uint8_t>(t)).Present; };
  pass.seek = [&](int t) { return SeekTrack(driver, host, t); };
  pass.failed = [](int) { return OperationOutcome::Failed; };
  pass.cancelBeforeSteps = false;
  pass.steps = {{.run =
                     [&](int t) {
                       TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
                       const int count = track.CountSectors();
                       formatted = !operation.Steps.format || FormatStep(track, driver, host, operation, t, count);
                       if (!formatted) operation.BadSectors += count;
                       return true;
                     }},
                {.run =
                     [&](int t) {
                       if (!operation.Steps.write) return true;
                       TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
                       const int failures = WriteStep(track, driver, host, operation, t, track.SectorCount);
                       if (formatted) operation.BadSectors += failures;
                       return true;
                     },
                 .processEvents = true}};
  if (const OperationOutcome outcome = RunTrackPass(host, pass); outcome != OperationOutcome::Completed) return outcome;

  LogCompleted(host);
  LogBadSectors(host, operation);
  return OperationOutcome::Completed;
}

}  // namespace velloran
