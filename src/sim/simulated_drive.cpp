#include "sim/simulated_drive.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace velloran {

namespace {

using namespace sim_error;

// Gap 3 of tracks that come from an image rather than from a format request.
constexpr int kImageGap3 = 54;

// An ID field as it passes the head: A1 A1 A1 FE, C H R N, two CRC bytes.
constexpr std::int64_t kIdFieldBytes = 10;

// Length of a data field as the controller counts it for a size code.
std::size_t ControllerLength(std::uint8_t sizeCode) { return std::size_t{128} << std::min<int>(sizeCode, 7); }

}  // namespace

SimulatedDrive::SimulatedDrive(SimulatedDriveOptions options)
    : options_(std::move(options)), clock_(options_.timing), random_(options_.faults.seed) {
  options_.cylinders = std::clamp(options_.cylinders, 1, kTrackCount / 2);
  formatGap_.fill(kImageGap3);
}

bool SimulatedDrive::Succeed() {
  lastError_ = 0;
  return true;
}

bool SimulatedDrive::Fail(std::uint32_t code) {
  lastError_ = code;
  return false;
}

bool SimulatedDrive::DiskReady() {
  if (!driveOpen_) return Fail(kInvalidHandle);
  if (options_.faults.noDisk) return Fail(kNotReady);
  return true;
}

// Opens the control device unless the driver is made to be missing.
bool SimulatedDrive::OpenControl() {
  if (options_.faults.driverMissing) return Fail(kFileNotFound);
  controlOpen_ = true;
  return Succeed();
}

// Opens drive A or B when that drive exists.
bool SimulatedDrive::OpenDrive(char drive) {
  driveOpen_ = false;
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(drive)));
  if (letter == 0 || options_.faults.drives.find(letter) == std::string::npos) return Fail(kFileNotFound);
  driveOpen_ = true;
  return Succeed();
}

bool SimulatedDrive::GetVersion(std::uint32_t& version) {
  clock_.HostRequest();
  if (!controlOpen_) return Fail(kInvalidHandle);
  version = options_.version;
  return Succeed();
}

bool SimulatedDrive::SetDataRate(std::uint8_t rate) {
  clock_.HostRequest();
  if (!driveOpen_) return Fail(kInvalidHandle);
  if (rate > 3) return Fail(kInvalidParameter);
  rate_ = rate;
  return Succeed();
}

bool SimulatedDrive::GetFdcInfo(std::array<std::uint8_t, kFdcInfoSize>& info) {
  clock_.HostRequest();
  if (!driveOpen_) return Fail(kInvalidHandle);
  info.fill(0);
  info[0] = options_.controllerType;
  return Succeed();
}

// A controller reset leaves the head where it is.
bool SimulatedDrive::Reset() {
  clock_.HostRequest();
  if (!driveOpen_) return Fail(kInvalidHandle);
  return Succeed();
}

// Steps the head to a cylinder; beyond the last cylinder the drive cannot go.
bool SimulatedDrive::Seek(std::uint8_t cylinder, std::uint8_t /*head*/) {
  clock_.HostRequest();
  if (!DiskReady()) return false;
  if (cylinder >= options_.cylinders || cylinder == options_.faults.seekFailCylinder) return Fail(kSeek);
  clock_.Step(cylinder - cylinder_);
  cylinder_ = cylinder;
  return Succeed();
}

// Reads the ID fields of the track under the head for one revolution and
// reports them in track order.
bool SimulatedDrive::ScanTrack(std::uint8_t flags, std::uint8_t head, ScanResult& result) {
  clock_.HostRequest();
  if (!DiskReady()) return false;
  clock_.PassRevolutions(1);
  std::vector<IdHeader> headers;
  const int track = TrackUnderHead(head);
  if ((flags & kFlagMfm) != 0 && track < kTrackCount && medium_.GetTrack(static_cast<std::uint8_t>(track)).Present) {
    for (const TSectorRec& slot : medium_.GetTrack(static_cast<std::uint8_t>(track)).Sectors)
      if (slot.Used) headers.push_back({slot.IdTrack, slot.IdSide, slot.IdSector, slot.IdSize});
  }
  StoreScanHeaders(headers, result);
  return Succeed();
}

