// A whole disk of flux, kept beside the decoded disk: writers of flux images
// pass on a track's captured flux, every revolution of it, as long as the
// track still holds what was decoded from it; a changed track is encoded anew.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/messages.h"
#include "flux/flux_track.h"
#include "flux/track_encoder.h"
#include "model/disk.h"

namespace velloran {

// Transitions a flux disk may hold in all (4 bytes each: under 200 MB).
inline constexpr std::size_t kMaxFluxDiskTransitions = 48'000'000;

class FluxDisk : public DiskCapture {
 public:
  struct HeldTrack {
    FluxTrack flux;
    std::uint64_t fingerprint = 0;  // of the model track as decoded from it
    // Per slot, the revolution of `flux` whose copy the slot's data is; -1 where unknown.
    std::array<int, kSlotCount> sectorRevolutions = UnknownRevolutions();
    // Per slot, the other decoding way that read its data, in words; empty
    // where the normal way did, or where unknown.
    std::array<std::string, kSlotCount> sectorWays{};

    static std::array<int, kSlotCount> UnknownRevolutions() {
      std::array<int, kSlotCount> unknown{};
      unknown.fill(-1);
      return unknown;
    }
  };
  std::array<std::optional<HeldTrack>, kTrackCount> tracks;
};

// A digest of what a model track holds: presence, sectors and raw bytes.
std::uint64_t TrackFingerprint(const TTrack& track);

// Decodes every track of `flux` (absent entries stay absent) into `disk`,
// which is cleared first, and keeps the flux beside it. Returns the notices
// of all tracks (sectors that differ between revolutions or stay bad).
std::vector<Phrase> DecodeFluxDisk(TZX_Disk& disk, std::shared_ptr<FluxDisk> flux);

// The flux held for a track while the track is unchanged since it was
// decoded, else nothing.
const FluxTrack* HeldFlux(const TZX_Disk& disk, std::uint8_t track);

// The revolution of the held flux whose copy slot `slot` of `track` holds,
// while the track is unchanged since it was decoded; else -1.
int SectorRevolution(const TZX_Disk& disk, std::uint8_t track, int slot);

// The other decoding way that read the data slot `slot` of `track` holds
// (see WayName), while the track is unchanged since it was decoded; empty
// where the normal way did, or where unknown.
std::string SectorWay(const TZX_Disk& disk, std::uint8_t track, int slot);

// The flux to write for a track: the held flux, or the track encoded with
// `timing` (one revolution). False when the track cannot be built.
bool TrackFlux(TZX_Disk& disk, std::uint8_t track, const FluxTiming& timing, FluxTrack& out);

}  // namespace velloran
