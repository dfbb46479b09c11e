#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "common/utf8_path.h"
#include "formats/kdi.h"
#include "formats/sample_disks.h"
#include "formats/td0.h"
#include "formats/trd.h"
#include "support/test_support.h"

namespace velloran {
namespace {

const char* const kUfo = "td0/vitamin-caig_zxtune__UFO1.TD0";
const char* const kTrdosDisk = "trd/alfishe_unreal-ng__EyeAche.trd";
const char* const kKorvetDisk = "kdi/atsiperman_Korvet__disk.kdi";

// A TD0 file made by hand: the 12-byte header with its CRC, then `body`.
Bytes Td0File(const Bytes& body, std::uint8_t version = 21, const char* signature = "TD", std::uint8_t stepping = 0) {
  Bytes file = {static_cast<std::uint8_t>(signature[0]),
                static_cast<std::uint8_t>(signature[1]),
                0,
                0,
                version,
                0,
                3,
                stepping,
                0,
                2};
  AppendLe16(file, Td0Crc(file));
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

// One track of one sector whose data block is `block` (length, encoding, data).
Bytes OneSectorTrack(const Bytes& block, std::uint8_t sizeCode = 1, std::uint8_t cylinder = 0, std::uint8_t head = 0) {
  Bytes body = {1, cylinder, head, 0, cylinder, head, 1, sizeCode, 0, 0};
  body.insert(body.end(), block.begin(), block.end());
  return body;
}

// A data block stored as it is: length, encoding 0, the bytes.
Bytes RawBlock(const Bytes& data) {
  Bytes block;
  AppendLe16(block, static_cast<std::uint16_t>(data.size() + 1));
  block.push_back(0);
  block.insert(block.end(), data.begin(), data.end());
  return block;
}

Bytes TextBytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

std::string LoadError(const Bytes& file) {
  TZX_Disk disk;
  EXPECT_FALSE(LoadTD0FromBytes(disk, file));
  return test::English(disk.LastError);
}

Bytes Saved(TZX_Disk& disk, bool compress) {
  Bytes out;
  EXPECT_TRUE(SaveTD0ToBytes(disk, out, compress, test::SampleCreationTime()));
  return out;
}

TEST(Td0, CrcOfAbc) {
  const Bytes abc = {'a', 'b', 'c'};
  EXPECT_EQ(Td0Crc(abc), 0x8089);
}

TEST(Td0, HeaderBytes) {
  TZX_Disk disk;
  const Bytes plain = Saved(disk, false);
  const Bytes packed = Saved(disk, true);
  EXPECT_EQ(Bytes(plain.begin(), plain.begin() + 12),
            (Bytes{0x54, 0x44, 0x00, 0x00, 0x15, 0x00, 0x03, 0x80, 0x00, 0x02, 0x90, 0x66}));
  EXPECT_EQ(Bytes(packed.begin(), packed.begin() + 12),
            (Bytes{0x74, 0x64, 0x00, 0x00, 0x15, 0x00, 0x03, 0x80, 0x00, 0x02, 0xA8, 0x01}));
}

TEST(Td0, CreationTimeAndCommentsSurviveBothBodies) {
  for (const bool compress : {false, true}) {
    SCOPED_TRACE(compress);
    TZX_Disk disk;
    test::PutSector(disk, 0, 0, 0, 0, 1, 1);
    disk.Comments = {"Первая строка", "", "second"};
    TZX_Disk loaded;
    ASSERT_TRUE(LoadTD0FromBytes(loaded, Saved(disk, compress)));
    EXPECT_EQ(test::English(loaded.Notices), std::vector<std::string>{"Created: 5.3.2008 14:7:9"});
    EXPECT_EQ(loaded.Comments, (std::vector<std::string>{"Первая строка", "second"}));
  }
}

TEST(Td0, CommentTextLayout) {
  TZX_Disk disk;
  // No lines: an empty text, yet the block and its creation time are there.
  Bytes file = Saved(disk, false);
  EXPECT_EQ(ReadLe16(&file[14]), 0);
  TZX_Disk loaded;
  ASSERT_TRUE(LoadTD0FromBytes(loaded, file));
  EXPECT_EQ(test::English(loaded.Notices), std::vector<std::string>{"Created: 5.3.2008 14:7:9"});
  EXPECT_TRUE(loaded.LastError.Empty());
  EXPECT_TRUE(loaded.Comments.empty());

  // Lines in CP1251, each ended by a 0 byte, then two more; the block CRC
  // covers the text length, the time and the text.
  disk.Comments = {"Диск", "", "x"};
  file = Saved(disk, false);
  const Bytes text(file.begin() + 22, file.begin() + 22 + ReadLe16(&file[14]));
  EXPECT_EQ(text, (Bytes{0xC4, 0xE8, 0xF1, 0xEA, 0, 'x', 0, 0, 0}));
  EXPECT_EQ(ReadLe16(&file[12]), Td0Crc(ByteSpan(file).subspan(14, 8 + text.size())));

  // A line that would take the text past 1016 bytes is left out with all after it.
  disk.Comments = {std::string(500, 'A'), std::string(500, 'B'), std::string(20, 'C'), "D"};
  file = Saved(disk, false);
  EXPECT_EQ(ReadLe16(&file[14]), 1004);
  ASSERT_TRUE(LoadTD0FromBytes(loaded, file));
  EXPECT_EQ(loaded.Comments, (std::vector<std::string>{std::string(500, 'A'), std::string(500, 'B')}));
}

TEST(Td0, RoundTripKeepsIdsDataAndComments) {
  for (const bool compress : {false, true}) {
    SCOPED_TRACE(compress);
    TZX_Disk disk;
    test::MakeMixedDisk(disk, 24, true);
    disk.Comments = {"Disk comment", "Вторая строка"};
    TZX_Disk loaded;
    ASSERT_TRUE(LoadTD0FromBytes(loaded, Saved(disk, compress))) << loaded.LastError;
    EXPECT_EQ(test::DiskDifference(disk, loaded, {false, true}), "");
  }
}

// A sector with a CRC error, one without data and a good one keep their
// states through a file; TeleDisk's own CRC-error flag reads as bad too.
TEST(Td0, BadAndMissingDataKeepTheirFlags) {
  TZX_Disk disk;
  test::PutSector(disk, 0, 0, 0, 0, 1, 1, false);
  test::PutSector(disk, 0, 1, 0, 0, 2, 1, false);
  disk.GetSector(0, 1).DataLen = 0;
  test::PutSector(disk, 0, 2, 0, 0, 3, 1);
  const Bytes file = Saved(disk, false);
  // header 12, comment block 10, track header 4, then per sector C H R N, the
  // flags, the CRC byte and a block of 2 + 1 + 256 bytes
  EXPECT_EQ(file[26 + 4], 0x10);
  EXPECT_EQ(file[26 + 265 + 4], 0x30);
  EXPECT_EQ(file[26 + 2 * 265 + 4], 0x00);
  TZX_Disk loaded;
  ASSERT_TRUE(LoadTD0FromBytes(loaded, file));
  EXPECT_FALSE(loaded.GetSector(0, 0).DataOk);
  EXPECT_EQ(loaded.GetSector(0, 0).DataLen, 256);
  EXPECT_EQ(loaded.GetSector(0, 0).IdCrc, IdFieldCrc(0, 0, 1, 1));
  EXPECT_FALSE(loaded.GetSector(0, 1).DataOk);
  EXPECT_EQ(loaded.GetSector(0, 1).DataLen, 0);
  EXPECT_TRUE(loaded.GetSector(0, 2).DataOk);
  EXPECT_EQ(test::DiskDifference(disk, loaded, {true, false}), "");

  Bytes teleDisk = Td0File(OneSectorTrack(RawBlock(Bytes(256, 1))));
  teleDisk[12 + 4 + 4] = 0x02;
  ASSERT_TRUE(LoadTD0FromBytes(loaded, teleDisk));
  EXPECT_FALSE(loaded.GetSector(0, 0).DataOk);
}

TEST(Td0, OnlyPresentTracksAreWritten) {
  TZX_Disk disk;
  for (const int track : {0, 1, 40}) test::PutSector(disk, track, 0, static_cast<std::uint8_t>(track / 2), 0, 1, 1);
  const Bytes file = Saved(disk, false);
  EXPECT_EQ(file.size(), 12u + 10u + 3u * (4u + 6u + 3u + 256u) + 4u);
  EXPECT_EQ(file[22 + 2 * 269 + 1], 20);  // cylinder of the third track
  TZX_Disk loaded;
  ASSERT_TRUE(LoadTD0FromBytes(loaded, file));
  EXPECT_EQ(loaded.TrackCount, 42);
  EXPECT_EQ(loaded.CountTracks(), 3);
  EXPECT_TRUE(loaded.GetTrack(40).Present);
}

TEST(Td0, ThreeDataEncodings) {
  TZX_Disk disk;
  // Runs: three times E5 00, then two literals.
  ASSERT_TRUE(LoadTD0FromBytes(disk, Td0File(OneSectorTrack({9, 0, 2, 1, 3, 0xE5, 0x00, 0, 2, 0xAA, 0xBB}))));
  const TSectorRec& runs = disk.GetSector(0, 0);
  EXPECT_EQ(runs.DataLen, 256);
  EXPECT_EQ(Bytes(runs.Data.begin(), runs.Data.begin() + 9), (Bytes{0xE5, 0, 0xE5, 0, 0xE5, 0, 0xAA, 0xBB, 0}));

  // One pattern repeated 128 times fills 256 bytes.
  ASSERT_TRUE(LoadTD0FromBytes(disk, Td0File(OneSectorTrack({5, 0, 1, 128, 0, 0x12, 0x34}))));
  const TSectorRec& pattern = disk.GetSector(0, 0);
  EXPECT_EQ(pattern.DataLen, 256);
  EXPECT_EQ(pattern.Data[254], 0x12);
  EXPECT_EQ(pattern.Data[255], 0x34);

  // A short raw block: 200 bytes from the file, the rest zero.
  ASSERT_TRUE(LoadTD0FromBytes(disk, Td0File(OneSectorTrack(RawBlock(Bytes(200, 0x77))))));
  const TSectorRec& shortBlock = disk.GetSector(0, 0);
  EXPECT_EQ(shortBlock.DataLen, 256);
  EXPECT_EQ(shortBlock.Data[199], 0x77);
  EXPECT_EQ(shortBlock.Data[200], 0);
  EXPECT_TRUE(disk.Notices.empty());  // no comment block, no creation text
}

TEST(Td0, SignatureCaseDecidesOnlyTheCompression) {
  const Bytes body = OneSectorTrack(RawBlock(Bytes(256, 1)));
  for (const char* signature : {"Td", "tD"}) {
    TZX_Disk disk;
    EXPECT_TRUE(LoadTD0FromBytes(disk, Td0File(body, 21, signature))) << signature;
    EXPECT_EQ(disk.GetSector(0, 0).Data[0], 1);
  }
}

TEST(Td0, HeaderFailuresInTheirOrder) {
  EXPECT_EQ(LoadError({}), "The file is not in the TD0 format!");
  EXPECT_EQ(LoadError(Bytes(11, 'T')), "The file is not in the TD0 format!");
  EXPECT_EQ(LoadError(Td0File({}, 21, "TX")), "The file is not in the TD0 format!");
  EXPECT_EQ(LoadError(Td0File({}, 9)), "This TD0 version is not supported!");
  EXPECT_EQ(LoadError(Td0File({}, 22)), "This TD0 version is not supported!");
  EXPECT_EQ(LoadError(Td0File({}, 9, "td")), "This TD0 version is not supported!");
  EXPECT_EQ(LoadError(Td0File({}, 19, "td")), "The old TD0 compression is not supported!");
  Bytes badCrc = Td0File({});
  badCrc[11] ^= 1;
  EXPECT_EQ(LoadError(badCrc), "TD0 header CRC error!");

  TZX_Disk disk;
  const test::ScratchDir dir;
  EXPECT_FALSE(LoadTD0(disk, dir / "missing.td0"));
  EXPECT_EQ(test::English(disk.LastError), "File " + PathToUtf8(dir / "missing.td0") + " not found!");
}

TEST(Td0, DataFailures) {
  // A block longer than what is left.
  EXPECT_EQ(LoadError(Td0File(OneSectorTrack({10, 0, 0, 1, 2}))),
            "The TD0 file is cut short: a sector's data block runs past the end of the file!");
  // Raw blocks over 5000 bytes, patterns over 2500 repeats.
  EXPECT_EQ(LoadError(Td0File(OneSectorTrack(RawBlock(Bytes(5000, 0))))), "Error in a sector size of the TD0 file!");
  EXPECT_EQ(LoadError(Td0File(OneSectorTrack({5, 0, 1, 0xC5, 0x09, 0, 0}))), "Error in a sector size of the TD0 file!");

  // Unknown encoding and unknown run type.
  EXPECT_EQ(LoadError(Td0File(OneSectorTrack({3, 0, 3, 0, 0}))), "TD0 format error!");
  EXPECT_EQ(LoadError(Td0File(OneSectorTrack({5, 0, 2, 2, 1, 0, 0}))), "TD0 format error!");
}

TEST(Td0, InputBeyondTheModelIsRefusedOrCut) {
  const Bytes block = RawBlock(Bytes(256, 5));
  // Tracks past 165, heads other than 0 and 1, more than 20 sectors.
  EXPECT_EQ(LoadError(Td0File(OneSectorTrack(block, 1, 83, 0))), "TD0 format error!");
  EXPECT_EQ(LoadError(Td0File(OneSectorTrack(block, 1, 0, 2))), "TD0 format error!");
  EXPECT_EQ(LoadError(Td0File(OneSectorTrack(block, 1, 1, 0x81))), "TD0 format error!");
  EXPECT_EQ(LoadError(Td0File({21, 0, 0, 0})), "TD0 format error!");
  // Cut short inside a track, a sector header, a run or the comment.
  EXPECT_EQ(LoadError(Td0File({1, 0})), "TD0 format error!");
  EXPECT_EQ(LoadError(Td0File({1, 0, 0, 0, 0, 0, 1})), "TD0 format error!");
  EXPECT_EQ(LoadError(Td0File(OneSectorTrack({5, 0, 2, 0, 200, 1, 2}))), "TD0 format error!");
  EXPECT_EQ(LoadError(Td0File({0, 0, 0, 0, 5, 0}, 21, "TD", 0x80)), "TD0 format error!");
  EXPECT_EQ(LoadError(Td0File({0, 0, 50, 0, 108, 2, 5, 14, 7, 9, 'a'}, 21, "TD", 0x80)), "TD0 format error!");

  // A block that produces more than a slot holds keeps the first 1100
  // bytes, and the next sector is read from the right place.
  Bytes body = {2, 0, 0, 0, 0, 0, 1, 3, 0, 0};
  const Bytes big = RawBlock(Bytes(1500, 9));
  body.insert(body.end(), big.begin(), big.end());
  const Bytes second = {0, 0, 2, 1, 0, 0};
  body.insert(body.end(), second.begin(), second.end());
  body.insert(body.end(), block.begin(), block.end());
  TZX_Disk disk;
  ASSERT_TRUE(LoadTD0FromBytes(disk, Td0File(body)));
  EXPECT_EQ(disk.GetSector(0, 0).DataLen, kSectorDataSize);
  EXPECT_EQ(disk.GetSector(0, 0).Data[kSectorDataSize - 1], 9);
  EXPECT_EQ(disk.GetSector(0, 1).IdSector, 2);
  EXPECT_EQ(disk.GetSector(0, 1).Data[255], 5);
}

// Long runs, as a hostile file has them by the million, fill what a slot
// keeps and are counted beyond it.
TEST(Td0, LongRunsFillTheSlotAndAreCounted) {
  Bytes runs = {0, 0, 2, 0, 3, 1, 2, 3};
  for (int i = 0; i < 1000; ++i) runs.insert(runs.end(), {1, 255, 0xE5, static_cast<std::uint8_t>(i)});
  WriteLe16(&runs[0], static_cast<std::uint16_t>(runs.size() - 2));
  TZX_Disk disk;
  ASSERT_TRUE(LoadTD0FromBytes(disk, Td0File(OneSectorTrack(runs, 6))));
  const TSectorRec& sector = disk.GetSector(0, 0);
  EXPECT_EQ(sector.DataLen, kSectorDataSize);
  EXPECT_EQ(Bytes(sector.Data.begin(), sector.Data.begin() + 5), (Bytes{1, 2, 3, 0xE5, 0}));
  EXPECT_EQ(sector.Data[3 + 2 * 255], 0xE5);
  EXPECT_EQ(sector.Data[3 + 2 * 255 + 1], 1);
  EXPECT_EQ(sector.Data[kSectorDataSize - 2], 2);  // the third run starts at 1023
  EXPECT_EQ(sector.Data[kSectorDataSize - 1], 0xE5);
}

TEST(Td0, SizeCodesAboveThreeKeepTheSlotsBytes) {
  TZX_Disk disk;
  test::PutSector(disk, 0, 0, 0, 0, 1, 1);
  disk.GetSector(0, 0).IdSize = 6;
  disk.GetSector(0, 0).Data[kSectorDataSize - 1] = 0x42;
  const Bytes file = Saved(disk, false);
  EXPECT_EQ(ReadLe16(&file[32]), kSectorDataSize + 1);
  TZX_Disk loaded;
  ASSERT_TRUE(LoadTD0FromBytes(loaded, file));
  EXPECT_EQ(loaded.GetSector(0, 0).IdSize, 6);
  EXPECT_EQ(loaded.GetSector(0, 0).DataLen, kSectorDataSize);
  EXPECT_EQ(loaded.GetSector(0, 0).Data[kSectorDataSize - 1], 0x42);
}

TEST(Td0, CorpusImageLoads) {
  TZX_Disk disk;
  ASSERT_TRUE(LoadTD0(disk, test::CorpusFile(kUfo))) << disk.LastError;
  EXPECT_TRUE(disk.LastError.Empty());
  EXPECT_EQ(disk.TrackCount, 160);
  for (int t = 0; t < 160; ++t) {
    TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    ASSERT_EQ(track.CountSectors(), 16) << t;
    EXPECT_EQ(track.Sectors[15].DataLen, 256);
  }
}

TEST(Td0, SaveReplacesTheFileAndLoadsBack) {
  test::ScratchDir dir;
  const auto file = dir / "disk.td0";
  test::WriteFileBytes(file, Bytes(10, 0));
  TZX_Disk disk;
  test::MakeTrdosLayoutDisk(disk, 4);
  ASSERT_TRUE(SaveTD0(disk, file, true));
  TZX_Disk loaded;
  ASSERT_TRUE(LoadTD0(loaded, file)) << loaded.LastError;
  EXPECT_EQ(test::DiskDifference(disk, loaded, {false, false}), "");
  ASSERT_EQ(loaded.Notices.size(), 1u);
  EXPECT_EQ(test::English(loaded.Notices[0]).rfind("Created: ", 0), 0u);
}

// floptool (MAME) reads TD0, plain and compressed, and writes TRD.
Bytes FloptoolTrd(const std::filesystem::path& td0, const test::ScratchDir& dir) {
  const auto trd = dir / (td0.stem().string() + "-floptool.trd");
  const auto result = test::RunProgram("floptool", {"flopconvert", "td0", "trd", td0.string(), trd.string()});
  EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
  return std::filesystem::exists(trd) ? test::ReadFileBytes(trd) : Bytes{};
}

TEST(Td0CrossCheck, FloptoolReadsWhatWeWrite) {
  if (!test::HaveProgram("floptool")) GTEST_SKIP() << "floptool is not installed";
  test::ScratchDir dir;
  TZX_Disk disk;
  ASSERT_TRUE(LoadTRD(disk, test::CorpusFile(kTrdosDisk)));
  const Bytes original = test::ReadFileBytes(test::CorpusFile(kTrdosDisk));
  for (const bool compress : {false, true}) {
    SCOPED_TRACE(compress);
    const auto file = dir / (compress ? "packed.td0" : "plain.td0");
    ASSERT_TRUE(SaveTD0(disk, file, compress));
    EXPECT_TRUE(FloptoolTrd(file, dir) == original);
  }
}

TEST(Td0CrossCheck, CorpusImageReadsAsFloptoolReadsIt) {
  if (!test::HaveProgram("floptool")) GTEST_SKIP() << "floptool is not installed";
  test::ScratchDir dir;
  const Bytes theirs = FloptoolTrd(test::CorpusFile(kUfo), dir);
  TZX_Disk disk;
  ASSERT_TRUE(LoadTD0(disk, test::CorpusFile(kUfo)));
  Bytes ours;
  ASSERT_TRUE(SaveTRDToBytes(disk, ours)) << disk.LastError;
  EXPECT_EQ(ours.size(), 655360u);
  EXPECT_TRUE(ours == theirs);
}

// libdsk reads plain TD0 and checks the head byte of every sector ID, so a
// Korvet disk (side numbers in its IDs) goes through it.
TEST(Td0CrossCheck, LibdskReadsAKorvetDisk) {
  if (!test::HaveProgram("dsktrans")) GTEST_SKIP() << "dsktrans is not installed";
  test::ScratchDir dir;
  TZX_Disk disk;
  ASSERT_TRUE(LoadKDI(disk, test::CorpusFile(kKorvetDisk)));
  ASSERT_TRUE(SaveTD0(disk, dir / "korvet.td0", false));
  test::WriteFileBytes(dir / ".libdskrc",
                       TextBytes("[korvet800]\ndescription = Korvet 800k\nsides = alt\ncylinders = 80\n"
                                 "heads = 2\nsecsize = 1024\nsectors = 5\nsecbase = 1\ndatarate = DD\n"
                                 "fm = N\n"));
  test::RunResult result;
  {
    const test::ScopedEnvironment home("HOME", dir.Path().string());
    result = test::RunProgram("dsktrans", {"-itype", "tele", "-otype", "raw", "-format", "korvet800",
                                           (dir / "korvet.td0").string(), (dir / "korvet.raw").string()});
  }
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_TRUE(test::ReadFileBytes(dir / "korvet.raw") == test::ReadFileBytes(test::CorpusFile(kKorvetDisk)));
}

}  // namespace
}  // namespace velloran
