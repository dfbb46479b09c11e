#include <gtest/gtest.h>

#include <filesystem>

#include "common/bytes.h"
#include "common/codepages.h"
#include "common/file_io.h"
#include "support/test_support.h"

namespace velloran {
namespace {

TEST(CodePages, KnownLettersOfEachPage) {
  // "Д" is 0xC4 in Windows-1251, 0x84 in CP866 and 0xE4 in KOI8-R.
  EXPECT_EQ(ToUtf8(CodePage::Cp1251, "\xC4"), "Д");
  EXPECT_EQ(ToUtf8(CodePage::Cp866, "\x84"), "Д");
  EXPECT_EQ(ToUtf8(CodePage::Koi8r, "\xE4"), "Д");
  EXPECT_EQ(ToUtf8(CodePage::Cp1251, "\xB8"), "ё");
  EXPECT_EQ(FromUtf8(CodePage::Cp1251, "Создан: 1"), "\xD1\xEE\xE7\xE4\xE0\xED: 1");
}

TEST(CodePages, EveryByteSurvivesARoundTripWhereThePageDefinesIt) {
  for (CodePage page : {CodePage::Cp1251, CodePage::Cp866, CodePage::Koi8r}) {
    for (int b = 0; b < 256; ++b) {
      const std::string byte(1, static_cast<char>(b));
      if (ByteToUnicode(page, static_cast<std::uint8_t>(b)) == 0xFFFD) continue;  // 0x98 of 1251
      EXPECT_EQ(FromUtf8(page, ToUtf8(page, byte)), byte) << static_cast<int>(page) << " " << b;
    }
  }
}

TEST(CodePages, CharactersOutsideThePageAndBrokenUtf8BecomeQuestionMarks) {
  EXPECT_EQ(FromUtf8(CodePage::Cp866, "€"), "?");
  EXPECT_EQ(FromUtf8(CodePage::Cp1251, std::string("a\xC3", 2)), "a?");
}

TEST(ByteReader, NeverReadsPastTheEnd) {
  const Bytes data = {1, 2, 3};
  ByteReader reader(data);
  std::uint16_t word = 0;
  std::uint32_t dword = 0;
  EXPECT_TRUE(reader.U16(word));
  EXPECT_EQ(word, 0x0201);
  EXPECT_FALSE(reader.U16(word));
  EXPECT_FALSE(reader.U32(dword));
  std::uint8_t byte = 0;
  EXPECT_TRUE(reader.U8(byte));
  EXPECT_EQ(byte, 3);
  EXPECT_FALSE(reader.U8(byte));
  EXPECT_FALSE(reader.Skip(1));
}

TEST(FileIo, AtomicWriteReplacesTheFileAndLeavesNoTemporary) {
  test::ScratchDir dir;
  const auto file = dir / "disk.trd";
  test::WriteFileBytes(file, Bytes{9, 9});
  std::string error;
  ASSERT_TRUE(WriteFileAtomic(file, Bytes{1, 2, 3}, error)) << error;
  EXPECT_EQ(test::ReadFileBytes(file), (Bytes{1, 2, 3}));
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) ++entries;
  EXPECT_EQ(entries, 1);
}

TEST(FileIo, FailedWriteKeepsTheOldFile) {
  test::ScratchDir dir;
  std::string error;
  EXPECT_FALSE(WriteFileAtomic(dir / "missing" / "disk.trd", Bytes{1}, error));
  EXPECT_FALSE(error.empty());

  // A folder in the way of the rename: the write fails, the folder stays.
  const auto blocked = dir / "blocked";
  std::filesystem::create_directories(blocked / "inside");
  EXPECT_FALSE(WriteFileAtomic(blocked, Bytes{1}, error));
  EXPECT_TRUE(std::filesystem::is_directory(blocked / "inside"));
}

TEST(FileIo, ReadWholeFileRefusesWhatIsNotARegularFile) {
  test::ScratchDir dir;
  EXPECT_FALSE(ReadWholeFile(dir / "none").has_value());
  EXPECT_FALSE(ReadWholeFile(dir.Path()).has_value());
  test::WriteFileBytes(dir / "empty", Bytes{});
  const auto empty = ReadWholeFile(dir / "empty");
  ASSERT_TRUE(empty.has_value());
  EXPECT_TRUE(empty->empty());
}

}  // namespace
}  // namespace velloran
