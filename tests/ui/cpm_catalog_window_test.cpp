// The CP/M catalog window on a PRO image made by cpmtools (mkfs.cpm and
// cpmcp with the Profi disk definition): rows, used and free space, the
// hidden and deleted toggles, the hex and text views and "Сохранить как".
#include "ui/cpm_catalog_window.h"

#include <gtest/gtest.h>

#include <random>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include "document/document.h"
#include "formats/pro.h"
#include "support/scripted_prompts.h"
#include "support/test_support.h"
#include "ui/hex_view.h"
#include "ui/viewer_window.h"

namespace velloran {
namespace {

test::RunResult Cpmtools(const test::ScratchDir& dir, const std::string& program, std::vector<std::string> args) {
  args.insert(args.begin(), {"-C", dir.Path().string(), program, "-f", "profi", "disk.pro"});
  return test::RunProgram("env", args);
}

Bytes RandomBytes(std::size_t size) {
  std::mt19937 random(7);
  Bytes bytes(size);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

// A text of exactly one record: three lines (the last one KOI8-R), then zeros.
Bytes TextFile() {
  const std::string lines = "Hello, Profi!\r\nSecond line\r\n\xF0\xD2\xC9\xD7\xC5\xD4\r\n";
  Bytes bytes(lines.begin(), lines.end());
  bytes.resize(128, 0);
  return bytes;
}

class CpmCatalogWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"mkfs.cpm", "cpmcp", "cpmrm"})
      if (!test::HaveProgram(tool)) GTEST_SKIP() << tool << " (cpmtools) is not installed";
    std::filesystem::copy_file(std::filesystem::path(VELLORAN_TEST_DATA_DIR) / "profi.diskdefs", dir_ / "diskdefs");
    ASSERT_EQ(test::RunProgram("env", {"-C", dir_.Path().string(), "mkfs.cpm", "-f", "profi", "disk.pro"}).exitCode, 0);
    test::WriteFileBytes(dir_ / "hello.txt", TextFile());
    test::WriteFileBytes(dir_ / "big.dat", big_);
    test::WriteFileBytes(dir_ / "secret.dat", Bytes(1000, 0x55));
    test::WriteFileBytes(dir_ / "gone.tmp", Bytes(3000, 0x66));
    for (const auto& [file, target] : std::vector<std::pair<std::string, std::string>>{{"hello.txt", "0:hello.txt"},
                                                                                       {"big.dat", "0:big.dat"},
                                                                                       {"secret.dat", "1:secret.dat"},
                                                                                       {"gone.tmp", "0:gone.tmp"}}) {
      const auto result = Cpmtools(dir_, "cpmcp", {file, target});
      ASSERT_EQ(result.exitCode, 0) << result.err;
    }
    ASSERT_EQ(Cpmtools(dir_, "cpmrm", {"0:gone.tmp"}).exitCode, 0);
    std::filesystem::resize_file(dir_ / "disk.pro", 819200);  // cpmtools stops at the last used sector
    ASSERT_TRUE(LoadPRO(disk_, dir_ / "disk.pro")) << disk_.LastError;
    window_.ListDirectory();
  }

  QTreeWidget* List() { return window_.findChild<QTreeWidget*>(QStringLiteral("LV1")); }
  QAction* Item(const char* name) {
    return window_.findChild<QMenu*>(QStringLiteral("pm1"))->findChild<QAction*>(QString::fromLatin1(name));
  }
  QString Label(const char* name) { return window_.findChild<QLabel*>(QString::fromLatin1(name))->text(); }
  QStringList Row(int row) {
    QStringList cells;
    for (int i = 0; i < 5; ++i) cells << List()->topLevelItem(row)->text(i);
    return cells;
  }
  QStringList Names() {
    QStringList names;
    for (int i = 0; i < List()->topLevelItemCount(); ++i) names << List()->topLevelItem(i)->text(0);
    return names;
  }
  // Opens the menu (which sets what is enabled) and chooses the item.
  void Choose(const char* name) {
    window_.UpdateMenu();
    Item(name)->trigger();
  }
  void SelectName(const QString& name) {
    List()->clearSelection();
    for (int i = 0; i < List()->topLevelItemCount(); ++i)
      if (List()->topLevelItem(i)->text(0) == name) List()->topLevelItem(i)->setSelected(true);
  }

  test::ScratchDir dir_;
  const Bytes big_ = RandomBytes(300 * 128);  // 300 records: 37 kB and 512 bytes
  MemorySettingsStore store_;
  Document document_{store_};
  TZX_Disk& disk_ = document_.Disk();
  Settings& settings_ = document_.Options();
  ScriptedPrompts prompts_;
  FileViewer viewer_;
  CpmCatalogWindow window_{document_, prompts_, viewer_};
};

