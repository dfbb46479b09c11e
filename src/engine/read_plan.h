// The order of requests of the rotation-aware reading. The slots of a track
// lie on it in slot order; a request catches a sector only when the sector's
// ID has not yet passed the head, so the reading asks for the sectors in the
// order they arrive and joins sectors with consecutive numbers into one
// request where the controller can read them in one go.
#pragma once

#include <bitset>
#include <optional>
#include <vector>

#include "drive/floppy_driver.h"
#include "model/disk.h"

namespace velloran {

using SlotSet = std::bitset<kSlotCount>;

// The ID field a slot holds.
inline IdHeader SectorId(const TSectorRec& slot) { return {slot.IdTrack, slot.IdSide, slot.IdSector, slot.IdSize}; }

// Whether the host sends its next request in time for the sector right
// behind the one just read (quick), or only for the one after that (slow).
enum class HostPace { Unknown, Quick, Slow };

// Slots that one request reads, in the order of their sector numbers.
struct PlannedRead {
  std::vector<int> slots;
};

// The first of `count` slots a new request can catch after a request whose
// last sector was slot `last`. Behind the last slot lies the long gap around
// the index, so slot 0 is always in reach after it.
int SlotInReach(int last, int count, HostPace pace);

// The next request over slots 0..count-1 of the track: the first slot of
// `pending` at or after slot `next`, going round, joined by the slots that
// hold the following sector numbers (same cylinder, side and size, each ID
// only once on the track, up to `bufferSize` bytes). A quick host joins only
// neighbours on the track; a slow one, which would miss them anyway, also
// joins numbers further on within the same turn. Slots in `alone` are read
// one by one. Empty when nothing is pending.
std::optional<PlannedRead> PlanNextRead(const TTrack& track, int count, const SlotSet& pending, const SlotSet& alone,
                                        int next, HostPace pace, std::size_t bufferSize);

// The layout of the track read before, guessed for the track now under the
// head from the first ID read on it.
struct GuessedLayout {
  std::vector<IdHeader> ids;  // in the order of the slots
  int slot = 0;               // the slot of the ID that was read
};

// The previous layout fits when its IDs all share one cylinder and one side
// byte and exactly one of them has the number and size of `first`; the
// guess then takes the cylinder and side of `first` for all of them.
std::optional<GuessedLayout> GuessLayout(const std::vector<IdHeader>& previous, const IdHeader& first);

// Whether two tracks hold the same sector numbers and sizes in the same
// order round the track, whichever of them comes first after the index.
// Tracks are often laid out alike but turned against each other (skew).
bool SameRoundTheTrack(const std::vector<IdHeader>& a, const std::vector<IdHeader>& b);

}  // namespace velloran
