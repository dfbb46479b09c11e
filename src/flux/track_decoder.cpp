#include "flux/track_decoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "flux/clock_recovery.h"
#include "flux/decode_variants.h"
#include "flux/sector_merge.h"

namespace velloran {

namespace {

// The MFM data rates a drive reads (bit/s), and the cell of each in seconds.
constexpr std::array<int, 3> kDataRates = {250000, 300000, 500000};
// Intervals looked at to find the rate, and how near a whole number of cells
// an interval must be to count for a rate.
constexpr std::size_t kRateSample = 20000;
constexpr double kRateTolerance = 0.22;
// A rate fits when at least this share of the sampled intervals fits it.
constexpr double kRateMinimumShare = 0.3;

// A data mark must follow its ID within this many bytes (gap 2 and sync).
constexpr std::size_t kMfmDataMarkWindow = 60;
constexpr std::size_t kFmDataMarkWindow = 32;
// Bytes framed past the next index, so that a field begun before it ends.
constexpr std::size_t kSpillBytes = 4200;
constexpr std::size_t kSpillCells = 16 * kSpillBytes + 16;  // and the cells of one more byte
// A single revolution read round is first framed only this far past its
// index, which nearly always finishes every field begun before it; bytes
// framed this near the end of the cells could lack a mark seen only later.
constexpr std::size_t kShortSpillCells = 16 * 512 + 16;
constexpr std::size_t kFramingMargin = 8;
constexpr std::uint8_t kLargestSizeCode = 7;

constexpr std::uint8_t kIdMark = 0xFE;
constexpr std::uint8_t kIndexMark = 0xFC;
bool IsDataMark(std::uint8_t b) { return b >= 0xF8 && b <= 0xFB; }
constexpr std::uint8_t kLastDeletedDataMark = 0xF9;  // F8 and F9 mark deleted data, FA and FB normal data

// The 16 cells of a byte sent with the given clock bits, clock first.
constexpr std::uint16_t Cells(std::uint8_t data, std::uint8_t clock) {
  std::uint16_t cells = 0;
  for (int bit = 7; bit >= 0; --bit)
    cells = static_cast<std::uint16_t>(cells << 2 | ((clock >> bit) & 1) << 1 | ((data >> bit) & 1));
  return cells;
}

// MFM sync bytes lack one clock: A1 (before ID and data marks) and C2
// (before the index mark). FM marks are the mark bytes themselves, sent with
// clock C7 (D7 for the index mark).
constexpr std::array<CellPattern, 2> kMfmPatterns = {{{0x4489, 0xA1}, {0x5224, 0xC2}}};
constexpr std::array<CellPattern, 6> kFmPatterns = {{{Cells(0xFE, 0xC7), 0xFE},
                                                     {Cells(0xFB, 0xC7), 0xFB},
                                                     {Cells(0xFA, 0xC7), 0xFA},
                                                     {Cells(0xF9, 0xC7), 0xF9},
                                                     {Cells(0xF8, 0xC7), 0xF8},
                                                     {Cells(0xFC, 0xD7), 0xFC}}};
constexpr std::uint8_t kC2Pattern = 1;

// The data bits of 16 cells: every second cell, from the second on.
std::uint8_t DataBits(std::uint16_t cells) {
  unsigned x = cells & 0x5555u;
  x = (x | x >> 1) & 0x3333u;
  x = (x | x >> 2) & 0x0F0Fu;
  x = (x | x >> 4) & 0x00FFu;
  return static_cast<std::uint8_t>(x);
}

struct RateGuess {
  int dataRate = 0;      // 0: no rate fits (no flux, or noise)
  double cellTicks = 0;  // the MFM cell as measured
  double share = 0;      // of the sampled intervals, those that fit it
};

// Sampled intervals shorter than this many ticks (nearly all: it covers an FM
// cell pair in MFI's nanoseconds) are counted by length, so that each length
// is measured against a rate once.
constexpr std::uint32_t kCountedTicks = 16384;

// The rate whose cell makes most intervals 2, 3 or 4 cells long; the cell is
// then measured from those intervals, which takes in any speed difference.
RateGuess GuessRate(const FluxTrack& flux) {
  RateGuess guess;
  const std::size_t count = std::min(flux.intervals.size(), kRateSample);
  if (count == 0 || flux.sampleClock <= 0) return guess;
  std::vector<std::uint32_t> counts(kCountedTicks, 0);  // sampled intervals of each length
  std::vector<std::uint32_t> lengths;                   // the lengths counted, each once
  std::vector<std::uint32_t> longer;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t interval = flux.intervals[i];
    if (interval >= kCountedTicks)
      longer.push_back(interval);
    else if (counts[interval]++ == 0)
      lengths.push_back(interval);
  }
  std::size_t bestFits = 0;
  for (const int rate : kDataRates) {
    const double cell = flux.sampleClock / (2.0 * rate);
    std::size_t fits = 0;
    double ticks = 0;  // sums of whole numbers well below 2^53: exact in any order
    double cells = 0;
    const auto measure = [&](std::uint32_t interval, std::uint32_t times) {
      const double length = interval / cell;
      const double whole = static_cast<double>(static_cast<int>(length + 0.5));
      if (whole < 2 || whole > 4 || std::fabs(length - whole) > kRateTolerance) return;
      fits += times;
      ticks += static_cast<double>(interval) * times;
      cells += whole * times;
    };
    for (const std::uint32_t interval : lengths) measure(interval, counts[interval]);
    for (const std::uint32_t interval : longer) measure(interval, 1);
    if (fits > bestFits) {
      bestFits = fits;
      guess = {rate, ticks / cells, static_cast<double>(fits) / static_cast<double>(count)};
    }
  }
  return guess;
}

// C2 patterns count only in runs (the index mark's C2 C2 C2): a lone one can
// be ordinary data read one cell out of step.
std::vector<PatternHit> IndexMarkRunsOnly(const std::vector<PatternHit>& hits) {
  std::vector<PatternHit> kept;
  kept.reserve(hits.size());
  auto isC2At = [&](std::size_t i, std::size_t cell) {
    return i < hits.size() && hits[i].pattern == kC2Pattern && hits[i].cell == cell;
  };
  for (std::size_t i = 0; i < hits.size(); ++i) {
    const PatternHit& hit = hits[i];
    if (hit.pattern == kC2Pattern) {
      bool before = false;
      for (std::size_t j = i; j-- > 0 && hits[j].cell + 16 >= hit.cell;) before = before || isC2At(j, hit.cell - 16);
      bool after = false;
      for (std::size_t j = i + 1; j < hits.size() && hits[j].cell <= hit.cell + 16; ++j)
        after = after || isC2At(j, hit.cell + 16);
      if (!before && !after) continue;
    }
    kept.push_back(hit);
  }
  return kept;
}

// Frames the cells from `begin` into bytes, 16 cells each, starting afresh at
// every pattern; cells before the first pattern are framed back from it.
// Framing runs on past `end` (the next index) for kSpillBytes bytes.
void FrameBytes(const RecoveredCells& recovered, const std::vector<PatternHit>& hits,
                std::span<const CellPattern> patterns, std::size_t begin, std::size_t end, RevolutionBytes& out) {
  const CellStream& cells = recovered.cells;
  const std::size_t limit = std::min(cells.Size(), end + 16 * kSpillBytes);
  auto next = std::lower_bound(hits.begin(), hits.end(), begin,
                               [](const PatternHit& hit, std::size_t cell) { return hit.cell < cell; });
  out.bytes.reserve((limit - begin) / 16 + 1);
  out.sync.reserve((limit - begin) / 16 + 1);
  std::size_t cursor = begin;
  if (next != hits.end() && next->cell < end) cursor += (next->cell - begin) % 16;
  while (cursor + 16 <= limit) {
    while (next != hits.end() && next->cell < cursor) ++next;
    const bool atPattern = next != hits.end() && next->cell < cursor + 16;
    if (atPattern) cursor = next->cell;
    if (cursor < end) out.length = out.bytes.size() + 1;
    if (atPattern) {
      out.bytes.push_back(patterns[next->pattern].value);
      out.sync.push_back(true);
      ++next;
    } else {
      out.bytes.push_back(DataBits(cells.Window16(cursor)));
      out.sync.push_back(false);
    }
    cursor += 16;
  }
}

// Whether byte i is an address mark: in MFM the first byte after A1 (or C2)
// sync bytes, in FM a byte sent as a mark pattern.
bool IsMarkAt(const RevolutionBytes& rev, std::size_t i, FluxEncoding encoding) {
  if (encoding == FluxEncoding::FM) return rev.sync[i];
  return i > 0 && !rev.sync[i] && rev.sync[i - 1];
}

std::uint16_t FieldCrc(FluxEncoding encoding, std::uint8_t mark, const std::uint8_t* field, std::size_t length) {
  Bytes bytes;
  bytes.reserve(length + 4);
  if (encoding == FluxEncoding::MFM) bytes.assign(3, 0xA1);
  bytes.push_back(mark);
  bytes.insert(bytes.end(), field, field + length);
  return CalcCRC16(bytes.data(), bytes.size());
}

std::uint16_t Stored16(const Bytes& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}

// Reads the data field that belongs to the ID ending before `from`, if its
// mark comes within the window and before any other ID.
void ReadDataField(const RevolutionBytes& rev, std::size_t from, FluxEncoding encoding, SectorCopy& copy) {
  const std::size_t window = encoding == FluxEncoding::MFM ? kMfmDataMarkWindow : kFmDataMarkWindow;
  for (std::size_t j = from; j < rev.bytes.size() && j < from + window; ++j) {
    if (!IsMarkAt(rev, j, encoding)) continue;
    const std::uint8_t mark = rev.bytes[j];
    if (mark == kIdMark) return;
    if (!IsDataMark(mark)) continue;
    const std::size_t size = std::size_t{128} << std::min(copy.n, kLargestSizeCode);
    const std::size_t first = j + 1;
    const std::size_t available = rev.bytes.size() - first;
    copy.hasData = true;
    copy.deleted = mark <= kLastDeletedDataMark;
    copy.dataPos = first;
    const std::size_t taken = std::min(size, available);
    copy.data.assign(rev.bytes.begin() + static_cast<std::ptrdiff_t>(first),
                     rev.bytes.begin() + static_cast<std::ptrdiff_t>(first + taken));
    if (available >= size + 2) {
      copy.dataCrc = Stored16(rev.bytes, first + size);
      copy.dataOk = copy.dataCrc == FieldCrc(encoding, mark, &rev.bytes[first], size);
    }
    return;
  }
}

// Finds the ID fields whose mark lies before the next index, and their data.
void ReadSectors(RevolutionBytes& rev, FluxEncoding encoding) {
  for (std::size_t i = 0; i < rev.length; ++i) {
    if (!IsMarkAt(rev, i, encoding)) continue;
    const std::uint8_t mark = rev.bytes[i];
    if (mark == kIndexMark) rev.formatted = true;
    if (mark != kIdMark || i + 7 > rev.bytes.size()) continue;
    rev.formatted = true;
    SectorCopy copy;
    copy.c = rev.bytes[i + 1];
    copy.h = rev.bytes[i + 2];
    copy.r = rev.bytes[i + 3];
    copy.n = rev.bytes[i + 4];
    copy.idCrc = Stored16(rev.bytes, i + 5);
    copy.idOk = copy.idCrc == FieldCrc(encoding, mark, &rev.bytes[i + 1], 4);
    copy.position = static_cast<double>(i) / static_cast<double>(rev.length);
    ReadDataField(rev, i + 7, encoding, copy);
    rev.sectors.push_back(std::move(copy));
  }
}

// Whether the bytes framed hold everything that the fields beginning before
// the index read (as ReadSectors and ReadDataField do): framing further would
// change none of the revolution's sectors.
bool HoldsEveryField(const RevolutionBytes& rev, FluxEncoding encoding) {
  const std::size_t window = encoding == FluxEncoding::MFM ? kMfmDataMarkWindow : kFmDataMarkWindow;
  for (std::size_t i = 0; i < rev.length; ++i) {
    if (!IsMarkAt(rev, i, encoding) || rev.bytes[i] != kIdMark) continue;
    if (i + 7 > rev.bytes.size()) return false;
    const std::size_t size = std::size_t{128} << std::min(rev.bytes[i + 4], kLargestSizeCode);
    if (i + 7 + window + size + 2 + kFramingMargin > rev.bytes.size()) return false;
  }
  return true;
}

// Every revolution of the flux decoded with one encoding, a single
// revolution that starts at its index read round and `spillCells` on.
std::vector<RevolutionBytes> FramedRevolutions(const FluxTrack& flux, double cellTicks, FluxEncoding encoding,
                                               const PllSettings& settings, int variant, std::size_t spillCells) {
  const bool fm = encoding == FluxEncoding::FM;
  const std::span<const CellPattern> patterns =
      fm ? std::span<const CellPattern>(kFmPatterns) : std::span<const CellPattern>(kMfmPatterns);
  const bool circular = flux.Revolutions() == 1 && flux.indexTimes.front() == 0;
  const RecoveredCells recovered =
      RecoverCells(flux, fm ? 2 * cellTicks : cellTicks, patterns, circular ? 2 : 1, settings, spillCells);
  const std::vector<PatternHit> hits = fm ? recovered.hits : IndexMarkRunsOnly(recovered.hits);

  std::vector<std::pair<std::size_t, std::size_t>> spans;
  for (int r = 0; r < flux.Revolutions(); ++r) spans.emplace_back(recovered.indexCells[r], recovered.indexCells[r + 1]);
  if (spans.empty()) spans.emplace_back(0, recovered.cells.Size());  // no index: the capture as one turn

  std::vector<RevolutionBytes> revolutions(spans.size());
  for (std::size_t r = 0; r < spans.size(); ++r) {
    FrameBytes(recovered, hits, patterns, spans[r].first, spans[r].second, revolutions[r]);
    ReadSectors(revolutions[r], encoding);
    revolutions[r].variant = variant;
    revolutions[r].revolution = static_cast<int>(r);
  }
  return revolutions;
}

// Every revolution of the flux decoded with one encoding. A single revolution
// that starts at its index is read once round and on as far as framing goes
// past the index, so that fields crossing the index and the framing of its
// first bytes come out whole: a short way on first, as far as kSpillBytes
// where a field may reach further.
std::vector<RevolutionBytes> DecodeRevolutions(const FluxTrack& flux, double cellTicks, FluxEncoding encoding,
                                               const PllSettings& settings = {}, int variant = 0) {
  const bool circular = flux.Revolutions() == 1 && flux.indexTimes.front() == 0;
  if (circular) {
    std::vector<RevolutionBytes> revolutions =
        FramedRevolutions(flux, cellTicks, encoding, settings, variant, kShortSpillCells);
    if (HoldsEveryField(revolutions.front(), encoding)) return revolutions;
  }
  return FramedRevolutions(flux, cellTicks, encoding, settings, variant, kSpillCells);
}

bool AnyFormatted(const std::vector<RevolutionBytes>& revolutions) {
  return std::any_of(revolutions.begin(), revolutions.end(), [](const RevolutionBytes& r) { return r.formatted; });
}

Bytes SyncMap(const RevolutionBytes& rev) {
  Bytes map((rev.length + 7) / 8, 0);
  for (std::size_t i = 0; i < rev.length; ++i)
    if (rev.sync[i]) map[i / 8] = static_cast<std::uint8_t>(map[i / 8] | 1 << (i % 8));
  return map;
}

// One more decoding of the flux, its revolutions added; whether it found an
// address mark. At another rate than the one measured, damaged IDs are
// dropped: read at a wrong rate, noise may look like one.
bool DecodeOneWay(const FluxTrack& flux, double cellTicks, FluxEncoding encoding, const DecodeWay& way,
                  std::vector<RevolutionBytes>& revolutions, std::vector<DecodeWay>& ways) {
  std::vector<RevolutionBytes> more =
      DecodeRevolutions(flux, cellTicks, encoding, WaySettings(way), static_cast<int>(ways.size()));
  ways.push_back(way);
  const bool formatted = AnyFormatted(more);
  for (RevolutionBytes& revolution : more) {
    if (way.dataRate > 0) std::erase_if(revolution.sectors, [](const SectorCopy& copy) { return !copy.idOk; });
    revolutions.push_back(std::move(revolution));
  }
  return formatted;
}

// Decodes the flux again until every sector has a good copy or the ways run
// out: each other setting at the measured cell, then each other data rate
// at its nominal cell, its other settings only where its normal one finds a
// mark (at a rate far off, none does). `controllerRate` is the rate found.
void DecodeOtherWays(const FluxTrack& flux, double cellTicks, int controllerRate, FluxEncoding encoding,
                     std::vector<RevolutionBytes>& revolutions, std::vector<DecodeWay>& ways) {
  if (EverySectorGood(revolutions)) return;  // a clean track pays nothing more
  const int settings = static_cast<int>(DecodeVariants().size());
  const auto otherSettings = [&](double cell, int rate) {
    for (int setting = 1; setting <= settings && !EverySectorGood(revolutions); ++setting)
      DecodeOneWay(flux, cell, encoding, {rate, setting}, revolutions, ways);
  };
  otherSettings(cellTicks, 0);
  for (const int rate : kDataRates) {
    if (rate == controllerRate || EverySectorGood(revolutions)) continue;
    const double cell = flux.sampleClock / (2.0 * rate);
    if (DecodeOneWay(flux, cell, encoding, {rate, 0}, revolutions, ways)) otherSettings(cell, rate);
  }
}

// "Track 5: loop 8 %, clock 102 % read sectors 3, 4": which way gave the
// sectors the normal one did not.
void NoteVariantSectors(const TTrack& track, const std::vector<SlotOrigin>& origins, DecodeReport& report) {
  std::map<int, std::string> numbers;  // way -> sector numbers
  for (std::size_t slot = 0; slot < origins.size(); ++slot) {
    if (origins[slot].variant <= 0 || !track.Sectors[slot].DataOk) continue;
    std::string& list = numbers[origins[slot].variant];
    list += (list.empty() ? "" : ", ") + std::to_string(track.Sectors[slot].IdSector);
  }
  for (const auto& [variant, list] : numbers)
    report.otherWays.push_back(
        {MessageId::FluxVariantRead, {track.TrackNum, WayName(report.ways[static_cast<std::size_t>(variant)]), list}});
  report.notices.insert(report.notices.end(), report.otherWays.begin(), report.otherWays.end());
}

}  // namespace

