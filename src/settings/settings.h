// The program's settings: their keys, types and defaults, how they are read
// and repaired at start-up, and how the settings window saves them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "settings/settings_store.h"

namespace velloran {

// Every setting, named after its key, with its default.
struct Settings {
  std::uint8_t RetryCount = 10;          // attempts per sector read, write and track format
  std::uint8_t RetryCountWithReset = 5;  // kept and edited only
  std::uint8_t FirstTrack = 0;           // first track of every disk operation
  std::uint8_t LastTrack = 159;          // last track of every disk operation
  std::uint8_t CycleRead = 5;            // kept and edited only
  std::uint8_t TimeOut = 10;             // kept and edited only
  bool RestoreTrack = true;              // UDI saving rebuilds tracks from their sectors
  bool TD0arch = false;                  // TD0 saving compresses
  bool OverlapTrackAndData = false;      // kept and edited only
  bool SetSectorSizeFromHead = false;    // sector pane shows the size code's length
  std::string Directory_1;               // image load dialogs, udf dialogs
  std::string Directory_2;               // image save dialog
  std::string HobetaDir;                 // Hobeta export
  std::string SCLDir;                    // SCL export, adding files, CP/M export
  std::string Drive = "A";               // "A", "B" or "gw:DEVICE" (repaired by the drive choice)
  std::uint8_t GAP = 20;                 // kept and edited only
  std::uint8_t Rate = 2;                 // 0 = 500K, 1 = 300K, 2 = 250K, 3 = 1M
};

// What start-up accepts for a number key; a value outside is repaired.
struct ByteRule {
  const char* key;
  std::uint8_t defaultValue;
  int minimum;
  int maximum;
  bool aboveMaximumBecomesMaximum;  // LastTrack: above 165 becomes 165
};

inline constexpr ByteRule kRetryCountRule{"RetryCount", 10, 0, 255, false};
inline constexpr ByteRule kRetryCountWithResetRule{"RetryCountWithReset", 5, 0, 255, false};
inline constexpr ByteRule kFirstTrackRule{"FirstTrack", 0, 0, 165, false};
inline constexpr ByteRule kLastTrackRule{"LastTrack", 159, 0, 165, true};
inline constexpr ByteRule kCycleReadRule{"CycleRead", 5, 1, 30, false};
inline constexpr ByteRule kTimeOutRule{"TimeOut", 10, 1, 30, false};
inline constexpr ByteRule kGapRule{"GAP", 20, 1, 250, false};
inline constexpr ByteRule kRateRule{"Rate", 2, 0, 3, false};

// The repair of one stored text: a missing or unreadable value takes the
// default; 0 and false are values like any other; a number outside the
// accepted range takes the default (or the maximum, where the rule says so).
std::uint8_t RepairByte(const std::optional<std::string>& stored, const ByteRule& rule);
bool RepairBool(const std::optional<std::string>& stored, bool defaultValue);
// A folder that is empty or names no existing directory becomes `fallback`.
std::string RepairDirectory(const std::optional<std::string>& stored, const std::string& fallback);

// A folder as stored: its text with a trailing separator.
std::string FolderText(const std::filesystem::path& folder);

// Reads every key in start-up order, repairs it and writes it back at once,
// so that afterwards the store holds every key. Folders default to the
// program's directory.
Settings LoadSettings(SettingsStore& store, const std::filesystem::path& programDirectory);

// Writes what the settings window edits, in the window's order: RetryCount,
// RetryCountWithReset, FirstTrack, LastTrack, CycleRead, TimeOut, GAP, Rate,
// Drive, RestoreTrack, TD0arch, OverlapTrackAndData, SetSectorSizeFromHead.
void SaveDialogSettings(SettingsStore& store, const Settings& settings);

// Stores a remembered folder under its key (Directory_1, Directory_2,
// HobetaDir, SCLDir) as soon as it changes.
void SaveFolderSetting(SettingsStore& store, const std::string& key, const std::string& folder);

}  // namespace velloran
