#include "settings/desktop_settings.h"

#include <algorithm>

namespace velloran {

namespace {

std::string RecentKey(int index) { return "RecentFile" + std::to_string(index + 1); }

}  // namespace

std::vector<std::string> LoadRecentFiles(const SettingsStore& store) {
  std::vector<std::string> files;
  for (int i = 0; i < kRecentFileCount; ++i) {
    const std::optional<std::string> file = store.Read(RecentKey(i));
    if (file && !file->empty() && std::find(files.begin(), files.end(), *file) == files.end()) files.push_back(*file);
  }
  return files;
}

void SaveRecentFiles(SettingsStore& store, const std::vector<std::string>& files) {
  for (int i = 0; i < kRecentFileCount; ++i)
    store.Write(RecentKey(i), i < static_cast<int>(files.size()) ? files[static_cast<std::size_t>(i)] : std::string());
}

std::vector<std::string> WithRecentFile(std::vector<std::string> files, const std::string& file) {
  files = WithoutRecentFile(std::move(files), file);
  files.insert(files.begin(), file);
  if (files.size() > static_cast<std::size_t>(kRecentFileCount)) files.resize(kRecentFileCount);
  return files;
}

std::vector<std::string> WithoutRecentFile(std::vector<std::string> files, const std::string& file) {
  files.erase(std::remove(files.begin(), files.end(), file), files.end());
  return files;
}

int LoadMapZoom(const SettingsStore& store) {
  const std::optional<std::string> stored = store.Read("MapZoom");
  for (int level : kMapZoomLevels)
    if (stored && *stored == std::to_string(level)) return level;
  return kMapZoomLevels.front();
}

void SaveMapZoom(SettingsStore& store, int percent) { store.Write("MapZoom", std::to_string(percent)); }

LanguageChoice LoadLanguageChoice(const SettingsStore& store) {
  const std::optional<std::string> stored = store.Read("Language");
  if (stored == "ru") return LanguageChoice::Russian;
  if (stored == "en") return LanguageChoice::English;
  return LanguageChoice::Auto;
}

void SaveLanguageChoice(SettingsStore& store, LanguageChoice choice) {
  const char* text = choice == LanguageChoice::Russian ? "ru" : choice == LanguageChoice::English ? "en" : "auto";
  store.Write("Language", text);
}

Language ChosenLanguage(LanguageChoice choice) {
  switch (choice) {
    case LanguageChoice::Russian: return Language::Russian;
    case LanguageChoice::English: return Language::English;
    case LanguageChoice::Auto: break;
  }
  return LanguageFromEnvironment();
}

}  // namespace velloran
