// Real images made by other tools, converted to every sector format and back.
#include <gtest/gtest.h>

#include "formats/format_table.h"
#include "formats/pro.h"
#include "formats/sample_disks.h"
#include "support/test_support.h"

namespace velloran {
namespace {

struct Source {
  std::filesystem::path file;
  std::string kind;  // "trd", "fdi", "kdi" or "pro"
};

std::vector<Source> Sources(const test::ScratchDir& dir) {
  std::vector<Source> sources;
  for (const char* kind : {"trd", "fdi", "kdi"})
    for (const auto& file : test::CorpusFiles(kind)) sources.push_back({file, kind});
  // No PRO image came with the corpus: a full synthetic one stands in.
  TZX_Disk disk;
  test::MakeProLayoutDisk(disk, 160);
  const auto pro = dir / "profi.pro";
  EXPECT_TRUE(SavePRO(disk, pro)) << disk.LastError;
  sources.push_back({pro, "pro"});
  return sources;
}

// Whether a disk of that kind fits the target: a format that holds no IDs
// (a sector dump, SCL) holds only its own layout; the others hold every
// sector of these disks.
bool Fits(const std::string& kind, const ImageFormat& target) {
  if (target.holds.ids) return true;
  std::string upper = kind;
  for (char& c : upper) c = static_cast<char>(std::toupper(c));
  return upper == target.key;
}

TEST(CorpusConversion, EveryTrdFdiAndKdiImageLoads) {
  for (const char* kind : {"trd", "fdi", "kdi"}) {
    const auto files = test::CorpusFiles(kind);
    EXPECT_FALSE(files.empty()) << kind;
    for (const auto& file : files) {
      TZX_Disk disk;
      Diagnostic error;
      EXPECT_TRUE(LoadImage(disk, file, error)) << file << ": " << error;
      EXPECT_GT(disk.CountTracks(), 0) << file;
    }
  }
}

// Each image goes to every format of the table. Where the target holds
// the disk, loading the result gives back every sector (and what else the
// target holds), and converting that back to the source's format gives the
// source again; where it does not, nothing is compared.
TEST(CorpusConversion, ConvertsToEachFormatAndBackWithoutLoss) {
  test::ScratchDir dir;
  for (const auto& source : Sources(dir)) {
    SCOPED_TRACE(source.file.filename().string());
    TZX_Disk original;
    Diagnostic error;
    ASSERT_TRUE(LoadImage(original, source.file, error)) << error;
    const Bytes sourceBytes = test::ReadFileBytes(source.file);
    for (const ImageFormat& format : ImageFormats()) {
      SCOPED_TRACE(format.key);
      if (format.save == nullptr) continue;
      const auto converted = dir / ("converted." + std::string(format.defaultExtension));
      std::filesystem::remove(converted);
      TZX_Disk disk = original;
      const bool saved = SaveImageAs(disk, converted, format, {}, error);
      if (!saved && test::NotSupportedYet(error)) continue;
      if (!Fits(source.kind, format) || !FindSaveLosses(original, format).empty()) {
        // A dump of another layout keeps only what its sector numbers find,
        // or is refused when a number is missing, as is a format that cannot
        // hold the disk's comment or CRC states; a refused save writes nothing.
        if (!saved) {
          EXPECT_FALSE(error.Empty());
          EXPECT_FALSE(std::filesystem::exists(converted));
        }
        continue;
      }
      ASSERT_TRUE(saved) << error;
      TZX_Disk loaded;
      ASSERT_TRUE(LoadImageAs(loaded, converted, format, error)) << error;
      EXPECT_EQ(test::DiskDifference(original, loaded, test::AspectsOf(format)), "");

      const auto back = dir / ("back." + source.file.extension().string().substr(1));
      ASSERT_TRUE(SaveImage(loaded, back, {}, error)) << error;
      const Bytes backBytes = test::ReadFileBytes(back);
      if (source.kind == "fdi") {
        TZX_Disk again;
        ASSERT_TRUE(LoadImage(again, back, error)) << error;
        EXPECT_EQ(test::DiskDifference(original, again, test::AspectsOf(format)), "");
      } else {
        // Sector dumps come back byte for byte; a short last track comes
        // back completed with zeros.
        ASSERT_GE(backBytes.size(), sourceBytes.size());
        EXPECT_TRUE(std::equal(sourceBytes.begin(), sourceBytes.end(), backBytes.begin()));
        EXPECT_TRUE(std::all_of(backBytes.begin() + static_cast<std::ptrdiff_t>(sourceBytes.size()), backBytes.end(),
                                [](std::uint8_t b) { return b == 0; }));
      }
    }
  }
}

}  // namespace
}  // namespace velloran
