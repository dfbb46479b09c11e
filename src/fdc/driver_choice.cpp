#include "fdc/driver_choice.h"

#include <charconv>
#include <cstdlib>
#include <vector>

#include "common/utf8_path.h"
#include "formats/format_table.h"

namespace velloran {

namespace {

constexpr std::string_view kSimPrefix = "sim:";

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

// "T:R" or "T:R:K" items of a sector list.
bool ParseSectorList(const std::string& text, bool withCount, SimulatedFaults& faults, std::string& error) {
  for (const std::string& item : Split(text, ',')) {
    const std::vector<std::string> fields = Split(item, ':');
    long long track = 0, sector = 0, count = 0;
    const bool ok = fields.size() == (withCount ? 3u : 2u) && ParseInt(fields[0], 0, kTrackCount - 1, track) &&
                    ParseInt(fields[1], 0, 255, sector) && (!withCount || ParseInt(fields[2], 0, 1000000, count));
    if (!ok) {
      error = "bad sector list '" + text + "' (expected " + (withCount ? "T:R:K" : "T:R") + ", ...)";
      return false;
    }
    const SectorKey key{static_cast<int>(track), static_cast<int>(sector)};
    if (withCount)
      faults.failFirstReads[key] = static_cast<int>(count);
    else
      faults.alwaysFail.insert(key);
  }
  return true;
}

// One "name" or "name=value" option of a simulated drive.
bool ParseSimOption(const std::string& option, DriveChoice& choice, std::string& error) {
  const std::size_t equals = option.find('=');
  const std::string name = option.substr(0, equals);
  const std::string value = equals == std::string::npos ? std::string() : option.substr(equals + 1);
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
    return ParseSectorList(value, false, faults, error);
  } else if (name == "flaky") {
    return ParseSectorList(value, true, faults, error);
  } else if (name == "errors") {
    char* end = nullptr;
    const double rate = std::strtod(value.c_str(), &end);
    if (value.empty() || *end != '\0' || !(rate >= 0.0 && rate <= 1.0)) {
      error = "bad error rate '" + value + "' (expected 0..1)";
      return false;
    }
    faults.errorRate = rate;
  } else if (name == "seed" && ParseInt(value, 0, 0xFFFFFFFFll, number)) {
    faults.seed = static_cast<std::uint32_t>(number);
  } else if (name == "cylinders" && ParseInt(value, 1, kTrackCount / 2, number)) {
    choice.simulation.cylinders = static_cast<int>(number);
  } else if (name == "save" && !value.empty()) {
    choice.saveTo = PathFromUtf8(value);
  } else {
    error = "unknown or bad simulated drive option '" + option + "'";
    return false;
  }
  return true;
}

}  // namespace

bool ParseDriveChoice(const std::string& text, DriveChoice& choice, std::string& error) {
  choice = DriveChoice{};
  if (text.rfind(kSimPrefix, 0) != 0) {
    const bool letter = (text.size() == 1 || (text.size() == 2 && text[1] == ':')) &&
                        (text[0] == 'A' || text[0] == 'a' || text[0] == 'B' || text[0] == 'b');
    if (!letter) {
      error = "unknown drive '" + text + "' (expected A, B or sim:IMAGE)";
      return false;
    }
    choice.drive = static_cast<char>(text[0] & ~0x20);
    return true;
  }
  choice.simulated = true;
  const std::string rest = text.substr(kSimPrefix.size());
  const std::size_t question = rest.find('?');
  choice.image = PathFromUtf8(rest.substr(0, question));
  if (question == std::string::npos) return true;
  for (const std::string& option : Split(rest.substr(question + 1), '&')) {
    if (option.empty()) continue;
    if (!ParseSimOption(option, choice, error)) return false;
  }
  return true;
}

std::optional<std::string> DriveChoiceFromEnvironment() {
  const char* value = std::getenv(kDriveEnvironmentVariable);
  if (value == nullptr || *value == '\0') return std::nullopt;
  return std::string(value);
}

std::unique_ptr<SimulatedDrive> CreateSimulatedDrive(const DriveChoice& choice, std::string& error) {
  auto drive = std::make_unique<SimulatedDrive>(choice.simulation);
  if (!choice.image.empty() && !LoadImage(drive->Medium(), choice.image, error)) {
    if (error.empty()) error = "cannot load " + PathToUtf8(choice.image);
    return nullptr;
  }
  return drive;
}

std::unique_ptr<FloppyDriver> CreateDriver(const DriveChoice& choice, std::string& error) {
  if (choice.simulated) return CreateSimulatedDrive(choice, error);
  return CreatePlatformDriver();
}

}  // namespace velloran
