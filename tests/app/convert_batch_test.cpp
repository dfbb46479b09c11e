// The many-files form of convert: the whole corpus through UDI and back on
// several threads, the summary and exit code when some files fail, and the
// outputs it refuses to write.
#include <gtest/gtest.h>

#include <map>

#include "formats/format_table.h"
#include "support/test_support.h"

namespace velloran {
namespace {

using test::Contains;

namespace fs = std::filesystem;
using test::RunCli;

// SHA-256 of the UDI file each corpus image becomes, as written before raw
// tracks were built the fast way: the faster building must give the same bytes.
const std::map<std::string, std::string> kUdiDigests = {
    {"alfishe_unreal-ng__VORON1.FDI", "79d5d0d2e8c16ce9c4b8da0a33f5d1324e86dc0955c9120b359e34b43b940858"},
    {"keirf_flashfloppy-images__double_density.hfe",
     "54067537873f7417e43095165f8515b90dd088197011609f8b00e639af03a4d8"},
    {"atsiperman_Korvet__SABOTEUR.kdi", "96c6c44a75ce93444e16c76233ea9442f2f398286acb4ad97d1a75bfc22b4301"},
    {"atsiperman_Korvet__disk.kdi", "caab388acde9b891f07f3d10d7c3def5bcdf127aa4d3d403bcb22025a3cb94ca"},
    {"ykaliuta_korvet-pk8020-emulator__00_f32.kdi", "d10d0bb90d137cb378c8ba00c5776a45e6561e93d2f2f9b757bc9631cf14aff6"},
    {"ykaliuta_korvet-pk8020-emulator__01_MICRODOS.KDI",
     "6b8d56aaade46fce880b44ec76136e17ae259f89526362979f6c3e7613dce504"},
    {"ykaliuta_korvet-pk8020-emulator__12_87_09_NIIJAF.kdi",
     "eb24d1b4344cfb9f9119f62837879d2f08e6bc74e64b869521eb39146f4716e6"},
    {"alfishe_unreal-ng__eyeache2.scl", "c4ee02a35dacbccbdc93207de18bd7a6b693f096b918187730a509081081fc84"},
    {"chernandezba_zesarux-extras__pang16c.scl", "f76d496120951b7c84cee3153d77382a0ae567350db24529f9cb226cda76c897"},
    {"tslabs_zx-evo__6de1a8_empty.scl", "9f225fb71a10b0f1d70cdae1b95497299646b8a9d0b13e2b48027437f7c7dfea"},
    {"tslabs_zx-evo__9d4d08_slideshow.scl", "4d552fb45f686545bf5c1cea724f4a4b1935adc74f7b6c3ff3e67ea991684c3b"},
    {"tslabs_zx-evo__UMT2_3.SCL", "bc71f942519fa202115aec1a2773912d83033ed749be941d5e91fbae2b32ef4d"},
    {"tslabs_zx-evo__empty.scl", "02b241e932a989cd0360b29d864c60181741577253a215a4d6df96b170962217"},
    {"tslabs_zx-evo__font_keyboard.scl", "5376bf06a87300a7bd8c99f2b0898f60886675ed2ab6ea1d89df86b859c10741"},
    {"tslabs_zx-evo__slideshow.scl", "1533b6c87cd70a581c89bb27211d25beb5413c61b5d01e4f5a858500c1819643"},
    {"tslabs_zx-evo__xnx.scl", "3dc523e414189cb51e3ed98f9b742838a2e02eff4393e31a6c1312d834a2fa30"},
    {"vitamin-caig_zxtune__FF128.SCL", "f3b1e9bbfa2b8c256d83e17fa25c8cd2464f8aa3f0aed09579819c7b56013613"},
    {"vitamin-caig_zxtune__THEXFACT.SCL", "40536abbbce8c3fc0edf07dec868eca8af60683aaff6adfcac59a00092369821"},
    {"vitamin-caig_zxtune__UFO1.TD0", "16d7c032e57f19b03faa0b96b2000e9f8572a9a81f5620800171d154f65c59e8"},
    {"alfishe_unreal-ng__EyeAche.trd", "7f0e80d8eae131c3ce0f6cccc77ad75ceae2eb3fd3e2b06781ce4bbe42637bcd"},
    {"alfishe_unreal-ng__atarin.trd", "3f9ba2177fcbb45db2b483da6084019e7b0764f8f4a4552866d405b0f5704ed4"},
    {"alfishe_unreal-ng__z80bltst.trd", "caacb25381c93e0a9c07d2213321f2e5f7ff64138d46fc1a41fca602939393c5"},
    {"chernandezba_zesarux-extras__BQ.TRD", "08ed89a1c12fd93d8003b7552209229953a0a46a9b1582a705b7cd73486745cc"},
    {"chernandezba_zesarux-extras__ENJOY.TRD", "79a7db47be434344931f54d6688ecac06da1658e94d0f98a4f19c7b36ccaae97"},
    {"chernandezba_zesarux-extras__Kpacku_deluxe.trd",
     "47d6cf6827caf05659ffe76fd8fcd1330ead0bfd73e8da37a82a48f248a6b1ec"},
    {"chernandezba_zesarux-extras__paralactika_by_demarche.trd",
     "9d38213bbef0b569b9adf1a258106efbc85811eeeb19d7bf676bb0c64b6f8088"},
    {"tslabs_zx-evo__256c-4.trd", "e51f80dfceb3e6dbb1b0039cbbd6c30585cf4408ba6f7064f0f1e8a020ac28e3"},
    {"tslabs_zx-evo__UMT2_3.TRD", "970ff1bd3354fa50643a60c5fec2fe39338e4329c4ae82f814e8af14da487204"},
    {"tslabs_zx-evo__example02.trd", "a0e2cacc36a5021019d88e66df4cf1944f7b40835c28bdec93eb793ffd135b1b"},
    {"tslabs_zx-evo__test1.trd", "97f5b7048a2a9bb7ac3e6017376984219a27262b25cdc50f3e86b06efe189b02"},
    {"vitamin-caig_zxtune__tiden.trd", "57936d9ffff4c88b66ec28b6d4275390ab9efc067eacab4358103f5c02f96a0d"},
    {"alfishe_unreal-ng__Zvezdnoe_Nasledie.udi", "f0394543e2a612fcaf6fa70c6338f0623b0bdc32141c6c21dc3cfa52b285a4b2"},
};

std::string Sha256(const fs::path& file) { return test::Sha256(test::ReadFileBytes(file)); }

// The images of one corpus folder that our readers take.
std::vector<fs::path> LoadableImages(const std::string& folder) {
  std::vector<fs::path> images;
  for (const auto& file : test::CorpusFiles(folder)) {
    TZX_Disk disk;
    Diagnostic error;
    if (LoadImage(disk, file, error)) images.push_back(file);
  }
  return images;
}

// convert --to FORMAT FILES... -d DIR with more threads than the machine may
// have cores, so that jobs really run side by side.
test::RunResult ConvertAll(const std::string& format, const std::vector<fs::path>& files, const fs::path& folder,
                           bool lossy = false) {
  std::vector<std::string> args{"convert", "--to", format};
  for (const auto& file : files) args.push_back(file.string());
  args.insert(args.end(), {"-d", folder.string(), "--jobs", "3"});
  if (lossy) args.push_back("--lossy");
  return RunCli(args);
}

// Every sector of `a` is in `b` in the same slot, with the same ID, state and
// data; "" when so, otherwise where they differ first.
std::string SectorDifference(const TZX_Disk& a, const TZX_Disk& b) {
  for (int t = 0; t < kTrackCount; ++t) {
    for (int s = 0; s < kSlotCount; ++s) {
      const TSectorRec& x = a.GetTrack(static_cast<std::uint8_t>(t)).Sectors[s];
      const TSectorRec& y = b.GetTrack(static_cast<std::uint8_t>(t)).Sectors[s];
      const bool same = x.Used == y.Used && x.IdTrack == y.IdTrack && x.IdSide == y.IdSide &&
                        x.IdSector == y.IdSector && x.IdSize == y.IdSize && x.DataOk == y.DataOk &&
                        x.DataLen == y.DataLen &&
                        std::equal(x.Data.begin(), x.Data.begin() + x.DataLen, y.Data.begin());
      if (x.Used && !same) return "track " + std::to_string(t) + " slot " + std::to_string(s);
    }
  }
  return {};
}

// Every corpus image the readers take goes to UDI in one batch per corpus
// folder; each UDI has its recorded bytes, and a second batch brings the UDIs
// back to the folder's format with every sector intact. Sector dumps and SCL
// come back as the original bytes (a truncated TRD padded with zeros to its
// last whole track). UDI holds no comment, so the comments of the FDI
// images are let go (--lossy) and listed.
TEST(CliBatchConvert, WholeCorpusGoesToUdiAndBack) {
  test::ScratchDir dir;
  std::size_t digestsChecked = 0;
  for (const std::string folder : {"trd", "scl", "kdi", "fdi", "td0", "udi", "hfe"}) {
    SCOPED_TRACE(folder);
    const auto images = LoadableImages(folder);
    ASSERT_FALSE(images.empty());
    auto run = ConvertAll("udi", images, dir / (folder + "-udi"), true);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    if (folder == "fdi") {
      EXPECT_TRUE(Contains(run.err, "lost the disk's comment")) << run.err;
    }
    EXPECT_EQ(run.out, "Converted: " + std::to_string(images.size()) + ", failed: 0\n");

    std::vector<fs::path> udis;
    for (const auto& image : images) {
      udis.push_back(dir / (folder + "-udi") / (image.stem().string() + ".udi"));
      const auto digest = kUdiDigests.find(image.filename().string());
      if (digest == kUdiDigests.end()) continue;
      EXPECT_EQ(Sha256(udis.back()), digest->second) << image.filename();
      ++digestsChecked;
    }

    const auto back = dir / (folder + "-back");
    run = ConvertAll(folder, udis, back);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string extension(FindFormat(ExtensionKey("x." + folder))->defaultExtension);
    for (const auto& image : images) {
      SCOPED_TRACE(image.filename().string());
      const auto returned = back / (image.stem().string() + "." + extension);
      TZX_Disk original;
      TZX_Disk again;
      Diagnostic error;
      ASSERT_TRUE(LoadImage(original, image, error)) << error;
      ASSERT_TRUE(LoadImage(again, returned, error)) << error;
      EXPECT_EQ(SectorDifference(original, again), "");
      if (folder == "trd" || folder == "scl" || folder == "kdi") {
        const Bytes before = test::ReadFileBytes(image);
        const Bytes after = test::ReadFileBytes(returned);
        ASSERT_GE(after.size(), before.size());
        EXPECT_LT(after.size() - before.size(), 4096u);
        EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin()));
        EXPECT_TRUE(std::all_of(after.begin() + static_cast<long>(before.size()), after.end(),
                                [](std::uint8_t b) { return b == 0; }));
      }
    }
  }
  EXPECT_EQ(digestsChecked, kUdiDigests.size());
}

