#include "formats/sample_disks.h"

#include <array>
#include <cstring>

#include "common/file_io.h"
#include "flux/track_encoder.h"
#include "support/test_support.h"

namespace velloran::test {

std::tm SampleCreationTime() {
  std::tm created{};
  created.tm_year = 108;
  created.tm_mon = 2;
  created.tm_mday = 5;
  created.tm_hour = 14;
  created.tm_min = 7;
  created.tm_sec = 9;
  return created;
}

std::uint8_t PatternByte(int track, int sector, int index) {
  return static_cast<std::uint8_t>(track * 7 + sector * 31 + index * 13 + (index >> 8));
}

void PutSector(TZX_Disk& disk, int track, int slot, std::uint8_t c, std::uint8_t h, std::uint8_t r, std::uint8_t n,
               bool dataOk) {
  TTrack& t = disk.GetTrack(static_cast<std::uint8_t>(track));
  t.Present = true;
  TSectorRec& s = t.GetSector(static_cast<std::uint8_t>(slot));
  s.Used = true;
  s.IdTrack = c;
  s.IdSide = h;
  s.IdSector = r;
  s.IdSize = n;
  s.IdCrc = IdFieldCrc(c, h, r, n);
  s.DataOk = dataOk;
  s.DataLen = static_cast<std::uint16_t>(SectorLength(n));
  for (int i = 0; i < s.DataLen; ++i) s.Data[i] = PatternByte(track, r, i);
}

void MakeUniformDisk(TZX_Disk& disk, int tracks, std::uint8_t sizeCode, std::span<const std::uint8_t> first,
                     std::span<const std::uint8_t> other, bool sideInId) {
  disk.ClearDisk();
  for (int t = 0; t < tracks; ++t) {
    const auto numbers = t == 0 ? first : other;
    for (std::size_t i = 0; i < numbers.size(); ++i)
      PutSector(disk, t, static_cast<int>(i), static_cast<std::uint8_t>(t / 2),
                sideInId ? static_cast<std::uint8_t>(t % 2) : 0, numbers[i], sizeCode);
  }
}

namespace {
constexpr std::array<std::uint8_t, 16> kTrdos = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
constexpr std::array<std::uint8_t, 5> kProFirst = {1, 2, 3, 4, 9};
constexpr std::array<std::uint8_t, 5> kFive = {1, 2, 3, 4, 5};
}  // namespace

void MakeTrdosLayoutDisk(TZX_Disk& disk, int tracks) { MakeUniformDisk(disk, tracks, 1, kTrdos, kTrdos, false); }
void MakeProLayoutDisk(TZX_Disk& disk, int tracks) { MakeUniformDisk(disk, tracks, 3, kProFirst, kFive, true); }
void MakeKdiLayoutDisk(TZX_Disk& disk, int tracks) { MakeUniformDisk(disk, tracks, 3, kFive, kFive, true); }

void MakeMixedDisk(TZX_Disk& disk, int tracks, bool withBadSectors) {
  disk.ClearDisk();
  for (int t = 0; t < tracks; ++t) {
    const auto c = static_cast<std::uint8_t>(t / 2);
    const auto h = static_cast<std::uint8_t>(t % 2);
    switch (t % 4) {
      case 0:  // TR-DOS interleave 1, 9, 2, 10, ...
        for (int i = 0; i < 16; ++i)
          PutSector(disk, t, i, c, 0, static_cast<std::uint8_t>(i % 2 == 0 ? i / 2 + 1 : i / 2 + 9), 1);
        break;
      case 1:
        for (int i = 0; i < 5; ++i)
          PutSector(disk, t, i, c, h, static_cast<std::uint8_t>(i + 1), 3, !(withBadSectors && i == 2));
        break;
      case 2:  // IDs a copy protection might use
        for (int i = 0; i < 9; ++i)
          PutSector(disk, t, i, static_cast<std::uint8_t>(c + 1), static_cast<std::uint8_t>(h ^ 1),
                    static_cast<std::uint8_t>(0xC1 + i), 2, !(withBadSectors && i == 8));
        break;
      default:
        for (int i = 0; i < 18; ++i) PutSector(disk, t, i, c, h, static_cast<std::uint8_t>(i + 1), 0);
        break;
    }
  }
}

void MakeTrdosCatalogDisk(TZX_Disk& disk) {
  MakeTrdosLayoutDisk(disk, 160);
  // Track 0: an empty catalog, then two files of 3 and 2 sectors from track 1.
  for (int slot = 0; slot < 16; ++slot) disk.GetSector(0, static_cast<std::uint8_t>(slot)).Data.fill(0);
  const auto entry = [&](int index, const char* name, std::uint8_t sectors, std::uint8_t firstSector) {
    std::uint8_t* e = disk.GetSector(0, 0).Data.data() + index * 16;
    std::memcpy(e, name, 8);
    e[8] = 'C';
    e[9] = 0x00, e[10] = 0x80;      // start 32768
    e[11] = 0x00, e[12] = sectors;  // length sectors × 256
    e[13] = sectors;
    e[14] = firstSector;
    e[15] = 1;  // first track
  };
  entry(0, "FIRST   ", 3, 0);
  entry(1, "SECOND  ", 2, 3);
  std::uint8_t* info = disk.GetSector(0, 8).Data.data();
  info[0xE1] = 5;     // first free sector
  info[0xE2] = 1;     // first free track
  info[0xE3] = 0x16;  // 80 tracks, two sides
  info[0xE4] = 2;     // files
  const int freeSectors = 159 * 16 - 5;
  info[0xE5] = static_cast<std::uint8_t>(freeSectors);
  info[0xE6] = static_cast<std::uint8_t>(freeSectors >> 8);
  info[0xE7] = 0x10;  // TR-DOS identification
  std::memcpy(info + 0xF5, "TESTDISK", 8);
}

std::string DiskDifference(const TZX_Disk& expected, const TZX_Disk& actual, Aspects aspects) {
  for (int t = 0; t < kTrackCount; ++t) {
    const TTrack& a = expected.GetTrack(static_cast<std::uint8_t>(t));
    const TTrack& b = actual.GetTrack(static_cast<std::uint8_t>(t));
    const std::string where = "track " + std::to_string(t);
    if (a.Present != b.Present) return where + ": present flag differs";
    if (!a.Present) continue;
    std::vector<const TSectorRec*> sa, sb;
    for (const auto& s : a.Sectors)
      if (s.Used) sa.push_back(&s);
    for (const auto& s : b.Sectors)
      if (s.Used) sb.push_back(&s);
    if (sa.size() != sb.size())
      return where + ": " + std::to_string(sa.size()) + " sectors expected, " + std::to_string(sb.size()) + " found";
    for (std::size_t i = 0; i < sa.size(); ++i) {
      const TSectorRec& x = *sa[i];
      const TSectorRec& y = *sb[i];
      const std::string at = where + " sector " + std::to_string(i) + " (R=" + std::to_string(x.IdSector) + ")";
      if (x.IdTrack != y.IdTrack || x.IdSide != y.IdSide || x.IdSector != y.IdSector || x.IdSize != y.IdSize)
        return at + ": ID differs";
      if (x.IdCrc != y.IdCrc) return at + ": ID CRC differs";
      if (x.DataLen != y.DataLen) return at + ": data length differs";
      if (std::memcmp(x.Data.data(), y.Data.data(), x.DataLen) != 0) return at + ": data differs";
      if (aspects.crcState && x.DataOk != y.DataOk) return at + ": CRC state differs";
    }
  }
  if (aspects.comments && expected.Comments != actual.Comments) return "comments differ";
  return {};
}

std::string SectorDifference(const TZX_Disk& expected, const TZX_Disk& actual, bool matchSide) {
  for (int t = 0; t < kTrackCount; ++t) {
    const TTrack& a = expected.GetTrack(static_cast<std::uint8_t>(t));
    const TTrack& b = actual.GetTrack(static_cast<std::uint8_t>(t));
    const std::string where = "track " + std::to_string(t);
    if (a.Present != b.Present) return where + ": present flag differs";
    std::vector<bool> taken(kSlotCount, false);
    for (const auto& x : a.Sectors) {
      if (!x.Used) continue;
      const std::string at = where + " sector R=" + std::to_string(x.IdSector);
      int found = -1;
      for (int i = 0; i < kSlotCount && found < 0; ++i) {
        const auto& y = b.Sectors[i];
        if (!taken[i] && y.Used && y.IdTrack == x.IdTrack && (!matchSide || y.IdSide == x.IdSide) &&
            y.IdSector == x.IdSector && y.IdSize == x.IdSize)
          found = i;
      }
      if (found < 0) return at + ": missing";
      taken[found] = true;
      const auto& y = b.Sectors[found];
      if (x.DataLen != y.DataLen) return at + ": data length differs";
      if (std::memcmp(x.Data.data(), y.Data.data(), x.DataLen) != 0) return at + ": data differs";
      if (x.DataOk != y.DataOk) return at + ": CRC state differs";
    }
    for (int i = 0; i < kSlotCount; ++i)
      if (b.Sectors[i].Used && !taken[i]) return where + ": extra sector R=" + std::to_string(b.Sectors[i].IdSector);
  }
  return {};
}

namespace {

// One stream block: a value as one, two or three bytes (with overflow
// blocks for the high part), or an index block at a stream position.
void AppendStreamValue(Bytes& out, std::uint32_t value, std::uint32_t& position) {
  for (; value > 0xFFFF; value -= 0x10000, ++position) out.push_back(0x0B);
  if (value >= 0x0E && value <= 0xFF) {
    out.push_back(static_cast<std::uint8_t>(value));
    position += 1;
  } else if (value <= 0x7FF) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
    position += 2;
  } else {
    out.insert(out.end(), {0x0C, static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)});
    position += 3;
  }
}

