// Saves of the command line that Windows refuses: a target marked read-only
// and a target another program holds open. The command fails naming the
// file, and the old file keeps its bytes.
#include <windows.h>

#include <gtest/gtest.h>

#include "common/utf8_path.h"
#include "support/test_support.h"

namespace velloran {
namespace {

TEST(CliWindows, RefusedSavesLeaveTheOldImage) {
  test::ScratchDir dir;
  const auto source = test::CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd");
  const auto target = dir.Path() / PathFromUtf8("Образ.udi");
  const Bytes old = {1, 2, 3};
  test::WriteFileBytes(target, old);
  const auto convert = [&] { return test::RunCli({"convert", PathToUtf8(source), PathToUtf8(target)}); };

  ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
  auto run = convert();
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find(PathToUtf8(target)), std::string::npos) << run.err;
  EXPECT_EQ(test::ReadFileBytes(target), old);
  ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL));

  const HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  run = convert();
  CloseHandle(held);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find(PathToUtf8(target)), std::string::npos) << run.err;
  EXPECT_EQ(test::ReadFileBytes(target), old);

  // Free again, the same command replaces it; nothing else is left behind.
  run = convert();
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(test::ReadFileBytes(target), old);
  EXPECT_EQ(test::EntriesIn(dir.Path()), 1);
}

}  // namespace
}  // namespace velloran
