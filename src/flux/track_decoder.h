// Decoding one flux track into a track of the model: the data rate and the
// encoding (MFM or FM) are found from the flux, every revolution is decoded,
// and each sector takes its best copy.
#pragma once

#include <string>
#include <vector>

#include "common/bytes.h"
#include "common/messages.h"
#include "flux/decode_variants.h"
#include "flux/flux_track.h"
#include "flux/sector_merge.h"
#include "model/disk.h"

namespace velloran {

enum class FluxEncoding { None, MFM, FM };

// Whether a track with a bad or missing sector is decoded again with the
// other settings (Every), or once with the normal one (Normal).
enum class DecodeWays { Normal, Every };

struct DecodeReport {
  FluxEncoding encoding = FluxEncoding::None;  // None: no address mark anywhere (unformatted)
  int dataRate = 0;                            // data bits per second; FM carries half the MFM rate
  int revolutions = 0;                         // revolutions decoded
  int revolutionKept = -1;                     // whose raw bytes the track keeps; -1 = none kept
  int variantsTried = 0;                       // other decoding ways tried (ways.size() - 1)
  std::vector<DecodeWay> ways;                 // every way decoded, the normal one first; origins' variant indexes it
  std::vector<SlotOrigin> origins;             // where each used slot's data came from
  Bytes syncMap;                               // of the raw bytes kept, one bit per byte as UDI stores it
  std::vector<Phrase> notices;                 // sectors that differ between revolutions or stay bad
  std::vector<Phrase> otherWays;               // of the notices: the sectors other settings read
};

// The share (0 to 1) of the track's first intervals that lie 2, 3 or 4 MFM
// cells apart at the data rate that fits best: near 1 when the sample clock
// is right, far lower when the flux is counted at a wrong speed.
double RateFit(const FluxTrack& flux);

// What decoding finds on each revolution before the copies are merged: the
// encoding, the rate, the measured cell and every revolution's bytes with
// its sectors (their places as fractions of the revolution).
struct TrackLayout {
  FluxEncoding encoding = FluxEncoding::None;  // None: no rate fits, or no address mark anywhere
  int dataRate = 0;                            // data bits per second; FM carries half the MFM rate
  double cellTicks = 0;                        // the MFM cell at the rate found, as measured; 0 when none fits
  std::vector<RevolutionBytes> revolutions;    // one per revolution (the whole capture when it has no index)
};
TrackLayout DecodeTrackLayout(const FluxTrack& flux);

// The sectors of a raw MFM track (bytes as the model keeps them) found as in
// flux: a run of three A1 bytes before a mark counts as sync. One revolution;
// the encoding stays None when no address mark is found, the rate is unknown (0).
TrackLayout RawTrackLayout(ByteSpan raw);

// The other way that read the data of used slot `slot`, in English words as
// reports keep them; empty when the normal way did, or the slot has no data.
std::string SlotWayName(const DecodeReport& report, std::size_t slot);

// Decodes `flux` into `track`, which is emptied first (TrackNum stays).
// Sectors come in the order they pass the head. While a sector is bad or
// missing, the flux is decoded again with the other settings of
// DecodeVariants, then at the other data rates (a clean track is decoded
// once); at another rate only IDs with a good CRC count, and its other
// settings are tried only where its normal one finds a sector. Each sector takes the first
// copy whose data CRC is good, over the revolutions and settings; where none
// is, the copy seen most often with the normal setting, marked bad, and the
// other distinct copies of the normal setting as further copies (a weak
// sector). Good copies that differ are all kept (a conflict). The raw bytes and sync map of the revolution that decoded
// best are kept when it is MFM and fits the model (RawValid set); good sector data taken from another revolution is
// written into them. Notices also go to the track's Log, in the language of the moment (the Log is kept with the disk).
DecodeReport DecodeFluxTrack(const FluxTrack& flux, TTrack& track, DecodeWays ways = DecodeWays::Every);

}  // namespace velloran
