// The Greaseweazle backend end to end: the real backend code talks over a
// pseudo-terminal to the simulated device, which holds a real image turned
// into flux. Whole disks are read and written; each fault gives its message
// and loses no good data.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "common/messages.h"
#include "drive/drive_test_support.h"
#include "drive/greaseweazle/greaseweazle_protocol.h"
#include "drive/greaseweazle/serial_port.h"
#include "engine/controller_commands.h"
#include "flux/flux_disk.h"
#include "formats/format_table.h"
#include "formats/scp.h"
#include "session/driver_choice.h"
#include "support/test_support.h"
#include "trdos/catalog.h"

namespace velloran {
namespace {

const std::filesystem::path kTrd = test::CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd");

TEST(GreaseweazleProtocolTest, FluxStreamBytesFollowTheEncoding) {
  // One byte up to 249, two bytes up to 1524, Space beyond; an index pulse
  // is counted from the start of the interval it falls in.
  FluxTrack track;
  track.sampleClock = 72e6;
  track.intervals = {249, 250, 1524, 1525};
  track.indexTimes = {249 + 100};
  const Bytes stream = gw::EncodeReadStream(track);
  const Bytes expected = {249,
                          255,
                          1,
                          201,
                          1,
                          1,
                          1,  // index 100 ticks into the second interval
                          250,
                          1,
                          254,
                          255,  // 250 and 1524
                          255,
                          2,
                          1 | (1276 & 127) << 1,
                          1 | (1276 >> 7) << 1,
                          1,
                          1,  // Space 1276
                          249,
                          0};
  EXPECT_EQ(stream, expected);
  FluxTrack back;
  ASSERT_TRUE(gw::DecodeFluxStream(ByteSpan(stream.data(), stream.size() - 1), 72e6, back));
  EXPECT_EQ(back.intervals, track.intervals);
  EXPECT_EQ(back.indexTimes, track.indexTimes);
  // Cut short or with an unknown opcode: refused, not read past the end.
  EXPECT_FALSE(gw::DecodeFluxStream(ByteSpan(stream.data(), 3), 72e6, back));
  EXPECT_FALSE(gw::DecodeFluxStream(Bytes{255, 9, 1, 1, 1, 1}, 72e6, back));
  EXPECT_FALSE(gw::DecodeFluxStream(Bytes{252}, 72e6, back));

  // A write ends with a dummy interval of about 100 µs and the 0 byte; a
  // gap over 150 µs becomes Space plus Astable.
  const Bytes write = gw::EncodeFluxStream({300, 72 * 200}, 72e6);
  EXPECT_EQ(write.back(), 0);
  const Bytes astable = {255, 3};
  EXPECT_NE(std::search(write.begin(), write.end(), astable.begin(), astable.end()), write.end());
  ASSERT_TRUE(gw::DecodeFluxStream(ByteSpan(write.data(), write.size() - 1), 72e6, back));
  EXPECT_EQ(back.intervals, (std::vector<std::uint32_t>{300, 72 * 200, 7200}));

  EXPECT_EQ(gw::MakeCommand(gw::kReadFlux, Bytes{0, 0, 0, 0, 3, 0}), (Bytes{7, 8, 0, 0, 0, 0, 3, 0}));
  EXPECT_EQ(RenderPhrase(Language::Russian, gw::AckMessage(gw::kWriteProtected)),
            "Ошибка Greaseweazle - диск защищён от записи (код 6)!");
  EXPECT_EQ(test::English(gw::AckMessage(gw::kWriteProtected)),
            "Greaseweazle error: the disk is write-protected (code 6)!");
}

// The backend against a simulated device holding the test image.
class GreaseweazleTest : public ::testing::Test {
 protected:
  void SetUp() override {
#ifdef _WIN32
    GTEST_SKIP() << "the simulated Greaseweazle needs a pseudo-terminal, which Windows lacks";
#endif
  }

  void Connect(const std::string& options = "") {
    std::string error;
    ASSERT_TRUE(ParseDriveChoice("gw-sim:" + kTrd.string() + (options.empty() ? "" : "?" + options), choice, error))
        << error;
    drive = CreateSimulatedGreaseweazle(choice, error);
    ASSERT_NE(drive, nullptr) << error;
  }

  OperationOutcome Run(OperationSteps steps, int first, int last, int retries = 3) {
    operation = DiskOperation{};
    operation.Steps = steps;
    operation.OpFirstTrack = first;
    operation.OpLastTrack = last;
    operation.RetryCount = static_cast<std::uint8_t>(retries);
    operation.Verify = verify;
    operation.KeepFlux = keepFlux;
    if (!drive->Open()) {
      host.errors.push_back(PhraseText(drive->LastFailure()));
      return OperationOutcome::Failed;
    }
    return RunDiskOperation(disk, static_cast<DiskDrive&>(*drive), host, operation);
  }

