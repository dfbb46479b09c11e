// The desktop in both languages: switched at run time, the main window and
// the settings window show no Russian under English and no English words
// outside an allow list under Russian; the Settings choice is kept and
// applied; a missing translation leaves the Russian source texts.
#include <algorithm>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTabWidget>
#include <QTranslator>

#include "ui/elided_label.h"
#include "ui/qt_translation.h"
#include "ui/settings_window.h"
#include "ui/ui_fixture.h"

namespace velloran::test {
namespace {

// Every text a person reads in a window: labels, buttons, group titles,
// tabs, menus and their items, tooltips of the items.
QStringList VisibleTexts(QWidget& window) {
  QStringList texts{window.windowTitle()};
  for (auto* label : window.findChildren<QLabel*>()) texts << label->text();
  for (auto* button : window.findChildren<QAbstractButton*>()) texts << button->text();
  for (auto* group : window.findChildren<QGroupBox*>()) texts << group->title();
  for (auto* tabs : window.findChildren<QTabWidget*>())
    for (int i = 0; i < tabs->count(); ++i) texts << tabs->tabText(i);
  for (auto* menu : window.findChildren<QMenu*>()) {
    texts << menu->title();
    for (QAction* action : menu->actions()) texts << action->text() << action->toolTip();
  }
  for (auto* list : window.findChildren<QComboBox*>())
    for (int i = 0; i < list->count(); ++i) texts << list->itemText(i);
  texts.removeAll(QString());
  return texts;
}

const QRegularExpression kCyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
// A Latin word of three letters or more.
const QRegularExpression kLatinWord(QStringLiteral("[A-Za-z]{3,}"));

// Names of formats, systems, devices and units that both languages write alike.
const QStringList kLatinAllowed = {QStringLiteral("Velloran"),     QStringLiteral("RAW"),     QStringLiteral("CRC"),
                                   QStringLiteral("TR-DOS"),       QStringLiteral("DOS"),     QStringLiteral("Profi"),
                                   QStringLiteral("FDD"),          QStringLiteral("HEX"),     QStringLiteral("Log"),
                                   QStringLiteral("English"),      QStringLiteral("TD0"),     QStringLiteral("Ctrl"),
                                   QStringLiteral("Greaseweazle"), QStringLiteral("Spectrum")};

// File names are the user's own words, and versions are numbers.
const QRegularExpression kPath(QStringLiteral("\\S*[/._]\\S*"));

QStringList LatinWordsOutsideAllowList(const QStringList& texts) {
  QStringList found;
  for (const QString& text : texts)
    for (auto match = kLatinWord.globalMatch(QString(text).remove(kPath)); match.hasNext();) {
      const QString word = match.next().captured();
      if (!kLatinAllowed.contains(word)) found << word + QStringLiteral(" in \"") + text + QLatin1Char('"');
    }
  return found;
}

QStringList TextsWithCyrillic(const QStringList& texts) {
  QStringList found;
  for (const QString& text : texts)
    if (text.contains(kCyrillic) && text != QStringLiteral("Русский")) found << text;
  return found;
}

void SaveShot(QWidget& widget, const QString& name) {
  QString folder = qEnvironmentVariable("VELLORAN_SCREENSHOTS");
  if (folder.isEmpty()) folder = QDir::current().filePath(QStringLiteral("screenshots"));
  QDir().mkpath(folder);
  EXPECT_TRUE(widget.grab().save(QDir(folder).filePath(name)));
}

// Puts the test program back in Russian, the language of the other tests.
class LanguageTest : public MainWindowTest {
 protected:
  ~LanguageTest() override { ApplyLanguage(*QCoreApplication::instance(), Language::Russian); }

