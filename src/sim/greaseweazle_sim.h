// A simulated Greaseweazle: the device's side of the host protocol over a
// disk held in memory, which it turns into flux with the flux layer's
// encoder. It keeps a clock (the disk's turns, seeks, motor spin-up) so that
// reading and writing can be timed, and can be told to fail in chosen ways.
// GreaseweazlePty puts it behind a pseudo-terminal, where the real backend
// talks to it as to a device.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <string>

#include "common/bytes.h"
#include "flux/flux_track.h"
#include "model/disk.h"
#include "sim/simulated_drive.h"

namespace velloran {

struct GreaseweazleSimFaults {
  bool noDisk = false;          // no index pulses, no flux: reads and writes find no index
  bool noIndex = false;         // flux but no index pulses
  bool writeProtected = false;  // writes and erases are refused
  double jitterNs = 0;          // each transition moves by up to this much either way
  std::set<SectorKey> weak;     // sectors whose data read differently in each revolution, good in few
  std::set<SectorKey> bad;      // sectors whose data CRC is bad in every revolution
  int overflowReads = 0;        // the first K reads of each track end in flux overflow
  int noisyAnswers = 0;         // every Kth answer comes after a stray byte, as a late reply would
  int firmwareMajor = 1;        // the firmware version GetInfo tells
  int firmwareMinor = 5;
  std::uint32_t seed = 1;  // of jitter and weak bits
};

struct GreaseweazleSimOptions {
  GreaseweazleSimFaults faults;
  double sampleClock = 72e6;  // flux ticks per second
  int cylinders = 83;         // seeks beyond the last one are refused
};

class GreaseweazleSim {
 public:
  explicit GreaseweazleSim(GreaseweazleSimOptions options = {});

  // The disk in the drive; written tracks change it as a real disk would change.
  TZX_Disk& Medium() { return medium_; }

  // Takes bytes from the host and returns the device's answer to every
  // command they complete (nothing while a command is still incomplete).
  Bytes Feed(ByteSpan input);
  // The host's clear comms: a command cut short is dropped.
  void ClearComms();

  double Seconds() const { return seconds_; }
  double Revolutions() const { return seconds_ / kRevolutionSeconds; }
  int FluxReads() const { return fluxReads_; }
  // Turns of flux captured in all reads.
  double RevolutionsRead() const {
    return static_cast<double>(ticksRead_) / (kRevolutionSeconds * options_.sampleClock);
  }
  bool MotorOn() const { return motorOn_; }
  bool Selected() const { return selected_; }
  int Cylinder() const { return cylinder_; }
  // Every cylinder sought, in order.
  const std::vector<int>& Seeks() const { return seeks_; }

  static constexpr double kRevolutionSeconds = 0.2;  // 300 rpm

 private:
  // One complete command: its answer.
  Bytes Execute(const Bytes& command);
  std::uint8_t Seek(int cylinder);
  Bytes ReadFlux(std::uint32_t ticks, int indexCount);
  std::uint8_t StartWrite();
  void FinishWrite();
  std::uint8_t Erase(std::uint32_t ticks);
  // One revolution of the current track from the index, with its faults;
  // `weakGood` lets the weak sectors hold this time (else they read
  // differently in every revolution).
  std::vector<std::uint32_t> RevolutionFlux(bool weakGood);
  // Host time of one command, and waiting for the disk to reach its index.
  void Elapse(double seconds) { seconds_ += seconds; }
  void WaitForIndex();
  int TrackIndex() const { return cylinder_ * 2 + head_; }
  bool DiskPresent() const { return !options_.faults.noDisk; }

  GreaseweazleSimOptions options_;
  TZX_Disk medium_;
  std::unique_ptr<TZX_Disk> scratch_;  // a copy of one track with its faults, for the encoder
  std::array<std::optional<FluxTrack>, kTrackCount> written_;
  std::array<int, kTrackCount> readsOfTrack_{};
  std::mt19937 random_;

  Bytes pending_;  // host bytes not yet a whole command
  bool receivingStream_ = false;
  Bytes writeStream_;
  std::uint8_t fluxStatus_ = 0;

  std::uint8_t busType_ = 0;
  int unit_ = -1;  // the selected unit, -1 none
  bool selected_ = false;
  bool motorOn_ = false;
  int cylinder_ = 0;
  std::vector<int> seeks_;
  int head_ = 0;
  double stepSeconds_ = 0.003;
  double settleSeconds_ = 0.015;
  double motorSeconds_ = 0.75;

  double seconds_ = 0;
  int fluxReads_ = 0;
  long answers_ = 0;  // commands answered, for the noisy-answer fault
  std::uint64_t ticksRead_ = 0;
};

// The simulated device behind a pseudo-terminal, served by a thread of its
// own: DevicePath() is what the backend opens.
class GreaseweazlePty {
 public:
  // Starts serving `sim`; on failure Ok() is false and Error() says why.
  explicit GreaseweazlePty(std::shared_ptr<GreaseweazleSim> sim);
  ~GreaseweazlePty();
  GreaseweazlePty(const GreaseweazlePty&) = delete;
  GreaseweazlePty& operator=(const GreaseweazlePty&) = delete;

  bool Ok() const { return error_.empty(); }
  const std::string& Error() const { return error_; }
  const std::string& DevicePath() const { return path_; }
  // The simulator, once the thread serving it has nothing left to do.
  GreaseweazleSim& Sim();

 private:
  struct Link;
  std::unique_ptr<Link> link_;
  std::shared_ptr<GreaseweazleSim> sim_;
  std::string path_;
  std::string error_;
};

}  // namespace velloran