  bool Logged(const std::string& text) const {
    for (const auto& line : host.mainLog)
      if (line.find(text) != std::string::npos) return true;
    return false;
  }

  TZX_Disk& Source() {
    if (!source) {
      source = std::make_unique<TZX_Disk>();
      Diagnostic error;
      EXPECT_TRUE(LoadImage(*source, kTrd, error)) << error;
    }
    return *source;
  }

  // The source image with only the tracks a reading has present.
  TZX_Disk SourceAsFarAs(const TZX_Disk& read) {
    TZX_Disk expected = Source();
    for (int t = 0; t < kTrackCount; ++t)
      if (!read.GetTrack(static_cast<std::uint8_t>(t)).Present) expected.GetTrack(static_cast<std::uint8_t>(t)).Clear();
    return expected;
  }

  DriveChoice choice;
  std::unique_ptr<SimulatedGreaseweazleDrive> drive;
  test::RecordingHost host;
  TZX_Disk disk;
  DiskOperation operation;
  bool verify = false;
  bool keepFlux = false;
  std::unique_ptr<TZX_Disk> source;
};

// A clean disk is read in one turn per track: each capture starts wherever
// the disk is and its ends join into a whole revolution.
TEST_F(GreaseweazleTest, CleanDiskReadsInOneTurnPerTrackEqualToTheImage) {
  Connect();
  ASSERT_EQ(Run(kScanAndRead, 0, 159), OperationOutcome::Completed) << ::testing::PrintToString(host.errors);
  std::string difference;
  EXPECT_TRUE(test::SameSectors(disk, Source(), difference)) << difference;
  EXPECT_EQ(operation.BadSectors, 0);
  EXPECT_TRUE(Logged("Операция выполнена!"));
  // The motor is off and the drive deselected afterwards.
  EXPECT_FALSE(drive->Sim().MotorOn());
  EXPECT_FALSE(drive->Sim().Selected());
  const GreaseweazleSim& sim = drive->Sim();
  EXPECT_LE(sim.Revolutions() / 160, 1.3);
  // The joined revolution stays beside the disk, the log says the capture
  // holds one turn of each track, and an SCP saved from it decodes to the
  // same disk.
  EXPECT_TRUE(Logged(MessageText(MessageId::FluxKeptOneTurn, {"160", "160"})));
  const FluxTrack* held = HeldFlux(disk, 17);
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(held->Revolutions(), 1);
  Bytes scp;
  ASSERT_TRUE(SaveSCPToBytes(disk, scp));
  TZX_Disk again;
  ASSERT_TRUE(LoadSCPFromBytes(again, scp));
  EXPECT_TRUE(test::SameSectors(again, Source(), difference)) << difference;
  std::printf("[ speed ] read of 160 tracks in one turn: %.2f revolutions per track, %.1f s simulated\n",
              sim.Revolutions() / 160, sim.Seconds());
}

// With the flux kept, every track holds the revolutions asked for, each a
// whole turn of the disk, in two and a half turns per track at most.
TEST_F(GreaseweazleTest, KeptFluxHoldsWholeRevolutionsOfEveryTrack) {
  Connect();
  keepFlux = true;
  ASSERT_EQ(Run(kScanAndRead, 0, 159), OperationOutcome::Completed) << ::testing::PrintToString(host.errors);
  std::string difference;
  EXPECT_TRUE(test::SameSectors(disk, Source(), difference)) << difference;
  const GreaseweazleSim& sim = drive->Sim();
  EXPECT_LE(sim.Revolutions() / 160, 2.5);
  EXPECT_FALSE(Logged(MessageText(MessageId::FluxKeptOneTurn, {"160", "160"})));
  const double turn = GreaseweazleSim::kRevolutionSeconds * 72e6;
  for (std::uint8_t t = 0; t < 160; ++t) {
    const FluxTrack* held = HeldFlux(disk, t);
    ASSERT_NE(held, nullptr) << int{t};
    ASSERT_EQ(held->Revolutions(), 2) << int{t};
    for (int r = 0; r < 2; ++r)
      EXPECT_NEAR(static_cast<double>(held->indexTimes[r + 1] - held->indexTimes[r]), turn, turn * 1e-4) << int{t};
  }
  Bytes scp;
  ASSERT_TRUE(SaveSCPToBytes(disk, scp));
  TZX_Disk again;
  ASSERT_TRUE(LoadSCPFromBytes(again, scp));
  EXPECT_TRUE(test::SameSectors(again, Source(), difference)) << difference;
  std::printf("[ speed ] read of 160 tracks keeping 2 revolutions: %.2f revolutions per track, %.1f s simulated\n",
              sim.Revolutions() / 160, sim.Seconds());
}

TEST_F(GreaseweazleTest, WriteWithVerifyThenReadBackEqualsTheSource) {
  Connect();
  drive->Sim().Medium() = TZX_Disk{};  // a blank disk in the drive
  disk = Source();
  verify = true;
  ASSERT_EQ(Run(kFormatAndWrite, 0, 159), OperationOutcome::Completed) << ::testing::PrintToString(host.errors);
  EXPECT_EQ(operation.BadSectors, 0);
  const double writeSeconds = drive->Sim().Seconds();
  std::printf("[ speed ] write with verify of 160 tracks: %.2f revolutions per track, %.1f s simulated\n",
              writeSeconds / GreaseweazleSim::kRevolutionSeconds / 160, writeSeconds);

  disk = TZX_Disk{};
  ASSERT_EQ(Run(kScanAndRead, 0, 159), OperationOutcome::Completed);
  std::string difference;
  EXPECT_TRUE(test::SameSectors(disk, Source(), difference)) << difference;
}

TEST_F(GreaseweazleTest, WeakSectorRecoveredOnARetryBadSectorStaysBadOthersKept) {
  Connect("weak=2:3&bad=3:7&jitter=150&seed=4");
  ASSERT_EQ(Run(kScanAndRead, 0, 5), OperationOutcome::Completed);
  EXPECT_TRUE(Logged("Сектор прочитан при повторном чтении - попытка 2 (дорожка 2, сектор 3)"));
  EXPECT_TRUE(Logged("Сектор не прочитан (дорожка 3, сектор 7)"));
  EXPECT_TRUE(Logged("Восстановлено при повторном чтении - 1"));
  EXPECT_TRUE(Logged("Сбойных секторов - 1"));
  EXPECT_EQ(operation.BadSectors, 1);
  // Every sector but the bad one holds the image's data, the recovered one included.
  const TTrack& track = disk.GetTrack(3);
  for (int t = 0; t <= 5; ++t) {
    for (int i = 0; i < 16; ++i) {
      const TSectorRec& got = disk.GetTrack(static_cast<std::uint8_t>(t)).Sectors[i];
      const TSectorRec& want = Source().GetTrack(static_cast<std::uint8_t>(t)).Sectors[i];
      ASSERT_EQ(got.IdSector, want.IdSector);
      if (t == 3 && got.IdSector == 7) continue;
      EXPECT_TRUE(got.DataOk) << t << ":" << int(got.IdSector);
      EXPECT_TRUE(std::equal(got.Data.begin(), got.Data.begin() + 256, want.Data.begin())) << t;
    }
  }
  EXPECT_TRUE(std::any_of(track.Sectors.begin(), track.Sectors.end(),
                          [](const TSectorRec& s) { return s.IdSector == 7 && !s.DataOk; }));
}

// Before each re-read of a failed track the head steps to a neighbouring
// cylinder and back; tracks that read well are read once, in one turn.
TEST_F(GreaseweazleTest, FailedTrackIsReadAgainAfterSteppingAwayAndBack) {
  Connect("bad=3:7,4:2");
  ASSERT_EQ(Run(kScanAndRead, 0, 7, 3), OperationOutcome::Completed);
  EXPECT_EQ(operation.BadSectors, 2);
  // Tracks 3 and 4 lie on cylinders 1 and 2.
  const std::vector<int>& seeks = drive->Sim().Seeks();
  const std::vector<int> pass = {0, 0, 1, 1, 2, 2, 3, 3};
  const std::vector<int> reread = {0, 1, 1, 2};
  std::vector<int> expected = {0};  // Start brings the heads to track 0
  expected.insert(expected.end(), pass.begin(), pass.end());
  expected.insert(expected.end(), reread.begin(), reread.end());
  expected.insert(expected.end(), reread.begin(), reread.end());
  EXPECT_EQ(seeks, expected);
  // A failed track is read again for two revolutions each time, and all it
  // read is kept: one turn, then two and two.
  const auto& capture = dynamic_cast<const FluxDisk&>(*disk.Capture);
  EXPECT_EQ(capture.tracks[2]->flux.Revolutions(), 1);
  EXPECT_EQ(capture.tracks[3]->flux.Revolutions(), 5);
}

TEST_F(GreaseweazleTest, FluxOverflowIsRetriedAndReportedWhenItPersists) {
  Connect("overflow=2");
  ASSERT_EQ(Run(kScanAndRead, 0, 1), OperationOutcome::Completed);
  EXPECT_EQ(operation.BadSectors, 0);
  EXPECT_EQ(operation.FailedTracks, 0);

  Connect("overflow=40");
  host = test::RecordingHost{};
  disk = TZX_Disk{};
  ASSERT_EQ(Run(kScanAndRead, 0, 1, 2), OperationOutcome::Completed);
  EXPECT_TRUE(
      Logged("Ошибка чтения дорожки - Ошибка Greaseweazle - переполнение потока при чтении (код 4)! (дорожка 0)"));
  EXPECT_TRUE(Logged("Дорожка 1 не прочитана"));
  EXPECT_EQ(operation.FailedTracks, 2);
}

TEST_F(GreaseweazleTest, StrayBytesOnTheLineAreSkippedByResynchronising) {
  // Every 7th answer arrives behind a stray byte, as a late reply to an
  // earlier command would: each is caught, the link resynchronised and the
  // command sent again, and the whole read still equals the image.
  Connect("noise=7");
  ASSERT_EQ(Run(kScanAndRead, 0, 3), OperationOutcome::Completed) << host.errors.front();
  EXPECT_EQ(operation.BadSectors, 0);
  EXPECT_EQ(operation.FailedTracks, 0);
  ASSERT_EQ(disk.CountTracks(), 4);
  std::string difference;
  EXPECT_TRUE(test::SameSectors(disk, SourceAsFarAs(disk), difference)) << difference;
}

TEST_F(GreaseweazleTest, DiskWideFaultsStopWithTheirMessage) {
  struct Case {
    const char* options;
    OperationSteps steps;
    std::string message;
  };
  for (const Case& c : {Case{"nodisk", kScanAndRead, PhraseText(gw::AckMessage(gw::kNoIndex))},
                        Case{"noindex", kScanAndRead, PhraseText(gw::AckMessage(gw::kNoIndex))},
                        Case{"protect", kFormatAndWrite, PhraseText(gw::AckMessage(gw::kWriteProtected))},
                        Case{"firmware=0.30", kScanAndRead,
                             "Версия прошивки Greaseweazle 0.30 не поддерживается: обновите прошивку до 0.31 или "
                             "новее!"}}) {
    Connect(c.options);
    host = test::RecordingHost{};
    disk = Source();
    EXPECT_EQ(Run(c.steps, 0, 3), OperationOutcome::Failed) << c.options;
    ASSERT_EQ(host.errors.size(), 1u) << c.options;
    EXPECT_EQ(host.errors[0], c.message) << c.options;
    EXPECT_FALSE(drive->Sim().MotorOn()) << c.options;
    // Nothing in memory is lost to a failed read or write.
    std::string difference;
    EXPECT_TRUE(test::SameSectors(disk, Source(), difference)) << c.options << ": " << difference;
  }
  // The write-protected disk is unchanged.
  std::string difference;
  Connect("protect");
  Run(kFormatAndWrite, 0, 1);
  EXPECT_TRUE(test::SameSectors(drive->Sim().Medium(), Source(), difference)) << difference;
}

TEST_F(GreaseweazleTest, CancelStopsTheMotorAndCatalogReadsTrackZero) {
  Connect();
  host.onEvents = [&] { host.cancel = true; };
  EXPECT_EQ(Run(kScanAndRead, 0, 159), OperationOutcome::Cancelled);
  EXPECT_TRUE(Logged("Операция отменена пользователем!"));
  EXPECT_FALSE(drive->Sim().MotorOn());
  EXPECT_FALSE(drive->Sim().Selected());
  // The track read before the cancel keeps its sectors and its flux.
  ASSERT_GT(disk.CountTracks(), 0);
  std::string difference;
  EXPECT_TRUE(test::SameSectors(disk, SourceAsFarAs(disk), difference)) << difference;
  EXPECT_NE(disk.Capture, nullptr);

  TrdosCatalog catalog;
  const DriveCatalogResult result = ReadDriveCatalog(static_cast<DiskDrive&>(*drive), catalog);
  ASSERT_FALSE(result.message) << *result.message;
  TrdosCatalog expected;
  ASSERT_TRUE(ReadCatalog(Source(), expected));
  EXPECT_EQ(catalog.EntryCount, expected.EntryCount);
  EXPECT_EQ(catalog.DiskLabel, expected.DiskLabel);
  EXPECT_FALSE(drive->Sim().MotorOn());
}

}  // namespace
}  // namespace velloran
