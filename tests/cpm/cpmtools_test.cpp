// Cross-check with cpmtools, one suite run for every CP/M definition: disks
// built by mkfs.cpm and cpmcp with an equivalent disk definition
// (tests/data/*.diskdefs) must be recognised as that definition, list the
// same files with the used and free space cpmls reports, and give back the
// files' contents; and a new disk of each definition must take files that
// cpmtools then lists and copies out. The Korvet's disks, made by cpmtools
// and from the corpus, list as cpmtools lists them; so does an Amstrad disk
// whose first directory sector is blank.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <sstream>

#include "cpm/cpm_directory.h"
#include "cpm/cpm_recognition.h"
#include "cpm/korvet_definition.h"
#include "formats/kdi.h"
#include "formats/pro.h"
#include "support/test_support.h"

namespace velloran {
namespace {

struct HostFile {
  std::string name;  // as on the host and in CP/M (lower case on the host)
  std::size_t size;
  int user;
};

// One definition and how cpmtools makes its disk.
struct CpmtoolsCase {
  std::string definition;  // the name RecognizeCpmDisk gives
  std::string diskdef;     // the cpmtools definition
  Bytes record;            // a +3 geometry record for the boot sector (mkfs.cpm -b), or none
  bool stamps;             // mkfs.cpm -t: CP/M Plus date stamps share the directory
  std::size_t bigFile;     // size of the largest file
};

void PrintTo(const CpmtoolsCase& c, std::ostream* out) { *out << c.diskdef; }

// The start of a Korvet's first sector as its system writes it (from the
// corpus disk atsiperman_Korvet__disk.kdi): at byte 16 the CP/M parameter
// block SPT 40, BSH 4, BLM 15, EXM 0, DSM 394, DRM 127, AL0 0xC0, AL1 0,
// CKS 32, OFF 2.
const Bytes kKorvetBootStart = {0x80, 0xC3, 0x00, 0xDA, 0x0A, 0x00, 0x00, 0x01, 0x01, 0x01, 0x03,
                                0x01, 0x05, 0x00, 0x50, 0x00, 0x28, 0x00, 0x04, 0x0F, 0x00, 0x8A,
                                0x01, 0x7F, 0x00, 0xC0, 0x00, 0x20, 0x00, 0x02, 0x00};

// The Korvet's layout for cpmtools, with two or three system tracks (the
// parameter block's OFF; the MicroDOS system disk has three).
constexpr const char* kKorvetDiskdefs = R"(
diskdef korvet2
  seclen 1024
  tracks 160
  sectrk 5
  blocksize 2048
  maxdir 128
  skew 0
  boottrk 2
  os 3
end

diskdef korvet3
  seclen 1024
  tracks 160
  sectrk 5
  blocksize 2048
  maxdir 128
  skew 0
  boottrk 3
  os 3
end
)";

const CpmtoolsCase kCases[] = {
    // Over 512 KB: the extents past 31 count on in the high extent byte.
    {"profi", "profi", {}, false, 600000},
    {"plus3", "plus3", {}, false, 90000},
    {"pcw720", "pcw720", {3, 1, 80, 9, 2, 1, 4, 4, 0x2A, 0x52}, true, 600000},
    {"cpcsys", "cpcsys", {}, false, 90000},
    {"cpcdata", "cpcdata", {}, false, 90000},
    // Read by its record alone: 2 KB blocks with one-byte numbers, so one
    // entry holds two 16 KB extents.
    {"plus3record", "plus3big", {0, 0, 40, 9, 2, 1, 4, 1, 0x2A, 0x52}, false, 90000},
};

// Runs a cpmtools program in `dir`, where the disk definitions lie as
// "diskdefs" (cpmtools reads them from the current folder).
test::RunResult Cpmtools(const test::ScratchDir& dir, const std::string& program, std::vector<std::string> args) {
  args.insert(args.begin(), {"-C", dir.Path().string(), program});
  return test::RunProgram("env", args);
}

void CopyDiskdefs(const test::ScratchDir& dir) {
  const std::filesystem::path data(VELLORAN_TEST_DATA_DIR);
  Bytes all = test::ReadFileBytes(data / "profi.diskdefs");
  const Bytes amstrad = test::ReadFileBytes(data / "amstrad.diskdefs");
  all.push_back('\n');
  all.insert(all.end(), amstrad.begin(), amstrad.end());
  all.insert(all.end(), kKorvetDiskdefs, kKorvetDiskdefs + std::strlen(kKorvetDiskdefs));
  test::WriteFileBytes(dir / "diskdefs", all);
}

CpmDefinition DefinitionOf(const CpmtoolsCase& c) {
  if (auto known = FindCpmDefinition(c.definition)) return *known;
  if (c.definition == "korvet") return *ParseKorvetBootSector(c.record);
  CpmBootRecord record{};
  std::copy(c.record.begin(), c.record.end(), record.begin());
  return *ParseCpmBootRecord(record);
}

// The model track of logical track t and the ID of its p-th sector, as the
// formats lay them out: one side on even model tracks, two sides
// alternately; the Profi's last sector of track 0 is number 9.
int ModelTrack(const CpmDefinition& d, int t) { return d.Sides == CpmSides::One ? 2 * t : t; }
int SectorId(const CpmDefinition& d, int t, int p) {
  return t == 0 && p == d.SectorsPerTrack - 1 && d.TrackZeroLastSector != 0 ? d.TrackZeroLastSector : d.FirstSector + p;
}

// A disk from the image cpmtools writes (the sectors in track order, track
// after track); the Profi's and the Korvet's go through their readers.
void LoadCpmtoolsImage(TZX_Disk& disk, const CpmDefinition& d, Bytes image) {
  image.resize(static_cast<std::size_t>(d.Tracks) * d.SectorsPerTrack * d.SectorSize, 0xE5);
  if (d.Name == "profi" || d.Name == "korvet") {
    const bool loaded = d.Name == "profi" ? LoadPROFromBytes(disk, image) : LoadKDIFromBytes(disk, image);
    ASSERT_TRUE(loaded) << disk.LastError;
    return;
  }
  disk.ClearDisk();
  auto byte = image.begin();
  for (int t = 0; t < d.Tracks; ++t) {
    const int index = ModelTrack(d, t);
    disk.Tracks[index].Present = true;
    for (int p = 0; p < d.SectorsPerTrack; ++p, byte += d.SectorSize) {
      TSectorRec& sector = disk.Tracks[index].Sectors[p];
      PlaceGoodSector(sector, static_cast<std::uint8_t>(index / 2), static_cast<std::uint8_t>(index % 2),
                      static_cast<std::uint8_t>(SectorId(d, t, p)), static_cast<std::uint8_t>(d.SizeCode()));
      std::copy_n(byte, d.SectorSize, sector.Data.begin());
    }
  }
}

// The image cpmtools reads: every sector of the disk in track order.
Bytes CpmtoolsImage(const TZX_Disk& disk, const CpmDefinition& d) {
  Bytes image;
  for (int t = 0; t < d.Tracks; ++t) {
    const TTrack& track = disk.Tracks[ModelTrack(d, t)];
    for (int p = 0; p < d.SectorsPerTrack; ++p) {
      const std::uint8_t slot = FindCpmSector(disk, ModelTrack(d, t), SectorId(d, t, p));
      EXPECT_NE(slot, kCpmNoSlot) << t << " " << p;
      if (slot == kCpmNoSlot) return image;
      image.insert(image.end(), track.Sectors[slot].Data.begin(), track.Sectors[slot].Data.begin() + d.SectorSize);
    }
  }
  return image;
}

Bytes RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  Bytes bytes(size);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

std::string Name11(const std::string& hostName) {
  const auto dot = hostName.find('.');
  std::string name = hostName.substr(0, dot);
  std::string ext = hostName.substr(dot + 1);
  name.resize(8, ' ');
  ext.resize(3, ' ');
  std::string result = name + ext;
  for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return result;
}

// The free kilobytes of cpmls -D's last line ("N Files occupying XK, YK Free.").
long long CpmlsFree(const test::RunResult& run) {
  const std::size_t end = run.out.find("K Free");
  std::size_t start = end;
  while (start != std::string::npos && start > 0 && std::isdigit(static_cast<unsigned char>(run.out[start - 1])))
    --start;
  if (end == std::string::npos || start == end) return -1;
  return std::stoll(run.out.substr(start, end - start));
}

class CpmtoolsDisk : public ::testing::TestWithParam<CpmtoolsCase> {
 protected:
  void SetUp() override {
    for (const char* tool : {"mkfs.cpm", "cpmcp", "cpmrm", "cpmls"})
      if (!test::HaveProgram(tool)) GTEST_SKIP() << tool << " (cpmtools) is not installed";
    CopyDiskdefs(dir_);
    definition_ = DefinitionOf(GetParam());
  }

