#include "formats/mfi.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

#include "common/parallel.h"
#include "flux/track_decoder.h"
#include "formats/flux_image.h"
#include "formats/image_file.h"
#include "formats/reader_notices.h"
#include "formats/zlib_inflate.h"

namespace velloran {

namespace {

constexpr std::size_t kHeaderLength = 32;
constexpr std::size_t kEntryLength = 16;
constexpr char kSignature[] = "MAMEFLOPPYIMAGE";  // with its final zero byte: 16 bytes
constexpr char kOldSignature[] = "MESSFLOPPYIMAGE";
constexpr std::uint32_t kTurn = 200'000'000;  // cell length units per revolution
constexpr std::uint32_t kLengthMask = 0x0FFFFFFF;
constexpr int kCylinderLimit = 84;
// A track of more cells than this is not a floppy track (4 bytes a cell).
constexpr std::size_t kMaxTrackBytes = 8u * 1024u * 1024u;
// Cell types: in current files a cell ends with a flux transition (type 0);
// in old files types 0 and 1 are the two directions of magnetisation and a
// transition lies where they change. Other types are zones without flux.
constexpr std::uint32_t kFluxCell = 0;
constexpr std::uint32_t kOldSecondDirection = 1;
// zlib's tuning of the default level, with the longest match (258) and a
// longer search (256 instead of 128).
constexpr int kGoodMatch = 8;
constexpr int kLazyMatch = 16;
constexpr int kNiceMatch = 258;
constexpr int kMatchChain = 256;
constexpr int kTracksPerRound = 16;  // tracks whose cells are held at once

// Revolutions per minute of a drive of that form factor and variant: 5.25"
// high-density drives turn at 360, all others at 300.
double HeaderRpm(const std::uint8_t* formFactor, const std::uint8_t* variant) {
  const bool highDensity5 = std::memcmp(formFactor, "525 ", 4) == 0 && variant[2] == 'H' && variant[3] == 'D';
  return highDensity5 ? 360 : 300;
}

// Formatted tracks whose flux is looked at to tell the speed, and by how
// much (mean share of fitting intervals) the other speed must fit better.
constexpr int kSpeedSampleTracks = 4;
constexpr double kSpeedMargin = 0.1;

void SetRpm(FluxDisk& flux, double rpm) {
  for (auto& held : flux.tracks)
    if (held) held->flux.sampleClock = kTurn * rpm / 60;
}

// The mean share of intervals that fit a data rate on the first formatted tracks.
double SpeedFit(const FluxDisk& flux) {
  double fit = 0;
  int sampled = 0;
  for (const auto& held : flux.tracks) {
    if (!held || held->flux.Unformatted()) continue;
    fit += RateFit(held->flux);
    if (++sampled == kSpeedSampleTracks) break;
  }
  return sampled == 0 ? 0 : fit / sampled;
}

// MFI times are fractions of a turn, so the drive's speed decides which data
// rate the cells stand for. The header suggests the speed; the flux decides
// when it fits the other speed clearly better (a variant of 0 says nothing,
// and a 1.2 MB disk read at 360 rpm would otherwise decode as noise).
void SetCaptureRpm(FluxDisk& flux, double suggested) {
  const double other = suggested == 300 ? 360 : 300;
  SetRpm(flux, other);
  const double otherFit = SpeedFit(flux);
  SetRpm(flux, suggested);
  if (otherFit > SpeedFit(flux) + kSpeedMargin) SetRpm(flux, other);
}

// The transitions of a track's cells, in units of a turn, as the cells come.
class CellReader {
 public:
  CellReader(bool oldFormat, std::vector<std::uint32_t>& intervals) : oldFormat_(oldFormat), intervals_(intervals) {}

  // The next cells of the track (whole cells of 4 bytes).
  void Take(ByteSpan cells) {
    for (std::size_t i = 0; i + 4 <= cells.size(); i += 4) {
      const std::uint32_t cell = ReadLe32(&cells[i]);
      const std::uint32_t type = cell >> 28;
      const std::uint32_t length = cell & kLengthMask;
      if (oldFormat_) {
        // The change of direction lies at the start of the cell.
        if (type <= kOldSecondDirection) {
          if (lastDirection_ >= 0 && static_cast<int>(type) != lastDirection_ && pending_ > 0) {
            intervals_.push_back(static_cast<std::uint32_t>(std::min<std::uint64_t>(pending_, UINT32_MAX)));
            pending_ = 0;
          }
          lastDirection_ = static_cast<int>(type);
        }
        pending_ += length;
      } else {
        pending_ += length;
        if (type == kFluxCell) {
          intervals_.push_back(static_cast<std::uint32_t>(std::min<std::uint64_t>(pending_, UINT32_MAX)));
          pending_ = 0;
        }
      }
    }
  }

