// SCP, MFI and KryoFlux images against independent truth: flux that MAME's
// floptool makes from corpus images, our MFI read back by floptool, round
// trips through two flux formats, and captured flux passed on unchanged.
#include <gtest/gtest.h>

#include "flux/flux_disk.h"
#include "formats/flux_image.h"
#include "formats/format_table.h"
#include "formats/kryoflux.h"
#include "formats/mfi.h"
#include "formats/sample_disks.h"
#include "formats/scp.h"
#include "formats/trd.h"
#include "formats/udi.h"
#include "support/test_support.h"

namespace velloran {
namespace {

// Corpus images and the floptool format that reads each: a representative
// set of TR-DOS dumps, a TeleDisk image and a Korvet disk.
const std::vector<std::pair<std::string, std::string>> kFloptoolSources = {
    {"trd/alfishe_unreal-ng__EyeAche.trd", "trd"},
    {"trd/tslabs_zx-evo__UMT2_3.TRD", "trd"},
    {"td0/vitamin-caig_zxtune__UFO1.TD0", "td0"},
    {"kdi/atsiperman_Korvet__disk.kdi", "pk8020"},
};

TEST(FluxCrossTool, FloptoolFluxOfCorpusImagesDecodesToTheSameSectors) {
  if (!test::HaveProgram("floptool")) GTEST_SKIP() << "floptool (mame-tools) is not installed";
  for (const auto& [name, format] : kFloptoolSources) {
    SCOPED_TRACE(name);
    test::ScratchDir dir;
    const auto run = test::RunProgram(
        "floptool", {"flopconvert", format, "mfi", test::CorpusFile(name).string(), (dir / "disk.mfi").string()});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    TZX_Disk original, decoded;
    Diagnostic error;
    ASSERT_TRUE(LoadImage(original, test::CorpusFile(name), error)) << error;
    ASSERT_TRUE(LoadMFI(decoded, dir / "disk.mfi")) << decoded.LastError;
    EXPECT_TRUE(decoded.Notices.empty());
    EXPECT_EQ(test::SectorDifference(original, decoded, format != "trd"), "");
  }
}

// floptool reads our MFI to the same sectors, and our file is no larger than
// the one floptool writes of the same disk: our cells are whole MFI units.
TEST(FluxCrossTool, FloptoolReadsOurMfiAsTheSameTrd) {
  if (!test::HaveProgram("floptool")) GTEST_SKIP() << "floptool (mame-tools) is not installed";
  for (const char* name : {"trd/vitamin-caig_zxtune__tiden.trd", "trd/tslabs_zx-evo__example02.trd",
                           "udi/alfishe_unreal-ng__Zvezdnoe_Nasledie.udi"}) {
    SCOPED_TRACE(name);
    test::ScratchDir dir;
    TZX_Disk disk;
    Diagnostic error;
    ASSERT_TRUE(LoadImage(disk, test::CorpusFile(name), error)) << error;
    ASSERT_TRUE(SaveTRD(disk, dir / "ours.trd")) << disk.LastError;
    ASSERT_TRUE(SaveMFI(disk, dir / "disk.mfi")) << disk.LastError;
    const auto run = test::RunProgram(
        "floptool", {"flopconvert", "mfi", "trd", (dir / "disk.mfi").string(), (dir / "theirs.trd").string()});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(test::ReadFileBytes(dir / "theirs.trd"), test::ReadFileBytes(dir / "ours.trd"));
    const auto theirs = test::RunProgram(
        "floptool", {"flopconvert", "trd", "mfi", (dir / "ours.trd").string(), (dir / "theirs.mfi").string()});
    ASSERT_EQ(theirs.exitCode, 0) << theirs.out << theirs.err;
    EXPECT_LE(std::filesystem::file_size(dir / "disk.mfi"), std::filesystem::file_size(dir / "theirs.mfi"));
  }
}

// SCP -> UDI -> SCP and MFI -> SCP -> MFI keep every sector, bad ones bad.
// A PC 1.2 MB disk (80 x 2 x 15 x 512 at 500 kbit/s, 360 rpm) made into an
// MFI by floptool, its variant field cleared as some captures have it: the
// speed comes from the flux, every sector is there with the image's bytes,
// and a notice says the raw tracks (too long for the model) were not kept.
TEST(FluxCrossTool, HighDensityMfiWithoutVariantDecodesEverySector) {
  if (!test::HaveProgram("floptool")) GTEST_SKIP() << "floptool (mame-tools) is not installed";
  test::ScratchDir dir;
  Bytes image(80 * 2 * 15 * 512);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i / 512 * 7 + i % 251);
  test::WriteFileBytes(dir / "disk.img", image);
  const auto run = test::RunProgram(
      "floptool", {"flopconvert", "pc", "mfi", (dir / "disk.img").string(), (dir / "disk.mfi").string()});
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
  Bytes mfi = test::ReadFileBytes(dir / "disk.mfi");
  ASSERT_EQ(Bytes(mfi.begin() + 24, mfi.begin() + 32), (Bytes{'5', '2', '5', ' ', 'D', 'S', 'H', 'D'}));
  for (const bool variantKnown : {true, false}) {
    SCOPED_TRACE(variantKnown ? "DSHD" : "variant 0");
    if (!variantKnown) std::fill(mfi.begin() + 28, mfi.begin() + 32, 0);
    TZX_Disk disk;
    ASSERT_TRUE(LoadMFIFromBytes(disk, mfi)) << disk.LastError;
    EXPECT_EQ(disk.CountTracks(), 160);
    for (int t = 0; t < 160; ++t) {
      TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
      ASSERT_EQ(track.CountSectors(), 15) << "track " << t;
      for (const TSectorRec& sector : track.Sectors) {
        if (!sector.Used) continue;
        ASSERT_EQ(sector.IdSize, 2);
        ASSERT_TRUE(sector.DataOk) << "track " << t << " sector " << int{sector.IdSector};
        const std::size_t offset = (std::size_t{15} * t + sector.IdSector - 1) * 512;
        ASSERT_TRUE(std::equal(sector.Data.begin(), sector.Data.begin() + 512, image.begin() + offset));
      }
    }
    ASSERT_EQ(disk.Notices.size(), 1u);
    EXPECT_EQ(test::English(disk.Notices[0]).rfind("160 tracks keep their sectors but not their raw track", 0), 0u)
        << disk.Notices[0];
  }
}

TEST(FluxFormats, RoundTripsThroughTwoFormatsKeepEverySector) {
  test::ScratchDir dir;
  TZX_Disk mixed;
  test::MakeMixedDisk(mixed, 12, true);
  for (const auto& chain : std::vector<std::vector<std::string>>{{"scp", "udi", "scp"}, {"mfi", "scp", "mfi"}}) {
    SCOPED_TRACE(chain.front());
    TZX_Disk disk = mixed;
    Diagnostic error;
    for (const std::string& extension : chain) {
      const auto file = dir / ("disk." + extension);
      ASSERT_TRUE(SaveImage(disk, file, {}, error)) << error;
      ASSERT_TRUE(LoadImage(disk, file, error)) << error;
      EXPECT_EQ(test::DiskDifference(mixed, disk, {}), "") << extension;
    }
  }
}

// A captured disk of three revolutions a track: written back as SCP with all
// three (MFI would lose two), the flux of unchanged tracks byte for byte; a
// track edited since loading is encoded anew.
TEST(FluxFormats, CapturedRevolutionsArePassedOnUntilATrackChanges) {
  TZX_Disk source;
  test::MakeMixedDisk(source, 4, false);
  auto capture = std::make_shared<FluxDisk>();
  for (int t = 0; t < 4; ++t) {
    FluxTrack one;
    ASSERT_TRUE(EncodeDiskTrack(source, static_cast<std::uint8_t>(t), {}, one));
    FluxTrack three;
    three.sampleClock = one.sampleClock;
    for (int r = 0; r < 3; ++r) {
      std::vector<std::uint32_t> intervals = one.intervals;
      intervals[100 + r] += 3;  // each revolution a little different
      intervals[101 + r] -= 3;
      AppendRevolution(three, intervals, one.indexTimes.back());
    }
    capture->tracks[t] = FluxDisk::HeldTrack{three, 0};
  }
  TZX_Disk disk;
  EXPECT_TRUE(DecodeFluxDisk(disk, capture).empty());
  EXPECT_EQ(test::DiskDifference(source, disk, {}), "");
  // SCP keeps every revolution; MFI only the first, so a save as MFI loses the others.
  EXPECT_TRUE(FindSaveLosses(disk, *FindFormat("SCP")).empty());
  const SaveLosses mfi = FindSaveLosses(disk, *FindFormat("MFI"));
  ASSERT_EQ(mfi.size(), 4u);
  EXPECT_EQ(mfi[3].kind, LossKind::Revolutions);
  EXPECT_EQ(mfi[3].track, 3);

  Bytes first, second;
  ASSERT_TRUE(SaveSCPToBytes(disk, first)) << disk.LastError;
  EXPECT_EQ(first[5], 3);  // revolutions
  TZX_Disk loaded;
  ASSERT_TRUE(LoadSCPFromBytes(loaded, first)) << loaded.LastError;
  for (int t = 0; t < 4; ++t) {
    const FluxTrack* held = HeldFlux(loaded, static_cast<std::uint8_t>(t));
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->intervals, capture->tracks[t]->flux.intervals) << t;
  }
  ASSERT_TRUE(SaveSCPToBytes(loaded, second));
  EXPECT_EQ(first, second);

