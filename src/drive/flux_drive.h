// A drive that reads and writes whole tracks as flux (a USB flux reader such
// as the Greaseweazle). The reading and writing engines turn its flux into
// the disk's tracks with the flux layer's decoder and back with its encoder.
#pragma once

#include "common/messages.h"
#include "drive/disk_drive.h"
#include "flux/flux_track.h"

namespace velloran {

class FluxDrive : public DiskDrive {
 public:
  FluxDrive* AsFlux() override { return this; }

  // Connects to the device and checks that it can be used.
  virtual bool Open() = 0;
  // Selects the drive, starts its motor and brings the heads to track 0.
  virtual bool Start() = 0;
  // Stops the motor and deselects the drive; harmless when not started.
  virtual void Stop() = 0;
  virtual bool SeekTrack(int cylinder, int head) = 0;
  // Reads `revolutions` whole revolutions of the current track, each from
  // one index pulse to the next; `out` starts at an index pulse. A drive may
  // capture from wherever the disk is and join the capture's two ends into
  // one of them (see flux/whole_revolutions.h).
  virtual bool ReadFlux(int revolutions, FluxTrack& out) = 0;
  // Writes the first revolution of `flux` onto the current track, from the index.
  virtual bool WriteFlux(const FluxTrack& flux) = 0;
  // Erases the current track: one revolution without flux, from the index.
  virtual bool EraseTrack() = 0;
  // Ticks per second of the flux the drive reads and writes.
  virtual double SampleClock() const = 0;

  // What the last failure was, to be put into words by the front end.
  virtual Phrase LastFailure() const = 0;
  // Whether the last failure concerns the whole disk rather than one track
  // (no disk or index, write protection, the device gone): an operation
  // stops there instead of trying the next track.
  virtual bool LastErrorStopsOperation() const = 0;
};

}  // namespace velloran
