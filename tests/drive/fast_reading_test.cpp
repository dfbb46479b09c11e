// The rotation-aware reading (OperationSteps::fast) on the simulated drive: the same
// sectors as scan and read on every real image, layouts guessed from the
// track before and checked, requests that follow the host's pace, re-reads
// of what failed, and the request planner on its own.
#include <gtest/gtest.h>

#include <algorithm>

#include "drive/drive_test_support.h"
#include "engine/disk_engines.h"
#include "engine/read_plan.h"
#include "formats/format_table.h"
#include "sim/simulated_drive.h"
#include "support/test_support.h"

namespace velloran {
namespace {

using test::FillTrack;
using test::RecordingDriver;
using test::RecordingHost;
using Lines = std::vector<std::string>;

bool Contains(const Lines& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Renumbers a 16-sector track into the interleave 1, 9, 2, 10, ...
void Interleave(TTrack& track) {
  for (int i = 0; i < 16; ++i) {
    TSectorRec& slot = track.Sectors[i];
    slot.IdSector = static_cast<std::uint8_t>(i % 2 == 0 ? 1 + i / 2 : 9 + i / 2);
    slot.IdCrc = IdFieldCrc(slot.IdTrack, slot.IdSide, slot.IdSector, slot.IdSize);
  }
}

// Reads tracks first..last of `medium` in `steps` on a fresh simulated drive.
DiskOperation ReadThroughDrive(const TZX_Disk& medium, OperationSteps steps, int last, TZX_Disk& into) {
  SimulatedDrive drive;
  drive.OpenControl();
  drive.OpenDrive('A');
  drive.Medium() = medium;
  RecordingHost host;
  DiskOperation operation{steps, 0, last, 1, 0};
  EXPECT_EQ(RunDiskOperation(into, drive, host, operation), OperationOutcome::Completed);
  return operation;
}

TEST(FastReadingCorpusTest, EveryCorpusImageReadsToTheSameSectorsAsScanAndRead) {
  int images = 0;
  for (const char* folder : {"trd", "fdi", "udi", "td0", "kdi", "hfe", "scl"}) {
    for (const auto& file : test::CorpusFiles(folder)) {
      if (FindFormat(ExtensionKey(file)) == nullptr) continue;
      auto medium = std::make_unique<TZX_Disk>();
      Diagnostic error;
      if (!LoadImage(*medium, file, error)) continue;  // a file no reader takes yet
      const int last = std::min(medium->TracksToWrite(), kTrackCount) - 1;
      if (last < 0) continue;
      auto scanned = std::make_unique<TZX_Disk>();
      auto fast = std::make_unique<TZX_Disk>();
      const DiskOperation plain = ReadThroughDrive(*medium, kScanAndRead, last, *scanned);
      const DiskOperation quick = ReadThroughDrive(*medium, kFastRead, last, *fast);
      // Where a layout was taken from the track before, the sectors keep
      // their order round the track but not their distance from the index.
      std::string difference;
      EXPECT_TRUE(test::SameSectors(*scanned, *fast, difference, true)) << file << ": " << difference;
      EXPECT_EQ(quick.BadSectors, plain.BadSectors) << file;
      ++images;
    }
  }
  EXPECT_GE(images, 20);
}

class FastReadingTest : public test::EngineTest {
 protected:
  FastReadingTest() {
    for (int t = 0; t < 8; ++t) FillTrack(sim.Medium(), t, 16);
  }
};

TEST_F(FastReadingTest, ARegularDiskIsScannedOnceAndReadInRuns) {
  EXPECT_EQ(Run(kFastRead, 0, 7), OperationOutcome::Completed);
  std::string difference;
  EXPECT_TRUE(test::SameSectors(sim.Medium(), disk, difference)) << difference;
  EXPECT_EQ(recorder.Count("scan"), 2);  // tracks 0 and 1; the others take their layout
  int runs = 0;
  for (const auto& request : recorder.requests) runs += request.find(" x") != std::string::npos;
  EXPECT_GE(runs, 8);
  EXPECT_EQ(disk.GetTrack(5).Log, Lines{"Разметка взята с предыдущей дорожки. Найдено секторов: 16."});
  EXPECT_TRUE(Contains(host.mainLog, "  Разметка по предыдущей дорожке - 5"));
  EXPECT_EQ(host.mainLog.back(), "* Операция выполнена!");
}

TEST_F(FastReadingTest, LayoutGuessesThatDoNotFitFallBackToAScan) {
  // Track 2: five sectors of 1024 bytes, whose first ID fits no guess.
  sim.Medium().GetTrack(2).Clear();
  FillTrack(sim.Medium(), 2, 5, 3);
  // Track 5: nine sectors numbered 1..9; its first ID fits the 16-sector
  // guess, but sectors 10..16 are not there.
  sim.Medium().GetTrack(5).Clear();
  FillTrack(sim.Medium(), 5, 9);
  EXPECT_EQ(Run(kFastRead, 0, 7), OperationOutcome::Completed);

  std::string difference;
  EXPECT_TRUE(test::SameSectors(sim.Medium(), disk, difference)) << difference;
  EXPECT_EQ(disk.GetTrack(5).CountSectors(), 9);  // no slot left from the guess
  EXPECT_EQ(operation.BadSectors, 0);
  // Tracks 0 and 1; 2 (no fit); 3 and 4, until a layout shows twice; 5's
  // check; 6 and 7 again.
  EXPECT_EQ(recorder.Count("scan"), 8);
  EXPECT_EQ(disk.GetTrack(5).Log.front(), "Разметка взята с предыдущей дорожки. Найдено секторов: 16.");
  EXPECT_EQ(disk.GetTrack(5).Log.back(), "Дорожка просканирована. Найдено секторов: 9.");
}

TEST_F(FastReadingTest, FailedSectorsAreReadAgainAfterThePassAndKeepTheirFirstGoodCopy) {
  sim.Faults().failFirstReads[{1, 5}] = 2;
  sim.Faults().alwaysFail.insert({2, 9});
  std::vector<std::string> rereads;
  recorder.failHook = [&](const std::string& request, std::uint32_t&) {
    for (const auto& line : host.mainLog)
      if (line.find("Повторное чтение") != std::string::npos) {
        rereads.push_back(request);
        break;
      }
    return false;
  };
  EXPECT_EQ(Run(kFastRead, 0, 3, 4), OperationOutcome::Completed);

  EXPECT_EQ(operation.BadSectors, 1);
  EXPECT_EQ(operation.RecoveredSectors, 1);
  const TSectorRec& recovered = disk.GetTrack(1).Sectors[4];
  EXPECT_TRUE(recovered.DataOk);
  EXPECT_EQ(recovered.ErrorCount, 1);
  EXPECT_TRUE(std::equal(recovered.Data.begin(), recovered.Data.begin() + 256,
                         sim.Medium().GetTrack(1).Sectors[4].Data.begin()));
  const TSectorRec& bad = disk.GetTrack(2).Sectors[8];
  EXPECT_FALSE(bad.DataOk);
  EXPECT_EQ(bad.ErrorCount, 1);

  // The first pass logs the failures; a re-read logs what it recovered.
  const Lines& log = disk.GetTrack(1).Log;
  EXPECT_TRUE(Contains(log, "Ошибка чтения сектора - 23 (дорожка 1, сектор 5)"));
  EXPECT_TRUE(Contains(log, "Сектор прочитан при повторном чтении - попытка 2 (дорожка 1, сектор 5)"));
  EXPECT_TRUE(Contains(host.mainLog, "* Повторное чтение сбойных секторов - попытка 2"));
  const Lines tail(host.mainLog.end() - 3, host.mainLog.end());
  EXPECT_EQ(tail,
            (Lines{"* Операция выполнена!", "* Восстановлено при повторном чтении - 1", "* Сбойных секторов - 1"}));

  // Re-reads ask only for the failed sectors; the last one gets one read a
  // pass, three passes after the first.
  for (const auto& request : rereads) {
    if (request.rfind("read ", 0) == 0) {
      EXPECT_TRUE(request == "read 0 1 5 1" || request == "read 1 0 9 1") << request;
    }
  }
  EXPECT_EQ(std::count(rereads.begin(), rereads.end(), "read 1 0 9 1"), 3);
  EXPECT_EQ(std::count(rereads.begin(), rereads.end(), "read 0 1 5 1"), 1);
}

TEST_F(FastReadingTest, RetryCountZeroIsOnePassAndASeekFailureKeepsWhatWasRead) {
  sim.Faults().alwaysFail.insert({0, 3});
  EXPECT_EQ(Run(kFastRead, 0, 1, 0), OperationOutcome::Completed);
  EXPECT_GE(recorder.Count("read 0 0 3 1"), 1);
  EXPECT_FALSE(Contains(host.mainLog, "* Повторное чтение сбойных секторов - попытка 2"));
  EXPECT_EQ(host.mainLog.back(), "* Сбойных секторов - 1");

  sim.Faults().seekFailCylinder = 2;
  EXPECT_EQ(Run(kFastRead, 0, 7), OperationOutcome::Failed);
  EXPECT_EQ(host.errors.back(), "Ошибка позиционирования - (25)!");
  EXPECT_EQ(host.mainLog.back(), "* Не прочитаны дорожки - с 4 по 7");
  EXPECT_EQ(operation.UnreadFrom, 4);
  EXPECT_TRUE(disk.GetTrack(3).Sectors[15].DataOk);
}

// On an interleaved disk a quick host reads one sector a request in the
// order they arrive; a host too slow for the sector right behind is found
// out and reads runs of numbers that lie further apart.
TEST(FastReadingPaceTest, RequestsFollowTheHostsPace) {
  for (const std::int64_t hostMicros : {1000, 3000}) {
    SimulatedDriveOptions options;
    options.timing.hostMicros = hostMicros;
    SimulatedDrive sim(options);
    sim.OpenControl();
    sim.OpenDrive('A');
    for (int t = 0; t < 4; ++t) {
      FillTrack(sim.Medium(), t, 16);
      Interleave(sim.Medium().GetTrack(static_cast<std::uint8_t>(t)));
    }
    RecordingDriver recorder(sim);
    RecordingHost host;
    TZX_Disk disk;
    DiskOperation operation{kFastRead, 0, 3, 2, 0};
    ASSERT_EQ(RunDiskOperation(disk, recorder, host, operation), OperationOutcome::Completed);
    std::string difference;
    EXPECT_TRUE(test::SameSectors(sim.Medium(), disk, difference)) << difference;
    int runs = 0;
    for (const auto& request : recorder.requests) runs += request.find(" x") != std::string::npos;
    if (hostMicros == 1000)
      EXPECT_EQ(runs, 0);
    else
      EXPECT_GE(runs, 8);
  }
}

TEST(ReadPlanTest, RunsJoinNeighboursWithinTheBufferAndTheIdByte) {
  TZX_Disk disk;
  FillTrack(disk, 0, 5, 3);  // 5 x 1024: four fit the 4096-byte buffer
  const TTrack& track = disk.GetTrack(0);
  SlotSet all;
  all.set();
  auto plan = PlanNextRead(track, 5, all, {}, 0, HostPace::Quick, kSectorBufferSize);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->slots, (std::vector<int>{0, 1, 2, 3}));
  // Going round: the first pending slot at or after `next`.
  SlotSet some;
  some.set(1);
  plan = PlanNextRead(track, 5, some, {}, 3, HostPace::Quick, kSectorBufferSize);
  EXPECT_EQ(plan->slots, (std::vector<int>{1}));
  // Slots to be read alone, and an ID found twice, make no runs.
  SlotSet alone;
  alone.set(0);
  EXPECT_EQ(PlanNextRead(track, 5, all, alone, 0, HostPace::Quick, kSectorBufferSize)->slots, (std::vector<int>{0}));
  TZX_Disk twice;
  FillTrack(twice, 0, 4);
  twice.GetTrack(0).Sectors[3].IdSector = 2;
  EXPECT_EQ(PlanNextRead(twice.GetTrack(0), 4, all, {}, 0, HostPace::Quick, kSectorBufferSize)->slots,
            (std::vector<int>{0}));
  // EOT must fit its byte: a run stops at sector 254.
  TZX_Disk high;
  FillTrack(high, 0, 3);
  for (int i = 0; i < 3; ++i) high.GetTrack(0).Sectors[i].IdSector = static_cast<std::uint8_t>(253 + i);
  EXPECT_EQ(PlanNextRead(high.GetTrack(0), 3, all, {}, 0, HostPace::Quick, kSectorBufferSize)->slots,
            (std::vector<int>{0, 1}));
  EXPECT_EQ(SlotInReach(3, 5, HostPace::Slow), 0);
  EXPECT_EQ(SlotInReach(2, 5, HostPace::Slow), 4);
  EXPECT_FALSE(PlanNextRead(track, 5, {}, {}, 0, HostPace::Quick, kSectorBufferSize));
}

TEST(ReadPlanTest, AGuessTakesTheCylinderAndSideOfTheFirstIdRead) {
  const std::vector<IdHeader> previous = {{4, 0, 1, 1}, {4, 0, 2, 1}, {4, 0, 3, 1}};
  auto guess = GuessLayout(previous, {5, 1, 2, 1});
  ASSERT_TRUE(guess);
  EXPECT_EQ(guess->slot, 1);
  EXPECT_EQ(guess->ids, (std::vector<IdHeader>{{5, 1, 1, 1}, {5, 1, 2, 1}, {5, 1, 3, 1}}));
  EXPECT_FALSE(GuessLayout(previous, {5, 1, 2, 2}));                      // another size
  EXPECT_FALSE(GuessLayout(previous, {5, 1, 9, 1}));                      // a number not there
  EXPECT_FALSE(GuessLayout({{4, 0, 1, 1}, {7, 0, 2, 1}}, {5, 0, 1, 1}));  // mixed cylinder bytes
  EXPECT_FALSE(GuessLayout({{4, 0, 1, 1}, {4, 0, 1, 1}}, {5, 0, 1, 1}));  // a number twice
  EXPECT_FALSE(GuessLayout({}, {5, 0, 1, 1}));
}

}  // namespace
}  // namespace velloran
