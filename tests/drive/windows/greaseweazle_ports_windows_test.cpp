// Greaseweazles on Windows are found in the registry's list of USB devices by
// their USB IDs. Under Wine the test may write that list itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "drive/greaseweazle/serial_port.h"

namespace velloran {
namespace {

const wchar_t* const kUsb = L"SYSTEM\\CurrentControlSet\\Enum\\USB";

// Enters a USB device instance with a COM port, as the USB serial driver does.
bool AddDevice(const std::wstring& idKey, const std::wstring& instance, const std::wstring& port) {
  const std::wstring key = std::wstring(kUsb) + L"\\" + idKey + L"\\" + instance + L"\\Device Parameters";
  HKEY parameters = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &parameters, nullptr) !=
      ERROR_SUCCESS)
    return false;
  const auto bytes = static_cast<DWORD>((port.size() + 1) * sizeof(wchar_t));
  const bool written = RegSetValueExW(parameters, L"PortName", 0, REG_SZ, reinterpret_cast<const BYTE*>(port.c_str()),
                                      bytes) == ERROR_SUCCESS;
  RegCloseKey(parameters);
  return written;
}

// Removes only what the test entered: a machine's real devices stay.
void RemoveDevice(const std::wstring& idKey, const std::wstring& instance) {
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(kUsb) + L"\\" + idKey + L"\\" + instance).c_str());
}

bool Holds(const std::vector<std::string>& ports, const std::string& port) {
  return std::find(ports.begin(), ports.end(), port) != ports.end();
}

TEST(GreaseweazlePortsWindows, FoundByTheirUsbIdInTheRegistry) {
  const std::wstring greaseweazle = L"VID_1209&PID_4D69";
  const std::wstring other = L"VID_0403&PID_6001";  // another USB serial adapter
  if (!AddDevice(greaseweazle, L"VelloranTest1", L"COM97"))
    GTEST_SKIP() << "the registry's USB list cannot be written here";
  ASSERT_TRUE(AddDevice(greaseweazle, L"VelloranTest2", L"COM198"));
  ASSERT_TRUE(AddDevice(other, L"VelloranTest3", L"COM199"));
  const std::vector<std::string> found = FindGreaseweazlePorts();
  RemoveDevice(greaseweazle, L"VelloranTest1");
  RemoveDevice(greaseweazle, L"VelloranTest2");
  RemoveDevice(other, L"VelloranTest3");
  EXPECT_TRUE(Holds(found, "COM97"));
  EXPECT_TRUE(Holds(found, "COM198"));
  EXPECT_FALSE(Holds(found, "COM199"));
  EXPECT_TRUE(std::is_sorted(found.begin(), found.end()));
  EXPECT_FALSE(Holds(FindGreaseweazlePorts(), "COM97"));
}

}  // namespace
}  // namespace velloran
