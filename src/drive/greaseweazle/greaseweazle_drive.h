// The Greaseweazle backend: a flux drive reached over the device's serial
// port (a real Greaseweazle, or the simulated one over a pseudo-terminal).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "drive/flux_drive.h"
#include "drive/greaseweazle/greaseweazle_protocol.h"
#include "drive/greaseweazle/serial_port.h"

namespace velloran {

// Which drive on the Greaseweazle's cable: a PC drive (A or B, the twisted
// cable) or a Shugart drive (DS0..DS2).
struct GreaseweazleUnit {
  std::uint8_t bus = gw::kBusIbmPc;
  std::uint8_t unit = 0;
};

class GreaseweazleDrive : public FluxDrive {
 public:
  // `device` is the serial device to open; empty means the first
  // Greaseweazle found.
  GreaseweazleDrive(std::string device, GreaseweazleUnit unit);
  ~GreaseweazleDrive() override;
  GreaseweazleDrive(const GreaseweazleDrive&) = delete;
  GreaseweazleDrive& operator=(const GreaseweazleDrive&) = delete;

  DriveDescription Describe() const override;
  bool Open() override;
  bool Start() override;
  void Stop() override;
  bool SeekTrack(int cylinder, int head) override;
  bool ReadFlux(int revolutions, FluxTrack& out) override;
  bool WriteFlux(const FluxTrack& flux) override;
  bool EraseTrack() override;
  double SampleClock() const override { return info_.sampleFrequency; }
  Phrase LastFailure() const override { return error_; }
  bool LastErrorStopsOperation() const override { return stops_; }

  // The drive on the cable, used from the next Start on.
  void SetUnit(GreaseweazleUnit unit) { unit_ = unit; }
  const std::string& Device() const { return device_; }

 private:
  bool Fail(Phrase message, bool stops);
  bool AckFailure(std::uint8_t command, std::uint8_t ack);
  // A lost, late or garbled answer: the link may be out of step with the device.
  bool LinkFailure(Phrase message, bool stops = true);
  // Brings the link back in step after a link failure.
  bool Resynchronise();
  // After a link failure, whether one more attempt is due (the link then
  // resynchronised); `attempt` counts them.
  bool RetryAfterLinkFailure(int& attempt);
  // Sends a command once and checks its two-byte answer.
  bool Exchange(std::uint8_t command, ByteSpan arguments);
  // Sends a command and checks its answer, again after a link failure (a
  // few times, resynchronising first).
  bool Send(std::uint8_t command, ByteSpan arguments = {});
  bool ReadExact(std::uint8_t* data, std::size_t size, int timeoutMs);
  // Reads a flux stream up to its 0 byte.
  bool ReadStream(Bytes& stream);
  // GetFluxStatus: the result of the last read, write or erase.
  bool FluxStatus();
  // ReadFlux ended by `ticks` or by `indexCount` index pulses (0: no such limit).
  bool ReadOnce(std::uint32_t ticks, int indexCount, FluxTrack& out);
  // ReadOnce, again on flux overflow or a lost link.
  bool Capture(std::uint32_t ticks, int indexCount, FluxTrack& out);
  // Takes the drive's turn from the last revolution of a read.
  bool LearnTurn(const FluxTrack& whole);
  bool WriteOnce(const Bytes& stream);
  bool SetDelays();

  std::string device_;
  GreaseweazleUnit unit_;
  std::unique_ptr<SerialPort> port_;
  gw::FirmwareInfo info_;
  bool started_ = false;
  Phrase error_;
  bool stops_ = false;
  std::uint8_t lastAck_ = 0;
  bool linkLost_ = false;        // the last failure was one of the link, not an answer of the device
  std::uint64_t turnTicks_ = 0;  // one revolution of the disk in flux ticks; 0 until a read measured it
};

}  // namespace velloran
