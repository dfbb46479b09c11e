#include "formats/flux_image.h"

#include <algorithm>

namespace velloran {

bool FluxBudget::Take(std::size_t transitions) {
  used_ += transitions;
  return used_ <= kMaxFluxDiskTransitions;
}

namespace {

// Decoded tracks with sectors whose raw bytes the model could not take.
int TracksWithoutRaw(TZX_Disk& disk) {
  int count = 0;
  for (TTrack& track : disk.Tracks)
    if (track.Present != 0 && track.RawValid == 0 && track.CountSectors() > 0) ++count;
  return count;
}

}  // namespace

void FinishFluxLoad(TZX_Disk& disk, std::shared_ptr<FluxDisk> flux, std::vector<std::string> notices) {
  const std::vector<std::string> decoded = DecodeFluxDisk(disk, std::move(flux));
  if (const int withoutRaw = TracksWithoutRaw(disk); withoutRaw > 0)
    notices.push_back(std::to_string(withoutRaw) +
                      " tracks keep their sectors but not their raw track: FM, or longer than the " +
                      std::to_string(kRawCapacity) + " bytes the program holds (high density)");
  notices.insert(notices.end(), decoded.begin(), decoded.end());
  if (notices.empty()) return;
  std::string notice = notices.front();
  if (notices.size() > 1) notice += " (and " + std::to_string(notices.size() - 1) + " more notes in the track logs)";
  disk.Notices.push_back(std::move(notice));
}

int RevolutionsToWrite(const TZX_Disk& disk) {
  int revolutions = 0;
  for (int t = 0; t < kTrackCount; ++t) {
    const FluxTrack* held = HeldFlux(disk, static_cast<std::uint8_t>(t));
    if (held == nullptr || held->Unformatted()) continue;
    revolutions = std::max(revolutions, held->Revolutions());
  }
  return std::max(revolutions, 1);
}

bool FluxToWrite(TZX_Disk& disk, int track, const FluxTiming& timing, FluxTrack& out) {
  disk.ErrSector = 0;
  if (TrackFlux(disk, static_cast<std::uint8_t>(track), timing, out)) {
    if (out.sampleClock != timing.sampleClock) out = Resampled(out, timing.sampleClock);
    return true;
  }
  disk.ErrTrack = static_cast<std::uint8_t>(track);
  disk.LastError = "Cannot build track " + std::to_string(track) + ", sector " + std::to_string(disk.ErrSector);
  return false;
}

SaveLosses SaveLossesFlux(const TZX_Disk& disk, std::string_view format) {
  SaveLosses losses = BuiltTrackLosses(disk, format, kRawTrackLength);
  std::erase_if(losses, [&disk](const SaveLoss& loss) {
    return HeldFlux(disk, static_cast<std::uint8_t>(loss.track)) != nullptr;
  });
  return losses;
}

}  // namespace velloran
