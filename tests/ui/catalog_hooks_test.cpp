// The main window's commands open the catalog windows through their hooks:
// "Просмотреть ZX каталог" (editable, raw images refreshed after a change),
// "Считать ZX каталог"'s window without a context menu, and
// "Просмотреть CP/M каталог" only for a disk with 5 or 6 sectors on track 0.
#include <algorithm>

#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

#include "cpm/cpm_disk.h"
#include "trdos_test_disk.h"
#include "ui/cpm_catalog_window.h"
#include "ui/trdos_catalog_window.h"
#include "ui_fixture.h"

namespace velloran {
namespace {

class CatalogHooks : public test::MainWindowTest {};

TEST_F(CatalogHooks, ZxCatalogOpensEditableAndItsChangesReachTheDisk) {
  test::MakeTestDisk(Disk());
  Disk().CountTracks();
  // Track 0 with a raw image holding catalog sector 1 from byte 100 on.
  TTrack& track0 = Disk().GetTrack(0);
  track0.CountSectors();
  track0.RawValid = true;
  track0.RawLength = 6256;
  track0.Sectors[0].DataPos = 100;
  std::copy_n(track0.Sectors[0].Data.begin(), 256, track0.RawData.begin() + 100);
  int rows = -1;
  prompts.QueueWindow([&](QDialog& dialog) {
    auto& catalog = dynamic_cast<TrdosCatalogWindow&>(dialog);
    auto* list = catalog.findChild<QTreeWidget*>(QStringLiteral("LV1"));
    rows = list->topLevelItemCount();
    EXPECT_EQ(list->contextMenuPolicy(), Qt::CustomContextMenu);
    list->topLevelItem(2)->setSelected(true);  // SCREEN, the last file
    prompts.QueueAnswer(PromptAnswer::Yes);
    catalog.OnDeleteFiles();
    catalog.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
  });
  window->RefreshItems("N1");  // the image menu opens
  Action("N26")->trigger();
  EXPECT_EQ(rows, 3);
  EXPECT_EQ(window->Catalogs().CatalogChanged, 1);
  EXPECT_EQ(test::EntryBytes(Disk(), 3)[0], 0x00);  // the last file is erased
  EXPECT_EQ(test::InfoSector(Disk())[0xE4], 3);
  EXPECT_EQ(track0.RawData[100 + 3 * 16], 0x00);  // copied into the raw image after closing
  EXPECT_EQ(track0.RawData[100 + 3 * 16 + 1], 'C');

  // A second opening reuses the window and clears the changed flag.
  prompts.QueueWindow([](QDialog& dialog) { dialog.reject(); });
  Action("N26")->trigger();
  EXPECT_EQ(window->Catalogs().CatalogChanged, 0);
  EXPECT_EQ(window->findChildren<TrdosCatalogWindow*>().size(), 1);
}

TEST_F(CatalogHooks, NotATrdosDiskIsRefused) {
  MakeCpmDisk(Disk());
  window->RefreshItems("N1");
  Action("N26")->trigger();
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(prompts.Messages()[0].text, "Образ не соответствует стандартному TR-DOS диску!");
}

TEST_F(CatalogHooks, CpmCatalogOpensModelessOnlyForACpmDisk) {
  test::MakeTestDisk(Disk());
  window->RefreshItems("N1");
  Action("CPM1")->trigger();
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(prompts.Messages()[0].text, "Образ не соответствует CP/M диску!");
  EXPECT_EQ(prompts.Messages()[0].caption, "Ошибка!");
  EXPECT_EQ(window->findChild<CpmCatalogWindow*>(), nullptr);

  MakeCpmDisk(Disk());
  window->RefreshItems("N1");
  Action("CPM1")->trigger();
  auto* catalog = window->findChild<CpmCatalogWindow*>(QStringLiteral("T_cCat"));
  ASSERT_NE(catalog, nullptr);
  EXPECT_TRUE(catalog->isVisible());
  EXPECT_FALSE(catalog->isModal());
  // An empty CP/M disk: no files, the directory's 4 kB used.
  auto label = [&](const char* name) { return catalog->findChild<QLabel*>(QString::fromLatin1(name))->text(); };
  EXPECT_EQ(catalog->findChild<QTreeWidget*>(QStringLiteral("LV1"))->topLevelItemCount(), 0);
  EXPECT_EQ(label("l5"), "4 кБ");
  EXPECT_EQ(label("l4"), "796 кБ");
  EXPECT_EQ(label("l7"), "Profi CP/M");

  // The Amstrad formats open too, read by their own definition.
  MakeCpmDisk(Disk(), *FindCpmDefinition("cpcdata"));
  Action("CPM1")->trigger();
  EXPECT_EQ(label("l7"), "Amstrad CPC Data");
  EXPECT_EQ(label("l5"), "2 кБ");
  EXPECT_EQ(label("l4"), "178 кБ");
  catalog->close();
}

}  // namespace
}  // namespace velloran
