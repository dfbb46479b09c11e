// Merging dumps of one disk, checked against a real image: dumps damaged in
// different sectors give the image back, sectors bad in every dump stay bad
// with the data seen most often, and good copies that differ are named.
#include <gtest/gtest.h>

#include <memory>

#include "formats/fdi.h"
#include "formats/trd.h"
#include "formats/udf.h"
#include "formats/udi.h"
#include "model/merge.h"
#include "support/test_support.h"

namespace velloran {
namespace {

using test::Contains;

const std::filesystem::path kTrd = test::CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd");

class MergeTest : public ::testing::Test {
 protected:
  MergeTest() : original(test::ReadFileBytes(kTrd)) {
    for (auto& dump : dumps) {
      dump = std::make_unique<TZX_Disk>();
      EXPECT_TRUE(LoadTRDFromBytes(*dump, original));
    }
  }

  // Sector number r of track t in dump d, with a bad data CRC and data of its own.
  TSectorRec& Damage(int d, int t, std::uint8_t r, std::uint8_t fill) {
    for (TSectorRec& slot : dumps[d]->GetTrack(static_cast<std::uint8_t>(t)).Sectors) {
      if (!slot.Used || slot.IdSector != r) continue;
      slot.DataOk = false;
      std::fill_n(slot.Data.begin(), slot.DataLen, fill);
      return slot;
    }
    throw std::runtime_error("no such sector");
  }

  MergeReport Merge() {
    merged = std::make_unique<TZX_Disk>();
    return MergeDisks({dumps[0].get(), dumps[1].get(), dumps[2].get()}, *merged);
  }

  const TSectorRec& Merged(int t, std::uint8_t r) const {
    for (const TSectorRec& slot : merged->GetTrack(static_cast<std::uint8_t>(t)).Sectors)
      if (slot.Used && slot.IdSector == r) return slot;
    throw std::runtime_error("no such sector");
  }

  Bytes original;
  std::unique_ptr<TZX_Disk> dumps[3];
  std::unique_ptr<TZX_Disk> merged;
};

TEST_F(MergeTest, DumpsDamagedInDifferentSectorsGiveTheImageBack) {
  Damage(0, 0, 9, 0x11);
  Damage(0, 5, 1, 0x12);
  Damage(1, 0, 9, 0x13);
  Damage(1, 7, 16, 0x14);
  Damage(2, 5, 1, 0x15);
  // The first dump lost track 9 and a sector of track 12 altogether.
  dumps[0]->GetTrack(9).Clear();
  dumps[0]->GetTrack(12).ClearSector(3);
  const MergeReport report = Merge();

  Bytes saved;
  ASSERT_TRUE(SaveTRDToBytes(*merged, saved));
  EXPECT_EQ(saved, original);
  EXPECT_EQ(report.badSectors, 0);
  EXPECT_TRUE(report.conflicts.empty());
  EXPECT_EQ(report.recoveredSectors, 2 + 16 + 1);  // 0/9 and 5/1 from the others; track 9; 12/4
  EXPECT_EQ(Merged(0, 9).ErrorCount, 2);           // two bad copies passed over
  EXPECT_EQ(Merged(7, 16).ErrorCount, 0);          // the first dump had it good
  EXPECT_EQ(merged->GetTrack(12).CountSectors(), 16);

  const std::vector<std::string> lines = test::Russian(MergeReportLines(report, {"a.trd", "b.udi", "c.fdi"}));
  const std::vector<std::string> expected = {"Дорожка 0: из c.fdi - секторы 9",
                                             "Дорожка 5: из b.udi - секторы 1",
                                             "Дорожка 9: из b.udi - секторы 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, "
                                             "13, 14, 15, 16",
                                             "Дорожка 12: из b.udi - секторы 4",
                                             "Восстановлено секторов - 19",
                                             "Сбойных секторов - 0"};
  EXPECT_EQ(lines, expected);
}

TEST_F(MergeTest, SectorsBadEverywhereKeepTheDataSeenMostOftenMarkedBad) {
  Damage(0, 3, 2, 0xA1);
  Damage(1, 3, 2, 0xB2);
  Damage(2, 3, 2, 0xB2);
  Damage(0, 4, 6, 0xC3);  // two bad copies that disagree, one without data
  Damage(1, 4, 6, 0xD4);
  Damage(2, 4, 6, 0xE5).DataLen = 0;
  const MergeReport report = Merge();

  EXPECT_EQ(report.badSectors, 2);
  EXPECT_FALSE(Merged(3, 2).DataOk);
  EXPECT_EQ(Merged(3, 2).Data[0], 0xB2);
  EXPECT_FALSE(Merged(4, 6).DataOk);
  EXPECT_EQ(Merged(4, 6).Data[0], 0xC3);  // a tie: the earlier dump's
  EXPECT_EQ(Merged(4, 6).DataLen, 256);
  ASSERT_EQ(report.tracks.size(), 2u);
  EXPECT_EQ(report.tracks[0].stillBad, (std::vector<std::uint8_t>{2}));
  const std::vector<std::string> lines = test::Russian(MergeReportLines(report, {"a", "b", "c"}));
  EXPECT_EQ(lines[0], "Дорожка 3: сбойные секторы - 2");
  EXPECT_EQ(lines.back(), "Сбойных секторов - 2");
}

TEST_F(MergeTest, GoodCopiesThatDifferAreNamedAndTheFirstIsTaken) {
  TSectorRec& other = Damage(1, 6, 3, 0x77);
  other.DataOk = true;  // a good CRC over other data
  Damage(0, 6, 3, 0x55);
  const MergeReport report = Merge();

  ASSERT_EQ(report.conflicts.size(), 1u);
  EXPECT_EQ(report.conflicts[0].taken, 1);
  EXPECT_EQ(report.conflicts[0].others, std::vector<int>{2});
  EXPECT_EQ(Merged(6, 3).Data[0], 0x77);
  const std::vector<std::string> lines = test::Russian(MergeReportLines(report, {"a.udi", "b.udi", "c.udi"}));
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "Дорожка 6 / Сектор 3: хорошие копии различаются - b.udi и c.udi; взята копия из b.udi"),
            lines.end());
  EXPECT_EQ(lines.back(), "Расхождений - 1");
}

