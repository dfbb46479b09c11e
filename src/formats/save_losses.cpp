#include "formats/save_losses.h"

#include <algorithm>

namespace velloran {

namespace {

constexpr std::uint8_t kGapFiller = 0x4E;  // the bytes between the fields of an MFM track

}  // namespace

std::string LossText(const SaveLoss& loss) {
  std::string text = "дорожка " + std::to_string(loss.track);
  if (loss.sector >= 0) text += ", сектор " + std::to_string(loss.sector);
  return text + ": " + loss.what;
}

void FindDataBeyond(const TZX_Disk& disk, std::string_view format, int (*stored)(std::uint8_t sizeCode),
                    SaveLosses& losses) {
  for (int t = 0; t < kTrackCount; ++t) {
    const TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    if (track.Present == 0) continue;
    for (const auto& sector : track.Sectors) {
      const int kept = stored(sector.IdSize);
      if (sector.Used == 0 || sector.DataLen <= kept) continue;
      losses.push_back({t, sector.IdSector,
                        "данные " + std::to_string(sector.DataLen) + " байт, формат " + std::string(format) +
                            " хранит " + std::to_string(kept)});
    }
  }
}

void FindRawCuts(const TZX_Disk& disk, std::string_view format, int kept, SaveLosses& losses) {
  for (int t = 0; t < kTrackCount; ++t) {
    const TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    if (track.Present == 0 || track.RawValid == 0 || track.RawLength <= kept) continue;
    // A track that only runs longer in its closing gap loses nothing.
    const auto tail = track.RawData.begin() + kept;
    if (std::all_of(tail, track.RawData.begin() + track.RawLength, [](std::uint8_t b) { return b == kGapFiller; }))
      continue;
    losses.push_back({t, -1,
                      "сырые данные дорожки " + std::to_string(track.RawLength) + " байт, формат " +
                          std::string(format) + " хранит " + std::to_string(kept)});
  }
}

SaveLosses BuiltTrackLosses(const TZX_Disk& disk, std::string_view format, int rawKept) {
  SaveLosses losses;
  FindRawCuts(disk, format, rawKept, losses);
  // Sizes beyond the model cannot be built at all: such a save fails instead.
  FindDataBeyond(
      disk, format,
      [](std::uint8_t sizeCode) { return SizeCodeSupported(sizeCode) ? SectorLength(sizeCode) : kSectorDataSize; },
      losses);
  FindExtraCopies(disk, losses);
  return losses;
}

void FindExtraCopies(const TZX_Disk& disk, SaveLosses& losses) {
  for (int t = 0; t < kTrackCount; ++t) {
    const TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    if (track.Present == 0) continue;
    for (const auto& sector : track.Sectors)
      if (sector.Used != 0 && !sector.ExtraCopies.empty())
        losses.push_back(
            {t, sector.IdSector,
             "копий слабого сектора " + std::to_string(sector.ExtraCopies.size() + 1) + ", формат хранит одну"});
  }
}

SaveLosses CopyLosses(const TZX_Disk& disk, std::string_view) {
  SaveLosses losses;
  FindExtraCopies(disk, losses);
  return losses;
}

std::string SectorSizeText(std::uint8_t sizeCode) {
  if (!SizeCodeSupported(sizeCode)) return "сектор с кодом размера " + std::to_string(sizeCode);
  return "сектор " + std::to_string(SectorLength(sizeCode)) + " байт";
}

}  // namespace velloran
