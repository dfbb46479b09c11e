#include "formats/save_losses.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "flux/flux_disk.h"
#include "trdos/catalog.h"
#include "trdos/file_sectors.h"

namespace velloran {

namespace {

constexpr std::uint8_t kGapFiller = 0x4E;           // the bytes between the fields of an MFM track
constexpr int kCatalogSectors = 9;                  // TR-DOS track 0: eight catalog sectors and the disk's info sector
constexpr std::string_view kSclLabel = "NEW DISK";  // the label a disk read from an SCL file gets

// What the format does not hold, with the format's name.
Phrase Named(std::string_view format, Phrase what) { return {MessageId::LossNotHeld, {std::move(what), format}}; }

// The states of one sector the format cannot hold.
void FindSectorStates(const TSectorRec& sector, int track, const FormatHolds& holds, std::string_view format,
                      SaveLosses& losses) {
  const int r = sector.IdSector;
  const bool noData = sector.DataLen == 0;
  if (noData && !holds.missingData)
    losses.push_back({LossKind::NoDataField, track, r, Named(format, {MessageId::LossNoDataField})});
  if (!noData && !sector.DataOk && !holds.crcState)
    losses.push_back({LossKind::DataCrcState, track, r, Named(format, {MessageId::LossDataCrcError})});
  if (!IdCrcGood(sector) && !holds.idCrcState)
    losses.push_back({LossKind::IdCrcState, track, r, Named(format, {MessageId::LossIdCrcError})});
  if (sector.DeletedMark && !holds.deletedMarks)
    losses.push_back({LossKind::DeletedMark, track, r, Named(format, {MessageId::LossDeletedMark})});
  if (!sector.ExtraCopies.empty() && !holds.copies)
    losses.push_back({LossKind::Copies, track, r, {MessageId::LossWeakCopies, {sector.ExtraCopies.size() + 1}}});
}

// How a track was recorded, when the format cannot hold it.
void FindRecording(const TTrack& track, int index, const FormatHolds& holds, std::string_view format,
                   SaveLosses& losses) {
  if (holds.recording || track.UsualRecording()) return;
  if (track.Fm)
    losses.push_back({LossKind::Encoding, index, -1, Named(format, {MessageId::LossFmRecording})});
  else
    losses.push_back({LossKind::DataRate, index, -1, Named(format, {MessageId::LossDataRate, {track.DataRate}})});
}

// The logical TR-DOS sectors (track × 16 + sector) of the live files.
std::vector<bool> SectorsOfFiles(const TrdosCatalog& catalog) {
  std::vector<bool> inFile(kTrackCount * kTrdosSectorsPerTrack, false);
  const int files = std::min<int>(catalog.FileCount, kTrdosMaxFiles);
  for (int i = 0; i < files; ++i) {
    const TrdosEntry& entry = catalog.Entries[i];
    if (entry.Deleted()) continue;
    const int first = EntryStart(entry).Logical();
    for (int s = first; s < first + entry.FileSectors && s < static_cast<int>(inFile.size()); ++s) inFile[s] = true;
  }
  return inFile;
}

// What a format that keeps only the files of a TR-DOS catalog drops: the
// deleted files, the disk's label, and every sector outside the files that
// holds more than zeros (boot sectors, data after the files, other tracks).
void FindOutsideFiles(const TZX_Disk& disk, std::string_view format, SaveLosses& losses) {
  TrdosCatalog catalog;
  if (!ReadCatalog(disk, catalog)) return;  // not a TR-DOS disk: the writer refuses it
  const int files = std::min<int>(catalog.FileCount, kTrdosMaxFiles);
  for (int i = 0; i < files; ++i)
    if (catalog.Entries[i].Deleted())
      losses.push_back({LossKind::OutsideFiles, 0, -1, Named(format, {MessageId::LossDeletedFile})});
  if (std::memcmp(catalog.DiskLabel.data(), kSclLabel.data(), kSclLabel.size()) != 0)
    losses.push_back({LossKind::OutsideFiles, 0, kCatalogSectors, Named(format, {MessageId::LossDiskLabel})});
  const std::vector<bool> inFile = SectorsOfFiles(catalog);
  for (int t = 0; t < kTrackCount; ++t) {
    const TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    if (!track.Present) continue;
    for (const auto& sector : track.Sectors) {
      if (!sector.Used) continue;
      const int r = sector.IdSector;
      const bool catalogArea = t == 0 && r >= 1 && r <= kCatalogSectors;
      const bool trdosSector = r >= 1 && r <= kTrdosSectorsPerTrack;
      if (catalogArea || (trdosSector && inFile[t * kTrdosSectorsPerTrack + r - 1])) continue;
      const auto data = sector.Data.begin();
      if (std::all_of(data, data + sector.DataLen, [](std::uint8_t b) { return b == 0; })) continue;
      losses.push_back({LossKind::OutsideFiles, t, r, Named(format, {MessageId::LossOutsideFiles})});
    }
  }
}

}  // namespace

SaveLosses FindHeldLosses(const TZX_Disk& disk, const FormatHolds& holds, std::string_view format) {
  SaveLosses losses = disk.Losses;
  if (!disk.Comments.empty() && !holds.comments)
    losses.push_back({LossKind::Comment, -1, -1, Named(format, {MessageId::LossComment})});
  for (int t = 0; t < kTrackCount; ++t) {
    const TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    if (!track.Present) continue;
    const FluxTrack* flux = holds.capturedFlux ? HeldFlux(disk, static_cast<std::uint8_t>(t)) : nullptr;
    if (flux != nullptr) {
      // The flux goes out as it was captured: all of the track but what the
      // format keeps of the revolutions.
      if (!holds.revolutions && flux->Revolutions() > 1)
        losses.push_back(
            {LossKind::Revolutions, t, -1, Named(format, {MessageId::LossRevolutions, {flux->Revolutions()}})});
      continue;
    }
    FindRecording(track, t, holds, format, losses);
    for (const auto& sector : track.Sectors)
      if (sector.Used) FindSectorStates(sector, t, holds, format, losses);
  }
  if (holds.onlyFiles) FindOutsideFiles(disk, format, losses);
  return losses;
}

void FindDataBeyond(const TZX_Disk& disk, std::string_view format, int (*stored)(std::uint8_t sizeCode),
                    SaveLosses& losses) {
  for (int t = 0; t < kTrackCount; ++t) {
    const TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    if (!track.Present) continue;
    for (const auto& sector : track.Sectors) {
      const int kept = stored(sector.IdSize);
      if (!sector.Used || sector.DataLen <= kept) continue;
      losses.push_back(
          {LossKind::SectorData, t, sector.IdSector, {MessageId::LossDataBeyond, {sector.DataLen, format, kept}}});
    }
  }
}

void FindRawCuts(const TZX_Disk& disk, std::string_view format, int kept, SaveLosses& losses) {
  for (int t = 0; t < kTrackCount; ++t) {
    const TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    if (!track.Present || !track.RawValid || track.RawLength <= kept) continue;
    // A track that only runs longer in its closing gap loses nothing.
    const auto tail = track.RawData.begin() + kept;
    if (std::all_of(tail, track.RawData.begin() + track.RawLength, [](std::uint8_t b) { return b == kGapFiller; }))
      continue;
    losses.push_back({LossKind::RawBytes, t, -1, {MessageId::LossRawBytes, {track.RawLength, format, kept}}});
  }
}

SaveLosses BuiltTrackLosses(const TZX_Disk& disk, std::string_view format, int rawKept) {
  SaveLosses losses;
  FindRawCuts(disk, format, rawKept, losses);
  for (int t = 0; t < kTrackCount; ++t) {
    const TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    if (!track.Present) continue;
    for (const auto& sector : track.Sectors)
      if (sector.Used && !SizeCodeSupported(sector.IdSize))
        losses.push_back(
            {LossKind::SectorData, t, sector.IdSector, {MessageId::LossLongSector, {SectorSizeText(sector.IdSize)}}});
  }
  FindDataBeyond(
      disk, format,
      [](std::uint8_t sizeCode) { return SizeCodeSupported(sizeCode) ? SectorLength(sizeCode) : kSectorDataSize; },
      losses);
  return losses;
}

Phrase SectorSizeText(std::uint8_t sizeCode) {
  if (!SizeCodeSupported(sizeCode)) return {MessageId::SectorWithSizeCode, {sizeCode}};
  return {MessageId::SectorOfBytes, {SectorLength(sizeCode)}};
}

}  // namespace velloran