// Good and bad files in one batch: the good ones are converted, every failure
// is named with its reader's message, the summary counts both and the exit
// code is 1. Plain progress lines go to standard error when it is no terminal.
TEST(CliBatchConvert, FailuresAreListedCountedAndMakeTheExitCodeOne) {
  test::ScratchDir dir;
  const auto broken = dir / "broken.fdi";
  test::WriteFileBytes(broken, Bytes{'F', 'D', 'I', 0, 200});
  const auto notes = dir / "notes.txt";
  test::WriteFileBytes(notes, Bytes{1, 2, 3});
  const auto missing = dir / "missing.trd";
  const auto good1 = test::CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd");
  const auto good2 = test::CorpusFile("kdi/atsiperman_Korvet__disk.kdi");
  const auto out = dir / "out";

  const auto run = ConvertAll("fdi", {good1, broken, missing, good2, notes}, out);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "Converted: 2, failed: 3\n");
  EXPECT_TRUE(Contains(run.err, "velloran-cli: " + broken.string() + ": Error in the FDI file length!\n")) << run.err;
  EXPECT_TRUE(Contains(run.err, "velloran-cli: File " + missing.string() + " not found!\n")) << run.err;
  EXPECT_TRUE(Contains(run.err, "velloran-cli: " + notes.string() + ": This file type is not supported!\n")) << run.err;
  EXPECT_TRUE(Contains(run.err, "[5/5] ")) << run.err;
  EXPECT_TRUE(Contains(run.err, good1.string() + " -> " + (out / "alfishe_unreal-ng__EyeAche.fdi").string() + "\n"))
      << run.err;

  // Only the two outputs, no temporary file left behind.
  std::vector<std::string> written;
  for (const auto& entry : fs::directory_iterator(out)) written.push_back(entry.path().filename().string());
  std::sort(written.begin(), written.end());
  EXPECT_EQ(written, (std::vector<std::string>{"alfishe_unreal-ng__EyeAche.fdi", "atsiperman_Korvet__disk.fdi"}));
  TZX_Disk original;
  TZX_Disk converted;
  Diagnostic error;
  ASSERT_TRUE(LoadImage(original, good2, error));
  ASSERT_TRUE(LoadImage(converted, out / "atsiperman_Korvet__disk.fdi", error)) << error;
  EXPECT_EQ(SectorDifference(original, converted), "");
}

