#include "flux/sector_merge.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace velloran {

namespace {

// A damaged ID this close to a good one (as a fraction of a turn) is that
// sector seen badly, not a sector of its own.
constexpr double kSamePlace = 0.015;

// The copies of one sector over the revolutions.
struct Group {
  std::vector<std::pair<int, const SectorCopy*>> copies;  // revolution and copy, in revolution order
  double position = 0;
  bool idOk = false;
  int repetition = 0;  // for a good ID: which of the equal IDs of a revolution it is

  const SectorCopy* In(int revolution) const {
    for (const auto& [r, copy] : copies)
      if (r == revolution) return copy;
    return nullptr;
  }
};

bool SameId(const SectorCopy& a, const SectorCopy& b) { return a.c == b.c && a.h == b.h && a.r == b.r && a.n == b.n; }

double Distance(double a, double b) {
  const double d = std::fabs(a - b);
  return std::min(d, 1 - d);
}

// Good IDs are matched by their value and how often it came before on the
// same revolution (a track may repeat an ID); damaged ones by their place.
std::vector<Group> GroupCopies(const std::vector<RevolutionBytes>& revolutions) {
  std::vector<Group> groups;
  for (int r = 0; r < static_cast<int>(revolutions.size()); ++r) {
    std::map<std::uint32_t, int> seen;  // ID -> times met on this revolution
    for (const SectorCopy& copy : revolutions[r].sectors) {
      if (!copy.idOk) continue;
      const std::uint32_t id = static_cast<std::uint32_t>(copy.c << 24 | copy.h << 16 | copy.r << 8 | copy.n);
      const int repetition = seen[id]++;
      auto match = std::find_if(groups.begin(), groups.end(), [&](const Group& group) {
        return group.idOk && group.repetition == repetition && SameId(*group.copies.front().second, copy);
      });
      if (match == groups.end())
        groups.push_back({{{r, &copy}}, copy.position, true, repetition});
      else if (match->In(r) == nullptr)
        match->copies.emplace_back(r, &copy);
    }
  }
  for (int r = 0; r < static_cast<int>(revolutions.size()); ++r) {
    for (const SectorCopy& copy : revolutions[r].sectors) {
      if (copy.idOk) continue;
      auto near = std::find_if(groups.begin(), groups.end(), [&](const Group& group) {
        return Distance(group.position, copy.position) < kSamePlace;
      });
      if (near == groups.end())
        groups.push_back({{{r, &copy}}, copy.position, false, 0});
      else if (near->In(r) == nullptr)
        near->copies.emplace_back(r, &copy);
    }
  }
  std::stable_sort(groups.begin(), groups.end(),
                   [](const Group& a, const Group& b) { return a.position < b.position; });
  return groups;
}

using Entry = std::pair<int, const SectorCopy*>;  // revolution and copy

bool Normal(const std::vector<RevolutionBytes>& revolutions, const Entry& entry) {
  return revolutions[static_cast<std::size_t>(entry.first)].variant == 0;
}

// The copy a sector takes: the first with a good data CRC, else the data seen
// most often with the normal setting (with any, when that saw no data).
const Entry& ChooseCopy(const std::vector<RevolutionBytes>& revolutions, const Group& group) {
  for (const Entry& entry : group.copies)
    if (entry.second->hasData && entry.second->dataOk) return entry;
  const bool normalData = std::any_of(group.copies.begin(), group.copies.end(), [&](const Entry& entry) {
    return entry.second->hasData && Normal(revolutions, entry);
  });
  const Entry* best = &group.copies.front();
  int bestCount = 0;
  for (const Entry& entry : group.copies) {
    const SectorCopy* copy = entry.second;
    if (!copy->hasData || (normalData && !Normal(revolutions, entry))) continue;
    const auto count = std::count_if(group.copies.begin(), group.copies.end(), [copy](const Entry& other) {
      return other.second->hasData && other.second->data == copy->data;
    });
    if (count > bestCount) {
      best = &entry;
      bestCount = static_cast<int>(count);
    }
  }
  return *best;
}

// Bad reads with the normal setting before the copy taken.
int ErrorsBefore(const std::vector<RevolutionBytes>& revolutions, const Group& group, const Entry& chosen) {
  int errors = 0;
  for (const Entry& entry : group.copies) {
    if (&entry == &chosen && chosen.second->dataOk) break;
    errors += Normal(revolutions, entry) && entry.second->hasData && !entry.second->dataOk;
  }
  return errors;
}

bool CopiesDiffer(const std::vector<RevolutionBytes>& revolutions, const Group& group, const SectorCopy& chosen) {
  return std::any_of(group.copies.begin(), group.copies.end(), [&](const Entry& entry) {
    const SectorCopy& copy = *entry.second;
    return Normal(revolutions, entry) && copy.hasData && (copy.dataOk != chosen.dataOk || copy.data != chosen.data);
  });
}

// The further copies a slot keeps: good copies whose data differ from the good
// one taken (a conflict), or, where no copy is good, every distinct bad copy
// read with the normal setting (a weak sector). Returns how many were added.
int KeepCopies(const std::vector<RevolutionBytes>& revolutions, const Group& group, TSectorRec& sector) {
  int added = 0;
  for (const Entry& entry : group.copies) {
    const SectorCopy& copy = *entry.second;
    if (!copy.hasData || copy.data.size() != sector.DataLen) continue;
    const bool wanted = sector.DataOk ? copy.dataOk : Normal(revolutions, entry);
    if (wanted) added += AddDataCopy(sector, {copy.dataOk, copy.data});
  }
  return added;
}

// The revolution that decoded best: most good data fields, then most good
// IDs, the earliest of equals. Only one whose bytes fit the model counts.
int BestRevolution(const std::vector<RevolutionBytes>& revolutions, const std::vector<Group>& groups) {
  int best = -1;
  int bestScore = -1;
  for (int r = 0; r < static_cast<int>(revolutions.size()); ++r) {
    const std::size_t length = revolutions[r].length;
    if (length == 0 || length > kRawCapacity) continue;
    int score = 0;
    for (const Group& group : groups)
      if (const SectorCopy* copy = group.In(r)) score += (copy->hasData && copy->dataOk ? 4 : 0) + (copy->idOk ? 1 : 0);
    if (score > bestScore) {
      best = r;
      bestScore = score;
    }
  }
  return best;
}

void FillSlot(TSectorRec& sector, const SectorCopy& chosen, int errors) {
  sector.Used = true;
  sector.IdTrack = chosen.c;
  sector.IdSide = chosen.h;
  sector.IdSector = chosen.r;
  sector.IdSize = chosen.n;
  sector.IdCrc = chosen.idCrc;
  if (!chosen.hasData) return;
  const std::size_t kept = std::min<std::size_t>(chosen.data.size(), kSectorDataSize);
  std::copy_n(chosen.data.begin(), kept, sector.Data.begin());
  sector.DataLen = static_cast<std::uint16_t>(kept);
  sector.DataOk = chosen.dataOk;
  sector.DeletedMark = chosen.deleted;
  sector.ErrorCount = static_cast<std::uint8_t>(std::min(errors, 255));
}

// Puts a good field read on another revolution over the kept revolution's
// copy, with its CRC, when the kept copy has room for it.
void PatchRaw(TTrack& track, const SectorCopy& kept, const SectorCopy& chosen) {
  if (!kept.hasData || kept.dataPos + chosen.data.size() + 2 > track.RawLength) return;
  std::copy(chosen.data.begin(), chosen.data.end(), track.RawData.begin() + static_cast<std::ptrdiff_t>(kept.dataPos));
  track.RawData[kept.dataPos + chosen.data.size()] = static_cast<std::uint8_t>(chosen.dataCrc >> 8);
  track.RawData[kept.dataPos + chosen.data.size() + 1] = static_cast<std::uint8_t>(chosen.dataCrc);
}

// A notice about one sector: the track and sector come first.
Phrase SectorNotice(MessageId id, const TTrack& track, const SectorCopy& copy, std::vector<PhraseArgument> more = {}) {
  std::vector<PhraseArgument> arguments{track.TrackNum, copy.r};
  arguments.insert(arguments.end(), more.begin(), more.end());
  return {id, std::move(arguments)};
}

}  // namespace

