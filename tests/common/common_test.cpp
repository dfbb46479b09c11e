#include <gtest/gtest.h>

#include <filesystem>
#include <system_error>
#include <vector>

#include "common/bytes.h"
#include "common/codepages.h"
#include "common/file_io.h"
#include "common/file_replace.h"
#include "common/system.h"
#include "common/utf8_path.h"
#include "support/test_support.h"

namespace velloran {
namespace {

using test::Contains;

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
  EXPECT_EQ(test::EntriesIn(dir.Path()), 1);
}

// A file given as pieces comes out as their concatenation, in order: more
// pieces than one gathering write takes, empty ones, and one block used for
// many pieces (as the zeros of unwritten sectors are).
TEST(FileIo, PiecesAreWrittenInOrder) {
  test::ScratchDir dir;
  const Bytes shared(256, 0);
  std::vector<Bytes> own;
  for (int i = 0; i < 3000; ++i) own.push_back(Bytes(static_cast<std::size_t>(i % 7), static_cast<std::uint8_t>(i)));
  std::vector<ByteSpan> pieces;
  Bytes expected;
  for (int i = 0; i < 3000; ++i) {
    const Bytes& piece = i % 3 == 0 ? shared : own[static_cast<std::size_t>(i)];
    pieces.emplace_back(piece);
    expected.insert(expected.end(), piece.begin(), piece.end());
  }
  std::string error;
  ASSERT_TRUE(WriteFileAtomic(dir / "pieces.trd", BytePieces(pieces), error)) << error;
  EXPECT_EQ(test::ReadFileBytes(dir / "pieces.trd"), expected);
}

// A failed save keeps the old file and says why.
TEST(FileIo, FailedWriteKeepsTheOldFileAndSaysWhy) {
  test::ScratchDir dir;
  std::string error;
  EXPECT_FALSE(WriteFileAtomic(dir / "missing" / "disk.trd", Bytes{1}, error));
  EXPECT_TRUE(Contains(error, "Ошибка создания файла")) << error;
  EXPECT_TRUE(Contains(error, "disk.trd")) << error;

  // A folder in the way: the write fails, the folder stays.
  const auto blocked = dir / "blocked";
  std::filesystem::create_directories(blocked / "inside");
  EXPECT_FALSE(WriteFileAtomic(blocked, Bytes{1}, error));
  EXPECT_TRUE(Contains(error, "blocked")) << error;
  EXPECT_TRUE(std::filesystem::is_directory(blocked / "inside"));
}

// Temporary names are cut to fit the name limit, stay unique and
// recognisable, and never split a letter.
TEST(FileIo, TemporaryNamesFitTheLimitAndAreRecognised) {
  const std::string longName = std::string(246, 'x') + ".trd";
  const std::string cyrillic = std::string(210, 'y') + "дд.trd";
  for (const auto& name : {longName, cyrillic, std::string("a.trd")}) {
    const std::string unique = MakeUniquePart(4194999);
    const auto temporary = TemporaryNames(name, 255).Make(unique);
    EXPECT_LE(temporary.size(), 255u) << name;
    EXPECT_EQ(TemporaryNames(name, 255).UniquePartOf(temporary), unique) << name;
  }
  // The cut falls inside "д": the whole letter goes.
  EXPECT_EQ(TemporaryNames(cyrillic, 255).Make("1-0").substr(0, 212), "." + std::string(210, 'y') + ".");
  // Two names that differ only past the cut get different temporaries.
  EXPECT_FALSE(TemporaryNames(longName + "b", 255).UniquePartOf(TemporaryNames(longName + "a", 255).Make("1-0")));
}

// The temporaries of killed saves of a file are removed at its next save,
// those of other files and of running saves kept.
TEST(FileIo, KilledSavesAreCleanedUp) {
  test::ScratchDir dir;
  const std::string diskName = "Диск.trd";
  const TemporaryNames names(diskName, 255);
  const std::string killed1 = names.Make("99999999-0000abcd");
  const std::string killed2 = names.Make("99999998-00001234");
  const std::string running = names.Make(MakeUniquePart(CurrentProcessId()));
  const std::string otherFile = TemporaryNames("other.trd", 255).Make("99999999-0000abcd");
  for (const auto& name : {killed1, killed2, running, otherFile})
    test::WriteFileBytes(dir.Path() / PathFromUtf8(name), Bytes{0});
  std::string error;
  ASSERT_TRUE(WriteFileAtomic(dir.Path() / PathFromUtf8(diskName), Bytes{3}, error)) << error;
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / PathFromUtf8(killed1)));
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / PathFromUtf8(killed2)));
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / PathFromUtf8(running)));
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / PathFromUtf8(otherFile)));
}