double RateFit(const FluxTrack& flux) { return GuessRate(flux).share; }

std::string SlotWayName(const DecodeReport& report, std::size_t slot) {
  if (slot >= report.origins.size()) return {};
  const int variant = report.origins[slot].variant;
  return variant > 0 && variant < static_cast<int>(report.ways.size())
             ? RenderPhrase(Language::English, WayName(report.ways[static_cast<std::size_t>(variant)]))
             : std::string();
}

TrackLayout DecodeTrackLayout(const FluxTrack& flux) {
  TrackLayout layout;
  const RateGuess rate = GuessRate(flux);
  layout.cellTicks = rate.cellTicks;
  if (rate.dataRate == 0 || rate.share < kRateMinimumShare) return layout;
  for (const FluxEncoding encoding : {FluxEncoding::MFM, FluxEncoding::FM}) {
    layout.revolutions = DecodeRevolutions(flux, rate.cellTicks, encoding);
    if (!AnyFormatted(layout.revolutions)) continue;
    layout.encoding = encoding;
    layout.dataRate = encoding == FluxEncoding::FM ? rate.dataRate / 2 : rate.dataRate;
    return layout;
  }
  layout.revolutions.clear();
  return layout;
}

TrackLayout RawTrackLayout(ByteSpan raw) {
  constexpr std::uint8_t kSync = 0xA1;
  RevolutionBytes revolution;
  revolution.bytes.assign(raw.begin(), raw.end());
  revolution.sync.assign(raw.size(), false);
  revolution.length = raw.size();
  for (std::size_t i = 0; i + 3 <= raw.size(); ++i)
    if (raw[i] == kSync && raw[i + 1] == kSync && raw[i + 2] == kSync)
      std::fill_n(revolution.sync.begin() + i, 3, true);
  ReadSectors(revolution, FluxEncoding::MFM);
  TrackLayout layout;
  if (!revolution.formatted) return layout;
  layout.encoding = FluxEncoding::MFM;
  layout.revolutions.push_back(std::move(revolution));
  return layout;
}

