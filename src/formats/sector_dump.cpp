#include "formats/sector_dump.h"

#include <algorithm>
#include <array>
#include <string>

#include "formats/image_file.h"

namespace velloran {

namespace {

std::span<const std::uint8_t> SectorsOfTrack(const SectorDumpLayout& layout, int track) {
  return track == 0 ? layout.firstTrackSectors : layout.otherTrackSectors;
}

// The first used slot of the track holding that sector number, or nullptr.
const TSectorRec* FindSectorNumber(const TTrack& track, std::uint8_t number) {
  for (const auto& sector : track.Sectors)
    if (sector.Used && sector.IdSector == number) return &sector;
  return nullptr;
}

// Tracks up to the highest present one, less the trailing tracks that hold
// no sectors: a UDI pads an odd number of tracks to whole cylinders, and a
// disk read from a drive may end in blank tracks. A dump has no way to keep
// them and needs none.
int TracksWithSectors(const TZX_Disk& disk) {
  int count = disk.TracksToWrite();
  const auto holdsSectors = [&](int t) {
    const auto& sectors = disk.GetTrack(static_cast<std::uint8_t>(t)).Sectors;
    return std::any_of(sectors.begin(), sectors.end(), [](const TSectorRec& s) { return s.Used; });
  };
  while (count > 0 && !holdsSectors(count - 1)) --count;
  return count;
}

// The file as pieces: the first bytes of each sector's Data, in file order.
// They point into the disk (or the shared zeros of a sector never written),
// so a dump of a mostly empty disk touches only the sectors it holds.
bool SectorDumpPieces(TZX_Disk& disk, const SectorDumpLayout& layout, std::vector<ByteSpan>& pieces) {
  const int trackCount = TracksWithSectors(disk);
  if (trackCount == 0) {
    return Fail(disk, MessageId::NoTracksToWrite);
  }
  const std::size_t sectorBytes = layout.SectorBytes();
  pieces.reserve(static_cast<std::size_t>(trackCount) * layout.otherTrackSectors.size());
  for (int t = 0; t < trackCount; ++t) {
    const TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    for (const std::uint8_t number : SectorsOfTrack(layout, t)) {
      const TSectorRec* sector = FindSectorNumber(track, number);
      if (sector == nullptr) return Fail(disk, {MessageId::DumpSectorMissing, {layout.name, t, number}});
      // The first bytes of Data go out whatever the sector's size code, length
      // or CRC state: a dump holds data only, and a damaged sector still has
      // its place in the file.
      pieces.emplace_back(sector->Data.data(), sectorBytes);
    }
  }
  return true;
}

}  // namespace

bool LoadSectorDump(TZX_Disk& disk, ByteSpan data, const SectorDumpLayout& layout) {
  if (data.empty()) {
    return Fail(disk, {MessageId::ImageEmpty, {layout.name}});
  }
  disk.ClearDisk();
  const std::size_t trackBytes = layout.TrackBytes();
  const std::size_t sectorBytes = layout.SectorBytes();
  const std::size_t trackCount = (data.size() + trackBytes - 1) / trackBytes;
  if (trackCount > kTrackCount) {
    return Fail(disk, {MessageId::ImageTooManyTracks, {layout.name, trackCount, kTrackCount}});
  }
  std::size_t position = 0;
  for (std::size_t t = 0; t < trackCount; ++t) {
    TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    track.Present = true;
    track.RawLength = 0;
    track.TrackNum = static_cast<std::uint8_t>(t);
    const auto numbers = SectorsOfTrack(layout, static_cast<int>(t));
    for (std::size_t slot = 0; slot < numbers.size(); ++slot) {
      TSectorRec& sector = track.GetSector(static_cast<std::uint8_t>(slot));
      PlaceGoodSector(sector, static_cast<std::uint8_t>(t / 2), layout.sideInId ? static_cast<std::uint8_t>(t % 2) : 0,
                      numbers[slot], layout.sizeCode);
      // Bytes past the end of a short file stay zero from the clear.
      const std::size_t available = position < data.size() ? data.size() - position : 0;
      const std::size_t count = std::min(sectorBytes, available);
      if (count > 0) sector.Data.CopyFrom(data.data() + position, count);
      position += sectorBytes;
    }
  }
  if (const std::size_t missing = trackCount * trackBytes - data.size(); missing > 0)
    disk.Notices.push_back({{MessageId::NoticeShortLastTrack, {layout.name, missing}}, Severity::Warning});
  return true;
}

bool SaveSectorDump(TZX_Disk& disk, Bytes& out, const SectorDumpLayout& layout) {
  std::vector<ByteSpan> pieces;
  if (!SectorDumpPieces(disk, layout, pieces)) return false;
  Bytes file;
  file.reserve(pieces.size() * layout.SectorBytes());
  for (const ByteSpan piece : pieces) file.insert(file.end(), piece.begin(), piece.end());
  out = std::move(file);
  return true;
}

SaveLosses SectorDumpLosses(const TZX_Disk& disk, const SectorDumpLayout& layout, std::string_view format) {
  SaveLosses losses;
  const int sectorBytes = static_cast<int>(layout.SectorBytes());
  for (int t = 0; t < kTrackCount; ++t) {
    const TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    if (!track.Present) continue;
    const auto numbers = SectorsOfTrack(layout, t);
    std::array<bool, 256> taken{};
    for (const auto& sector : track.Sectors) {
      if (!sector.Used) continue;
      Phrase what;
      if (std::find(numbers.begin(), numbers.end(), sector.IdSector) == numbers.end())
        what = {MessageId::LossSectorNumberNotInFormat, {format}};
      else if (taken[sector.IdSector])
        what = {MessageId::LossDuplicateSector};
      else if (sector.IdSize != layout.sizeCode)
        what = {MessageId::LossSectorSize, {SectorSizeText(sector.IdSize), format, sectorBytes}};
      else if (sector.DataLen > sectorBytes)
        what = {MessageId::LossDataBeyond, {sector.DataLen, format, sectorBytes}};
      taken[sector.IdSector] = true;
      if (!what.Empty()) losses.push_back({LossKind::SectorData, t, sector.IdSector, std::move(what)});
    }
  }
  return losses;
}

Confidence ProbeSectorDumpSize(const ProbeInput& input, const SectorDumpLayout& layout) {
  constexpr std::uintmax_t kFewestTracks = 40;
  const std::uintmax_t trackBytes = layout.TrackBytes();
  const bool fits = input.size % trackBytes == 0 && input.size >= kFewestTracks * trackBytes &&
                    input.size <= kTrackCount * trackBytes;
  return fits ? Confidence::SizeOrExtension : Confidence::None;
}

bool LoadSectorDumpFile(TZX_Disk& disk, const std::filesystem::path& file, const SectorDumpLayout& layout) {
  Bytes data;
  return ReadImageFile(disk, file, data) && LoadSectorDump(disk, data, layout);
}

bool SaveSectorDumpFile(TZX_Disk& disk, const std::filesystem::path& file, const SectorDumpLayout& layout) {
  std::vector<ByteSpan> pieces;
  return SectorDumpPieces(disk, layout, pieces) && WriteImageFile(disk, file, pieces);
}

}  // namespace velloran
