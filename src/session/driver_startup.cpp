#include "session/driver_startup.h"

#include <array>
#include <cstdio>

namespace velloran {

namespace {

// Adds the message of a failure and, when the backend knows more, its explanation.
void AddFailure(DriverStatus& status, const FloppyDriver& driver, MessageId message,
                std::vector<PhraseArgument> arguments = {}) {
  status.messages.push_back({message, std::move(arguments)});
  Phrase hint = driver.LastErrorHint();
  if (!hint.Empty()) status.messages.push_back(std::move(hint));
  status.diskMenuEnabled = false;
}

// Opens the drive of the Drive setting and sends the data rate.
void OpenDriveWithRate(FloppyDriver& driver, const Settings& settings, DriverStatus& status) {
  const char letter = settings.Drive == "A" ? 'A' : 'B';
  if (!driver.OpenDrive(letter)) {
    AddFailure(status, driver, MessageId::DriveNotFound, {settings.Drive});
    return;
  }
  if (!driver.SetDataRate(settings.Rate)) AddFailure(status, driver, MessageId::DataRateFailed);
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
        status.statusText = {};
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
    AddFailure(status, driver, MessageId::DriverLoadFailed);
    status.statusText = {MessageId::StatusDriverLoadError};
    return status;
  }
  std::uint32_t version = 0;
  if (!driver.GetVersion(version)) {
    AddFailure(status, driver, MessageId::DriverVersionFailed);
    status.statusText = {MessageId::StatusDriverLoadError};
    return status;
  }
  if (driver.ChecksDriverVersion() && !VersionSupported(version)) {
    status.messages.push_back({MessageId::DriverVersionNotSupported});
    status.statusText = {MessageId::StatusDriverNotAllowed};
    status.diskMenuEnabled = false;
    return status;
  }
  status.statusText = {MessageId::StatusDriverVersion, {Hex8(version)}};

  OpenDriveWithRate(driver, settings, status);

  // Asked even when the drive did not open; the request then fails.
  std::array<std::uint8_t, kFdcInfoSize> info{};
  if (driver.GetFdcInfo(info)) {
    status.statusText = {MessageId::StatusWithFdcType, {status.statusText, FdcTypeName(info[0])}};
  } else {
    AddFailure(status, driver, MessageId::FdcInfoFailed);
    status.statusText = {MessageId::StatusWithFdcInfoError, {status.statusText}};
  }
  return status;
}

DriverStatus OpenFluxDriveAtStartup(FluxDrive& drive) {
  DriverStatus status;
  if (!drive.Open()) {
    status.messages.push_back(drive.LastFailure());
    status.statusText = {MessageId::StatusFluxDriveNotConnected, {drive.Describe().name}};
    status.diskMenuEnabled = false;
    return status;
  }
  const DriveDescription description = drive.Describe();
  status.statusText = {MessageId::StatusFluxDrive, {description.name, description.version}};
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
