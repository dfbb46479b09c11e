// The TR-DOS catalog window on a disk with live, deleted and erased entries:
// rows, disk information, menu enabling, and one pass through every command
// that changes the disk, checked against the bytes on track 0 and the files
// written. Corpus Hobeta and SCL files are the truth for add and export.
#include "ui/trdos_catalog_window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

#include "catalog_fixture.h"
#include "settings/settings.h"
#include "support/scripted_prompts.h"
#include "support/test_support.h"
#include "ui/entry_editor.h"
#include "ui/viewer_window.h"

namespace velloran {
namespace {

using Record = ScriptedPrompts::Record;

class TrdosCatalogWindowTest : public test::CatalogFixture {
 protected:
  TrdosCatalogWindowTest() { window_.ShowCatalog(true); }

  QTreeWidget* List() { return window_.findChild<QTreeWidget*>(QStringLiteral("LV1")); }
  QAction* Item(const char* name) {
    return window_.findChild<QMenu*>(QStringLiteral("pm1"))->findChild<QAction*>(QString::fromLatin1(name));
  }
  // Opens the menu (which sets what is enabled) and chooses the item.
  void Choose(const char* name) {
    window_.UpdateMenu();
    Item(name)->trigger();
  }
  QString Value(int i) { return window_.findChild<QLabel*>(QStringLiteral("d%1").arg(i))->text(); }
  QStringList Names() {
    QStringList names;
    for (int i = 0; i < List()->topLevelItemCount(); ++i) names << List()->topLevelItem(i)->text(0);
    return names;
  }
  void Select(std::initializer_list<int> rows) {
    List()->clearSelection();
    for (int row : rows) List()->topLevelItem(row)->setSelected(true);
  }
  void ShowDeleted(bool show) {
    if (Item("N10")->isChecked() != show) Item("N10")->trigger();
  }
  // Enabled items of the menu as it opens, in menu order.
  QStringList Enabled() {
    window_.UpdateMenu();
    QStringList names;
    for (const char* name : {"N1", "HEX1", "N2", "N4", "N10", "Hob", "scl1", "N9", "N11", "N3", "N8"})
      if (Item(name)->isEnabled()) names << QString::fromLatin1(name);
    return names;
  }

