#include "formats/reader_notices.h"

namespace velloran {

namespace {

constexpr int kLastCylinder = kTrackCount / 2 - 1;

std::string Prefix(std::string_view format) { return std::string(format) + ": "; }

}  // namespace

void TracksBeyondDisk::Drop(TZX_Disk& disk, int cylinder, int side, int sectors) {
  if (sectors > 0) {
    sectorsLeftOut_ += sectors;
    disk.Losses.push_back({LossKind::CylinderBeyondDisk, cylinder * 2 + side, -1,
                           "цилиндр " + std::to_string(cylinder) + ", сторона " + std::to_string(side) + ": секторов " +
                               std::to_string(sectors) + " за пределами " + std::to_string(kLastCylinder + 1) +
                               " цилиндров диска, не загружены"});
  }
  if (firstCylinder_ < 0 || cylinder < firstCylinder_) firstCylinder_ = cylinder;
  if (cylinder > lastCylinder_) lastCylinder_ = cylinder;
}

void TracksBeyondDisk::Report(TZX_Disk& disk) const {
  if (firstCylinder_ < 0) return;
  const std::string cylinders = firstCylinder_ == lastCylinder_ ? "цилиндра " + std::to_string(firstCylinder_)
                                                                : "цилиндров " + std::to_string(firstCylinder_) + "–" +
                                                                      std::to_string(lastCylinder_);
  if (sectorsLeftOut_ == 0) {
    disk.Notices.push_back("Образ " + format_ + " больше, чем вмещает программа: пустые дорожки " + cylinders +
                           " не загружены.");
    return;
  }
  disk.Notices.push_back("Образ " + format_ + " больше, чем вмещает программа: дорожки " + cylinders +
                         " не загружены, на них секторов: " + std::to_string(sectorsLeftOut_) +
                         ". Сохранение образа их потеряет.");
}

void CarryLoss(TZX_Disk& disk, std::string_view format, DiskLoss loss) {
  disk.Notices.push_back(Prefix(format) + LossText(loss) + ".");
  disk.Losses.push_back(std::move(loss));
}

void NoteDataCut(TZX_Disk& disk, std::string_view format, int track, int sector, std::size_t length) {
  CarryLoss(disk, format,
            {LossKind::SectorData, track, sector,
             "данных " + std::to_string(length) + " байт; загружены первые " + std::to_string(kSectorDataSize)});
}

void NoteTooManySectors(TZX_Disk& disk, std::string_view format, int track, std::size_t count) {
  CarryLoss(disk, format,
            {LossKind::SectorData, track, -1,
             "секторов " + std::to_string(count) + "; загружены первые " + std::to_string(kSlotCount)});
}

void NoteDeletedMarks(TZX_Disk& disk, std::string_view format, int count) {
  if (count == 0) return;
  CarryLoss(disk, format,
            {LossKind::DeletedMark, -1, -1,
             "секторов с меткой удалённых данных: " + std::to_string(count) + "; загружены как обычные"});
}

}  // namespace velloran
