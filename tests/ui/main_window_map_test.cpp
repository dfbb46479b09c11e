// What a click on the map shows, and the context menu's items.
#include <QApplication>
#include <QContextMenuEvent>
#include <QFrame>
#include <QGroupBox>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>

#include "formats/dsk.h"
#include "formats/udf.h"
#include "trdos/catalog.h"
#include "ui/ui_fixture.h"

namespace velloran::test {
namespace {

using ClickTest = MainWindowTest;

TEST_F(ClickTest, LabelOfAnAbsentTrackEmptiesThePaneAndTheLog) {
  MakeMarkedTrdosDisk(Disk());
  Click(1, 5);
  ASSERT_GT(Pane()->Size(), 0);
  Disk().GetTrack(5).Log = {"old line"};
  Disk().GetTrack(170 - 10).Log = {"never shown"};
  Click(0, 160);
  EXPECT_EQ(Pane()->Size(), 0);
  EXPECT_TRUE(window->LogLines().isEmpty());
  EXPECT_EQ(Text("l2"), "");
  EXPECT_EQ(Text("l1"), "");
  EXPECT_FALSE(Find<QGroupBox>("gb1")->isVisibleTo(window.get()));
}

TEST_F(ClickTest, UsedSectorShowsItsIdDataAndCrc) {
  MakeMarkedTrdosDisk(Disk());
  TSectorRec& sector = Disk().GetSector(0, 3);  // sector 4 of track 0: all zero
  sector.ErrorCount = 2;
  Disk().GetTrack(0).Log = {"Начало сканирования дорожки.", "Данные приняты - 65 байт"};
  Find<QTabWidget>("pc1")->setCurrentIndex(1);
  Click(4, 0);
  EXPECT_EQ(Text("l2"), "0");
  EXPECT_EQ(Text("l1"), "4");
  EXPECT_TRUE(Find<QGroupBox>("gb1")->isVisibleTo(window.get()));
  EXPECT_EQ(Text("an1"), "0");
  EXPECT_EQ(Text("an2"), "0");
  EXPECT_EQ(Text("an3"), "4");
  EXPECT_EQ(Text("an4"), "256b");
  EXPECT_EQ(Text("an5"), QStringLiteral("#%1").arg(IdFieldCrc(0, 0, 4, 1), 4, 16, QLatin1Char('0')).toUpper());
  EXPECT_EQ(Text("an6"), "без ошибок");
  // A1 A1 A1 FB and 256 zero bytes give the data CRC E122.
  EXPECT_EQ(Text("vCRC"), "#E122");
  EXPECT_EQ(Pane()->Size(), 256);
  EXPECT_FALSE(Pane()->IsReadOnly());
  EXPECT_FALSE(Find<QPushButton>("pnb1")->isEnabled());
  EXPECT_TRUE(Find<QPushButton>("pnb2")->isEnabled());
  EXPECT_FALSE(Find<QPushButton>("pnb3")->isEnabled()) << "\"Загрузить\" has nothing to load from";
  EXPECT_EQ(Find<QTabWidget>("pc1")->currentIndex(), 0);
  EXPECT_EQ(window->LogLines(), (QStringList{"Начало сканирования дорожки.", "Данные приняты - 65 байт"}));
  sector.DataOk = false;
  Click(4, 0);
  EXPECT_EQ(Text("an6"), "сбойный");
  sector.ErrorCount = 0;  // bad in the image it came from, not read here
  Click(4, 0);
  EXPECT_EQ(Text("an6"), "сбойный");
  sector.DataLen = 0;
  Click(4, 0);
  EXPECT_EQ(Text("an6"), "нет данных");
}

// A weak sector with three copies, loaded from an extended DSK: the pane
// steps through them, marks the bytes where they differ and lets only the
// first be edited.
TEST_F(ClickTest, WeakSectorCopiesAreSteppedThroughWithTheirDifferencesMarked) {
  TZX_Disk weak;
  MakeWeakSectorDisk(weak);
  Bytes dsk;
  ASSERT_TRUE(SaveDSKToBytes(weak, dsk));
  const auto file = dir / "weak.dsk";
  WriteFileBytes(file, dsk);
  LoadThroughDialog(file);
  Click(1, 0);
  auto* button = Find<QPushButton>("cpb1");
  ASSERT_TRUE(button->isVisibleTo(window.get()));
  EXPECT_EQ(button->text(), "Копия 1 из 3");
  EXPECT_FALSE(Pane()->IsReadOnly());
  EXPECT_EQ(Pane()->Data()[0x40], 0x40);
  for (int i : {0x40, 0x42, 0x43}) EXPECT_TRUE(Pane()->IsMarked(i)) << i;
  EXPECT_FALSE(Pane()->IsMarked(0x41));
  button->click();
  EXPECT_EQ(button->text(), "Копия 2 из 3");
  EXPECT_EQ(Pane()->Data()[0x40], 0xA1);
  EXPECT_EQ(Pane()->Data()[0x42], 0xEE);
  EXPECT_TRUE(Pane()->IsReadOnly());
  EXPECT_TRUE(Pane()->IsMarked(0x42));
  EXPECT_FALSE(Pane()->IsMarked(0x43)) << "the same as the first copy";
  button->click();
  button->click();
  EXPECT_EQ(button->text(), "Копия 1 из 3");
  Click(2, 0);
  EXPECT_FALSE(button->isVisibleTo(window.get()));
}

TEST_F(ClickTest, SectorLengthFromTheDataOrFromTheSizeCode) {
  TTrack& track = Disk().GetTrack(2);
  track.Present = true;
  TSectorRec& sector = track.GetSector(0);
  sector.Used = true;
  sector.IdSize = 2;
  sector.IdSector = 1;
  sector.DataLen = 300;
  sector.DataOk = true;
  for (int i = 0; i < 512; ++i) sector.Data[i] = static_cast<std::uint8_t>(i * 7);
  Click(1, 2);
  EXPECT_EQ(Pane()->Size(), 300);
  EXPECT_EQ(Text("an4"), "512b");
  window->Options().SetSectorSizeFromHead = true;
  Click(1, 2);
  ASSERT_EQ(Pane()->Size(), 512);
  EXPECT_EQ(Pane()->Data()[511], static_cast<std::uint8_t>(511 * 7));
  // A sector without data: empty read-only pane, and no data CRC.
  sector.DataLen = 0;
  Click(1, 2);
  EXPECT_EQ(Pane()->Size(), 0);
  EXPECT_TRUE(Pane()->IsReadOnly());
  EXPECT_FALSE(Find<QPushButton>("pnb2")->isEnabled());
  EXPECT_EQ(Text("vCRC"), "");
}

// The CRC label under the pane belongs to the cell shown: a sector's data
// CRC, nothing for a track label or an empty slot.
TEST_F(ClickTest, CrcLabelFollowsEverySelection) {
  MakeMarkedTrdosDisk(Disk());
  Click(1, 3);
  const QString first = Text("vCRC");
  EXPECT_TRUE(first.startsWith('#'));
  Click(2, 3);
  EXPECT_NE(Text("vCRC"), first);
  Click(0, 3);
  EXPECT_EQ(Text("vCRC"), "");
  Click(1, 3);
  EXPECT_EQ(Text("vCRC"), first);
  Click(18, 3);
  EXPECT_EQ(Text("vCRC"), "");
}

TEST_F(ClickTest, SizeCodeAboveThreeShowsTheIdFieldsButNoData) {
  MakeMarkedTrdosDisk(Disk());
  Click(2, 1);
  ASSERT_GT(Pane()->Size(), 0);
  Disk().GetSector(1, 0).IdSize = 4;
  Click(1, 1);
  EXPECT_EQ(Text("an3"), "1");
  EXPECT_EQ(Text("an4"), "N=4");
  EXPECT_EQ(Pane()->Size(), 0) << "the pane never shows another cell than the labels";
  EXPECT_TRUE(Pane()->IsReadOnly());
  EXPECT_EQ(Text("vCRC"), "");
}

TEST_F(ClickTest, LabelOfATrdTrackShowsTheStandardTrackReadOnly) {
  LoadThroughDialog(CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd"));
  Click(0, 0);
  const Bytes& raw = Pane()->Data();
  ASSERT_EQ(raw.size(), 6256u);
  EXPECT_TRUE(Pane()->IsReadOnly());
  EXPECT_FALSE(Find<QPushButton>("pnb2")->isEnabled());
  // Index mark C2 C2 C2 FC at 92..95, the first ID mark A1 A1 A1 FE at 158..161.
  EXPECT_EQ(Bytes(raw.begin() + 92, raw.begin() + 96), (Bytes{0xC2, 0xC2, 0xC2, 0xFC}));
  EXPECT_EQ(Bytes(raw.begin() + 158, raw.begin() + 162), (Bytes{0xA1, 0xA1, 0xA1, 0xFE}));
  EXPECT_EQ(raw[0], 0x4E);
  EXPECT_EQ(raw[6255], 0x4E);
  EXPECT_EQ(Text("l2"), "0");
  EXPECT_EQ(Text("l1"), "");
}

TEST_F(ClickTest, OwnerStripShowsTheFileOfASectorOnlyAfterAUdfLoad) {
  MakeTrdosDisk(Disk(), "OWNERS");
  TrdosCatalog catalog;
  ASSERT_TRUE(ReadCatalog(Disk(), catalog));
  TrdosEntry entry;
  const char name[] = "boot    ";
  std::copy(name, name + 8, entry.Name.begin());
  entry.FileType = 'B';
  entry.FileSectors = 16;
  entry.FirstSector = 0;
  entry.FirstTrack = 1;
  catalog.Entries[0] = entry;
  catalog.EntryCount = 1;
  catalog.FileCount = 1;
  catalog.FirstFreeTrack = 2;
  RecountFreeSectors(catalog);
  ASSERT_FALSE(WriteCatalog(Disk(), catalog).has_value());
  Click(1, 1);
  EXPECT_FALSE(Find<QFrame>("trp1")->isVisibleTo(window.get())) << "no udf file loaded yet";

  const auto file = dir / "owners.udf";
  ASSERT_TRUE(SaveUDF(Disk(), file)) << Disk().LastError;
  Disk().ClearDisk();
  prompts.QueueOpen({QString::fromStdString(file.string())});
  OnLoadUdf(*window);
  EXPECT_EQ(window->CurImageName(), "owners.udf");
  Click(1, 1);
  EXPECT_TRUE(Find<QFrame>("trp1")->isVisibleTo(window.get()));
  EXPECT_EQ(Text("mml1"), "boot     _B");
  Click(1, 2);
  EXPECT_EQ(Text("mml1"), "Свободный сектор!");
  Click(1, 0);
  EXPECT_FALSE(Find<QFrame>("trp1")->isVisibleTo(window.get())) << "track 0 has no owner text";
}

TEST_F(ClickTest, RawTrackIsShownEditableAndEditsEnableAccept) {
  TTrack& track = Disk().GetTrack(4);
  track.Present = true;
  track.RawValid = true;
  track.RawLength = 6250;
  track.RawData[6249] = 0x5A;
  Click(0, 4);
  ASSERT_EQ(Pane()->Size(), 6250);
  EXPECT_EQ(Pane()->Data()[6249], 0x5A);
  EXPECT_FALSE(Pane()->IsReadOnly());
  auto* accept = Find<QPushButton>("pnb1");
  EXPECT_FALSE(accept->isEnabled());
  Pane()->EditByte(0, 0x11);
  EXPECT_TRUE(accept->isEnabled());
}

// One right click per kind of cell; the state of every item after it. Items
// without an action are never enabled; every other item follows the cell,
// whatever it showed before.
class ContextMenuTest : public MainWindowTest {
 protected:
  static constexpr const char* kItems[] = {"z1",  "z2",  "z3",  "z4",  "z5",  "z6",  "z7",  "z8",  "z9",  "z10", "z11",
                                           "z12", "z13", "z14", "z15", "z16", "z17", "z18", "z19", "z22", "z23"};
  // Right-clicks (column, row) and returns the enabled and the visible items.
  std::pair<QStringList, QStringList> PopupAt(int column, int row) {
    for (const char* name : kItems) {
      Action(name)->setEnabled(true);  // stale states must not survive
      Action(name)->setVisible(true);
    }
    window->OnMapContextMenu(column, row);
    QStringList enabled;
    QStringList visible;
    for (const char* name : kItems) {
      if (Action(name)->isEnabled()) enabled << name;
      if (Action(name)->isVisible()) visible << name;
    }
    return {enabled, visible};
  }
  // The items that always show: the image operations.
  static QStringList Operations() {
    return {"z8", "z9", "z10", "z11", "z12", "z13", "z14", "z15", "z16", "z17", "z18", "z19", "z22"};
  }
};

TEST_F(ContextMenuTest, EachKindOfCell) {
  MakeMarkedTrdosDisk(Disk());
  Disk().GetTrack(3).Log = {"line"};
  Disk().GetTrack(5).RawLength = 100;
  Disk().GetTrack(7).Present = false;
  struct Case {
    int column;
    int row;
    QStringList enabled;
    QStringList shown;  // besides the image operations
  };
  const Case cases[] = {
      {-1, -1, {}, {}},                                               // outside the cells
      {0, 3, {"z8", "z12", "z14"}, {"z3", "z4", "z6", "z7"}},         // label, present track
      {0, 5, {"z8", "z12", "z14", "z22"}, {"z3", "z4", "z6", "z7"}},  // label, raw image
      {0, 7, {"z9"}, {}},                                             // label, absent track
      {5, 2, {"z10", "z23"}, {"z1", "z5", "z23"}},                    // used slot
      {17, 2, {"z11"}, {}},                                           // empty slot after the last used one
      {18, 2, {}, {}},                                                // the empty slot after that
      {3, 7, {}, {}},                                                 // slot of an absent track
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "cell " << c.column << ", " << c.row);
    auto [enabled, visible] = PopupAt(c.column, c.row);
    EXPECT_EQ(window->CurSector(), c.column);
    EXPECT_EQ(window->CurTrack(), c.row);
    EXPECT_EQ(enabled, c.enabled) << enabled.join(' ').toStdString();
    QStringList expected = Operations() + c.shown;
    expected.sort();
    visible.sort();
    EXPECT_EQ(visible, expected) << visible.join(' ').toStdString();
  }
  // Column 1 of an empty present track takes a new sector.
  Disk().GetTrack(161).Present = true;
  EXPECT_EQ(PopupAt(1, 161).first, QStringList{"z11"});
  // A disabled item tells why.
  PopupAt(5, 2);
  EXPECT_EQ(Action("z8")->toolTip(), "Щёлкните номер дорожки, входящей в образ");
  EXPECT_EQ(Action("z19")->toolTip(), "Недоступно в этой версии");
}

// The labels, the hex pane and the sector group always show the same cell:
// a right click moves all of them, outside the cells none of them.
TEST_F(ContextMenuTest, RightClickShowsTheCellInEveryPanel) {
  MakeMarkedTrdosDisk(Disk());
  Click(1, 1);
  window->OnMapContextMenu(6, 9);
  EXPECT_EQ(Text("l2"), "9");
  EXPECT_EQ(Text("l1"), "6");
  EXPECT_EQ(Text("an1"), "4");
  EXPECT_EQ(Pane()->Data()[0], 9) << "the marker of track 9";
  EXPECT_EQ(Pane()->Data()[1], 5) << "slot 5";
  window->OnMapContextMenu(-1, -1);
  EXPECT_EQ(Text("l2"), "9");
  EXPECT_EQ(Pane()->Data()[0], 9);
}

TEST_F(ContextMenuTest, ARightClickOnTheMapOpensTheMenuForThatCell) {
  MakeMarkedTrdosDisk(Disk());
  window->show();
  auto* menu = Find<QMenu>("pm1");
  const QPoint inside = Map()->CellRect(2, 1).center();
  QContextMenuEvent event(QContextMenuEvent::Mouse, inside, Map()->viewport()->mapToGlobal(inside));
  QApplication::sendEvent(Map()->viewport(), &event);
  EXPECT_EQ(window->CurSector(), 2);
  EXPECT_EQ(window->CurTrack(), 1);
  EXPECT_TRUE(menu->isVisible());
  menu->hide();
}

// "Вид": the map's zoom (kept in the settings, back at the next start, the
// map as wide as its columns) and its legend.
TEST_F(ClickTest, ViewMenuZoomsTheMapAndShowsTheLegend) {
  window->show();
  window->StartUp(dir.Path(), {});
  const int normal = Map()->width();
  Action("ZoomIn1")->trigger();
  Action("ZoomIn1")->trigger();
  QApplication::processEvents();
  EXPECT_EQ(Map()->Zoom(), 150);
  EXPECT_EQ(store.Read("MapZoom"), "150");
  EXPECT_GT(Map()->width(), normal);
  EXPECT_LE(Map()->width(), Map()->sizeHint().width());
  EXPECT_EQ(Action("ZoomIn1")->shortcut(), QKeySequence(QStringLiteral("Ctrl++")));
  EXPECT_EQ(Action("ZoomOut1")->shortcut(), QKeySequence(QStringLiteral("Ctrl+-")));

  auto* legend = Find<QWidget>("mapLegend");
  EXPECT_FALSE(legend->isVisible());
  Action("Legend1")->trigger();
  EXPECT_TRUE(legend->isVisible());
  EXPECT_TRUE(Action("Legend1")->isChecked());
  QStringList lines;
  for (auto* label : legend->findChildren<QLabel*>()) lines << label->text();
  for (Tile tile : kLegendTiles) EXPECT_TRUE(lines.contains(TileMeaning(tile))) << TileMeaning(tile).toStdString();
  Action("Legend1")->trigger();
  EXPECT_FALSE(legend->isVisible());

  TFMain next(prompts, store);
  next.StartUp(dir.Path(), {});
  EXPECT_EQ(next.findChild<DiskMap*>("zxd")->Zoom(), 150);
  Action("ZoomReset1")->trigger();
  EXPECT_EQ(store.Read("MapZoom"), "100");
}

}  // namespace
}  // namespace velloran::test