// An output never replaces an input (its own or another one of the batch),
// and two inputs of the same name never write the same output: those jobs
// fail with a reason and the others go on.
TEST(CliBatchConvert, NeverWritesOverAnInputOrAnEarlierOutput) {
  test::ScratchDir dir;
  fs::create_directories(dir / "a");
  fs::create_directories(dir / "b");
  test::CopyCorpusFile("trd/alfishe_unreal-ng__EyeAche.trd", dir / "a/x.trd");
  test::CopyCorpusFile("trd/tslabs_zx-evo__UMT2_3.TRD", dir / "b/x.trd");
  const Bytes firstInput = test::ReadFileBytes(dir / "a/x.trd");

  // Its own output, reached through another spelling of the folder.
  auto run = ConvertAll("trd", {dir / "a/x.trd"}, dir / "b/../a");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "Converted: 0, failed: 1\n");
  EXPECT_TRUE(Contains(run.err, "would replace the input " + (dir / "a/x.trd").string())) << run.err;
  EXPECT_EQ(test::ReadFileBytes(dir / "a/x.trd"), firstInput);

  // x.trd would become a/x.udi, which is another input of the batch.
  test::WriteFileBytes(dir / "a/x.udi", Bytes{'k', 'e', 'e', 'p'});
  run = ConvertAll("udi", {dir / "a/x.trd", dir / "b/x.trd", dir / "a/x.udi"}, dir / "a");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(test::ReadFileBytes(dir / "a/x.udi"), (Bytes{'k', 'e', 'e', 'p'}));
  EXPECT_TRUE(Contains(run.err, "velloran-cli: " + (dir / "a/x.trd").string() + ": the output")) << run.err;

  // The second x.trd would overwrite the first one's output.
  run = ConvertAll("udi", {dir / "a/x.trd", dir / "b/x.trd"}, dir / "out");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "Converted: 1, failed: 1\n");
  EXPECT_TRUE(Contains(run.err, (dir / "b/x.trd").string() + ": the output " + (dir / "out" / "x.udi").string() +
                                    " is already that of " + (dir / "a/x.trd").string()))
      << run.err;
  TZX_Disk fromA;
  TZX_Disk written;
  Diagnostic error;
  ASSERT_TRUE(LoadImage(fromA, dir / "a/x.trd", error));
  ASSERT_TRUE(LoadImage(written, dir / "out/x.udi", error)) << error;
  EXPECT_EQ(SectorDifference(fromA, written), "");
}

