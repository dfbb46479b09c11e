#include "ui/qt_settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace velloran {

namespace {

const QString kGroup = QStringLiteral("Option");
const QString kFileName = QStringLiteral("Velloran.ini");

QString Key(const std::string& key) { return kGroup + QLatin1Char('/') + QString::fromStdString(key); }

}  // namespace

QtSettingsStore::QtSettingsStore(const QString& iniFile)
    : settings_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {
  // The file exists from the first start on, even before a key is written.
  QFile file(iniFile);
  if (!file.exists() && file.open(QIODevice::WriteOnly)) file.close();
}

QtSettingsStore::~QtSettingsStore() = default;

QString QtSettingsStore::DefaultFile(const QString& programDirectory, const QString& installedDirectory) {
  const QFileInfo folder(programDirectory);
  const QString beside = QDir(programDirectory).filePath(kFileName);
  const QFileInfo existing(beside);
  const bool installed = folder.canonicalFilePath() == QFileInfo(installedDirectory).canonicalFilePath();
  if (existing.exists() ? existing.isWritable() : folder.isWritable() && !installed) return beside;
  const QString userFolder =
      QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Velloran");
  QDir().mkpath(userFolder);
  return QDir(userFolder).filePath(kFileName);
}

std::optional<std::string> QtSettingsStore::Read(const std::string& key) const {
  const QVariant value = settings_->value(Key(key));
  if (!value.isValid()) return std::nullopt;
  // An unquoted text with commas comes back as a list; it is one value here.
  if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(QLatin1Char(',')).toStdString();
  return value.toString().toStdString();
}

void QtSettingsStore::Write(const std::string& key, const std::string& value) {
  settings_->setValue(Key(key), QString::fromStdString(value));
  settings_->sync();
}

QString QtSettingsStore::FileName() const { return settings_->fileName(); }

}  // namespace velloran
