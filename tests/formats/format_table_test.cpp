#include <gtest/gtest.h>

#include "formats/format_table.h"
#include "formats/sample_disks.h"
#include "support/test_support.h"

namespace velloran {
namespace {

TEST(FormatTable, ExtensionKeyIsTheUpperCasedExtensionCutToThreeLetters) {
  EXPECT_EQ(ExtensionKey("game.Trdx"), "TRD");
  EXPECT_EQ(ExtensionKey("/a/b.c/game.trd"), "TRD");
  EXPECT_EQ(ExtensionKey("GAME.TD0"), "TD0");
  EXPECT_EQ(ExtensionKey("disk.udf"), "UDF");
  EXPECT_EQ(ExtensionKey("notes"), "");
  EXPECT_EQ(ExtensionKey("archive.tar.gz"), "GZ");
}

TEST(FormatTable, DialogFiltersAreExact) {
  const std::string save =
      "Универсальный образ диска (*.udi)|*.udi|Файл образа TRDOS диска (*.trd)|*.trd|Образ диска TeleDisk "
      "(*.td0)|*.td0|Полный образ диска (*.fdi)|*.fdi|Секторный образ диска CP/M Profi (*.pro)|*.pro|Краткий "
      "формат образа TRDOS диска (*.scl)|*.scl|Образ диска Корвета (*.kdi)|*.kdi|Образ для флоппи эмулятора "
      "(*.hfe)|*.hfe|Флюкс-образ SuperCard Pro / Greaseweazle (*.scp)|*.scp|Флюкс-образ MAME (*.mfi)|*.mfi";
  EXPECT_EQ(SaveDialogFilter(), save);
  EXPECT_EQ(LoadDialogFilter(),
            save +
                "|Поддерживаемые форматы (*.udi,*.trd,*.td0,*.fdi,*.pro,*.scl,*.kdi,*.hfe,*.scp,*.mfi)|"
                "*.fdi;*.trd;*.udi;*.td0;*.pro;*.scl;*.kdi;*.hfe;*.scp;*.mfi");
}

TEST(FormatTable, FilterIndexGivesTheDefaultExtension) {
  const char* expected[] = {"udi", "trd", "td0", "fdi", "pro", "scl", "kdi", "hfe", "scp", "mfi"};
  for (int i = 1; i <= 10; ++i) EXPECT_EQ(DefaultExtensionForFilter(i), expected[i - 1]) << i;
  EXPECT_EQ(DefaultExtensionForFilter(0), "");
  EXPECT_EQ(DefaultExtensionForFilter(11), "");
}

TEST(FormatTable, EveryKeyIsFoundAndUdfStaysOutOfTheDialogs) {
  for (const char* key : {"UDI", "TRD", "TD0", "FDI", "PRO", "SCL", "KDI", "HFE", "UDF"}) {
    const ImageFormat* format = FindFormat(key);
    ASSERT_NE(format, nullptr) << key;
    EXPECT_EQ(format->key, key);
  }
  EXPECT_TRUE(FindFormat("UDF")->filter.empty());
  EXPECT_TRUE(FindFormat("RAW")->filter.empty()) << "KryoFlux streams are read, never saved";
  EXPECT_EQ(FindFormat("TXT"), nullptr);
  EXPECT_EQ(FindFormat("trd"), nullptr) << "keys are upper case";
}

TEST(FormatTable, LoadAndSaveDispatchByExtensionInAnyLetterCase) {
  test::ScratchDir dir;
  TZX_Disk disk;
  test::MakeKdiLayoutDisk(disk, 4);
  std::string error;
  ASSERT_TRUE(SaveImage(disk, dir / "disk.KDI", {}, error)) << error;
  EXPECT_EQ(test::ReadFileBytes(dir / "disk.KDI").size(), 4u * 5120);
  // The same bytes read as PRO get sector 9 on track 0.
  std::filesystem::copy_file(dir / "disk.KDI", dir / "disk.Prox");
  TZX_Disk loaded;
  ASSERT_TRUE(LoadImage(loaded, dir / "disk.Prox", error)) << error;
  EXPECT_EQ(loaded.GetSector(0, 4).IdSector, 9);
  ASSERT_TRUE(LoadImage(loaded, dir / "disk.KDI", error)) << error;
  EXPECT_EQ(test::DiskDifference(disk, loaded, {}), "");
}

TEST(FormatTable, UnsupportedTypeIsRefusedWithoutTouchingTheDisk) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "notes.txt", Bytes(4096));
  TZX_Disk disk;
  test::MakeTrdosLayoutDisk(disk, 2);
  std::string error;
  EXPECT_FALSE(LoadImage(disk, dir / "notes.txt", error));
  EXPECT_EQ(error, "Данный тип файлов не поддерживается!");
  EXPECT_EQ(disk.CountTracks(), 2);
  error.clear();
  EXPECT_FALSE(SaveImage(disk, dir / "disk", {}, error));
  EXPECT_EQ(error, "Данный тип файлов не поддерживается!");
  EXPECT_FALSE(std::filesystem::exists(dir / "disk"));
}

// A failed TRD load is a failure, with the reader's message.
TEST(FormatTable, FailedLoadReportsTheReadersMessage) {
  test::ScratchDir dir;
  TZX_Disk disk;
  std::string error;
  EXPECT_FALSE(LoadImage(disk, dir / "missing.trd", error));
  EXPECT_EQ(error, "TRD file read error!");
  test::WriteFileBytes(dir / "bad.fdi", Bytes{'X', 'Y', 'Z', 0});
  EXPECT_FALSE(LoadImage(disk, dir / "bad.fdi", error));
  EXPECT_EQ(error, "Not FDI file!");
}

TEST(FormatTable, FailedSaveKeepsTheOldFile) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "old.trd", Bytes{7, 7, 7});
  TZX_Disk disk;
  test::MakeKdiLayoutDisk(disk, 2);
  std::string error;
  EXPECT_FALSE(SaveImage(disk, dir / "old.trd", {}, error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(test::ReadFileBytes(dir / "old.trd"), (Bytes{7, 7, 7}));
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) ++files;
  EXPECT_EQ(files, 1u) << "no temporary file is left behind";
}

}  // namespace
}  // namespace velloran
