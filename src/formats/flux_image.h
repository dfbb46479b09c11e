// What the flux image readers and writers (SCP, MFI, KryoFlux) share: the
// memory limit of a flux disk, decoding it into the disk with its notices,
// and the tracks and revolutions a writer sends.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "flux/flux_disk.h"
#include "formats/save_losses.h"

namespace velloran {

// Counts the transitions a reader adds and refuses more than a flux disk may
// hold, so that no file can make the disk in memory huge.
class FluxBudget {
 public:
  // False once the whole disk would pass kMaxFluxDiskTransitions.
  bool Take(std::size_t transitions);

  // Takes the flux of `track` whole when it fits; otherwise keeps as many of
  // its whole revolutions as fit and records the rest as a loss of the disk.
  // False when not even its first revolution fits.
  bool Fit(FluxTrack& flux, int track, TZX_Disk& disk);

 private:
  std::size_t used_ = 0;
};

inline const Diagnostic kFluxTooLarge{MessageId::FluxTooLarge, {kMaxFluxDiskTransitions / 1'000'000}};

// Decodes the flux into the disk and keeps it beside it. The notices of the
// reader and the decoder become one notice of the disk, the first of them and
// how many more there are (the load succeeds); each
// track's own notices are in its Log.
void FinishFluxLoad(TZX_Disk& disk, std::shared_ptr<FluxDisk> flux, std::vector<Diagnostic> notices);

// The revolutions a flux writer gives every track: the most the disk's
// captured flux holds on any unchanged track (a track read again holds more
// than the rest; the others repeat theirs, so that no revolution is
// dropped), else 1.
int RevolutionsToWrite(const TZX_Disk& disk);

// The flux of a track for a writer (held, or encoded at 250 kbit/s, 300 rpm,
// at `timing`'s sample clock); on failure LastError says why, naming `format`.
bool FluxToWrite(TZX_Disk& disk, int track, const FluxTiming& timing, FluxTrack& out, std::string_view format);

// What a flux image cannot hold: captured flux of an unchanged track is kept
// as it was; any other track is encoded from its built raw track.
SaveLosses SaveLossesFlux(const TZX_Disk& disk, std::string_view format);

}  // namespace velloran
