// The desktop in both languages: switched at run time, the main window and
// the other windows (catalogs, viewer, editors, settings) show no Russian
// under English and no English words outside an allow list under Russian,
// the windows made before the switch too; the Settings choice is kept and
// applied; a missing translation leaves the Russian source texts.
#include <algorithm>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QTranslator>
#include <QTreeWidget>

#include "cpm/cpm_disk.h"
#include "document/document.h"
#include "support/scripted_prompts.h"
#include "trdos/hobeta.h"
#include "trdos_test_disk.h"
#include "ui/cpm_catalog_window.h"
#include "ui/elided_label.h"
#include "ui/entry_editor.h"
#include "ui/main_window_commands.h"
#include "ui/progress_window.h"
#include "ui/qt_prompts.h"
#include "ui/qt_translation.h"
#include "ui/sector_address_dialog.h"
#include "ui/settings_window.h"
#include "ui/trdos_catalog_window.h"
#include "ui/ui_fixture.h"
#include "ui/viewer_window.h"

namespace velloran::test {
namespace {

// Labels that show the disk's own words or numbers, in no language: the
// TR-DOS disk label, the CP/M format's name, an ID field's CRC in hex.
const QStringList kDataLabels = {QStringLiteral("d1"), QStringLiteral("l7"), QStringLiteral("an5")};

// Every text a person reads in a window: labels, buttons, group titles,
// tabs, menus and their items, tooltips of the items, list headers.
QStringList VisibleTexts(QWidget& window) {
  QStringList texts{window.windowTitle()};
  for (auto* label : window.findChildren<QLabel*>())
    if (!kDataLabels.contains(label->objectName())) texts << label->text() << label->toolTip();
  for (auto* list : window.findChildren<QTreeWidget*>())
    for (int i = 0; i < list->columnCount(); ++i) texts << list->headerItem()->text(i);
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
const QStringList kLatinAllowed = {QStringLiteral("Velloran"),     QStringLiteral("RAW"),      QStringLiteral("CRC"),
                                   QStringLiteral("TR-DOS"),       QStringLiteral("DOS"),      QStringLiteral("Profi"),
                                   QStringLiteral("FDD"),          QStringLiteral("HEX"),      QStringLiteral("Log"),
                                   QStringLiteral("English"),      QStringLiteral("TD0"),      QStringLiteral("Ctrl"),
                                   QStringLiteral("Greaseweazle"), QStringLiteral("Spectrum"), QStringLiteral("SCL"),
                                   QStringLiteral("Hobeta"),       QStringLiteral("KOI"),      QStringLiteral("ALT")};

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

// The windows besides the main one, each showing something, made before a
// test switches the language: they must follow the switch at once.
struct OtherWindows {
  OtherWindows() {
    test::MakeTestDisk(trdosDisk);
    EXPECT_TRUE(ReadCatalog(trdosDisk, catalogs.SharedCatalog));
    catalogs.CatalogEditable = true;
    MakeCpmDisk(cpmDisk);
    trdos.ShowCatalog(true);
    cpm.ListDirectory();
    editor.SetFields(EntryEditorFieldsOf(catalogs.SharedCatalog.Entries[0]));
    sector.Fill(trdosDisk.GetTrack(0).Sectors[0]);
    viewer.PrepareScreen(test::TestScreen());
  }

  // Each window shown as a person sees it, with the name of its picture.
  std::vector<std::pair<QWidget*, QString>> Shown() {
    const std::vector<std::pair<QWidget*, QString>> windows = {
        {&trdos, QStringLiteral("trdos_catalog")},   {&cpm, QStringLiteral("cpm_catalog")},
        {&viewer, QStringLiteral("viewer_screen")},  {&editor, QStringLiteral("entry_editor")},
        {&sector, QStringLiteral("sector_address")}, {&settings, QStringLiteral("settings_window")}};
    for (const auto& [window, name] : windows) window->show();
    QApplication::processEvents();
    return windows;
  }

  MemorySettingsStore store;
  Document trdosDocument{store}, cpmDocument{store};
  TZX_Disk& trdosDisk = trdosDocument.Disk();
  TZX_Disk& cpmDisk = cpmDocument.Disk();
  CatalogState& catalogs = trdosDocument.Catalogs();
  ScriptedPrompts prompts;
  FileViewer viewer;
  EntryEditor editor;
  TrdosCatalogWindow trdos{trdosDocument, prompts, viewer, editor};
  CpmCatalogWindow cpm{cpmDocument, prompts, viewer};
  SectorAddressDialog sector;
  SettingsWindow settings;
};

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
  OtherWindows others;
  ASSERT_EQ(ApplyLanguage(*QCoreApplication::instance(), Language::English), QString());
  EXPECT_EQ(ProcessLanguage(), Language::English) << "the core's messages follow";
  const auto english = ShownWindow();
  EXPECT_EQ(TextsWithCyrillic(VisibleTexts(*english)), QStringList());
  EXPECT_EQ(english->findChild<QMenu*>(QStringLiteral("N1"))->title(), QStringLiteral("Image"));
  SaveShot(*english, QStringLiteral("main_window_english.png"));

  for (const auto& [other, name] : others.Shown()) {
    EXPECT_EQ(TextsWithCyrillic(VisibleTexts(*other)), QStringList()) << name.toStdString();
    SaveShot(*other, name + QStringLiteral("_english.png"));
  }
  EXPECT_EQ(others.settings.windowTitle(), QStringLiteral("Settings"));
  EXPECT_EQ(others.viewer.windowTitle(), QStringLiteral("ZX Spectrum screen"));
  others.viewer.PrepareText(Bytes{'t', 'e', 'x', 't'});
  EXPECT_EQ(TextsWithCyrillic(VisibleTexts(others.viewer)), QStringList());
}

// The TR-DOS catalog's refusals, questions and dialogs come from the core
// as phrases: after a switch to English they are English, and a message box
// shows them so.
TEST_F(LanguageTest, CatalogMessagesFollowTheLanguage) {
  OtherWindows others;
  ASSERT_EQ(ApplyLanguage(*QCoreApplication::instance(), Language::English), QString());
  QMenu* menu = others.trdos.findChild<QMenu*>(QStringLiteral("pm1"));
  others.trdos.UpdateMenu();
  menu->findChild<QAction*>(QStringLiteral("scl1"))->trigger();  // nothing selected: refused
  others.prompts.QueueText(std::nullopt);
  menu->findChild<QAction*>(QStringLiteral("N4"))->trigger();  // the disk's new name, cancelled
  const auto records = others.prompts.Records();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].text, QStringLiteral("No files are selected for saving!"));
  EXPECT_EQ(records[0].caption, QStringLiteral("Error!"));
  const TextRequest& rename = records[1].textRequest;
  EXPECT_EQ(TextsWithCyrillic({rename.caption, rename.text, rename.label, rename.acceptButton, rename.cancelButton}),
            QStringList());
  EXPECT_EQ(rename.acceptButton, QStringLiteral("&Accept"));

