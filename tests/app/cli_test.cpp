#include <gtest/gtest.h>

#include "formats/fdi.h"
#include "formats/format_table.h"
#include "formats/trd.h"
#include "formats/udf.h"
#include "formats/udi.h"
#include "support/test_support.h"

namespace velloran {
namespace {

using test::Contains;
using test::RunCli;

void PutSector(TZX_Disk& disk, int track, int slot, std::uint8_t r, std::uint8_t n, bool ok) {
  TTrack& t = disk.GetTrack(static_cast<std::uint8_t>(track));
  t.Present = true;
  TSectorRec& s = t.GetSector(static_cast<std::uint8_t>(slot));
  s.Used = true;
  s.IdTrack = static_cast<std::uint8_t>(track / 2);
  s.IdSector = r;
  s.IdSize = n;
  s.IdCrc = IdFieldCrc(s.IdTrack, 0, r, n);
  s.DataOk = ok;
  s.DataLen = n <= 3 ? static_cast<std::uint16_t>(SectorLength(n)) : 0;
}

TEST(CliInfo, PrintsFormatTracksAndSectorStates) {
  TZX_Disk disk;
  for (int r = 1; r <= 3; ++r) PutSector(disk, 0, r - 1, static_cast<std::uint8_t>(r), 1, true);
  PutSector(disk, 0, 3, 4, 1, false);
  PutSector(disk, 0, 4, 5, 9, false);  // a size code whose data length is 0 in FDI: no data
  PutSector(disk, 3, 0, 1, 2, true);
  disk.Comments = {"hello"};
  test::ScratchDir dir;
  ASSERT_TRUE(SaveFDI(disk, dir / "disk.fdi"));

  const auto run = RunCli({"info", (dir / "disk.fdi").string()});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "Format: FDI (FDI sector image with headers), found by its signature\n")) << run.out;
  EXPECT_TRUE(Contains(run.out, "Present tracks: 4\n")) << run.out;
  EXPECT_TRUE(Contains(run.out, "Comment: hello\n")) << run.out;
  EXPECT_TRUE(Contains(run.out, "Track  Sectors  Good  Bad  NoData  IdCRC  Raw  Copies\n")) << run.out;
  EXPECT_TRUE(Contains(run.out, "    0        5     3    1       1      0  no        0\n")) << run.out;
  EXPECT_TRUE(Contains(run.out, "    1        0     0    0       0      0  no        0\n")) << run.out;
  EXPECT_TRUE(Contains(run.out, "    3        1     1    0       0      0  no        0\n")) << run.out;
  EXPECT_TRUE(run.err.empty());
}

TEST(CliInfo, CorpusTrdShowsEightyCylinders) {
  const auto run = RunCli({"info", test::CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd").string()});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "Format: TRD (TR-DOS sector dump), found by its contents\nPresent tracks: 160\n"))
      << run.out;
  EXPECT_TRUE(Contains(run.out, "  159       16    16    0       0      0  no        0\n")) << run.out;
}

// The format comes from the contents; the name only breaks ties.
TEST(CliInfo, MisnamedImagesShowTheFormatFoundAndTheReadersNotices) {
  test::ScratchDir dir;
  test::CopyCorpusFile("scl/tslabs_zx-evo__UMT2_3.SCL", dir / "umt.trd");
  auto run = RunCli({"info", (dir / "umt.trd").string()});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "Format: SCL (TR-DOS files with a short catalog), found by its signature\n"))
      << run.out;

  // A blank 84-cylinder UDI: the extra cylinder is left out with a note.
  const Bytes blank(100, 0x4E);
  Bytes udi = {'U', 'D', 'I', '!', 0, 0, 0, 0, 0, 83, 1, 0, 0, 0, 0, 0};
  for (int t = 0; t < 168; ++t) {
    udi.push_back(0);
    AppendLe16(udi, 100);
    udi.insert(udi.end(), blank.begin(), blank.end());
    udi.insert(udi.end(), 13, 0);
  }
  WriteLe32(&udi[4], static_cast<std::uint32_t>(udi.size()));
  AppendLe32(udi, CalcCRC32(udi.data(), udi.size()));
  test::WriteFileBytes(dir / "blank.img", udi);
  run = RunCli({"info", (dir / "blank.img").string()});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(run.out,
                       "Format: UDI (UDI raw MFM track image), found by its signature\n"
                       "Present tracks: 166\n"
                       "Note: The UDI image is larger than the program holds: the blank tracks of cylinder 83 "
                       "were not loaded.\n"))
      << run.out;
}

