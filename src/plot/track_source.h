// What the plots of one track are drawn from: the flux the disk keeps for it
// (a flux image or a flux drive's read) with what decoding finds in each
// revolution, or for a track without flux the sector layout of its raw track.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "flux/flux_track.h"
#include "flux/track_decoder.h"
#include "model/disk.h"
#include "plot/tiles.h"

namespace velloran {

enum class TrackSourceKind {
  Flux,        // the track's captured flux
  RawTrack,    // no flux; the sectors where the raw track holds them
  NoRawTrack,  // a present track with neither flux nor a raw track
  Absent,      // not part of the image
};

struct TrackSource {
  std::uint8_t track = 0;
  TrackSourceKind kind = TrackSourceKind::Absent;
  std::shared_ptr<const DiskCapture> capture;  // keeps `flux` alive
  const FluxTrack* flux = nullptr;             // for Flux
  TrackLayout layout;                          // decoded from the flux, or read from the raw track
};

// The flux of a track is taken as captured even after the track was edited:
// the sectors drawn over it are those decoded from the flux itself.
TrackSource PrepareTrackSource(const TZX_Disk& disk, std::uint8_t track);

// The ticks of one revolution of a capture.
struct TickSpan {
  std::uint64_t begin = 0, end = 0;
};

// Index to index; a capture with fewer than two index pulses is one span from
// its start to its last transition (`indexed` false: positions are times).
struct RevolutionSpans {
  std::vector<TickSpan> spans;
  bool indexed = false;
};
RevolutionSpans SpansOf(const FluxTrack& flux);

// Where a sector's ID or data field passes the head, as fractions of its
// revolution (a field running past the index ends at 1), and its state in the
// map's terms: good, bad (CRC error), or an ID without data.
enum class FieldKind { Id, Data };
struct FieldBand {
  int revolution = 0;
  FieldKind kind = FieldKind::Id;
  double start = 0, end = 0;
  Tile tile = Tile::SectorGood;
  std::uint8_t c = 0, h = 0, r = 0, n = 0;
};
std::vector<FieldBand> FieldBands(const TrackLayout& layout);

}  // namespace velloran