TEST_F(MergeTest, RawTracksStayOnlyWhereNothingChanged) {
  Bytes udi;
  ASSERT_TRUE(SaveUDIToBytes(*dumps[0], udi));
  ASSERT_TRUE(LoadUDIFromBytes(*dumps[0], udi));
  ASSERT_GT(dumps[0]->GetTrack(2).RawLength, 0);
  Damage(0, 2, 5, 0x99);
  const MergeReport report = Merge();
  EXPECT_EQ(merged->GetTrack(2).RawLength, 0);  // its sector 5 came from another dump
  EXPECT_EQ(merged->GetTrack(2).Sectors[0].DataPos, 0);
  EXPECT_GT(merged->GetTrack(3).RawLength, 0);
  EXPECT_EQ(report.recoveredSectors, 1);
}

// Three dumps with raw tracks, each with the sector damaged in another byte:
// the vote gives the sector back good. Copies that differ all in the same
// byte outvote nothing; they stay as the sector's copies. The report file is
// JSON.
TEST_F(MergeTest, BadCopiesVoteAGoodSectorAndTheReportIsJson) {
  for (auto& dump : dumps) {
    Bytes udi;
    ASSERT_TRUE(SaveUDIToBytes(*dump, udi));
    ASSERT_TRUE(LoadUDIFromBytes(*dump, udi));
  }
  for (int d = 0; d < 3; ++d) {
    TSectorRec& slot = dumps[d]->GetTrack(8).Sectors[4];
    slot.DataOk = false;
    slot.Data[10 + d * 50] ^= 0x5A;
  }
  for (int d = 0; d < 3; ++d) {
    TSectorRec& slot = dumps[d]->GetTrack(9).Sectors[0];
    slot.DataOk = false;
    slot.Data[7] = static_cast<std::uint8_t>(0x30 + d);
  }
  const MergeReport report = Merge();
  EXPECT_EQ(report.votedSectors, 1);
  EXPECT_EQ(report.badSectors, 1);
  const TSectorRec& voted = merged->GetTrack(8).Sectors[4];
  EXPECT_TRUE(voted.DataOk);
  const auto& source = test::ReadFileBytes(kTrd);
  EXPECT_TRUE(std::equal(voted.Data.begin(), voted.Data.begin() + 256, source.begin() + (8 * 16 + 4) * 256));
  const TSectorRec& bad = merged->GetTrack(9).Sectors[0];
  EXPECT_FALSE(bad.DataOk);
  ASSERT_EQ(bad.ExtraCopies.size(), 2u);
  EXPECT_EQ(bad.ExtraCopies[1].data[7], 0x32);
  EXPECT_EQ(report.BadTracks(), std::vector<int>{9});

  test::ScratchDir dir;
  // udf keeps the raw tracks (with the stored CRCs) and the damaged data as they are.
  for (int d = 0; d < 3; ++d) ASSERT_TRUE(SaveUDF(*dumps[d], dir / (std::to_string(d) + ".udf")));
  const auto json = dir / "report.json";
  const auto run = test::RunCli({"merge", (dir / "0.udf").string(), (dir / "1.udf").string(), (dir / "2.udf").string(),
                                 "-o", (dir / "out.udf").string(), "--report", json.string()});
  EXPECT_EQ(run.exitCode, 2) << run.err;
  EXPECT_TRUE(Contains(run.out, "Recovered by a byte vote: 1")) << run.out;
  if (!test::HaveProgram("python3")) GTEST_SKIP() << "python3 is not installed to read the report";
  const auto check =
      test::RunProgram("python3", {"-c",
                                   "import json,sys; r=json.load(open(sys.argv[1])); "
                                   "assert r['bad_tracks']==[9] and r['voted']==1 and len(r['sha256'])==64; "
                                   "s=[x for t in r['tracks'] if t['track']==9 for x in t['sectors']][0]; "
                                   "assert s['state']=='bad' and s['copies']==3 and s['attempts']==3, s",
                                   json.string()});
  EXPECT_EQ(check.exitCode, 0) << check.err;
}

