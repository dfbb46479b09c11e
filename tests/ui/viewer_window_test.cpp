// The viewer FileViewer: the screen picture's colours and row order, the hex
// face fed from the catalog window, the text face with its KOI-8 conversion,
// menu and font, and the faces hidden again when the window closes.
#include "ui/viewer_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>

#include "document/document.h"
#include "support/scripted_prompts.h"
#include "trdos_test_disk.h"
#include "ui/entry_editor.h"
#include "ui/hex_view.h"
#include "ui/trdos_catalog_window.h"

namespace velloran {
namespace {

QLabel* Picture(FileViewer& viewer) { return viewer.findChild<QLabel*>(QStringLiteral("im1")); }
HexView* Grid(FileViewer& viewer) { return viewer.findChild<HexView*>(QStringLiteral("ssh")); }
QWidget* TextPanel(FileViewer& viewer) { return viewer.findChild<QWidget*>(QStringLiteral("pn1")); }
QPlainTextEdit* TextBox(FileViewer& viewer) { return viewer.findChild<QPlainTextEdit*>(QStringLiteral("m1")); }
QAction* TextItem(FileViewer& viewer, const char* name) {
  return viewer.findChild<QMenu*>(QStringLiteral("PopupMenu1"))->findChild<QAction*>(QString::fromLatin1(name));
}

QColor ColourAt(FileViewer& viewer, int x, int y) { return Picture(viewer)->pixmap().toImage().pixelColor(x, y); }

// The screen face, opened from the catalog window's "Просмотр экрана".
TEST(Viewer, ScreenFromTheCatalogShowsInkAndPaperOfEachAttribute) {
  MemorySettingsStore store;
  Document document(store);
  test::MakeTestDisk(document.Disk());
  CatalogState& catalogs = document.Catalogs();
  ASSERT_TRUE(ReadCatalog(document.Disk(), catalogs.SharedCatalog));
  catalogs.CatalogEditable = true;
  ScriptedPrompts prompts;
  FileViewer viewer;
  EntryEditor editor;
  TrdosCatalogWindow window(document, prompts, viewer, editor);
  window.ShowCatalog(true);
  window.findChild<QTreeWidget*>(QStringLiteral("LV1"))->topLevelItem(2)->setSelected(true);

  bool shown = false;
  prompts.QueueWindow([&](QDialog& dialog) {
    shown = true;
    EXPECT_EQ(&dialog, &viewer);
    EXPECT_TRUE(Picture(viewer)->isVisible());
    EXPECT_FALSE(Grid(viewer)->isVisible());
    EXPECT_FALSE(TextPanel(viewer)->isVisible());
    EXPECT_EQ(Picture(viewer)->geometry(), QRect(1, 1, 256, 192));
    EXPECT_EQ(viewer.windowTitle(), "Экран ZX Spectrum");
    // Attribute 0x47: bright white ink on black paper.
    EXPECT_EQ(ColourAt(viewer, 0, 0), QColor(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(ColourAt(viewer, 4, 0), QColor(0, 0, 0));
    // Attribute 0x38: black ink on white paper, not bright.
    EXPECT_EQ(ColourAt(viewer, 3, 100), QColor(0, 0, 0));
    EXPECT_EQ(ColourAt(viewer, 7, 100), QColor(0xE4, 0xE4, 0xE4));
    // The pixel byte at 0x0020 is row 8; the one at 0x0100 is row 1.
    EXPECT_EQ(ColourAt(viewer, 0, 8), QColor(0, 0, 0));
    EXPECT_EQ(ColourAt(viewer, 7, 1), QColor(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(ColourAt(viewer, 7, 2), QColor(0, 0, 0));
    dialog.reject();
  });
  window.UpdateMenu();
  window.findChild<QMenu*>(QStringLiteral("pm1"))->findChild<QAction*>(QStringLiteral("N1"))->trigger();
  EXPECT_TRUE(shown);
  // Closing hides every face again.
  EXPECT_TRUE(Picture(viewer)->isHidden());
  EXPECT_TRUE(Grid(viewer)->isHidden());
  EXPECT_TRUE(TextPanel(viewer)->isHidden());
}

TEST(Viewer, ScreenWindowHasTheDesignedSize) {
  FileViewer viewer;
  EXPECT_EQ(viewer.windowTitle(), "Экран ZX Spectrum");
  viewer.PrepareScreen(test::TestScreen());
  // 266 x 221 with a 4-pixel border and a 19-pixel caption: the picture and a 1-pixel edge.
  EXPECT_EQ(viewer.size(), QSize(258, 194));
  EXPECT_EQ(viewer.minimumSize(), viewer.maximumSize());
}

TEST(Viewer, HexFaceHoldsTheBytesWithItsCaption) {
  FileViewer viewer;
  viewer.PrepareHex(Bytes{0x10, 0x20, 0x30}, false);
  EXPECT_EQ(viewer.windowTitle(), "Просмотр файла в HEX виде.");
  EXPECT_FALSE(Grid(viewer)->isHidden());
  EXPECT_TRUE(Picture(viewer)->isHidden());
  EXPECT_EQ(Grid(viewer)->Data(), (Bytes{0x10, 0x20, 0x30}));
  EXPECT_EQ(viewer.size(), QSize(550, 317));
  const QString fontBefore = Grid(viewer)->font().family();
  viewer.PrepareHex(Bytes{1}, true);
  EXPECT_EQ(Grid(viewer)->font().family(), "Terminal");
  EXPECT_NE(fontBefore, "Terminal");
}

// The window is as wide as the grid's offsets, 16 byte columns and 16
// characters, in whatever font; the caption follows the face shown.
TEST(Viewer, HexFaceShowsAllSixteenCharactersAndCaptionsFollowTheFace) {
  FileViewer viewer;
  Grid(viewer)->setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 16));
  viewer.PrepareHex(Bytes(700, 'A'), false);
  viewer.show();
  QApplication::processEvents();
  HexView* grid = Grid(viewer);
  EXPECT_EQ(grid->horizontalScrollBar()->maximum(), 0) << "nothing hidden to the right";
  EXPECT_LE(grid->ByteCellRect(15, true).right(), grid->viewport()->width());
  EXPECT_GT(viewer.width(), 550);
  viewer.hide();

  viewer.PrepareScreen(test::TestScreen());
  EXPECT_EQ(viewer.windowTitle(), "Экран ZX Spectrum");
  viewer.PrepareText(Bytes{'x'});
  EXPECT_EQ(viewer.windowTitle(), "Просмотр файла в TXT виде.");
  viewer.PrepareScreen(test::TestScreen());
  EXPECT_EQ(viewer.windowTitle(), "Экран ZX Spectrum");
}

TEST(Viewer, TextStopsAtTheZeroByteAndConvertsKoi8OncePerPress) {
  FileViewer viewer;
  const Bytes text = {'H',  'i',  '\r', '\n', 't',  'h',  'e', 'r', 'e', '\n', 0xF0,
                      0xD2, 0xC9, 0xD7, 0xC5, 0xD4, 0x00, 'j', 'u', 'n', 'k'};
  viewer.PrepareText(text);
  EXPECT_EQ(viewer.windowTitle(), "Просмотр файла в TXT виде.");
  EXPECT_FALSE(TextPanel(viewer)->isHidden());
  EXPECT_LT(viewer.minimumSize().width(), viewer.maximumSize().width());  // resizable
  QStringList lines = TextBox(viewer)->toPlainText().split('\n');
  ASSERT_EQ(lines.size(), 3);
  EXPECT_EQ(lines[0], "Hi");
  EXPECT_EQ(lines[1], "there");

  viewer.findChild<QPushButton*>(QStringLiteral("BitBtn2"))->click();
  lines = TextBox(viewer)->toPlainText().split('\n');
  EXPECT_EQ(lines[0], "Hi");
  EXPECT_EQ(lines[2], "Привет");  // 8F E0 A8 A2 A5 E2 in code page 866
  // A second press converts again: 0x80..0xAF move up by 0x30, KOI8-R letters become code page 866 ones.
  viewer.findChild<QPushButton*>(QStringLiteral("BitBtn2"))->click();
  EXPECT_EQ(TextBox(viewer)->toPlainText().split('\n')[2], "┐Ю╪╥╒Б");
}

TEST(Viewer, CopyNeedsASelectionAndSelectAllMakesOne) {
  FileViewer viewer;
  viewer.PrepareText(Bytes{'a', 'b', 'c'});
  viewer.UpdateTextMenu();
  EXPECT_FALSE(TextItem(viewer, "N2")->isEnabled());
  TextItem(viewer, "N1")->trigger();
  viewer.UpdateTextMenu();
  EXPECT_TRUE(TextItem(viewer, "N2")->isEnabled());
  TextItem(viewer, "N2")->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), "abc");
}

TEST(Viewer, FontButtonTakesTheChosenFont) {
  FileViewer viewer;
  viewer.PrepareText(Bytes{'x'});
  EXPECT_EQ(TextBox(viewer)->font().family(), "Terminal");
  QFont offered;
  viewer.SetFontChooser([&](const QFont& current) -> std::optional<QFont> {
    offered = current;
    return QFont(QStringLiteral("DejaVu Serif"), 14);
  });
  viewer.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
  EXPECT_EQ(offered.family(), "Terminal");
  EXPECT_EQ(TextBox(viewer)->font().family(), "DejaVu Serif");
  viewer.SetFontChooser([](const QFont&) { return std::optional<QFont>(); });
  viewer.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
  EXPECT_EQ(TextBox(viewer)->font().family(), "DejaVu Serif");
}

}  // namespace
}  // namespace velloran
