#include "formats/flux_image.h"

#include <algorithm>

#include "formats/image_file.h"
#include "formats/track_build_failure.h"

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
  disk.Losses.push_back({LossKind::FluxCut,
                         track,
                         -1,
                         {MessageId::LossFluxCut, {revolutions - kept, revolutions, kMaxFluxDiskTransitions}}});
  return Take(flux.intervals.size());
}

namespace {

// Decoded tracks with sectors whose raw bytes the model could not take.
int TracksWithoutRaw(TZX_Disk& disk) {
  int count = 0;
  for (TTrack& track : disk.Tracks)
    if (track.Present && !track.RawValid && track.CountSectors() > 0) ++count;
  return count;
}

}  // namespace

void FinishFluxLoad(TZX_Disk& disk, std::shared_ptr<FluxDisk> flux, std::vector<Diagnostic> notices) {
  // The decoder's notes are put into words as it goes: they are the tracks' logs too.
  const std::vector<Phrase> decoded = DecodeFluxDisk(disk, std::move(flux));
  if (const int withoutRaw = TracksWithoutRaw(disk); withoutRaw > 0)
    notices.push_back({{MessageId::FluxTracksWithoutRaw, {withoutRaw, kRawCapacity}}, Severity::Info});
  for (const Phrase& line : decoded) notices.push_back({line, Severity::Warning});
  if (notices.empty()) return;
  Diagnostic notice = notices.front();
  if (notices.size() > 1)
    notice = {{MessageId::MoreNotesInLogs, {PlacedPhrase(notice), notices.size() - 1}}, notice.severity};
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

bool FluxToWrite(TZX_Disk& disk, int track, const FluxTiming& timing, FluxTrack& out, std::string_view format) {
  disk.ErrSector = kSlotCount;  // no slot named until the build names one
  if (TrackFlux(disk, static_cast<std::uint8_t>(track), timing, out)) {
    if (out.sampleClock != timing.sampleClock) out = Resampled(out, timing.sampleClock);
    return true;
  }
  return Fail(disk, TrackBuildFailure(disk, track, disk.ErrSector, format));
}

SaveLosses SaveLossesFlux(const TZX_Disk& disk, std::string_view format) {
  SaveLosses losses = BuiltTrackLosses(disk, format, kRawTrackLength);
  std::erase_if(losses, [&disk](const SaveLoss& loss) {
    return HeldFlux(disk, static_cast<std::uint8_t>(loss.track)) != nullptr;
  });
  return losses;
}

}  // namespace velloran
