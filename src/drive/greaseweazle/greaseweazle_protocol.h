// The Greaseweazle's host protocol as plain values: command numbers, the
// acknowledgement codes and their messages, the firmware information block,
// and the flux stream in both directions. The backend and the simulated
// device both speak through these functions.
#pragma once

#include <cstdint>
#include <string>

#include "common/bytes.h"
#include "common/messages.h"
#include "flux/flux_track.h"

namespace velloran::gw {

enum Command : std::uint8_t {
  kGetInfo = 0,
  kSeek = 2,
  kHead = 3,
  kSetParams = 4,
  kGetParams = 5,
  kMotor = 6,
  kReadFlux = 7,
  kWriteFlux = 8,
  kGetFluxStatus = 9,
  kSelect = 12,
  kDeselect = 13,
  kSetBusType = 14,
  kSetPin = 15,
  kReset = 16,
  kEraseFlux = 17,
  kGetPin = 20,
};

enum Ack : std::uint8_t {
  kOkay = 0,
  kBadCommand = 1,
  kNoIndex = 2,
  kNoTrack0 = 3,
  kFluxOverflow = 4,
  kFluxUnderflow = 5,
  kWriteProtected = 6,
  kNoUnit = 7,
  kNoBus = 8,
  kBadUnit = 9,
  kBadPin = 10,
  kBadCylinder = 11,
  kOutOfSram = 12,
  kOutOfFlash = 13,
};

enum BusType : std::uint8_t { kBusIbmPc = 1, kBusShugart = 2 };

inline constexpr std::uint8_t kInfoFirmware = 0;
inline constexpr std::uint8_t kInfoCurrentDrive = 7;
inline constexpr std::uint8_t kParamsDelays = 0;
inline constexpr std::uint8_t kPinTrack0 = 26;  // low = the head is on track 0
inline constexpr std::size_t kInfoSize = 32;

// The oldest firmware this program talks to: 0.31.
inline constexpr int kMinimumFirmware = 31;

// A serial line speed that, set and then left, resets the device's command parser.
inline constexpr int kClearCommsBaud = 10000;
inline constexpr int kNormalBaud = 9600;

// What the device says about its firmware (GetInfo 0).
struct FirmwareInfo {
  int major = 0;
  int minor = 0;
  bool mainFirmware = false;
  int maxCommand = 0;
  std::uint32_t sampleFrequency = 0;  // flux ticks per second
  int hardwareModel = 0;
  int hardwareSubmodel = 0;
  int usbSpeed = 0;

  int Version() const { return major * 100 + minor; }
  // "F7 v1.4", "F1", ...: the model as its makers name it.
  std::string ModelName() const;
};

FirmwareInfo ParseFirmwareInfo(ByteSpan block);
Bytes FirmwareInfoBlock(const FirmwareInfo& info);

// The message shown for an acknowledgement code.
Phrase AckMessage(std::uint8_t ack);

// A command: number, length (the whole command), arguments.
Bytes MakeCommand(std::uint8_t command, ByteSpan arguments = {});

// Little-endian pieces of command arguments.
void PutU16(Bytes& out, std::uint32_t value);
void PutU32(Bytes& out, std::uint32_t value);

// Flux stream from the device into a track: intervals and index times in
// sample ticks. `stream` ends before its terminating 0 byte. False when it is
// malformed (an opcode cut short or unknown).
bool DecodeFluxStream(ByteSpan stream, double sampleClock, FluxTrack& out);

// A revolution of flux as the device takes it for writing, the terminating
// 0 byte included: long gaps as Space plus Astable, a dummy interval at the end.
Bytes EncodeFluxStream(const std::vector<std::uint32_t>& intervals, double sampleClock);

// A read's flux as the device sends it, for the simulated device: intervals
// and the index pulses at their times, the terminating 0 byte included.
Bytes EncodeReadStream(const FluxTrack& track);

}  // namespace velloran::gw
