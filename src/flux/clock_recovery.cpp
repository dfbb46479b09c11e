#include "flux/clock_recovery.h"

#include <algorithm>
#include <array>
#include <bit>

namespace velloran {

namespace {

// How far the loop may pull the cell length away from its nominal value.
constexpr double kMaxDeviation = 0.12;
// Longer runs of empty cells than any encoding writes mean a dropout or an
// unformatted stretch: they teach the loop nothing about the clock.
constexpr std::size_t kLongestRun = 5;
constexpr std::array<double, kLongestRun + 1> kReciprocals = {0, 1.0, 1.0 / 2, 1.0 / 3, 1.0 / 4, 1.0 / 5};
// An empty stretch counts at most this many cells, and a capture at most
// kMostCells cells in all, so that no input can make the stream huge.
constexpr std::size_t kLongestStretch = 1 << 16;
constexpr std::size_t kMostCells = std::size_t{1} << 26;
// Transitions between refreshes of the cell length the next runs are guessed
// with (see Recovery::Run).
constexpr std::size_t kGuessRefresh = 32;
constexpr std::uint64_t kNoIndex = ~std::uint64_t{0};
constexpr std::size_t kNoLimit = ~std::size_t{0};

// The run of cells that `cells` (a time in cells since the last expected
// transition) ends: the nearest whole number, at least one.
std::size_t RunOf(double cells) {
  return std::clamp<std::size_t>(static_cast<std::size_t>(cells + 0.5), 1, kLongestStretch);
}

// What the loop carries from one transition to the next.
struct LoopState {
  double period = 0;
  double inverse = 0;
  double sinceReference = 0;  // time from the last expected transition
  double periodSum = 0;
  std::size_t periodCount = 0;
  std::uint64_t shift = 0;  // the latest cells, the newest in bit 0
  std::uint64_t time = 0;   // ticks from the start of the capture
};

// The loop over a capture and what it has recovered.
//
// Speed: each transition's run of cells depends on the time since the last
// one times the loop's inverse cell length, which depends on the run before:
// computed straight, every transition waits for that whole chain. Instead
// the run is guessed from the interval alone with a slightly older inverse,
// and the exact run only checked against the guess; a wrong guess (a rare
// branch) takes the exact run. The arithmetic is the same either way, so are
// the cells. The state lives in locals of Pass, and the transitions that need
// nothing but arithmetic (nearly all) run in an inner loop without calls, so
// that the state stays in registers.
class Recovery {
 public:
  Recovery(const FluxTrack& track, double cellTicks, std::span<const CellPattern> patterns, int passes,
           const PllSettings& settings, std::size_t laterPassCells)
      : track_(track),
        patterns_(patterns),
        cellTicks_(cellTicks * settings.clockScale),
        minimum_(cellTicks_ * (1 - kMaxDeviation)),
        maximum_(cellTicks_ * (1 + kMaxDeviation)),
        frequencyGain_(settings.frequencyGain),
        phaseKept_(1 - settings.phaseGain) {
    loop_.period = cellTicks_;
    loop_.inverse = 1 / loop_.period;
    const std::uint64_t turn = track.indexTimes.empty() ? 0 : track.indexTimes.back();
    const std::uint64_t flux = track.TransitionTime();
    wrapGap_ = turn > flux ? turn - flux : 0;
    const double cellsPerPass = static_cast<double>(std::max(turn, flux)) / minimum_;
    const double laterPasses = std::min(cellsPerPass, static_cast<double>(laterPassCells)) * std::max(passes - 1, 0);
    out_.cells.Reserve(
        static_cast<std::size_t>(std::min(static_cast<double>(kMostCells), cellsPerPass + laterPasses + 64)));
    for (const CellPattern& pattern : patterns)
      trailingEmpty_.push_back(pattern.cells == 0 ? 16 : static_cast<std::size_t>(std::countr_zero(pattern.cells)));
    nextIndexTime_ = track.indexTimes.empty() ? kNoIndex : track.indexTimes.front();
  }

