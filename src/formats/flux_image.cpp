#include "formats/flux_image.h"

#include <algorithm>

namespace velloran {

bool FluxBudget::Take(std::size_t transitions) {
  used_ += transitions;
  return used_ <= kMaxFluxDiskTransitions;
}

namespace {

// The transitions of `flux` up to the end of its revolution `revolutions`.
std::size_t TransitionsThrough(const FluxTrack& flux, int revolutions) {
  const std::uint64_t end = flux.indexTimes[static_cast<std::size_t>(revolutions)];
  std::uint64_t time = 0;
  std::size_t count = 0;
  while (count < flux.intervals.size() && time + flux.intervals[count] <= end) time += flux.intervals[count++];
  return count;
}

}  // namespace

bool FluxBudget::Fit(FluxTrack& flux, int track, TZX_Disk& disk) {
  const std::size_t room = used_ < kMaxFluxDiskTransitions ? kMaxFluxDiskTransitions - used_ : 0;
  if (flux.intervals.size() <= room) return Take(flux.intervals.size());
  const int revolutions = flux.Revolutions();
  int kept = revolutions;
  while (kept > 0 && TransitionsThrough(flux, kept) > room) --kept;
  if (kept == 0) return false;
  flux.intervals.resize(TransitionsThrough(flux, kept));
  flux.indexTimes.resize(static_cast<std::size_t>(kept) + 1);
  disk.Losses.push_back({LossKind::FluxCut, track, -1,
                         "оборотов " + std::to_string(revolutions - kept) + " из " + std::to_string(revolutions) +
                             " не поместились в память (не больше " + std::to_string(kMaxFluxDiskTransitions) +
                             " переходов на диск)"});
  return Take(flux.intervals.size());
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
