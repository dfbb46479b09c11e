// The drive commands: read a whole disk from a floppy drive into an image,
// write an image onto a disk, and list the TR-DOS catalog of the disk in the
// drive. They run the same start-up sequence and engines as the desktop tool;
// the drive is a real one (A, B), a Greaseweazle (gw), or one of the
// simulated drives (sim:IMAGE, gw-sim:IMAGE).

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>

#include "app/cli/cli.h"
#include "app/cli/rescue_report.h"
#include "common/file_io.h"
#include "common/messages.h"
#include "common/system.h"
#include "common/utf8_path.h"
#include "engine/controller_commands.h"
#include "engine/disk_engines.h"
#include "engine/operation_start.h"
#include "flux/flux_disk.h"
#include "formats/format_table.h"
#include "model/disk_fingerprint.h"
#include "model/merge.h"
#include "session/driver_choice.h"
#include "session/driver_startup.h"
#include "trdos/catalog.h"

namespace velloran::cli {

namespace {

// A number with `digits` decimals, as the simulated drive's times are shown.
std::string Decimal(double value, int digits) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", digits, value);
  return text;
}

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) { interrupted = 1; }

// The progress window on a terminal: log lines on standard error and, when
// it is a terminal, a progress line that is redrawn in place.
class ConsoleHost : public OperationHost {
 public:
  explicit ConsoleHost(int lastTrack) : lastTrack_(lastTrack), terminal_(StandardErrorIsTerminal()) {}
  ~ConsoleHost() override { EndProgressLine(); }

  void ShowTrack(int track) override {
    track_ = track;
    Draw();
  }
  void SetProgress(int position) override {
    position_ = position;
    Draw();
  }
  void ProcessPendingEvents() override {}
  bool CancelRequested() override { return interrupted != 0; }
  void ClearMainLog() override {}
  void AddMainLog(const Phrase& line, bool) override {
    EndProgressLine();
    std::cerr << PhraseText(line) << '\n';
  }
  void ShowError(const Phrase& text) override {
    EndProgressLine();
    std::cerr << "velloran-cli: " << PhraseText(text) << '\n';
  }

 private:
  void Draw() {
    if (!terminal_) return;
    std::cerr << '\r' << MessageText(MessageId::ProgressAtTrack, {std::to_string(track_)}) << "  [" << position_ << '/'
              << lastTrack_ + 1 << "]   " << std::flush;
    drawn_ = true;
  }
  void EndProgressLine() {
    if (drawn_) std::cerr << '\n';
    drawn_ = false;
  }

  int lastTrack_;
  bool terminal_;
  bool drawn_ = false;
  int track_ = 0;
  int position_ = 0;
};

// The open drive of one command and the settings it runs with.
struct DriveSession {
  DriveChoice choice;
  std::unique_ptr<DiskDrive> driver;
  SimulatedDrive* simulated = nullptr;
  SimulatedGreaseweazleDrive* fluxSimulated = nullptr;
  Settings settings;
  int revolutions = 2;
  bool keepFlux = false;  // the flux read is saved (--flux)
};

std::optional<std::string> CheckArguments(const Arguments& args, const std::set<std::string>& known,
                                          std::size_t positional, const std::string& usage) {
  if (!args.Error().empty()) return args.Error();
  if (const auto unknown = args.UnknownOption(known); !unknown.empty())
    return MessageText(MessageId::CliUnknownOption, {unknown});
  if (args.Positional().size() != positional) return MessageText(MessageId::CliUsage, {usage});
  return std::nullopt;
}