// A Hobeta file is one TR-DOS file, not a disk: info shows its header.
TEST(CliInfo, HobetaFileShowsItsHeader) {
  auto run = RunCli({"info", test::CorpusFile("hobeta/vitamin-caig_zxtune__23_59.$m").string()});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(run.out,
                       "Format: Hobeta (one TR-DOS file behind a 17-byte header)\nName: 23:59   \nType: m\n"
                       "Start: 29557\nLength: 5170\nSectors: 21\nChecksum: good (#2086)\nData: 5376 bytes\n"))
      << run.out;
  // One of the corpus files was written with a wrong checksum.
  run = RunCli({"info", test::CorpusFile("hobeta/tslabs_zx-evo__boot.$B").string()});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "Checksum: bad (stored #399F, computed #5DC2)\n")) << run.out;
}

// The command line speaks the language of the locale: Russian for ru,
// English for the C locale and everything else.
TEST(CliLanguage, FollowsTheLocale) {
  test::ScratchDir dir;
  const auto missing = (dir / "missing.trd").string();
  const test::ScopedEnvironment noOverride("LC_ALL", "");
  {
    const test::ScopedEnvironment english("LANG", "C.UTF-8");
    const auto run = RunCli({"info", missing});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "velloran-cli: File " + missing + " not found!\n");
    EXPECT_TRUE(Contains(RunCli({"--help"}).out, "Usage: velloran-cli COMMAND")) << "--help in English";
    EXPECT_TRUE(Contains(RunCli({"ls"}).err, "usage: ls IMAGE"));
  }
  {
    const test::ScopedEnvironment russian("LANG", "ru_RU.UTF-8");
    const auto run = RunCli({"convert", missing, (dir / "out.scl").string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "velloran-cli: Файл " + missing + " не найден!\n");
    const std::string help = RunCli({"--help"}).out;
    EXPECT_TRUE(Contains(help, "Запуск: velloran-cli КОМАНДА")) << help;
    EXPECT_FALSE(Contains(help, "Usage")) << help;
    EXPECT_TRUE(Contains(RunCli({"frobnicate"}).err, "неизвестная команда «frobnicate»"));
  }
  {
    const test::ScopedEnvironment german("LANG", "de_DE.UTF-8");
    EXPECT_TRUE(Contains(RunCli({"frobnicate"}).err, "unknown command 'frobnicate'")) << "unknown locale: English";
  }
}

