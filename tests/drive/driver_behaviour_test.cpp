// One behaviour suite for every backend that runs on this machine: opening
// without a floppy fails cleanly with a code, requests on a closed drive fail
// instead of doing harm, and start-up then disables the disk commands.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "drive/controller/windows_floppy_driver.h"
#include "drive/fake_fdrawcmd.h"
#include "session/driver_startup.h"
#include "sim/simulated_drive.h"

#ifdef __linux__
#include "drive/controller/linux_floppy_driver.h"
#endif

namespace velloran {
namespace {

struct Backend {
  std::string name;
  // A driver on a machine with no floppy drive; null when this machine has one.
  std::function<std::unique_ptr<FloppyDriver>()> withoutFloppy;
};

std::vector<Backend> Backends() {
  std::vector<Backend> backends;
  backends.push_back({"Simulated", [] {
                        SimulatedDriveOptions options;
                        options.faults.drives = "";
                        return std::unique_ptr<FloppyDriver>(new SimulatedDrive(options));
                      }});
  // fdrawcmd.sys not installed: its devices are not found.
  backends.push_back({"Windows", [] {
                        return std::unique_ptr<FloppyDriver>(
                            new WindowsFloppyDriver(std::make_unique<test::FakeFdrawcmd>(nullptr)));
                      }});
#ifdef __linux__
  backends.push_back({"Linux", []() -> std::unique_ptr<FloppyDriver> {
                        if (std::filesystem::exists("/dev/fd0") || std::filesystem::exists("/dev/fd1")) return nullptr;
                        return std::make_unique<LinuxFloppyDriver>();
                      }});
#endif
  return backends;
}

class DriverBehaviourTest : public ::testing::TestWithParam<Backend> {};

TEST_P(DriverBehaviourTest, RequestsOnAClosedDriveFailWithACode) {
  auto driver = GetParam().withoutFloppy();
  if (!driver) GTEST_SKIP() << "this machine has a floppy drive";
  EXPECT_FALSE(driver->OpenDrive('A'));
  EXPECT_NE(driver->LastError(), 0u);
  EXPECT_FALSE(driver->DriveOpen());

  std::vector<std::uint8_t> buffer(kSectorBufferSize);
  std::size_t count = 99;
  ReadWriteBlock block;
  block.id = {0, 0, 1, 1};
  block.eot = 2;
  ScanResult scan;
  std::array<std::uint8_t, kFdcInfoSize> info{};
  EXPECT_FALSE(driver->Reset());
  EXPECT_NE(driver->LastError(), 0u);
  EXPECT_FALSE(driver->Seek(0, 0));
  EXPECT_FALSE(driver->SetDataRate(2));
  EXPECT_FALSE(driver->GetFdcInfo(info));
  EXPECT_FALSE(driver->ScanTrack(kFlagMfm, 0, scan));
  EXPECT_FALSE(driver->ReadData(block, buffer, count));
  EXPECT_EQ(count, 0u);
  EXPECT_FALSE(driver->WriteData(block, ByteSpan(buffer.data(), 256)));
  EXPECT_FALSE(driver->FormatTrack(FormatBlock{}));
  EXPECT_NE(driver->LastError(), 0u);
}

TEST_P(DriverBehaviourTest, StartUpWithoutAFloppyDisablesTheDiskMenu) {
  auto driver = GetParam().withoutFloppy();
  if (!driver) GTEST_SKIP() << "this machine has a floppy drive";
  const DriverStatus status = OpenDriverAtStartup(*driver, Settings{});
  EXPECT_FALSE(status.diskMenuEnabled);
  ASSERT_FALSE(status.messages.empty());
  const std::string first = PhraseText(status.messages.front());
  EXPECT_TRUE(first == "Ошибка загрузки драйвера!" || first == "Дисковод A не найден!") << first;
}

INSTANTIATE_TEST_SUITE_P(Backends, DriverBehaviourTest, ::testing::ValuesIn(Backends()),
                         [](const auto& param) { return param.param.name; });

#ifdef __linux__
TEST(LinuxBackendTest, ExplainsWhatToEnableWhenRawCommandsAreMissing) {
  const std::string hint = PhraseText(LinuxFloppyHint(EOPNOTSUPP, "/dev/fd0"));
  EXPECT_NE(hint.find("CONFIG_BLK_DEV_FD_RAWCMD"), std::string::npos);
  EXPECT_NE(hint.find("5.18"), std::string::npos);
  EXPECT_NE(PhraseText(LinuxFloppyHint(ENOENT, "/dev/fd1")).find("/dev/fd1"), std::string::npos);
  EXPECT_TRUE(LinuxFloppyHint(EIO, "/dev/fd0").Empty());
}

TEST(LinuxBackendTest, NoFloppyDeviceGivesTheLoadErrorAndAHint) {
  if (std::filesystem::exists("/dev/fd0") || std::filesystem::exists("/dev/fd1"))
    GTEST_SKIP() << "this machine has a floppy drive";
  LinuxFloppyDriver driver;
  const DriverStatus status = OpenDriverAtStartup(driver, Settings{});
  EXPECT_EQ(PhraseText(status.statusText), "Ошибка загрузки драйвера");
  ASSERT_EQ(status.messages.size(), 2u);
  EXPECT_EQ(PhraseText(status.messages[0]), "Ошибка загрузки драйвера!");
  EXPECT_NE(PhraseText(status.messages[1]).find("modprobe floppy"), std::string::npos);
}
#endif

}  // namespace
}  // namespace velloran
