#include "ui/hex_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

#include "support/test_support.h"

namespace velloran {
namespace {

Bytes Counting(int size) {
  Bytes data(size);
  for (int i = 0; i < size; ++i) data[i] = static_cast<std::uint8_t>(i);
  return data;
}

TEST(HexView, OffsetsGrowWithTheBuffer) {
  HexView view;
  view.SetData(Counting(256));
  EXPECT_EQ(view.OffsetText(0), "0000:");
  EXPECT_EQ(view.OffsetText(15), "00F0:");
  view.SetData(Counting(6256));
  EXPECT_EQ(view.OffsetText(390), "1860:");
  view.SetData(Counting(70000));
  EXPECT_EQ(view.OffsetText(4096), "10000:");
}

TEST(HexView, ReadOnlyRefusesEditsAndEditableMarksThem) {
  HexView view;
  view.SetData(Counting(32));
  QSignalSpy changed(&view, &HexView::ByteChanged);
  EXPECT_TRUE(view.IsReadOnly());
  EXPECT_FALSE(view.EditByte(3, 0xAA));
  EXPECT_EQ(view.Data()[3], 3);
  view.SetReadOnly(false);
  EXPECT_TRUE(view.EditByte(3, 0xAA));
  EXPECT_FALSE(view.EditByte(32, 0xAA));
  EXPECT_EQ(view.Data()[3], 0xAA);
  EXPECT_TRUE(view.IsChanged(3));
  EXPECT_FALSE(view.IsChanged(4));
  ASSERT_EQ(changed.count(), 1);
  EXPECT_EQ(changed.at(0).at(0).toInt(), 3);
  view.ClearChangeMarks();
  EXPECT_FALSE(view.AnyChanged());
  view.EditByte(0, 1);
  view.SetData(Counting(8));
  EXPECT_FALSE(view.AnyChanged()) << "a new buffer starts without marks";
}

TEST(HexView, TypingHexDigitsAndCp1251Characters) {
  HexView view;
  view.resize(600, 300);
  view.SetData(Bytes(20, 0));
  view.SetReadOnly(false);
  view.SetCurrentPosition(4);
  QTest::keyClick(&view, Qt::Key_4);
  EXPECT_EQ(view.Data()[4], 0x40);
  EXPECT_EQ(view.CurrentPosition(), 4) << "the first digit sets the high nibble only";
  QTest::keyClick(&view, Qt::Key_F);
  EXPECT_EQ(view.Data()[4], 0x4F);
  EXPECT_EQ(view.CurrentPosition(), 5);
  QTest::keyClick(&view, Qt::Key_Tab);
  EXPECT_TRUE(view.EditingCharacters());
  for (const QString& text : {QStringLiteral("Ж"), QStringLiteral("z")}) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(&view, &press);
  }
  EXPECT_EQ(view.Data()[5], 0xC6);  // Ж in Windows-1251
  EXPECT_EQ(view.Data()[6], 'z');
  EXPECT_EQ(view.CurrentPosition(), 7);
  QTest::keyClick(&view, Qt::Key_Down);
  EXPECT_EQ(view.CurrentPosition(), 19) << "moving stops at the last byte";
}

TEST(HexView, CopyToNeverWritesPastTheGivenLength) {
  HexView view;
  view.SetData(Counting(300));
  std::uint8_t target[512];
  std::fill(std::begin(target), std::end(target), 0xEE);
  EXPECT_EQ(view.CopyTo(target, 256), 256u);
  EXPECT_EQ(target[255], 255);
  EXPECT_EQ(target[256], 0xEE);
  EXPECT_EQ(view.CopyTo(target, 512), 300u);
  EXPECT_EQ(target[299], 299 & 0xFF);
  EXPECT_EQ(target[300], 0xEE);
}

TEST(HexView, SavesItsBufferAndClearsTheMarks) {
  test::ScratchDir dir;
  HexView view;
  view.SetData(Counting(256));
  view.SetReadOnly(false);
  view.EditByte(0, 0x99);
  std::string error;
  ASSERT_TRUE(view.SaveToFile(dir / "s.sec", error)) << error;
  Bytes expected = Counting(256);
  expected[0] = 0x99;
  EXPECT_EQ(test::ReadFileBytes(dir / "s.sec"), expected);
  EXPECT_FALSE(view.AnyChanged());
  view.EditByte(1, 0x77);
  EXPECT_FALSE(view.SaveToFile(dir / "missing" / "s.sec", error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(view.IsChanged(1)) << "a failed save keeps the marks";
}

TEST(HexView, DrawsTheCurrentAndChangedBytesInTheirColours) {
  HexView view;
  view.resize(700, 300);
  view.show();
  view.SetData(Counting(64));
  view.SetReadOnly(false);
  view.EditByte(20, 0x55);
  view.SetCurrentPosition(2);
  const QImage image = view.viewport()->grab().toImage();
  const QRect current = view.ByteCellRect(2, false);
  const QRect changed = view.ByteCellRect(20, false);
  const QRect changedChar = view.ByteCellRect(20, true);
  EXPECT_EQ(image.pixelColor(current.left() + 1, current.top() + 1), QColor(0x80, 0, 0));
  EXPECT_EQ(image.pixelColor(changed.left() + 1, changed.top() + 1), QColor(0xFF, 0xFF, 0xA8));
  EXPECT_EQ(image.pixelColor(changedChar.left() + 1, changedChar.top() + 1), QColor(0xFF, 0xFF, 0xA8));
  // Byte texts: even columns navy, odd columns blue.
  auto hasColour = [&](const QRect& cell, const QColor& colour) {
    for (int y = cell.top(); y <= cell.bottom(); ++y)
      for (int x = cell.left(); x <= cell.right(); ++x)
        if (image.pixelColor(x, y) == colour) return true;
    return false;
  };
  EXPECT_TRUE(hasColour(view.ByteCellRect(16, false), QColor(0, 0, 0x80)));
  EXPECT_FALSE(hasColour(view.ByteCellRect(16, false), QColor(0, 0, 0xFF)));
  EXPECT_TRUE(hasColour(view.ByteCellRect(17, false), QColor(0, 0, 0xFF)));
}

}  // namespace
}  // namespace velloran
