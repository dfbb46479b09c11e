// Our image files checked against independent tools: MAME's floptool (TRD,
// the Korvet KDI, DSK and IMD) and libdsk's dsktrans (DSK, EDSK, IMD).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>

#include "formats/dsk.h"
#include "formats/fdi.h"
#include "formats/format_table.h"
#include "formats/imd.h"
#include "formats/kdi.h"
#include "formats/pro.h"
#include "formats/sample_disks.h"
#include "formats/trd.h"
#include "support/test_support.h"

namespace velloran {
namespace {

// A sector as an extended CPC DSK file lists it.
struct DskSector {
  std::uint8_t c, h, r, n;
  Bytes data;
};

// The tracks of an extended DSK file (as libdsk writes them): a 256-byte
// disk header with one size byte per track, then per track a 256-byte track
// header listing the sector IDs and lengths, then the sector data.
std::vector<std::vector<DskSector>> ReadExtendedDsk(const Bytes& file) {
  std::vector<std::vector<DskSector>> tracks;
  if (file.size() < 256 || std::memcmp(file.data(), "EXTENDED", 8) != 0) return tracks;
  const int count = file[0x30] * file[0x31];
  std::size_t offset = 256;
  for (int t = 0; t < count && 0x34 + t < 256; ++t) {
    const std::size_t size = file[0x34 + t] * 256u;
    std::vector<DskSector> sectors;
    if (size > 0 && offset + size <= file.size()) {
      const std::uint8_t* block = &file[offset];
      std::size_t data = offset + 256;
      for (int s = 0; s < block[0x15]; ++s) {
        const std::uint8_t* info = block + 0x18 + 8 * s;
        const std::size_t length = ReadLe16(info + 6);
        DskSector sector{info[0], info[1], info[2], info[3], {}};
        if (data + length <= file.size())
          sector.data.assign(file.begin() + static_cast<std::ptrdiff_t>(data),
                             file.begin() + static_cast<std::ptrdiff_t>(data + length));
        data += length;
        sectors.push_back(std::move(sector));
      }
    }
    offset += size;
    tracks.push_back(std::move(sectors));
  }
  return tracks;
}

const TSectorRec* FindNumber(const TZX_Disk& disk, int track, std::uint8_t number) {
  for (const auto& s : disk.GetTrack(static_cast<std::uint8_t>(track)).Sectors)
    if (s.Used && s.IdSector == number) return &s;
  return nullptr;
}

// libdsk reads our file with a geometry of its own and lists each track's
// sectors; every one must hold the data our disk has under that number.
void ExpectDskMatchesDisk(const Bytes& dsk, const TZX_Disk& disk, int tracks, bool checkSide) {
  const auto dskTracks = ReadExtendedDsk(dsk);
  ASSERT_EQ(dskTracks.size(), static_cast<std::size_t>(tracks));
  for (int t = 0; t < tracks; ++t) {
    ASSERT_FALSE(dskTracks[t].empty()) << t;
    for (const auto& sector : dskTracks[t]) {
      EXPECT_EQ(sector.c, t / 2);
      if (checkSide) {
        EXPECT_EQ(sector.h, t % 2);
      }
      const TSectorRec* ours = FindNumber(disk, t, sector.r);
      ASSERT_NE(ours, nullptr) << "track " << t << " sector " << int(sector.r);
      EXPECT_EQ(sector.n, ours->IdSize);
      ASSERT_EQ(sector.data.size(), ours->DataLen);
      EXPECT_EQ(0, std::memcmp(sector.data.data(), ours->Data.data(), ours->DataLen))
          << "track " << t << " sector " << int(sector.r);
    }
  }
}

// Runs dsktrans with a libdsk configuration that knows the Korvet and Profi
// geometry (80 cylinders, two sides, five 1024-byte sectors).
test::RunResult Dsktrans(const test::ScratchDir& dir, const std::vector<std::string>& args) {
  std::ofstream(dir / ".libdskrc") << "[korvet800]\ndescription = Korvet 800k\nsides = alt\ncylinders = 80\n"
                                      "heads = 2\nsecsize = 1024\nsectors = 5\nsecbase = 1\n";
  std::vector<std::string> envArgs{"HOME=" + dir.Path().string(), "dsktrans"};
  envArgs.insert(envArgs.end(), args.begin(), args.end());
  return test::RunProgram("env", envArgs);
}

// A one-sided CPC data disk made by libdsk goes through FDI and back to DSK
// and stays one-sided: 40 tracks, and libdsk reads the same bytes from it.
TEST(CrossTool, OneSidedDskThroughFdiStaysOneSided) {
  if (!test::HaveProgram("dsktrans")) GTEST_SKIP() << "dsktrans (libdsk-utils) is not installed";
  test::ScratchDir dir;
  Bytes image(40 * 9 * 512);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7 + i / 512);
  test::WriteFileBytes(dir / "disk.img", image);
  auto run = Dsktrans(dir, {"-itype", "raw", "-format", "cpcdata", "-otype", "edsk", (dir / "disk.img").string(),
                            (dir / "theirs.dsk").string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  TZX_Disk disk, throughFdi;
  Diagnostic error;
  ASSERT_TRUE(LoadImage(disk, dir / "theirs.dsk", error)) << error;
  ASSERT_TRUE(SaveFDI(disk, dir / "disk.fdi")) << disk.LastError;
  EXPECT_EQ(ReadLe16(&test::ReadFileBytes(dir / "disk.fdi")[6]), 1) << "heads";
  ASSERT_TRUE(LoadImage(throughFdi, dir / "disk.fdi", error)) << error;
  EXPECT_EQ(throughFdi.CountTracks(), 40);
  ASSERT_TRUE(SaveImage(throughFdi, dir / "ours.dsk", {}, error)) << error;
  run = Dsktrans(dir, {"-itype", "edsk", "-format", "cpcdata", "-otype", "raw", (dir / "ours.dsk").string(),
                       (dir / "back.img").string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(test::ReadFileBytes(dir / "back.img") == image);
  TZX_Disk again;
  ASSERT_TRUE(LoadImage(again, dir / "ours.dsk", error)) << error;
  EXPECT_EQ(again.CountTracks(), 40);
}

// Sectors lie on the tracks in the interleave 1, 9, 2, 10, ...; libdsk must
// still find each under its number in our TRD.
TEST(CrossTool, DsktransReadsOurTrdSectorByNumber) {
  if (!test::HaveProgram("dsktrans")) GTEST_SKIP() << "dsktrans (libdsk-utils) is not installed";
  TZX_Disk disk;
  for (int t = 0; t < 160; ++t)
    for (int i = 0; i < 16; ++i)
      test::PutSector(disk, t, i, static_cast<std::uint8_t>(t / 2), 0,
                      static_cast<std::uint8_t>(i % 2 == 0 ? i / 2 + 1 : i / 2 + 9), 1);
  test::ScratchDir dir;
  ASSERT_TRUE(SaveTRD(disk, dir / "disk.trd")) << disk.LastError;
  const auto run = Dsktrans(dir, {"-itype", "raw", "-format", "trdos640", "-otype", "edsk", (dir / "disk.trd").string(),
                                  (dir / "disk.dsk").string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  ExpectDskMatchesDisk(test::ReadFileBytes(dir / "disk.dsk"), disk, 160, false);
}

TEST(CrossTool, DsktransReadsOurKdiWithItsIds) {
  if (!test::HaveProgram("dsktrans")) GTEST_SKIP() << "dsktrans (libdsk-utils) is not installed";
  TZX_Disk disk;
  const std::uint8_t order[] = {3, 1, 5, 2, 4};
  for (int t = 0; t < 160; ++t)
    for (int i = 0; i < 5; ++i)
      test::PutSector(disk, t, i, static_cast<std::uint8_t>(t / 2), static_cast<std::uint8_t>(t % 2), order[i], 3);
  test::ScratchDir dir;
  ASSERT_TRUE(SaveKDI(disk, dir / "disk.kdi")) << disk.LastError;
  const auto run = Dsktrans(dir, {"-itype", "raw", "-format", "korvet800", "-otype", "edsk",
                                  (dir / "disk.kdi").string(), (dir / "disk.dsk").string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  ExpectDskMatchesDisk(test::ReadFileBytes(dir / "disk.dsk"), disk, 160, true);
  // Loading our own file gives the same sectors as libdsk saw.
  TZX_Disk loaded;
  ASSERT_TRUE(LoadKDI(loaded, dir / "disk.kdi"));
  ExpectDskMatchesDisk(test::ReadFileBytes(dir / "disk.dsk"), loaded, 160, true);
}

// A PRO file has the Korvet geometry except that the fifth sector of track 0
// is numbered 9: libdsk, reading it as a plain dump, finds it in place 5.
TEST(CrossTool, DsktransReadsOurProInFileOrder) {
  if (!test::HaveProgram("dsktrans")) GTEST_SKIP() << "dsktrans (libdsk-utils) is not installed";
  TZX_Disk disk;
  test::MakeProLayoutDisk(disk, 160);
  test::ScratchDir dir;
  ASSERT_TRUE(SavePRO(disk, dir / "disk.pro")) << disk.LastError;
  const auto run = Dsktrans(dir, {"-itype", "raw", "-format", "korvet800", "-otype", "edsk",
                                  (dir / "disk.pro").string(), (dir / "disk.dsk").string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const auto tracks = ReadExtendedDsk(test::ReadFileBytes(dir / "disk.dsk"));
  ASSERT_EQ(tracks.size(), 160u);
  const TSectorRec& nine = disk.GetSector(0, 4);
  ASSERT_EQ(nine.IdSector, 9);
  ASSERT_EQ(tracks[0].size(), 5u);
  for (const auto& sector : tracks[0]) {
    if (sector.r == 5) {
      EXPECT_EQ(0, std::memcmp(sector.data.data(), nine.Data.data(), 1024));
    }
  }
  for (int t = 1; t < 160; ++t)
    for (const auto& sector : tracks[t])
      EXPECT_EQ(0, std::memcmp(sector.data.data(), FindNumber(disk, t, sector.r)->Data.data(), 1024)) << t;
}

// floptool takes our TRD (made from a corpus TRD through our FDI) into its
// own floppy model and writes it back as TRD: the bytes must survive.
TEST(CrossTool, FloptoolRewritesOurTrdUnchanged) {
  if (!test::HaveProgram("floptool")) GTEST_SKIP() << "floptool (mame-tools) is not installed";
  for (const char* name : {"trd/alfishe_unreal-ng__EyeAche.trd", "trd/tslabs_zx-evo__UMT2_3.TRD"}) {
    test::ScratchDir dir;
    TZX_Disk disk;
    ASSERT_TRUE(LoadTRD(disk, test::CorpusFile(name)));
    ASSERT_TRUE(SaveFDI(disk, dir / "disk.fdi"));
    TZX_Disk fromFdi;
    ASSERT_TRUE(LoadFDI(fromFdi, dir / "disk.fdi")) << fromFdi.LastError;
    ASSERT_TRUE(SaveTRD(fromFdi, dir / "ours.trd")) << fromFdi.LastError;
    auto run = test::RunProgram(
        "floptool", {"flopconvert", "trd", "mfi", (dir / "ours.trd").string(), (dir / "disk.mfi").string()});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    run = test::RunProgram("floptool",
                           {"flopconvert", "mfi", "trd", (dir / "disk.mfi").string(), (dir / "theirs.trd").string()});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(test::ReadFileBytes(dir / "theirs.trd"), test::ReadFileBytes(dir / "ours.trd")) << name;
    EXPECT_EQ(test::ReadFileBytes(dir / "ours.trd"), test::ReadFileBytes(test::CorpusFile(name))) << name;
  }
}

TEST(CrossTool, FloptoolRewritesOurKdiUnchanged) {
  if (!test::HaveProgram("floptool")) GTEST_SKIP() << "floptool (mame-tools) is not installed";
  const auto name = test::CorpusFile("kdi/ykaliuta_korvet-pk8020-emulator__01_MICRODOS.KDI");
  test::ScratchDir dir;
  TZX_Disk disk;
  ASSERT_TRUE(LoadKDI(disk, name));
  ASSERT_TRUE(SaveFDI(disk, dir / "disk.fdi"));
  TZX_Disk fromFdi;
  ASSERT_TRUE(LoadFDI(fromFdi, dir / "disk.fdi")) << fromFdi.LastError;
  ASSERT_TRUE(SaveKDI(fromFdi, dir / "ours.kdi")) << fromFdi.LastError;
  auto run = test::RunProgram(
      "floptool", {"flopconvert", "pk8020", "mfi", (dir / "ours.kdi").string(), (dir / "disk.mfi").string()});
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
  run = test::RunProgram("floptool",
                         {"flopconvert", "mfi", "pk8020", (dir / "disk.mfi").string(), (dir / "theirs.kdi").string()});
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
  EXPECT_EQ(test::ReadFileBytes(dir / "theirs.kdi"), test::ReadFileBytes(dir / "ours.kdi"));
  EXPECT_EQ(test::ReadFileBytes(dir / "ours.kdi"), test::ReadFileBytes(name));
}

// ---- DSK, EDSK and IMD ----

// floptool converts `input` of format `from` into `output` of format `to`.
void Floptool(const std::string& from, const std::string& to, const std::filesystem::path& input,
              const std::filesystem::path& output) {
  const auto run = test::RunProgram("floptool", {"flopconvert", from, to, input.string(), output.string()});
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
}

// A sector dump floptool wrote from a disk of ours: it holds at least the
// tracks of our dump, the same bytes, and zeros for the unformatted rest.
void ExpectSameDump(const Bytes& ours, const Bytes& theirs) {
  ASSERT_GE(theirs.size(), ours.size());
  EXPECT_TRUE(std::equal(ours.begin(), ours.end(), theirs.begin()));
  EXPECT_TRUE(std::all_of(theirs.begin() + static_cast<std::ptrdiff_t>(ours.size()), theirs.end(),
                          [](std::uint8_t b) { return b == 0; }));
}

// The corpus disks floptool can write back as a dump: TR-DOS disks as TRD,
// Korvet disks as its pk8020 format (KDI).
struct DumpTarget {
  std::string ourKey;
  std::string floptoolFormat;
};

DumpTarget DumpTargetOf(const std::filesystem::path& file) {
  if (file.parent_path().filename() == "kdi") return {"KDI", "pk8020"};
  return {"TRD", "trd"};
}

std::vector<std::filesystem::path> DumpableCorpusDisks() {
  std::vector<std::filesystem::path> files;
  for (const char* folder : {"trd", "udi", "td0", "kdi"})
    for (const auto& file : test::CorpusFiles(folder)) files.push_back(file);
  return files;
}

// Every corpus disk saved as our extended DSK reads in floptool as the
// same disk: its dump equals ours.
class FloptoolReadsOurDsk : public testing::TestWithParam<std::filesystem::path> {};

TEST_P(FloptoolReadsOurDsk, ToTheSameDump) {
  if (!test::HaveProgram("floptool")) GTEST_SKIP() << "floptool (mame-tools) is not installed";
  const DumpTarget target = DumpTargetOf(GetParam());
  test::ScratchDir dir;
  TZX_Disk disk;
  Diagnostic error;
  ASSERT_TRUE(LoadImage(disk, GetParam(), error)) << error;
  ASSERT_TRUE(SaveImageAs(disk, dir / "ours.dump", *FindFormat(target.ourKey), {}, error)) << error;
  ASSERT_TRUE(SaveDSK(disk, dir / "ours.dsk")) << disk.LastError;
  Floptool("dsk", target.floptoolFormat, dir / "ours.dsk", dir / "theirs.dump");
  ExpectSameDump(test::ReadFileBytes(dir / "ours.dump"), test::ReadFileBytes(dir / "theirs.dump"));
}

std::string DiskName(const testing::TestParamInfo<std::filesystem::path>& param) {
  std::string name = param.param.stem().string();
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Corpus, FloptoolReadsOurDsk, testing::ValuesIn(DumpableCorpusDisks()), DiskName);

// The standard DSK and IMD files of a TR-DOS and a Korvet disk read in
// floptool as the same disks.
TEST(CrossTool, FloptoolReadsOurStandardDskAndImd) {
  if (!test::HaveProgram("floptool")) GTEST_SKIP() << "floptool (mame-tools) is not installed";
  for (const char* name :
       {"trd/alfishe_unreal-ng__EyeAche.trd", "kdi/ykaliuta_korvet-pk8020-emulator__01_MICRODOS.KDI"}) {
    SCOPED_TRACE(name);
    const auto source = test::CorpusFile(name);
    const DumpTarget target = DumpTargetOf(source);
    test::ScratchDir dir;
    TZX_Disk disk;
    Diagnostic error;
    ASSERT_TRUE(LoadImage(disk, source, error)) << error;
    ASSERT_TRUE(SaveDSK(disk, dir / "standard.dsk", DskVariant::Standard)) << disk.LastError;
    ASSERT_TRUE(SaveIMD(disk, dir / "ours.imd")) << disk.LastError;
    Floptool("dsk", target.floptoolFormat, dir / "standard.dsk", dir / "from_dsk.dump");
    Floptool("imd", target.floptoolFormat, dir / "ours.imd", dir / "from_imd.dump");
    const Bytes original = test::ReadFileBytes(source);
    ExpectSameDump(original, test::ReadFileBytes(dir / "from_dsk.dump"));
    ExpectSameDump(original, test::ReadFileBytes(dir / "from_imd.dump"));
  }
}

// DSK, EDSK and IMD files written by libdsk read in ours as floptool reads
// them: the same TRD comes out of both.
TEST(CrossTool, LibdskFilesReadInOursAsInFloptool) {
  if (!test::HaveProgram("floptool")) GTEST_SKIP() << "floptool (mame-tools) is not installed";
  if (!test::HaveProgram("dsktrans")) GTEST_SKIP() << "dsktrans (libdsk-utils) is not installed";
  const auto source = test::CorpusFile("trd/tslabs_zx-evo__UMT2_3.TRD");
  for (const auto& [type, floptoolFormat] : {std::pair{"edsk", "dsk"}, {"dsk", "dsk"}, {"imd", "imd"}}) {
    SCOPED_TRACE(type);
    test::ScratchDir dir;
    const auto theirs = dir / ("libdsk." + std::string(type));
    const auto run =
        Dsktrans(dir, {"-itype", "raw", "-format", "trdos640", "-otype", type, source.string(), theirs.string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    TZX_Disk disk;
    Diagnostic error;
    ASSERT_TRUE(LoadImage(disk, theirs, error)) << error;
    EXPECT_TRUE(disk.Notices.empty());
    Bytes ours;
    ASSERT_TRUE(SaveTRDToBytes(disk, ours)) << disk.LastError;
    Floptool(floptoolFormat, "trd", theirs, dir / "floptool.trd");
    EXPECT_EQ(ours, test::ReadFileBytes(dir / "floptool.trd"));
    EXPECT_EQ(ours, test::ReadFileBytes(source));
  }
}

// libdsk reads our DSK (both variants) and IMD of a Korvet disk, whose IDs
// carry the physical side, back to the same dump.
TEST(CrossTool, DsktransReadsOurDskAndImd) {
  if (!test::HaveProgram("dsktrans")) GTEST_SKIP() << "dsktrans (libdsk-utils) is not installed";
  const auto source = test::CorpusFile("kdi/ykaliuta_korvet-pk8020-emulator__01_MICRODOS.KDI");
  TZX_Disk disk;
  ASSERT_TRUE(LoadKDI(disk, source));
  test::ScratchDir dir;
  ASSERT_TRUE(SaveDSK(disk, dir / "extended.dsk")) << disk.LastError;
  ASSERT_TRUE(SaveDSK(disk, dir / "standard.dsk", DskVariant::Standard)) << disk.LastError;
  ASSERT_TRUE(SaveIMD(disk, dir / "disk.imd")) << disk.LastError;
  for (const char* name : {"extended.dsk", "standard.dsk", "disk.imd"}) {
    SCOPED_TRACE(name);
    const auto run =
        Dsktrans(dir, {"-otype", "raw", "-format", "korvet800", (dir / name).string(), (dir / "back.kdi").string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(test::ReadFileBytes(dir / "back.kdi"), test::ReadFileBytes(source));
  }
}

}  // namespace
}  // namespace velloran