  // A damaged export's warning in a real message box, as a person sees it.
  QtPrompts boxes(&others.trdos);
  QString shown;
  QTimer::singleShot(0, [&shown] {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      auto* box = qobject_cast<QMessageBox*>(top);
      if (box == nullptr || !box->isVisible()) continue;
      shown = box->windowTitle() + QLatin1Char('\n') + box->text();
      SaveShot(*box, QStringLiteral("trdos_damaged_export_english.png"));
      box->accept();
    }
  });
  ShowMessage(boxes, DamagedFileMessage("game.$B", {{{1, 4}, false}, {{2, 0}, true}}));
  EXPECT_EQ(shown, QStringLiteral("Attention!\nThe file game.$B was saved with bad sectors:\n"
                                  "track 1, sector 5: a data CRC error\ntrack 2, sector 1: no data, written as zeros"));
}

// The open dialogs name the formats in the chosen language: their filter
// lists come from the format table, put into words when a dialog opens.
TEST_F(LanguageTest, OpenDialogFiltersFollowTheLanguage) {
  ASSERT_EQ(ApplyLanguage(*QCoreApplication::instance(), Language::English), QString());
  OnLoadImage(*window);
  OnLoadUdf(*window);
  const auto records = prompts.Records();
  ASSERT_EQ(records.size(), 2u);
  const QStringList& filters = records[0].file.filters;
  EXPECT_EQ(TextsWithCyrillic(filters), QStringList());
  EXPECT_TRUE(filters.front().startsWith(QStringLiteral("All disk images (*.udi,*.trd,")))
      << filters.front().toStdString();
  EXPECT_TRUE(filters.contains(QStringLiteral("TR-DOS sector dump (*.trd)|*.trd")));
  EXPECT_EQ(filters.back(), QStringLiteral("All files (*)|*"));
  EXPECT_EQ(records[1].file.filters, QStringList{QStringLiteral("Velloran's own whole-disk file (*.udf)|*.udf")});

  // The dialog itself, as a person sees it, with its list of formats open.
  QtPrompts dialogs(window.get());
  QStringList shown;
  QTimer::singleShot(0, [&shown] {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      auto* dialog = qobject_cast<QFileDialog*>(top);
      if (dialog == nullptr || !dialog->isVisible()) continue;
      shown = dialog->nameFilters();
      dialog->resize(900, 520);
      QApplication::processEvents();
      SaveShot(*dialog, QStringLiteral("open_dialog_english.png"));
      dialog->reject();
    }
  });
  FileDialogRequest request = records[0].file;
  dialogs.OpenFiles(request);
  EXPECT_EQ(TextsWithCyrillic(shown), QStringList());
  EXPECT_FALSE(shown.isEmpty()) << "no file dialog was shown";
}

