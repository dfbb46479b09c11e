// The catalog entry editor EntryEditor, opened from the TR-DOS catalog window on a
// live and on a deleted entry: what its fields show and what an accepted
// edit stores on track 0.
#include "ui/entry_editor.h"

#include <gtest/gtest.h>

#include <cstring>

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "catalog_fixture.h"
#include "support/scripted_prompts.h"
#include "ui/trdos_catalog_window.h"
#include "ui/viewer_window.h"

namespace velloran {
namespace {

QLineEdit* Field(QDialog& dialog, const char* name) { return dialog.findChild<QLineEdit*>(QString::fromLatin1(name)); }

QStringList Fields(QDialog& dialog) {
  QStringList texts;
  for (const char* name : {"e1", "e2", "e3", "e4", "e5", "e6", "e7"}) texts << Field(dialog, name)->text();
  return texts;
}

class EntryEditorTest : public test::CatalogFixture {
 protected:
  EntryEditorTest() { window_.ShowCatalog(true); }

  // Selects a row (deleted entries shown) and runs "Редактировать заголовок".
  void EditRow(int row, ScriptedPrompts::WindowScript script) {
    QAction* showDeleted = window_.findChild<QMenu*>(QStringLiteral("pm1"))->findChild<QAction*>(QStringLiteral("N10"));
    if (!showDeleted->isChecked()) showDeleted->trigger();
    auto* list = window_.findChild<QTreeWidget*>(QStringLiteral("LV1"));
    list->clearSelection();
    list->topLevelItem(row)->setSelected(true);
    prompts_.QueueWindow(std::move(script));
    window_.OnEditEntry();
  }

  TrdosCatalogWindow window_{document_, prompts_, viewer_, editor_};
};

TEST_F(EntryEditorTest, LiveEntryShowsHexFieldsHighByteFirstAndStoresThemLowByteFirst) {
  QStringList shown;
  EditRow(2, [&](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Редактор элемента каталога");
    shown = Fields(dialog);
    Field(dialog, "e1")->setText(QStringLiteral("DELTA"));
    Field(dialog, "e2")->setText(QStringLiteral("C"));
    Field(dialog, "e3")->clear();
    QTest::keyClicks(Field(dialog, "e3"), QStringLiteral("8a0g1"));  // g is not a hex digit
    Field(dialog, "e7")->setText(QStringLiteral("2"));
    dialog.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
  });
  EXPECT_EQ(shown, (QStringList{"GAMMA   ", "B", "5CCB", "0200", "02", "08", "01"}));
  const std::uint8_t* entry = test::EntryBytes(disk_, 2);
  EXPECT_EQ(EntryName(2), "DELTA   ");
  EXPECT_EQ(entry[8], 'C');
  EXPECT_EQ(entry[9], 0x01);  // start 8A01, low byte first
  EXPECT_EQ(entry[10], 0x8A);
  EXPECT_EQ(entry[11], 0x00);  // length unchanged
  EXPECT_EQ(entry[12], 0x02);
  EXPECT_EQ(entry[15], 0x02);
  EXPECT_EQ(test::InfoSector(disk_)[0xE4], 4);  // counts untouched
  EXPECT_EQ(catalogs_.CatalogChanged, 1);
  auto* list = window_.findChild<QTreeWidget*>(QStringLiteral("LV1"));
  EXPECT_EQ(list->topLevelItem(2)->text(0), "DELTA   ");
  EXPECT_EQ(list->topLevelItem(2)->text(2), "8A01");
}

TEST_F(EntryEditorTest, DeletedEntryKeepsItsFirstByteWhileTheNameStartsWithAQuestionMark) {
  QString shownName;
  EditRow(1, [&](QDialog& dialog) {
    shownName = Field(dialog, "e1")->text();
    Field(dialog, "e1")->setText(QStringLiteral("?EXT"));
    dialog.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
  });
  EXPECT_EQ(shownName, "?ETA    ");
  EXPECT_EQ(test::EntryBytes(disk_, 1)[0], 0x01);
  EXPECT_EQ(EntryName(1).substr(1), "EXT    ");

  // Without the question mark the whole name is taken: the entry is live again.
  EditRow(1, [&](QDialog& dialog) {
    Field(dialog, "e1")->setText(QStringLiteral("ZETA"));
    dialog.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
  });
  EXPECT_EQ(EntryName(1), "ZETA    ");
}

TEST_F(EntryEditorTest, CancelChangesNothing) {
  const Bytes before(test::EntryBytes(disk_, 0), test::EntryBytes(disk_, 0) + 16);
  EditRow(0, [&](QDialog& dialog) {
    Field(dialog, "e1")->setText(QStringLiteral("OTHER"));
    dialog.findChild<QPushButton*>(QStringLiteral("BitBtn2"))->click();
  });
  EXPECT_EQ(Bytes(test::EntryBytes(disk_, 0), test::EntryBytes(disk_, 0) + 16), before);
  EXPECT_EQ(catalogs_.CatalogChanged, 0);
}

}  // namespace
}  // namespace velloran
