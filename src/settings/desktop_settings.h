// Settings only the desktop keeps: the images used last and the zoom of the
// disk map. They live in the same store as the others but are not part of
// the start-up repair; each is read where it is used and written when it
// changes.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "common/language.h"
#include "settings/settings_store.h"

namespace velloran {

// The image menu lists this many images, most recent first, stored under
// "RecentFile1" .. "RecentFile8".
inline constexpr int kRecentFileCount = 8;

std::vector<std::string> LoadRecentFiles(const SettingsStore& store);
// Writes every key, the unused ones empty, so that a removed image is gone.
void SaveRecentFiles(SettingsStore& store, const std::vector<std::string>& files);
// The list with `file` at its front, no other copy of it, at most 8 long.
std::vector<std::string> WithRecentFile(std::vector<std::string> files, const std::string& file);
std::vector<std::string> WithoutRecentFile(std::vector<std::string> files, const std::string& file);

// Zoom of the disk map in percent, stored under "MapZoom"; a stored value
// that is not one of the levels reads as 100.
inline constexpr std::array<int, 7> kMapZoomLevels = {100, 125, 150, 175, 200, 250, 300};
int LoadMapZoom(const SettingsStore& store);
void SaveMapZoom(SettingsStore& store, int percent);

// The desktop's language, stored under "Language": "auto" (the locale's, the
// default and what anything else reads as), "ru" or "en".
enum class LanguageChoice { Auto, Russian, English };
LanguageChoice LoadLanguageChoice(const SettingsStore& store);
void SaveLanguageChoice(SettingsStore& store, LanguageChoice choice);
// The language a choice means: the locale's for Auto.
Language ChosenLanguage(LanguageChoice choice);

}  // namespace velloran
