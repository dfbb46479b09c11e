// Saves on Windows that the system refuses: the old file stays as it was and
// nothing is left beside it.
#include <windows.h>

#include <gtest/gtest.h>

#include "common/file_io.h"
#include "support/test_support.h"

namespace velloran {
namespace {

// Another program holds the image open without letting it be deleted or
// renamed (as editors and virus scanners do): the replacement is refused.
TEST(FileIoWindows, TargetHeldOpenWithoutShareDeleteKeepsItsData) {
  test::ScratchDir dir;
  const auto file = dir / "disk.trd";
  test::WriteFileBytes(file, Bytes{9, 9});
  const HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::string error;
  const bool saved = WriteFileAtomic(file, Bytes{1, 2, 3}, error);
  CloseHandle(held);
  EXPECT_FALSE(saved);
  EXPECT_NE(error.find("disk.trd"), std::string::npos) << error;
  EXPECT_EQ(test::ReadFileBytes(file), (Bytes{9, 9}));
  EXPECT_EQ(test::EntriesIn(dir.Path()), 1);
}

// A file marked read-only is not replaced; once the mark is gone it is.
TEST(FileIoWindows, ReadOnlyTargetIsRefusedUntilTheMarkIsGone) {
  test::ScratchDir dir;
  const auto file = dir / "disk.trd";
  test::WriteFileBytes(file, Bytes{9, 9});
  ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
  std::string error;
  EXPECT_FALSE(WriteFileAtomic(file, Bytes{1, 2, 3}, error));
  EXPECT_NE(error.find("disk.trd"), std::string::npos) << error;
  EXPECT_EQ(test::ReadFileBytes(file), (Bytes{9, 9}));
  EXPECT_EQ(test::EntriesIn(dir.Path()), 1);

  ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL));
  ASSERT_TRUE(WriteFileAtomic(file, Bytes{1, 2, 3}, error)) << error;
  EXPECT_EQ(test::ReadFileBytes(file), (Bytes{1, 2, 3}));
  EXPECT_EQ(test::EntriesIn(dir.Path()), 1);
}

// A file whose name needs UTF-16 beyond the ANSI code page is written and
// named in the message as UTF-8.
TEST(FileIoWindows, CyrillicNamesReachTheSystemAsUtf16) {
  test::ScratchDir dir;
  const std::filesystem::path file = dir.Path() / L"\x0414\x0438\x0441\x043A.trd";  // "Диск.trd"
  std::string error;
  ASSERT_TRUE(WriteFileAtomic(file, Bytes{4, 5}, error)) << error;
  EXPECT_NE(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(ReadWholeFile(file), (Bytes{4, 5}));

  ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(WriteFileAtomic(file, Bytes{1}, error));
  EXPECT_NE(error.find("Диск.trd"), std::string::npos) << error;
  SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace velloran
