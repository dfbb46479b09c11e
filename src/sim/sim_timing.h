// The clock of the simulated drive: a disk turning at 300 rpm under the head,
// sector positions taken from the track's layout, stepping and settling of
// the head, and a fixed cost of the host for every request.
#pragma once

#include <cstdint>
#include <vector>

#include "model/disk.h"

namespace velloran {

struct SimulatedTiming {
  std::int64_t revolutionMicros = 200000;  // 300 rpm
  std::int64_t byteMicros = 32;            // 250 kbit/s MFM: 8 cells of 4 us
  std::int64_t stepMicros = 3000;          // per cylinder stepped
  std::int64_t settleMicros = 15000;       // after the last step
  std::int64_t hostMicros = 1000;          // the host's own cost of one request
};

// Where a sector passes under the head, in microseconds after the index
// pulse: the start of its ID address mark and the end of its data field.
struct SectorPlace {
  std::int64_t idStart = 0;
  std::int64_t dataEnd = 0;
};

// The places of the used slots of a track, in slot order. A track held as a
// raw image gives the positions of its data fields; otherwise the sectors lie
// as a controller formats them (index part of 146 bytes, 62 bytes of ID and
// marks before each data field, `gap3` bytes after it), squeezed into one
// revolution when they need more.
std::vector<SectorPlace> LayoutTrack(const TTrack& track, int gap3, const SimulatedTiming& timing);

// Simulated time of the drive.
class SimulatedClock {
 public:
  explicit SimulatedClock(const SimulatedTiming& timing) : timing_(timing) {}

  std::int64_t Micros() const { return now_; }
  double Seconds() const { return static_cast<double>(now_) / 1e6; }
  double Revolutions() const { return static_cast<double>(now_) / static_cast<double>(timing_.revolutionMicros); }
  void Reset() { now_ = 0; }

  // The host prepares and sends one request.
  void HostRequest() { now_ += timing_.hostMicros; }
  // Moves the head by some cylinders; settling follows any movement.
  void Step(int cylinders);
  // Waits until the point `micros` after the index passes under the head.
  void WaitFor(std::int64_t micros);
  // Passes `micros` of rotation (reading or writing).
  void Pass(std::int64_t micros) { now_ += micros; }
  void PassRevolutions(int count) { now_ += count * timing_.revolutionMicros; }
  const SimulatedTiming& Timing() const { return timing_; }

 private:
  SimulatedTiming timing_;
  std::int64_t now_ = 0;
};

}  // namespace velloran
