// Pictures of the catalog windows, the entry editor and each viewer face as
// a person sees them, written as PNG files for a look by eye into
// $VELLORAN_SCREENSHOTS, or "screenshots" in the working folder. The checks here only make sure the
// pictures show the window's content where it belongs.
#include <gtest/gtest.h>

#include <cstring>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QTreeWidget>

#include "catalog_fixture.h"
#include "cpm/cpm_disk.h"
#include "support/scripted_prompts.h"
#include "ui/cpm_catalog_window.h"
#include "ui/entry_editor.h"
#include "ui/trdos_catalog_window.h"
#include "ui/viewer_window.h"

namespace velloran {
namespace {

QImage Shoot(QWidget& widget, const QString& name) {
  widget.show();
  QApplication::processEvents();
  const QImage image = widget.grab().toImage();
  QString folder = qEnvironmentVariable("VELLORAN_SCREENSHOTS");
  if (folder.isEmpty()) folder = QDir::current().filePath(QStringLiteral("screenshots"));
  QDir().mkpath(folder);
  EXPECT_TRUE(image.save(folder + QLatin1Char('/') + name + QStringLiteral(".png")));
  widget.hide();
  return image;
}

// Colour bars: paper by column, ink the opposite colour, bright in the
// lower half, a diagonal line pattern in the pixels.
Bytes ColourBars() {
  Bytes screen(6912);
  for (int offset = 0; offset < 6144; ++offset) screen[offset] = static_cast<std::uint8_t>(0x80 >> (offset % 8));
  for (int cell = 0; cell < 768; ++cell) {
    const int paper = (cell % 32) / 4;
    const int bright = cell >= 384 ? 0x40 : 0;
    screen[6144 + cell] = static_cast<std::uint8_t>(bright | paper << 3 | (7 - paper));
  }
  return screen;
}

using CatalogScreenshots = test::CatalogFixture;

TEST_F(CatalogScreenshots, TrdosCatalogAndEntryEditor) {
  TrdosCatalogWindow window(document_, prompts_, viewer_, editor_);
  window.ShowCatalog(true);
  window.findChild<QMenu*>(QStringLiteral("pm1"))->findChild<QAction*>(QStringLiteral("N10"))->trigger();
  window.findChild<QTreeWidget*>(QStringLiteral("LV1"))->topLevelItem(2)->setSelected(true);
  const QImage picture = Shoot(window, QStringLiteral("trdos_catalog"));
  EXPECT_EQ(picture.size(), window.size() * window.devicePixelRatio());

  editor_.SetFields(EntryEditorFieldsOf(catalogs_.SharedCatalog.Entries[1]));
  Shoot(editor_, QStringLiteral("entry_editor"));
}

TEST_F(CatalogScreenshots, ViewerFaces) {
  viewer_.PrepareScreen(ColourBars());
  const QImage screen = Shoot(viewer_, QStringLiteral("viewer_screen"));
  // The picture starts one pixel in; the window's own background is around it.
  EXPECT_NE(screen.pixelColor(0, 0), QColor(0, 0, 0));
  EXPECT_EQ(screen.pixelColor(1 + 1, 1 + 1), QColor(0, 0, 0));  // black paper, top left
  // The last pixel byte (offset 6143) has only its lowest bit set: bright
  // white paper, then black ink in the very last pixel.
  EXPECT_EQ(screen.pixelColor(1 + 248, 1 + 191), QColor(0xFF, 0xFF, 0xFF));
  EXPECT_EQ(screen.pixelColor(1 + 255, 1 + 191), QColor(0, 0, 0));

  Bytes counting(700);
  for (std::size_t i = 0; i < counting.size(); ++i) counting[i] = static_cast<std::uint8_t>(i);
  viewer_.PrepareHex(counting, false);
  Shoot(viewer_, QStringLiteral("viewer_hex"));

  const std::string text = "Profi CP/M text file\r\nSecond line\r\n\xF0\xD2\xC9\xD7\xC5\xD4, \xED\xC9\xD2!\r\n";
  viewer_.PrepareText(Bytes(text.begin(), text.end()));
  viewer_.OnConvertKoi8();
  Shoot(viewer_, QStringLiteral("viewer_text"));
}

TEST_F(CatalogScreenshots, CpmCatalog) {
  MakeCpmDisk(disk_);
  // Two files of user 0 written by hand into the first directory sector.
  std::uint8_t* directory = disk_.GetSector(0, 0).Data.data();
  const char* names[] = {"README  TXT", "GAME    COM"};
  const std::uint8_t records[] = {19, 0x80};
  std::memset(directory, 0xE5, 1024);
  for (int i = 0; i < 2; ++i) {
    std::uint8_t* entry = directory + i * 32;
    std::memset(entry, 0, 32);
    std::memcpy(entry + 1, names[i], 11);
    entry[15] = records[i];
    entry[16] = static_cast<std::uint8_t>(2 + i * 2);
  }
  CpmCatalogWindow window(document_, prompts_, viewer_);
  window.ListDirectory();
  const QImage picture = Shoot(window, QStringLiteral("cpm_catalog"));
  EXPECT_FALSE(picture.isNull());
  EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("l6"))->text(), "2");

  // The longest definition title the group shows.
  MakeCpmDisk(disk_, *FindCpmDefinition("plus3"));
  window.ListDirectory();
  Shoot(window, QStringLiteral("cpm_catalog_plus3"));
  EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("l7"))->text(), "Spectrum +3 / Amstrad PCW");
}

}  // namespace
}  // namespace velloran