// Picks the drive, opens the driver as the desktop tool does at start-up and
// takes the track range and attempts from the options.
std::optional<DriveSession> OpenSession(const Arguments& args, std::string& error) {
  DriveSession session;
  std::string text = args.Value("drive").value_or(DriveChoiceFromEnvironment().value_or("A"));
  if (!ParseDriveChoice(text, session.choice, error)) return std::nullopt;
  if (!NumberOption(args, "first", 0, 165, session.settings.FirstTrack, error) ||
      !NumberOption(args, "last", 0, 165, session.settings.LastTrack, error) ||
      !NumberOption(args, "retries", 0, 255, session.settings.RetryCount, error))
    return std::nullopt;
  std::uint8_t revolutions = 2;
  if (!NumberOption(args, "revs", 1, 20, revolutions, error)) return std::nullopt;
  session.revolutions = revolutions;

  session.driver = CreateDriver(session.choice, error);
  if (!session.driver) return std::nullopt;
  session.simulated = dynamic_cast<SimulatedDrive*>(session.driver.get());
  session.fluxSimulated = dynamic_cast<SimulatedGreaseweazleDrive*>(session.driver.get());
  if (session.choice.kind == DriveKind::Controller) session.settings.Drive = std::string(1, session.choice.drive);

  const DriverStatus status = OpenDriveAtStartup(*session.driver, session.settings);
  if (!status.statusText.Empty()) std::cerr << PhraseText(status.statusText) << '\n';
  if (!status.diskMenuEnabled) {
    for (const auto& message : status.messages) error += (error.empty() ? "" : "\n") + PhraseText(message);
    if (error.empty()) error = MessageText(MessageId::DriveCannotBeUsed);
    return std::nullopt;
  }
  return session;
}

// After a command on the simulated drive: its time, and the disk saved where asked.
int FinishSession(const DriveSession& session, int exitCode) {
  TZX_Disk* medium = nullptr;
  if (session.simulated != nullptr) {
    std::cout << MessageText(MessageId::SimulatedTime, {Decimal(session.simulated->SimulatedSeconds(), 3),
                                                        Decimal(session.simulated->Revolutions(), 1)})
              << '\n';
    medium = &session.simulated->Medium();
  } else if (session.fluxSimulated != nullptr) {
    const GreaseweazleSim& sim = session.fluxSimulated->Sim();
    std::cout << MessageText(MessageId::SimulatedFluxTime,
                             {Decimal(sim.Seconds(), 3), Decimal(sim.Revolutions(), 1),
                              Decimal(sim.RevolutionsRead(), 1), std::to_string(sim.FluxReads())})
              << '\n';
    medium = &session.fluxSimulated->Sim().Medium();
  }
  if (medium != nullptr && !session.choice.saveTo.empty()) {
    Diagnostic failure;
    if (!SaveImage(*medium, session.choice.saveTo, SaveOptions{}, failure))
      return Fail(SaveFailureText(PathToUtf8(session.choice.saveTo), failure));
  }
  return exitCode;
}

// Checks a command's start, runs its engine with the console as the window.
OperationOutcome RunCommand(DiskCommand command, DriveSession& session, TZX_Disk& disk, DiskOperation& operation,
                            bool& started, bool verify = false) {
  CommandStart start = PrepareDiskCommand(command, session.settings, disk);
  for (const auto& message : start.messages) std::cerr << PhraseText(message) << '\n';
  started = start.run;
  if (!start.run) return OperationOutcome::Failed;
  operation = start.operation;
  operation.FluxRevolutions = session.revolutions;
  operation.KeepFlux = session.keepFlux;
  operation.Verify = verify;
  interrupted = 0;
  const auto previous = std::signal(SIGINT, OnInterrupt);
  ConsoleHost host(operation.OpLastTrack);
  const OperationOutcome outcome = RunDiskOperation(disk, *session.driver, host, operation);
  std::signal(SIGINT, previous);
  return outcome;
}

// When the image asked for cannot be saved, the disk as read goes into a
// whole-disk image beside it, so the reading is not lost; says where, or why not.
bool Exists(const std::string& file) {
  std::error_code error;
  return std::filesystem::exists(PathFromUtf8(file), error);
}

void KeepDiskAsRead(TZX_Disk& disk, const std::string& kept) {
  Diagnostic failure;
  if (SaveImage(disk, PathFromUtf8(kept), SaveOptions{}, failure))
    std::cerr << "velloran-cli: " << MessageText(MessageId::DiskAsReadKept, {kept}) << '\n';
  else
    std::cerr << "velloran-cli: " << MessageText(MessageId::DiskAsReadNotKept, {SaveFailureText(kept, failure)})
              << '\n';
}

