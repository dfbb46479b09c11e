// The reading engine of flux drives: each track's flux is read (several
// revolutions at once) and decoded; tracks with bad sectors are read again
// after the pass, and a sector that reads good on a later read takes that
// copy. Everything the drive gave is kept as the disk's flux capture.
#include <algorithm>
#include <bitset>
#include <memory>

#include "common/messages.h"
#include "engine/disk_engines.h"
#include "engine/engine_steps.h"
#include "engine/messages.h"
#include "engine/reading_steps.h"
#include "engine/track_pass.h"
#include "flux/flux_disk.h"
#include "flux/track_decoder.h"

namespace velloran {

namespace {

// The code logged for a sector without a good data field (a CRC error, as
// the controller drives report it).
constexpr std::uint32_t kCrcErrorCode = 23;

using SlotSet = std::bitset<kSlotCount>;

bool SameId(const TSectorRec& a, const TSectorRec& b) {
  return a.IdTrack == b.IdTrack && a.IdSide == b.IdSide && a.IdSector == b.IdSector && a.IdSize == b.IdSize;
}

// A re-read that found a weak sector bad again: its copies (bounded by the
// slot) join those of the earlier reads.
void KeepBadCopies(TSectorRec& slot, const TTrack& decoded) {
  for (const TSectorRec& copy : decoded.Sectors) {
    if (!copy.Used || copy.DataLen == 0 || !SameId(copy, slot)) continue;
    AddDataCopy(slot, {false, Bytes(copy.Data.begin(), copy.Data.begin() + copy.DataLen)});
    for (const DataCopy& further : copy.ExtraCopies) AddDataCopy(slot, further);
    return;
  }
}

class FluxReader {
 public:
  FluxReader(TZX_Disk& disk, FluxDrive& drive, OperationHost& host, DiskOperation& operation)
      : disk_(disk), drive_(drive), host_(host), operation_(operation), capture_(std::make_shared<FluxDisk>()) {}

  // Reads track t once (the heads are on it). False when the drive's failure
  // ends the whole operation (it was shown).
  bool ReadTrack(int t, int pass);
  // The passes of re-reads; Failed when the drive stopped them.
  OperationOutcome Reread();
  // Names what stayed bad and hands the capture to the disk.
  void Finish();

 private:
  TTrack& Track(int t) { return disk_.GetTrack(static_cast<std::uint8_t>(t)); }
  // Adds the read's revolutions to the track's capture; returns how many the
  // capture held before them, or -1 when there was no room for them.
  int Keep(int t, const FluxTrack& flux);
  void TakeWholeTrack(int t, TTrack& decoded, const DecodeReport& report, int firstRevolution);
  void TakeGoodSectors(int t, const TTrack& decoded, const DecodeReport& report, int firstRevolution, int pass);
  // Notes which revolution of the capture slot `slot` took its data from.
  void NoteRevolution(int t, int slot, const DecodeReport& report, int decodedSlot, int firstRevolution);
  void Redraw(int t);
  // Steps to a neighbouring cylinder before a re-read, so that the head comes
  // back onto the track afresh.
  bool ReseatHead(int t);

