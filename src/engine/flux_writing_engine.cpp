// The writing engine of flux drives: each track of the disk in memory is
// encoded into one revolution of flux and written from the index, which
// formats it in the same stroke; an absent track is erased. With Verify set
// the track is read back and every sector compared.
#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/disk_engines.h"
#include "engine/engine_steps.h"
#include "engine/messages.h"
#include "engine/track_pass.h"
#include "flux/track_decoder.h"
#include "flux/track_encoder.h"

namespace velloran {

namespace {

bool SameId(const TSectorRec& a, const TSectorRec& b) {
  return a.IdTrack == b.IdTrack && a.IdSide == b.IdSide && a.IdSector == b.IdSector && a.IdSize == b.IdSize;
}

// The sector numbers of `source` that `written` does not hold as they
// should be: missing, or with other data where the source's data is good.
std::vector<int> Mismatches(const TTrack& source, const TTrack& written) {
  std::vector<int> wrong;
  for (const TSectorRec& sector : source.Sectors) {
    if (!sector.Used) continue;
    const bool match = std::any_of(written.Sectors.begin(), written.Sectors.end(), [&](const TSectorRec& copy) {
      if (!copy.Used || !SameId(copy, sector)) return false;
      if (!sector.DataOk || sector.DataLen == 0) return true;
      return copy.DataOk && copy.DataLen == sector.DataLen &&
             std::memcmp(copy.Data.data(), sector.Data.data(), sector.DataLen) == 0;
    });
    if (!match) wrong.push_back(sector.IdSector);
  }
  return wrong;
}

class FluxWriter {
 public:
  FluxWriter(TZX_Disk& disk, FluxDrive& drive, OperationHost& host, DiskOperation& operation)
      : disk_(disk), drive_(drive), host_(host), operation_(operation) {
    timing_.sampleClock = drive.SampleClock();
  }

  // Writes track t (the heads are on it); false when the drive's failure
  // ends the whole operation (it was shown).
  bool WriteTrack(int t);

 private:
  bool Stopped() {
    if (!drive_.LastErrorStopsOperation()) return false;
    host_.ShowError(drive_.LastFailure());
    return true;
  }
  // Reads the track back into `written`; false when the read failed.
  bool ReadBack(int t, TTrack& written);

  TZX_Disk& disk_;
  FluxDrive& drive_;
  OperationHost& host_;
  DiskOperation& operation_;
  FluxTiming timing_;
};

bool FluxWriter::ReadBack(int t, TTrack& written) {
  FluxTrack flux;
  if (!drive_.ReadFlux(std::max(operation_.FluxRevolutions, 1), flux)) return false;
  written.TrackNum = static_cast<std::uint8_t>(t);
  DecodeFluxTrack(flux, written);
  return true;
}

bool FluxWriter::WriteTrack(int t) {
  TTrack& track = disk_.GetTrack(static_cast<std::uint8_t>(t));
  const Phrase where = TrackPlace(t);
  if (!track.Present) {
    if (drive_.EraseTrack()) return true;
    if (Stopped()) return false;
    host_.AddMainLog({MessageId::TrackEraseFailed, {drive_.LastFailure(), where}}, true);
    ++operation_.FailedTracks;
    return true;
  }
  const int count = track.CountSectors();
  FluxTrack flux;
  if (!EncodeDiskTrack(disk_, static_cast<std::uint8_t>(t), timing_, flux)) {
    host_.AddMainLog({MessageId::TrackBuildFailedAt, {disk_.ErrSector, where}}, true);
    operation_.BadSectors += count;
    return true;
  }
  std::vector<int> wrong;
  bool written = false;
  for (int attempt = 0; attempt < AttemptCount(operation_.RetryCount); ++attempt) {
    written = drive_.WriteFlux(flux);
    if (!written) {
      if (Stopped()) return false;
      continue;
    }
    if (!operation_.Verify) return true;
    TTrack readBack;
    if (!ReadBack(t, readBack)) {
      if (Stopped()) return false;
      wrong = {-1};
      continue;
    }
    wrong = Mismatches(track, readBack);
    if (wrong.empty()) return true;
  }
  if (!written) {
    host_.AddMainLog({MessageId::TrackWriteFailed, {drive_.LastFailure(), where}}, true);
    operation_.BadSectors += count;
  } else if (wrong == std::vector<int>{-1}) {
    host_.AddMainLog({MessageId::TrackVerifyFailed, {drive_.LastFailure(), where}}, true);
    operation_.BadSectors += count;
  } else {
    for (const int sector : wrong)
      host_.AddMainLog({MessageId::SectorVerifyFailed, {TrackSectorPlace(t, sector)}}, true);
    operation_.BadSectors += static_cast<int>(wrong.size());
  }
  return true;
}

}  // namespace

OperationOutcome RunFluxWritingEngine(TZX_Disk& disk, FluxDrive& drive, OperationHost& host, DiskOperation& operation) {
  operation.BadSectors = 0;
  operation.FailedTracks = 0;
  const FluxDriveStopper stopper(drive);
  if (!BeginFluxOperation(drive, host)) return OperationOutcome::Failed;

  FluxWriter writer(disk, drive, host, operation);
  TrackPass pass;
  pass.first = operation.OpFirstTrack;
  pass.last = std::min(operation.OpLastTrack, kLastTrackIndex);
  pass.seek = [&](int t) { return SeekFluxTrack(drive, host, t); };
  pass.failed = [](int) { return OperationOutcome::Failed; };
  pass.cancelBeforeSteps = false;
  pass.steps = {{.run = [&](int t) { return writer.WriteTrack(t); }, .processEvents = true}};
  if (const OperationOutcome outcome = RunTrackPass(host, pass); outcome != OperationOutcome::Completed) return outcome;

  LogCompleted(host);
  LogBadSectors(host, operation);
  return OperationOutcome::Completed;
}

}  // namespace velloran
