#include "model/merge.h"

#include <algorithm>
#include <optional>

#include "common/bytes.h"

namespace velloran {

namespace {

bool SameId(const TSectorRec& a, const TSectorRec& b) {
  return a.IdTrack == b.IdTrack && a.IdSide == b.IdSide && a.IdSector == b.IdSector && a.IdSize == b.IdSize;
}

bool HasData(const TSectorRec& slot) { return slot.DataLen > 0; }
bool Good(const TSectorRec& slot) { return slot.DataLen > 0 && slot.DataOk; }

bool SameData(const TSectorRec& a, const TSectorRec& b) {
  const std::size_t length = std::min<std::size_t>(a.DataLen, kSectorDataSize);
  return a.DataLen == b.DataLen && std::equal(a.Data.begin(), a.Data.begin() + length, b.Data.begin());
}

// A sector of a track: the slot holding the `occurrence`-th copy of an ID.
struct SectorKey {
  const TSectorRec* id = nullptr;  // a slot carrying the ID
  int occurrence = 0;
};

// The slot of a track holding the given ID for the given time, or null.
const TSectorRec* FindSector(const TTrack& track, const SectorKey& key) {
  int seen = 0;
  for (const TSectorRec& slot : track.Sectors) {
    if (!slot.Used || !SameId(slot, *key.id)) continue;
    if (seen++ == key.occurrence) return &slot;
  }
  return nullptr;
}

// The sectors of a track in slot order, each with its occurrence.
std::vector<SectorKey> Keys(const TTrack& track) {
  std::vector<SectorKey> keys;
  for (const TSectorRec& slot : track.Sectors) {
    if (!slot.Used) continue;
    SectorKey key{&slot, 0};
    for (const SectorKey& before : keys) key.occurrence += SameId(*before.id, slot);
    keys.push_back(key);
  }
  return keys;
}

int UsedSlots(const TTrack& track) {
  return static_cast<int>(
      std::count_if(track.Sectors.begin(), track.Sectors.end(), [](const TSectorRec& slot) { return slot.Used; }));
}

// One copy of a sector: the input it comes from, its track and slot there.
struct Copy {
  int input = 0;
  const TSectorRec* slot = nullptr;
  const TTrack* track = nullptr;
};

// Copies needed for a vote, so that one damaged byte is outvoted.
constexpr std::size_t kFewestVoters = 3;

// The data field of a copy as the disk held it: the mark, the data and the
// stored CRC, taken from the raw track image; empty when the image lacks it.
Bytes StoredField(const Copy& copy) {
  const TSectorRec& slot = *copy.slot;
  const TTrack& track = *copy.track;
  const std::size_t length = slot.DataLen;
  if (!track.RawValid || slot.DataPos == 0 || length == 0 || length > kSectorDataSize ||
      slot.DataPos + length + 2 > track.RawLength)
    return {};
  const std::uint8_t mark = track.RawData[slot.DataPos - 1];
  if (mark < 0xF8 || mark > 0xFB) return {};
  Bytes field(slot.Data.begin(), slot.Data.begin() + static_cast<std::ptrdiff_t>(length));
  field.insert(field.begin(), mark);
  field.push_back(track.RawData[slot.DataPos + length]);
  field.push_back(track.RawData[slot.DataPos + length + 1]);
  return field;
}

// Byte by byte, the value most fields hold (the earliest on a tie); fields of
// another length than the first stay out. Empty when too few voters.
Bytes Vote(const std::vector<Bytes>& fields) {
  if (fields.size() < kFewestVoters) return {};
  Bytes voted(fields.front().size());
  for (std::size_t i = 0; i < voted.size(); ++i) {
    int bestVotes = 0;
    for (const Bytes& candidate : fields) {
      int votes = 0;
      for (const Bytes& other : fields) votes += other[i] == candidate[i];
      if (votes > bestVotes) {
        voted[i] = candidate[i];
        bestVotes = votes;
      }
    }
  }
  return voted;
}

// Whether a mark, data and CRC make a good MFM data field.
bool FieldCrcGood(const Bytes& field) {
  Bytes checked = {0xA1, 0xA1, 0xA1};
  checked.insert(checked.end(), field.begin(), field.end() - 2);
  const auto stored = static_cast<std::uint16_t>(field[field.size() - 2] << 8 | field.back());
  return CalcCRC16(checked.data(), checked.size()) == stored;
}

// The copy most inputs agree on, among those with data; earlier inputs win ties.
Copy MostCommon(const std::vector<Copy>& copies) {
  Copy best;
  int bestVotes = 0;
  for (const Copy& candidate : copies) {
    if (!HasData(*candidate.slot)) continue;
    int votes = 0;
    for (const Copy& other : copies) votes += HasData(*other.slot) && SameData(*candidate.slot, *other.slot);
    if (votes > bestVotes) {
      best = candidate;
      bestVotes = votes;
    }
  }
  return best.slot != nullptr ? best : copies.front();
}

class TrackMerge {
 public:
  TrackMerge(const std::vector<const TZX_Disk*>& inputs, int t, MergeReport& report)
      : inputs_(inputs), t_(t), report_(report) {}