// Wrong arguments end the command before anything is written; a missing
// output folder is made, and the format name may be in either case.
TEST(CliBatchConvert, ArgumentsAreCheckedFirst) {
  test::ScratchDir dir;
  const auto source = test::CorpusFile("trd/tslabs_zx-evo__test1.trd").string();
  const auto out = (dir / "new/folder").string();

  auto run = RunCli({"convert", "--to", "xyz", source, "-d", out});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Contains(run.err, "unknown format 'xyz'; formats:")) << run.err;
  // The list names the formats that can be written, and only those.
  for (const auto& format : ImageFormats())
    EXPECT_EQ(Contains(run.err, " " + std::string(format.key)), format.save != nullptr) << format.key;

  const std::vector<std::vector<std::string>> wrong = {
      {"convert", "--to", "udi", source},        // no folder
      {"convert", source, "-d", out},            // no format
      {"convert", "--to", "udi", "-d", out},     // no file
      {"convert", "--to", "udi", source, "-d"},  // -d without its folder
      {"convert", "--to", "udi", source, "-d", out, "--jobs", "0"},
      {"convert", "--to", "udi", source, "-d", out, "--fast"},
      {"convert", "--to", "udi", source, "-d", source},  // a file, not a folder
      {"convert", "--to", "raw", source, "-d", out},     // a format that is only read
  };
  for (const auto& args : wrong) {
    run = RunCli(args);
    EXPECT_EQ(run.exitCode, 1) << args.back();
    EXPECT_TRUE(run.out.empty()) << run.out;
    EXPECT_TRUE(Contains(run.err, "velloran-cli: ")) << args.back();
  }
  EXPECT_FALSE(fs::exists(dir / "new"));

  run = RunCli({"convert", "--to", "UDI", source, "-d", out});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(fs::exists(dir / "new/folder/tslabs_zx-evo__test1.udi"));
}

// The batch takes every option of the single conversion: a TR-DOS disk does
// not fit KDI's layout, so the batch refuses it and names --lossy, which then
// converts it and lists the losses.
TEST(CliBatchConvert, LossyAsInTheSingleConversion) {
  test::ScratchDir dir;
  const auto source = test::CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd");
  const auto out = dir / "out";
  const auto kdi = out / "alfishe_unreal-ng__EyeAche.kdi";
  auto run = RunCli({"convert", "--to", "kdi", source.string(), "-d", out.string()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Contains(run.err, "--lossy converts it anyway")) << run.err;
  EXPECT_FALSE(fs::exists(kdi));

  run = RunCli({"convert", "--to", "kdi", source.string(), "-d", out.string(), "--lossy"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(fs::file_size(kdi), 160u * 5120);
  EXPECT_TRUE(Contains(run.err, ": lost track 0, sector 6: ")) << run.err;
}

}  // namespace
}  // namespace velloran