// A batch sweeps its output folder once: the temporaries of killed saves of
// any file go, those of running saves and files that only look alike stay.
TEST(FileIo, SaveBatchSweepsTheFolderOnce) {
  test::ScratchDir dir;
  const std::string killed1 = TemporaryNames("Диск.udi", 255).Make("99999999-0000abcd");
  const std::string killed2 = TemporaryNames(std::string(246, 'x') + ".udi", 255).Make("99999998-00001234");
  const std::string running = TemporaryNames("b.udi", 255).Make(MakeUniquePart(CurrentProcessId()));
  const std::string lookalikes[] = {".b.udi.99999999-0000abcd.velloran-tmp", "b.udi.0badcafe.99999999-0.velloran-tmp",
                                    ".b.udi.0badcafe.99999999-0.tmp"};
  for (const auto& name : {killed1, killed2, running}) test::WriteFileBytes(dir.Path() / PathFromUtf8(name), Bytes{0});
  for (const auto& name : lookalikes) test::WriteFileBytes(dir.Path() / name, Bytes{0});
  {
    const SaveBatchFolder batch(dir.Path());
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / PathFromUtf8(killed1)));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / PathFromUtf8(killed2)));
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / PathFromUtf8(running)));
    for (const auto& name : lookalikes) EXPECT_TRUE(std::filesystem::exists(dir.Path() / name)) << name;
    // Saves under way do not list the folder again.
    const std::string killedLater = TemporaryNames("c.udi", 255).Make("99999997-00000001");
    test::WriteFileBytes(dir.Path() / PathFromUtf8(killedLater), Bytes{0});
    std::string error;
    ASSERT_TRUE(WriteFileAtomic(dir.Path() / "c.udi", Bytes{3}, error)) << error;
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / PathFromUtf8(killedLater)));
  }
  // Without the batch the save of the file cleans up after its killed saves.
  std::string error;
  ASSERT_TRUE(WriteFileAtomic(dir.Path() / "c.udi", Bytes{4}, error)) << error;
  EXPECT_EQ(test::EntriesIn(dir.Path()), 5);
}

TEST(FileIo, ReadWholeFileSaysWhyItRefuses) {
  test::ScratchDir dir;
  ReadFailure failure = ReadFailure::None;
  EXPECT_FALSE(ReadWholeFile(dir / "none", &failure).has_value());
  EXPECT_EQ(failure, ReadFailure::NotFound);
  EXPECT_FALSE(ReadWholeFile(dir.Path(), &failure).has_value());
  EXPECT_EQ(failure, ReadFailure::NotRegularFile);
  test::WriteFileBytes(dir / "big", Bytes{});
  std::filesystem::resize_file(dir / "big", kMaxImageFileSize + 1);  // sparse: no disk space used
  EXPECT_FALSE(ReadWholeFile(dir / "big", &failure).has_value());
  EXPECT_EQ(failure, ReadFailure::TooLarge);
  test::WriteFileBytes(dir / "empty", Bytes{});
  const auto empty = ReadWholeFile(dir / "empty", &failure);
  ASSERT_TRUE(empty.has_value());
  EXPECT_TRUE(empty->empty());
  EXPECT_EQ(failure, ReadFailure::None);
}

}  // namespace
}  // namespace velloran