  TrdosCatalogWindow window_{document_, prompts_, viewer_, editor_};
};

TEST_F(TrdosCatalogWindowTest, ListsLiveEntriesAndWithN10AlsoDeletedOnes) {
  EXPECT_EQ(window_.windowTitle(), "Каталог диска TR-DOS");
  QTreeWidgetItem* header = List()->headerItem();
  QStringList titles;
  for (int i = 0; i < header->columnCount(); ++i) titles << header->text(i);
  EXPECT_EQ(titles, (QStringList{"Имя файла", "Тип", "Старт", "Длина", "Секторов", "Сектор", "Дорожка"}));
  EXPECT_EQ(List()->columnWidth(0), 90);
  EXPECT_EQ(List()->columnWidth(4), 65);

  EXPECT_EQ(Names(), (QStringList{"ALPHA   ", "GAMMA   ", "SCREEN  "}));
  QTreeWidgetItem* gamma = List()->topLevelItem(1);
  QStringList cells;
  for (int i = 0; i < 7; ++i) cells << gamma->text(i);
  EXPECT_EQ(cells, (QStringList{"GAMMA   ", "B", "5CCB", "0200", "02", "08", "01"}));
  EXPECT_EQ(gamma->textAlignment(2), int(Qt::AlignCenter));

  ShowDeleted(true);
  EXPECT_EQ(Names(), (QStringList{"ALPHA   ", "?ETA    ", "GAMMA   ", "SCREEN  ", "?OLD    "}));
  EXPECT_EQ(List()->topLevelItem(3)->text(3), "1B00");
  ShowDeleted(false);
  EXPECT_EQ(List()->topLevelItemCount(), 3);

  EXPECT_EQ(Value(1), "TESTDISK");
  EXPECT_EQ(Value(2), "80 дорожек");
  EXPECT_EQ(Value(3), "6");  // first free sector, counted from 1
  EXPECT_EQ(Value(4), "3");
  EXPECT_EQ(Value(5), "2507");
  EXPECT_EQ(Value(6), "4");
  EXPECT_EQ(Value(7), "1");
}

TEST_F(TrdosCatalogWindowTest, ContextMenuItemsInOrder) {
  QStringList items;
  for (QAction* action : window_.findChild<QMenu*>(QStringLiteral("pm1"))->actions())
    items << (action->isSeparator() ? QStringLiteral("-") : action->objectName() + "=" + action->text());
  EXPECT_EQ(items, (QStringList{"N1=Просмотр экрана", "HEX1=Просмотр HEX", "-", "N2=Уплотнить", "N4=Сменить имя диска",
                                "N10=Показать удаленные файлы", "-", "Hob=Сохранить как Hobeta",
                                "scl1=Сохранить как SCL", "-", "N9=Редактировать заголовок", "N11=Восстановить файл",
                                "N3=Добавить файл(ы)", "N8=Удалить файл(ы)"}));
  EXPECT_TRUE(Item("N10")->isCheckable());
  EXPECT_FALSE(Item("N10")->isChecked());
}

TEST_F(TrdosCatalogWindowTest, NamesAreShownInCodePage1251) {
  std::uint8_t* entry = test::EntryBytes(disk_, 0);
  const std::uint8_t name[] = {0xC8, 0xC3, 0xD0, 0xC0, ' ', ' ', ' ', ' '};  // "ИГРА" in code page 1251
  std::memcpy(entry, name, 8);
  entry[8] = 0xC1;  // "Б"
  ASSERT_TRUE(ReadCatalog(disk_, catalogs_.SharedCatalog));
  window_.ShowCatalog(true);
  EXPECT_EQ(List()->topLevelItem(0)->text(0), "ИГРА    ");
  EXPECT_EQ(List()->topLevelItem(0)->text(1), "Б");
}

TEST_F(TrdosCatalogWindowTest, MenuEnablingFollowsTheSelection) {
  EXPECT_EQ(Item("N11")->isEnabled(), false);  // initially disabled
  // Nothing selected: the list commands, compaction (one deleted file), no file commands.
  Select({});
  EXPECT_EQ(Enabled(), (QStringList{"N2", "N4", "N10", "Hob", "scl1", "N3"}));
  // One live file that is no screen.
  Select({0});
  EXPECT_EQ(Enabled(), (QStringList{"HEX1", "N2", "N4", "N10", "Hob", "scl1", "N9", "N3", "N8"}));
  // The screen file: length 6912.
  Select({2});
  EXPECT_EQ(Enabled(), (QStringList{"N1", "HEX1", "N2", "N4", "N10", "Hob", "scl1", "N9", "N3", "N8"}));
  // Several live files.
  Select({0, 1});
  EXPECT_EQ(Enabled(), (QStringList{"N2", "N4", "N10", "Hob", "scl1", "N3", "N8"}));

  ShowDeleted(true);
  // One deleted file: restore instead of delete.
  Select({1});
  EXPECT_EQ(Enabled(), (QStringList{"HEX1", "N2", "N4", "N10", "Hob", "scl1", "N9", "N11", "N3"}));
  // Only deleted files selected: nothing to delete.
  Select({1, 4});
  EXPECT_EQ(Enabled(), (QStringList{"N2", "N4", "N10", "Hob", "scl1", "N3"}));
  // A deleted and a live file.
  Select({0, 1});
  EXPECT_EQ(Enabled(), (QStringList{"N2", "N4", "N10", "Hob", "scl1", "N3", "N8"}));
}

TEST_F(TrdosCatalogWindowTest, EmptyCatalogOffersOnlyAddAndRename) {
  MakeTrdosDisk(disk_, "EMPTY");
  ASSERT_TRUE(ReadCatalog(disk_, catalogs_.SharedCatalog));
  window_.ShowCatalog(true);
  EXPECT_EQ(List()->topLevelItemCount(), 0);
  EXPECT_EQ(Enabled(), (QStringList{"N4", "N10", "N3"}));
  EXPECT_EQ(Value(5), "2544");
}

TEST_F(TrdosCatalogWindowTest, CatalogReadFromADriveHasNoContextMenu) {
  EXPECT_EQ(List()->contextMenuPolicy(), Qt::CustomContextMenu);
  catalogs_.CatalogEditable = 0;
  window_.ShowCatalog(true);
  EXPECT_EQ(List()->contextMenuPolicy(), Qt::NoContextMenu);
}

TEST_F(TrdosCatalogWindowTest, OpeningClearsTheChangedFlagAndARefreshKeepsIt) {
  catalogs_.CatalogChanged = 1;
  window_.ShowCatalog(false);
  EXPECT_EQ(catalogs_.CatalogChanged, 1);
  prompts_.QueueWindow([](QDialog& dialog) { dialog.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click(); });
  window_.Open();
  EXPECT_EQ(catalogs_.CatalogChanged, 0);
  ASSERT_EQ(prompts_.Records().size(), 1u);
  EXPECT_EQ(prompts_.Records()[0].dialogName, "T_ZXCAT");
}

TEST_F(TrdosCatalogWindowTest, RenameAsksWithTheLabelAndWritesTheInformationSector) {
  prompts_.QueueText(QStringLiteral("NEWNAME"));
  Choose("N4");
  ASSERT_EQ(prompts_.Records().size(), 1u);
  const Record& asked = prompts_.Records()[0];
  EXPECT_EQ(asked.textRequest.caption, "Имя диска");
  EXPECT_EQ(asked.textRequest.text, "Задайте имя диска (не больше 8 символов)");
  EXPECT_EQ(asked.textRequest.label, "Имя:");
  EXPECT_EQ(asked.textRequest.maxLength, 8);
  EXPECT_EQ(asked.textRequest.acceptButton, "&Принять");
  EXPECT_EQ(asked.textRequest.cancelButton, "&Отменить");
  EXPECT_EQ(asked.startText, "TESTDISK");
  const std::uint8_t expected[8] = {'N', 'E', 'W', 'N', 'A', 'M', 'E', 0};
  EXPECT_EQ(std::memcmp(test::InfoSector(disk_) + 0xF5, expected, 8), 0);
  EXPECT_EQ(Value(1), "NEWNAME");
  EXPECT_EQ(catalogs_.CatalogChanged, 1);
}

TEST_F(TrdosCatalogWindowTest, DeclinedQuestionsChangeNothing) {
  const Bytes before(test::SectorBytes(disk_, 0, 0), test::SectorBytes(disk_, 0, 0) + 256);
  Select({0});
  prompts_.QueueAnswer(PromptAnswer::No);
  Choose("N8");
  prompts_.QueueAnswer(PromptAnswer::No);
  Choose("N2");
  prompts_.QueueText(std::nullopt);
  Choose("N4");
  EXPECT_EQ(Bytes(test::SectorBytes(disk_, 0, 0), test::SectorBytes(disk_, 0, 0) + 256), before);
  EXPECT_EQ(catalogs_.CatalogChanged, 0);
  EXPECT_EQ(List()->topLevelItemCount(), 3);
}

// One pass of delete, restore, compaction, adding Hobeta and SCL files and
// exporting them again.
TEST_F(TrdosCatalogWindowTest, DeleteRestoreCompactAddAndExport) {
  const auto corpusHobeta = test::CorpusFile("hobeta/tslabs_zx-evo__UMT2_3.$B");
  const auto corpusScl = test::CorpusFile("scl/vitamin-caig_zxtune__FF128.SCL");
  if (!std::filesystem::exists(corpusHobeta) || !std::filesystem::exists(corpusScl)) GTEST_SKIP() << "no corpus";
  const Bytes hobeta = test::ReadFileBytes(corpusHobeta);
  const Bytes scl = test::ReadFileBytes(corpusScl);

  // Delete GAMMA, a file in the middle: marked with 0x01.
  Select({1});
  prompts_.QueueAnswer(PromptAnswer::Yes);
  Choose("N8");
  const Record deleteQuestion = prompts_.Records().back();
  EXPECT_EQ(deleteQuestion.text, "Вы действительно хотите удалить выбранные файлы?");
  EXPECT_EQ(deleteQuestion.caption, "Внимание..!");
  EXPECT_EQ(deleteQuestion.icon, PromptIcon::Warning);
  EXPECT_EQ(deleteQuestion.buttons, PromptButtons::YesNo);
  EXPECT_EQ(test::EntryBytes(disk_, 2)[0], 0x01);
  EXPECT_EQ(test::InfoSector(disk_)[0xF4], 2);
  EXPECT_EQ(Names(), (QStringList{"ALPHA   ", "SCREEN  "}));
  EXPECT_EQ(catalogs_.CatalogChanged, 1);

  // Restore the deleted file 1 with the letter B.
  ShowDeleted(true);
  Select({1});
  prompts_.QueueText(QStringLiteral("B"));
  Choose("N11");
  const Record restoreDialog = prompts_.Records().back();
  EXPECT_EQ(restoreDialog.textRequest.caption, "Восстановление файла");
  EXPECT_EQ(restoreDialog.textRequest.text, "Для восстановления файла необходимо указать первую букву его имени!");
  EXPECT_EQ(restoreDialog.textRequest.label, "Задайте букву:");
  EXPECT_EQ(restoreDialog.textRequest.maxLength, 1);
  EXPECT_EQ(EntryName(1), "BETA    ");
  EXPECT_EQ(test::InfoSector(disk_)[0xF4], 1);
  EXPECT_EQ(Value(7), "1");

  // Compaction drops ?AMMA and ?OLD and moves SCREEN down behind BETA.
  prompts_.QueueAnswer(PromptAnswer::Yes);
  Choose("N2");
  const Record compactQuestion = prompts_.Records().back();
  EXPECT_EQ(compactQuestion.text,
            "Данная процедура может повредить структуру образа диска!\rСохраняйте образ под другим именем!\r"
            "Вы действительно хотите уплотнить образ?");
  EXPECT_EQ(compactQuestion.icon, PromptIcon::Warning);
  EXPECT_EQ(EntryName(0), "ALPHA   ");
  EXPECT_EQ(EntryName(1), "BETA    ");
  EXPECT_EQ(EntryName(2), "SCREEN  ");
  EXPECT_EQ(test::EntryBytes(disk_, 2)[14], 8);  // first sector
  EXPECT_EQ(test::EntryBytes(disk_, 2)[15], 1);  // first track
  EXPECT_EQ(std::memcmp(test::EntryBytes(disk_, 3), Bytes(16, 0).data(), 16), 0);
  const Bytes screen = test::TestScreen();
  for (int s = 0; s < 27; ++s) {
    const int logical = 16 + 8 + s;
    ASSERT_EQ(std::memcmp(test::SectorBytes(disk_, logical / 16, logical % 16), screen.data() + s * 256, 256), 0)
        << "screen sector " << s;
  }
  std::uint8_t* info = test::InfoSector(disk_);
  EXPECT_EQ(info[0xE4], 3);
  EXPECT_EQ(info[0xF4], 0);
  EXPECT_EQ(info[0xE2], 3);  // 16 + 8 + 27 = 51: track 3, sector 3
  EXPECT_EQ(info[0xE1], 3);
  EXPECT_EQ(info[0xE5] | info[0xE6] << 8, 2560 - 51);
  EXPECT_EQ(Names(), (QStringList{"ALPHA   ", "BETA    ", "SCREEN  "}));

  // Add the corpus Hobeta file and the four files of the corpus SCL file.
  const std::size_t messagesBefore = prompts_.Messages().size();
  // Both from one folder, as one open dialog gives them.
  test::ScratchDir in;
  test::WriteFileBytes(in / "UMT2_3.$B", hobeta);
  test::WriteFileBytes(in / "FF128.SCL", scl);
  prompts_.QueueOpen(
      {QString::fromStdString((in / "UMT2_3.$B").string()), QString::fromStdString((in / "FF128.SCL").string())});
  Choose("N3");
  const Record openDialog = prompts_.Records().back();
  EXPECT_EQ(openDialog.file.title, "Добавить файл(ы) в образ..");
  EXPECT_TRUE(openDialog.file.multiple);
  EXPECT_EQ(openDialog.file.filters, (QStringList{"Файлы SCL (*.scl)|*.scl", "Файлы Hobeta (*.$*)|*.$*",
                                                  "Файлы SCL и Hobeta (*.scl *.$*)|*.scl;*.$*"}));
  EXPECT_EQ(prompts_.Messages().size(), messagesBefore);  // no error
  ASSERT_EQ(List()->topLevelItemCount(), 8);
  EXPECT_EQ(EntryName(3), "UMTv2.3>");
  EXPECT_EQ(std::memcmp(test::EntryBytes(disk_, 3), hobeta.data(), 13), 0);  // name .. length as in the header
  EXPECT_EQ(test::EntryBytes(disk_, 3)[13], hobeta[14]);                     // sectors
  int logical = 51;
  EXPECT_EQ(std::memcmp(test::SectorBytes(disk_, logical / 16, logical % 16), hobeta.data() + 17, 256), 0);
  logical += hobeta[14];
  const int sclFiles = scl[8];
  std::size_t data = 9 + 14 * sclFiles;
  for (int f = 0; f < sclFiles; ++f) {
    const std::uint8_t* header = scl.data() + 9 + 14 * f;
    const std::uint8_t* entry = test::EntryBytes(disk_, 4 + f);
    EXPECT_EQ(std::memcmp(entry, header, 14), 0) << "entry of file " << f;
    EXPECT_EQ(entry[14] + entry[15] * 16, logical);
    for (int s = 0; s < header[13]; ++s, ++logical, data += 256)
      ASSERT_EQ(std::memcmp(test::SectorBytes(disk_, logical / 16, logical % 16), scl.data() + data, 256), 0);
  }
  EXPECT_EQ(info[0xE4], 4 + sclFiles);
  EXPECT_EQ(info[0xE2] * 16 + info[0xE1], logical);
  EXPECT_EQ(info[0xE5] | info[0xE6] << 8, 2560 - logical);
  EXPECT_EQ(settings_.SCLDir, FolderText(in.Path()));
  EXPECT_EQ(store_.Values().at("SCLDir"), FolderText(in.Path()));

  // Export the Hobeta file again: the same bytes as the corpus file.
  test::ScratchDir out;
  Select({3});
  prompts_.QueueFolder(QString::fromStdString(out.Path().string()));
  Choose("Hob");
  EXPECT_EQ(prompts_.Records().back().text, "Директория сохранения Хобетных файлов!");
  const auto exported = out / "UMTv2.3_.$B";
  ASSERT_TRUE(std::filesystem::exists(exported));
  EXPECT_EQ(test::ReadFileBytes(exported), hobeta);
  EXPECT_EQ(store_.Values().at("HobetaDir"), FolderText(out.Path()));

  // A second export asks per file: No keeps the old file, Yes replaces it.
  test::WriteFileBytes(exported, Bytes{1, 2, 3});
  prompts_.QueueFolder(QString::fromStdString(out.Path().string()));
  prompts_.QueueAnswer(PromptAnswer::No);
  Choose("Hob");
  const Record overwrite = prompts_.Records().back();
  EXPECT_EQ(overwrite.text, "Файл UMTv2.3_.$B уже существует! Перезаписать?");
  EXPECT_EQ(overwrite.caption, "Внимание..!");
  EXPECT_EQ(overwrite.buttons, PromptButtons::YesNoCancel);
  EXPECT_EQ(test::ReadFileBytes(exported), (Bytes{1, 2, 3}));
  prompts_.QueueFolder(QString::fromStdString(out.Path().string()));
  prompts_.QueueAnswer(PromptAnswer::Yes);
  Choose("Hob");
  EXPECT_EQ(test::ReadFileBytes(exported), hobeta);

  // Export the four SCL files in list order: the corpus SCL file again.
  Select({4, 5, 6, 7});
  const auto sclOut = out / "four.scl";
  prompts_.QueueSave(QString::fromStdString(sclOut.string()));
  Choose("scl1");
  const Record saveDialog = prompts_.Records().back();
  EXPECT_EQ(saveDialog.file.title, "Сохранить файл(ы) в SCL..!");
  EXPECT_EQ(saveDialog.file.filters, QStringList{"Файл SCL (*.scl)|*.scl"});
  EXPECT_EQ(saveDialog.file.defaultSuffix, "scl");
  EXPECT_EQ(saveDialog.file.folder, QString::fromStdString(FolderText(in.Path())));
  EXPECT_EQ(test::ReadFileBytes(sclOut), scl);
  EXPECT_EQ(store_.Values().at("SCLDir"), FolderText(out.Path()));

  // The catalog sectors of the disk read back as what the window shows.
  TrdosCatalog reread;
  ASSERT_TRUE(ReadCatalog(disk_, reread));
  EXPECT_EQ(reread.FileCount, 8);
  EXPECT_EQ(reread.EntryCount, 8);
  EXPECT_EQ(reread.DeletedCount, 0);
}

// A file with a damaged sector is exported as read and its damage named;
// adding goes on past a file that cannot be added and counts what was.
TEST_F(TrdosCatalogWindowTest, DamagedExportWarnsAndAddingGoesOnPastABadFile) {
  const TrdosEntry& first = catalogs_.SharedCatalog.Entries[0];
  for (TSectorRec& sector : disk_.Tracks[first.FirstTrack].Sectors)
    if (sector.Used && sector.IdSector == first.FirstSector + 1) sector.DataOk = false;
  test::ScratchDir out;
  Select({0});
  prompts_.QueueFolder(QString::fromStdString(out.Path().string()));
  Choose("Hob");
  EXPECT_EQ(test::EntriesIn(out.Path()), 1) << "saved as read";
  const Record warning = prompts_.Records().back();
  EXPECT_TRUE(warning.text.contains("сохранён со сбойными секторами")) << warning.text.toStdString();
  EXPECT_TRUE(warning.text.contains(
      QStringLiteral("дорожка %1, сектор %2: ошибка CRC данных").arg(first.FirstTrack).arg(first.FirstSector + 1)))
      << warning.text.toStdString();
  EXPECT_EQ(warning.icon, PromptIcon::Warning);

  test::ScratchDir in;
  test::WriteFileBytes(in / "bad.$C", Bytes(3, 0));
  test::WriteFileBytes(in / "good.$B", test::ReadFileBytes(test::CorpusFile("hobeta/tslabs_zx-evo__UMT2_3.$B")));
  const int before = List()->topLevelItemCount();
  const std::size_t messagesBefore = prompts_.Messages().size();
  prompts_.QueueOpen(
      {QString::fromStdString((in / "bad.$C").string()), QString::fromStdString((in / "good.$B").string())});
  Choose("N3");
  const auto messages = prompts_.Messages();
  ASSERT_EQ(messages.size(), messagesBefore + 2);
  EXPECT_TRUE(messages[messagesBefore].text.contains("bad.$C"));
  EXPECT_EQ(messages.back().text, "Добавлено файлов: 1 из 2.");
  EXPECT_EQ(List()->topLevelItemCount(), before + 1) << "the good file after the bad one is added";
}

TEST_F(TrdosCatalogWindowTest, SclExportOfNothingSelectedIsRefusedAndExistingFilesAsked) {
  Choose("scl1");
  ASSERT_EQ(prompts_.Records().size(), 1u);
  EXPECT_EQ(prompts_.Records()[0].text, "Файлы для сохранения не выбраны!");
  EXPECT_EQ(prompts_.Records()[0].caption, "Ошибка..!");
  EXPECT_EQ(prompts_.Records()[0].icon, PromptIcon::Error);

  test::ScratchDir out;
  const auto file = out / "old.scl";
  test::WriteFileBytes(file, Bytes{9});
  Select({0});
  prompts_.QueueSave(QString::fromStdString(file.string()));
  prompts_.QueueAnswer(PromptAnswer::No);
  Choose("scl1");
  EXPECT_EQ(prompts_.Records().back().text,
            QString::fromStdString("Файл " + file.string() + " уже существует! Перезаписать?"));
  EXPECT_EQ(test::ReadFileBytes(file), Bytes{9});
  EXPECT_TRUE(store_.Values().empty());
}

// The exported SCL file of a live and a restored file, unpacked by an
// independent tool, holds their catalog entries and sectors.
TEST_F(TrdosCatalogWindowTest, SclExportUnpacksWithScl2trd) {
  if (!test::HaveProgram("scl2trd")) GTEST_SKIP() << "scl2trd (fuse-emulator-utils) is not installed";
  test::ScratchDir out;
  ShowDeleted(true);
  Select({0, 2});  // ALPHA and GAMMA
  prompts_.QueueSave(QString::fromStdString((out / "two.scl").string()));
  Choose("scl1");
  ASSERT_TRUE(std::filesystem::exists(out / "two.scl"));
  const auto result = test::RunProgram("scl2trd", {(out / "two.scl").string(), (out / "two.trd").string()});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const Bytes trd = test::ReadFileBytes(out / "two.trd");
  ASSERT_GE(trd.size(), 4096u + 7 * 256);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(trd.data()), 8), "ALPHA   ");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(trd.data() + 16), 8), "GAMMA   ");
  EXPECT_EQ(trd[2048 + 0xE4], 2);  // files
  for (int file = 0; file < 2; ++file) {
    const std::uint8_t* entry = trd.data() + file * 16;
    const std::size_t offset = (entry[15] * 16 + entry[14]) * 256u;
    const int sectors = entry[13];
    EXPECT_EQ(sectors, file == 0 ? 5 : 2);
    for (int s = 0; s < sectors; ++s) EXPECT_EQ(trd[offset + s * 256 + 17], test::FileByte(file == 0 ? 1 : 3, s));
  }
}

}  // namespace
}  // namespace velloran
