// velloran: the desktop application. One instance runs per user; a second
// start hands its image file to the first and exits.
#include <cstdio>

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include "common/messages.h"
#include "common/utf8_path.h"
#include "common/version.h"
#include "session/driver_choice.h"
#include "settings/desktop_settings.h"
#include "ui/instance_channel.h"
#include "ui/main_window.h"
#include "ui/qt_prompts.h"
#include "ui/qt_settings_store.h"
#include "ui/qt_translation.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Velloran"));
  QApplication::setApplicationVersion(QLatin1String(velloran::kVersion));
  // The locale's language for --help; the settings may choose another below.
  QString missingTranslation = velloran::ApplyLanguage(application, velloran::LanguageFromEnvironment());

  QCommandLineParser parser;
  parser.setApplicationDescription(
      QCoreApplication::translate("main", "Образы дисков и дискеты семейства ZX Spectrum"));
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption driveOption(
      QStringLiteral("drive"),
      QCoreApplication::translate("main", "Дисковод: %1.").arg(QString::fromStdString(velloran::DriveSyntaxInWords())),
      QCoreApplication::translate("main", "дисковод"));
  parser.addOption(driveOption);
  parser.addPositionalArgument(QStringLiteral("image"),
                               QCoreApplication::translate("main", "Файл образа (из нескольких открывается первый)."),
                               QCoreApplication::translate("main", "[образ...]"));
  parser.process(application);
  const QStringList images = parser.positionalArguments();
  // The desktop may hand over several files; one image is open at a time, the
  // first one. The rest are named so that nobody wonders where they went.
  const QStringList notOpened = images.mid(1);
  if (!notOpened.isEmpty())
    std::fprintf(stderr, "velloran: %s\n",
                 velloran::MessageText(velloran::MessageId::CliOneImageOpened,
                                       {notOpened.join(QStringLiteral(", ")).toStdString()})
                     .c_str());

  // A second start only hands its file over.
  if (velloran::HandOffToRunningInstance(velloran::HandOffMessage(images))) return 0;
  velloran::InstanceServer server;
  if (!server.Listen())
    std::fprintf(stderr, "velloran: %s\n",
                 velloran::MessageText(velloran::MessageId::InstanceChannelNotOpened).c_str());

  velloran::QtSettingsStore store(velloran::QtSettingsStore::DefaultFile(QApplication::applicationDirPath(),
                                                                         QStringLiteral(VELLORAN_INSTALLED_BINDIR)));
  const velloran::LanguageChoice language = velloran::LoadLanguageChoice(store);
  if (language != velloran::LanguageChoice::Auto)
    missingTranslation = velloran::ApplyLanguage(application, velloran::ChosenLanguage(language));
  if (!missingTranslation.isEmpty()) std::fprintf(stderr, "velloran: %s\n", missingTranslation.toUtf8().constData());

  velloran::QtPrompts prompts;
  velloran::TFMain window(prompts, store);
  prompts.SetParent(&window);

  std::string driveText = parser.value(driveOption).toStdString();
  if (driveText.empty()) driveText = velloran::DriveChoiceFromEnvironment().value_or("");
  velloran::DriveChoice choice;
  std::string error;
  if (!driveText.empty() && !velloran::ParseDriveChoice(driveText, choice, error))
    prompts.Error(QString::fromStdString(error));
  auto driver = velloran::CreateDriver(choice, error);
  if (!driver) {
    prompts.Error(QString::fromStdString(error));
    driver = velloran::CreatePlatformDriver();
  }
  window.SetDriver(std::move(driver), !driveText.empty());

  QObject::connect(&server, &velloran::InstanceServer::MessageReceived, &window, &velloran::TFMain::OnOpenRequest);
  // Each load is noted on standard error, for scripts and the curious.
  QObject::connect(&window, &velloran::TFMain::LoadFinished, [](const QString& status) {
    std::fprintf(stderr, "velloran: %s\n", status.toUtf8().constData());
    std::fflush(stderr);
  });
  window.show();
  const QString commandLineFile = images.isEmpty() ? QString() : images.front();
  QTimer::singleShot(0, &window, [&] {
    window.StartUp(velloran::PathFromUtf8(QApplication::applicationDirPath().toStdString()), commandLineFile);
    if (!notOpened.isEmpty())
      prompts.Message(QCoreApplication::translate("main", "Открывается только один образ. Не открыты:\n") +
                          notOpened.join(QLatin1Char('\n')),
                      QCoreApplication::translate("main", "Внимание..!"), velloran::PromptIcon::Information,
                      velloran::PromptButtons::Ok);
  });
  return QApplication::exec();
}
