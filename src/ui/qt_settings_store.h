// The settings store of the desktop application: the INI file Velloran.ini
// beside the program, section "Option"; where that folder cannot be written,
// the same file in the user's configuration folder.
#pragma once

#include <memory>

#include <QString>

#include "settings/settings_store.h"

class QSettings;

namespace velloran {

class QtSettingsStore : public SettingsStore {
 public:
  explicit QtSettingsStore(const QString& iniFile);
  ~QtSettingsStore() override;

  // Velloran.ini beside the program when its folder is writable, otherwise
  // in the per-user configuration folder.
  static QString DefaultFile(const QString& programDirectory);

  std::optional<std::string> Read(const std::string& key) const override;
  // Every value is on disk as soon as it is written.
  void Write(const std::string& key, const std::string& value) override;

  QString FileName() const;

 private:
  std::unique_ptr<QSettings> settings_;
};

}  // namespace velloran