  // The merged track; absent when no input holds it.
  TTrack Build() {
    TTrack out;
    out.TrackNum = static_cast<std::uint8_t>(t_);
    const TTrack* base = Base();
    if (base == nullptr) return out;
    out = *base;
    for (TSectorRec& slot : out.Sectors) slot = TSectorRec{};

    std::vector<SectorKey> keys = Keys(*base);
    for (const TZX_Disk* input : inputs_) {
      const TTrack& track = input->GetTrack(static_cast<std::uint8_t>(t_));
      if (!track.Present) continue;
      for (const SectorKey& key : Keys(track)) {
        const bool known = std::any_of(keys.begin(), keys.end(), [&](const SectorKey& k) {
          return SameId(*k.id, *key.id) && k.occurrence == key.occurrence;
        });
        if (!known && keys.size() < kSlotCount) keys.push_back(key);
      }
    }

    MergeReport::Track line;
    line.track = t_;
    line.recovered.resize(inputs_.size());
    bool asInBase = true;
    for (std::size_t i = 0; i < keys.size(); ++i) {
      TSectorRec& slot = out.Sectors[i];
      slot = Choose(keys[i], static_cast<int>(i), line);
      const TSectorRec* inBase = FindSector(*base, keys[i]);
      asInBase = asInBase && inBase != nullptr && inBase == &base->Sectors[i] && SameData(*inBase, slot) &&
                 inBase->DataOk == slot.DataOk;
    }
    if (!asInBase) {
      out.RawValid = false;
      out.RawLength = 0;
      out.RawData.fill(0);
      for (TSectorRec& slot : out.Sectors) slot.DataPos = 0;
    }
    out.CountSectors();
    const bool recovered = std::any_of(line.recovered.begin(), line.recovered.end(),
                                       [](const std::vector<std::uint8_t>& numbers) { return !numbers.empty(); });
    if (recovered || !line.stillBad.empty()) report_.tracks.push_back(std::move(line));
    return out;
  }

 private:
  // The input holding most sectors of the track; the first one on a tie.
  const TTrack* Base() const {
    const TTrack* base = nullptr;
    for (const TZX_Disk* input : inputs_) {
      const TTrack& track = input->GetTrack(static_cast<std::uint8_t>(t_));
      if (track.Present && (base == nullptr || UsedSlots(track) > UsedSlots(*base))) base = &track;
    }
    return base;
  }

  // Puts the voted data of the bad copies into `kept` when its CRC is good.
  static bool Voted(const std::vector<Copy>& copies, TSectorRec& kept) {
    std::vector<Bytes> fields;
    for (const Copy& copy : copies)
      if (Bytes field = StoredField(copy); !field.empty() && (fields.empty() || field.size() == fields[0].size()))
        fields.push_back(std::move(field));
    const Bytes voted = Vote(fields);
    if (voted.empty() || !FieldCrcGood(voted)) return false;
    std::copy(voted.begin() + 1, voted.end() - 2, kept.Data.begin());
    kept.DataLen = static_cast<std::uint16_t>(voted.size() - 3);
    kept.DataOk = true;
    kept.ExtraCopies.clear();
    return true;
  }

  // The copy of one sector that goes into the result.
  TSectorRec Choose(const SectorKey& key, int slotIndex, MergeReport::Track& line) {
    std::vector<Copy> copies;
    for (std::size_t i = 0; i < inputs_.size(); ++i) {
      const TTrack& track = inputs_[i]->GetTrack(static_cast<std::uint8_t>(t_));
      if (!track.Present) continue;
      if (const TSectorRec* slot = FindSector(track, key)) copies.push_back({static_cast<int>(i), slot, &track});
    }
    const auto firstGood =
        std::find_if(copies.begin(), copies.end(), [](const Copy& copy) { return Good(*copy.slot); });
    const std::uint8_t number = key.id->IdSector;
    MergeReport::Sector entry{t_, slotIndex, number, SectorState::Good, -1, 1, static_cast<int>(copies.size())};
    if (firstGood == copies.end()) {
      const Copy common = MostCommon(copies);
      TSectorRec kept = *common.slot;
      kept.DataOk = false;
      if (Voted(copies, kept)) {
        entry.state = SectorState::Voted;
        ++report_.votedSectors;
      } else {
        for (const Copy& copy : copies) {
          const TSectorRec& other = *copy.slot;
          if (!HasData(other)) continue;
          AddDataCopy(kept, {false, Bytes(other.Data.begin(), other.Data.begin() + other.DataLen)});
          for (const DataCopy& further : other.ExtraCopies) AddDataCopy(kept, {false, further.data});
        }
        entry.state = HasData(kept) ? SectorState::Bad : SectorState::NoData;
        entry.input = HasData(kept) ? common.input : -1;
        line.stillBad.push_back(number);
        ++report_.badSectors;
      }
      entry.copies = 1 + static_cast<int>(kept.ExtraCopies.size());
      report_.sectors.push_back(entry);
      return kept;
    }
    entry.input = firstGood->input;
    entry.copies = 1 + static_cast<int>(firstGood->slot->ExtraCopies.size());
    report_.sectors.push_back(entry);

    TSectorRec taken = *firstGood->slot;
    const int passedOver = static_cast<int>(firstGood - copies.begin());
    taken.ErrorCount = static_cast<std::uint8_t>(std::min(255, taken.ErrorCount + passedOver));
    if (firstGood->input != 0) {
      line.recovered[static_cast<std::size_t>(firstGood->input)].push_back(number);
      ++report_.recoveredSectors;
    }
    MergeConflict conflict{t_, number, firstGood->input, {}};
    for (auto other = firstGood + 1; other != copies.end(); ++other)
      if (Good(*other->slot) && !SameData(*other->slot, taken)) conflict.others.push_back(other->input);
    if (!conflict.others.empty()) report_.conflicts.push_back(std::move(conflict));
    return taken;
  }

