// Flux made harder on purpose, the way worn disks and drives make it: tracks
// of the model encoded to flux, then jitter, speed drift, peak shift, write
// splices and dropouts laid over them.
#pragma once

#include "flux/flux_track.h"
#include "flux/track_encoder.h"
#include "model/disk.h"

namespace velloran {

constexpr int kTrdosSectors = 16;
constexpr int kTrdosSectorBytes = 256;

// The first `tracks` tracks of a TR-DOS image of the corpus (tests/data/corpus/trd):
// 16 sectors of 256 bytes, numbered 1..16 in order.
TZX_Disk TrdosImage(const char* name, int tracks);

FluxTrack EncodedTrack(TZX_Disk& disk, int t, const FluxTiming& timing = {});

// Revolutions of one flux joined into one capture, as a drive reads them.
FluxTrack Repeated(const FluxTrack& one, int times);

// Every transition moved: intervals scaled by up to ±`jitter`, and the speed
// swinging by ±`drift` `swings` times over the capture. With `shift`, each
// transition is moved instead by up to ±`jitter` of the 2 µs cell, the
// intervals around it changing in opposite ways (peak shift).
FluxTrack Disturbed(const FluxTrack& clean, double jitter, double drift, unsigned seed, bool shift = false,
                    int swings = 1);

// No transitions for `length` ticks from `at` (a fraction of the revolution).
void DropOut(FluxTrack& flux, int revolution, double at, double length);

// A write splice at `at` (a fraction of each revolution): the flux after it
// is `cells` cells later than the flux before, as where a sector was
// rewritten by a drive turning at another phase.
void Splice(FluxTrack& flux, double at, double cells);

// One revolution as long as `first` holding `first` up to `at` (a fraction of
// it) and from the same byte on `second`, the same track encoded at another
// rate whose cell is `ratio` times first's: a track reformatted at another
// data rate, the format stopped there, the rest left from the old one.
FluxTrack Reformatted(const FluxTrack& first, const FluxTrack& second, double at, double ratio);

}  // namespace velloran
