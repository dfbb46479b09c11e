#include "model/disk.h"

#include <algorithm>
#include <utility>

namespace velloran {

void SetIdField(TSectorRec& sector, std::uint8_t c, std::uint8_t h, std::uint8_t r, std::uint8_t n) {
  sector.Used = true;
  sector.IdTrack = c;
  sector.IdSide = h;
  sector.IdSector = r;
  sector.IdSize = n;
  sector.IdCrc = IdFieldCrc(c, h, r, n);
}

void PlaceGoodSector(TSectorRec& sector, std::uint8_t c, std::uint8_t h, std::uint8_t r, std::uint8_t n) {
  sector = TSectorRec{};
  SetIdField(sector, c, h, r, n);
  sector.DataOk = true;
  sector.DataLen = static_cast<std::uint16_t>(SectorLength(n));
}

bool AddDataCopy(TSectorRec& sector, DataCopy copy) {
  if (copy.data.size() > kSectorDataSize) copy.data.resize(kSectorDataSize);
  const bool sameAsFirst = copy.ok == sector.DataOk && copy.data.size() == sector.DataLen &&
                           std::equal(copy.data.begin(), copy.data.end(), std::as_const(sector.Data).begin());
  if (sameAsFirst || sector.ExtraCopies.size() + 1 >= kMaxSectorCopies ||
      std::find(sector.ExtraCopies.begin(), sector.ExtraCopies.end(), copy) != sector.ExtraCopies.end())
    return false;
  sector.ExtraCopies.push_back(std::move(copy));
  return true;
}

void TTrack::Clear() {
  for (std::uint8_t i = 0; i < kSlotCount; ++i) ClearSector(i);
  Present = false;
  SectorCount = 0;
  RawValid = false;
  RawLength = 0;
  DataRate = 0;
  Fm = false;
  RawData.fill(0);
  Log.clear();
}

void TTrack::ClearSector(std::uint8_t index) {
  if (index >= kSlotCount) return;
  Sectors[index] = TSectorRec{};
}

std::uint8_t TTrack::CountSectors() {
  std::uint8_t count = 0;
  for (const auto& sector : Sectors)
    if (sector.Used) ++count;
  SectorCount = count;
  return count;
}

void TTrack::SectorsToRaw() {
  if (!RawValid || !Present || RawLength == 0) return;
  for (int i = 0; i < SectorCount && i < kSlotCount; ++i) {
    const TSectorRec& sector = std::as_const(Sectors)[i];
    if (sector.DataPos == 0) continue;
    const int end = sector.DataPos + sector.DataLen;
    if (end >= RawLength || end > kRawCapacity || sector.DataLen > kSectorDataSize) continue;
    std::copy_n(sector.Data.begin(), sector.DataLen, RawData.begin() + sector.DataPos);
  }
}

// The members' initializers are their cleared state, so a new disk is empty
// without clearing it a second time.
TZX_Disk::TZX_Disk() : Tracks(kTrackCount) {
  for (int i = 0; i < kTrackCount; ++i) Tracks[i].TrackNum = static_cast<std::uint8_t>(i);
}

std::uint8_t TZX_Disk::CountTracks() {
  std::uint8_t count = 0;
  for (const auto& track : Tracks)
    if (track.Present) ++count;
  TrackCount = count;
  return count;
}

int TZX_Disk::TracksToWrite() const {
  for (int i = kTrackCount - 1; i >= 0; --i)
    if (Tracks[i].Present) return i + 1;
  return 0;
}

void TZX_Disk::ClearDisk() {
  for (auto& track : Tracks) track.Clear();
  UseBaseTrack = false;
  BaseTrack = kNoBaseTrack;
  Title.clear();
  Comments.clear();
  Notices.clear();
  Losses.clear();
  TrackCount = 0;
  Capture.reset();
  if (observer_ != nullptr) observer_->DiskCleared();
}

void TZX_Disk::RedrawSector(std::uint8_t track, std::uint8_t slot) {
  if (observer_ != nullptr) observer_->RedrawSector(track, slot);
}

void TZX_Disk::RedrawTrackLabel(std::uint8_t track) {
  if (observer_ != nullptr) observer_->RedrawTrackLabel(track);
}

}  // namespace velloran