  TZX_Disk& disk_;
  FluxDrive& drive_;
  OperationHost& host_;
  DiskOperation& operation_;
  std::shared_ptr<FluxDisk> capture_;
  std::size_t captured_ = 0;  // transitions kept in the capture
  std::array<SlotSet, kTrackCount> failed_{};
  std::array<bool, kTrackCount> unread_{};
};

bool FluxReader::ReadTrack(int t, int pass) {
  FluxTrack flux;
  // One turn finds a clean track whole; more are read where it did not, or
  // where the flux is to be kept.
  const int revolutions = pass == 1 && !operation_.KeepFlux ? 1 : operation_.FluxRevolutions;
  if (!drive_.ReadFlux(revolutions, flux)) {
    if (drive_.LastErrorStopsOperation()) {
      host_.ShowError(drive_.LastFailure());
      return false;
    }
    const Phrase line{MessageId::TrackReadFailed, {drive_.LastFailure(), TrackPlace(t)}};
    if (pass == 1) {
      LogBoth(Track(t), host_, line, true);
      unread_[t] = true;
      ++operation_.FailedTracks;
    } else {
      LogToTrack(Track(t), line);
    }
    return true;
  }
  const int firstRevolution = Keep(t, flux);
  TTrack decoded;
  decoded.TrackNum = static_cast<std::uint8_t>(t);
  const DecodeReport report = DecodeFluxTrack(flux, decoded);
  for (const Phrase& line : report.otherWays) host_.AddMainLog(line, false);
  if (pass == 1 || unread_[t]) {
    if (unread_[t]) {
      unread_[t] = false;
      --operation_.FailedTracks;
      LogBoth(Track(t), host_, {MessageId::TrackReadOnReread, {pass, TrackPlace(t)}}, true);
    }
    TakeWholeTrack(t, decoded, report, firstRevolution);
  } else {
    TakeGoodSectors(t, decoded, report, firstRevolution, pass);
  }
  Redraw(t);
  return true;
}

// The first read of a track: the decoded track replaces it; its bad sectors
// are logged and counted.
void FluxReader::TakeWholeTrack(int t, TTrack& decoded, const DecodeReport& report, int firstRevolution) {
  for (int i = 0; i < kSlotCount; ++i) NoteRevolution(t, i, report, i, firstRevolution);
  TTrack& track = Track(t);
  std::vector<std::string> log = std::move(track.Log);
  log.insert(log.end(), decoded.Log.begin(), decoded.Log.end());
  track = std::move(decoded);
  track.Log = std::move(log);
  for (int i = 0; i < kSlotCount; ++i) {
    if (!track.Sectors[i].Used || track.Sectors[i].DataOk) continue;
    MarkReadFailed(track, host_, t, i, kCrcErrorCode);
    failed_[t].set(static_cast<std::size_t>(i));
    ++operation_.BadSectors;
  }
}

// A re-read: each failed sector takes the first good copy this read holds.
void FluxReader::TakeGoodSectors(int t, const TTrack& decoded, const DecodeReport& report, int firstRevolution,
                                 int pass) {
  TTrack& track = Track(t);
  bool changed = false;
  for (int i = 0; i < kSlotCount; ++i) {
    if (!failed_[t].test(static_cast<std::size_t>(i))) continue;
    TSectorRec& slot = track.Sectors[i];
    const auto good = std::find_if(decoded.Sectors.begin(), decoded.Sectors.end(), [&](const TSectorRec& copy) {
      return copy.Used && copy.DataOk && copy.DataLen > 0 && SameId(copy, slot);
    });
    if (good == decoded.Sectors.end()) {
      LogToTrack(track, ReadFailedLine(kCrcErrorCode, t, slot.IdSector));
      KeepBadCopies(slot, decoded);
      continue;
    }
    NoteRevolution(t, i, report, static_cast<int>(good - decoded.Sectors.begin()), firstRevolution);
    slot.Data = good->Data;
    slot.DataLen = good->DataLen;
    slot.DataOk = true;
    slot.ExtraCopies.clear();  // copies of a weak sector stand for bad reads only
    changed = true;
    failed_[t].reset(static_cast<std::size_t>(i));
    --operation_.BadSectors;
    ++operation_.RecoveredSectors;
    LogBoth(track, host_, {MessageId::SectorReadOnReread, {pass, TrackSectorPlace(t, slot.IdSector)}}, true);
  }
  if (changed && track.RawValid) track.SectorsToRaw();
}

void FluxReader::Redraw(int t) {
  disk_.RedrawTrackLabel(static_cast<std::uint8_t>(t));
  for (int i = 0; i < kSlotCount; ++i) disk_.RedrawSector(static_cast<std::uint8_t>(t), static_cast<std::uint8_t>(i));
}

// Every whole revolution read is added to the track's capture, within the
// memory a flux disk may take.
int FluxReader::Keep(int t, const FluxTrack& flux) {
  if (captured_ + flux.intervals.size() > kMaxFluxDiskTransitions) return -1;
  auto& held = capture_->tracks[static_cast<std::size_t>(t)];
  if (!held) {
    held = FluxDisk::HeldTrack{};
    held->flux.sampleClock = flux.sampleClock;
  }
  const int before = held->flux.Revolutions();
  for (int r = 0; r < flux.Revolutions(); ++r) {
    const std::vector<std::uint32_t> intervals = RevolutionIntervals(flux, r);
    captured_ += intervals.size();
    AppendRevolution(held->flux, intervals, flux.indexTimes[r + 1] - flux.indexTimes[r]);
  }
  return before;
}

void FluxReader::NoteRevolution(int t, int slot, const DecodeReport& report, int decodedSlot, int firstRevolution) {
  auto& held = capture_->tracks[static_cast<std::size_t>(t)];
  if (!held) return;
  const int revolution =
      decodedSlot < static_cast<int>(report.origins.size()) ? report.origins[decodedSlot].revolution : -1;
  held->sectorRevolutions[slot] = firstRevolution >= 0 && revolution >= 0 ? firstRevolution + revolution : -1;
  held->sectorWays[static_cast<std::size_t>(slot)] = SlotWayName(report, static_cast<std::size_t>(decodedSlot));
}

bool FluxReader::ReseatHead(int t) {
  const int cylinder = t / 2;
  return SeekFluxTrack(drive_, host_, 2 * (cylinder > 0 ? cylinder - 1 : cylinder + 1) + t % 2);
}

OperationOutcome FluxReader::Reread() {
  for (int attempt = 2; attempt <= AttemptCount(operation_.RetryCount); ++attempt) {
    if (operation_.BadSectors <= 0 && operation_.FailedTracks <= 0) break;
    host_.AddMainLog({MessageId::RereadingBadSectors, {attempt}}, true);
    TrackPass pass;
    pass.first = operation_.OpFirstTrack;
    pass.last = operation_.OpLastTrack;
    pass.showProgress = false;
    pass.wanted = [&](int t) { return failed_[t].any() || unread_[t]; };
    pass.seek = [&](int t) { return ReseatHead(t) && SeekFluxTrack(drive_, host_, t); };
    pass.failed = [&](int) {
      operation_.UnreadFrom = operation_.OpLastTrack + 1;  // every track was read once
      return OperationOutcome::Failed;
    };
    pass.steps = {{.run = [&](int t) { return ReadTrack(t, attempt); }, .processEvents = true}};
    if (const OperationOutcome outcome = RunTrackPass(host_, pass); outcome != OperationOutcome::Completed)
      return outcome;
  }
  return OperationOutcome::Completed;
}

void FluxReader::Finish() {
  for (int t = 0; t < kTrackCount; ++t) {
    if (unread_[t]) host_.AddMainLog({MessageId::TrackNotRead, {t}}, true);
    for (int i = 0; i < kSlotCount; ++i)
      if (failed_[t].test(static_cast<std::size_t>(i)))
        host_.AddMainLog({MessageId::SectorNotRead, {TrackSectorPlace(t, Track(t).Sectors[i].IdSector)}}, true);
    if (auto& held = capture_->tracks[static_cast<std::size_t>(t)]) held->fingerprint = TrackFingerprint(Track(t));
  }
  if (captured_ == 0) return;
  disk_.Capture = capture_;
  // Read for speed, a clean track is captured in one turn: whoever saves the
  // capture as a flux image should know it.
  int tracks = 0;
  int singleTurn = 0;
  for (const auto& held : capture_->tracks) {
    tracks += held.has_value();
    singleTurn += held && held->flux.Revolutions() == 1;
  }
  if (!operation_.KeepFlux && singleTurn > 0)
    host_.AddMainLog({MessageId::FluxKeptOneTurn, {singleTurn, tracks}}, true);
}

}  // namespace

OperationOutcome RunFluxReadingEngine(TZX_Disk& disk, FluxDrive& drive, OperationHost& host, DiskOperation& operation) {
  operation.BadSectors = 0;
  operation.RecoveredSectors = 0;
  operation.FailedTracks = 0;
  operation.UnreadFrom = -1;
  if (operation.OpLastTrack > kLastTrackIndex) {
    host.ShowError({MessageId::OperationTooManyTracks});
    return OperationOutcome::Failed;
  }
  const FluxDriveStopper stopper(drive);
  if (!BeginFluxOperation(drive, host)) return OperationOutcome::Failed;

  FluxReader reader(disk, drive, host, operation);
  TrackPass pass;
  pass.first = operation.OpFirstTrack;
  pass.last = operation.OpLastTrack;
  pass.seek = [&](int t) { return SeekFluxTrack(drive, host, t); };
  pass.failed = [&](int t) {
    reader.Finish();
    return StopReadingAt(host, operation, t);
  };
  pass.steps = {{.run = [&](int t) { return reader.ReadTrack(t, 1); }, .processEvents = true}};
  if (const OperationOutcome outcome = RunTrackPass(host, pass); outcome != OperationOutcome::Completed) {
    // A cancelled reading keeps the flux of the tracks it read.
    if (outcome == OperationOutcome::Cancelled) reader.Finish();
    return outcome;
  }
  const OperationOutcome rereads = reader.Reread();
  reader.Finish();
  if (rereads != OperationOutcome::Completed) return rereads;

  LogReadingSummary(host, operation);
  return OperationOutcome::Completed;
}

}  // namespace velloran
