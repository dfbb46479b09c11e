// A stand-in for fdrawcmd.sys behind the Windows backend's device seam. It
// reads every request by the driver's published control codes and packed
// parameter blocks, and answers it from a simulated controller the way the
// real controller does: EOT is the last sector number to transfer, and the
// transfer also ends when the output buffer is full.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "drive/controller/windows_devices.h"
#include "sim/simulated_drive.h"

namespace velloran::test {

// The driver's parameter and result blocks as its public header lays them
// out: byte fields, packed.
#pragma pack(push, 1)
struct FdReadWriteParams {  // FD_READ_WRITE_PARAMS
  std::uint8_t flags, phead, cyl, head, sector, size, eot, gap, datalen;
};
struct FdSeekParams {  // FD_SEEK_PARAMS
  std::uint8_t cyl, head;
};
struct FdScanParams {  // FD_SCAN_PARAMS, also FD_READ_ID_PARAMS
  std::uint8_t flags, head;
};
struct FdIdHeader {  // FD_ID_HEADER
  std::uint8_t cyl, head, sector, size;
};
struct FdFormatParams {  // FD_FORMAT_PARAMS, followed by `sectors` FD_ID_HEADERs
  std::uint8_t flags, phead, size, sectors, gap, fill;
};
struct FdCmdResult {  // FD_CMD_RESULT
  std::uint8_t st0, st1, st2, cyl, head, sector, size;
};
#pragma pack(pop)

// GetLastError codes the fake gives for its own refusals.
inline constexpr std::uint32_t kErrorInvalidFunction = 1;
inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorInvalidParameter = 87;

class FakeFdrawcmd : public WindowsDevices {
 public:
  // One request as the driver received it.
  struct Call {
    std::string device;  // the name the handle was opened with
    std::uint32_t code = 0;
    std::vector<std::uint8_t> input;
    std::size_t outputSize = 0;
  };

  // `controller` answers the requests; a null one stands for a machine
  // without the driver, where every open fails.
  explicit FakeFdrawcmd(SimulatedDrive* controller) : controller_(controller) {}

  // A handle is the device's name in kDevices.
  Handle Open(const std::string& name) override {
    for (const char* device : kDevices) {
      if (name != device) continue;
      if (controller_ == nullptr) break;
      const bool ok =
          name == kDevices[0] ? controller_->OpenControl() : controller_->OpenDrive(name.back() == '0' ? 'A' : 'B');
      if (!ok) return Refuse(controller_->LastError());
      opened.push_back(name);
      return const_cast<char*>(device);
    }
    return Refuse(kErrorFileNotFound);
  }
  void Close(Handle device) override { closed.push_back(static_cast<const char*>(device)); }

  bool Control(Handle device, std::uint32_t code, const void* input, std::size_t inputSize, void* output,
               std::size_t outputSize, std::size_t& returned) override {
    const auto* in = static_cast<const std::uint8_t*>(input);
    auto* out = static_cast<std::uint8_t*>(output);
    calls.push_back({static_cast<const char*>(device), code,
                     std::vector<std::uint8_t>(in, in + (in == nullptr ? 0 : inputSize)), outputSize});
    returned = 0;
    bool ok = false;
    switch (code) {
      case driver_code::kGetVersion: {
        std::uint32_t version = 0;
        if (!Sized(inputSize, 0) || !Sized(outputSize, 4)) return false;
        ok = controller_->GetVersion(version);
        std::memcpy(out, &version, 4);
        returned = 4;
        break;
      }
      case driver_code::kSetDataRate:
        if (!Sized(inputSize, 1)) return false;
        ok = controller_->SetDataRate(in[0]);
        break;
      case driver_code::kGetFdcInfo: {
        std::array<std::uint8_t, kFdcInfoSize> info{};
        ok = controller_->GetFdcInfo(info);
        returned = std::min(outputSize, info.size());
        std::memcpy(out, info.data(), returned);
        break;
      }
      case driver_code::kReset: ok = controller_->Reset(); break;
      case driver_code::kSeek: {
        FdSeekParams seek;
        if (!Take(in, inputSize, seek)) return false;
        ok = controller_->Seek(seek.cyl, seek.head);
        break;
      }
      case driver_code::kScanTrack: {
        FdScanParams scan;
        if (!Take(in, inputSize, scan)) return false;
        ScanResult result;
        ok = controller_->ScanTrack(scan.flags, scan.head, result);
        returned = std::min(outputSize, result.byteCount);
        std::memcpy(out, result.buffer.data(), returned);
        break;
      }
      case driver_code::kReadData: {
        FdReadWriteParams params;
        if (!Take(in, inputSize, params)) return false;
        ok = controller_->ReadData(Block(params), std::span(out, outputSize), returned);
        break;
      }
      case driver_code::kWriteData: {
        FdReadWriteParams params;
        if (!Take(in, inputSize, params)) return false;
        ok = controller_->WriteData(Block(params), ByteSpan(out, outputSize));
        break;
      }
      case driver_code::kFormatTrack: {
        FdFormatParams params;
        if (inputSize < sizeof params) return Fail(kErrorInvalidParameter);
        std::memcpy(&params, in, sizeof params);
        if (!Sized(inputSize, sizeof params + sizeof(FdIdHeader) * params.sectors)) return false;
        FormatBlock block{params.flags, params.phead, params.size, params.gap, params.fill, {}};
        for (std::size_t i = 0; i < params.sectors; ++i) {
          FdIdHeader id;
          std::memcpy(&id, in + sizeof params + i * sizeof id, sizeof id);
          block.headers.push_back({id.cyl, id.head, id.sector, id.size});
        }
        ok = controller_->FormatTrack(block);
        break;
      }
      case driver_code::kReadId: {
        FdScanParams params;
        IdHeader id;
        if (!Take(in, inputSize, params) || !Sized(outputSize, sizeof(FdCmdResult))) return false;
        ok = controller_->ReadId(params.flags, params.head, id);
        const FdCmdResult result{0, 0, 0, id.c, id.h, id.r, id.n};
        std::memcpy(out, &result, sizeof result);
        returned = sizeof result;
        break;
      }
      default: return Fail(kErrorInvalidFunction);
    }
    return ok || Fail(controller_->LastError());
  }

  std::uint32_t LastError() const override { return lastError_; }

  std::vector<std::string> opened;
  std::vector<std::string> closed;
  std::vector<Call> calls;

 private:
  static constexpr const char* kDevices[] = {"\\\\.\\fdrawcmd", "\\\\.\\fdraw0", "\\\\.\\fdraw1"};

  // The controller's EOT (the last sector) as the block's "one past the last".
  static ReadWriteBlock Block(const FdReadWriteParams& p) {
    return {p.flags, p.phead,  {p.cyl, p.head, p.sector, p.size}, static_cast<std::uint8_t>(p.eot + 1),
            p.gap,   p.datalen};
  }
  template <typename Params>
  bool Take(const std::uint8_t* in, std::size_t size, Params& params) {
    if (!Sized(size, sizeof params)) return false;
    std::memcpy(&params, in, sizeof params);
    return true;
  }
  bool Sized(std::size_t size, std::size_t expected) { return size == expected || Fail(kErrorInvalidParameter); }
  bool Fail(std::uint32_t code) {
    lastError_ = code;
    return false;
  }
  Handle Refuse(std::uint32_t code) {
    lastError_ = code;
    return nullptr;
  }

  SimulatedDrive* controller_;
  std::uint32_t lastError_ = 0;
};

}  // namespace velloran::test
