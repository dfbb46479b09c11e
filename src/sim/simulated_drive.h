// A floppy driver with a simulated drive and disk: it answers the nine
// requests as a PC floppy controller would, from a disk held in memory (the
// medium), keeps simulated time, and can be told to fail in chosen ways.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <string>
#include <utility>

#include "drive/floppy_driver.h"
#include "model/disk.h"
#include "sim/sim_timing.h"

namespace velloran {

// Error codes of the simulated drive, the same as Windows uses.
namespace sim_error {
inline constexpr std::uint32_t kFileNotFound = 2;   // no such device
inline constexpr std::uint32_t kInvalidHandle = 6;  // no drive open
inline constexpr std::uint32_t kWriteProtect = 19;
inline constexpr std::uint32_t kNotReady = 21;  // no disk
inline constexpr std::uint32_t kCrc = 23;       // data CRC error
inline constexpr std::uint32_t kSeek = 25;
inline constexpr std::uint32_t kSectorNotFound = 27;
inline constexpr std::uint32_t kInvalidParameter = 87;
}  // namespace sim_error

// A sector of the medium named by track index and sector number R.
using SectorKey = std::pair<int, int>;

// Faults the simulated drive shows on request.
struct SimulatedFaults {
  bool driverMissing = false;               // the control device does not open
  std::string drives = "AB";                // drive letters that exist
  bool noDisk = false;                      // every disk request: not ready
  bool writeProtected = false;              // writes and formats fail
  int seekFailCylinder = -1;                // a seek to this cylinder fails
  std::map<SectorKey, int> failFirstReads;  // sector -> reads that fail before it reads
  std::set<SectorKey> alwaysFail;           // sectors whose reads always fail
  double errorRate = 0.0;                   // chance of any sector read failing
  std::uint32_t seed = 1;                   // of the random failures
};

struct SimulatedDriveOptions {
  SimulatedFaults faults;
  SimulatedTiming timing;
  int cylinders = 83;                  // seeks beyond the last one fail
  std::uint32_t version = 0x01000A02;  // what the version request answers
  std::uint8_t controllerType = 5;     // byte 0 of the controller information
};

class SimulatedDrive : public FloppyDriver {
 public:
  explicit SimulatedDrive(SimulatedDriveOptions options = {});

  // The disk in the drive; tests and the command line fill it from an image.
  TZX_Disk& Medium() { return medium_; }
  const TZX_Disk& Medium() const { return medium_; }
  SimulatedFaults& Faults() { return options_.faults; }

  // Simulated time since the drive was made or the clock was reset.
  double SimulatedSeconds() const { return clock_.Seconds(); }
  double Revolutions() const { return clock_.Revolutions(); }
  void ResetClock() { clock_.Reset(); }
  int Cylinder() const { return cylinder_; }
  std::uint8_t DataRate() const { return rate_; }

  bool OpenControl() override;
  bool OpenDrive(char drive) override;
  void CloseDrive() override { driveOpen_ = false; }
  bool DriveOpen() const override { return driveOpen_; }
  bool GetVersion(std::uint32_t& version) override;
  bool SetDataRate(std::uint8_t rate) override;
  bool GetFdcInfo(std::array<std::uint8_t, kFdcInfoSize>& info) override;
  bool Reset() override;
  bool Seek(std::uint8_t cylinder, std::uint8_t head) override;
  bool ScanTrack(std::uint8_t flags, std::uint8_t head, ScanResult& result) override;
  bool ReadData(const ReadWriteBlock& block, std::span<std::uint8_t> buffer, std::size_t& byteCount) override;
  bool WriteData(const ReadWriteBlock& block, ByteSpan data) override;
  bool FormatTrack(const FormatBlock& block) override;
  bool ReadId(std::uint8_t flags, std::uint8_t head, IdHeader& id) override;
  std::uint32_t LastError() const override { return lastError_; }

 private:
  bool Succeed();
  bool Fail(std::uint32_t code);
  // Common checks of a disk request: a drive open and a disk inserted.
  bool DiskReady();
  int TrackUnderHead(std::uint8_t head) const { return cylinder_ * 2 + (head & 1); }
  // The used slot of the track with exactly this ID, or -1 once the
  // controller has given up at the second index pulse.
  int FindSlot(int track, const IdHeader& id);
  // Waits until the slot's ID passes under the head, then through its data.
  void PassSector(int track, int slot);
  // Whether a read of this sector fails by an injected fault.
  bool InjectedReadFault(int track, std::uint8_t sectorNumber);

  SimulatedDriveOptions options_;
  TZX_Disk medium_;
  SimulatedClock clock_;
  std::array<int, kTrackCount> formatGap_{};  // gap 3 of each track, for the layout
  std::mt19937 random_;
  bool controlOpen_ = false;
  bool driveOpen_ = false;
  int cylinder_ = 0;
  std::uint8_t rate_ = 2;
  std::uint32_t lastError_ = 0;
};

}  // namespace velloran