  // One pass over the flux; a later pass stops once it has added
  // `laterPassCells` cells, counted from the end of the pass before or from
  // the index it passes when that lies later (after a long empty stretch).
  void Pass(bool later, std::size_t laterPassCells) {
    passStart_ = out_.cells.Size();
    laterPassCells_ = later ? laterPassCells : kNoLimit;
    stopAt_ = StopAt();
    const std::span<const std::uint32_t> intervals = track_.intervals;
    LoopState loop = loop_;
    double guessInverse = loop.inverse;
    std::size_t i = 0;
    // The first interval of a later pass reaches back to the index.
    if (later && !intervals.empty()) {
      const double ticks = intervals[0] + static_cast<double>(wrapGap_);
      if (out_.cells.Size() >= stopAt_ || !Step<false>(loop, ticks, static_cast<std::uint64_t>(ticks), guessInverse)) {
        loop_ = loop;
        return;
      }
      i = 1;
    }
    while (i < intervals.size() && out_.cells.Size() < stopAt_) {
      for (; i < intervals.size() && out_.cells.Size() < stopAt_; ++i) {
        if (i % kGuessRefresh == 0) guessInverse = loop.inverse;
        if (!Step<true>(loop, intervals[i], intervals[i], guessInverse)) break;
      }
      if (i == intervals.size() || out_.cells.Size() >= stopAt_) break;
      if (!Step<false>(loop, intervals[i], intervals[i], guessInverse)) break;
      ++i;
    }
    loop_ = loop;
  }

  RecoveredCells Finish() && {
    while (nextIndex_ < track_.indexTimes.size()) {
      out_.indexCells.push_back(out_.cells.Size());
      ++nextIndex_;
    }
    std::stable_sort(out_.hits.begin(), out_.hits.end(),
                     [](const PatternHit& a, const PatternHit& b) { return a.cell < b.cell; });
    out_.averageCell = loop_.periodCount > 0 ? loop_.periodSum / static_cast<double>(loop_.periodCount) : cellTicks_;
    return std::move(out_);
  }

 private:
  // One transition `ticks` after the last (`wholeTicks` as a whole number).
  // The arithmetic-only step (kQuick) leaves the loop as it was and answers
  // false where the transition passes an index, adds a pattern hit, needs a
  // larger stream or fills the capture; the full step does all of it and
  // answers false only once the capture holds all the cells it may.
  template <bool kQuick>
  bool Step(LoopState& loop, double ticks, std::uint64_t wholeTicks, double guessInverse) {
    const double sinceReference = loop.sinceReference + ticks;
    const std::uint64_t time = loop.time + wholeTicks;
    if (time >= nextIndexTime_) [[unlikely]] {
      if constexpr (kQuick) return false;
      PassIndexes(sinceReference, loop.period, loop.inverse, time);
    }
    if (!(sinceReference >= loop.period * 0.5)) [[unlikely]] {  // too close to the last one: taken with the next
      loop.sinceReference = sinceReference;
      loop.time = time;
      return true;
    }
    const std::size_t run = Run(sinceReference, loop.inverse, ticks * guessInverse);
    if (out_.cells.Size() + run > kMostCells) [[unlikely]] {
      if constexpr (!kQuick) {
        loop.sinceReference = sinceReference;
        loop.time = time;
      }
      return false;
    }
    const std::uint64_t shift = run >= 64 ? 1 : (loop.shift << run) | 1;
    const unsigned matched = MatchedPatterns(run, shift);
    if constexpr (kQuick)
      if (matched != 0 || !out_.cells.Fits(run - 1)) [[unlikely]]
        return false;

    const double error = sinceReference - static_cast<double>(run) * loop.period;
    out_.cells.AppendRun(run - 1);
    if constexpr (!kQuick) NoteHits(matched, run);
    loop.shift = shift;
    loop.time = time;
    if (run <= kLongestRun) [[likely]] {
      loop.period = std::clamp(loop.period + frequencyGain_ * error * kReciprocals[run], minimum_, maximum_);
      loop.inverse *= 2 - loop.period * loop.inverse;  // a Newton step: the period moves too little to need a division
      loop.sinceReference = error * phaseKept_;
      loop.periodSum += loop.period;
      ++loop.periodCount;
    } else {
      loop.sinceReference = 0;
    }
    return true;
  }

  // The run the transition ends: the one guessed from its interval alone
  // (`guessCells` long) when the exact time since the reference rounds to it,
  // as it nearly always does.
  static std::size_t Run(double sinceReference, double inverse, double guessCells) {
    const std::size_t guess = RunOf(guessCells);
    const double cells = sinceReference * inverse + 0.5;
    if (guess <= kLongestRun && cells >= static_cast<double>(guess) && cells < static_cast<double>(guess + 1))
        [[likely]]
      return guess;
    return RunOf(sinceReference * inverse);
  }

  // The patterns (a bit each) that end in one of the cells a run adds. A
  // pattern's last transition must be a transition of the stream: this one
  // (a pattern ending in a transition) or the one before it, `run` cells
  // back (a pattern ending in `trailing` empty cells). So each can end in
  // one place.
  unsigned MatchedPatterns(std::size_t run, std::uint64_t shift) const {
    const std::size_t size = out_.cells.Size() + run;
    unsigned matched = 0;
    for (std::size_t p = 0; p < patterns_.size(); ++p) {
      const std::size_t trailing = trailingEmpty_[p];
      if (trailing > run) continue;
      const std::size_t end = trailing == 0 ? 0 : run - trailing;  // cells back from the newest
      if (end > 48 || size < end + 16) continue;
      if (static_cast<std::uint16_t>(shift >> end) == patterns_[p].cells) matched |= 1u << p;
    }
    return matched;
  }