void AppendIndexBlock(Bytes& out, std::uint32_t position, std::uint32_t sampleCounter) {
  out.insert(out.end(), {0x0D, 0x02, 12, 0});
  AppendLe32(out, position);
  AppendLe32(out, sampleCounter);
  AppendLe32(out, 0);
}

}  // namespace

bool WriteKryoFluxSet(TZX_Disk& disk, const std::filesystem::path& firstFile) {
  std::string prefix = firstFile.filename().string();
  prefix.resize(prefix.size() - std::string("00.0.raw").size());
  const int tracks = disk.TracksToWrite();
  if (tracks == 0) {
    return Fail(disk, MessageId::NoTracksToWrite);
  }
  FluxTiming timing;
  timing.sampleClock = 18432000.0 * 73 / 14 / 4;
  for (int t = 0; t < tracks; ++t) {
    FluxTrack flux;
    if (!EncodeDiskTrack(disk, static_cast<std::uint8_t>(t), timing, flux))
      return Fail(disk, {MessageId::TrackNotBuilt, {"KryoFlux", t}});
    Bytes stream;
    std::uint32_t position = 0;
    AppendIndexBlock(stream, 0, 0);
    for (const std::uint32_t interval : flux.intervals) AppendStreamValue(stream, interval, position);
    if (!flux.Unformatted())
      AppendIndexBlock(stream, position, static_cast<std::uint32_t>(flux.indexTimes.back() - flux.TransitionTime()));
    stream.insert(stream.end(), {0x0D, 0x0D, 0x0D, 0x0D});
    const std::string name = (t < 20 ? "0" : "") + std::to_string(t / 2) + "." + std::to_string(t % 2) + ".raw";
    if (std::string error; !WriteFileAtomic(firstFile.parent_path() / (prefix + name), stream, error))
      return Fail(disk, {MessageId::Verbatim, {error}});
  }
  return true;
}

Aspects AspectsOf(const ImageFormat& format) { return {format.holds.crcState, format.holds.comments}; }

bool NotSupportedYet(const Diagnostic& message) {
  return English(message).find("not supported yet") != std::string::npos;
}

}  // namespace velloran::test
