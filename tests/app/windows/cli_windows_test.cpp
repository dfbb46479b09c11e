// Saves of the command line that Windows refuses or that are cut short: a
// target marked read-only, a target another program holds open, a save killed
// while it writes. The old file keeps its bytes until a whole new one replaces it.
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

bool HoldsTemporary(const std::filesystem::path& folder) {
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().extension() == ".velloran-tmp") return true;
  return false;
}

// Starts `velloran-cli convert` with these arguments, waits until its
// temporary file appears in `folder` (the save is under way) and kills it
// `afterMs` later. False when the conversion ended before it could be killed.
bool KillConvertWhileSaving(const std::vector<std::filesystem::path>& args, const std::filesystem::path& folder,
                            DWORD afterMs) {
  std::wstring commandLine = L"\"" + PathFromUtf8(VELLORAN_CLI).wstring() + L"\" convert";
  for (const auto& arg : args) commandLine += L" \"" + arg.wstring() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  bool saving = false;
  while (!saving && WaitForSingleObject(process.hProcess, 1) == WAIT_TIMEOUT) saving = HoldsTemporary(folder);
  if (saving) {
    Sleep(afterMs);
    TerminateProcess(process.hProcess, 9);
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return saving;
}

// A conversion killed while it saves leaves the old file, or the whole new
// one when the replacement was done; never a part. The next save removes the
// temporaries the killed saves left.
TEST(CliWindows, KilledSaveLeavesTheOldOrTheWholeNewImage) {
  test::ScratchDir dir;
  const auto source = test::CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd");
  const auto whole = dir.Path() / PathFromUtf8("Целиком.scp");
  ASSERT_EQ(test::RunCli({"convert", PathToUtf8(source), PathToUtf8(whole)}).exitCode, 0);
  const Bytes expected = test::ReadFileBytes(whole);  // about 15 MB of flux

  const auto target = dir.Path() / PathFromUtf8("Образ.scp");
  const Bytes old = {1, 2, 3};
  int killedWhileSaving = 0;
  for (const DWORD afterMs : {0, 0, 2, 10, 40}) {
    test::WriteFileBytes(target, old);
    if (KillConvertWhileSaving({source, target}, dir.Path(), afterMs)) ++killedWhileSaving;
    const Bytes now = test::ReadFileBytes(target);
    EXPECT_TRUE(now == old || now == expected) << "killed " << afterMs << " ms into the save: " << now.size();
  }
  EXPECT_GT(killedWhileSaving, 0);
  ASSERT_EQ(test::RunCli({"convert", PathToUtf8(source), PathToUtf8(target)}).exitCode, 0);
  EXPECT_EQ(test::ReadFileBytes(target), expected);
  EXPECT_EQ(test::EntriesIn(dir.Path()), 2);
}

}  // namespace
}  // namespace velloran
