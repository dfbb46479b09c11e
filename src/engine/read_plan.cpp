#include "engine/read_plan.h"

namespace velloran {

namespace {

// Whether no other of the first `count` slots carries the same ID: only then
// does the controller find this very sector by it.
bool UniqueId(const TTrack& track, int count, int slot) {
  const IdHeader id = SectorId(track.Sectors[slot]);
  for (int i = 0; i < count; ++i)
    if (i != slot && SectorId(track.Sectors[i]) == id) return false;
  return true;
}

// Whether `slot` may join a request behind `last`: the next sector number
// with the same cylinder, side and size, still pending, and found by its ID.
bool Follows(const TTrack& track, int count, int last, int slot, const SlotSet& pending, const SlotSet& alone) {
  const IdHeader a = SectorId(track.Sectors[last]);
  const IdHeader b = SectorId(track.Sectors[slot]);
  return pending[slot] && !alone[slot] && b.c == a.c && b.h == a.h && b.n == a.n && b.r == a.r + 1 &&
         UniqueId(track, count, slot);
}

}  // namespace

int SlotInReach(int last, int count, HostPace pace) {
  const int reach = last + (pace == HostPace::Slow ? 2 : 1);
  return reach >= count ? 0 : reach;
}

std::optional<PlannedRead> PlanNextRead(const TTrack& track, int count, const SlotSet& pending, const SlotSet& alone,
                                        int next, HostPace pace, std::size_t bufferSize) {
  count = std::min(count, kSlotCount);
  if (count <= 0) return std::nullopt;
  PlannedRead plan;
  for (int k = 0; k < count && plan.slots.empty(); ++k) {
    const int slot = ((next % count + count) % count + k) % count;
    if (pending[slot]) plan.slots.push_back(slot);
  }
  if (plan.slots.empty()) return std::nullopt;

  const int first = plan.slots.front();
  const std::uint8_t size = track.Sectors[first].IdSize;
  if (alone[first] || !SizeCodeSupported(size) || !UniqueId(track, count, first)) return plan;
  const std::size_t length = static_cast<std::size_t>(SectorLength(size));
  while ((plan.slots.size() + 1) * length <= bufferSize) {
    const int last = plan.slots.back();
    // EOT, one past the last number, must still fit its byte.
    if (track.Sectors[last].IdSector >= 254) break;
    int joined = -1;
    if (pace == HostPace::Slow) {
      for (int slot = last + 1; slot < count && joined < 0; ++slot)
        if (Follows(track, count, last, slot, pending, alone)) joined = slot;
    } else if (last + 1 < count && Follows(track, count, last, last + 1, pending, alone)) {
      joined = last + 1;
    }
    if (joined < 0) break;
    plan.slots.push_back(joined);
  }
  return plan;
}

std::optional<GuessedLayout> GuessLayout(const std::vector<IdHeader>& previous, const IdHeader& first) {
  if (previous.empty()) return std::nullopt;
  GuessedLayout guess;
  int matches = 0;
  for (std::size_t i = 0; i < previous.size(); ++i) {
    const IdHeader& id = previous[i];
    if (id.c != previous[0].c || id.h != previous[0].h) return std::nullopt;
    if (id.r == first.r && id.n == first.n) {
      ++matches;
      guess.slot = static_cast<int>(i);
    }
    guess.ids.push_back({first.c, first.h, id.r, id.n});
  }
  if (matches != 1) return std::nullopt;
  return guess;
}

bool SameRoundTheTrack(const std::vector<IdHeader>& a, const std::vector<IdHeader>& b) {
  if (a.size() != b.size()) return false;
  const std::size_t n = a.size();
  if (n == 0) return true;
  for (std::size_t turn = 0; turn < n; ++turn) {
    bool same = true;
    for (std::size_t i = 0; i < n && same; ++i) {
      const IdHeader& x = a[i];
      const IdHeader& y = b[(i + turn) % n];
      same = x.r == y.r && x.n == y.n;
    }
    if (same) return true;
  }
  return false;
}

}  // namespace velloran
