// The viewers' decoding: the screen picture, KOI-8 to ALT and text lines.
#include <gtest/gtest.h>

#include "support/test_support.h"
#include "trdos/screen.h"
#include "trdos/text_view.h"

namespace velloran {
namespace {

TEST(Screen, AttributesChooseInkAndPaperWithBrightness) {
  Bytes screen(6912, 0);
  std::fill(screen.begin() + 6144, screen.end(), 0x47);
  screen[0] = 0x80;  // the leftmost pixel of row 0
  ScreenImage image = DecodeScreen(screen);
  EXPECT_EQ(image.Width, 256);
  EXPECT_EQ(image.Height, 192);
  EXPECT_EQ(image.Pixel(0, 0), (RgbColor{0xFF, 0xFF, 0xFF}));  // bright white ink
  EXPECT_EQ(image.Pixel(1, 0), (RgbColor{0x00, 0x00, 0x00}));  // black paper

  std::fill(screen.begin() + 6144, screen.end(), 0x38);
  image = DecodeScreen(screen);
  EXPECT_EQ(image.Pixel(0, 0), (RgbColor{0x00, 0x00, 0x00}));
  EXPECT_EQ(image.Pixel(1, 0), (RgbColor{0xE4, 0xE4, 0xE4}));  // white paper, not bright

  std::fill(screen.begin() + 6144, screen.end(), 0xD1);  // flash, bright, paper red, ink blue
  image = DecodeScreen(screen);
  EXPECT_EQ(image.Pixel(0, 0), (RgbColor{0x5F, 0x88, 0xF3}));
  EXPECT_EQ(image.Pixel(1, 0), (RgbColor{0xFA, 0x58, 0x5C}));
}

TEST(Screen, RowsFollowTheInterleavedOrder) {
  EXPECT_EQ(ScreenPixelOffset(8, 0), 0x0020);
  EXPECT_EQ(ScreenPixelOffset(1, 0), 0x0100);
  EXPECT_EQ(ScreenPixelOffset(64, 0), 0x0800);
  EXPECT_EQ(ScreenPixelOffset(191, 31), 0x17FF);
  Bytes screen(6912, 0);
  std::fill(screen.begin() + 6144, screen.end(), 0x07);
  screen[0x0020] = 0xFF;
  screen[0x0100 + 5] = 0x01;
  const ScreenImage image = DecodeScreen(screen);
  EXPECT_EQ(image.Pixel(0, 8), ScreenPalette[7]);
  EXPECT_EQ(image.Pixel(0, 1), ScreenPalette[0]);
  EXPECT_EQ(image.Pixel(5 * 8 + 7, 1), ScreenPalette[7]);
  // Each byte lands on exactly one row: the offsets are a permutation.
  std::vector<int> seen(6144, 0);
  for (int y = 0; y < 192; ++y)
    for (int x = 0; x < 32; ++x) ++seen[ScreenPixelOffset(y, x)];
  EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), 6144);
}

TEST(Screen, AttributeCellsAreEightByEight) {
  Bytes screen(6912, 0xFF);
  screen[6144 + 32 + 1] = 0x02;  // cell (1, 1): red ink
  const ScreenImage image = DecodeScreen(screen);
  EXPECT_EQ(image.Pixel(8, 8), ScreenPalette[2]);
  EXPECT_EQ(image.Pixel(15, 15), ScreenPalette[2]);
  EXPECT_EQ(image.Pixel(16, 15), ScreenPalette[15]);                 // attribute 0xFF: bright white ink
  EXPECT_EQ(DecodeScreen(Bytes(10, 0)).Rgb.size(), 256u * 192 * 3);  // short input reads as zeros
}

TEST(Koi8ToAltTable, ConvertsTheExampleWord) {
  const std::string koi = "\xF0\xD2\xC9\xD7\xC5\xD4";
  EXPECT_EQ(ConvertKoi8ToAlt(koi), "\x8F\xE0\xA8\xA2\xA5\xE2");
  EXPECT_EQ(Koi8ToAlt[0x41], 0x41);
  EXPECT_EQ(Koi8ToAlt[0x80], 0xB0);
  EXPECT_EQ(Koi8ToAlt[0xAF], 0xDF);
  EXPECT_EQ(Koi8ToAlt[0xB0], 0xF0);
  EXPECT_EQ(Koi8ToAlt[0xBF], 0xFF);
  EXPECT_EQ(Koi8ToAlt[0xC1], 0xA0);
  EXPECT_EQ(Koi8ToAlt[0xE1], 0x80);
  // Converting twice converts twice.
  EXPECT_EQ(ConvertKoi8ToAlt(ConvertKoi8ToAlt("\xC1")), "\xD0");
}

TEST(Koi8ToAltTable, LettersAgreeWithIconv) {
  if (!test::HaveProgram("iconv")) GTEST_SKIP() << "iconv is not installed";
  test::ScratchDir dir;
  Bytes letters;
  for (int b = 0xC0; b <= 0xFF; ++b) letters.push_back(static_cast<std::uint8_t>(b));
  test::WriteFileBytes(dir / "koi", letters);
  const auto result = test::RunProgram("iconv", {"-f", "KOI8-R", "-t", "CP866", (dir / "koi").string()});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  ASSERT_EQ(result.out.size(), 64u);
  for (int i = 0; i < 64; ++i)
    EXPECT_EQ(Koi8ToAlt[0xC0 + i], static_cast<std::uint8_t>(result.out[i])) << std::hex << 0xC0 + i;
}

TEST(TextLines, LinesEndAtCrLfOrCrLfAndTextAtZero) {
  const std::string text = std::string("one\r\ntwo\rthree\nfour\n\nfive") + '\0' + "hidden\n";
  const auto lines = SplitTextLines(ByteSpan(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "three", "four", "", "five"}));
  const std::string crcr = "a\r\rb";
  EXPECT_EQ(SplitTextLines(ByteSpan(reinterpret_cast<const std::uint8_t*>(crcr.data()), crcr.size())),
            (std::vector<std::string>{"a", "", "b"}));
  EXPECT_TRUE(SplitTextLines(Bytes{0, 'x'}).empty());
}

}  // namespace
}  // namespace velloran
