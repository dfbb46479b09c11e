// The rotation-aware reading engine. A read request waits for its sector to
// come round under the head, so reading a track in slot order after a scan
// costs some two and a half turns. Here one READ ID tells which sector is
// passing, and the sectors are asked for in the order they arrive; the
// layout of the track read before spares most scans.
#include "engine/fast_reading.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "engine/engine_steps.h"
#include "engine/messages.h"
#include "engine/read_plan.h"
#include "engine/reading_steps.h"
#include "engine/track_pass.h"

namespace velloran {

namespace {

SlotSet FirstSlots(int count) {
  SlotSet slots;
  for (int i = 0; i < count && i < kSlotCount; ++i) slots.set(static_cast<std::size_t>(i));
  return slots;
}

// One operation's reading: what it carries from track to track and from
// pass to pass.
class FastReader {
 public:
  FastReader(TZX_Disk& disk, FloppyDriver& driver, OperationHost& host, DiskOperation& operation)
      : disk_(disk), driver_(driver), host_(host), operation_(operation) {}

  // The first pass over track t, the heads already on it.
  void ReadTrack(int t);
  // The passes after the first, over the tracks with failed sectors.
  OperationOutcome Reread();

 private:
  TTrack& Track(int t) { return disk_.GetTrack(static_cast<std::uint8_t>(t)); }
  // Lays out track t as the tracks before it when its first ID fits them;
  // `next` gets the slot after that ID.
  std::optional<GuessedLayout> TakeGuess(int t, int& next);
  void SettleGuess(int t, const GuessedLayout& guess, SlotSet& pending, SlotSet& alone);
  std::uint8_t Head(int t) const { return static_cast<std::uint8_t>(t % 2); }
  // Reads the pending slots of track t once each, beginning with the one at
  // slot `next` (-1: not known); slots in `alone` get a request of their
  // own. With `stopOnFailure` it returns false at the first failed request,
  // leaving its slots pending.
  bool ReadPending(int t, SlotSet& pending, SlotSet& alone, int next, bool stopOnFailure);
  // One request for the planned slots; what arrived is stored and leaves
  // `pending`. Returns whether all of them arrived.
  bool Request(int t, const PlannedRead& plan, SlotSet& pending, bool& failed, std::uint32_t& code);
  // The slot after the ID now passing under the head; 0 when not known.
  int Locate(int t, int count);
  // Learns whether the host is quick enough for the slot `first` right
  // behind the sector just read, and returns the slot after the head.
  int LearnPace(int t, int count, int first);
  void SectorRead(int t, int slot, const std::uint8_t* data, std::size_t received);
  void SectorFailed(int t, int slot, std::uint32_t code);

