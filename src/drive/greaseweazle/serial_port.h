// A serial port as the Greaseweazle backend uses it: raw bytes both ways,
// reads that wait a limited time, and the line speed, which the device reads
// as a control signal. Each platform has its own source file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "common/messages.h"

namespace velloran {

class SerialPort {
 public:
  virtual ~SerialPort() = default;
  // Writes every byte; false with LastError on failure.
  virtual bool Write(ByteSpan data) = 0;
  // Reads what arrives, up to `size` bytes, waiting at most `timeoutMs` for
  // the first of them. Returns the count: 0 when nothing came in time, -1 on
  // failure (LastError says why).
  virtual long ReadSome(std::uint8_t* data, std::size_t size, int timeoutMs) = 0;
  // Sets the line speed in baud.
  virtual bool SetBaud(int baud) = 0;
  // Drops whatever was received and not yet read.
  virtual void FlushInput() = 0;
  virtual std::string LastError() const = 0;
};

// Opens a serial device in raw mode at 9600 baud; nullptr and a message when
// it cannot be opened.
std::unique_ptr<SerialPort> OpenSerialPort(const std::string& device, Phrase& error);

// The serial devices of Greaseweazles plugged into this computer, found by
// their USB IDs (1209:4D69, and the shared test ID 1209:0001 when the device
// names itself a Greaseweazle), as the names to open.
std::vector<std::string> FindGreaseweazlePorts();

// Linux: the same search over a by-id folder of device links and a sysfs
// tty class folder, so that it can be tried on a folder tree made for it.
std::vector<std::string> FindGreaseweazlePortsIn(const std::filesystem::path& byIdFolder,
                                                 const std::filesystem::path& ttyClassFolder);

}  // namespace velloran
