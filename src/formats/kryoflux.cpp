#include "formats/kryoflux.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "common/file_io.h"
#include "common/utf8_path.h"
#include "formats/flux_image.h"
#include "formats/image_file.h"
#include "formats/reader_notices.h"

namespace velloran {

namespace {

// The sample clock of the board: 18.432 MHz × 73 / 14 / 4.
constexpr double kSampleClock = 18432000.0 * 73 / 14 / 4;

// Stream block codes.
constexpr std::uint8_t kFlux2Last = 0x07;  // 0x00..0x07: two-byte value
constexpr std::uint8_t kNop1 = 0x08;
constexpr std::uint8_t kNop2 = 0x09;
constexpr std::uint8_t kNop3 = 0x0A;
constexpr std::uint8_t kOverflow16 = 0x0B;
constexpr std::uint8_t kFlux3 = 0x0C;
constexpr std::uint8_t kOutOfBand = 0x0D;
// 0x0E..0xFF: one-byte value.
constexpr std::uint8_t kOobIndex = 0x02;
constexpr std::uint8_t kOobInfo = 0x04;
constexpr std::uint8_t kOobEnd = 0x0D;

struct IndexBlock {
  std::uint32_t streamPosition;
  std::uint32_t sampleCounter;  // ticks from the last transition to the index
};

// The "sck=" value of an information block, if it holds one.
void ReadSampleClock(ByteSpan text, double& sampleClock) {
  const std::string info(text.begin(), text.end());
  const auto at = info.find("sck=");
  if (at == std::string::npos) return;
  const double value = std::atof(info.c_str() + at + 4);
  if (value > 1e6 && value < 1e9) sampleClock = value;
}

// A stream file name split into prefix, cylinder and side.
struct StreamName {
  std::string prefix;
  int cylinder = 0;
  int side = 0;
};

// "<prefix><cylinder>.<side>.raw": the cylinder in two digits, the
// extension in any letter case.
std::optional<StreamName> ParseName(const std::filesystem::path& file) {
  std::string name = PathToUtf8(file.filename());
  const std::size_t length = name.size();
  if (length < 8) return std::nullopt;
  for (std::size_t i = length - 4; i < length; ++i) name[i] = static_cast<char>(std::tolower(name[i]));
  if (name.compare(length - 4, 4, ".raw") != 0) return std::nullopt;
  const char side = name[length - 5];
  if ((side != '0' && side != '1') || name[length - 6] != '.') return std::nullopt;
  std::size_t digits = length - 6;
  while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1])) != 0 && length - 6 - digits < 2)
    --digits;
  if (digits == length - 6) return std::nullopt;
  return StreamName{name.substr(0, digits), std::stoi(name.substr(digits, length - 6 - digits)), side - '0'};
}

Diagnostic StreamEndsEarly(int track, const std::filesystem::path& file) {
  return {{MessageId::KryoFluxEndsEarly, {track, PathToUtf8(file.filename())}}, Severity::Warning};
}

bool StartsLikeAStream(ByteSpan data) {
  constexpr std::uint8_t kOobStreamInfo = 0x01;
  if (data.size() < 4 || data[0] != kOutOfBand) return false;
  const std::uint8_t type = data[1];
  return (type == kOobStreamInfo || type == kOobIndex || type == kOobInfo) && 4u + ReadLe16(&data[2]) <= data.size();
}

}  // namespace

Confidence ProbeKryoFlux(const ProbeInput& input) {
  std::error_code ec;
  if (std::filesystem::is_directory(input.file, ec)) {
    for (const auto& entry : std::filesystem::directory_iterator(input.file, ec))
      if (entry.is_regular_file(ec) && ParseName(entry.path())) return Confidence::Fields;
    return Confidence::None;
  }
  return ParseName(input.file) && StartsLikeAStream(input.head) ? Confidence::Fields : Confidence::None;
}