TEST_F(LanguageTest, RussianWindowsShowNoEnglishWords) {
  ApplyLanguage(*QCoreApplication::instance(), Language::English);
  OtherWindows others;
  ASSERT_EQ(ApplyLanguage(*QCoreApplication::instance(), Language::Russian), QString());
  const auto russian = ShownWindow();
  EXPECT_EQ(LatinWordsOutsideAllowList(VisibleTexts(*russian)), QStringList());
  SaveShot(*russian, QStringLiteral("main_window_russian.png"));

  for (const auto& [other, name] : others.Shown()) {
    EXPECT_EQ(LatinWordsOutsideAllowList(VisibleTexts(*other)), QStringList()) << name.toStdString();
    SaveShot(*other, name + QStringLiteral("_russian.png"));
  }
  others.viewer.PrepareHex(Bytes(16, 0x41), false);
  EXPECT_EQ(LatinWordsOutsideAllowList(VisibleTexts(others.viewer)), QStringList());
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

// What the operations logged and the drive's state in the status bar were
// put into words in Russian; after the switch they read in English, as
// lines logged under English would, and back again.
TEST_F(LanguageTest, LogLinesAndStatusBarFollowALanguageChange) {
  ASSERT_EQ(ApplyLanguage(*QCoreApplication::instance(), Language::Russian), QString());
  const auto shown = ShownWindow();
  ProgressWindow progress(*shown);
  OperationHost& host = progress;
  host.ClearMainLog();
  host.AddMainLog({MessageId::OperationStarted}, false);
  host.AddMainLog({MessageId::SectorReadFailed, {23, Phrase{MessageId::AtTrackSectorOfDrive, {1, 3}}}}, false);
  host.AddMainLog({MessageId::OperationCompleted}, true);
  shown->SetStatusText(0, PhraseShown({MessageId::StatusWithFdcType,
                                       {Phrase{MessageId::StatusDriverVersion, {"01000A02"}}, "82077AA"}}));
  EXPECT_EQ(shown->LogLines().back(), QStringLiteral("Операция выполнена!"));

  ApplyLanguage(*QCoreApplication::instance(), Language::English);
  QApplication::processEvents();
  EXPECT_EQ(shown->LogLines(), (QStringList{QStringLiteral("The operation has started."),
                                            QStringLiteral("Sector read error 23 (track 1, sector 3)"),
                                            QStringLiteral("The operation is complete.")}));
  EXPECT_EQ(shown->StatusText(0), QStringLiteral("Driver version - 01000A02 / FDC type - 82077AA"));
  EXPECT_EQ(TextsWithCyrillic(VisibleTexts(*shown) + shown->LogLines()), QStringList());
  SaveShot(*shown, QStringLiteral("main_window_log_english.png"));

  ApplyLanguage(*QCoreApplication::instance(), Language::Russian);
  QApplication::processEvents();
  EXPECT_EQ(shown->LogLines()[1], QStringLiteral("Ошибка чтения сектора - 23 (дорожка 1, сектор 3)"));
  EXPECT_EQ(shown->StatusText(0), QStringLiteral("Версия драйвера - 01000A02 / Тип FDC - 82077AA"));
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