int PrintHelp() {
  std::cout << MessageText(MessageId::CliDriveHelp) << '\n' << MessageText(MessageId::CliDriveKindsTitle) << '\n';
  for (const DriveKindRow& row : DriveKinds()) {
    std::string syntax(row.syntax);
    if (row.simulated) syntax += "[?OPTION&...]";
    syntax.resize(std::max<std::size_t>(syntax.size() + 2, 28), ' ');
    std::cout << "  " << syntax << MessageText(row.description) << '\n';
  }
  std::cout << MessageText(MessageId::CliDriveOptionsHelp);
  return 0;
}

bool WantsHelp(const std::vector<std::string>& words) {
  for (const auto& word : words)
    if (word == "--help" || word == "-h") return true;
  return false;
}

}  // namespace

// read-disk OUT: scans and reads the disk in the drive and saves the image.
// What was read before a seek failure or Ctrl+C stopped the reading is saved too. When
// OUT cannot hold what was read (and --lossy was not given) or cannot be
// written, the disk as read is kept in OUT.udf, so the read is not lost.
int RunReadDisk(const std::vector<std::string>& words) {
  if (WantsHelp(words)) return PrintHelp();
  const Arguments args(words, {"drive", "first", "last", "retries", "revs", "flux", "report"});
  const std::string usage = "read-disk OUT [--fast] [--drive " + DriveSyntax() +
                            "] [--first T --last T --retries N] [--revs R] [--flux FILE.scp] [--report FILE.json] "
                            "[--keep-raw] [--compress] [--standard-dsk] [--lossy]";
  if (auto problem = CheckArguments(
          args, WithWriterOptions({"drive", "first", "last", "retries", "fast", "revs", "flux", "report"}), 1, usage))
    return Fail(*problem);
  const std::string out = args.Positional()[0];
  if (FindFormat(ExtensionKey(PathFromUtf8(out))) == nullptr)
    return Fail(out + ": " + MessageText(MessageId::UnsupportedFileType));
  const std::optional<std::string> fluxFile = args.Value("flux");
  if (fluxFile && ExtensionKey(PathFromUtf8(*fluxFile)) != "SCP")
    return Fail(MessageText(MessageId::FluxSavedAsScp, {*fluxFile}));

  std::string error;
  auto session = OpenSession(args, error);
  if (!session) return Fail(error);
  session->keepFlux = fluxFile.has_value();
  auto disk = std::make_unique<TZX_Disk>();
  DiskOperation operation;
  bool started = false;
  const DiskCommand command = args.Flag("fast") ? DiskCommand::FastRead : DiskCommand::ScanAndRead;
  const OperationOutcome outcome = RunCommand(command, *session, *disk, operation, started);
  const bool stoppedEarly = outcome == OperationOutcome::Failed && operation.UnreadFrom > operation.OpFirstTrack;
  const bool cancelled = outcome == OperationOutcome::Cancelled;
  if (outcome != OperationOutcome::Completed && !stoppedEarly && !cancelled) return FinishSession(*session, 1);
  if (cancelled && disk->CountTracks() == 0) {
    std::cerr << "velloran-cli: " << MessageText(MessageId::ReadingCancelledBeforeTrack) << '\n';
    return FinishSession(*session, 1);
  }

  // The settings give what the command line leaves out.
  SaveOptions options = SaveOptionsOf(args);
  options.keepRaw = options.keepRaw || !session->settings.RestoreTrack;
  options.td0Compress = options.td0Compress || session->settings.TD0arch;
  disk->KeepRaw = options.keepRaw;
  // A cancelled reading does not replace an image that is there already (a
  // whole earlier reading, perhaps): what it read goes beside it.
  bool saved = false;
  Diagnostic failure;
  if (cancelled && Exists(out)) {
    std::cerr << "velloran-cli: " << MessageText(MessageId::ReadingCancelledImageKept, {out}) << '\n';
    KeepDiskAsRead(*disk, out + ".udf");
  } else if (SaveLosses losses; SaveImage(*disk, PathFromUtf8(out), options, failure, &losses)) {
    ReportLosses(out, losses);
    std::cout << out << '\n';
    if (cancelled) std::cerr << "velloran-cli: " << MessageText(MessageId::ReadingCancelledTracksSaved, {out}) << '\n';
    saved = true;
  } else {
    Fail(SaveFailureText(out, failure));
    KeepDiskAsRead(*disk, out + ".udf");
  }
  // The flux and the report are kept whatever became of the image.
  if (fluxFile) {
    const std::string target = cancelled && Exists(*fluxFile) ? *fluxFile + ".scp" : *fluxFile;
    if (!disk->Capture) return FinishSession(*session, Fail(MessageText(MessageId::DriveGaveNoFlux)));
    if (!SaveImage(*disk, PathFromUtf8(target), SaveOptions{}, failure))
      return FinishSession(*session, Fail(SaveFailureText(target, failure)));
    std::cout << target << '\n';
  }
  if (const auto reportFile = args.Value("report")) {
    MergeReport state = DiskStateReport(*disk);
    for (MergeReport::Sector& sector : state.sectors) {
      sector.revolution = SectorRevolution(*disk, static_cast<std::uint8_t>(sector.track), sector.slot);
      sector.way = SectorWay(*disk, static_cast<std::uint8_t>(sector.track), sector.slot);
    }
    const std::string json = RescueReportJson(state, {}, ContentSha256(*disk));
    const ByteSpan bytes(reinterpret_cast<const std::uint8_t*>(json.data()), json.size());
    if (!WriteFileAtomic(PathFromUtf8(*reportFile), bytes, error))
      return FinishSession(*session, Fail(*reportFile + ": " + error));
  }
  if (!saved || cancelled) return FinishSession(*session, 1);
  return FinishSession(*session, operation.BadSectors > 0 || operation.FailedTracks > 0 || stoppedEarly ? 2 : 0);
}