// Waits for the next ID field to pass under the head and reads it. A track
// without any ID keeps the controller looking until the second index pulse.
bool SimulatedDrive::ReadId(std::uint8_t flags, std::uint8_t head, IdHeader& id) {
  clock_.HostRequest();
  if (!DiskReady()) return false;
  const int track = TrackUnderHead(head);
  const TTrack* t = track < kTrackCount ? &medium_.GetTrack(static_cast<std::uint8_t>(track)) : nullptr;
  std::vector<SectorPlace> places;
  if ((flags & kFlagMfm) != 0 && t != nullptr && t->Present)
    places = LayoutTrack(*t, formatGap_[track], options_.timing);
  if (places.empty()) {
    clock_.WaitFor(0);
    clock_.PassRevolutions(1);
    return Fail(kSectorNotFound);
  }
  // The first ID mark at or after the head's angle, counting around the turn.
  const std::int64_t revolution = options_.timing.revolutionMicros;
  const std::int64_t angle = clock_.Micros() % revolution;
  std::size_t next = 0;
  std::int64_t shortest = revolution;
  for (std::size_t i = 0; i < places.size(); ++i) {
    const std::int64_t wait = ((places[i].idStart - angle) % revolution + revolution) % revolution;
    if (wait < shortest) {
      shortest = wait;
      next = i;
    }
  }
  clock_.WaitFor(places[next].idStart);
  clock_.Pass(kIdFieldBytes * options_.timing.byteMicros);
  // The used slots are the ones laid out, in slot order.
  std::size_t place = 0;
  for (const TSectorRec& slot : t->Sectors) {
    if (!slot.Used) continue;
    if (place++ == next) {
      id = {slot.IdTrack, slot.IdSide, slot.IdSector, slot.IdSize};
      break;
    }
  }
  return Succeed();
}

int SimulatedDrive::FindSlot(int track, const IdHeader& id) {
  if (track < kTrackCount) {
    const TTrack& t = medium_.GetTrack(static_cast<std::uint8_t>(track));
    for (int i = 0; t.Present && i < kSlotCount; ++i) {
      const TSectorRec& slot = t.Sectors[i];
      if (slot.Used && slot.IdTrack == id.c && slot.IdSide == id.h && slot.IdSector == id.r && slot.IdSize == id.n)
        return i;
    }
  }
  clock_.WaitFor(0);
  clock_.PassRevolutions(1);
  return -1;
}

void SimulatedDrive::PassSector(int track, int slot) {
  const TTrack& t = medium_.GetTrack(static_cast<std::uint8_t>(track));
  const std::vector<SectorPlace> places = LayoutTrack(t, formatGap_[track], options_.timing);
  // Slot index among the used slots, which are the ones laid out.
  int place = 0;
  for (int i = 0; i < slot; ++i)
    if (t.Sectors[i].Used) ++place;
  clock_.WaitFor(places[place].idStart);
  clock_.Pass(places[place].dataEnd - places[place].idStart);
}

bool SimulatedDrive::InjectedReadFault(int track, std::uint8_t sectorNumber) {
  SimulatedFaults& faults = options_.faults;
  const SectorKey key{track, sectorNumber};
  if (faults.alwaysFail.count(key) != 0) return true;
  const auto flaky = faults.failFirstReads.find(key);
  if (flaky != faults.failFirstReads.end() && flaky->second > 0) {
    --flaky->second;
    return true;
  }
  return faults.errorRate > 0 && static_cast<double>(random_()) < faults.errorRate * 4294967296.0;
}

