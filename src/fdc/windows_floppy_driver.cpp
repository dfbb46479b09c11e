#include "fdc/windows_floppy_driver.h"

#include <windows.h>

#include <cstdio>

namespace velloran {

namespace {

// Opens a device for reading and writing, unshared, as it exists.
HANDLE OpenDevice(const char* name) {
  return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

HANDLE AsHandle(void* handle) { return handle == nullptr ? INVALID_HANDLE_VALUE : static_cast<HANDLE>(handle); }

void* Keep(HANDLE handle) { return handle == INVALID_HANDLE_VALUE ? nullptr : handle; }

}  // namespace

WindowsFloppyDriver::~WindowsFloppyDriver() {
  CloseDrive();
  if (control_ != nullptr) CloseHandle(AsHandle(control_));
}

bool WindowsFloppyDriver::Request(void* device, std::uint32_t code, const void* input, std::size_t inputSize,
                                  void* output, std::size_t outputSize, std::size_t* returned) {
  DWORD count = 0;
  const BOOL ok = DeviceIoControl(AsHandle(device), code, const_cast<void*>(input), static_cast<DWORD>(inputSize),
                                  output, static_cast<DWORD>(outputSize), &count, nullptr);
  if (returned != nullptr) *returned = count;
  lastError_ = ok ? 0 : GetLastError();
  return ok != FALSE;
}

// Opens the control device "\\.\fdrawcmd", kept for the whole run.
bool WindowsFloppyDriver::OpenControl() {
  if (control_ != nullptr) CloseHandle(AsHandle(control_));
  control_ = Keep(OpenDevice("\\\\.\\fdrawcmd"));
  lastError_ = control_ == nullptr ? GetLastError() : 0;
  return control_ != nullptr;
}

// Opens "\\.\fdraw0" for drive A, "\\.\fdraw1" otherwise.
bool WindowsFloppyDriver::OpenDrive(char drive) {
  CloseDrive();
  drive_ = Keep(OpenDevice(drive == 'A' || drive == 'a' ? "\\\\.\\fdraw0" : "\\\\.\\fdraw1"));
  lastError_ = drive_ == nullptr ? GetLastError() : 0;
  return drive_ != nullptr;
}

void WindowsFloppyDriver::CloseDrive() {
  if (drive_ != nullptr) CloseHandle(AsHandle(drive_));
  drive_ = nullptr;
}

bool WindowsFloppyDriver::DriveOpen() const { return drive_ != nullptr; }

bool WindowsFloppyDriver::GetVersion(std::uint32_t& version) {
  DWORD value = 0;
  if (!Request(control_, driver_code::kGetVersion, nullptr, 0, &value, sizeof value)) return false;
  version = value;
  version_ = value;
  return true;
}

DriveDescription WindowsFloppyDriver::Describe() const {
  DriveDescription description = FloppyDriver::Describe();
  description.name = "fdrawcmd.sys";
  if (version_ != 0) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(version_));
    description.version = text;
  }
  return description;
}

bool WindowsFloppyDriver::SetDataRate(std::uint8_t rate) {
  return Request(drive_, driver_code::kSetDataRate, &rate, 1, nullptr, 0);
}

bool WindowsFloppyDriver::GetFdcInfo(std::array<std::uint8_t, kFdcInfoSize>& info) {
  info.fill(0);
  return Request(drive_, driver_code::kGetFdcInfo, nullptr, 0, info.data(), info.size());
}

bool WindowsFloppyDriver::Reset() { return Request(drive_, driver_code::kReset, nullptr, 0, nullptr, 0); }

bool WindowsFloppyDriver::Seek(std::uint8_t cylinder, std::uint8_t head) {
  const std::uint8_t block[2] = {cylinder, head};
  return Request(drive_, driver_code::kSeek, block, sizeof block, nullptr, 0);
}

bool WindowsFloppyDriver::ScanTrack(std::uint8_t flags, std::uint8_t head, ScanResult& result) {
  const std::uint8_t block[2] = {flags, head};
  result.byteCount = 0;
  return Request(drive_, driver_code::kScanTrack, block, sizeof block, result.buffer.data(), result.buffer.size(),
                 &result.byteCount);
}

bool WindowsFloppyDriver::ReadData(const ReadWriteBlock& block, std::span<std::uint8_t> buffer,
                                   std::size_t& byteCount) {
  const auto bytes = block.Bytes();
  byteCount = 0;
  return Request(drive_, driver_code::kReadData, bytes.data(), bytes.size(), buffer.data(), buffer.size(), &byteCount);
}

// The sector data travel as the request's transfer buffer.
bool WindowsFloppyDriver::WriteData(const ReadWriteBlock& block, ByteSpan data) {
  const auto bytes = block.Bytes();
  return Request(drive_, driver_code::kWriteData, bytes.data(), bytes.size(), const_cast<std::uint8_t*>(data.data()),
                 data.size());
}

bool WindowsFloppyDriver::FormatTrack(const FormatBlock& block) {
  const Bytes bytes = block.ToBytes();
  return Request(drive_, driver_code::kFormatTrack, bytes.data(), bytes.size(), nullptr, 0);
}

// The answer holds the controller's seven result bytes: ST0, ST1, ST2, then
// the C, H, R, N of the ID field read.
bool WindowsFloppyDriver::ReadId(std::uint8_t flags, std::uint8_t head, IdHeader& id) {
  const std::uint8_t block[2] = {flags, head};
  std::uint8_t result[7] = {};
  if (!Request(drive_, driver_code::kReadId, block, sizeof block, result, sizeof result)) return false;
  id = {result[3], result[4], result[5], result[6]};
  return true;
}

}  // namespace velloran
