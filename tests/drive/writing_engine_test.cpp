// The writing engine on the simulated drive: format blocks, attempts,
// skipped tracks and slots, and failures that let the operation go on.
#include <gtest/gtest.h>

#include "drive/drive_test_support.h"
#include "engine/disk_engines.h"
#include "sim/simulated_drive.h"

namespace velloran {
namespace {

using test::FillTrack;
using test::RecordingDriver;
using test::RecordingHost;
using Lines = std::vector<std::string>;

using WritingEngineTest = test::EngineTest;

TEST_F(WritingEngineTest, FormatBlockCarriesSlotZerosSizeAndEveryHeader) {
  FillTrack(disk, 3, 3);
  disk.GetTrack(3).Sectors[1].IdSize = 2;  // mixed sizes: the track takes slot 0's
  disk.GetTrack(3).Sectors[2].IdTrack = 77;
  Run(kFormatTracks, 3, 3);
  ASSERT_EQ(recorder.formats.size(), 1u);
  const Bytes expected = {0x40, 1, 1, 3, 0x14, 0x00, 1, 1, 1, 1, 1, 1, 2, 2, 77, 1, 3, 1};
  EXPECT_EQ(recorder.formats[0].ToBytes(), expected);
  // On the disk each header keeps its own N; the data fields all have 256 bytes.
  const TTrack& formatted = sim.Medium().GetTrack(3);
  EXPECT_EQ(formatted.Sectors[1].IdSize, 2);
  EXPECT_EQ(formatted.Sectors[1].DataLen, 256);
  EXPECT_EQ(formatted.Sectors[2].IdTrack, 77);
  EXPECT_EQ(formatted.Sectors[0].Data[100], 0x00);
}

TEST_F(WritingEngineTest, FormatAndWriteLogsOnlyToTheMainLog) {
  FillTrack(disk, 0, 2);
  FillTrack(disk, 1, 2);
  EXPECT_EQ(Run(kFormatAndWrite, 0, 1), OperationOutcome::Completed);
  const Lines expected = {
      "track 0", "clear",      "log*: Начало операции!",   "track 0", "events", "progress 1", "track 1",
      "events",  "progress 2", "log*: Операция выполнена!"};
  EXPECT_EQ(host.calls, expected);
  const Lines requests = {
      "reset",    "seek 80 0",    "seek 0 0",          "format 0 1 2",     "write 0 0 1 1 256", "write 0 0 2 1 256",
      "seek 0 1", "format 1 1 2", "write 0 1 1 1 256", "write 0 1 2 1 256"};
  EXPECT_EQ(recorder.requests, requests);
  EXPECT_TRUE(disk.GetTrack(0).Log.empty());
}

// A count of 0 attempts still makes one: a write-protected disk then fails
// each format and each write once, and the log ends with the failed count.
TEST_F(WritingEngineTest, RetryCountZeroMakesOneAttemptAndCountsTheFailures) {
  FillTrack(disk, 0, 2);
  sim.Faults().writeProtected = true;
  EXPECT_EQ(Run(kFormatAndWrite, 0, 0, 0), OperationOutcome::Completed);
  EXPECT_EQ(recorder.Count("format"), 1);
  EXPECT_EQ(recorder.Count("write"), 2);
  const Lines expected = {"* Начало операции!",
                          "* Ошибка форматирования - 19 (дорожка 0)",
                          "* Ошибка записи сектора - 19 (дорожка 0, сектор 1)",
                          "* Ошибка записи сектора - 19 (дорожка 0, сектор 2)",
                          "* Операция выполнена!",
                          "* Сбойных секторов - 2"};
  EXPECT_EQ(host.mainLog, expected);
  EXPECT_EQ(operation.BadSectors, 2);

  // The same disk unprotected: one attempt each is enough, nothing failed.
  sim.Faults().writeProtected = false;
  EXPECT_EQ(Run(kFormatAndWrite, 0, 0, 0), OperationOutcome::Completed);
  EXPECT_EQ(operation.BadSectors, 0);
  EXPECT_EQ(host.mainLog.back(), "* Операция выполнена!");
  EXPECT_EQ(sim.Medium().GetTrack(0).Sectors[1].Data[7], disk.GetTrack(0).Sectors[1].Data[7]);
}

TEST_F(WritingEngineTest, AbsentTracksAreSkippedWithoutASeekButCountedInProgress) {
  FillTrack(disk, 0, 1);
  FillTrack(disk, 3, 1);
  Run(kFormatAndWrite, 0, 3);
  EXPECT_EQ(recorder.Count("seek"), 3);  // 80, track 0, track 3
  EXPECT_EQ(recorder.requests[5], "seek 1 1");
  Lines progress;
  for (const auto& call : host.calls)
    if (call.rfind("progress", 0) == 0) progress.push_back(call);
  EXPECT_EQ(progress, (Lines{"progress 1", "progress 2", "progress 3", "progress 4"}));
}

TEST_F(WritingEngineTest, UnusedSlotBelowTheCountIsFormattedButNotWritten) {
  FillTrack(disk, 0, 3);
  disk.GetTrack(0).Sectors[1].Used = false;  // two used slots: 0 and 2; count 2
  Run(kFormatAndWrite, 0, 0);
  ASSERT_EQ(recorder.formats.size(), 1u);
  ASSERT_EQ(recorder.formats[0].headers.size(), 2u);
  EXPECT_EQ(recorder.formats[0].headers[1].r, 2);  // slot 1, unused, still named
  EXPECT_EQ(recorder.Count("write"), 1);           // slot 0 only; slot 2 lies beyond the count
}

TEST_F(WritingEngineTest, FormatFailureStillWritesTheTrack) {
  FillTrack(disk, 0, 2);
  FillTrack(sim.Medium(), 0, 2);
  recorder.failHook = [](const std::string& request, std::uint32_t& code) {
    code = 23;
    return request.rfind("format", 0) == 0;
  };
  Run(kFormatAndWrite, 0, 0, 3);
  EXPECT_EQ(recorder.Count("format"), 3);
  EXPECT_EQ(host.mainLog[1], "* Ошибка форматирования - 23 (дорожка 0)");
  EXPECT_EQ(recorder.Count("write"), 2);
  EXPECT_EQ(sim.Medium().GetTrack(0).Sectors[1].Data[9], disk.GetTrack(0).Sectors[1].Data[9]);
}

TEST_F(WritingEngineTest, EveryWriteFailingStillCompletesAndCountsThem) {
  FillTrack(disk, 0, 2);
  FillTrack(disk, 1, 1);
  sim.Faults().writeProtected = true;
  EXPECT_EQ(Run(kWriteTracks, 0, 1), OperationOutcome::Completed);
  const Lines expected = {"* Начало операции!",
                          "* Ошибка записи сектора - 19 (дорожка 0, сектор 1)",
                          "* Ошибка записи сектора - 19 (дорожка 0, сектор 2)",
                          "* Ошибка записи сектора - 19 (дорожка 1, сектор 1)",
                          "* Операция выполнена!",
                          "* Сбойных секторов - 3"};
  EXPECT_EQ(host.mainLog, expected);
  EXPECT_EQ(recorder.Count("write"), 6);
  EXPECT_EQ(operation.BadSectors, 3);

  // A format that fails counts every sector of its track once.
  Run(kFormatTracks, 0, 1);
  EXPECT_EQ(operation.BadSectors, 3);
}

TEST_F(WritingEngineTest, CancelEndsAfterTheFormatOfTheCurrentTrack) {
  FillTrack(disk, 0, 2);
  FillTrack(disk, 1, 2);
  host.onEvents = [&] { host.cancel = true; };
  EXPECT_EQ(Run(kFormatAndWrite, 0, 1), OperationOutcome::Cancelled);
  EXPECT_EQ(recorder.Count("format"), 1);
  EXPECT_EQ(recorder.Count("write"), 2);
  EXPECT_EQ(host.calls.back(), "log*: Операция отменена пользователем!");
  EXPECT_FALSE(sim.Medium().GetTrack(1).Present);
}

TEST_F(WritingEngineTest, SeekFailureEndsWithAMessage) {
  FillTrack(disk, 0, 1);
  FillTrack(disk, 4, 1);
  sim.Faults().seekFailCylinder = 2;
  EXPECT_EQ(Run(kFormatAndWrite, 0, 4), OperationOutcome::Failed);
  EXPECT_EQ(host.errors, Lines{"Ошибка позиционирования - (25)!"});
  EXPECT_EQ(host.mainLog.back(), "* Начало операции!");
  EXPECT_TRUE(sim.Medium().GetTrack(0).Present);
}

TEST_F(WritingEngineTest, WriteSendsExactlyTheHeldDataLength) {
  FillTrack(disk, 0, 1);
  FillTrack(sim.Medium(), 0, 1);
  disk.GetTrack(0).Sectors[0].DataLen = 100;
  Run(kWriteTracks, 0, 0);
  EXPECT_EQ(recorder.requests.back(), "write 0 0 1 1 100");
  const TSectorRec& written = sim.Medium().GetTrack(0).Sectors[0];
  EXPECT_EQ(written.DataLen, 256);  // the controller pads the field with zeros
  EXPECT_EQ(written.Data[99], disk.GetTrack(0).Sectors[0].Data[99]);
  EXPECT_EQ(written.Data[100], 0);
}

}  // namespace
}  // namespace velloran
