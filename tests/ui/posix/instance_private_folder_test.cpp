// The channel for second starts lives only in a folder of the user's alone:
// a runtime folder or fallback folder that others could use means no
// hand-off (each start opens its own window), never a shared name.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include <QSignalSpy>
#include <QTimer>

#include "ui/instance_channel.h"
#include "ui/ui_fixture.h"

namespace velloran::test {
namespace {

constexpr uid_t kSomeoneElse = 65534;  // nobody

// Hands a folder to another user; only root may.
bool GiveAway(const std::filesystem::path& folder) { return ::chown(folder.c_str(), kSomeoneElse, kSomeoneElse) == 0; }

class PrivateChannel : public ::testing::Test {
 protected:
  PrivateChannel()
      : runtime_(dir_ / "runtime"),
        temporary_(dir_ / "tmp"),
        fallback_(temporary_ / ("velloran-" + std::to_string(::geteuid()))),
        runtimeVariable_("XDG_RUNTIME_DIR", runtime_.string()),
        temporaryVariable_("TMPDIR", temporary_.string()) {
    std::filesystem::create_directory(runtime_);
    std::filesystem::create_directory(temporary_);
    ::chmod(runtime_.c_str(), 0700);
    ::chmod(temporary_.c_str(), 01777);
  }

  // Whether a second start reaches a first one listening on the channel.
  static bool HandOffArrives() {
    InstanceServer server;
    if (!server.Listen()) return false;
    QSignalSpy received(&server, &InstanceServer::MessageReceived);
    QTimer::singleShot(0, [] { HandOffToRunningInstance(QByteArray("v/a/b.trd")); });
    return received.wait(5000);
  }

  ScratchDir dir_;
  std::filesystem::path runtime_, temporary_, fallback_;
  ScopedEnvironment runtimeVariable_, temporaryVariable_;
};

TEST_F(PrivateChannel, ThePrivateRuntimeFolderCarriesTheChannel) {
  EXPECT_EQ(InstanceChannelName().toStdString(), (runtime_ / "Velloran").string());
  EXPECT_TRUE(HandOffArrives());
}

TEST_F(PrivateChannel, AnOpenOrForeignRuntimeFolderGivesWayToAFolderMadeForTheUser) {
  for (const bool foreign : {false, true}) {
    if (foreign) {
      ::chmod(runtime_.c_str(), 0700);
      if (!GiveAway(runtime_)) GTEST_SKIP() << "only root can give the runtime folder to another user";
    } else {
      ::chmod(runtime_.c_str(), 0755);
    }
    EXPECT_EQ(InstanceChannelName().toStdString(), (fallback_ / "Velloran").string());
    struct stat info {};
    ASSERT_EQ(::lstat(fallback_.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_TRUE(HandOffArrives());
  }
}

// What another user could plant at the fallback name (with the runtime
// folder unusable) is refused: no name, no server, no hand-off.
TEST_F(PrivateChannel, APlantedFallbackFolderMeansNoHandOff) {
  ::chmod(runtime_.c_str(), 0777);
  const auto own = dir_ / "own";
  std::filesystem::create_directory(own);
  ::chmod(own.c_str(), 0700);
  const std::vector<std::pair<const char*, std::function<void()>>> plants = {
      {"another owner",
       [&] {
         std::filesystem::create_directory(fallback_);
         ::chmod(fallback_.c_str(), 0700);
         if (!GiveAway(fallback_)) GTEST_SKIP() << "only root can give a folder to another user";
       }},
      {"open to others",
       [&] {
         std::filesystem::create_directory(fallback_);
         ::chmod(fallback_.c_str(), 0777);
       }},
      {"a link to a private folder", [&] { std::filesystem::create_directory_symlink(own, fallback_); }},
      {"a file", [&] { WriteFileBytes(fallback_, Bytes{1}); }},
  };
  for (const auto& [what, plant] : plants) {
    std::filesystem::remove_all(fallback_);
    plant();
    if (IsSkipped()) return;
    EXPECT_TRUE(InstanceChannelName().isEmpty()) << what;
    EXPECT_FALSE(HandOffToRunningInstance("s")) << what;
    InstanceServer server;
    EXPECT_FALSE(server.Listen()) << what;
    EXPECT_TRUE(std::filesystem::is_empty(own)) << what;
  }
}

}  // namespace
}  // namespace velloran::test