  loaded.GetSector(2, 0).Data[5] ^= 0xFF;  // edited: no longer the captured flux
  EXPECT_EQ(HeldFlux(loaded, 2), nullptr);
  ASSERT_TRUE(SaveSCPToBytes(loaded, second));
  TZX_Disk edited;
  ASSERT_TRUE(LoadSCPFromBytes(edited, second));
  EXPECT_EQ(test::DiskDifference(loaded, edited, {}), "");
  const FluxTrack* track2 = HeldFlux(edited, 2);
  ASSERT_NE(track2, nullptr);
  EXPECT_EQ(RevolutionIntervals(*track2, 0), RevolutionIntervals(*track2, 2));
}

// A capture larger than a disk may hold in memory keeps the whole
// revolutions that fit and carries the rest as a loss, so that a save without
// --lossy is refused instead of dropping them without a word.
TEST(FluxFormats, RevolutionsPastTheMemoryLimitAreCutAndCarriedAsALoss) {
  TZX_Disk source;
  test::MakeMixedDisk(source, 1, false);
  FluxTrack one;
  ASSERT_TRUE(EncodeDiskTrack(source, 0, {}, one));
  FluxTrack three;
  three.sampleClock = one.sampleClock;
  for (int r = 0; r < 3; ++r) AppendRevolution(three, one.intervals, one.indexTimes.back());

  FluxBudget budget;
  ASSERT_TRUE(budget.Take(kMaxFluxDiskTransitions - 2 * one.intervals.size() - 5));
  TZX_Disk disk;
  ASSERT_TRUE(budget.Fit(three, 0, disk));
  EXPECT_EQ(three.Revolutions(), 2);
  EXPECT_EQ(RevolutionIntervals(three, 1), one.intervals);
  ASSERT_EQ(disk.Losses.size(), 1u);
  EXPECT_EQ(disk.Losses[0].kind, LossKind::FluxCut);
  EXPECT_EQ(disk.Losses[0].track, 0);

  FluxTrack another = three;  // not even one revolution fits any more
  EXPECT_FALSE(budget.Fit(another, 1, disk));
}