  // Runs a cpmtools program on disk.img: its options, the image, the rest.
  test::RunResult Run(const std::string& program, std::vector<std::string> args) {
    const auto options = std::find_if(args.begin(), args.end(), [](const std::string& a) { return a[0] != '-'; });
    args.insert(args.insert(options, "disk.img"), {"-f", GetParam().diskdef});
    return Cpmtools(dir_, program, args);
  }

  // Copies the host files in; the ones called "gone" are removed again.
  void CopyFilesIn() {
    for (std::size_t i = 0; i < files_.size(); ++i) {
      const HostFile& file = files_[i];
      test::WriteFileBytes(dir_ / file.name, RandomBytes(file.size, static_cast<unsigned>(i + 1)));
      const auto result = Run("cpmcp", {file.name, std::to_string(file.user) + ":" + file.name});
      ASSERT_EQ(result.exitCode, 0) << file.name << ": " << result.err;
    }
    ASSERT_EQ(Run("cpmrm", {"0:gone.tmp"}).exitCode, 0);
  }

  void MakeAndCompare();

  // Our listing, contents and space against the files and cpmtools.
  void ExpectSameAsCpmtools(const TZX_Disk& disk) {
    ASSERT_EQ(RecognizeCpmDisk(disk), definition_);
    const CpmListing visible = ListCpmDisk(disk, false, false);
    const CpmListing all = ListCpmDisk(disk, true, true);
    for (const HostFile& file : files_) {
      SCOPED_TRACE(file.name);
      const std::string name11 = Name11(file.name);
      const bool deleted = file.name == "gone.tmp";
      auto sameName = [&](const CpmRow& row) { return row.Name11 == name11; };
      EXPECT_EQ(std::any_of(visible.Rows.begin(), visible.Rows.end(), sameName), !deleted && file.user == 0);
      const auto row = std::find_if(all.Rows.begin(), all.Rows.end(), sameName);
      ASSERT_NE(row, all.Rows.end());
      if (deleted) {
        EXPECT_EQ(row->User, "E5");
        continue;
      }
      // A file is its whole records; cpmtools keeps the exact byte count.
      const std::size_t recordBytes = (file.size + 127) / 128 * 128;
      EXPECT_EQ(row->Length, CpmLengthText(static_cast<long long>(recordBytes)));
      EXPECT_EQ(row->User, file.user == 0 ? "00" : "05");
      CpmFoundFile found;
      ASSERT_GE(FindCpmFile(all.Definition, all.Directory, name11, found), 0);
      const Bytes ours = CpmFileContents(disk, all.Definition, found);
      ASSERT_EQ(ours.size(), recordBytes);
      const Bytes original = test::ReadFileBytes(dir_ / file.name);
      EXPECT_TRUE(std::equal(original.begin(), original.end(), ours.begin()));
      const std::string out = "out_" + file.name;
      ASSERT_EQ(Run("cpmcp", {std::to_string(file.user) + ":" + file.name, out}).exitCode, 0);
      EXPECT_EQ(test::ReadFileBytes(dir_ / out), original);
    }
    // Labels and date stamps are no files.
    EXPECT_EQ(all.Rows.size(), files_.size());
    EXPECT_EQ(visible.FreeKilobytes, CpmlsFree(Run("cpmls", {"-D"})));
  }

