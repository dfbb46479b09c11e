// Cross-check with cpmtools: PRO images built by mkfs.cpm and cpmcp with a
// disk definition of the Profi layout (tests/data/profi.diskdefs) must list
// the same files and give back the same contents.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "cpm/cpm_directory.h"
#include "formats/pro.h"
#include "support/test_support.h"

namespace velloran {
namespace {

struct HostFile {
  std::string name;  // as on the host and in CP/M (lower case on the host)
  std::size_t size;
  int user;
};

// Runs a cpmtools program in `dir`, where the disk definition lies as
// "diskdefs" (cpmtools reads it from the current folder).
test::RunResult Cpmtools(const test::ScratchDir& dir, const std::string& program, std::vector<std::string> args) {
  args.insert(args.begin(), {"-C", dir.Path().string(), program});
  return test::RunProgram("env", args);
}

Bytes RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  Bytes bytes(size);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

class CpmtoolsImage : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"mkfs.cpm", "cpmcp", "cpmrm"})
      if (!test::HaveProgram(tool)) GTEST_SKIP() << tool << " (cpmtools) is not installed";
    std::filesystem::copy_file(std::filesystem::path(VELLORAN_TEST_DATA_DIR) / "profi.diskdefs", dir_ / "diskdefs");
    ASSERT_EQ(Cpmtools(dir_, "mkfs.cpm", {"-f", "profi", "disk.pro"}).exitCode, 0);
    for (std::size_t i = 0; i < files_.size(); ++i) {
      const HostFile& file = files_[i];
      test::WriteFileBytes(dir_ / file.name, RandomBytes(file.size, static_cast<unsigned>(i + 1)));
      const std::string target = std::to_string(file.user) + ":" + file.name;
      const auto result = Cpmtools(dir_, "cpmcp", {"-f", "profi", "disk.pro", file.name, target});
      ASSERT_EQ(result.exitCode, 0) << result.err;
    }
    ASSERT_EQ(Cpmtools(dir_, "cpmrm", {"-f", "profi", "disk.pro", "0:gone.tmp"}).exitCode, 0);
    // cpmtools writes only as far as the last used sector; a real disk is whole.
    std::filesystem::resize_file(dir_ / "disk.pro", 819200);
    ASSERT_TRUE(LoadPRO(disk_, dir_ / "disk.pro")) << disk_.LastError;
  }

  test::ScratchDir dir_;
  TZX_Disk disk_;
  const std::vector<HostFile> files_ = {
      {"big.bin", 100000, 0},                            // seven extents
      {"s.bin", 2432, 0},                                // 19 records: 2.384
      {"gone.tmp", 5000, 0},                             // deleted afterwards
      {"note.txt", 13, 0},     {"user3.dat", 40000, 3},  // another user: hidden
      {"exact.bin", 16384, 0},                           // exactly one full extent
  };
};

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string Name11(const std::string& hostName) {
  const auto dot = hostName.find('.');
  std::string name = Upper(hostName.substr(0, dot));
  std::string ext = Upper(hostName.substr(dot + 1));
  name.resize(8, ' ');
  ext.resize(3, ' ');
  return name + ext;
}

TEST_F(CpmtoolsImage, ListingAndContentsMatchTheFilesCopiedIn) {
  ASSERT_TRUE(LooksLikeCpmDisk(disk_));
  const CpmListing visible = ListCpmDisk(disk_, false, false);
  const CpmListing all = ListCpmDisk(disk_, true, true);
  std::size_t blocks = 2;
  for (std::size_t i = 0; i < files_.size(); ++i) {
    const HostFile& file = files_[i];
    const std::string name11 = Name11(file.name);
    const bool deleted = file.name == "gone.tmp";
    auto sameName = [&](const CpmRow& row) { return row.Name11 == name11; };
    const bool listed = std::any_of(visible.Rows.begin(), visible.Rows.end(), sameName);
    EXPECT_EQ(listed, !deleted && file.user == 0) << file.name;
    const auto row = std::find_if(all.Rows.begin(), all.Rows.end(), sameName);
    ASSERT_NE(row, all.Rows.end()) << file.name;
    if (deleted) {
      EXPECT_EQ(row->Atrib, "E5");
      continue;
    }
    blocks += (file.size + 2047) / 2048;
    const std::size_t recordBytes = (file.size + 127) / 128 * 128;
    EXPECT_EQ(row->Length, CpmLengthText(static_cast<long long>(recordBytes))) << file.name;
    EXPECT_EQ(row->Atrib, file.user == 0 ? "00" : "03");

    CpmFoundFile found;
    ASSERT_GE(FindCpmFile(all.Directory, name11, found), 0) << file.name;
    const Bytes contents = CpmFileContents(disk_, found);
    ASSERT_EQ(contents.size(), recordBytes) << file.name;
    const Bytes original = test::ReadFileBytes(dir_ / file.name);
    EXPECT_TRUE(std::equal(original.begin(), original.end(), contents.begin())) << file.name;
  }
  // The directory label cpmtools adds is hidden and not a first extent.
  EXPECT_EQ(visible.Rows.size(), 4u);
  EXPECT_EQ(all.Rows.size(), 6u);
  EXPECT_EQ(visible.l5, std::to_string(blocks * 2) + " кБ");
  EXPECT_EQ(visible.l4, std::to_string(800 - blocks * 2) + " кБ");
}

TEST_F(CpmtoolsImage, FilesCopiedOutByCpmtoolsEqualOurContents) {
  const CpmListing all = ListCpmDisk(disk_, false, true);
  for (const auto& file : files_) {
    if (file.name == "gone.tmp") continue;
    const std::string out = "out_" + file.name;
    const auto result =
        Cpmtools(dir_, "cpmcp", {"-f", "profi", "disk.pro", std::to_string(file.user) + ":" + file.name, out});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    CpmFoundFile found;
    ASSERT_GE(FindCpmFile(all.Directory, Name11(file.name), found), 0);
    // cpmtools keeps the exact byte count of the last record; here a file is
    // its whole records, so its bytes are cpmtools' bytes up to a full record.
    const Bytes ours = CpmFileContents(disk_, found);
    const Bytes theirs = test::ReadFileBytes(dir_ / out);
    EXPECT_EQ(ours.size(), (theirs.size() + 127) / 128 * 128) << file.name;
    EXPECT_TRUE(std::equal(theirs.begin(), theirs.end(), ours.begin())) << file.name;
  }
}

}  // namespace
}  // namespace velloran