// Reads sectors R .. EOT-1 of the track under the head into the buffer. A
// sector is found by its whole ID; its data field must have the length of
// the size code and a good CRC.
bool SimulatedDrive::ReadData(const ReadWriteBlock& block, std::span<std::uint8_t> buffer, std::size_t& byteCount) {
  byteCount = 0;
  clock_.HostRequest();
  if (!DiskReady()) return false;
  const int track = TrackUnderHead(block.head);
  for (int k = 0; k < block.SectorCount() && byteCount < buffer.size(); ++k) {
    IdHeader id = block.id;
    id.r = static_cast<std::uint8_t>(block.id.r + k);
    const int slotIndex = FindSlot(track, id);
    if (slotIndex < 0) return Fail(kSectorNotFound);
    PassSector(track, slotIndex);
    const TSectorRec& slot = medium_.GetTrack(static_cast<std::uint8_t>(track)).Sectors[slotIndex];
    if (slot.DataLen == 0) return Fail(kSectorNotFound);  // no data field after the ID

    const std::size_t length = ControllerLength(id.n);
    const std::size_t room = std::min(length, buffer.size() - byteCount);
    std::uint8_t* out = buffer.data() + byteCount;
    std::memset(out, 0, room);
    std::memcpy(out, slot.Data.data(), std::min<std::size_t>(room, slot.DataLen));
    byteCount += room;
    if (slot.DataLen != length || !slot.DataOk || InjectedReadFault(track, id.r)) return Fail(kCrc);
  }
  return Succeed();
}

// Writes the data into sectors R .. EOT-1 of the track under the head; each
// sector gets a data field of its size code's length, padded with zeros.
bool SimulatedDrive::WriteData(const ReadWriteBlock& block, ByteSpan data) {
  clock_.HostRequest();
  if (!DiskReady()) return false;
  if (options_.faults.writeProtected) return Fail(kWriteProtect);
  if (data.empty()) return Fail(kInvalidParameter);
  const int track = TrackUnderHead(block.head);
  std::size_t offset = 0;
  for (int k = 0; k < block.SectorCount() && offset < data.size(); ++k) {
    IdHeader id = block.id;
    id.r = static_cast<std::uint8_t>(block.id.r + k);
    const int slotIndex = FindSlot(track, id);
    if (slotIndex < 0) return Fail(kSectorNotFound);
    const std::size_t length = ControllerLength(id.n);
    if (length > kSectorDataSize) return Fail(kInvalidParameter);
    PassSector(track, slotIndex);
    TSectorRec& slot = medium_.GetTrack(static_cast<std::uint8_t>(track)).Sectors[slotIndex];
    const std::size_t chunk = std::min(length, data.size() - offset);
    std::fill(slot.Data.begin(), slot.Data.end(), 0);
    std::memcpy(slot.Data.data(), data.data() + offset, chunk);
    slot.DataLen = static_cast<std::uint16_t>(length);
    slot.DataOk = true;
    offset += chunk;
  }
  return Succeed();
}

// Lays down a new track from the index: the given IDs in order, each with a
// data field of the block's size code filled with the fill byte.
bool SimulatedDrive::FormatTrack(const FormatBlock& block) {
  clock_.HostRequest();
  if (!DiskReady()) return false;
  if (options_.faults.writeProtected) return Fail(kWriteProtect);
  const std::size_t length = ControllerLength(block.sizeCode);
  const int track = TrackUnderHead(block.head);
  if (block.headers.size() > kSlotCount || length > kSectorDataSize || track >= kTrackCount)
    return Fail(kInvalidParameter);
  clock_.WaitFor(0);
  clock_.PassRevolutions(1);

  TTrack& t = medium_.GetTrack(static_cast<std::uint8_t>(track));
  t.Clear();
  t.Present = true;
  for (std::size_t i = 0; i < block.headers.size(); ++i) {
    const IdHeader& id = block.headers[i];
    TSectorRec& slot = t.Sectors[i];
    SetIdField(slot, id.c, id.h, id.r, id.n);
    std::fill_n(slot.Data.begin(), length, block.fill);
    slot.DataLen = static_cast<std::uint16_t>(length);
    slot.DataOk = true;
  }
  t.CountSectors();
  formatGap_[track] = block.gap;
  return Succeed();
}

}  // namespace velloran