// write-disk IMAGE: writes (and with --format formats) the image onto the disk.
int RunWriteDisk(const std::vector<std::string>& words) {
  if (WantsHelp(words)) return PrintHelp();
  const Arguments args(words, {"drive", "first", "last", "retries", "revs"});
  const std::string usage = "write-disk IMAGE [--format] [--verify] [--drive " + DriveSyntax() +
                            "] [--first T --last T --retries N] [--revs R]";
  if (auto problem = CheckArguments(args, {"drive", "first", "last", "retries", "format", "verify", "revs"}, 1, usage))
    return Fail(*problem);
  const std::string image = args.Positional()[0];
  auto disk = std::make_unique<TZX_Disk>();
  Diagnostic failure;
  if (!LoadImage(*disk, PathFromUtf8(image), failure)) return Fail(DiagnosticText(failure));

  std::string error;
  auto session = OpenSession(args, error);
  if (!session) return Fail(error);
  DiskOperation operation;
  bool started = false;
  const DiskCommand command = args.Flag("format") ? DiskCommand::FormatAndWrite : DiskCommand::Write;
  const OperationOutcome outcome = RunCommand(command, *session, *disk, operation, started, args.Flag("verify"));
  if (!started) return FinishSession(*session, Fail(MessageText(MessageId::NothingToWrite)));
  if (outcome != OperationOutcome::Completed) return FinishSession(*session, 1);
  return FinishSession(*session, operation.BadSectors > 0 || operation.FailedTracks > 0 ? 2 : 0);
}

// catalog: the TR-DOS catalog read straight from track 0 of the disk.
int RunCatalog(const std::vector<std::string>& words) {
  if (WantsHelp(words)) return PrintHelp();
  const Arguments args(words, {"drive"});
  if (auto problem = CheckArguments(args, {"drive"}, 0, "catalog [--drive " + DriveSyntax() + "]"))
    return Fail(*problem);
  std::string error;
  auto session = OpenSession(args, error);
  if (!session) return Fail(error);
  TrdosCatalog catalog;
  const DriveCatalogResult result = ReadDriveCatalog(*session->driver, catalog);
  if (result.message) return FinishSession(*session, Fail(PhraseText(*result.message)));
  PrintTrdosListing(catalog, false);
  return FinishSession(*session, 0);
}

}  // namespace velloran::cli
