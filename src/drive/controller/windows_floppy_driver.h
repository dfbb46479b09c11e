// The floppy driver on Windows: fdrawcmd.sys, whose devices are reached
// through WindowsDevices (the Win32 calls, or a fake device in tests). Error
// codes are GetLastError values.
#pragma once

#include <memory>

#include "drive/controller/windows_devices.h"
#include "drive/floppy_driver.h"

namespace velloran {

// GetLastError's code for a request on a device that is not open.
inline constexpr std::uint32_t kWindowsInvalidHandle = 6;  // ERROR_INVALID_HANDLE

class WindowsFloppyDriver : public FloppyDriver {
 public:
  explicit WindowsFloppyDriver(std::unique_ptr<WindowsDevices> devices);
  ~WindowsFloppyDriver() override;
  WindowsFloppyDriver(const WindowsFloppyDriver&) = delete;
  WindowsFloppyDriver& operator=(const WindowsFloppyDriver&) = delete;

  bool OpenControl() override;
  bool OpenDrive(char drive) override;
  void CloseDrive() override;
  bool DriveOpen() const override;
  DriveDescription Describe() const override;
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
  // One DeviceIoControl request; the byte count returned goes to `returned`.
  bool Request(WindowsDevices::Handle device, std::uint32_t code, const void* input, std::size_t inputSize,
               void* output, std::size_t outputSize, std::size_t* returned = nullptr);
  // Opens a device, closing the one `handle` held before.
  bool Reopen(WindowsDevices::Handle& handle, const char* name);

  std::unique_ptr<WindowsDevices> devices_;
  WindowsDevices::Handle control_ = nullptr;  // "\\.\fdrawcmd"
  WindowsDevices::Handle drive_ = nullptr;    // "\\.\fdraw0" or "\\.\fdraw1"
  std::uint32_t lastError_ = 0;
  std::uint32_t version_ = 0;  // the driver's version, once asked
};

}  // namespace velloran
