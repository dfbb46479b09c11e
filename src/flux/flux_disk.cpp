#include "flux/flux_disk.h"

#include "common/parallel.h"
#include "flux/track_decoder.h"

namespace velloran {

namespace {

// FNV-1a, 64 bits: enough to tell an edited track from the decoded one.
class Digest {
 public:
  void Add(const void* data, std::size_t length) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    for (std::size_t i = 0; i < length; ++i) value_ = (value_ ^ bytes[i]) * 0x100000001B3ull;
  }
  template <typename T>
  void AddValue(const T& value) {
    Add(&value, sizeof value);
  }
  std::uint64_t Value() const { return value_; }

 private:
  std::uint64_t value_ = 0xCBF29CE484222325ull;
};

}  // namespace

std::uint64_t TrackFingerprint(const TTrack& track) {
  Digest digest;
  digest.AddValue(track.Present);
  digest.AddValue(track.RawValid);
  digest.AddValue(track.RawLength);
  digest.Add(track.RawData.data(), track.RawLength);
  for (const TSectorRec& sector : track.Sectors) {
    for (const bool flag : {sector.Used, sector.DataOk}) digest.AddValue(flag);
    for (const std::uint8_t field : {sector.IdTrack, sector.IdSide, sector.IdSector, sector.IdSize})
      digest.AddValue(field);
    for (const std::uint16_t field : {sector.IdCrc, sector.DataPos, sector.DataLen}) digest.AddValue(field);
    digest.Add(sector.Data.data(), sector.DataLen);
    for (const DataCopy& copy : sector.ExtraCopies) {
      digest.AddValue(copy.ok);
      digest.Add(copy.data.data(), copy.data.size());
    }
  }
  return digest.Value();
}

// The tracks are independent: each is decoded on whichever core is free into
// its own TTrack, and the notices are gathered in track order afterwards, so
// the result does not depend on the cores.
std::vector<Phrase> DecodeFluxDisk(TZX_Disk& disk, std::shared_ptr<FluxDisk> flux) {
  disk.ClearDisk();
  std::array<std::vector<Phrase>, kTrackCount> trackNotices;
  ForEachInParallel(kTrackCount, [&](std::size_t t) {
    auto& held = flux->tracks[t];
    if (!held) return;
    TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    const DecodeReport report = DecodeFluxTrack(held->flux, track);
    trackNotices[t] = report.notices;
    held->fingerprint = TrackFingerprint(track);
    for (std::size_t slot = 0; slot < report.origins.size(); ++slot) {
      held->sectorRevolutions[slot] = report.origins[slot].revolution;
      held->sectorWays[slot] = SlotWayName(report, slot);
    }
  });
  std::vector<Phrase> notices;
  for (auto& some : trackNotices) notices.insert(notices.end(), some.begin(), some.end());
  disk.Capture = std::move(flux);
  return notices;
}

const FluxTrack* HeldFlux(const TZX_Disk& disk, std::uint8_t track) {
  const auto* flux = dynamic_cast<const FluxDisk*>(disk.Capture.get());
  if (flux == nullptr || track >= kTrackCount || !flux->tracks[track]) return nullptr;
  const auto& held = *flux->tracks[track];
  return held.fingerprint == TrackFingerprint(disk.GetTrack(track)) ? &held.flux : nullptr;
}

namespace {

// The held track while it is unchanged since it was decoded and `slot` is a slot.
const FluxDisk::HeldTrack* HeldUnchanged(const TZX_Disk& disk, std::uint8_t track, int slot) {
  if (HeldFlux(disk, track) == nullptr || slot < 0 || slot >= kSlotCount) return nullptr;
  return &*dynamic_cast<const FluxDisk&>(*disk.Capture).tracks[track];
}

}  // namespace

int SectorRevolution(const TZX_Disk& disk, std::uint8_t track, int slot) {
  const FluxDisk::HeldTrack* held = HeldUnchanged(disk, track, slot);
  return held != nullptr ? held->sectorRevolutions[static_cast<std::size_t>(slot)] : -1;
}

std::string SectorWay(const TZX_Disk& disk, std::uint8_t track, int slot) {
  const FluxDisk::HeldTrack* held = HeldUnchanged(disk, track, slot);
  return held != nullptr ? held->sectorWays[static_cast<std::size_t>(slot)] : std::string();
}

bool TrackFlux(TZX_Disk& disk, std::uint8_t track, const FluxTiming& timing, FluxTrack& out) {
  if (const FluxTrack* held = HeldFlux(disk, track)) {
    out = *held;
    return true;
  }
  return EncodeDiskTrack(disk, track, timing, out);
}

}  // namespace velloran
