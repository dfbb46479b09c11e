#include "session/driver_startup.h"

#include <array>
#include <cstdio>

namespace velloran {

namespace {

// Adds the message of a failure and, when the backend knows more, its explanation.
void AddFailure(DriverStatus& status, const FloppyDriver& driver, const std::string& message) {
  status.messages.push_back(message);
  const std::string hint = driver.LastErrorHint();
  if (!hint.empty()) status.messages.push_back(hint);
  status.diskMenuEnabled = false;
}

// Opens the drive of the Drive setting and sends the data rate.
void OpenDriveWithRate(FloppyDriver& driver, const Settings& settings, DriverStatus& status) {
  const char letter = settings.Drive == "A" ? 'A' : 'B';
  if (!driver.OpenDrive(letter)) {
    AddFailure(status, driver, "Дисковод " + settings.Drive + " не найден!");
    return;
  }
  if (!driver.SetDataRate(settings.Rate)) AddFailure(status, driver, "Ошибка установки скорости передачи!");
}

std::string Hex8(std::uint32_t value) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(value));
  return text;
}

}  // namespace

DriverStatus ReopenDriveAfterSettings(DiskDrive& drive, const Settings& settings) {
  return VisitDrive(
      drive, [&](FloppyDriver& controller) { return ReopenDriveAfterSettings(controller, settings); },
      [](FluxDrive& flux) {
        DriverStatus status = OpenFluxDriveAtStartup(flux);
        status.statusText.clear();
        return status;
      });
}

std::string_view FdcTypeName(std::uint8_t type) {
  static constexpr std::array<std::string_view, 9> kNames = {"UNKNOWN", "UNKNOWN2", "NORMAL",   "ENHANCED", "82077",
                                                             "82077AA", "82078_44", "82078_64", "NATIONAL"};
  return type < kNames.size() ? kNames[type] : "UNKNOWN3";
}

DriverStatus OpenDriverAtStartup(FloppyDriver& driver, const Settings& settings) {
  DriverStatus status;
  if (!driver.OpenControl()) {
    AddFailure(status, driver, "Ошибка загрузки драйвера!");
    status.statusText = "  Driver load error";
    return status;
  }
  std::uint32_t version = 0;
  if (!driver.GetVersion(version)) {
    AddFailure(status, driver, "Ошибка определения версии драйвера!");
    status.statusText = "  Driver load error";
    return status;
  }
  if (driver.ChecksDriverVersion() && !VersionSupported(version)) {
    status.messages.push_back("Версия драйвера не поддерживается!");
    status.statusText = "  Driver version - not allowed";
    status.diskMenuEnabled = false;
    return status;
  }
  status.statusText = "  Driver version - " + Hex8(version);

  OpenDriveWithRate(driver, settings, status);

  // Asked even when the drive did not open; the request then fails.
  std::array<std::uint8_t, kFdcInfoSize> info{};
  if (driver.GetFdcInfo(info)) {
    status.statusText += " / FDC Type - " + std::string(FdcTypeName(info[0]));
  } else {
    AddFailure(status, driver, "Ошибка получения информации о контроллере FDC!");
    status.statusText += " / FDC info read error";
  }
  return status;
}

DriverStatus OpenFluxDriveAtStartup(FluxDrive& drive) {
  DriverStatus status;
  if (!drive.Open()) {
    status.messages.push_back(drive.LastErrorText());
    status.statusText = "  Greaseweazle - not connected";
    status.diskMenuEnabled = false;
    return status;
  }
  const DriveDescription description = drive.Describe();
  status.statusText = "  " + description.name + " - " + description.version;
  return status;
}

DriverStatus OpenDriveAtStartup(DiskDrive& drive, const Settings& settings) {
  return VisitDrive(
      drive, [&](FloppyDriver& controller) { return OpenDriverAtStartup(controller, settings); },
      [](FluxDrive& flux) { return OpenFluxDriveAtStartup(flux); });
}

DriverStatus ReopenDriveAfterSettings(FloppyDriver& driver, const Settings& settings) {
  DriverStatus status;
  driver.CloseDrive();
  OpenDriveWithRate(driver, settings, status);
  return status;
}

}  // namespace velloran
