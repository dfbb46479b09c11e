#include "settings/settings.h"

#include <cctype>
#include <charconv>
#include <system_error>

#include "common/utf8_path.h"

namespace velloran {

namespace {

// The stored text as a whole decimal number (spaces around it allowed).
std::optional<long long> ParseNumber(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  if (begin < end && text[begin] == '+') ++begin;
  long long value = 0;
  const auto [rest, error] = std::from_chars(text.data() + begin, text.data() + end, value);
  if (error != std::errc() || rest != text.data() + end || begin == end) return std::nullopt;
  return value;
}

std::string BoolText(bool value) { return value ? "1" : "0"; }

// Reads one number key, repairs it and writes it back.
std::uint8_t LoadByte(SettingsStore& store, const ByteRule& rule) {
  const std::uint8_t value = RepairByte(store.Read(rule.key), rule);
  store.Write(rule.key, std::to_string(value));
  return value;
}

// Reads one Boolean key, repairs it and writes it back.
bool LoadBool(SettingsStore& store, const char* key, bool defaultValue) {
  const bool value = RepairBool(store.Read(key), defaultValue);
  store.Write(key, BoolText(value));
  return value;
}

// Reads one folder key, repairs it and writes it back.
std::string LoadFolder(SettingsStore& store, const char* key, const std::string& fallback) {
  std::string value = RepairDirectory(store.Read(key), fallback);
  store.Write(key, value);
  return value;
}

}  // namespace

std::uint8_t RepairByte(const std::optional<std::string>& stored, const ByteRule& rule) {
  if (!stored) return rule.defaultValue;
  const std::optional<long long> number = ParseNumber(*stored);
  if (!number) return rule.defaultValue;
  if (*number > rule.maximum && rule.aboveMaximumBecomesMaximum) return static_cast<std::uint8_t>(rule.maximum);
  if (*number < rule.minimum || *number > rule.maximum) return rule.defaultValue;
  return static_cast<std::uint8_t>(*number);
}

bool RepairBool(const std::optional<std::string>& stored, bool defaultValue) {
  if (!stored) return defaultValue;
  if (*stored == "true") return true;
  if (*stored == "false") return false;
  const std::optional<long long> number = ParseNumber(*stored);
  if (!number) return defaultValue;
  return *number != 0;
}

std::string RepairDirectory(const std::optional<std::string>& stored, const std::string& fallback) {
  if (!stored || stored->empty()) return fallback;
  std::error_code error;
  if (!std::filesystem::is_directory(PathFromUtf8(*stored), error)) return fallback;
  return *stored;
}

std::string FolderText(const std::filesystem::path& folder) {
  std::string text = PathToUtf8(folder);
  if (text.empty() || text.back() != static_cast<char>(std::filesystem::path::preferred_separator))
    text += static_cast<char>(std::filesystem::path::preferred_separator);
  return text;
}

Settings LoadSettings(SettingsStore& store, const std::filesystem::path& programDirectory) {
  const std::string programFolder = FolderText(programDirectory);
  Settings settings;
  settings.RetryCount = LoadByte(store, kRetryCountRule);
  settings.RetryCountWithReset = LoadByte(store, kRetryCountWithResetRule);
  settings.FirstTrack = LoadByte(store, kFirstTrackRule);
  settings.LastTrack = LoadByte(store, kLastTrackRule);
  settings.CycleRead = LoadByte(store, kCycleReadRule);
  settings.TimeOut = LoadByte(store, kTimeOutRule);
  settings.RestoreTrack = LoadBool(store, "RestoreTrack", true);
  settings.TD0arch = LoadBool(store, "TD0arch", false);
  settings.OverlapTrackAndData = LoadBool(store, "OverlapTrackAndData", false);
  settings.SetSectorSizeFromHead = LoadBool(store, "SetSectorSizeFromHead", false);
  settings.Directory_1 = LoadFolder(store, "Directory_1", programFolder);
  settings.Directory_2 = LoadFolder(store, "Directory_2", programFolder);
  settings.HobetaDir = LoadFolder(store, "HobetaDir", programFolder);
  settings.SCLDir = LoadFolder(store, "SCLDir", programFolder);
  // The drive's syntax belongs to the drive choice, which repairs it.
  settings.Drive = store.Read("Drive").value_or("A");
  store.Write("Drive", settings.Drive);
  settings.GAP = LoadByte(store, kGapRule);
  settings.Rate = LoadByte(store, kRateRule);
  return settings;
}

void SaveDialogSettings(SettingsStore& store, const Settings& settings) {
  store.Write(kRetryCountRule.key, std::to_string(settings.RetryCount));
  store.Write(kRetryCountWithResetRule.key, std::to_string(settings.RetryCountWithReset));
  store.Write(kFirstTrackRule.key, std::to_string(settings.FirstTrack));
  store.Write(kLastTrackRule.key, std::to_string(settings.LastTrack));
  store.Write(kCycleReadRule.key, std::to_string(settings.CycleRead));
  store.Write(kTimeOutRule.key, std::to_string(settings.TimeOut));
  store.Write(kGapRule.key, std::to_string(settings.GAP));
  store.Write(kRateRule.key, std::to_string(settings.Rate));
  store.Write("Drive", settings.Drive);
  store.Write("RestoreTrack", BoolText(settings.RestoreTrack));
  store.Write("TD0arch", BoolText(settings.TD0arch));
  store.Write("OverlapTrackAndData", BoolText(settings.OverlapTrackAndData));
  store.Write("SetSectorSizeFromHead", BoolText(settings.SetSectorSizeFromHead));
}

void SaveFolderSetting(SettingsStore& store, const std::string& key, const std::string& folder) {
  store.Write(key, folder);
}

}  // namespace velloran
