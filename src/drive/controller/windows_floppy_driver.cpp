#include "drive/controller/windows_floppy_driver.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace velloran {

namespace {

// The driver's read and write parameter block: flags, physical head, C H R
// N, then EOT as the controller takes it (the last sector number), gap and
// data length.
std::array<std::uint8_t, 9> ReadWriteParameters(const ReadWriteBlock& block) {
  return {block.flags, block.head,         block.id.c, block.id.h, block.id.r,
          block.id.n,  block.LastSector(), block.gap,  block.dtl};
}

}  // namespace

WindowsFloppyDriver::WindowsFloppyDriver(std::unique_ptr<WindowsDevices> devices) : devices_(std::move(devices)) {}

WindowsFloppyDriver::~WindowsFloppyDriver() {
  CloseDrive();
  if (control_ != nullptr) devices_->Close(control_);
}

bool WindowsFloppyDriver::Request(WindowsDevices::Handle device, std::uint32_t code, const void* input,
                                  std::size_t inputSize, void* output, std::size_t outputSize, std::size_t* returned) {
  std::size_t count = 0;
  bool ok = false;
  if (device == nullptr)
    lastError_ = kWindowsInvalidHandle;
  else if ((ok = devices_->Control(device, code, input, inputSize, output, outputSize, count)))
    lastError_ = 0;
  else
    lastError_ = devices_->LastError();
  if (returned != nullptr) *returned = count;
  return ok;
}

bool WindowsFloppyDriver::Reopen(WindowsDevices::Handle& handle, const char* name) {
  if (handle != nullptr) devices_->Close(handle);
  handle = devices_->Open(name);
  lastError_ = handle == nullptr ? devices_->LastError() : 0;
  return handle != nullptr;
}

// Opens the control device "\\.\fdrawcmd", kept for the whole run.
bool WindowsFloppyDriver::OpenControl() { return Reopen(control_, "\\\\.\\fdrawcmd"); }

// Opens "\\.\fdraw0" for drive A, "\\.\fdraw1" otherwise.
bool WindowsFloppyDriver::OpenDrive(char drive) {
  return Reopen(drive_, drive == 'A' || drive == 'a' ? "\\\\.\\fdraw0" : "\\\\.\\fdraw1");
}

void WindowsFloppyDriver::CloseDrive() {
  if (drive_ != nullptr) devices_->Close(drive_);
  drive_ = nullptr;
}

bool WindowsFloppyDriver::DriveOpen() const { return drive_ != nullptr; }

bool WindowsFloppyDriver::GetVersion(std::uint32_t& version) {
  std::array<std::uint8_t, 4> value{};
  if (!Request(control_, driver_code::kGetVersion, nullptr, 0, value.data(), value.size())) return false;
  version = static_cast<std::uint32_t>(value[0] | value[1] << 8 | value[2] << 16 | value[3] << 24);
  version_ = version;
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

// The driver moves as many bytes as the output buffer holds, so the buffer
// handed over is cut to the sectors asked for: the transfer then ends the
// command right after the last of them.
bool WindowsFloppyDriver::ReadData(const ReadWriteBlock& block, std::span<std::uint8_t> buffer,
                                   std::size_t& byteCount) {
  const auto parameters = ReadWriteParameters(block);
  const std::size_t length = std::min(buffer.size(), block.TransferLength());
  return Request(drive_, driver_code::kReadData, parameters.data(), parameters.size(), buffer.data(), length,
                 &byteCount);
}

// The sector data travel as the request's transfer buffer.
bool WindowsFloppyDriver::WriteData(const ReadWriteBlock& block, ByteSpan data) {
  const auto parameters = ReadWriteParameters(block);
  return Request(drive_, driver_code::kWriteData, parameters.data(), parameters.size(),
                 const_cast<std::uint8_t*>(data.data()), data.size());
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
