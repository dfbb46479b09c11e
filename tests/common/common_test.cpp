#include <gtest/gtest.h>

#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/bytes.h"
#include "common/codepages.h"
#include "common/file_io.h"
#include "common/file_replace.h"
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

int EntriesIn(const std::filesystem::path& folder) {
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++entries;
  return entries;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct stat StatOf(const std::filesystem::path& file) {
  struct stat result {};
  EXPECT_EQ(::stat(file.c_str(), &result), 0) << file;
  return result;
}

TEST(FileIo, AtomicWriteReplacesTheFileAndLeavesNoTemporary) {
  test::ScratchDir dir;
  const auto file = dir / "disk.trd";
  test::WriteFileBytes(file, Bytes{9, 9});
  std::string error;
  ASSERT_TRUE(WriteFileAtomic(file, Bytes{1, 2, 3}, error)) << error;
  EXPECT_EQ(test::ReadFileBytes(file), (Bytes{1, 2, 3}));
  EXPECT_EQ(EntriesIn(dir.Path()), 1);
}

// Failures keep the old file and say why, with the system's reason.
TEST(FileIo, FailedWriteKeepsTheOldFileAndSaysWhy) {
  test::ScratchDir dir;
  std::string error;
  EXPECT_FALSE(WriteFileAtomic(dir / "missing" / "disk.trd", Bytes{1}, error));
  EXPECT_TRUE(Contains(error, "Ошибка создания файла")) << error;
  EXPECT_TRUE(Contains(error, std::system_category().message(ENOENT))) << error;

  // A folder in the way: the write fails, the folder stays.
  const auto blocked = dir / "blocked";
  std::filesystem::create_directories(blocked / "inside");
  EXPECT_FALSE(WriteFileAtomic(blocked, Bytes{1}, error));
  EXPECT_TRUE(Contains(error, std::system_category().message(EISDIR))) << error;
  EXPECT_TRUE(std::filesystem::is_directory(blocked / "inside"));
}

// The replaced file keeps its mode and, where the process may, its owner and
// group; a read-only file is refused and left as it was.
TEST(FileIo, SaveKeepsModeAndOwnerAndRefusesReadOnlyFiles) {
  test::ScratchDir dir;
  const auto file = dir / "disk.trd";
  std::string error;
  for (const mode_t mode : {0600, 0640, 0664, 0604}) {
    test::WriteFileBytes(file, Bytes{9});
    ASSERT_EQ(::chmod(file.c_str(), mode), 0);
    ASSERT_TRUE(WriteFileAtomic(file, Bytes{1, 2}, error)) << error;
    EXPECT_EQ(StatOf(file).st_mode & 07777, mode);
  }

  // A new file gets the usual mode of new files.
  const mode_t mask = ::umask(022);
  ::umask(mask);
  ASSERT_TRUE(WriteFileAtomic(dir / "new.trd", Bytes{1}, error)) << error;
  EXPECT_EQ(StatOf(dir / "new.trd").st_mode & 0777, 0666 & ~mask);

  test::WriteFileBytes(file, Bytes{7, 7});
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  EXPECT_FALSE(WriteFileAtomic(file, Bytes{1}, error));
  EXPECT_TRUE(Contains(error, "только для чтения") || Contains(error, "Нет доступа на запись")) << error;
  EXPECT_EQ(test::ReadFileBytes(file), (Bytes{7, 7}));
  EXPECT_EQ(StatOf(file).st_mode & 07777, 0444u);
  ASSERT_EQ(::chmod(file.c_str(), 0644), 0);

  if (::geteuid() != 0) return;  // only the superuser may hand a file to another user
  ASSERT_EQ(::chown(file.c_str(), 4242, 4343), 0);
  ASSERT_TRUE(WriteFileAtomic(file, Bytes{3}, error)) << error;
  EXPECT_EQ(StatOf(file).st_uid, 4242u);
  EXPECT_EQ(StatOf(file).st_gid, 4343u);
  EXPECT_EQ(StatOf(file).st_mode & 07777, 0644u);
}

// A save through a link replaces the file at the end of the link chain; the
// links stay links and the temporary goes beside the target.
TEST(FileIo, SaveThroughALinkReplacesTheFileItPointsTo) {
  test::ScratchDir dir;
  std::filesystem::create_directories(dir / "real");
  std::filesystem::create_directories(dir / "links");
  const auto real = dir / "real" / "disk.trd";
  test::WriteFileBytes(real, Bytes{9});
  ::chmod(real.c_str(), 0600);
  std::filesystem::create_symlink("../real/disk.trd", dir / "links" / "relative.trd");
  std::filesystem::create_symlink(dir / "links" / "relative.trd", dir / "links" / "chain.trd");
  std::string error;
  ASSERT_TRUE(WriteFileAtomic(dir / "links" / "chain.trd", Bytes{1, 2, 3}, error)) << error;
  EXPECT_EQ(test::ReadFileBytes(real), (Bytes{1, 2, 3}));
  EXPECT_EQ(StatOf(real).st_mode & 07777, 0600u);
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "links" / "chain.trd"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "links" / "relative.trd"));
  EXPECT_EQ(EntriesIn(dir / "real"), 1);
  EXPECT_EQ(EntriesIn(dir / "links"), 2);

  // A dangling link gets its target created; a loop of links is refused.
  std::filesystem::create_symlink("made.trd", dir / "dangling.trd");
  ASSERT_TRUE(WriteFileAtomic(dir / "dangling.trd", Bytes{4}, error)) << error;
  EXPECT_EQ(test::ReadFileBytes(dir / "made.trd"), (Bytes{4}));
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "dangling.trd"));
  std::filesystem::create_symlink("loop2.trd", dir / "loop1.trd");
  std::filesystem::create_symlink("loop1.trd", dir / "loop2.trd");
  EXPECT_FALSE(WriteFileAtomic(dir / "loop1.trd", Bytes{5}, error));
  EXPECT_TRUE(Contains(error, std::system_category().message(ELOOP))) << error;
}

