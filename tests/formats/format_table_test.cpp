#include <gtest/gtest.h>

#include <set>

#include "common/language.h"
#include "common/messages.h"
#include "common/utf8_path.h"
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

// The eight formats the tool was built with keep their order; every other
// row follows them, and the load dialog opens with every image and ends with
// every file, in the process's language.
TEST(FormatTable, DialogFiltersComeFromTheTable) {
  const std::string save = SaveDialogFilter();
  EXPECT_TRUE(save.starts_with("Образ UDI с сырыми дорожками MFM (*.udi)|*.udi|")) << save;
  std::string order;
  for (std::size_t at = save.find("(*."); at != std::string::npos; at = save.find("(*.", at + 1))
    order += save.substr(at + 3, 3) + " ";
  EXPECT_EQ(order.substr(0, 32), "udi trd td0 fdi pro scl kdi hfe ");

  std::string rows;
  std::string names;
  std::string patterns;
  for (const auto& format : ImageFormats()) {
    if (!format.inDialogs) continue;
    const std::string pattern = "*." + std::string(format.defaultExtension);
    rows += (rows.empty() ? "" : "|") + RenderMessage(Language::Russian, format.name) + " (" + pattern + ")|" + pattern;
    names += (names.empty() ? "" : ",") + pattern;
    patterns += (patterns.empty() ? "" : ";") + pattern;
  }
  EXPECT_EQ(save, rows);
  EXPECT_EQ(LoadDialogFilter(), "Все образы дисков (" + names + ")|" + patterns + "|" + rows + "|Все файлы (*)|*");
  EXPECT_NE(patterns.find("*.dsk"), std::string::npos);
  EXPECT_NE(patterns.find("*.imd"), std::string::npos);
  EXPECT_EQ(patterns.find("*.udf"), std::string::npos) << "udf has its own commands";

  SetProcessLanguage(Language::English);
  const std::string english = LoadDialogFilter();
  SetProcessLanguage(Language::Russian);
  EXPECT_TRUE(english.starts_with("All disk images (*.udi,")) << english;
  EXPECT_NE(english.find("|TR-DOS sector dump (*.trd)|*.trd|"), std::string::npos) << english;
  EXPECT_TRUE(english.ends_with("|All files (*)|*")) << english;
  EXPECT_EQ(FormatFilter(*FindFormat("UDF")), "Собственный файл Velloran со всем диском (*.udf)|*.udf");
}

TEST(FormatTable, SaveFilterIndexGivesTheDefaultExtension) {
  int index = 0;
  for (const auto& format : ImageFormats()) {
    if (!format.inDialogs) continue;
    EXPECT_EQ(DefaultExtensionForFilter(++index), format.defaultExtension) << index;
  }
  EXPECT_EQ(DefaultExtensionForFilter(2), "trd");
  EXPECT_EQ(DefaultExtensionForFilter(8), "hfe");
  EXPECT_EQ(DefaultExtensionForFilter(0), "");
  EXPECT_EQ(DefaultExtensionForFilter(index + 1), "");
}

TEST(FormatTable, EveryRowIsCompleteAndItsKeyUnique) {
  std::set<std::string_view> keys;
  for (const auto& format : ImageFormats()) {
    EXPECT_TRUE(keys.insert(format.key).second) << format.key;
    EXPECT_EQ(FindFormat(format.key), &format);
    EXPECT_EQ(ExtensionKey("x." + std::string(format.defaultExtension)), format.key);
    EXPECT_FALSE(RenderMessage(Language::English, format.name).empty()) << format.key;
    EXPECT_TRUE(format.probe && format.load) << format.key;
    // Only rows out of the dialogs may be read-only.
    if (format.inDialogs) {
      EXPECT_TRUE(format.save) << format.key;
    }
  }
  EXPECT_EQ(FindFormat("TXT"), nullptr);
  EXPECT_EQ(FindFormat("trd"), nullptr) << "keys are upper case";
}

// What the probes make of real files under foreign names.
TEST(FormatTable, ContentsDecideWhateverTheName) {
  test::ScratchDir dir;
  const auto copy = [&](const std::string& corpus, const std::string& name) {
    test::CopyCorpusFile(corpus, dir / name);
    return dir / name;
  };
  const auto trdAsImg = copy("trd/alfishe_unreal-ng__EyeAche.trd", "game.img");
  const auto shortTrdAsBin = copy("trd/chernandezba_zesarux-extras__ENJOY.TRD", "enjoy.bin");
  const auto sclAsTrd = copy("scl/tslabs_zx-evo__UMT2_3.SCL", "umt.trd");
  const auto td0AsDsk = copy("td0/vitamin-caig_zxtune__UFO1.TD0", "ufo.dsk");
  const auto udiAsFdi = copy("udi/alfishe_unreal-ng__Zvezdnoe_Nasledie.udi", "zvezdnoe.fdi");
  const auto kdiAsImg = copy("kdi/atsiperman_Korvet__disk.kdi", "korvet.img");

  const auto expect = [](const std::filesystem::path& file, std::string_view key, std::string_view how) {
    const DetectedFormat detected = DetectFormat(file);
    ASSERT_NE(detected.format, nullptr) << file;
    EXPECT_EQ(detected.format->key, key) << file;
    EXPECT_EQ(DetectionText(detected), how) << file;
  };
  expect(trdAsImg, "TRD", "contents");
  expect(shortTrdAsBin, "TRD", "contents");
  expect(sclAsTrd, "SCL", "signature");
  expect(td0AsDsk, "TD0", "signature");
  expect(udiAsFdi, "UDI", "signature");
  // Sector dumps of five 1024-byte sectors look alike: size only, first row.
  expect(kdiAsImg, "PRO", "size");

  for (const auto& file : {trdAsImg, sclAsTrd, td0AsDsk}) {
    TZX_Disk disk;
    Diagnostic error;
    EXPECT_TRUE(LoadImage(disk, file, error)) << file << ": " << error;
    EXPECT_GT(disk.CountTracks(), 0) << file;
  }
}