  test::ScratchDir dir_;
  CpmDefinition definition_;
  // The first file is of user 5: libdsk, which cpmtools reads images
  // through, takes an entry of user 0..3 at the very start of an image for
  // a +3 geometry record and misreads the disk (or crashes) after it.
  const std::vector<HostFile> files_ = {
      {"user5.dat", 40000, 5},             // another user: hidden
      {"big.bin", GetParam().bigFile, 0},  // many extents
      {"s.bin", 2432, 0},                  // 19 records: 2.384
      {"gone.tmp", 5000, 0},               // deleted afterwards
      {"note.txt", 13, 0},                 // one record
      {"exact.bin", 16384, 0},             // exactly one full extent
  };
};

// A disk made by mkfs.cpm and cpmcp with the case's boot record, read back.
void CpmtoolsDisk::MakeAndCompare() {
  std::vector<std::string> mkfs = {"-f", GetParam().diskdef};
  if (GetParam().stamps) mkfs.push_back("-t");
  if (!GetParam().record.empty()) {
    Bytes boot(512, 0xE5);
    std::copy(GetParam().record.begin(), GetParam().record.end(), boot.begin());
    test::WriteFileBytes(dir_ / "boot.bin", boot);
    mkfs.insert(mkfs.end(), {"-b", "boot.bin"});
  }
  mkfs.push_back("disk.img");
  ASSERT_EQ(Cpmtools(dir_, "mkfs.cpm", mkfs).exitCode, 0);
  CopyFilesIn();
  TZX_Disk disk;
  LoadCpmtoolsImage(disk, definition_, test::ReadFileBytes(dir_ / "disk.img"));
  ExpectSameAsCpmtools(disk);
}

TEST_P(CpmtoolsDisk, DiskMadeByCpmtoolsListsAndReadsTheSame) { MakeAndCompare(); }

// Disks told by a record cpmtools cannot write alone (this program makes
// no new disks of them).
class CpmtoolsBootSectorDisk : public CpmtoolsDisk {};

TEST_P(CpmtoolsBootSectorDisk, DiskMadeByCpmtoolsListsAndReadsTheSame) { MakeAndCompare(); }

// A new disk's directory is unused entries (0xE5), so cpmtools can fill it.
TEST_P(CpmtoolsDisk, NewDiskTakesFiles) {
  TZX_Disk disk;
  MakeCpmDisk(disk, definition_);
  ASSERT_EQ(RecognizeCpmDisk(disk), definition_);
  test::WriteFileBytes(dir_ / "disk.img", CpmtoolsImage(disk, definition_));
  CopyFilesIn();
  const auto listed = Run("cpmls", {});
  ASSERT_EQ(listed.exitCode, 0) << listed.err;
  for (const char* name : {"big.bin", "s.bin", "note.txt", "user5.dat", "exact.bin"})
    EXPECT_NE(listed.out.find(name), std::string::npos) << name << " in\n" << listed.out;
  LoadCpmtoolsImage(disk, definition_, test::ReadFileBytes(dir_ / "disk.img"));
  ExpectSameAsCpmtools(disk);
}

// The command line's new disk, saved as a PRO image, takes files too.
TEST(CpmtoolsCli, NewCpmImageTakesFiles) {
  if (!test::HaveProgram("cpmcp") || !test::HaveProgram("cpmls")) GTEST_SKIP() << "cpmtools is not installed";
  test::ScratchDir dir;
  CopyDiskdefs(dir);
  ASSERT_EQ(test::RunCli({"new-cpm", (dir / "new.pro").string()}).exitCode, 0);
  test::WriteFileBytes(dir / "first.txt", Bytes(3000, 'a'));
  test::WriteFileBytes(dir / "second.txt", Bytes(300, 'b'));
  // User 5 first, for libdsk's sake (see CpmtoolsDisk).
  for (const char* target : {"5:first.txt", "0:second.txt"}) {
    const std::string file = std::string(target).substr(2);
    const auto copied = Cpmtools(dir, "cpmcp", {"-f", "profi", "new.pro", file, target});
    ASSERT_EQ(copied.exitCode, 0) << copied.err;
  }
  const auto listed = Cpmtools(dir, "cpmls", {"-f", "profi", "new.pro"});
  ASSERT_EQ(listed.exitCode, 0) << listed.err;
  EXPECT_EQ(listed.out, "0:\nsecond.txt\n\n5:\nfirst.txt\n");
}

INSTANTIATE_TEST_SUITE_P(Definitions, CpmtoolsDisk, ::testing::ValuesIn(kCases),
                         [](const auto& test) { return test.param.diskdef; });
INSTANTIATE_TEST_SUITE_P(Korvet, CpmtoolsBootSectorDisk,
                         ::testing::Values(CpmtoolsCase{"korvet", "korvet2", kKorvetBootStart, false, 600000}),
                         [](const auto& test) { return test.param.diskdef; });

// "name.ext" in lower case, as cpmls prints a row.
std::string HostName(const CpmRow& row) {
  std::string name = row.Name11.substr(0, 8);
  std::string ext = row.Name11.substr(8);
  name.erase(name.find_last_not_of(' ') + 1);
  ext.erase(ext.find_last_not_of(' ') + 1);
  std::string result = ext.empty() ? name : name + "." + ext;
  for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return result;
}

// "size name" of every file cpmls -l lists, sorted.
std::vector<std::string> CpmlsFiles(const test::RunResult& run) {
  std::vector<std::string> files;
  std::istringstream lines(run.out);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string mode, size, month, day, year, name;
    if (words >> mode >> size >> month >> day >> year >> name) files.push_back(size + " " + name);
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<std::string> OurFiles(const TZX_Disk& disk) {
  std::vector<std::string> files;
  for (const CpmRow& row : ListCpmDisk(disk, false, true).Rows)
    files.push_back(std::to_string(row.Size) + " " + HostName(row));
  std::sort(files.begin(), files.end());
  return files;
}

// The Korvet disks of the corpus list the files cpmtools lists with the
// system tracks their parameter block names (read in the sector dumps: the
// MicroDOS system disk keeps its empty directory on track 3, the others on
// track 2). Without that block a Korvet disk is none this program knows.
TEST(CpmtoolsCorpus, KorvetDisksListWhatCpmtoolsLists) {
  if (!test::HaveProgram("cpmls")) GTEST_SKIP() << "cpmtools is not installed";
  test::ScratchDir dir;
  CopyDiskdefs(dir);
  const std::map<std::string, std::pair<int, int>> expected = {
      // system tracks, files
      {"atsiperman_Korvet__SABOTEUR", {2, 1}},
      {"atsiperman_Korvet__disk", {2, 3}},
      {"ykaliuta_korvet-pk8020-emulator__00_f32", {2, 1}},
      {"ykaliuta_korvet-pk8020-emulator__01_MICRODOS", {3, 0}},
      {"ykaliuta_korvet-pk8020-emulator__12_87_09_NIIJAF", {2, 0}},
  };
  const auto files = test::CorpusFiles("kdi");
  ASSERT_EQ(files.size(), expected.size());
  for (const auto& file : files) {
    SCOPED_TRACE(file.filename().string());
    const auto [systemTracks, fileCount] = expected.at(file.stem().string());
    TZX_Disk disk;
    ASSERT_TRUE(LoadKDI(disk, file));
    const auto definition = RecognizeCpmDisk(disk);
    ASSERT_TRUE(definition);
    EXPECT_EQ(definition->Name, "korvet");
    EXPECT_EQ(definition->ReservedTracks, systemTracks);
    const auto listed = Cpmtools(dir, "cpmls", {"-l", "-f", "korvet" + std::to_string(systemTracks), file.string()});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(OurFiles(disk), CpmlsFiles(listed));
    EXPECT_EQ(OurFiles(disk).size(), static_cast<std::size_t>(fileCount));

    std::fill_n(disk.Tracks[0].Sectors[0].Data.begin(), 32, 0xE5);
    EXPECT_EQ(RecognizeCpmDisk(disk), std::nullopt);
  }
  const auto cli = test::RunCli({"ls", "--cpm", test::CorpusFile("kdi/atsiperman_Korvet__SABOTEUR.kdi").string()});
  EXPECT_EQ(cli.exitCode, 0);
  EXPECT_TRUE(test::Contains(cli.out, "Korvet")) << cli.out;
  EXPECT_TRUE(test::Contains(cli.out, "SABOTEUR")) << cli.out;
}

// A CPC data disk whose first directory sector is blank (0xE5 throughout)
// and whose files follow in the next: CP/M reads every entry, and so must
// the listing.
TEST(CpmtoolsDirectory, BlankFirstSectorDoesNotEndTheDirectory) {
  for (const char* tool : {"mkfs.cpm", "cpmcp", "cpmls"})
    if (!test::HaveProgram(tool)) GTEST_SKIP() << tool << " (cpmtools) is not installed";
  test::ScratchDir dir;
  CopyDiskdefs(dir);
  ASSERT_EQ(Cpmtools(dir, "mkfs.cpm", {"-f", "cpcdata", "disk.img"}).exitCode, 0);
  // Sixteen small files fill the first 512-byte sector, eight more follow
  // (whole records: cpmtools keeps byte counts, CP/M records).
  for (int i = 0; i < 24; ++i) {
    const std::string name = (i < 16 ? "pad" : "file") + std::to_string(i) + ".bin";
    test::WriteFileBytes(dir / name, RandomBytes(128 * (1 + 2 * i), static_cast<unsigned>(i)));
    ASSERT_EQ(Cpmtools(dir, "cpmcp", {"-f", "cpcdata", "disk.img", name, "0:" + name}).exitCode, 0);
  }
  Bytes image = test::ReadFileBytes(dir / "disk.img");
  std::fill_n(image.begin(), 512, 0xE5);
  test::WriteFileBytes(dir / "disk.img", image);

  const CpmDefinition cpcdata = *FindCpmDefinition("cpcdata");
  TZX_Disk disk;
  LoadCpmtoolsImage(disk, cpcdata, image);
  ASSERT_EQ(RecognizeCpmDisk(disk), cpcdata);
  const auto listed = Cpmtools(dir, "cpmls", {"-l", "-f", "cpcdata", "disk.img"});
  ASSERT_EQ(listed.exitCode, 0) << listed.err;
  const auto ours = OurFiles(disk);
  EXPECT_EQ(ours, CpmlsFiles(listed));
  for (int i = 16; i < 24; ++i) {
    const std::string name = "file" + std::to_string(i) + ".bin";
    EXPECT_EQ(std::count_if(ours.begin(), ours.end(), [&](const std::string& f) { return f.ends_with(" " + name); }), 1)
        << name;
  }
}

}  // namespace
}  // namespace velloran
