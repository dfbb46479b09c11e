#include "session/driver_choice.h"

#include <charconv>
#include <cstdlib>
#include <map>
#include <vector>

#include "common/messages.h"
#include "common/utf8_path.h"
#include "drive/greaseweazle/serial_port.h"
#include "formats/format_table.h"

namespace velloran {

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

bool ParseInt(const std::string& text, long long minimum, long long maximum, long long& value) {
  const char* end = text.data() + text.size();
  const auto [rest, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && rest == end && !text.empty() && value >= minimum && value <= maximum;
}

// "T:R" items of a sector list, or "T:R:K" with a count (into `counts`).
bool ParseSectorList(const std::string& text, std::set<SectorKey>* sectors, std::map<SectorKey, int>* counts,
                     std::string& error) {
  const bool withCount = counts != nullptr;
  for (const std::string& item : Split(text, ',')) {
    const std::vector<std::string> fields = Split(item, ':');
    long long track = 0, sector = 0, count = 0;
    const bool ok = fields.size() == (withCount ? 3u : 2u) && ParseInt(fields[0], 0, kTrackCount - 1, track) &&
                    ParseInt(fields[1], 0, 255, sector) && (!withCount || ParseInt(fields[2], 0, 1000000, count));
    if (!ok) {
      error = MessageText(MessageId::DriveBadSectorList, {text, withCount ? "T:R:K" : "T:R"});
      return false;
    }
    const SectorKey key{static_cast<int>(track), static_cast<int>(sector)};
    if (withCount)
      (*counts)[key] = static_cast<int>(count);
    else
      sectors->insert(key);
  }
  return true;
}

// "A", "B", "DS0".."DS2": the drive on a Greaseweazle's cable.
bool ParseUnit(const std::string& text, GreaseweazleUnit& unit) {
  if (text == "A" || text == "a" || text == "B" || text == "b") {
    unit = {gw::kBusIbmPc, static_cast<std::uint8_t>((text[0] & ~0x20) - 'A')};
    return true;
  }
  if (text.size() == 3 && (text.rfind("DS", 0) == 0 || text.rfind("ds", 0) == 0) && text[2] >= '0' && text[2] <= '2') {
    unit = {gw::kBusShugart, static_cast<std::uint8_t>(text[2] - '0')};
    return true;
  }
  return false;
}

// An option every simulated drive takes; false when `name` is not one.
bool ParseCommonOption(const std::string& name, const std::string& value, DriveChoice& choice, bool& ok) {
  long long number = 0;
  ok = true;
  if (name == "save" && !value.empty()) {
    choice.saveTo = PathFromUtf8(value);
  } else if (name == "cylinders") {
    ok = ParseInt(value, 1, kTrackCount / 2, number);
    choice.simulation.cylinders = choice.fluxSimulation.cylinders = static_cast<int>(number);
  } else if (name == "seed") {
    ok = ParseInt(value, 0, 0xFFFFFFFFll, number);
    choice.simulation.faults.seed = choice.fluxSimulation.faults.seed = static_cast<std::uint32_t>(number);
  } else {
    return false;
  }
  return true;
}

// One "name" or "name=value" option of the simulated controller drive.
bool ParseSimOption(const std::string& name, const std::string& value, DriveChoice& choice, std::string& error) {
  SimulatedFaults& faults = choice.simulation.faults;
  long long number = 0;
  if (name == "nodisk") {
    faults.noDisk = true;
  } else if (name == "protect") {
    faults.writeProtected = true;
  } else if (name == "nodriver") {
    faults.driverMissing = true;
  } else if (name == "drives" && !value.empty() && value.find_first_not_of("ABab") == std::string::npos) {
    faults.drives.clear();
    for (char letter : value) faults.drives += static_cast<char>(letter & ~0x20);
  } else if (name == "seekfail" && ParseInt(value, 0, 255, number)) {
    faults.seekFailCylinder = static_cast<int>(number);
  } else if (name == "bad") {
    return ParseSectorList(value, &faults.alwaysFail, nullptr, error);
  } else if (name == "flaky") {
    return ParseSectorList(value, nullptr, &faults.failFirstReads, error);
  } else if (name == "errors") {
    char* end = nullptr;
    const double rate = std::strtod(value.c_str(), &end);
    if (value.empty() || *end != '\0' || !(rate >= 0.0 && rate <= 1.0)) {
      error = MessageText(MessageId::DriveBadErrorRate, {value});
      return false;
    }
    faults.errorRate = rate;
  } else {
    return false;
  }
  return true;
}

// One option of the simulated Greaseweazle.
bool ParseFluxSimOption(const std::string& name, const std::string& value, DriveChoice& choice, std::string& error) {
  GreaseweazleSimFaults& faults = choice.fluxSimulation.faults;
  long long number = 0;
  if (name == "nodisk") {
    faults.noDisk = true;
  } else if (name == "noindex") {
    faults.noIndex = true;
  } else if (name == "protect") {
    faults.writeProtected = true;
  } else if (name == "jitter" && ParseInt(value, 0, 2000, number)) {
    faults.jitterNs = static_cast<double>(number);
  } else if (name == "weak") {
    return ParseSectorList(value, &faults.weak, nullptr, error);
  } else if (name == "bad") {
    return ParseSectorList(value, &faults.bad, nullptr, error);
  } else if (name == "overflow" && ParseInt(value, 0, 1000, number)) {
    faults.overflowReads = static_cast<int>(number);
  } else if (name == "noise" && ParseInt(value, 2, 1000000, number)) {
    faults.noisyAnswers = static_cast<int>(number);
  } else if (name == "firmware") {
    const std::vector<std::string> parts = Split(value, '.');
    long long major = 0, minor = 0;
    if (parts.size() != 2 || !ParseInt(parts[0], 0, 255, major) || !ParseInt(parts[1], 0, 255, minor)) return false;
    faults.firmwareMajor = static_cast<int>(major);
    faults.firmwareMinor = static_cast<int>(minor);
  } else {
    return false;
  }
  return true;
}

// The options after '?', each taken by the row of the kind chosen.
bool ParseOptions(const std::string& text, const DriveKindRow& row, DriveChoice& choice, std::string& error) {
  for (const std::string& option : Split(text, '&')) {
    if (option.empty()) continue;
    const std::size_t equals = option.find('=');
    const std::string name = option.substr(0, equals);
    const std::string value = equals == std::string::npos ? std::string() : option.substr(equals + 1);
    bool ok = true;
    bool known = false;
    if (row.flux && name == "drive") {
      GreaseweazleUnit unit;
      known = true;
      ok = ParseUnit(value, unit);
      choice.unit = unit;
    } else if (row.simulated && ParseCommonOption(name, value, choice, ok)) {
      known = true;
    } else if (row.parseOption != nullptr) {
      error.clear();
      known = row.parseOption(name, value, choice, error);
      if (!error.empty()) return false;
    }
    if (!known || !ok) {
      error = MessageText(MessageId::DriveBadOption, {option});
      return false;
    }
  }
  return true;
}

std::unique_ptr<DiskDrive> CreateController(const DriveChoice&, std::string&) { return CreatePlatformDriver(); }

std::unique_ptr<DiskDrive> CreateSimulatedController(const DriveChoice& choice, std::string& error) {
  return CreateSimulatedDrive(choice, error);
}

std::unique_ptr<DiskDrive> CreateGreaseweazle(const DriveChoice& choice, std::string&) {
  return std::make_unique<GreaseweazleDrive>(choice.device, ChosenUnit(choice, "A"));
}

std::unique_ptr<DiskDrive> CreateGreaseweazleSimulation(const DriveChoice& choice, std::string& error) {
  return CreateSimulatedGreaseweazle(choice, error);
}

// The kinds of drive, in the order the help names them. A new kind is a
// backend and one row here.
constexpr DriveKindRow kDriveKinds[] = {
    {.kind = DriveKind::Controller,
     .prefix = "",
     .syntax = "A|B",
     .description = MessageId::DriveKindController,
     .setting = true,
     .create = CreateController},
    {.kind = DriveKind::SimulatedController,
     .prefix = "sim",
     .syntax = "sim:IMAGE",
     .description = MessageId::DriveKindSimulatedController,
     .simulated = true,
     .names = NameKind::Image,
     .parseOption = ParseSimOption,
     .create = CreateSimulatedController},
    {.kind = DriveKind::Greaseweazle,
     .prefix = "gw",
     .syntax = "gw[:DEVICE]",
     .description = MessageId::DriveKindGreaseweazle,
     .flux = true,
     .setting = true,
     .names = NameKind::Device,
     .create = CreateGreaseweazle,
     .discover = FindGreaseweazlePorts},
    {.kind = DriveKind::SimulatedGreaseweazle,
     .prefix = "gw-sim",
     .syntax = "gw-sim:IMAGE",
     .description = MessageId::DriveKindSimulatedGreaseweazle,
     .simulated = true,
     .flux = true,
     .names = NameKind::Image,
     .parseOption = ParseFluxSimOption,
     .create = CreateGreaseweazleSimulation},
};

bool StartsWith(const std::string& text, std::string_view prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

std::span<const DriveKindRow> DriveKinds() { return kDriveKinds; }

const DriveKindRow& DriveKindOf(DriveKind kind) {
  for (const DriveKindRow& row : kDriveKinds)
    if (row.kind == kind) return row;
  return kDriveKinds[0];
}

std::string DriveSyntax() {
  std::string syntax;
  for (const DriveKindRow& row : kDriveKinds) syntax += (syntax.empty() ? "" : "|") + std::string(row.syntax);
  return syntax;
}

// "A, B, sim:IMAGE, gw[:DEVICE] or gw-sim:IMAGE".
std::string DriveSyntaxInWords() {
  std::vector<std::string> ways;
  for (const DriveKindRow& row : kDriveKinds)
    for (const std::string& way : Split(std::string(row.syntax), '|')) ways.push_back(way);
  std::string words;
  for (std::size_t i = 0; i + 1 < ways.size(); ++i) words += (i == 0 ? "" : ", ") + ways[i];
  return MessageText(MessageId::DriveSyntaxLastOr, {words, ways.back()});
}

bool ParseDriveChoice(const std::string& text, DriveChoice& choice, std::string& error) {
  choice = DriveChoice{};
  for (const DriveKindRow& row : kDriveKinds) {
    if (row.prefix.empty() || !StartsWith(text, row.prefix)) continue;
    std::string rest = text.substr(row.prefix.size());
    // The name follows a colon; a Greaseweazle may go without one ("gw", "gw?drive=B").
    if (StartsWith(rest, ":"))
      rest.erase(0, 1);
    else if (row.names != NameKind::Device || !(rest.empty() || rest[0] == '?'))
      continue;
    choice.kind = row.kind;
    const std::size_t question = rest.find('?');
    const std::string name = rest.substr(0, question);
    if (row.names == NameKind::Device)
      choice.device = name;
    else
      choice.image = PathFromUtf8(name);
    if (question == std::string::npos) return true;
    return ParseOptions(rest.substr(question + 1), row, choice, error);
  }
  const bool letter = (text.size() == 1 || (text.size() == 2 && text[1] == ':')) &&
                      (text[0] == 'A' || text[0] == 'a' || text[0] == 'B' || text[0] == 'b');
  if (!letter) {
    error = MessageText(MessageId::DriveUnknown, {text, DriveSyntaxInWords()});
    return false;
  }
  choice.drive = static_cast<char>(text[0] & ~0x20);
  return true;
}

std::string RepairDriveSetting(const std::optional<std::string>& stored) {
  const std::string kDefault = "A";
  DriveChoice choice;
  std::string error;
  if (!stored || !ParseDriveChoice(*stored, choice, error)) return kDefault;
  const DriveKindRow& row = DriveKindOf(choice.kind);
  if (!row.setting) return kDefault;
  // A drive letter is stored as one capital; a named kind names its device.
  const bool written = row.prefix.empty() ? *stored == std::string(1, choice.drive) : !choice.device.empty();
  return written ? *stored : kDefault;
}

std::optional<std::string> DriveChoiceFromEnvironment() {
  const char* value = std::getenv(kDriveEnvironmentVariable);
  if (value == nullptr || *value == '\0') return std::nullopt;
  return std::string(value);
}

namespace {

// Loads the image a simulated drive starts with; false with the failure in
// words, as drive errors are, when it cannot be loaded.
bool LoadMedium(TZX_Disk& medium, const DriveChoice& choice, std::string& error) {
  Diagnostic failure;
  if (choice.image.empty() || LoadImage(medium, choice.image, failure)) return true;
  error = DiagnosticText(failure);
  return false;
}

}  // namespace

std::unique_ptr<SimulatedDrive> CreateSimulatedDrive(const DriveChoice& choice, std::string& error) {
  auto drive = std::make_unique<SimulatedDrive>(choice.simulation);
  if (!LoadMedium(drive->Medium(), choice, error)) return nullptr;
  return drive;
}

SimulatedGreaseweazleDrive::SimulatedGreaseweazleDrive(std::unique_ptr<GreaseweazlePty> pty, GreaseweazleUnit unit)
    : GreaseweazleDrive(pty->DevicePath(), unit), pty_(std::move(pty)) {}

SimulatedGreaseweazleDrive::~SimulatedGreaseweazleDrive() { Stop(); }

std::unique_ptr<SimulatedGreaseweazleDrive> CreateSimulatedGreaseweazle(const DriveChoice& choice, std::string& error) {
  auto sim = std::make_shared<GreaseweazleSim>(choice.fluxSimulation);
  if (!LoadMedium(sim->Medium(), choice, error)) return nullptr;
  auto pty = std::make_unique<GreaseweazlePty>(sim);
  if (!pty->Ok()) {
    error = pty->Error();
    return nullptr;
  }
  return std::make_unique<SimulatedGreaseweazleDrive>(std::move(pty), ChosenUnit(choice, "A"));
}

GreaseweazleUnit ChosenUnit(const DriveChoice& choice, const std::string& driveSetting) {
  if (choice.unit) return *choice.unit;
  return {gw::kBusIbmPc, static_cast<std::uint8_t>(driveSetting == "B" ? 1 : 0)};
}

std::unique_ptr<DiskDrive> CreateDriver(const DriveChoice& choice, std::string& error) {
  return DriveKindOf(choice.kind).create(choice, error);
}

}  // namespace velloran