  const std::vector<const TZX_Disk*>& inputs_;
  int t_;
  MergeReport& report_;
};

std::string NumberList(const std::vector<std::uint8_t>& numbers) {
  std::string text;
  for (std::uint8_t number : numbers) text += (text.empty() ? "" : ", ") + std::to_string(number);
  return text;
}

}  // namespace

MergeReport DiskStateReport(const TZX_Disk& disk) {
  MergeReport report;
  for (int t = 0; t < kTrackCount; ++t) {
    const TTrack& track = disk.Tracks[t];
    if (!track.Present) continue;
    MergeReport::Track line;
    line.track = t;
    for (int s = 0; s < kSlotCount; ++s) {
      const TSectorRec& slot = track.Sectors[s];
      if (!slot.Used) continue;
      const SectorState state = Good(slot) ? SectorState::Good : HasData(slot) ? SectorState::Bad : SectorState::NoData;
      report.sectors.push_back({t, s, slot.IdSector, state, -1, 1 + static_cast<int>(slot.ExtraCopies.size()),
                                slot.ErrorCount + (state == SectorState::Good ? 1 : 0)});
      if (state != SectorState::Good) line.stillBad.push_back(slot.IdSector);
    }
    report.badSectors += static_cast<int>(line.stillBad.size());
    if (!line.stillBad.empty()) report.tracks.push_back(std::move(line));
  }
  return report;
}

std::vector<int> MergeReport::BadTracks() const {
  std::vector<int> bad;
  for (const Track& track : tracks)
    if (!track.stillBad.empty()) bad.push_back(track.track);
  return bad;
}

MergeReport MergeDisks(const std::vector<const TZX_Disk*>& inputs, TZX_Disk& out) {
  MergeReport report;
  if (inputs.empty()) return report;
  std::vector<TTrack> tracks;
  tracks.reserve(kTrackCount);
  for (int t = 0; t < kTrackCount; ++t) tracks.push_back(TrackMerge(inputs, t, report).Build());

  const TZX_Disk& first = *inputs.front();
  std::string title = first.Title;
  std::vector<std::string> comments = first.Comments;
  // What any input's load left out stays out of the merged disk too.
  DiskLosses losses;
  for (const TZX_Disk* input : inputs) losses.insert(losses.end(), input->Losses.begin(), input->Losses.end());
  const bool useBaseTrack = first.UseBaseTrack;
  const std::uint8_t baseTrack = first.BaseTrack;
  out.Tracks = std::move(tracks);
  out.Title = std::move(title);
  out.Comments = std::move(comments);
  out.Losses = std::move(losses);
  out.UseBaseTrack = useBaseTrack;
  out.BaseTrack = baseTrack;
  out.LastError = {};
  out.CountTracks();
  return report;
}

std::vector<Phrase> MergeReportLines(const MergeReport& report, const std::vector<std::string>& names) {
  auto name = [&](int input) {
    return input >= 0 && static_cast<std::size_t>(input) < names.size() ? names[static_cast<std::size_t>(input)]
                                                                        : "#" + std::to_string(input + 1);
  };
  std::vector<Phrase> lines;
  for (const MergeReport::Track& track : report.tracks) {
    for (std::size_t i = 0; i < track.recovered.size(); ++i)
      if (!track.recovered[i].empty())
        lines.push_back(
            {MessageId::MergeRecoveredFrom, {track.track, name(static_cast<int>(i)), NumberList(track.recovered[i])}});
    if (!track.stillBad.empty()) lines.push_back({MessageId::MergeStillBad, {track.track, NumberList(track.stillBad)}});
  }
  for (const MergeConflict& conflict : report.conflicts) {
    std::string others;
    for (int input : conflict.others) others += (others.empty() ? "" : ", ") + name(input);
    lines.push_back({MessageId::MergeConflict, {conflict.track, conflict.sector, name(conflict.taken), others}});
  }
  lines.push_back({MessageId::MergeRecoveredCount, {report.recoveredSectors}});
  if (report.votedSectors > 0) lines.push_back({MessageId::MergeVotedCount, {report.votedSectors}});
  lines.push_back({MessageId::BadSectorCount, {report.badSectors}});
  if (!report.conflicts.empty()) lines.push_back({MessageId::MergeConflictCount, {report.conflicts.size()}});
  return lines;
}

}  // namespace velloran