 private:
  const bool oldFormat_;
  std::vector<std::uint32_t>& intervals_;
  std::uint64_t pending_ = 0;
  int lastDirection_ = -1;
};

// Cells of one track: each interval a flux cell, the revolution scaled to a
// whole turn of kTurn units.
Bytes IntervalsToCells(std::span<const std::uint32_t> intervals, std::uint64_t turnTicks) {
  Bytes cells;
  cells.reserve(intervals.size() * 4);
  const double scale = static_cast<double>(kTurn) / static_cast<double>(turnTicks);
  std::uint64_t time = 0;
  std::uint64_t written = 0;
  for (const std::uint32_t interval : intervals) {
    time += interval;
    const auto end = std::min<std::uint64_t>(std::llround(static_cast<double>(time) * scale), kTurn);
    if (end <= written) continue;
    AppendLe32(cells, static_cast<std::uint32_t>(std::min<std::uint64_t>(end - written, kLengthMask)) | kFluxCell);
    written = end;
  }
  return cells;
}

// A track's cells packed by zlib, or nothing when zlib fails. The cells of a
// clean track repeat over long stretches: the default level with matches up
// to the longest deflate has and a longer search packs them a tenth smaller
// than floptool's file at about the default level's speed.
std::optional<Bytes> Packed(const Bytes& cells) {
  z_stream stream{};
  if (deflateInit(&stream, Z_DEFAULT_COMPRESSION) != Z_OK) return std::nullopt;
  deflateTune(&stream, kGoodMatch, kLazyMatch, kNiceMatch, kMatchChain);
  Bytes packed(deflateBound(&stream, static_cast<uLong>(cells.size())));
  stream.next_in = const_cast<Bytef*>(cells.data());
  stream.avail_in = static_cast<uInt>(cells.size());
  stream.next_out = packed.data();
  stream.avail_out = static_cast<uInt>(packed.size());
  const bool done = deflate(&stream, Z_FINISH) == Z_STREAM_END;
  packed.resize(stream.total_out);
  deflateEnd(&stream);
  if (!done) return std::nullopt;
  return packed;
}

// One track entry as read: its flux, or what is wrong with it.
struct ReadTrack {
  std::optional<FluxTrack> flux;  // none: unformatted (no cells)
  Diagnostic error;               // empty: read
};

// The cells (4 bytes each) a track entry says it holds.
std::uint64_t EntryCells(const std::uint8_t* entry) { return ReadLe32(entry + 8) / 4; }

ReadTrack ReadTrackEntry(ByteSpan data, const std::uint8_t* entry, bool oldFormat, int track) {
  ReadTrack read;
  const std::uint64_t offset = ReadLe32(entry);
  const std::uint64_t compressed = ReadLe32(entry + 4);
  const std::uint64_t size = ReadLe32(entry + 8);
  if (size == 0) return read;
  if (offset + compressed > data.size() || size % 4 != 0 || size > kMaxTrackBytes) {
    read.error = {MessageId::MfiTrackError, {track}};
    return read;
  }
  // One revolution from the index, the first interval counted from it.
  FluxTrack& flux = read.flux.emplace();
  flux.intervals.reserve(size / 4);
  flux.indexTimes = {0, kTurn};
  CellReader cells(oldFormat, flux.intervals);
  if (!InflatePieces(data.subspan(offset, compressed), size, [&](ByteSpan piece) { cells.Take(piece); })) {
    read.flux.reset();
    read.error = {MessageId::MfiTrackNotUnpacked, {track}};
  } else if (flux.intervals.size() < flux.intervals.capacity() / 2) {
    flux.intervals.shrink_to_fit();  // cells without flux (or old files' cells): hold no more than the flux
  }
  return read;
}

// Tracks are unpacked on all cores in rounds that hold at most this many
// cells, so that a file claiming huge tracks costs no more memory read in
// parallel than read one track after the other.
constexpr std::uint64_t kCellsPerRound = kMaxTrackBytes / 4;

bool HasMfiSignature(ByteSpan data) {
  return data.size() >= kHeaderLength &&
         (std::memcmp(data.data(), kSignature, 16) == 0 || std::memcmp(data.data(), kOldSignature, 16) == 0);
}

}  // namespace

Confidence ProbeMFI(const ProbeInput& input) {
  return HasMfiSignature(input.head) ? Confidence::Signature : Confidence::None;
}

bool LoadMFI(TZX_Disk& disk, const std::filesystem::path& file) {
  Bytes data;
  if (!ReadImageFile(disk, file, data, kMaxFluxFileSize)) return false;
  return LoadMFIFromBytes(disk, data);
}

bool LoadMFIFromBytes(TZX_Disk& disk, ByteSpan data) {
  disk.ClearDisk();
  if (data.size() < kHeaderLength) return Fail(disk, {MessageId::FileTooShort, {"MFI"}});
  if (!HasMfiSignature(data)) return Fail(disk, {MessageId::NotOfFormat, {"MFI"}});
  const bool current = std::memcmp(data.data(), kSignature, 16) == 0;
  const bool oldFormat = !current;
  const std::uint32_t cylinderField = ReadLe32(&data[16]);
  const int steps = current ? static_cast<int>(cylinderField >> 30) : 0;  // half or quarter tracks
  const std::uint32_t cylinders = current ? cylinderField & 0x3FFFFFFF : cylinderField;
  const std::uint32_t heads = ReadLe32(&data[20]);
  if (cylinders > kCylinderLimit || heads < 1 || heads > 2 || steps > 2)
    return Fail(disk, {MessageId::FileHeaderError, {"MFI"}});
  const std::size_t entries = (std::size_t{cylinders} << steps) * heads;
  if (kHeaderLength + entries * kEntryLength > data.size()) return Fail(disk, {MessageId::FileLengthError, {"MFI"}});

  std::vector<std::pair<const std::uint8_t*, int>> tracks;  // entry and track number, in track order
  std::vector<Diagnostic> notices;
  for (std::uint32_t c = 0; c < cylinders && notices.empty(); ++c) {
    if (2 * c + heads > kTrackCount) {
      notices.push_back(TracksBeyondLeftOut("MFI"));
      break;
    }
    for (std::uint32_t h = 0; h < heads; ++h)
      tracks.emplace_back(&data[kHeaderLength + ((std::size_t{c} << steps) * heads + h) * kEntryLength],
                          static_cast<int>(2 * c + h));
  }
  auto flux = std::make_shared<FluxDisk>();
  FluxBudget budget;
  for (std::size_t first = 0; first < tracks.size();) {
    std::size_t end = first + 1;
    for (std::uint64_t cells = EntryCells(tracks[first].first);
         end < tracks.size() && cells + EntryCells(tracks[end].first) <= kCellsPerRound; ++end)
      cells += EntryCells(tracks[end].first);
    std::vector<ReadTrack> read(end - first);
    ForEachInParallel(read.size(), [&](std::size_t i) {
      read[i] = ReadTrackEntry(data, tracks[first + i].first, oldFormat, tracks[first + i].second);
    });
    for (std::size_t i = 0; i < read.size(); ++i) {
      if (!read[i].error.Empty()) return Fail(disk, read[i].error);
      if (!read[i].flux) continue;
      if (!budget.Take(read[i].flux->intervals.size())) return Fail(disk, kFluxTooLarge);
      flux->tracks[tracks[first + i].second] = FluxDisk::HeldTrack{std::move(*read[i].flux), 0};
    }
    first = end;
  }
  SetCaptureRpm(*flux, HeaderRpm(&data[24], &data[28]));
  FinishFluxLoad(disk, std::move(flux), std::move(notices));
  return true;
}

bool SaveMFI(TZX_Disk& disk, const std::filesystem::path& file) {
  Bytes out;
  return SaveMFIToBytes(disk, out) && WriteImageFile(disk, file, out);
}

bool SaveMFIToBytes(TZX_Disk& disk, Bytes& out) {
  out.clear();
  const int cylinders = (disk.TracksToWrite() + 1) / 2;
  if (cylinders == 0) return Fail(disk, MessageId::NoTracksToWrite);
  out.assign(kHeaderLength + 2 * cylinders * kEntryLength, 0);
  std::memcpy(out.data(), kSignature, 16);
  WriteLe32(&out[16], static_cast<std::uint32_t>(cylinders));
  WriteLe32(&out[20], 2);
  std::memcpy(&out[24], "525 ", 4);
  std::memcpy(&out[28], cylinders > 42 ? "DSQD" : "DSDD", 4);
  // The cells of a round of tracks are made one track after the other (they
  // read the disk), then packed on all cores.
  for (int first = 0; first < 2 * cylinders; first += kTracksPerRound) {
    const int count = std::min(kTracksPerRound, 2 * cylinders - first);
    std::vector<std::optional<Bytes>> cells(count);
    for (int i = 0; i < count; ++i) {
      FluxTrack flux;
      if (!FluxToWrite(disk, first + i, {.sampleClock = kTurn * 300.0 / 60, .wholeTickCells = true}, flux, "MFI")) {
        out.clear();
        return false;
      }
      if (flux.Unformatted()) continue;
      const bool indexed = flux.Revolutions() > 0;
      cells[i] = IntervalsToCells(indexed ? RevolutionIntervals(flux, 0) : flux.intervals,
                                  indexed ? flux.indexTimes[1] - flux.indexTimes[0] : flux.TransitionTime());
    }
    std::vector<std::optional<Bytes>> packed(count);
    ForEachInParallel(static_cast<std::size_t>(count), [&](std::size_t i) {
      if (cells[i]) packed[i] = Packed(*cells[i]);
    });
    for (int i = 0; i < count; ++i) {
      if (!cells[i]) continue;
      if (!packed[i]) {
        out.clear();
        return Fail(disk, {MessageId::MfiTrackNotPacked, {first + i}});
      }
      std::uint8_t* entry = &out[kHeaderLength + (first + i) * kEntryLength];
      WriteLe32(entry, static_cast<std::uint32_t>(out.size()));
      WriteLe32(entry + 4, static_cast<std::uint32_t>(packed[i]->size()));
      WriteLe32(entry + 8, static_cast<std::uint32_t>(cells[i]->size()));
      out.insert(out.end(), packed[i]->begin(), packed[i]->end());
    }
  }
  return true;
}

}  // namespace velloran
