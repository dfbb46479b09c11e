#include "formats/scp.h"

#include <algorithm>
#include <numeric>

#include "formats/flux_image.h"
#include "formats/image_file.h"
#include "formats/reader_notices.h"

namespace velloran {

namespace {

constexpr std::size_t kHeaderLength = 16;
constexpr int kTableEntries = 168;
constexpr std::size_t kTrackHeaderLength = 4;  // "TRK" and the track number
constexpr std::size_t kRevolutionEntryLength = 12;
constexpr double kBaseTick = 25e-9;  // resolution 0: 25 ns
constexpr std::uint8_t kVersion = 0x22;
constexpr std::uint8_t kDiskTypeOther720 = 0x84;
// Flags written: index-cued revolutions, a 96 tpi drive, made by another
// device than the SuperCard Pro board.
constexpr std::uint8_t kFlagsWritten = 0x01 | 0x02 | 0x80;
constexpr std::uint8_t kBothHeads = 0;
constexpr std::uint8_t kSide0Only = 1;
constexpr std::uint8_t kSide1Only = 2;

std::uint32_t Checksum(ByteSpan data) {
  return std::accumulate(data.begin() + kHeaderLength, data.end(), std::uint32_t{0});
}

// The model track of an SCP track number, or -1 outside the model.
int ModelTrack(int number, std::uint8_t heads) {
  const int track = heads == kSide0Only ? 2 * number : heads == kSide1Only ? 2 * number + 1 : number;
  return track < kTrackCount ? track : -1;
}

// The 16-bit big-endian flux values of one revolution; 0 adds 65536 to the next.
std::vector<std::uint32_t> ReadFluxValues(ByteSpan values) {
  std::vector<std::uint32_t> intervals;
  intervals.reserve(values.size() / 2);
  std::uint32_t carry = 0;
  for (std::size_t i = 0; i + 1 < values.size(); i += 2) {
    const std::uint32_t value = static_cast<std::uint32_t>(values[i] << 8 | values[i + 1]);
    if (value == 0) {
      carry += 0x10000;
      continue;
    }
    intervals.push_back(carry + value);
    carry = 0;
  }
  return intervals;
}

// Reads the revolutions of one track record into `flux`.
bool ReadTrack(TZX_Disk& disk, ByteSpan data, std::size_t offset, int revolutions, FluxTrack& flux) {
  if (offset + kTrackHeaderLength + revolutions * kRevolutionEntryLength > data.size() ||
      !std::equal(data.begin() + static_cast<std::ptrdiff_t>(offset),
                  data.begin() + static_cast<std::ptrdiff_t>(offset + 3), "TRK"))
    return Fail(disk, {MessageId::ScpTrackError, {offset}});
  for (int r = 0; r < revolutions; ++r) {
    const std::uint8_t* entry = &data[offset + kTrackHeaderLength + r * kRevolutionEntryLength];
    const std::uint32_t indexTicks = ReadLe32(entry);
    const std::uint64_t count = ReadLe32(entry + 4);
    const std::uint64_t start = offset + std::uint64_t{ReadLe32(entry + 8)};
    if (start + 2 * count > data.size()) return Fail(disk, {MessageId::ScpFluxPastEnd, {offset}});
    const auto values = ReadFluxValues(data.subspan(start, 2 * count));
    AppendRevolution(flux, values, indexTicks);
  }
  return true;
}

// The flux of revolution r of a track to write, and its length in ticks. A
// track with fewer revolutions repeats them; one without index pulses is one
// revolution.
std::vector<std::uint32_t> WrittenRevolution(const FluxTrack& flux, int r, std::uint32_t& indexTicks) {
  if (flux.Revolutions() == 0) {
    indexTicks = static_cast<std::uint32_t>(std::min<std::uint64_t>(flux.TransitionTime(), UINT32_MAX));
    return flux.intervals;
  }
  const int revolution = r % flux.Revolutions();
  indexTicks = static_cast<std::uint32_t>(flux.indexTimes[revolution + 1] - flux.indexTimes[revolution]);
  return RevolutionIntervals(flux, revolution);
}

void AppendFluxValues(Bytes& out, std::span<const std::uint32_t> intervals, std::uint32_t& count) {
  for (std::uint32_t value : intervals) {
    for (; value > 0xFFFF; value -= 0x10000) {
      out.push_back(0);
      out.push_back(0);
      ++count;
    }
    value = std::max<std::uint32_t>(value, 1);
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
    ++count;
  }
}

// "SCP", a revolution count and a head choice the reader knows.
bool HasScpHeader(ByteSpan data) {
  return data.size() >= kHeaderLength && std::equal(data.begin(), data.begin() + 3, "SCP") && data[5] != 0 &&
         data[10] <= kSide1Only;
}

}  // namespace

Confidence ProbeSCP(const ProbeInput& input) {
  return HasScpHeader(input.head) ? Confidence::Signature : Confidence::None;
}

bool LoadSCP(TZX_Disk& disk, const std::filesystem::path& file) {
  Bytes data;
  if (!ReadImageFile(disk, file, data, kMaxFluxFileSize)) return false;
  return LoadSCPFromBytes(disk, data);
}

bool LoadSCPFromBytes(TZX_Disk& disk, ByteSpan data) {
  disk.ClearDisk();
  if (data.size() < kHeaderLength) return Fail(disk, {MessageId::FileTooShort, {"SCP"}});
  if (!std::equal(data.begin(), data.begin() + 3, "SCP")) return Fail(disk, {MessageId::NotOfFormat, {"SCP"}});
  if (!HasScpHeader(data)) return Fail(disk, {MessageId::FileHeaderError, {"SCP"}});
  const int revolutions = data[5];
  const std::uint8_t cellWidth = data[9];
  const std::uint8_t heads = data[10];
  if (cellWidth != 0 && cellWidth != 16) return Fail(disk, {MessageId::ScpCellWidth, {cellWidth}});
  std::vector<Diagnostic> notices;
  const std::uint32_t checksum = ReadLe32(&data[12]);
  if (checksum != 0 && checksum != Checksum(data))
    notices.push_back({{MessageId::ScpChecksumMismatch}, Severity::Warning});

  // The offset table ends at the first track record at the latest.
  std::size_t tableEnd = std::min(data.size(), kHeaderLength + 4 * kTableEntries);
  for (std::size_t at = kHeaderLength; at + 4 <= tableEnd; at += 4)
    if (const std::uint32_t offset = ReadLe32(&data[at]); offset != 0)
      tableEnd = std::min<std::size_t>(tableEnd, offset);

  auto flux = std::make_shared<FluxDisk>();
  FluxBudget budget;
  const double sampleClock = 1 / (kBaseTick * (data[11] + 1));
  bool beyondModel = false;
  for (int number = 0; kHeaderLength + 4 * number + 4 <= tableEnd; ++number) {
    const std::uint32_t offset = ReadLe32(&data[kHeaderLength + 4 * number]);
    if (offset == 0) continue;
    const int track = ModelTrack(number, heads);
    if (track < 0) {
      beyondModel = true;
      continue;
    }
    FluxTrack trackFlux;
    trackFlux.sampleClock = sampleClock;
    if (!ReadTrack(disk, data, offset, revolutions, trackFlux)) return false;
    if (!budget.Fit(trackFlux, track, disk)) return Fail(disk, kFluxTooLarge);
    flux->tracks[track] = FluxDisk::HeldTrack{std::move(trackFlux), 0};
  }
  if (beyondModel) notices.push_back(TracksBeyondLeftOut("SCP"));
  FinishFluxLoad(disk, std::move(flux), std::move(notices));
  return true;
}

bool SaveSCP(TZX_Disk& disk, const std::filesystem::path& file) {
  Bytes out;
  return SaveSCPToBytes(disk, out) && WriteImageFile(disk, file, out);
}

bool SaveSCPToBytes(TZX_Disk& disk, Bytes& out) {
  out.clear();
  const int tracks = disk.TracksToWrite();
  if (tracks == 0) return Fail(disk, MessageId::NoTracksToWrite);
  const int revolutions = std::min(RevolutionsToWrite(disk), 255);
  out.assign(kHeaderLength + 4 * kTableEntries, 0);
  std::copy_n("SCP", 3, out.begin());
  out[3] = kVersion;
  out[4] = kDiskTypeOther720;
  out[5] = static_cast<std::uint8_t>(revolutions);
  out[6] = 0;
  out[7] = static_cast<std::uint8_t>(tracks - 1);
  out[8] = kFlagsWritten;
  out[9] = 0;  // 16-bit flux values
  out[10] = kBothHeads;
  out[11] = 0;  // 25 ns ticks
  for (int t = 0; t < tracks; ++t) {
    FluxTrack flux;
    if (!FluxToWrite(disk, t, {.sampleClock = 1 / kBaseTick}, flux, "SCP")) {
      out.clear();
      return false;
    }
    if (flux.Unformatted()) continue;
    const std::size_t start = out.size();
    WriteLe32(&out[kHeaderLength + 4 * t], static_cast<std::uint32_t>(start));
    out.insert(out.end(), {'T', 'R', 'K', static_cast<std::uint8_t>(t)});
    out.resize(out.size() + revolutions * kRevolutionEntryLength, 0);
    for (int r = 0; r < revolutions; ++r) {
      std::uint32_t indexTicks = 0;
      const auto intervals = WrittenRevolution(flux, r, indexTicks);
      const auto dataOffset = static_cast<std::uint32_t>(out.size() - start);
      std::uint32_t count = 0;
      AppendFluxValues(out, intervals, count);
      std::uint8_t* entry = &out[start + kTrackHeaderLength + r * kRevolutionEntryLength];
      WriteLe32(entry, indexTicks);
      WriteLe32(entry + 4, count);
      WriteLe32(entry + 8, dataOffset);
    }
  }
  WriteLe32(&out[12], Checksum(out));
  return true;
}

}  // namespace velloran