DecodeReport DecodeFluxTrack(const FluxTrack& flux, TTrack& track, DecodeWays ways) {
  track.Clear();
  DecodeReport report;
  TrackLayout layout = DecodeTrackLayout(flux);
  if (layout.encoding == FluxEncoding::None) return report;
  const FluxEncoding encoding = layout.encoding;
  std::vector<RevolutionBytes>& revolutions = layout.revolutions;
  report.encoding = encoding;
  report.dataRate = layout.dataRate;
  report.revolutions = static_cast<int>(revolutions.size());
  report.ways.push_back({});
  // The controller's rate: an FM track's data rate is half of it.
  const int controllerRate = encoding == FluxEncoding::FM ? 2 * layout.dataRate : layout.dataRate;
  if (ways == DecodeWays::Every)
    DecodeOtherWays(flux, layout.cellTicks, controllerRate, encoding, revolutions, report.ways);
  report.variantsTried = static_cast<int>(report.ways.size()) - 1;
  track.Present = true;
  track.Fm = encoding == FluxEncoding::FM;
  track.DataRate = static_cast<std::uint16_t>(controllerRate / 1000);
  // The model's raw track is MFM, as the UDI writer sends it.
  const MergedTrack merged = MergeRevolutions(revolutions, encoding == FluxEncoding::MFM, track, report.notices);
  report.revolutionKept = merged.revolutionKept < 0 ? -1 : revolutions[merged.revolutionKept].revolution;
  if (merged.revolutionKept >= 0) report.syncMap = SyncMap(revolutions[merged.revolutionKept]);
  report.origins = merged.origins;
  NoteVariantSectors(track, merged.origins, report);
  for (const Phrase& notice : report.notices) track.Log.push_back(PhraseText(notice));
  return report;
}

}  // namespace velloran
