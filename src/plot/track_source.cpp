#include "plot/track_source.h"

#include <algorithm>

#include "flux/flux_disk.h"

namespace velloran {

namespace {

// Bytes of the fields as the decoder frames them: three sync bytes before
// each mark; an ID is the mark, C H R N and the CRC.
constexpr double kSyncBytes = 3;
constexpr double kIdBytes = 7;
constexpr double kCrcBytes = 2;

// Data bytes of a size code as the decoder reads them (codes above 7 as 7).
double FieldLength(std::uint8_t sizeCode) { return 128.0 * (1 << std::min<int>(sizeCode, 7)); }

}  // namespace

TrackSource PrepareTrackSource(const TZX_Disk& disk, std::uint8_t track) {
  TrackSource source;
  source.track = track;
  if (track >= kTrackCount) return source;
  const auto* fluxDisk = dynamic_cast<const FluxDisk*>(disk.Capture.get());
  if (fluxDisk != nullptr && fluxDisk->tracks[track]) {
    source.kind = TrackSourceKind::Flux;
    source.capture = disk.Capture;
    source.flux = &fluxDisk->tracks[track]->flux;
    source.layout = DecodeTrackLayout(*source.flux);
    return source;
  }
  const TTrack& model = disk.GetTrack(track);
  if (!model.Present) return source;
  if (model.RawLength == 0) {
    source.kind = TrackSourceKind::NoRawTrack;
    return source;
  }
  source.kind = TrackSourceKind::RawTrack;
  source.layout = RawTrackLayout(ByteSpan(model.RawData.data(), std::min<std::size_t>(model.RawLength, kRawCapacity)));
  return source;
}

RevolutionSpans SpansOf(const FluxTrack& flux) {
  RevolutionSpans result;
  result.indexed = flux.Revolutions() > 0;
  if (result.indexed) {
    for (int r = 0; r < flux.Revolutions(); ++r) result.spans.push_back({flux.indexTimes[r], flux.indexTimes[r + 1]});
  } else {
    result.spans.push_back({0, std::max<std::uint64_t>(1, flux.TransitionTime())});
  }
  return result;
}

std::vector<FieldBand> FieldBands(const TrackLayout& layout) {
  std::vector<FieldBand> bands;
  for (std::size_t r = 0; r < layout.revolutions.size(); ++r) {
    const RevolutionBytes& revolution = layout.revolutions[r];
    if (revolution.length == 0) continue;
    const double bytes = static_cast<double>(revolution.length);
    auto fraction = [bytes](double at) { return std::clamp(at / bytes, 0.0, 1.0); };
    for (const SectorCopy& copy : revolution.sectors) {
      FieldBand id{static_cast<int>(r), FieldKind::Id, 0, 0, Tile::SectorGood, copy.c, copy.h, copy.r, copy.n};
      const double idAt = copy.position * bytes;
      id.start = fraction(idAt - kSyncBytes);
      id.end = fraction(idAt + kIdBytes);
      id.tile = !copy.idOk ? Tile::SectorBad : copy.hasData ? Tile::SectorGood : Tile::SectorNoData;
      bands.push_back(id);
      if (!copy.hasData) continue;
      FieldBand data = id;
      data.kind = FieldKind::Data;
      const double dataAt = static_cast<double>(copy.dataPos);
      data.start = fraction(dataAt - 1 - kSyncBytes);
      data.end = fraction(dataAt + FieldLength(copy.n) + kCrcBytes);
      data.tile = copy.dataOk ? Tile::SectorGood : Tile::SectorBad;
      bands.push_back(data);
    }
  }
  return bands;
}

}  // namespace velloran