  // A main window with a disk and a selected sector, as a person sees it.
  std::unique_ptr<TFMain> ShownWindow() {
    auto shown = std::make_unique<TFMain>(prompts, store);
    shown->resize(1240, 820);
    shown->show();
    shown->LoadAndShow(QString::fromStdString(CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd").string()));
    shown->findChild<DiskMap*>(QStringLiteral("zxd"))->SetCurrentCell(2, 1);
    shown->OnMapClick();
    QApplication::processEvents();
    return shown;
  }
};

TEST_F(LanguageTest, EnglishWindowsShowNoRussian) {
  ASSERT_EQ(ApplyLanguage(*QCoreApplication::instance(), Language::English), QString());
  EXPECT_EQ(ProcessLanguage(), Language::English) << "the core's messages follow";
  const auto english = ShownWindow();
  EXPECT_EQ(TextsWithCyrillic(VisibleTexts(*english)), QStringList());
  EXPECT_EQ(english->findChild<QMenu*>(QStringLiteral("N1"))->title(), QStringLiteral("Image"));
  SaveShot(*english, QStringLiteral("main_window_english.png"));

  Tfmset settings;
  settings.show();
  QApplication::processEvents();
  EXPECT_EQ(TextsWithCyrillic(VisibleTexts(settings)), QStringList());
  EXPECT_EQ(settings.windowTitle(), QStringLiteral("Settings"));
  SaveShot(settings, QStringLiteral("settings_window_english.png"));
}

TEST_F(LanguageTest, RussianWindowsShowNoEnglishWords) {
  ASSERT_EQ(ApplyLanguage(*QCoreApplication::instance(), Language::Russian), QString());
  const auto russian = ShownWindow();
  EXPECT_EQ(LatinWordsOutsideAllowList(VisibleTexts(*russian)), QStringList());
  SaveShot(*russian, QStringLiteral("main_window_russian.png"));

  Tfmset settings;
  settings.show();
  QApplication::processEvents();
  EXPECT_EQ(LatinWordsOutsideAllowList(VisibleTexts(settings)), QStringList());
  SaveShot(settings, QStringLiteral("settings_window_russian.png"));
}

TEST_F(LanguageTest, MenusFollowALanguageChangeAtOnce) {
  window->show();
  ApplyLanguage(*QCoreApplication::instance(), Language::English);
  QApplication::processEvents();
  EXPECT_EQ(Find<QMenu>("N2")->title(), QStringLiteral("Disk"));
  EXPECT_EQ(Action("N31")->text(), QStringLiteral("Load image"));
  ApplyLanguage(*QCoreApplication::instance(), Language::Russian);
  QApplication::processEvents();
  EXPECT_EQ(Find<QMenu>("N2")->title(), QStringLiteral("Диск"));
  EXPECT_EQ(Action("N31")->text(), QStringLiteral("Загрузить образ"));
}

// A window already shown in Russian speaks English as soon as the language
// changes: menus, panels, buttons, pages and the shown sector's state.
TEST_F(LanguageTest, ShownWindowFollowsALanguageChangeAtOnce) {
  ASSERT_EQ(ApplyLanguage(*QCoreApplication::instance(), Language::Russian), QString());
  const auto shown = ShownWindow();
  ASSERT_FALSE(TextsWithCyrillic(VisibleTexts(*shown)).isEmpty());
  ApplyLanguage(*QCoreApplication::instance(), Language::English);
  QApplication::processEvents();
  EXPECT_EQ(TextsWithCyrillic(VisibleTexts(*shown)), QStringList());
  EXPECT_EQ(shown->findChild<QTabWidget*>(QStringLiteral("pc1"))->tabText(0), QStringLiteral("Log"));
  EXPECT_EQ(shown->findChild<QLabel*>(QStringLiteral("an6"))->text(), QStringLiteral("good"));
  EXPECT_EQ(shown->statusBar()->findChild<ElidedLabel*>(QStringLiteral("sbPanel1"))->Text().left(10),
            QStringLiteral("Disk image"));
  SaveShot(*shown, QStringLiteral("main_window_switched_to_english.png"));
}

TEST_F(LanguageTest, SettingsChoiceIsStoredAndApplied) {
  window->show();
  prompts.QueueWindow([](QDialog& dialog) {
    auto* languages = dialog.findChild<QComboBox*>(QStringLiteral("cblang"));
    ASSERT_NE(languages, nullptr);
    EXPECT_EQ(languages->currentIndex(), 0) << "the locale's language until chosen";
    languages->setCurrentIndex(2);  // English
    dialog.findChild<QPushButton*>(QStringLiteral("bb1"))->click();
  });
  OnOpenSettings(*window);
  QApplication::processEvents();
  EXPECT_EQ(store.Read("Language"), "en");
  EXPECT_EQ(ProcessLanguage(), Language::English);
  EXPECT_EQ(Action("N29")->text(), QStringLiteral("Program settings"));
  const auto messages = prompts.Messages();
  const auto notice = std::find_if(messages.begin(), messages.end(),
                                   [](const auto& message) { return message.caption == QStringLiteral("Settings"); });
  ASSERT_NE(notice, messages.end()) << "the change is told, in the new language";
  EXPECT_FALSE(notice->text.contains(kCyrillic));
}

// A translation file that cannot be read leaves the Russian texts as they
// are written, never empty ones.
TEST_F(LanguageTest, BrokenTranslationKeepsTheSourceTexts) {
  const QString broken = QString::fromStdString((dir / "velloran_en.qm").string());
  QFile file(broken);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("not a translation");
  file.close();
  QTranslator translator;
  EXPECT_FALSE(translator.load(broken));
  QCoreApplication::installTranslator(&translator);
  TFMain fallback(prompts, store);
  EXPECT_EQ(fallback.findChild<QMenu*>(QStringLiteral("N1"))->title(), QStringLiteral("Образ"));
  QCoreApplication::removeTranslator(&translator);
}

}  // namespace
}  // namespace velloran::test
