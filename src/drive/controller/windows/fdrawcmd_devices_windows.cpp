// The Win32 calls behind WindowsDevices.
#include <windows.h>

#include "drive/controller/windows_devices.h"

namespace velloran {

namespace {

class Win32Devices : public WindowsDevices {
 public:
  Handle Open(const std::string& name) override {
    const std::wstring wide(name.begin(), name.end());  // the device names are ASCII
    const HANDLE handle =
        CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      lastError_ = GetLastError();
      return nullptr;
    }
    return handle;
  }

  void Close(Handle device) override { CloseHandle(device); }

  bool Control(Handle device, std::uint32_t code, const void* input, std::size_t inputSize, void* output,
               std::size_t outputSize, std::size_t& returned) override {
    DWORD count = 0;
    const BOOL ok = DeviceIoControl(device, code, const_cast<void*>(input), static_cast<DWORD>(inputSize), output,
                                    static_cast<DWORD>(outputSize), &count, nullptr);
    returned = count;
    if (!ok) lastError_ = GetLastError();
    return ok != FALSE;
  }

  std::uint32_t LastError() const override { return lastError_; }

 private:
  std::uint32_t lastError_ = 0;
};

}  // namespace

std::unique_ptr<WindowsDevices> CreateWin32Devices() { return std::make_unique<Win32Devices>(); }

}  // namespace velloran
