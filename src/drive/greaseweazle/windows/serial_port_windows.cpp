// The serial port on Windows: a COM port opened with CreateFileW and set up
// with SetCommState. Greaseweazles are found in the registry's list of USB
// devices by their USB IDs.
#include <windows.h>

#include <algorithm>

#include "common/system.h"
#include "common/windows/wide_text.h"
#include "drive/greaseweazle/serial_port.h"

namespace velloran {

namespace {

class WindowsSerialPort : public SerialPort {
 public:
  explicit WindowsSerialPort(HANDLE handle) : handle_(handle) {}
  ~WindowsSerialPort() override { CloseHandle(handle_); }
  WindowsSerialPort(const WindowsSerialPort&) = delete;
  WindowsSerialPort& operator=(const WindowsSerialPort&) = delete;

  bool Write(ByteSpan data) override {
    std::size_t done = 0;
    while (done < data.size()) {
      DWORD written = 0;
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 20));
      if (!WriteFile(handle_, data.data() + done, chunk, &written, nullptr) || written == 0) return Fail();
      done += written;
    }
    return true;
  }

  long ReadSome(std::uint8_t* data, std::size_t size, int timeoutMs) override {
    // Wait up to the timeout for the first byte, then take what is there.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
    timeouts.ReadTotalTimeoutConstant = static_cast<DWORD>(timeoutMs);
    if (!SetCommTimeouts(handle_, &timeouts)) return FailRead();
    DWORD count = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 20));
    if (!ReadFile(handle_, data, chunk, &count, nullptr)) return FailRead();
    return static_cast<long>(count);
  }

  bool SetBaud(int baud) override {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle_, &dcb)) return Fail();
    dcb.BaudRate = static_cast<DWORD>(baud);
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    if (!SetCommState(handle_, &dcb)) return Fail();
    return true;
  }

  void FlushInput() override { PurgeComm(handle_, PURGE_RXCLEAR | PURGE_RXABORT); }

  std::string LastError() const override { return error_; }

 private:
  bool Fail() {
    error_ = SystemErrorText(GetLastError());
    return false;
  }
  // A failed read: the system's reason kept, -1 for ReadSome's caller.
  long FailRead() {
    Fail();
    return -1;
  }

  HANDLE handle_;
  std::string error_;
};

// The COM port names under one USB device key of the registry.
void AddPortsOfDevice(HKEY usb, const wchar_t* idKey, std::vector<std::string>& ports) {
  HKEY device = nullptr;
  if (RegOpenKeyExW(usb, idKey, 0, KEY_READ, &device) != ERROR_SUCCESS) return;
  wchar_t instance[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    if (RegEnumKeyExW(device, i, instance, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    const std::wstring parameters = std::wstring(instance) + L"\\Device Parameters";
    wchar_t port[64] = {};
    DWORD size = sizeof port;
    if (RegGetValueW(device, parameters.c_str(), L"PortName", RRF_RT_REG_SZ, nullptr, port, &size) != ERROR_SUCCESS)
      continue;
    ports.push_back(Utf8FromWide(port));
  }
  RegCloseKey(device);
}

}  // namespace

std::unique_ptr<SerialPort> OpenSerialPort(const std::string& device, Phrase& error) {
  // COM10 and above are only reached through the device namespace.
  const std::string path = device.rfind("\\\\.\\", 0) == 0 ? device : "\\\\.\\" + device;
  const HANDLE handle =
      CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = {MessageId::SerialPortOpenFailed, {device, SystemErrorText(GetLastError())}};
    return nullptr;
  }
  auto port = std::make_unique<WindowsSerialPort>(handle);
  if (!port->SetBaud(9600)) {
    error = {MessageId::NotSerialPort, {device, port->LastError()}};
    return nullptr;
  }
  return port;
}

std::vector<std::string> FindGreaseweazlePorts() {
  std::vector<std::string> ports;
  HKEY usb = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Enum\\USB", 0, KEY_READ, &usb) != ERROR_SUCCESS)
    return ports;
  // The shared test ID cannot be told apart here; only the Greaseweazle's own.
  AddPortsOfDevice(usb, L"VID_1209&PID_4D69", ports);
  RegCloseKey(usb);
  std::sort(ports.begin(), ports.end());
  return ports;
}

}  // namespace velloran
