// The sectors of several revolutions of one track merged into the slots of a
// model track: the pieces of the track decoder that work on bytes, not cells.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "common/messages.h"
#include "model/disk.h"

namespace velloran {

// One sector as one revolution shows it.
struct SectorCopy {
  std::uint8_t c = 0, h = 0, r = 0, n = 0;
  std::uint16_t idCrc = 0;  // as read
  bool idOk = false;
  double position = 0;  // where its ID mark lies, as a fraction of the revolution
  bool hasData = false;
  bool dataOk = false;
  bool deleted = false;       // behind a deleted-data mark (F8 or F9)
  std::size_t dataPos = 0;    // first data byte among the revolution's bytes
  Bytes data;                 // the whole field as far as the flux holds it
  std::uint16_t dataCrc = 0;  // as read
};

// The bytes of one revolution as framed from its cells, and its sectors.
struct RevolutionBytes {
  Bytes bytes;             // framed from the index on, running on past the next index
  std::vector<bool> sync;  // bytes written with a missing clock
  std::size_t length = 0;  // bytes that start before the next index
  std::vector<SectorCopy> sectors;
  bool formatted = false;  // an address mark was seen
  int variant = 0;         // the decoding way that gave it (0 = the normal one)
  int revolution = 0;      // which revolution of the capture it is
};

// Where the data of a slot came from.
struct SlotOrigin {
  int variant = -1;     // the decoding way; -1 = the sector has no data field
  int revolution = -1;  // the revolution of the capture
  int attempts = 0;     // revolutions that showed the sector with the normal setting
};

struct MergedTrack {
  int revolutionKept = -1;          // whose raw bytes the track keeps; -1 = none kept
  std::vector<SlotOrigin> origins;  // per used slot, in slot order
};

// Fills `track` from the revolutions (see DecodeFluxTrack); `keepRaw` says
// whether the raw bytes of the best revolution may be kept. Copies decoded
// with the normal setting come first. Adds the notices.
MergedTrack MergeRevolutions(const std::vector<RevolutionBytes>& revolutions, bool keepRaw, TTrack& track,
                             std::vector<Phrase>& notices);

// Whether every sector the revolutions show has a good ID and good data, and
// no sector number is missing between the lowest and highest seen.
bool EverySectorGood(const std::vector<RevolutionBytes>& revolutions);

}  // namespace velloran
