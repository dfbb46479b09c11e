#include "formats/reader_notices.h"

namespace velloran {

namespace {

constexpr int kLastCylinder = kTrackCount / 2 - 1;

std::string Prefix(std::string_view format) { return std::string(format) + ": "; }

std::string Where(int track, int sector) {
  return "дорожка " + std::to_string(track) + ", сектор " + std::to_string(sector);
}

}  // namespace

bool TracksBeyondDisk::Drop(TZX_Disk& disk, int cylinder, int side, bool holdsSectors) {
  if (holdsSectors) {
    disk.LastError = format_ + " track at cylinder " + std::to_string(cylinder) + ", side " + std::to_string(side) +
                     " holds sectors, but a disk holds cylinders 0 to " + std::to_string(kLastCylinder) + " only!";
    return false;
  }
  if (firstCylinder_ < 0 || cylinder < firstCylinder_) firstCylinder_ = cylinder;
  if (cylinder > lastCylinder_) lastCylinder_ = cylinder;
  return true;
}

void TracksBeyondDisk::Report(TZX_Disk& disk) const {
  if (firstCylinder_ < 0) return;
  const std::string cylinders = firstCylinder_ == lastCylinder_ ? "цилиндра " + std::to_string(firstCylinder_)
                                                                : "цилиндров " + std::to_string(firstCylinder_) + "–" +
                                                                      std::to_string(lastCylinder_);
  disk.Notices.push_back("Образ " + format_ + " больше, чем вмещает программа: пустые дорожки " + cylinders +
                         " не загружены.");
}

void NoteDataCut(TZX_Disk& disk, std::string_view format, int track, int sector, std::size_t length) {
  disk.Notices.push_back(Prefix(format) + Where(track, sector) + " — данных " + std::to_string(length) +
                         " байт; загружены первые " + std::to_string(kSectorDataSize) + ".");
}

void NoteTooManySectors(TZX_Disk& disk, std::string_view format, int track, std::size_t count) {
  disk.Notices.push_back(Prefix(format) + "на дорожке " + std::to_string(track) + " секторов: " +
                         std::to_string(count) + "; загружены первые " + std::to_string(kSlotCount) + ".");
}

void NoteDeletedMarks(TZX_Disk& disk, std::string_view format, int count) {
  if (count == 0) return;
  disk.Notices.push_back(Prefix(format) + "секторов с меткой удалённых данных: " + std::to_string(count) +
                         "; загружены как обычные.");
}

}  // namespace velloran
