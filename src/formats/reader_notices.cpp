#include "formats/reader_notices.h"

namespace velloran {

namespace {

constexpr int kCylinders = kTrackCount / 2;

}  // namespace

void TracksBeyondDisk::Drop(TZX_Disk& disk, int cylinder, int side, int sectors) {
  if (sectors > 0) {
    sectorsLeftOut_ += sectors;
    disk.Losses.push_back({LossKind::CylinderBeyondDisk,
                           cylinder * 2 + side,
                           -1,
                           {MessageId::LossCylinderBeyond, {cylinder, side, sectors, kCylinders}}});
  }
  if (firstCylinder_ < 0 || cylinder < firstCylinder_) firstCylinder_ = cylinder;
  if (cylinder > lastCylinder_) lastCylinder_ = cylinder;
}

void TracksBeyondDisk::Report(TZX_Disk& disk) const {
  if (firstCylinder_ < 0) return;
  Phrase cylinders = firstCylinder_ == lastCylinder_ ? Phrase{MessageId::OfCylinder, {firstCylinder_}}
                                                     : Phrase{MessageId::OfCylinders, {firstCylinder_, lastCylinder_}};
  if (sectorsLeftOut_ == 0)
    disk.Notices.push_back({{MessageId::NoticeBlankTracksBeyond, {format_, std::move(cylinders)}}, Severity::Info});
  else
    disk.Notices.push_back(
        {{MessageId::NoticeTracksBeyond, {format_, std::move(cylinders), sectorsLeftOut_}}, Severity::Warning});
}

Diagnostic TracksBeyondLeftOut(std::string_view format) {
  return {{MessageId::TracksBeyondLeftOut, {format, kCylinders}}, Severity::Info};
}

void CarryLoss(TZX_Disk& disk, std::string_view format, DiskLoss loss) {
  disk.Notices.push_back(
      {{MessageId::NoticeLossOnLoad, {format, PlacedPhrase(LossDiagnostic(loss))}}, Severity::Warning});
  disk.Losses.push_back(std::move(loss));
}

void NoteDataCut(TZX_Disk& disk, std::string_view format, int track, int sector, std::size_t length) {
  CarryLoss(disk, format, {LossKind::SectorData, track, sector, {MessageId::LossDataCut, {length, kSectorDataSize}}});
}

void NoteTooManySectors(TZX_Disk& disk, std::string_view format, int track, std::size_t count) {
  CarryLoss(disk, format, {LossKind::SectorData, track, -1, {MessageId::LossTooManySectors, {count, kSlotCount}}});
}

void NoteDeletedMarks(TZX_Disk& disk, std::string_view format, int count) {
  if (count == 0) return;
  CarryLoss(disk, format, {LossKind::DeletedMark, -1, -1, {MessageId::LossDeletedMarksLoaded, {count}}});
}

}  // namespace velloran