bool ParseKryoFluxStream(ByteSpan data, FluxTrack& flux, Diagnostic& error, bool* endedEarly) {
  flux = FluxTrack{};
  flux.sampleClock = kSampleClock;
  std::vector<std::uint32_t> ends;  // stream position of the last block of each value
  std::vector<IndexBlock> indexes;
  std::uint32_t carry = 0;
  std::uint32_t position = 0;  // bytes of the stream proper, out-of-band blocks not counted
  std::size_t i = 0;
  bool endSeen = false;
  auto emit = [&](std::uint32_t value) {
    flux.intervals.push_back(carry + value);
    ends.push_back(position);
    carry = 0;
  };
  while (i < data.size()) {
    const std::uint8_t code = data[i];
    std::size_t length = 1;
    if (code <= kFlux2Last) {
      length = 2;
      if (i + length > data.size()) break;
      emit(static_cast<std::uint32_t>(code << 8 | data[i + 1]));
    } else if (code == kNop1 || code == kNop2 || code == kNop3) {
      length = code - kNop1 + 1;
    } else if (code == kOverflow16) {
      carry += 0x10000;
    } else if (code == kFlux3) {
      length = 3;
      if (i + length > data.size()) break;
      emit(static_cast<std::uint32_t>(data[i + 1] << 8 | data[i + 2]));
    } else if (code == kOutOfBand) {
      if (i + 4 > data.size()) break;
      const std::uint8_t type = data[i + 1];
      if (type == kOobEnd) {
        endSeen = true;
        break;
      }
      const std::size_t size = ReadLe16(&data[i + 2]);
      if (i + 4 + size > data.size()) {
        error = MessageId::KryoFluxBlockPastEnd;
        return false;
      }
      if (type == kOobIndex && size >= 8) indexes.push_back({ReadLe32(&data[i + 4]), ReadLe32(&data[i + 8])});
      if (type == kOobInfo) ReadSampleClock(data.subspan(i + 4, size), flux.sampleClock);
      i += 4 + size;
      continue;  // out-of-band bytes do not count as stream positions
    } else {
      emit(code);
    }
    i += length;
    position += static_cast<std::uint32_t>(length);
  }

  if (endedEarly != nullptr) *endedEarly = !endSeen;

  // An index pulse came while the value at its stream position (or the
  // overflow blocks before it) was counted: it lies that many ticks after the
  // transition before that value.
  std::vector<std::uint64_t> times(flux.intervals.size() + 1, 0);
  for (std::size_t k = 0; k < flux.intervals.size(); ++k) times[k + 1] = times[k] + flux.intervals[k];
  for (const IndexBlock& index : indexes) {
    const auto k =
        static_cast<std::size_t>(std::lower_bound(ends.begin(), ends.end(), index.streamPosition) - ends.begin());
    std::uint64_t time = times[k] + index.sampleCounter;
    if (k < flux.intervals.size()) time = std::min(time, times[k + 1]);
    if (flux.indexTimes.empty() || time > flux.indexTimes.back()) flux.indexTimes.push_back(time);
  }
  return true;
}

bool LoadKryoFlux(TZX_Disk& disk, const std::filesystem::path& fileOrFolder) {
  std::error_code ec;
  const bool folder = std::filesystem::is_directory(fileOrFolder, ec);
  std::optional<StreamName> chosen;
  if (!folder) {
    chosen = ParseName(fileOrFolder);
    if (!std::filesystem::is_regular_file(fileOrFolder, ec)) return Fail(disk, MessageId::KryoFluxCannotOpen);
    if (!chosen) return Fail(disk, MessageId::KryoFluxBadName);
  }
  const auto directory = folder ? fileOrFolder : fileOrFolder.parent_path();
  std::vector<std::filesystem::path> candidates;
  for (const auto& entry : std::filesystem::directory_iterator(directory.empty() ? "." : directory, ec))
    if (entry.is_regular_file(ec) && ParseName(entry.path())) candidates.push_back(entry.path());
  std::sort(candidates.begin(), candidates.end());
  std::map<int, std::filesystem::path> files;  // model track -> file
  bool beyondModel = false;
  for (const auto& file : candidates) {
    const auto name = ParseName(file);
    if (!chosen) chosen = name;  // a folder: the set of the first stream file by name
    if (name->prefix != chosen->prefix) continue;
    const int track = 2 * name->cylinder + name->side;
    if (track >= kTrackCount) {
      beyondModel = true;
      continue;
    }
    files[track] = file;
  }
  disk.ClearDisk();
  if (files.empty()) return Fail(disk, MessageId::KryoFluxNoStreams);

  auto flux = std::make_shared<FluxDisk>();
  FluxBudget budget;
  std::vector<Diagnostic> notices;
  for (const auto& [track, file] : files) {
    ReadFailure failure = ReadFailure::None;
    std::error_code reason;
    const auto data = ReadWholeFile(file, &failure, kMaxImageFileSize, &reason);
    if (!data) return Fail(disk, ReadFailureMessage(failure, file, kMaxImageFileSize, reason));
    FluxTrack trackFlux;
    Diagnostic error;
    bool endedEarly = false;
    if (!ParseKryoFluxStream(*data, trackFlux, error, &endedEarly))
      return Fail(disk, {MessageId::InFile, {PathToUtf8(file.filename()), error.phrase}});
    if (endedEarly) notices.push_back(StreamEndsEarly(track, file));
    if (!budget.Fit(trackFlux, track, disk)) return Fail(disk, kFluxTooLarge);
    flux->tracks[track] = FluxDisk::HeldTrack{std::move(trackFlux), 0};
  }
  if (beyondModel) notices.push_back(TracksBeyondLeftOut("KryoFlux"));
  FinishFluxLoad(disk, std::move(flux), std::move(notices));
  return true;
}

}  // namespace velloran