// The command line over images of three formats.
TEST_F(MergeTest, CommandMergesImagesOfAnyFormat) {
  Damage(0, 1, 1, 0x21);
  Damage(1, 2, 2, 0x22);
  test::ScratchDir dir;
  ASSERT_TRUE(SaveUDI(*dumps[0], dir / "a.udi"));
  ASSERT_TRUE(SaveUDF(*dumps[1], dir / "b.udf"));
  ASSERT_TRUE(SaveFDI(*dumps[2], dir / "c.fdi"));
  const auto out = dir / "out.trd";
  auto run = test::RunCli(
      {"merge", (dir / "a.udi").string(), (dir / "b.udf").string(), (dir / "c.fdi").string(), "-o", out.string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(test::ReadFileBytes(out), original);
  EXPECT_TRUE(Contains(run.out, "Track 1: sectors 1 from " + (dir / "b.udf").string())) << run.out;

  // A good copy that differs: the result is saved, the exit code says to look.
  TSectorRec& other = Damage(2, 1, 1, 0x33);
  other.DataOk = true;
  ASSERT_TRUE(SaveFDI(*dumps[2], dir / "c.fdi"));
  run = test::RunCli({"merge", (dir / "b.udf").string(), (dir / "c.fdi").string(), "-o", out.string()});
  EXPECT_EQ(run.exitCode, 2) << run.err;
  EXPECT_TRUE(Contains(run.out, "good copies differ")) << run.out;
  EXPECT_EQ(test::ReadFileBytes(out), original);

  EXPECT_EQ(test::RunCli({"merge", (dir / "a.udi").string(), "-o", out.string()}).exitCode, 1);
  EXPECT_EQ(test::RunCli({"merge", (dir / "a.udi").string(), (dir / "b.udf").string()}).exitCode, 1);
  run = test::RunCli({"merge", (dir / "a.udi").string(), (dir / "missing.trd").string(), "-o", out.string()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Contains(run.err, "missing.trd")) << run.err;

  // A result the output cannot hold is refused, and the report still says what to read again.
  const auto json = dir / "refused.json";
  run = test::RunCli({"merge", (dir / "a.udi").string(), (dir / "a.udi").string(), "-o", (dir / "bad.trd").string(),
                      "--report", json.string()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "bad.trd"));
  if (!test::HaveProgram("python3")) GTEST_SKIP() << "python3 is not installed to read the report";
  const auto check = test::RunProgram(
      "python3", {"-c", "import json,sys; r=json.load(open(sys.argv[1])); assert r['bad_tracks']==[1], r['bad_tracks']",
                  json.string()});
  EXPECT_EQ(check.exitCode, 0) << check.err;
}

}  // namespace
}  // namespace velloran