  TZX_Disk& disk_;
  FloppyDriver& driver_;
  OperationHost& host_;
  DiskOperation& operation_;
  std::vector<IdHeader> previous_;  // the layout of the track read last
  bool previousSeenTwice_ = false;  // and of the track before it
  HostPace pace_ = HostPace::Unknown;
  int pass_ = 1;
  std::array<SlotSet, kTrackCount> failed_{};  // slots whose reads failed so far
  std::vector<std::uint8_t> buffer_ = std::vector<std::uint8_t>(kSectorBufferSize);
};

void FastReader::ReadTrack(int t) {
  int next = -1;
  const std::optional<GuessedLayout> guess = TakeGuess(t, next);
  if (!guess) ScanStep(disk_, driver_, host_, t);

  SlotSet pending = FirstSlots(Track(t).CountSectors());
  SlotSet alone;
  if (!guess || !ReadPending(t, pending, alone, next, true)) {
    if (guess) SettleGuess(t, *guess, pending, alone);
    ReadPending(t, pending, alone, -1, false);
  }

  // A layout is passed on as a guess only once two tracks in a row have it:
  // a single odd track must not make the next one look shorter than it is.
  const std::vector<IdHeader> layout = TrackIds(Track(t), Track(t).CountSectors());
  previousSeenTwice_ = !layout.empty() && SameRoundTheTrack(layout, previous_);
  previous_ = layout;
}

std::optional<GuessedLayout> FastReader::TakeGuess(int t, int& next) {
  IdHeader first;
  if (!previousSeenTwice_ || !driver_.ReadId(kFlagMfm, Head(t), first)) return std::nullopt;
  std::optional<GuessedLayout> guess = GuessLayout(previous_, first);
  if (!guess) return std::nullopt;
  disk_.RedrawTrackLabel(static_cast<std::uint8_t>(t));
  StoreIds(disk_, t, guess->ids);
  LogToTrack(Track(t), {MessageId::LayoutFromPreviousTrack, {guess->ids.size()}});
  host_.AddMainLog({MessageId::LayoutFromPreviousTrackAt, {t}}, false);
  next = (guess->slot + 1) % static_cast<int>(guess->ids.size());
  return guess;
}

// A read failed on a guessed layout: a scan tells whether this track is
// laid out otherwise. If so, the slots the guess made beyond the scanned
// ones go, and the whole track is read afresh.
void FastReader::SettleGuess(int t, const GuessedLayout& guess, SlotSet& pending, SlotSet& alone) {
  TTrack& track = Track(t);
  const int scanned = ScanStep(disk_, driver_, host_, t);
  if (scanned == 0 || TrackIds(track, scanned) == guess.ids) return;
  for (int i = scanned; i < static_cast<int>(guess.ids.size()); ++i) {
    track.ClearSector(static_cast<std::uint8_t>(i));
    disk_.RedrawSector(static_cast<std::uint8_t>(t), static_cast<std::uint8_t>(i));
  }
  operation_.BadSectors -= static_cast<int>(failed_[t].count());
  failed_[t].reset();
  pending = FirstSlots(track.CountSectors());
  alone.reset();
}

bool FastReader::ReadPending(int t, SlotSet& pending, SlotSet& alone, int next, bool stopOnFailure) {
  const int count = std::min<int>(Track(t).CountSectors(), kSlotCount);
  const TTrack& track = Track(t);
  int lastRead = -1;  // the last slot of a request that just succeeded
  for (;;) {
    if (next < 0) next = Locate(t, count);
    const auto plan = PlanNextRead(track, count, pending, alone, next, pace_, buffer_.size());
    if (!plan) return true;
    const int first = plan->slots.front();
    if (!SizeCodeSupported(track.Sectors[first].IdSize)) {
      pending.reset(static_cast<std::size_t>(first));
      SectorFailed(t, first, kUnsupportedSizeCode);
      continue;
    }
    if (pace_ == HostPace::Unknown && lastRead >= 0 && first == lastRead + 1) {
      next = LearnPace(t, count, first);
      lastRead = -1;
      continue;
    }

    bool failed = false;
    std::uint32_t code = 0;
    if (Request(t, *plan, pending, failed, code)) {
      lastRead = plan->slots.back();
      next = SlotInReach(lastRead, count, pace_);
      continue;
    }
    // Where the head is now is not known. The controller does not say which
    // sector of several stopped it, so those that did not arrive are asked
    // for one by one (one of them twice in this pass, then).
    lastRead = -1;
    next = -1;
    for (int slot : plan->slots)
      if (pending[static_cast<std::size_t>(slot)]) alone.set(static_cast<std::size_t>(slot));
    if (failed && stopOnFailure) return false;
    if (plan->slots.size() == 1) {
      pending.reset(static_cast<std::size_t>(first));
      SectorFailed(t, first, code);
    }
  }
}

bool FastReader::Request(int t, const PlannedRead& plan, SlotSet& pending, bool& failed, std::uint32_t& code) {
  const TSectorRec& first = Track(t).Sectors[plan.slots.front()];
  const std::size_t size = plan.slots.size();
  const ReadWriteBlock block = SectorRequest(first, t, static_cast<int>(size), kReadGap);

  std::size_t received = 0;
  failed = !driver_.ReadData(block, buffer_, received);
  code = driver_.LastError();
  // A single sector arrived when the request succeeded. Of several, those
  // wholly transferred did; after a failure the last of them may be the
  // one that failed, so it is not trusted.
  const std::size_t length = static_cast<std::size_t>(SectorLength(first.IdSize));
  std::size_t arrived = size == 1 ? (failed ? 0 : 1) : std::min(size, received / length);
  if (failed && size > 1 && arrived > 0) --arrived;
  for (std::size_t i = 0; i < arrived; ++i) {
    const int slot = plan.slots[i];
    SectorRead(t, slot, buffer_.data() + i * length, size == 1 ? received : length);
    pending.reset(static_cast<std::size_t>(slot));
  }
  return arrived == size;
}

int FastReader::Locate(int t, int count) {
  IdHeader id;
  if (count <= 0 || !driver_.ReadId(kFlagMfm, Head(t), id)) return 0;
  const TTrack& track = Track(t);
  for (int i = 0; i < count; ++i)
    if (SectorId(track.Sectors[i]) == id) return (i + 1) % count;
  return 0;
}

int FastReader::LearnPace(int t, int count, int first) {
  pace_ = HostPace::Quick;
  IdHeader id;
  if (!driver_.ReadId(kFlagMfm, Head(t), id)) return -1;
  const TTrack& track = Track(t);
  const int after = first + 1 < count ? first + 1 : 0;
  if (!(SectorId(track.Sectors[first]) == id) && SectorId(track.Sectors[after]) == id) pace_ = HostPace::Slow;
  for (int i = 0; i < count; ++i)
    if (SectorId(track.Sectors[i]) == id) return (i + 1) % count;
  return 0;
}

void FastReader::SectorRead(int t, int slot, const std::uint8_t* data, std::size_t received) {
  TTrack& track = Track(t);
  StoreReadSector(track, host_, slot, data, received);
  if (!failed_[t][static_cast<std::size_t>(slot)]) return;
  failed_[t].reset(static_cast<std::size_t>(slot));
  --operation_.BadSectors;
  ++operation_.RecoveredSectors;
  LogBoth(track, host_, {MessageId::SectorReadOnReread, {pass_, TrackSectorPlace(t, track.Sectors[slot].IdSector)}},
          true);
}

// A failure of the first pass is logged and counted as in the other reading
// modes; the re-reads add their failures to the track's log only.
void FastReader::SectorFailed(int t, int slot, std::uint32_t code) {
  TTrack& track = Track(t);
  if (pass_ > 1) {
    LogToTrack(track, ReadFailedLine(code, t, track.Sectors[slot].IdSector));
    return;
  }
  MarkReadFailed(track, host_, t, slot, code);
  failed_[t].set(static_cast<std::size_t>(slot));
  ++operation_.BadSectors;
}

OperationOutcome FastReader::Reread() {
  for (pass_ = 2; pass_ <= AttemptCount(operation_.RetryCount); ++pass_) {
    if (operation_.BadSectors <= 0) break;
    host_.AddMainLog({MessageId::RereadingBadSectors, {pass_}}, true);
    TrackPass pass;
    pass.first = operation_.OpFirstTrack;
    pass.last = operation_.OpLastTrack;
    pass.showProgress = false;
    pass.wanted = [&](int t) { return failed_[t].any(); };
    pass.seek = [&](int t) { return SeekTrack(driver_, host_, t); };
    pass.failed = [&](int) {
      operation_.UnreadFrom = operation_.OpLastTrack + 1;  // every track was read once
      return OperationOutcome::Failed;
    };
    pass.steps = {{.run =
                       [&](int t) {
                         SlotSet pending = failed_[t];
                         SlotSet alone;
                         ReadPending(t, pending, alone, -1, false);
                         return true;
                       },
                   .processEvents = true}};
    if (const OperationOutcome outcome = RunTrackPass(host_, pass); outcome != OperationOutcome::Completed)
      return outcome;
  }
  return OperationOutcome::Completed;
}

}  // namespace

OperationOutcome RunFastReadingEngine(TZX_Disk& disk, FloppyDriver& driver, OperationHost& host,
                                      DiskOperation& operation) {
  if (!BeginReading(driver, host, operation)) return OperationOutcome::Failed;
  FastReader reader(disk, driver, host, operation);
  TrackPass pass = ControllerReadingPass(driver, host, operation);
  pass.steps = {{.run =
                     [&](int t) {
                       reader.ReadTrack(t);
                       return true;
                     },
                 .processEvents = true}};
  if (const OperationOutcome outcome = RunTrackPass(host, pass); outcome != OperationOutcome::Completed) return outcome;
  if (const OperationOutcome rereads = reader.Reread(); rereads != OperationOutcome::Completed) return rereads;

  LogReadingSummary(host, operation);
  return OperationOutcome::Completed;
}

}  // namespace velloran
