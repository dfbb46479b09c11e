// Reading, repairing and writing the settings, and the settings window's lists.
#include "settings/settings.h"

#include <gtest/gtest.h>

#include "settings/desktop_settings.h"
#include "settings/settings_dialog.h"
#include "support/test_support.h"

namespace velloran {
namespace {

using Writes = std::vector<std::pair<std::string, std::string>>;

std::vector<std::string> Keys(const Writes& writes) {
  std::vector<std::string> keys;
  for (const auto& write : writes) keys.push_back(write.first);
  return keys;
}

TEST(SettingsTest, EmptyStoreGivesDefaultsAndEveryKeyInStartUpOrder) {
  test::ScratchDir dir;
  MemorySettingsStore store;
  const Settings s = LoadSettings(store, dir.Path());
  const std::string folder = FolderText(dir.Path());
  const Writes expected = {{"RetryCount", "10"},
                           {"RetryCountWithReset", "5"},
                           {"FirstTrack", "0"},
                           {"LastTrack", "159"},
                           {"CycleRead", "5"},
                           {"TimeOut", "10"},
                           {"RestoreTrack", "1"},
                           {"TD0arch", "0"},
                           {"OverlapTrackAndData", "0"},
                           {"SetSectorSizeFromHead", "0"},
                           {"Directory_1", folder},
                           {"Directory_2", folder},
                           {"HobetaDir", folder},
                           {"SCLDir", folder},
                           {"Drive", "A"},
                           {"GAP", "20"},
                           {"Rate", "2"}};
  EXPECT_EQ(store.Writes(), expected);
  EXPECT_EQ(s.RetryCount, 10);
  EXPECT_EQ(s.LastTrack, 159);
  EXPECT_TRUE(s.RestoreTrack);
  EXPECT_FALSE(s.TD0arch);
  EXPECT_EQ(s.Drive, "A");
  EXPECT_EQ(s.Rate, 2);
  EXPECT_EQ(s.SCLDir, folder);
  EXPECT_EQ(folder.back(), static_cast<char>(std::filesystem::path::preferred_separator));
}

TEST(SettingsTest, EveryValueTheDialogOffersSurvivesARestart) {
  test::ScratchDir dir;
  // The lowest and highest value of every field and both states of every box.
  for (int edge = 0; edge < 2; ++edge) {
    Settings chosen;
    chosen.RetryCount = edge ? 255 : 0;
    chosen.RetryCountWithReset = edge ? 255 : 0;
    chosen.FirstTrack = edge ? 165 : 0;
    chosen.LastTrack = edge ? 165 : 0;
    chosen.CycleRead = edge ? 30 : 1;
    chosen.TimeOut = edge ? 30 : 1;
    chosen.GAP = edge ? 30 : 1;
    chosen.RestoreTrack = edge != 0;
    chosen.TD0arch = edge == 0;
    chosen.OverlapTrackAndData = edge != 0;
    chosen.SetSectorSizeFromHead = edge == 0;
    chosen.Drive = edge ? "B" : "A";
    for (int item = 0; item < 4; ++item) {
      chosen.Rate = RateFromItem(item);
      MemorySettingsStore store;
      SaveDialogSettings(store, chosen);
      const Settings read = LoadSettings(store, dir.Path());
      EXPECT_EQ(read.RetryCount, chosen.RetryCount);
      EXPECT_EQ(read.RetryCountWithReset, chosen.RetryCountWithReset);
      EXPECT_EQ(read.FirstTrack, chosen.FirstTrack);
      EXPECT_EQ(read.LastTrack, chosen.LastTrack);
      EXPECT_EQ(read.CycleRead, chosen.CycleRead);
      EXPECT_EQ(read.TimeOut, chosen.TimeOut);
      EXPECT_EQ(read.GAP, chosen.GAP);
      EXPECT_EQ(read.RestoreTrack, chosen.RestoreTrack);
      EXPECT_EQ(read.TD0arch, chosen.TD0arch);
      EXPECT_EQ(read.OverlapTrackAndData, chosen.OverlapTrackAndData);
      EXPECT_EQ(read.SetSectorSizeFromHead, chosen.SetSectorSizeFromHead);
      EXPECT_EQ(read.Drive, chosen.Drive);
      EXPECT_EQ(read.Rate, chosen.Rate);
      EXPECT_EQ(RateItemIndex(read.Rate), item);
    }
  }
}

TEST(SettingsTest, ValuesOutsideTheRangesAreRepaired) {
  EXPECT_EQ(RepairByte(std::string("166"), kLastTrackRule), 165);
  EXPECT_EQ(RepairByte(std::string("300"), kLastTrackRule), 165);
  EXPECT_EQ(RepairByte(std::string("0"), kLastTrackRule), 0);
  EXPECT_EQ(RepairByte(std::string("166"), kFirstTrackRule), 0);
  EXPECT_EQ(RepairByte(std::string("4"), kGapRule), 4);
  EXPECT_EQ(RepairByte(std::string("0"), kGapRule), 20);
  EXPECT_EQ(RepairByte(std::string("251"), kGapRule), 20);
  EXPECT_EQ(RepairByte(std::string("31"), kCycleReadRule), 5);
  EXPECT_EQ(RepairByte(std::string("0"), kTimeOutRule), 10);
  EXPECT_EQ(RepairByte(std::string("4"), kRateRule), 2);
  EXPECT_EQ(RepairByte(std::string("0"), kRateRule), 0);
  EXPECT_EQ(RepairByte(std::string("256"), kRetryCountRule), 10);
  EXPECT_EQ(RepairByte(std::string("-1"), kRetryCountRule), 10);
  EXPECT_EQ(RepairByte(std::string(" 7 "), kRetryCountRule), 7);
  // Missing or unreadable: the default.
  EXPECT_EQ(RepairByte(std::nullopt, kRetryCountWithResetRule), 5);
  EXPECT_EQ(RepairByte(std::string(""), kRetryCountRule), 10);
  EXPECT_EQ(RepairByte(std::string("ten"), kRetryCountRule), 10);
  EXPECT_EQ(RepairByte(std::string("12x"), kRetryCountRule), 10);

  EXPECT_FALSE(RepairBool(std::string("0"), true));
  EXPECT_TRUE(RepairBool(std::string("1"), false));
  EXPECT_TRUE(RepairBool(std::string("true"), false));
  EXPECT_TRUE(RepairBool(std::string("maybe"), true));
  EXPECT_TRUE(RepairBool(std::nullopt, true));
}

TEST(SettingsTest, FoldersMustExist) {
  test::ScratchDir dir;
  std::filesystem::create_directory(dir / "kept");
  const std::string kept = FolderText(dir / "kept");
  std::filesystem::create_directory(dir / "gone");
  const std::string gone = FolderText(dir / "gone");
  std::filesystem::remove(dir / "gone");

  MemorySettingsStore store;
  store.Write("Directory_1", kept);
  store.Write("Directory_2", gone);
  store.Write("HobetaDir", "");
  const Settings s = LoadSettings(store, dir.Path());
  EXPECT_EQ(s.Directory_1, kept);
  EXPECT_EQ(s.Directory_2, FolderText(dir.Path()));
  EXPECT_EQ(s.HobetaDir, FolderText(dir.Path()));
  EXPECT_EQ(store.Read("Directory_2"), FolderText(dir.Path()));  // written back repaired
}

TEST(SettingsTest, DialogSavesItsValuesInItsOwnOrder) {
  MemorySettingsStore store;
  Settings s;
  s.Drive = "B";
  s.Rate = 0;
  s.RestoreTrack = false;
  SaveDialogSettings(store, s);
  const std::vector<std::string> order = {"RetryCount",
                                          "RetryCountWithReset",
                                          "FirstTrack",
                                          "LastTrack",
                                          "CycleRead",
                                          "TimeOut",
                                          "GAP",
                                          "Rate",
                                          "Drive",
                                          "RestoreTrack",
                                          "TD0arch",
                                          "OverlapTrackAndData",
                                          "SetSectorSizeFromHead"};
  EXPECT_EQ(Keys(store.Writes()), order);
  EXPECT_EQ(store.Read("Rate"), "0");
  EXPECT_EQ(store.Read("Drive"), "B");
  EXPECT_EQ(store.Read("RestoreTrack"), "0");
  EXPECT_FALSE(store.Read("Directory_1").has_value());

  SaveFolderSetting(store, "SCLDir", "/tmp/x/");
  EXPECT_EQ(store.Read("SCLDir"), "/tmp/x/");
}

TEST(SettingsDialogTest, ListsMapToTheSettings) {
  EXPECT_EQ(kRateItems[static_cast<std::size_t>(RateItemIndex(2))], "250K");
  EXPECT_EQ(RateItemIndex(2), 0);
  EXPECT_EQ(RateItemIndex(1), 1);
  EXPECT_EQ(RateItemIndex(0), 2);
  EXPECT_EQ(RateItemIndex(3), 3);
  EXPECT_EQ(RateItemIndex(7), 2);
  EXPECT_EQ(RateFromItem(0), 2);
  EXPECT_EQ(RateFromItem(2), 0);
  EXPECT_EQ(RateFromItem(3), 3);
  for (std::uint8_t rate = 0; rate < 4; ++rate) {
    EXPECT_EQ(RateFromItem(RateItemIndex(rate)), rate);
    EXPECT_EQ(kRateItems[static_cast<std::size_t>(RateItemIndex(rate))], RateName(rate));
  }
  EXPECT_EQ(DriveItemIndex("A"), 0);
  EXPECT_EQ(DriveItemIndex("B"), 1);
  EXPECT_EQ(DriveFromItem(0), "A");
  EXPECT_EQ(DriveFromItem(1), "B");
  // Every field's range is accepted at start-up.
  for (const auto& [field, rule] : {std::pair{kRetryCountField, kRetryCountRule},
                                    {kRetryCountWithResetField, kRetryCountWithResetRule},
                                    {kFirstTrackField, kFirstTrackRule},
                                    {kLastTrackField, kLastTrackRule},
                                    {kCycleReadField, kCycleReadRule},
                                    {kTimeOutField, kTimeOutRule},
                                    {kGapField, kGapRule}}) {
    EXPECT_GE(field.minimum, rule.minimum) << field.field;
    EXPECT_LE(field.maximum, rule.maximum) << field.field;
  }
}

// The image menu's list: the newest first, no file twice, eight at most,
// and a removed image gone from the store too.
TEST(SettingsTest, RecentFilesKeepTheLastEightImages) {
  MemorySettingsStore store;
  EXPECT_TRUE(LoadRecentFiles(store).empty());
  std::vector<std::string> files;
  for (int i = 1; i <= 10; ++i) files = WithRecentFile(files, "/d/" + std::to_string(i) + ".trd");
  files = WithRecentFile(files, "/d/5.trd");
  const std::vector<std::string> expected = {"/d/5.trd", "/d/10.trd", "/d/9.trd", "/d/8.trd",
                                             "/d/7.trd", "/d/6.trd",  "/d/4.trd", "/d/3.trd"};
  EXPECT_EQ(files, expected);
  SaveRecentFiles(store, files);
  EXPECT_EQ(store.Read("RecentFile1"), "/d/5.trd");
  EXPECT_EQ(LoadRecentFiles(store), expected);

  SaveRecentFiles(store, WithoutRecentFile(files, "/d/10.trd"));
  EXPECT_EQ(store.Read("RecentFile8"), "");
  EXPECT_EQ(LoadRecentFiles(store).size(), 7u);
  EXPECT_EQ(LoadRecentFiles(store)[1], "/d/9.trd");
  // A hand-edited file with a gap and a repeat still gives a clean list.
  store.Write("RecentFile2", "");
  store.Write("RecentFile3", "/d/5.trd");
  EXPECT_EQ(LoadRecentFiles(store),
            (std::vector<std::string>{"/d/5.trd", "/d/7.trd", "/d/6.trd", "/d/4.trd", "/d/3.trd"}));
}

TEST(SettingsTest, MapZoomIsOneOfItsLevels) {
  MemorySettingsStore store;
  EXPECT_EQ(LoadMapZoom(store), 100);
  SaveMapZoom(store, 175);
  EXPECT_EQ(store.Read("MapZoom"), "175");
  EXPECT_EQ(LoadMapZoom(store), 175);
  for (const char* stored : {"0", "110", "1000", "-150", "150x", ""}) {
    store.Write("MapZoom", stored);
    EXPECT_EQ(LoadMapZoom(store), 100) << stored;
  }
}

TEST(SettingsTest, LanguageChoiceOverridesTheLocale) {
  MemorySettingsStore store;
  EXPECT_EQ(LoadLanguageChoice(store), LanguageChoice::Auto);
  SaveLanguageChoice(store, LanguageChoice::English);
  EXPECT_EQ(store.Read("Language"), "en");
  EXPECT_EQ(LoadLanguageChoice(store), LanguageChoice::English);
  SaveLanguageChoice(store, LanguageChoice::Russian);
  EXPECT_EQ(store.Read("Language"), "ru");
  EXPECT_EQ(LoadLanguageChoice(store), LanguageChoice::Russian);
  for (const char* stored : {"auto", "RU", "de", ""}) {
    store.Write("Language", stored);
    EXPECT_EQ(LoadLanguageChoice(store), LanguageChoice::Auto) << stored;
  }
  EXPECT_EQ(ChosenLanguage(LanguageChoice::Russian), Language::Russian);
  EXPECT_EQ(ChosenLanguage(LanguageChoice::English), Language::English);
  EXPECT_EQ(ChosenLanguage(LanguageChoice::Auto), LanguageFromEnvironment());
}

}  // namespace
}  // namespace velloran