// Each flux format is found by its contents whatever the file is called,
// and no probe takes another's file.
TEST(FluxFormats, ProbesKnowTheirOwnFilesOnly) {
  test::ScratchDir dir;
  TZX_Disk disk;
  test::MakeTrdosLayoutDisk(disk, 2);
  ASSERT_TRUE(SaveSCP(disk, dir / "scp.bin"));
  ASSERT_TRUE(SaveMFI(disk, dir / "mfi.bin"));
  ASSERT_TRUE(SaveUDI(disk, dir / "udi.bin"));
  std::filesystem::create_directory(dir / "set");
  ASSERT_TRUE(test::WriteKryoFluxSet(disk, dir / "set" / "s00.0.raw"));
  const Bytes floptool = {'M', 'E', 'S', 'S', 'F', 'L', 'O', 'P', 'P', 'Y', 'I', 'M', 'A', 'G', 'E', 0,
                          0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0};
  test::WriteFileBytes(dir / "old.bin", floptool);
  const auto detected = [&](const std::filesystem::path& file) {
    const ImageFormat* format = DetectFormat(file).format;
    return format == nullptr ? std::string() : std::string(format->key);
  };
  EXPECT_EQ(detected(dir / "scp.bin"), "SCP");
  EXPECT_EQ(detected(dir / "mfi.bin"), "MFI");
  EXPECT_EQ(detected(dir / "old.bin"), "MFI") << "the old signature";
  EXPECT_EQ(detected(dir / "udi.bin"), "UDI");
  EXPECT_EQ(detected(dir / "set" / "s00.0.raw"), "RAW");
  EXPECT_EQ(detected(dir / "set"), "RAW") << "a folder of streams";
  std::filesystem::copy_file(dir / "set" / "s00.0.raw", dir / "stream.bin");
  EXPECT_EQ(detected(dir / "stream.bin"), "") << "a stream needs its set's name";
}