// The extension is the weakest claim: it decides between equal claims and
// names the reader of a file nothing else claims, so that reader says what
// is wrong with it.
TEST(FormatTable, ExtensionBreaksTiesAndNamesTheReaderOfAnUnclaimedFile) {
  test::ScratchDir dir;
  TZX_Disk disk;
  test::MakeKdiLayoutDisk(disk, 160);
  Diagnostic error;
  ASSERT_TRUE(SaveImage(disk, dir / "korvet.kdi", {}, error)) << error;
  EXPECT_EQ(DetectFormat(dir / "korvet.kdi").format->key, "KDI");
  EXPECT_EQ(DetectionText(DetectFormat(dir / "korvet.kdi")), "size");

  test::WriteFileBytes(dir / "bad.fdi", Bytes{'X', 'Y', 'Z', 0});
  const DetectedFormat bad = DetectFormat(dir / "bad.fdi");
  ASSERT_NE(bad.format, nullptr);
  EXPECT_EQ(bad.format->key, "FDI");
  EXPECT_EQ(DetectionText(bad), "extension");
  EXPECT_FALSE(LoadImage(disk, dir / "bad.fdi", error));
  EXPECT_EQ(test::English(error), PathToUtf8(dir / "bad.fdi") + ": The file is not in the FDI format!");

  EXPECT_EQ(DetectFormat(dir / "missing.trd").format->key, "TRD");
  EXPECT_FALSE(LoadImage(disk, dir / "missing.trd", error));
  EXPECT_EQ(test::English(error), "File " + PathToUtf8(dir / "missing.trd") + " not found!");
  EXPECT_FALSE(LoadImage(disk, dir / "missing.xyz", error));
  EXPECT_EQ(test::English(error), "File " + PathToUtf8(dir / "missing.xyz") + " not found!");
  EXPECT_EQ(DetectFormat(dir.Path()).format, nullptr) << "a folder no format claims";
  EXPECT_FALSE(LoadImage(disk, dir.Path(), error));
  EXPECT_EQ(test::English(error), PathToUtf8(dir.Path()) + " is not a file!");
}

TEST(FormatTable, LoadAndSaveDispatchInAnyLetterCase) {
  test::ScratchDir dir;
  TZX_Disk disk;
  test::MakeKdiLayoutDisk(disk, 4);
  Diagnostic error;
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
  Diagnostic error;
  EXPECT_FALSE(LoadImage(disk, dir / "notes.txt", error));
  EXPECT_EQ(test::English(error), PathToUtf8(dir / "notes.txt") + ": This file type is not supported!");
  EXPECT_EQ(disk.CountTracks(), 2);
  error = {};
  EXPECT_FALSE(SaveImage(disk, dir / "disk", {}, error));
  EXPECT_EQ(test::English(error), "This file type is not supported!");
  EXPECT_FALSE(std::filesystem::exists(dir / "disk"));
}

// A reader's note on success is a notice, never an error.
TEST(FormatTable, NoticesTravelApartFromErrors) {
  TZX_Disk disk;
  disk.Notices = {Diagnostic{MessageId::Td0Created, {"before"}}};
  Diagnostic error;
  ASSERT_TRUE(LoadImage(disk, test::CorpusFile("trd/tslabs_zx-evo__test1.trd"), error)) << error;
  EXPECT_TRUE(disk.Notices.empty());
  EXPECT_TRUE(disk.LastError.Empty());

  test::ScratchDir dir;
  test::MakeMixedDisk(disk, 4, false);
  ASSERT_TRUE(SaveImage(disk, dir / "disk.td0", {}, error)) << error;
  ASSERT_TRUE(LoadImage(disk, dir / "disk.td0", error)) << error;
  EXPECT_TRUE(disk.LastError.Empty());
  ASSERT_EQ(disk.Notices.size(), 1u);
  EXPECT_EQ(test::English(disk.Notices[0]).rfind("Created: ", 0), 0u) << disk.Notices[0];
}

TEST(FormatTable, FailedSaveKeepsTheOldFile) {
  test::ScratchDir dir;
  test::WriteFileBytes(dir / "old.trd", Bytes{7, 7, 7});
  TZX_Disk disk;
  test::MakeKdiLayoutDisk(disk, 2);
  Diagnostic error;
  EXPECT_FALSE(SaveImage(disk, dir / "old.trd", {}, error));
  EXPECT_FALSE(error.Empty());
  EXPECT_EQ(test::ReadFileBytes(dir / "old.trd"), (Bytes{7, 7, 7}));
  EXPECT_EQ(test::EntriesIn(dir.Path()), 1) << "no temporary file is left behind";
}

}  // namespace
}  // namespace velloran
