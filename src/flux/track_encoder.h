// Encoding a track of the model into flux: its raw MFM bytes become bit cells
// and the cells with a transition become flux intervals, one revolution long
// and starting at the index.
#pragma once

#include <cstdint>

#include "common/bytes.h"
#include "flux/flux_track.h"
#include "model/disk.h"

namespace velloran {

struct FluxTiming {
  double dataRate = 250000;   // data bits per second
  double rpm = 300;           // revolutions per minute
  double sampleClock = 40e6;  // ticks per second of the flux made
  // Every cell the same whole number of ticks, the turn's rest after the last
  // cell: a clean track then has exactly three intervals (2, 3 and 4 cells),
  // which a format storing intervals packs far better. Otherwise the cells
  // share the turn evenly and each transition is rounded to a tick.
  bool wholeTickCells = false;
};

// MFM-encodes `raw` (sync bytes A1 and C2 flagged in `syncMap` lose their
// missing clock bit) into one revolution. A track longer than a revolution
// at this rate is sent a little faster so that all of it fits; a shorter one
// goes on with gap bytes 0x4E up to the index.
FluxTrack EncodeMfmTrack(ByteSpan raw, ByteSpan syncMap, const FluxTiming& timing);

// A track of the disk as flux: the raw track BuildRawTrack lays out for it,
// encoded. An absent track gives an unformatted track (no transitions).
// False (with ErrTrack/ErrSector set) when the track cannot be built.
bool EncodeDiskTrack(TZX_Disk& disk, std::uint8_t track, const FluxTiming& timing, FluxTrack& out);

}  // namespace velloran
