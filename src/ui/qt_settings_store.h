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

  // Velloran.ini beside the program when one is there already and may be
  // written, or when the program's folder may be written and is not the
  // folder it was installed to (a build tree, a copy carried on a stick);
  // otherwise in the per-user configuration folder, as an installed program
  // keeps its settings on Linux (even when run as root, nothing is left
  // beside the installed program).
  static QString DefaultFile(const QString& programDirectory, const QString& installedDirectory);

  std::optional<std::string> Read(const std::string& key) const override;
  // Every value is on disk as soon as it is written.
  void Write(const std::string& key, const std::string& value) override;

  QString FileName() const;

 private:
  std::unique_ptr<QSettings> settings_;
};

}  // namespace velloran
