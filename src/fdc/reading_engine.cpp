// The reading engine: for each track of the range it seeks, scans the
// track's sector IDs into its slots and reads every slot's sector by its ID.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "fdc/disk_engines.h"
#include "fdc/engine_steps.h"
#include "fdc/messages.h"

namespace velloran {

namespace {

// Error code logged for a sector whose size code has no length in the model
// (above 3): no request is made for it (the Windows "invalid parameter" code).
constexpr std::uint32_t kUnsupportedSizeCode = 87;

// Puts a line into the track's log and, selected, into the main log.
void LogBoth(TTrack& track, OperationHost& host, const std::string& line, bool selected) {
  track.Log.push_back(line);
  host.AddMainLog(line, selected);
}

// Scans the IDs of track t and stores them in its first slots, in the order
// met on the track. Only the ID fields of those slots change.
void ScanStep(TZX_Disk& disk, FloppyDriver& driver, OperationHost& host, int t) {
  TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
  track.Log.push_back("Начало сканирования дорожки.");
  host.AddMainLog("Начало сканирования дорожки - " + std::to_string(t), false);

  ScanResult result;
  if (!driver.ScanTrack(kFlagMfm, static_cast<std::uint8_t>(t % 2), result)) {
    LogBoth(track, host,
            "Ошибка сканирования - " + std::to_string(driver.LastError()) + " (Track - " + std::to_string(t) + ")",
            true);
    return;
  }
  const std::size_t n = std::min(result.byteCount, result.buffer.size());
  LogBoth(track, host, "Данные приняты - " + std::to_string(n) + " bytes", false);

  // The headers follow the count byte; the driver's byte count tells how many
  // there are. A track with a single sector is stored like any other; only
  // a scan that found no header leaves the track as it was.
  if (n < 5) return;
  disk.RedrawTrackLabel(static_cast<std::uint8_t>(t));
  int stored = 0;
  for (std::size_t offset = 1; offset < n - 1 && offset + 4 <= result.buffer.size() && stored < kSlotCount;
       offset += 4) {
    const std::uint8_t* id = &result.buffer[offset];
    track.Present = 0xFF;
    TSectorRec& slot = track.GetSector(static_cast<std::uint8_t>(stored));
    slot.Used = 0xFF;
    slot.IdTrack = id[0];
    slot.IdSide = id[1];
    slot.IdSector = id[2];
    slot.IdSize = id[3];
    slot.IdCrc = IdFieldCrc(id[0], id[1], id[2], id[3]);
    disk.RedrawSector(static_cast<std::uint8_t>(t), static_cast<std::uint8_t>(stored));
    ++stored;
  }
  track.Log.push_back("Дорожка просканирована. Найдено " + std::to_string(stored) + " секторов.");
}

// Reads the data of every slot 0 .. CountSectors-1 of track t by its ID,
// with up to RetryCount attempts each.
void ReadStep(TZX_Disk& disk, FloppyDriver& driver, OperationHost& host, DiskOperation& operation, int t) {
  TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
  const int count = track.CountSectors();
  std::vector<std::uint8_t> buffer(kSectorBufferSize);
  for (int i = 0; i < count; ++i) {
    TSectorRec& slot = track.GetSector(static_cast<std::uint8_t>(i));
    ReadWriteBlock block;
    block.flags = kFlagMfm;
    block.head = static_cast<std::uint8_t>(t % 2);
    block.id = {slot.IdTrack, slot.IdSide, slot.IdSector, slot.IdSize};
    block.eot = static_cast<std::uint8_t>(slot.IdSector + 1);
    block.gap = kReadGap;
    block.dtl = kDataLengthAll;

    bool ok = false;
    std::size_t received = 0;
    std::uint32_t code = 0;
    if (!SizeCodeSupported(slot.IdSize)) {
      code = kUnsupportedSizeCode;
    } else {
      for (int attempt = 0; attempt < operation.RetryCount && !ok; ++attempt)
        ok = driver.ReadData(block, buffer, received);
      code = driver.LastError();
    }

    if (!ok) {
      LogBoth(track, host,
              "Ошибка чтения сектора  - " + std::to_string(code) + " (Track - " + std::to_string(t) + " / Sector - " +
                  std::to_string(slot.IdSector) + ")",
              true);
      ++slot.ErrorCount;
      slot.DataOk = 0;
      ++operation.BadSectors;
      continue;
    }

    const int length = SectorLength(slot.IdSize);
    if (received != static_cast<std::size_t>(length)) {
      LogBoth(track, host,
              "Длинна сектора - " + std::to_string(length) + " byte не равна колличеству считанных байтов - " +
                  std::to_string(received),
              true);
    }
    slot.DataLen = static_cast<std::uint16_t>(length);
    slot.DataOk = 0xFF;
    std::memcpy(slot.Data.data(), buffer.data(), static_cast<std::size_t>(length));
    slot.Used = 0xFF;
  }
}

}  // namespace

OperationOutcome RunReadingEngine(TZX_Disk& disk, FloppyDriver& driver, OperationHost& host, DiskOperation& operation) {
  operation.BadSectors = 0;
  if (operation.OpLastTrack > kLastTrackIndex) {
    host.ShowError("Число дорожек превышает 166 ...");
    return OperationOutcome::Failed;
  }
  if (!BeginOperation(driver, host)) return OperationOutcome::Failed;

  for (int t = std::max(operation.OpFirstTrack, 0); t <= operation.OpLastTrack; ++t) {
    if (!SeekTrack(driver, host, t)) return OperationOutcome::Failed;
    host.ShowTrack(t);
    if (CancelSeen(host)) return OperationOutcome::Cancelled;
    if (operation.OpMode & kOpScan) ScanStep(disk, driver, host, t);
    host.ProcessPendingEvents();
    if (CancelSeen(host)) return OperationOutcome::Cancelled;
    if (operation.OpMode & kOpRead) ReadStep(disk, driver, host, operation, t);
    if (CancelSeen(host)) return OperationOutcome::Cancelled;
    host.SetProgress(t + 1);
  }

  LogCompleted(host);
  if (operation.BadSectors > 0) host.AddMainLog("Сбойных секторов - " + std::to_string(operation.BadSectors), true);
  return OperationOutcome::Completed;
}

OperationOutcome RunDiskOperation(TZX_Disk& disk, FloppyDriver& driver, OperationHost& host, DiskOperation& operation) {
  if (operation.OpMode < kOpFormat) return RunReadingEngine(disk, driver, host, operation);
  return RunWritingEngine(disk, driver, host, operation);
}

}  // namespace velloran
