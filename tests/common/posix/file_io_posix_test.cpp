// Saves on POSIX systems: modes, owners, links, devices and FIFOs, long
// names, and the system's texts in the messages.
#include <gtest/gtest.h>

#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/file_io.h"
#include "common/file_replace.h"
#include "support/test_support.h"

namespace velloran {
namespace {

using test::Contains;

struct stat StatOf(const std::filesystem::path& file) {
  struct stat result {};
  EXPECT_EQ(::stat(file.c_str(), &result), 0) << file;
  return result;
}

// The messages of failed saves carry the system's reason.
TEST(FileIoPosix, FailedWritesSayTheSystemsReason) {
  test::ScratchDir dir;
  std::string error;
  EXPECT_FALSE(WriteFileAtomic(dir / "missing" / "disk.trd", Bytes{1}, error));
  EXPECT_TRUE(Contains(error, std::system_category().message(ENOENT))) << error;
  std::filesystem::create_directories(dir / "blocked");
  EXPECT_FALSE(WriteFileAtomic(dir / "blocked", Bytes{1}, error));
  EXPECT_TRUE(Contains(error, std::system_category().message(EISDIR))) << error;
}
// The replaced file keeps its mode and, where the process may, its owner and
// group; a read-only file is refused and left as it was.
TEST(FileIoPosix, SaveKeepsModeAndOwnerAndRefusesReadOnlyFiles) {
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
TEST(FileIoPosix, SaveThroughALinkReplacesTheFileItPointsTo) {
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
  EXPECT_EQ(test::EntriesIn(dir / "real"), 1);
  EXPECT_EQ(test::EntriesIn(dir / "links"), 2);

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
TEST(FileIoPosix, DevicesAndFifosAreWrittenNotReplaced) {
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
  EXPECT_EQ(test::EntriesIn(dir.Path()), 2);
}

// A name as long as the system allows still saves, twice (the second save
// replaces the first through a temporary whose name had to be cut).
TEST(FileIoPosix, NamesAsLongAsTheSystemAllowsSave) {
  test::ScratchDir dir;
  for (const auto& name : {std::string(246, 'x') + ".trd", std::string(255 - 4, 'z') + ".trd"}) {
    std::string error;
    ASSERT_TRUE(WriteFileAtomic(dir / name, Bytes{1}, error)) << error;
    ASSERT_TRUE(WriteFileAtomic(dir / name, Bytes{2}, error)) << error;
    EXPECT_EQ(test::ReadFileBytes(dir / name), (Bytes{2}));
    EXPECT_EQ(test::EntriesIn(dir.Path()), 1);
    std::filesystem::remove(dir / name);
  }
}

}  // namespace
}  // namespace velloran