// Devices and FIFOs are written into, never replaced by a regular file.
TEST(FileIo, DevicesAndFifosAreWrittenNotReplaced) {
  std::string error;
  ASSERT_TRUE(WriteFileAtomic("/dev/null", Bytes{1, 2, 3}, error)) << error;
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));

  test::ScratchDir dir;
  const auto fifo = dir / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::filesystem::create_symlink("pipe", dir / "to-pipe");
  // A reader that does not wait lets the write open the FIFO at once.
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_TRUE(WriteFileAtomic(dir / "to-pipe", Bytes{7, 8, 9}, error)) << error;
  std::uint8_t received[8] = {};
  EXPECT_EQ(::read(reader, received, sizeof received), 3);
  ::close(reader);
  EXPECT_EQ(Bytes(received, received + 3), (Bytes{7, 8, 9}));
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
  EXPECT_EQ(EntriesIn(dir.Path()), 2);
}

// A name as long as the system allows still saves: the temporary name is
// cut to fit, stays unique and recognisable, and the temporaries of killed
// saves of that file are removed at its next save, those of other files and
// of running saves kept.
TEST(FileIo, LongNamesSaveAndKilledSavesAreCleanedUp) {
  test::ScratchDir dir;
  const std::string longName = std::string(246, 'x') + ".trd";
  const std::string cyrillic = std::string(210, 'y') + "дд.trd";
  for (const auto& name : {longName, std::string(255 - 4, 'z') + ".trd"}) {
    std::string error;
    ASSERT_TRUE(WriteFileAtomic(dir / name, Bytes{1}, error)) << error;
    ASSERT_TRUE(WriteFileAtomic(dir / name, Bytes{2}, error)) << error;
    EXPECT_EQ(test::ReadFileBytes(dir / name), (Bytes{2}));
  }
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

  const auto disk = dir / longName;
  const TemporaryNames names(longName, 255);
  const std::string killed1 = names.Make("99999999-0000abcd");
  const std::string killed2 = names.Make("99999998-00001234");
  const std::string running = names.Make(MakeUniquePart(::getpid()));
  const std::string otherFile = TemporaryNames("other.trd", 255).Make("99999999-0000abcd");
  for (const auto& name : {killed1, killed2, running, otherFile}) test::WriteFileBytes(dir / name, Bytes{0});
  std::string error;
  ASSERT_TRUE(WriteFileAtomic(disk, Bytes{3}, error)) << error;
  EXPECT_FALSE(std::filesystem::exists(dir / killed1));
  EXPECT_FALSE(std::filesystem::exists(dir / killed2));
  EXPECT_TRUE(std::filesystem::exists(dir / running));
  EXPECT_TRUE(std::filesystem::exists(dir / otherFile));
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