// What the readers and the loss check say comes out in the locale's language
// too: a damaged image, a refused save and the losses of a lossy one.
TEST(CliLanguage, ReaderErrorsAndLossesFollowTheLocale) {
  test::ScratchDir dir;
  TZX_Disk disk;
  ASSERT_TRUE(LoadTRD(disk, test::CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd")));
  disk.Comments = {"side A"};
  ASSERT_TRUE(SaveUDF(disk, dir / "commented.udf")) << disk.LastError;
  Bytes udi;
  ASSERT_TRUE(SaveUDIToBytes(disk, udi)) << disk.LastError;
  udi[100] ^= 0xFF;  // the checksum at the end no longer matches
  test::WriteFileBytes(dir / "damaged.udi", udi);
  const std::string damaged = (dir / "damaged.udi").string();
  const std::string commented = (dir / "commented.udf").string();
  const std::string out = (dir / "out.trd").string();
  const test::ScopedEnvironment noOverride("LC_ALL", "");
  struct Expected {
    const char* locale;
    std::string damaged, refused, lost;
  };
  for (const Expected& expected :
       {Expected{
            "C.UTF-8", "UDI file checksum error!",
            "The TRD image cannot hold all that is on the disk: the disk's comment (the TRD format does not hold it). "
            "The image is not saved!",
            ": lost the disk's comment (the TRD format does not hold it)"},
        Expected{"ru_RU.UTF-8", "Ошибка контрольной суммы файла UDI!",
                 "Образ TRD не вместит всего, что есть на диске: комментарий к диску (формат TRD этого не хранит). "
                 "Образ не сохранён!",
                 ": потеряно: комментарий к диску (формат TRD этого не хранит)"}}) {
    SCOPED_TRACE(expected.locale);
    const test::ScopedEnvironment locale("LANG", expected.locale);
    auto run = RunCli({"info", damaged});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "velloran-cli: " + damaged + ": " + expected.damaged + "\n");
    run = RunCli({"convert", commented, out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(Contains(run.err, out + ": " + expected.refused + "\n")) << run.err;
    run = RunCli({"convert", commented, out, "--lossy"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(Contains(run.err, out + expected.lost + "\n")) << run.err;
  }
}

TEST(CliInfo, FailuresGoToStandardErrorWithExitCodeOne) {
  test::ScratchDir dir;
  const auto missing = (dir / "missing.fdi").string();
  auto run = RunCli({"info", missing});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "velloran-cli: File " + missing + " not found!\n");
  EXPECT_TRUE(run.out.empty());

  test::WriteFileBytes(dir / "notes.txt", Bytes{1});
  run = RunCli({"info", (dir / "notes.txt").string()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "velloran-cli: " + (dir / "notes.txt").string() + ": This file type is not supported!\n");
  run = RunCli({"info", (dir / "missing.xyz").string()});
  EXPECT_EQ(run.err, "velloran-cli: File " + (dir / "missing.xyz").string() + " not found!\n");

  test::WriteFileBytes(dir / "bad.fdi", Bytes{'F', 'D', 'I', 0, 200});
  run = RunCli({"info", (dir / "bad.fdi").string()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Contains(run.err, "velloran-cli: " + (dir / "bad.fdi").string() + ": Error in the FDI file length!"))
      << run.err;

  EXPECT_EQ(RunCli({"info"}).exitCode, 1);
  EXPECT_EQ(RunCli({"info", missing, "--verbose"}).exitCode, 1);
}

TEST(CliConvert, TrdThroughFdiComesBackByteForByte) {
  const auto source = test::CorpusFile("trd/tslabs_zx-evo__UMT2_3.TRD");
  test::ScratchDir dir;
  auto run = RunCli({"convert", source.string(), (dir / "disk.fdi").string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(run.out.empty() && run.err.empty());
  run = RunCli({"convert", (dir / "disk.fdi").string(), (dir / "back.Trd").string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(test::ReadFileBytes(dir / "back.Trd"), test::ReadFileBytes(source));
}

// A TR-DOS disk (16 x 256) does not fit KDI's five 1024-byte sectors: the
// conversion names the first loss and writes nothing, unless --lossy asks for
// it, and then every loss is listed.
TEST(CliConvert, LossyConversionOnlyWhenAsked) {
  test::ScratchDir dir;
  const auto source = test::CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd").string();
  const auto out = (dir / "disk.kdi").string();
  auto run = RunCli({"convert", source, out});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(
      Contains(run.err, "velloran-cli: " + out +
                            ": The KDI image cannot hold all that is on the disk: track 0, sector 1: a 256-byte "
                            "sector, the KDI format holds sectors of 1024 bytes (2560 losses in all). The image "
                            "is not saved!\n"))
      << run.err;
  EXPECT_TRUE(Contains(run.err, "--lossy")) << run.err;
  EXPECT_FALSE(std::filesystem::exists(out));

  run = RunCli({"convert", source, out, "--lossy"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(std::filesystem::file_size(out), 160u * 5120);
  EXPECT_TRUE(Contains(run.err, ": lost track 0, sector 6: the KDI format has no sector of this number\n")) << run.err;
  EXPECT_TRUE(Contains(run.err, ": lost track 159, sector 16: ")) << run.err;
}

// A TRD through SCP, UDI and MFI comes back byte for byte; info reads the SCP.
TEST(CliConvert, TrdThroughFluxImagesComesBackByteForByte) {
  const auto source = test::CorpusFile("trd/tslabs_zx-evo__UMT2_3.TRD");
  test::ScratchDir dir;
  std::string previous = source.string();
  for (const char* name : {"disk.scp", "disk.udi", "disk.mfi", "back.trd"}) {
    const auto run = RunCli({"convert", previous, (dir / name).string()});
    ASSERT_EQ(run.exitCode, 0) << name << ": " << run.err;
    previous = (dir / name).string();
  }
  EXPECT_EQ(test::ReadFileBytes(dir / "back.trd"), test::ReadFileBytes(source));
  const auto run = RunCli({"info", (dir / "disk.scp").string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(
      run.out, "Format: SCP (SuperCard Pro / Greaseweazle flux image), found by its signature\nPresent tracks: 160\n"))
      << run.out;
  EXPECT_TRUE(Contains(run.out, "  159       16    16    0       0      0  yes       0\n")) << run.out;
  EXPECT_TRUE(Contains(RunCli({"convert", (dir / "disk.scp").string(), (dir / "out.raw").string()}).err,
                       "RAW images can only be read"));
}

TEST(CliConvert, RefusedSaveWritesNothing) {
  test::ScratchDir dir;
  // A copy-protected disk with tracks of 5 x 1024 bytes does not fit a TRD
  // file; even with losses allowed it has no sectors 6..16 for one.
  const auto out = (dir / "disk.trd").string();
  const auto voron = test::CorpusFile("fdi/alfishe_unreal-ng__VORON1.FDI").string();
  auto run = RunCli({"convert", voron, out});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Contains(run.err, "The TRD image cannot hold all that is on the disk: ")) << run.err;
  EXPECT_FALSE(std::filesystem::exists(out));
  run = RunCli({"convert", voron, out, "--lossy"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Contains(run.err, "The TRD image is not saved: track")) << run.err;
  EXPECT_TRUE(Contains(run.err, "has no sector")) << run.err;
  EXPECT_FALSE(std::filesystem::exists(out));

  const auto eyeAche = test::CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd").string();
  run = RunCli({"convert", eyeAche, (dir / "x.doc").string()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Contains(run.err, "This file type is not supported!")) << run.err;

  run = RunCli({"convert", (dir / "none.trd").string(), out});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Contains(run.err, "File " + (dir / "none.trd").string() + " not found!")) << run.err;

  EXPECT_EQ(RunCli({"convert", out}).exitCode, 1);
  EXPECT_EQ(RunCli({"convert", out, out, "--fast"}).exitCode, 1);
}

TEST(CliConvert, CompressChoosesTheCompressedTd0) {
  const auto source = test::CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd").string();
  test::ScratchDir dir;
  auto run = RunCli({"convert", source, (dir / "plain.td0").string()});
  if (Contains(run.err, "not supported yet")) GTEST_SKIP() << run.err;
  ASSERT_EQ(run.exitCode, 0) << run.err;
  run = RunCli({"convert", source, (dir / "packed.td0").string(), "--compress"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const Bytes plain = test::ReadFileBytes(dir / "plain.td0");
  const Bytes packed = test::ReadFileBytes(dir / "packed.td0");
  ASSERT_GE(packed.size(), 2u);
  EXPECT_EQ(plain[0], 'T');
  EXPECT_EQ(packed[0], 't');
  EXPECT_LT(packed.size(), plain.size());
}

// A raw track with a mark in its gap: --keep-raw carries the gap into the new
// UDI, without it the track is rebuilt with standard gap bytes.
TEST(CliConvert, KeepRawKeepsTheLoadedRawTrack) {
  test::ScratchDir dir;
  TZX_Disk disk;
  ASSERT_TRUE(LoadTRD(disk, test::CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd")));
  Bytes udi;
  if (!SaveUDIToBytes(disk, udi)) GTEST_SKIP() << disk.LastError;
  TZX_Disk raw;
  ASSERT_TRUE(LoadUDIFromBytes(raw, udi)) << raw.LastError;
  ASSERT_TRUE(raw.GetTrack(0).RawValid);
  raw.GetTrack(0).RawData[10] = 0x55;
  if (!SaveUDF(raw, dir / "disk.udf")) GTEST_SKIP() << raw.LastError;

  for (const bool keep : {true, false}) {
    std::vector<std::string> args{"convert", (dir / "disk.udf").string(), (dir / "out.udi").string()};
    if (keep) args.push_back("--keep-raw");
    const auto run = RunCli(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    TZX_Disk out;
    ASSERT_TRUE(LoadUDI(out, dir / "out.udi")) << out.LastError;
    EXPECT_EQ(out.GetTrack(0).RawData[10], keep ? 0x55 : 0x4E);
  }
}

// The README's list of formats is what `formats` prints from the table.
TEST(Readme, FormatList) {
  const auto run = RunCli({"formats"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  for (const auto& format : ImageFormats())
    EXPECT_TRUE(Contains(run.out, "\n" + std::string(format.key) + "  *." + std::string(format.defaultExtension)))
        << format.key;
  const Bytes readme = test::ReadFileBytes(std::filesystem::path(VELLORAN_TEST_DATA_DIR) / ".." / ".." / "README.md");
  const std::string text(readme.begin(), readme.end());
  const std::string opening = "<!-- The output of `velloran-cli formats`; a test keeps the two equal. -->\n```\n";
  const std::size_t start = text.find(opening);
  ASSERT_NE(start, std::string::npos);
  const std::size_t end = text.find("```", start + opening.size());
  ASSERT_NE(end, std::string::npos);
  EXPECT_EQ(text.substr(start + opening.size(), end - start - opening.size()), run.out);
}

// --standard-dsk writes the original DSK layout; without it the extended one.
TEST(CliConvert, StandardDskOnRequest) {
  const auto source = test::CorpusFile("trd/tslabs_zx-evo__test1.trd").string();
  test::ScratchDir dir;
  ASSERT_EQ(RunCli({"convert", source, (dir / "extended.dsk").string()}).exitCode, 0);
  ASSERT_EQ(RunCli({"convert", source, (dir / "standard.dsk").string(), "--standard-dsk"}).exitCode, 0);
  EXPECT_EQ(test::ReadFileBytes(dir / "extended.dsk")[0], 'E');
  EXPECT_EQ(test::ReadFileBytes(dir / "standard.dsk")[0], 'M');
  ASSERT_EQ(RunCli({"convert", (dir / "standard.dsk").string(), (dir / "back.trd").string()}).exitCode, 0);
  EXPECT_EQ(test::ReadFileBytes(dir / "back.trd"), test::ReadFileBytes(source));
}

}  // namespace
}  // namespace velloran