TEST(FluxFormats, ScpChecksumMismatchIsANoteNotARefusal) {
  TZX_Disk disk;
  test::MakeTrdosLayoutDisk(disk, 2);
  Bytes file;
  ASSERT_TRUE(SaveSCPToBytes(disk, file));
  std::uint32_t sum = 0;
  for (std::size_t i = 16; i < file.size(); ++i) sum += file[i];
  EXPECT_EQ(ReadLe32(&file[12]), sum);
  file[12] ^= 1;
  TZX_Disk loaded;
  ASSERT_TRUE(LoadSCPFromBytes(loaded, file));
  EXPECT_EQ(test::English(loaded.Notices),
            std::vector<std::string>{"The SCP checksum does not match: the file may be damaged."});
  EXPECT_EQ(test::DiskDifference(disk, loaded, {}), "");
}

// A stream set is found from any one of its files or from its folder, and
// the command line converts it.
TEST(FluxFormats, KryoFluxSetLoadsFromAFileOrItsFolder) {
  test::ScratchDir dir;
  std::filesystem::create_directory(dir / "kryoflux");
  TZX_Disk disk;
  test::MakeMixedDisk(disk, 6, true);
  ASSERT_TRUE(test::WriteKryoFluxSet(disk, dir / "kryoflux" / "track00.0.raw")) << disk.LastError;
  for (const auto& path : {dir / "kryoflux", dir / "kryoflux" / "track02.1.raw"}) {
    TZX_Disk loaded;
    Diagnostic error;
    ASSERT_TRUE(LoadImage(loaded, path, error)) << error;
    EXPECT_EQ(test::DiskDifference(disk, loaded, {}), "") << path;
  }
  const auto run =
      test::RunCli({"convert", (dir / "kryoflux" / "track00.0.raw").string(), (dir / "disk.udi").string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  TZX_Disk converted;
  ASSERT_TRUE(LoadUDI(converted, dir / "disk.udi"));
  EXPECT_EQ(test::DiskDifference(disk, converted, {}), "");
}

// A stream file cut short loads what it holds and says that the stream of
// that track ended early, not only that its sectors are bad.
TEST(FluxFormats, KryoFluxStreamCutShortIsNamed) {
  test::ScratchDir dir;
  TZX_Disk disk;
  test::MakeTrdosLayoutDisk(disk, 4);
  ASSERT_TRUE(test::WriteKryoFluxSet(disk, dir / "track00.0.raw")) << disk.LastError;
  const auto cut = dir / "track01.1.raw";
  Bytes stream = test::ReadFileBytes(cut);
  stream.resize(stream.size() / 3);
  test::WriteFileBytes(cut, stream);
  TZX_Disk loaded;
  ASSERT_TRUE(LoadKryoFlux(loaded, dir / "track00.0.raw")) << loaded.LastError;
  ASSERT_FALSE(loaded.Notices.empty());
  EXPECT_EQ(test::English(loaded.Notices[0])
                .rfind("The KryoFlux stream of track 3 (track01.1.raw) ends early, without its end block", 0),
            0u)
      << loaded.Notices[0];
  EXPECT_LT(loaded.GetTrack(3).CountSectors(), 16);
  EXPECT_EQ(loaded.GetTrack(2).CountSectors(), 16);
}

TEST(FluxFormats, KryoFluxIndexLiesInsideTheValueItInterrupts) {
  // Values 100, 200, overflow + 50, 300; an index 30 ticks into the third.
  const Bytes stream = {0x0D, 0x02, 12,  0,   3,    0,    0,  0,    30,   0,    0,    0,    0,   0,
                        0,    0,    100, 200, 0x0B, 0x00, 50, 0x01, 0x2C, 0x0D, 0x0D, 0x0D, 0x0D};
  FluxTrack flux;
  Diagnostic error;
  ASSERT_TRUE(ParseKryoFluxStream(stream, flux, error)) << error;
  EXPECT_EQ(flux.intervals, (std::vector<std::uint32_t>{100, 200, 65586, 300}));
  EXPECT_EQ(flux.indexTimes, (std::vector<std::uint64_t>{330}));
  EXPECT_FALSE(ParseKryoFluxStream(Bytes{0x0D, 0x04, 0x20, 0x00, 's'}, flux, error));
}

}  // namespace
}  // namespace velloran