TEST_F(CpmCatalogWindowTest, ListsUserZeroFilesAndTheSpaceTheyTake) {
  EXPECT_EQ(window_.windowTitle(), "Каталог диска CP/M");
  EXPECT_FALSE(window_.isModal());
  QStringList titles;
  for (int i = 0; i < 5; ++i) titles << List()->headerItem()->text(i);
  EXPECT_EQ(titles, (QStringList{"Имя файла", "Тип", "Длина", "Пользователь", "Экстент"}));
  ASSERT_EQ(Names(), (QStringList{"HELLO   ", "BIG     "}));
  // Lengths in bytes: one record, and 300 records.
  EXPECT_EQ(Row(0), (QStringList{"HELLO   ", "TXT", "128", "00", "00"}));
  EXPECT_EQ(Row(1), (QStringList{"BIG     ", "DAT", "38400", "00", "00"}));
  EXPECT_EQ(List()->topLevelItem(1)->textAlignment(2) & Qt::AlignRight, Qt::AlignRight);
  // Directory 2 blocks, HELLO 1, BIG 19 (38400 bytes), the hidden SECRET 1; GONE's blocks are free.
  EXPECT_EQ(Label("l6"), "2");
  EXPECT_EQ(Label("l5"), "46 кБ");
  EXPECT_EQ(Label("l4"), "754 кБ");
}

TEST_F(CpmCatalogWindowTest, ContextMenuItemsInOrder) {
  QStringList items;
  for (QAction* action : window_.findChild<QMenu*>(QStringLiteral("pm1"))->actions())
    items << action->objectName() + "=" + action->text() + (action->isCheckable() ? "*" : "");
  EXPECT_EQ(items, (QStringList{"HEX1=Просмотр HEX", "N11=Просмотр текста", "N10=Показать удаленные файлы*",
                                "N2=Показать скрытые файлы*", "Hob=Сохранить как"}));
}

TEST_F(CpmCatalogWindowTest, TogglesShowHiddenAndDeletedFiles) {
  Item("N2")->trigger();
  EXPECT_TRUE(Item("N2")->isChecked());
  EXPECT_EQ(Names(), (QStringList{"HELLO   ", "BIG     ", "SECRET  "}));
  EXPECT_EQ(Row(2)[3], "01");
  Item("N2")->trigger();
  Item("N10")->trigger();
  EXPECT_EQ(Names(), (QStringList{"HELLO   ", "BIG     ", "GONE    "}));
  EXPECT_EQ(Row(2)[3], "E5");
  EXPECT_EQ(Label("l6"), "3");
  EXPECT_EQ(Label("l5"), "46 кБ");
}

TEST_F(CpmCatalogWindowTest, FileCommandsNeedASelectedRow) {
  window_.UpdateMenu();
  EXPECT_FALSE(Item("HEX1")->isEnabled());
  EXPECT_FALSE(Item("N11")->isEnabled());
  EXPECT_FALSE(Item("Hob")->isEnabled());
  EXPECT_TRUE(Item("N10")->isEnabled());
  SelectName("BIG     ");
  window_.UpdateMenu();
  EXPECT_TRUE(Item("HEX1")->isEnabled());
  EXPECT_TRUE(Item("N11")->isEnabled());
  EXPECT_TRUE(Item("Hob")->isEnabled());
}

TEST_F(CpmCatalogWindowTest, HexViewShowsTheFileInTheTerminalFont) {
  SelectName("BIG     ");
  Bytes shown;
  prompts_.QueueWindow([&](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Просмотр файла в HEX виде.");
    auto* grid = dialog.findChild<HexView*>(QStringLiteral("ssh"));
    EXPECT_TRUE(grid->isVisible());
    EXPECT_EQ(grid->font().family(), "Terminal");
    shown = grid->Data();
  });
  Choose("HEX1");
  EXPECT_EQ(shown, big_);
}

