// The Win32 calls the Windows floppy backend makes, behind a small interface
// so that tests can put a fake device in their place: opening a device
// (CreateFileW: read and write access, unshared, open existing), one
// synchronous DeviceIoControl request, and CloseHandle.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace velloran {

class WindowsDevices {
 public:
  using Handle = void*;  // nullptr stands for a device that did not open

  virtual ~WindowsDevices() = default;

  // Opens a device by its Windows name, such as "\\.\fdrawcmd".
  virtual Handle Open(const std::string& name) = 0;
  virtual void Close(Handle device) = 0;
  // One request with its input block and output buffer; `returned` gets
  // the number of bytes the driver put into the output buffer.
  virtual bool Control(Handle device, std::uint32_t code, const void* input, std::size_t inputSize, void* output,
                       std::size_t outputSize, std::size_t& returned) = 0;
  // The system's error code of the last Open or Control that failed.
  virtual std::uint32_t LastError() const = 0;
};

// The real calls (built on Windows only).
std::unique_ptr<WindowsDevices> CreateWin32Devices();

}  // namespace velloran