  // Notes the matched patterns of the run just added.
  void NoteHits(unsigned matched, std::size_t run) {
    const std::size_t size = out_.cells.Size();
    for (std::size_t p = 0; p < patterns_.size(); ++p) {
      if ((matched >> p & 1) == 0) continue;
      const std::size_t trailing = trailingEmpty_[p];
      const std::size_t end = trailing == 0 ? 0 : run - trailing;
      out_.hits.push_back({size - end - 16, static_cast<std::uint8_t>(p)});
    }
  }

  // The cell of each index pulse up to `time`: how far into the run that
  // ends with the transition at `time` it came.
  void PassIndexes(double sinceReference, double period, double inverse, std::uint64_t time) {
    const bool taken = sinceReference >= period * 0.5;
    const std::size_t run = taken ? RunOf(sinceReference * inverse) : 0;
    while (nextIndex_ < track_.indexTimes.size() && track_.indexTimes[nextIndex_] <= time) {
      const double beforeIndex = sinceReference - static_cast<double>(time - track_.indexTimes[nextIndex_]);
      const double into = std::clamp(beforeIndex * inverse, 0.0, static_cast<double>(run));
      out_.indexCells.push_back(out_.cells.Size() + static_cast<std::size_t>(into));
      ++nextIndex_;
    }
    nextIndexTime_ = nextIndex_ < track_.indexTimes.size() ? track_.indexTimes[nextIndex_] : kNoIndex;
    stopAt_ = StopAt();
  }

  // The stream size at which this pass has added all the cells it may.
  std::size_t StopAt() const {
    const std::size_t from = std::max(passStart_, out_.indexCells.empty() ? 0 : out_.indexCells.back());
    return laterPassCells_ > kNoLimit - from ? kNoLimit : from + laterPassCells_;
  }

  // Patterns that end in one of the cells just added. A pattern's last
  // transition must be a transition of the stream: this one (a pattern
  // ending in a transition) or the one before it, `run` cells back (a
  // pattern ending in `trailing` empty cells). So each can end in one place.
  void NoteHits(std::size_t run, std::uint64_t shift) {
    const std::size_t size = out_.cells.Size();
    for (std::size_t p = 0; p < patterns_.size(); ++p) {
      const std::size_t trailing = trailingEmpty_[p];
      if (trailing > run) continue;
      const std::size_t end = trailing == 0 ? 0 : run - trailing;  // cells back from the newest
      if (end > 48 || size < end + 16) continue;
      if (static_cast<std::uint16_t>(shift >> end) == patterns_[p].cells) [[unlikely]]
        out_.hits.push_back({size - end - 16, static_cast<std::uint8_t>(p)});
    }
  }

  const FluxTrack& track_;
  const std::span<const CellPattern> patterns_;
  std::vector<std::size_t> trailingEmpty_;  // empty cells each pattern ends with
  const double cellTicks_;                  // the nominal cell
  const double minimum_;
  const double maximum_;
  const double frequencyGain_;
  const double phaseKept_;     // share of each timing error left in the phase
  std::uint64_t wrapGap_ = 0;  // a single revolution read again: from its last transition to the index
  LoopState loop_;
  std::size_t nextIndex_ = 0;
  std::uint64_t nextIndexTime_ = kNoIndex;
  std::size_t passStart_ = 0;
  std::size_t laterPassCells_ = kNoLimit;  // of the pass running; no limit on the first
  std::size_t stopAt_ = kNoLimit;
  RecoveredCells out_;
};

}  // namespace

std::uint16_t CellStream::Window16(std::size_t cell) const {
  const std::size_t word = cell >> 6;
  if (word >= words_.size()) return 0;
  const unsigned offset = cell & 63;
  std::uint64_t bits = words_[word] << offset;
  if (offset > 48 && word + 1 < words_.size()) bits |= words_[word + 1] >> (64 - offset);
  return static_cast<std::uint16_t>(bits >> 48);
}

RecoveredCells RecoverCells(const FluxTrack& track, double cellTicks, std::span<const CellPattern> patterns, int passes,
                            const PllSettings& settings, std::size_t laterPassCells) {
  Recovery recovery(track, cellTicks, patterns, passes, settings, laterPassCells);
  for (int pass = 0; pass < passes; ++pass) recovery.Pass(pass > 0, laterPassCells);
  return std::move(recovery).Finish();
}

}  // namespace velloran
