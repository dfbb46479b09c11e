#include "engine/reading_steps.h"

#include <algorithm>
#include <cstring>

#include "engine/messages.h"

namespace velloran {

void LogToTrack(TTrack& track, const Phrase& line) { track.Log.push_back(PhraseText(line)); }

void LogBoth(TTrack& track, OperationHost& host, const Phrase& line, bool selected) {
  LogToTrack(track, line);
  host.AddMainLog(line, selected);
}

Phrase ReadFailedLine(std::uint32_t code, int track, std::uint8_t sector) {
  return {MessageId::SectorReadFailed, {code, TrackSectorPlace(track, sector)}};
}

int ScanStep(TZX_Disk& disk, FloppyDriver& driver, OperationHost& host, int t) {
  TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
  LogToTrack(track, {MessageId::TrackScanStarted});
  host.AddMainLog({MessageId::TrackScanStartedAt, {t}}, false);

  ScanResult result;
  if (!driver.ScanTrack(kFlagMfm, static_cast<std::uint8_t>(t % 2), result)) {
    LogBoth(track, host, {MessageId::TrackScanFailed, {driver.LastError(), TrackPlace(t)}}, true);
    return 0;
  }
  const std::size_t n = std::min(result.byteCount, result.buffer.size());
  LogBoth(track, host, {MessageId::ScanDataReceived, {n}}, false);

  // The headers follow the count byte; the driver's byte count tells how many
  // there are. A track with a single sector is stored like any other; only
  // a scan that found no header leaves the track as it was.
  if (n < 5) return 0;
  std::vector<IdHeader> ids;
  for (std::size_t offset = 1; offset < n - 1 && offset + 4 <= result.buffer.size() && ids.size() < kSlotCount;
       offset += 4) {
    const std::uint8_t* id = &result.buffer[offset];
    ids.push_back({id[0], id[1], id[2], id[3]});
  }
  disk.RedrawTrackLabel(static_cast<std::uint8_t>(t));
  StoreIds(disk, t, ids);
  LogToTrack(track, {MessageId::TrackScanned, {ids.size()}});
  return static_cast<int>(ids.size());
}

void StoreIds(TZX_Disk& disk, int t, const std::vector<IdHeader>& ids) {
  TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
  for (std::size_t i = 0; i < ids.size() && i < kSlotCount; ++i) {
    const IdHeader& id = ids[i];
    track.Present = true;
    TSectorRec& slot = track.GetSector(static_cast<std::uint8_t>(i));
    SetIdField(slot, id.c, id.h, id.r, id.n);
    disk.RedrawSector(static_cast<std::uint8_t>(t), static_cast<std::uint8_t>(i));
  }
}

std::vector<IdHeader> TrackIds(const TTrack& track, int count) {
  std::vector<IdHeader> ids;
  for (int i = 0; i < count && i < kSlotCount; ++i) {
    const TSectorRec& slot = track.Sectors[i];
    ids.push_back({slot.IdTrack, slot.IdSide, slot.IdSector, slot.IdSize});
  }
  return ids;
}

void StoreReadSector(TTrack& track, OperationHost& host, int slot, const std::uint8_t* data, std::size_t received) {
  TSectorRec& sector = track.GetSector(static_cast<std::uint8_t>(slot));
  const int length = SectorLength(sector.IdSize);
  if (received != static_cast<std::size_t>(length)) {
    LogBoth(track, host, {MessageId::SectorLengthMismatch, {length, received}}, true);
  }
  sector.DataLen = static_cast<std::uint16_t>(length);
  sector.DataOk = true;
  std::memcpy(sector.Data.data(), data, static_cast<std::size_t>(length));
  sector.Used = true;
}

void MarkReadFailed(TTrack& track, OperationHost& host, int t, int slot, std::uint32_t code) {
  TSectorRec& sector = track.GetSector(static_cast<std::uint8_t>(slot));
  LogBoth(track, host, ReadFailedLine(code, t, sector.IdSector), true);
  ++sector.ErrorCount;
  sector.DataOk = false;
}

}  // namespace velloran
