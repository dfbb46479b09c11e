// The reading engine on the simulated drive: log lines and their order,
// attempts, cancel, failures of seek and scan, and what a scan leaves in the
// slots.
#include <gtest/gtest.h>

#include <algorithm>

#include "drive/drive_test_support.h"
#include "engine/disk_engines.h"
#include "sim/simulated_drive.h"

namespace velloran {
namespace {

using test::FillTrack;
using test::RecordingDriver;
using test::RecordingHost;
using Lines = std::vector<std::string>;

class ReadingEngineTest : public test::EngineTest {
 protected:
  ReadingEngineTest() {
    for (int t = 0; t < 6; ++t) FillTrack(sim.Medium(), t, 3);
  }
};

// The same reading logs in the process's language: English lines hold no
// Russian letter, and the track's own log is kept in the language of the read.
TEST_F(ReadingEngineTest, LogsInTheProcessLanguage) {
  sim.Faults().alwaysFail.insert({1, 2});
  const Language before = ProcessLanguage();
  SetProcessLanguage(Language::English);
  EXPECT_EQ(Run(kScanAndRead, 0, 1), OperationOutcome::Completed);
  const Lines english = host.mainLog;
  const Lines englishTrackLog = disk.GetTrack(1).Log;
  SetProcessLanguage(Language::Russian);
  host = RecordingHost{};
  disk.ClearDisk();
  EXPECT_EQ(Run(kScanAndRead, 0, 1), OperationOutcome::Completed);
  SetProcessLanguage(before);

  EXPECT_EQ(english.front(), "* The operation has started.");
  EXPECT_NE(std::find(english.begin(), english.end(), "* Sector read error 23 (track 1, sector 2)"), english.end());
  EXPECT_EQ(english.back(), "* Bad sectors: 1");
  EXPECT_EQ(englishTrackLog.back(), "Sector read error 23 (track 1, sector 2)");
  for (const std::string& line : english)  // Cyrillic letters begin with the bytes D0..D3
    EXPECT_TRUE(std::none_of(line.begin(), line.end(), [](char c) { return (c & 0xFC) == 0xD0; })) << line;
  ASSERT_EQ(host.mainLog.size(), english.size()) << "the same lines in either language";
  EXPECT_EQ(host.mainLog.front(), "* Начало операции!");
  EXPECT_EQ(host.mainLog.back(), "* Сбойных секторов - 1");
  EXPECT_EQ(disk.GetTrack(1).Log.back(), "Ошибка чтения сектора - 23 (дорожка 1, сектор 2)");
}

TEST_F(ReadingEngineTest, ScanAndReadLogsEveryStepInOrder) {
  sim.Faults().alwaysFail.insert({1, 2});
  EXPECT_EQ(Run(kScanAndRead, 0, 1), OperationOutcome::Completed);

  const Lines expected = {"track 0",
                          "clear",
                          "log*: Начало операции!",
                          "track 0",
                          "log: Начало сканирования дорожки - 0",
                          "log: Данные приняты - 13 байт",
                          "events",
                          "progress 1",
                          "track 1",
                          "log: Начало сканирования дорожки - 1",
                          "log: Данные приняты - 13 байт",
                          "events",
                          "log*: Ошибка чтения сектора - 23 (дорожка 1, сектор 2)",
                          "progress 2",
                          "log*: Операция выполнена!",
                          "log*: Сбойных секторов - 1"};
  EXPECT_EQ(host.calls, expected);

  const Lines trackLog = {"Начало сканирования дорожки.", "Данные приняты - 13 байт",
                          "Дорожка просканирована. Найдено секторов: 3.",
                          "Ошибка чтения сектора - 23 (дорожка 1, сектор 2)"};
  EXPECT_EQ(disk.GetTrack(1).Log, trackLog);

  const Lines requests = {"reset",        "seek 80 0",    "seek 0 0",    "scan 0", "read 0 0 1 1",
                          "read 0 0 2 1", "read 0 0 3 1", "seek 0 1",    "scan 1", "read 0 1 1 1",
                          "read 0 1 2 1", "read 0 1 2 1", "read 0 1 3 1"};
  EXPECT_EQ(recorder.requests, requests);
  EXPECT_EQ(operation.BadSectors, 1);

  const TSectorRec& bad = disk.GetTrack(1).Sectors[1];
  EXPECT_EQ(bad.ErrorCount, 1);
  EXPECT_FALSE(bad.DataOk);
  EXPECT_EQ(bad.DataLen, 0);
  const TSectorRec& good = disk.GetTrack(1).Sectors[2];
  EXPECT_TRUE(good.DataOk);
  EXPECT_EQ(good.DataLen, 256);
  EXPECT_EQ(good.IdCrc, IdFieldCrc(0, 1, 3, 1));
  EXPECT_TRUE(std::equal(good.Data.begin(), good.Data.begin() + 256, sim.Medium().GetTrack(1).Sectors[2].Data.begin()));
}

TEST_F(ReadingEngineTest, RetriesAreAttemptsStoppingAtTheFirstSuccess) {
  FillTrack(disk, 0, 3);
  sim.Faults().failFirstReads[{0, 1}] = 2;
  sim.Faults().failFirstReads[{0, 2}] = 3;
  Run(kReadSectors, 0, 0, 3);
  EXPECT_EQ(recorder.Count("read 0 0 1 1"), 3);  // two failures, then the data
  EXPECT_EQ(recorder.Count("read 0 0 2 1"), 3);  // three failures: all attempts used
  EXPECT_EQ(recorder.Count("read 0 0 3 1"), 1);
  EXPECT_TRUE(disk.GetTrack(0).Sectors[0].DataOk);
  EXPECT_FALSE(disk.GetTrack(0).Sectors[1].DataOk);
  EXPECT_EQ(operation.BadSectors, 1);
}

// A count of 0 attempts still reads every sector once. (The rotation-aware
// mode's own suite checks it there.)
TEST_F(ReadingEngineTest, RetryCountZeroReadsEverySectorOnce) {
  FillTrack(disk, 0, 3);
  sim.Faults().alwaysFail.insert({0, 2});
  for (const OperationSteps steps : {kReadSectors, kScanAndRead}) {
    recorder.requests.clear();
    Run(steps, 0, 0, 0);
    EXPECT_EQ(recorder.Count("read 0 0 1 1"), 1) << "scan " << steps.scan;
    EXPECT_EQ(recorder.Count("read 0 0 2 1"), 1) << "scan " << steps.scan;
    EXPECT_EQ(operation.BadSectors, 1) << "scan " << steps.scan;
    EXPECT_EQ(host.mainLog.back(), "* Сбойных секторов - 1") << "scan " << steps.scan;
    EXPECT_TRUE(disk.GetTrack(0).Sectors[2].DataOk) << "scan " << steps.scan;
  }
}

TEST_F(ReadingEngineTest, CancelDuringAReadIsSeenAfterTheNextTrackIsSought) {
  // The click arrives while track 1 is read; the window handles it at the
  // next processing of its events, which comes after track 2's scan.
  bool clickQueued = false;
  recorder.failHook = [&](const std::string& request, std::uint32_t&) {
    if (request == "read 0 1 2 1") clickQueued = true;
    return false;
  };
  host.onEvents = [&] { host.cancel = host.cancel || clickQueued; };
  EXPECT_EQ(Run(kScanAndRead, 0, 4), OperationOutcome::Cancelled);
  EXPECT_EQ(recorder.Count("read 0 1 3 1"), 1);  // track 1 was read to its end
  const Lines tail(host.calls.end() - 5, host.calls.end());
  EXPECT_EQ(tail, (Lines{"track 2", "log: Начало сканирования дорожки - 2", "log: Данные приняты - 13 байт", "events",
                         "log*: Операция отменена пользователем!"}));
  EXPECT_EQ(recorder.requests.back(), "scan 0");
  EXPECT_TRUE(disk.GetTrack(1).Sectors[2].DataOk);  // what was read stays
  EXPECT_TRUE(disk.GetTrack(2).Present);            // scanned, not read
  EXPECT_EQ(disk.GetTrack(2).Sectors[0].DataLen, 0);
}

TEST_F(ReadingEngineTest, CancelClickedDuringAScanStopsBeforeTheReadStep) {
  bool clickQueued = false;
  recorder.failHook = [&](const std::string& request, std::uint32_t&) {
    if (request == "scan 1") clickQueued = true;
    return false;
  };
  host.onEvents = [&] { host.cancel = host.cancel || clickQueued; };
  EXPECT_EQ(Run(kScanAndRead, 0, 3), OperationOutcome::Cancelled);
  EXPECT_TRUE(disk.GetTrack(1).Present);     // scanned
  EXPECT_EQ(recorder.Count("read 0 1"), 0);  // but not read
  EXPECT_EQ(host.calls.back(), "log*: Операция отменена пользователем!");
}

TEST_F(ReadingEngineTest, CancelSetBeforeATrackEndsRightAfterItsSeek) {
  host.cancel = true;
  EXPECT_EQ(Run(kScanAndRead, 0, 4), OperationOutcome::Cancelled);
  EXPECT_EQ(recorder.requests, (Lines{"reset", "seek 80 0", "seek 0 0"}));
  EXPECT_EQ(host.calls.back(), "log*: Операция отменена пользователем!");
}

TEST_F(ReadingEngineTest, FailedSeekMidwayEndsWithoutClosingLines) {
  sim.Faults().seekFailCylinder = 1;
  EXPECT_EQ(Run(kScanAndRead, 0, 5), OperationOutcome::Failed);
  EXPECT_EQ(host.errors, Lines{"Ошибка позиционирования - (25)!"});
  for (const auto& line : host.mainLog) {
    EXPECT_EQ(line.find("Операция выполнена!"), std::string::npos);
    EXPECT_EQ(line.find("Сбойных"), std::string::npos);
  }
  EXPECT_TRUE(disk.GetTrack(1).Sectors[0].DataOk);  // tracks done so far stay
  EXPECT_FALSE(disk.GetTrack(2).Present);
  // The log names the tracks left unread, and the operation says where it stopped.
  EXPECT_EQ(host.mainLog.back(), "* Не прочитаны дорожки - с 2 по 5");
  EXPECT_EQ(operation.UnreadFrom, 2);
}

TEST_F(ReadingEngineTest, ResetAndFirstSeekFailuresEndAtOnce) {
  recorder.failHook = [](const std::string& request, std::uint32_t& code) {
    code = 21;
    return request == "reset";
  };
  EXPECT_EQ(Run(kScanTracks, 0, 1), OperationOutcome::Failed);
  EXPECT_EQ(host.errors, Lines{"Ошибка сброса контроллера - (21)!"});
  EXPECT_EQ(recorder.requests, Lines{"reset"});

  host = RecordingHost();
  recorder.requests.clear();
  recorder.failHook = [](const std::string& request, std::uint32_t& code) {
    code = 25;
    return request == "seek 80 0";
  };
  EXPECT_EQ(Run(kScanTracks, 0, 1), OperationOutcome::Failed);
  EXPECT_EQ(host.errors, Lines{"Ошибка позиционирования - (25)!"});
  EXPECT_TRUE(host.mainLog.empty());
}

TEST_F(ReadingEngineTest, TooManyTracksIsRefusedBeforeAnyRequest) {
  EXPECT_EQ(Run(kScanTracks, 0, 166), OperationOutcome::Failed);
  EXPECT_EQ(host.errors, Lines{"Число дорожек превышает 166..."});
  EXPECT_TRUE(recorder.requests.empty());
}

TEST_F(ReadingEngineTest, FailedScanStillRunsTheReadStep) {
  FillTrack(disk, 3, 2);
  recorder.failHook = [](const std::string& request, std::uint32_t& code) {
    code = 21;
    return request == "scan 1";
  };
  Run(kScanAndRead, 3, 3);
  EXPECT_EQ(disk.GetTrack(3).Log[1], "Ошибка сканирования - 21 (дорожка 3)");
  EXPECT_NE(std::find(host.mainLog.begin(), host.mainLog.end(), "* Ошибка сканирования - 21 (дорожка 3)"),
            host.mainLog.end());
  EXPECT_EQ(disk.GetTrack(3).Log.size(), 2u);  // no "Данные приняты", no "просканирована"
  EXPECT_EQ(recorder.Count("read 1 1"), 2);
  EXPECT_TRUE(disk.GetTrack(3).Sectors[1].DataOk);
}

TEST_F(ReadingEngineTest, FewerScannedHeadersOverwriteOnlyTheFirstSlots) {
  // Memory holds five slots from before, the disk three sectors numbered 7..9.
  FillTrack(disk, 0, 5);
  for (int i = 0; i < 3; ++i) {
    TSectorRec& slot = sim.Medium().GetTrack(0).Sectors[i];
    slot.IdSector = static_cast<std::uint8_t>(7 + i);
  }
  const std::uint8_t keptData = disk.GetTrack(0).Sectors[0].Data[5];
  Run(kScanTracks, 0, 0);
  const TTrack& track = disk.GetTrack(0);
  EXPECT_EQ(track.Sectors[0].IdSector, 7);
  EXPECT_EQ(track.Sectors[2].IdSector, 9);
  EXPECT_EQ(track.Sectors[3].IdSector, 4);  // old slots stay
  EXPECT_EQ(track.Sectors[4].IdSector, 5);
  EXPECT_EQ(track.Sectors[0].Data[5], keptData);  // the scan leaves the data fields alone
  EXPECT_EQ(track.Sectors[0].IdCrc, IdFieldCrc(0, 0, 7, 1));

  // A following read step reads the old slots too; the disk has no such sectors.
  recorder.requests.clear();
  Run(kReadSectors, 0, 0);
  EXPECT_EQ(recorder.Count("read 0 0 4 1"), 2);
  EXPECT_EQ(host.mainLog[1], "* Ошибка чтения сектора - 27 (дорожка 0, сектор 4)");
  EXPECT_EQ(operation.BadSectors, 2);
}

TEST_F(ReadingEngineTest, ATrackWithOneSectorIsStored) {
  sim.Medium().GetTrack(2).Clear();
  FillTrack(sim.Medium(), 2, 1, 3);
  Run(kScanAndRead, 2, 2);
  const TTrack& track = disk.GetTrack(2);
  EXPECT_TRUE(track.Present);
  EXPECT_EQ(track.Log[1], "Данные приняты - 5 байт");
  EXPECT_EQ(track.Log[2], "Дорожка просканирована. Найдено секторов: 1.");
  EXPECT_EQ(track.Sectors[0].DataLen, 1024);
  EXPECT_TRUE(track.Sectors[0].DataOk);
}

TEST_F(ReadingEngineTest, AnEmptyTrackLeavesTheSlotsAsTheyWere) {
  sim.Medium().GetTrack(4).Clear();
  Run(kScanTracks, 4, 4);
  EXPECT_FALSE(disk.GetTrack(4).Present);
  EXPECT_EQ(disk.GetTrack(4).Log, (Lines{"Начало сканирования дорожки.", "Данные приняты - 1 байт"}));
}

TEST_F(ReadingEngineTest, ScanHeadersBeyondTwentyAreNotStored) {
  std::vector<IdHeader> headers;
  for (int i = 0; i < 25; ++i) headers.push_back({0, 0, static_cast<std::uint8_t>(i + 1), 1});
  // A driver that reports 25 IDs: the scan hook answers for the simulated drive.
  class ManyIds : public SimulatedDrive {
   public:
    explicit ManyIds(std::vector<IdHeader> ids) : ids_(std::move(ids)) {}
    bool ScanTrack(std::uint8_t, std::uint8_t, ScanResult& result) override {
      StoreScanHeaders(ids_, result);
      return true;
    }

   private:
    std::vector<IdHeader> ids_;
  } drive(headers);
  drive.OpenDrive('A');
  operation.Steps = kScanTracks;
  operation.OpFirstTrack = operation.OpLastTrack = 0;
  RunReadingEngine(disk, drive, host, operation);
  EXPECT_EQ(disk.GetTrack(0).CountSectors(), 20);
  EXPECT_EQ(disk.GetTrack(0).Log.back(), "Дорожка просканирована. Найдено секторов: 20.");
}

TEST_F(ReadingEngineTest, UnsupportedSizeCodeIsAFailedSectorWithoutARequest) {
  FillTrack(disk, 0, 3);
  disk.GetTrack(0).Sectors[1].IdSize = 5;
  disk.GetTrack(0).Sectors[2].DataLen = 0;
  Run(kReadSectors, 0, 0);
  EXPECT_EQ(recorder.Count("read 0 0 2"), 0);
  EXPECT_EQ(operation.BadSectors, 1);
  EXPECT_FALSE(disk.GetTrack(0).Sectors[1].DataOk);
  EXPECT_EQ(disk.GetTrack(0).Log[0], "Ошибка чтения сектора - 87 (дорожка 0, сектор 2)");
  // The next slot gets its own length, not the one before it.
  EXPECT_EQ(disk.GetTrack(0).Sectors[2].DataLen, 256);
}

TEST_F(ReadingEngineTest, AShortTransferIsLoggedButStored) {
  FillTrack(disk, 0, 2);
  recorder.readCountHook = [](std::size_t& count) { count = 200; };
  Run(kReadSectors, 0, 0);
  const Lines expected = {"Длина сектора - 256 байт не равна количеству считанных байтов - 200",
                          "Длина сектора - 256 байт не равна количеству считанных байтов - 200"};
  EXPECT_EQ(disk.GetTrack(0).Log, expected);
  EXPECT_EQ(host.mainLog[1], "* " + expected[0]);
  EXPECT_TRUE(disk.GetTrack(0).Sectors[0].DataOk);
  EXPECT_EQ(operation.BadSectors, 0);
}

TEST_F(ReadingEngineTest, LogsGrowPerTrackAndTheMainLogStartsAfresh) {
  Run(kScanTracks, 0, 0);
  Run(kScanTracks, 0, 0);
  EXPECT_EQ(disk.GetTrack(0).Log.size(), 6u);
  EXPECT_EQ(host.mainLog.front(), "* Начало операции!");
  EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "clear"), 2);
  EXPECT_EQ(host.mainLog.size(), 4u);  // start, scan start, received, done
}

TEST_F(ReadingEngineTest, FirstEqualsLastProcessesOneTrack) {
  Run(kScanAndRead, 5, 5);
  EXPECT_EQ(recorder.Count("seek"), 2);  // cylinder 80, then track 5
  EXPECT_EQ(recorder.requests[2], "seek 2 1");
  EXPECT_EQ(disk.CountTracks(), 1);
  EXPECT_EQ(host.calls[host.calls.size() - 2], "progress 6");
}

}  // namespace
}  // namespace velloran
