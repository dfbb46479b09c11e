#include "sim/sim_timing.h"

#include <algorithm>
#include <cstdlib>

namespace velloran {

namespace {

constexpr int kIndexPartBytes = 146;  // gap 4a, sync, index mark, gap 1
constexpr int kBeforeDataBytes = 48;  // ID mark to data: 4 + 4 + 2 + 22 + 12 + 4
constexpr int kSyncBeforeId = 12;
constexpr int kCrcBytes = 2;

// Physical length of a slot's data field.
int FieldLength(const TSectorRec& slot) { return slot.DataLen > 0 ? slot.DataLen : SectorLength(slot.IdSize); }

}  // namespace

std::vector<SectorPlace> LayoutTrack(const TTrack& track, int gap3, const SimulatedTiming& timing) {
  const std::int64_t revolutionBytes = timing.revolutionMicros / timing.byteMicros;
  const bool fromRaw = track.RawValid && track.RawLength > 0;

  std::vector<SectorPlace> places;  // in bytes first
  std::int64_t position = kIndexPartBytes;
  for (const TSectorRec& slot : track.Sectors) {
    if (!slot.Used) continue;
    const int length = FieldLength(slot);
    SectorPlace place;
    if (fromRaw && slot.DataPos > 0) {
      place.idStart = slot.DataPos - kBeforeDataBytes;
      place.dataEnd = slot.DataPos + length + kCrcBytes;
    } else {
      place.idStart = position + kSyncBeforeId;
      place.dataEnd = place.idStart + kBeforeDataBytes + length + kCrcBytes;
    }
    position = place.dataEnd + gap3;
    places.push_back(place);
  }

  // Bytes to microseconds; a layout longer than one turn is squeezed into it.
  std::int64_t layoutBytes = std::max<std::int64_t>(revolutionBytes, fromRaw ? track.RawLength : position);
  for (const SectorPlace& place : places) layoutBytes = std::max(layoutBytes, place.dataEnd);
  for (SectorPlace& place : places) {
    place.idStart = std::max<std::int64_t>(place.idStart, 0) * timing.revolutionMicros / layoutBytes;
    place.dataEnd = place.dataEnd * timing.revolutionMicros / layoutBytes;
  }
  return places;
}

void SimulatedClock::Step(int cylinders) {
  if (cylinders == 0) return;
  now_ += std::abs(cylinders) * timing_.stepMicros + timing_.settleMicros;
}

void SimulatedClock::WaitFor(std::int64_t micros) {
  const std::int64_t revolution = timing_.revolutionMicros;
  const std::int64_t angle = now_ % revolution;
  const std::int64_t target = ((micros % revolution) + revolution) % revolution;
  now_ += (target - angle + revolution) % revolution;
}

}  // namespace velloran
