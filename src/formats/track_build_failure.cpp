#include "formats/track_build_failure.h"

#include "model/raw_track.h"

namespace velloran {

Diagnostic TrackBuildFailure(const TZX_Disk& disk, int track, int failedSlot, std::string_view format) {
  const TTrack& built = disk.GetTrack(static_cast<std::uint8_t>(track));
  int sectors = 0;
  int dataBytes = 0;
  for (const auto& sector : built.Sectors) {
    if (!sector.Used) continue;
    ++sectors;
    if (SizeCodeSupported(sector.IdSize)) dataBytes += SectorLength(sector.IdSize);
  }
  const bool ownImage = built.RawValid && built.RawLength > 0;
  if (!ownImage && !StandardGapCuts(sectors, dataBytes)) {
    const int rate = built.DataRate == 0 ? kUsualDataRate : built.DataRate;
    if (rate > kUsualDataRate)
      return {MessageId::TrackRateTooHigh, {format, track, sectors, dataBytes, rate, kRawTrackLength, kUsualDataRate}};
    return {MessageId::TrackTooFull, {format, track, sectors, dataBytes, kRawTrackLength}};
  }
  if (failedSlot >= 0 && failedSlot < kSlotCount)
    return {MessageId::TrackSectorNotPlaced, {format, track, built.Sectors[failedSlot].IdSector}};
  return {MessageId::TrackNotBuilt, {format, track}};
}

bool BuildTrackToWrite(TZX_Disk& disk, int track, std::uint8_t* raw, std::uint8_t* syncMap, std::string_view format) {
  disk.ErrSector = kSlotCount;  // no slot named until the build names one
  if (disk.BuildRawTrack(static_cast<std::uint8_t>(track), raw, syncMap)) return true;
  disk.LastError = TrackBuildFailure(disk, track, disk.ErrSector, format);
  return false;
}

}  // namespace velloran
