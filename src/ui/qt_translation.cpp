#include "ui/qt_translation.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

#include "common/messages.h"

namespace velloran {

namespace {

// The translators this file installed carry this name, so that the next
// language replaces them.
constexpr char kTranslatorName[] = "velloranTranslator";

// Loads `file` from the first of `folders` that has it and installs it.
bool Install(QCoreApplication& application, const QString& file, const QStringList& folders) {
  for (const QString& folder : folders) {
    auto* translator = new QTranslator(&application);
    translator->setObjectName(QLatin1String(kTranslatorName));
    if (translator->load(file, folder) && !translator->isEmpty() && QCoreApplication::installTranslator(translator))
      return true;
    delete translator;
  }
  return false;
}

}  // namespace

QStringList TranslationFolders() {
  return {QStringLiteral(VELLORAN_TRANSLATIONS_DIR),
          QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../share/velloran/translations")),
          QStringLiteral(VELLORAN_BUILD_TRANSLATIONS_DIR)};
}

QString ApplyLanguage(QCoreApplication& application, Language language) {
  for (QTranslator* old : application.findChildren<QTranslator*>(QLatin1String(kTranslatorName))) {
    QCoreApplication::removeTranslator(old);
    delete old;
  }
  SetProcessLanguage(language);
  if (language == Language::English) {
    if (Install(application, QStringLiteral("velloran_en"), TranslationFolders())) return {};
    return QString::fromStdString(MessageText(MessageId::EnglishTranslationMissing));
  }
  if (Install(application, QStringLiteral("qtbase_ru"), {QLibraryInfo::path(QLibraryInfo::TranslationsPath)}))
    return {};
  return QString::fromStdString(MessageText(MessageId::QtRussianTranslationMissing));
}

}  // namespace velloran
