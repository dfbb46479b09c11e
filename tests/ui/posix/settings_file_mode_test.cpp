// The settings file names the images the user opened: it is made readable by
// the user alone, and a save never widens the mode it has.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "ui/qt_settings_store.h"
#include "ui/ui_fixture.h"

namespace velloran::test {
namespace {

mode_t ModeOf(const std::filesystem::path& file) {
  struct stat info {};
  EXPECT_EQ(::stat(file.c_str(), &info), 0);
  return info.st_mode & 07777;
}

TEST(SettingsFile, MadeForTheUserAloneAndNeverWidened) {
  ScratchDir dir;
  const mode_t oldMask = ::umask(022);
  const auto file = dir / "Velloran.ini";
  {
    QtSettingsStore store(QString::fromStdString(file.string()));
    EXPECT_EQ(ModeOf(file), 0600u);
    store.Write("Drive", "A");
    EXPECT_EQ(ModeOf(file), 0600u);
  }
  ::chmod(file.c_str(), 0640);  // the user's own choice stays
  {
    QtSettingsStore store(QString::fromStdString(file.string()));
    store.Write("Drive", "B");
    EXPECT_EQ(ModeOf(file), 0640u);
    EXPECT_EQ(store.Read("Drive"), "B");
  }
  ::umask(oldMask);
}

}  // namespace
}  // namespace velloran::test
