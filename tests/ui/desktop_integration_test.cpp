// The desktop program as a Linux desktop starts it: its version in the
// caption and the About box, Qt's standard dialogs in Russian, several files
// handed over at once, and the main-window picture of the package metainfo.
// Pictures go to $VELLORAN_SCREENSHOTS, or "screenshots" in the working folder.
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QProcess>
#include <QPushButton>
#include <QTranslator>

#include "common/version.h"
#include "ui/qt_translation.h"
#include "ui/ui_fixture.h"

namespace velloran::test {
namespace {

const QString kVersionText = QLatin1String(kVersion);

void SaveShot(QWidget& widget, const char* name) {
  QString folder = qEnvironmentVariable("VELLORAN_SCREENSHOTS");
  if (folder.isEmpty()) folder = QDir::current().filePath(QStringLiteral("screenshots"));
  QDir().mkpath(folder);
  EXPECT_TRUE(widget.grab().save(QDir(folder).filePath(QLatin1String(name))));
}

TEST_F(MainWindowTest, CaptionAndAboutBoxShowTheVersion) {
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Velloran ") + kVersionText);
  Action("About1")->trigger();
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(prompts.Messages()[0].caption, QStringLiteral("О программе"));
  EXPECT_TRUE(prompts.Messages()[0].text.startsWith(QStringLiteral("Velloran ") + kVersionText + QLatin1Char('\n')))
      << prompts.Messages()[0].text.toStdString();
}

TEST(QtTranslation, StandardButtonsAndFileDialogSpeakRussian) {
  const QDir translations(QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  if (!translations.exists(QStringLiteral("qtbase_ru.qm"))) GTEST_SKIP() << "qt6-translations-l10n not installed";
  EXPECT_EQ(ApplyLanguage(*QCoreApplication::instance(), Language::Russian), QString());

  QDialogButtonBox buttons(QDialogButtonBox::Yes | QDialogButtonBox::No | QDialogButtonBox::Cancel);
  EXPECT_EQ(buttons.button(QDialogButtonBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Да"));
  EXPECT_EQ(buttons.button(QDialogButtonBox::No)->text().remove(QLatin1Char('&')), QStringLiteral("Нет"));
  EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')), QStringLiteral("Отмена"));

  // Qt's own file dialog, as the open command shows it where the desktop has
  // no dialog of its own.
  QFileDialog dialog(nullptr, QStringLiteral("Загрузить образ"), QString::fromStdString(CorpusFile("trd").string()),
                     QStringLiteral("Файл образа TRDOS диска (*.trd)"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.resize(760, 460);
  dialog.show();
  QApplication::processEvents();
  auto* box = dialog.findChild<QDialogButtonBox*>();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->button(QDialogButtonBox::Open)->text().remove(QLatin1Char('&')), QStringLiteral("Открыть"));
  EXPECT_EQ(box->button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')), QStringLiteral("Отмена"));
  SaveShot(dialog, "file_dialog_russian.png");
  dialog.hide();

  EXPECT_EQ(ApplyLanguage(*QCoreApplication::instance(), Language::English), QString());
  QDialogButtonBox english(QDialogButtonBox::Cancel);
  EXPECT_EQ(english.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')), QStringLiteral("Cancel"))
      << "English removes Qt's Russian";
  ApplyLanguage(*QCoreApplication::instance(), Language::Russian);
}

// The desktop entry starts "velloran %F": with several files the first is
// opened and the others are named as not opened.
TEST(DesktopStart, SeveralFilesOpenTheFirstAndNameTheRest) {
  const std::filesystem::path program = std::filesystem::path(VELLORAN_CLI).parent_path() / "velloran";
  if (!std::filesystem::exists(program)) GTEST_SKIP() << "velloran not built";
  ScratchDir dir;
  // Qt wants the runtime folder to be the user's alone.
  std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_all);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(dir.Path().string()));
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  environment.insert("VELLORAN_DRIVE", "sim:");
  const QString first = QString::fromStdString(CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd").string());
  const QString second = QString::fromStdString(CorpusFile("scl/alfishe_unreal-ng__eyeache2.scl").string());
  const QString third =
      QString::fromStdString(CorpusFile("udi/vamposdecampos_fuse-emulator-svn__success.udi").string());

  QProcess process;
  process.setProcessEnvironment(environment);
  process.start(QString::fromStdString(program.string()), {first, second, third});
  ASSERT_TRUE(process.waitForStarted(10000));
  const QString loaded = QStringLiteral("velloran: Disk image - %1 (Tracks - 160)").arg(first);
  QString seen;
  QElapsedTimer clock;
  clock.start();
  while (!seen.contains(loaded) && clock.elapsed() < 30000) {
    process.waitForReadyRead(200);
    seen += QString::fromUtf8(process.readAllStandardError());
  }
  process.kill();
  process.waitForFinished(10000);
  EXPECT_TRUE(seen.contains(loaded)) << seen.toStdString();
  EXPECT_TRUE(
      seen.contains(QStringLiteral("velloran: one image is opened at a time; not opened: %1, %2\n").arg(second, third)))
      << seen.toStdString();
  EXPECT_EQ(seen.count(QStringLiteral("Disk image - ")), 1) << seen.toStdString();
}

// The picture the package's metainfo shows: a TR-DOS disk with a sector of
// each state, the status naming the image where a user would keep it.
TEST_F(MainWindowTest, MainWindowPictureForThePackage) {
  window->show();
  window->StartUp(dir.Path(), {});
  window->LoadAndShow(QString::fromStdString(CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd").string()));
  Disk().GetSector(2, 4).DataOk = false;
  Disk().GetSector(2, 5).DataLen = 0;
  window->SetStatusText(0, PhraseShown({MessageId::StatusWithFdcType,
                                        {Phrase{MessageId::StatusDriverVersion, {"01000A02"}}, "82077AA"}}));
  window->SetStatusText(1, FixedText(QStringLiteral("Образ диска - /home/user/Диски/EyeAche.trd (Дорожек - 160)")));
  Click(2, 1);
  QApplication::processEvents();
  SaveShot(*window, "package_main_window.png");
}

}  // namespace
}  // namespace velloran::test