MergedTrack MergeRevolutions(const std::vector<RevolutionBytes>& revolutions, bool keepRaw, TTrack& track,
                             std::vector<Phrase>& notices) {
  MergedTrack merged;
  const std::vector<Group> groups = GroupCopies(revolutions);
  const int kept = keepRaw ? BestRevolution(revolutions, groups) : -1;
  merged.revolutionKept = kept;
  if (kept >= 0) {
    const RevolutionBytes& raw = revolutions[kept];
    std::copy_n(raw.bytes.begin(), raw.length, track.RawData.begin());
    track.RawLength = static_cast<std::uint16_t>(raw.length);
    track.RawValid = true;
  }
  const int normalRevolutions = static_cast<int>(std::count_if(
      revolutions.begin(), revolutions.end(), [](const RevolutionBytes& rev) { return rev.variant == 0; }));
  const bool several = normalRevolutions > 1;
  std::size_t slot = 0;
  for (const Group& group : groups) {
    if (slot == kSlotCount) {
      notices.push_back({MessageId::FluxSectorsBeyondSlots, {track.TrackNum, groups.size() - slot}});
      break;
    }
    const Entry& entry = ChooseCopy(revolutions, group);
    const SectorCopy& chosen = *entry.second;
    TSectorRec& sector = track.Sectors[slot++];
    FillSlot(sector, chosen, ErrorsBefore(revolutions, group, entry));
    SlotOrigin origin;
    origin.attempts = static_cast<int>(std::count_if(group.copies.begin(), group.copies.end(),
                                                     [&](const Entry& e) { return Normal(revolutions, e); }));
    if (chosen.hasData) {
      origin.variant = revolutions[static_cast<std::size_t>(entry.first)].variant;
      origin.revolution = revolutions[static_cast<std::size_t>(entry.first)].revolution;
    }
    merged.origins.push_back(origin);
    if (const SectorCopy* own = kept >= 0 ? group.In(kept) : nullptr; own != nullptr && own->hasData) {
      if (own->dataPos < track.RawLength) sector.DataPos = static_cast<std::uint16_t>(own->dataPos);
      if (own != &chosen && chosen.dataOk) PatchRaw(track, *own, chosen);
    }
    if (!chosen.hasData) continue;
    const int added = KeepCopies(revolutions, group, sector);
    if (added > 0 && chosen.dataOk)
      notices.push_back(SectorNotice(MessageId::FluxCopiesConflict, track, chosen, {added + 1}));
    else if (added > 0)
      notices.push_back(SectorNotice(MessageId::FluxWeakCopies, track, chosen, {added + 1}));
    else if (several && CopiesDiffer(revolutions, group, chosen))
      notices.push_back(SectorNotice(MessageId::FluxDiffersBetweenRevolutions, track, chosen));
    if (!chosen.dataOk)
      notices.push_back(
          SectorNotice(several ? MessageId::FluxDataCrcEveryRevolution : MessageId::FluxDataCrc, track, chosen));
  }
  return merged;
}

bool EverySectorGood(const std::vector<RevolutionBytes>& revolutions) {
  std::vector<int> numbers;
  for (const Group& group : GroupCopies(revolutions)) {
    const bool good = group.idOk && std::any_of(group.copies.begin(), group.copies.end(), [](const Entry& entry) {
                        return entry.second->hasData && entry.second->dataOk;
                      });
    if (!good) return false;
    numbers.push_back(group.copies.front().second->r);
  }
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  if (numbers.empty()) return true;
  // A hole in a short run of numbers is a sector not found at all.
  const int range = numbers.back() - numbers.front() + 1;
  return range > kSlotCount || range == static_cast<int>(numbers.size());
}

}  // namespace velloran