TEST_F(CpmCatalogWindowTest, TextViewShowsTheLinesUpToTheZeroByte) {
  SelectName("HELLO   ");
  QString text;
  prompts_.QueueWindow([&](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Просмотр файла в TXT виде.");
    text = dialog.findChild<QPlainTextEdit*>(QStringLiteral("m1"))->toPlainText();
  });
  Choose("N11");
  const QStringList lines = text.split('\n');
  ASSERT_EQ(lines.size(), 3);
  EXPECT_EQ(lines[0], "Hello, Profi!");
  EXPECT_EQ(lines[1], "Second line");
}

// cpmcp -t writes a text the CP/M way: CR LF line ends, then ^Z filling
// the last record. The text view ends at the ^Z; the hex view keeps every byte.
TEST_F(CpmCatalogWindowTest, TextViewEndsAtControlZ) {
  const std::string lines = "first\nsecond\n";
  test::WriteFileBytes(dir_ / "note.txt", Bytes(lines.begin(), lines.end()));
  const auto copied = test::RunProgram(
      "env", {"-C", dir_.Path().string(), "cpmcp", "-f", "profi", "-t", "disk.pro", "note.txt", "0:note.txt"});
  ASSERT_EQ(copied.exitCode, 0) << copied.err;
  ASSERT_TRUE(LoadPRO(disk_, dir_ / "disk.pro")) << disk_.LastError;
  window_.ListDirectory();
  SelectName("NOTE    ");
  Bytes bytes;
  prompts_.QueueWindow([&](QDialog& dialog) { bytes = dialog.findChild<HexView*>(QStringLiteral("ssh"))->Data(); });
  Choose("HEX1");
  ASSERT_EQ(bytes.size(), 128u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 15), "first\r\nsecond\r\n");
  EXPECT_EQ(bytes[15], 0x1A) << "cpmtools ends the text with ^Z";
  QString text;
  prompts_.QueueWindow(
      [&](QDialog& dialog) { text = dialog.findChild<QPlainTextEdit*>(QStringLiteral("m1"))->toPlainText(); });
  Choose("N11");
  EXPECT_EQ(text, "first\nsecond");
}

TEST_F(CpmCatalogWindowTest, SaveAsWritesTheFileBytes) {
  settings_.SCLDir = FolderText(dir_.Path());
  SelectName("BIG     ");
  test::ScratchDir out;
  const auto target = out / "big.cpm";
  prompts_.QueueSave(QString::fromStdString(target.string()));
  Choose("Hob");
  const auto& dialog = prompts_.Records().back().file;
  EXPECT_EQ(dialog.fileName, "BIG     DAT");
  EXPECT_EQ(dialog.defaultSuffix, "cpm");
  EXPECT_EQ(dialog.filters, QStringList{"Файлы CP/M Profi (*.cpm)|*.cpm"});
  EXPECT_EQ(dialog.folder, QString::fromStdString(FolderText(dir_.Path())));
  EXPECT_EQ(test::ReadFileBytes(target), big_);
  EXPECT_EQ(store_.Values().at("SCLDir"), FolderText(out.Path()));

  // An existing file is replaced only after Yes.
  test::WriteFileBytes(target, Bytes{1});
  prompts_.QueueSave(QString::fromStdString(target.string()));
  prompts_.QueueAnswer(PromptAnswer::No);
  Choose("Hob");
  const auto question = prompts_.Records().back();
  EXPECT_EQ(question.text, "Файл существует! Перезаписать?!");
  EXPECT_EQ(question.caption, "Внимание!");
  EXPECT_EQ(question.icon, PromptIcon::None);
  EXPECT_EQ(test::ReadFileBytes(target), Bytes{1});
  prompts_.QueueSave(QString::fromStdString(target.string()));
  prompts_.QueueAnswer(PromptAnswer::Yes);
  Choose("Hob");
  EXPECT_EQ(test::ReadFileBytes(target), big_);
}

}  // namespace
}  // namespace velloran
