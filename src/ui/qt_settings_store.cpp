#include "ui/qt_settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace velloran {

namespace {

const QString kGroup = QStringLiteral("Option");
const QString kFileName = QStringLiteral("Velloran.ini");

QString Key(const std::string& key) { return kGroup + QLatin1Char('/') + QString::fromStdString(key); }

// Whether a file can be made in the folder. It is tried rather than read
// from the permission bits, which on Windows ignore the folder's access list
// (a program's folder under "Program Files" looks writable to everyone).
bool CanMakeFileIn(const QString& folder) {
  QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("Velloran-XXXXXX.tmp")));
  return probe.open();
}

}  // namespace

QtSettingsStore::QtSettingsStore(const QString& iniFile)
    : settings_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {
  // The file exists from the first start on, even before a key is written,
  // readable by the user alone: it names the images the user opened. Each
  // save keeps the file's mode, so one the user has set stays as it is.
  QFile file(iniFile);
  if (!file.exists() && file.open(QIODevice::WriteOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner)) file.close();
}

QtSettingsStore::~QtSettingsStore() = default;

QString QtSettingsStore::DefaultFile(const QString& programDirectory, const QString& installedDirectory) {
  const QString beside = QDir(programDirectory).filePath(kFileName);
  const bool installed =
      QFileInfo(programDirectory).canonicalFilePath() == QFileInfo(installedDirectory).canonicalFilePath();
  if (QFileInfo::exists(beside) ? QFile(beside).open(QIODevice::ReadWrite)
                                : !installed && CanMakeFileIn(programDirectory))
    return beside;
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
