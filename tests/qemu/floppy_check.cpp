// Runs inside a Linux guest with a real kernel floppy driver (see
// scripts/qemu-floppy-test, which builds it with the "qemu" preset): reads
// the whole disk in drive A through the Linux backend and the reading
// engine, by scan and read and by the rotation-aware reading, and compares
// it with the raw image it was made from; then formats and writes that disk
// onto drive B, whose image the script compares afterwards. With
// --expect-no-rawcmd it checks instead that a kernel without raw commands
// is refused with a plain explanation.
// Usage: floppy_check REFERENCE_IMAGE [--write-b | --expect-no-rawcmd]
#include <cstdio>
#include <cstring>
#include <string>

#include "common/file_io.h"
#include "drive/controller/linux_floppy_driver.h"
#include "engine/disk_engines.h"
#include "session/driver_startup.h"

namespace {

using namespace velloran;

constexpr int kTracks = 160;
constexpr int kSectors = 9;
constexpr int kSectorSize = 512;

class PrintHost : public OperationHost {
 public:
  void ShowTrack(int) override {}
  void SetProgress(int) override {}
  void ProcessPendingEvents() override {}
  bool CancelRequested() override { return false; }
  void ClearMainLog() override {}
  // Lines repeated for every track are left out.
  void AddMainLog(const Phrase& line, bool) override {
    for (const MessageId perTrack :
         {MessageId::TrackScanStartedAt, MessageId::ScanDataReceived, MessageId::LayoutFromPreviousTrackAt})
      if (line.id == perTrack) return;
    std::printf("log: %s\n", PhraseText(line).c_str());
  }
  void ShowError(const Phrase& text) override { std::printf("error: %s\n", PhraseText(text).c_str()); }
};

// Sectors of the read disk that differ from the image, counted.
int CompareWithImage(const TZX_Disk& disk, const Bytes& image) {
  int differences = 0;
  for (int t = 0; t < kTracks; ++t) {
    const TTrack& track = disk.GetTrack(static_cast<std::uint8_t>(t));
    for (int r = 1; r <= kSectors; ++r) {
      const std::uint8_t* expected = &image[(static_cast<std::size_t>(t) * kSectors + (r - 1)) * kSectorSize];
      bool found = false;
      for (const TSectorRec& slot : track.Sectors) {
        if (!slot.Used || slot.IdSector != r) continue;
        found = slot.DataOk && slot.DataLen == kSectorSize && slot.IdTrack == t / 2 && slot.IdSide == t % 2 &&
                std::memcmp(slot.Data.data(), expected, kSectorSize) == 0;
        break;
      }
      if (!found) {
        if (differences < 10) std::printf("differs: track %d sector %d\n", t, r);
        ++differences;
      }
    }
  }
  return differences;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const auto image = ReadWholeFile(argv[1]);
  if (!image || image->size() != static_cast<std::size_t>(kTracks) * kSectors * kSectorSize) {
    std::printf("reference image missing or not 720 KB\n");
    return 2;
  }
  const std::string mode = argc > 2 ? argv[2] : "";
  LinuxFloppyDriver driver;
  Settings settings;  // drive A, 250K, 10 attempts
  const DriverStatus status = OpenDriverAtStartup(driver, settings);
  std::printf("status: %s\n", PhraseText(status.statusText).c_str());
  for (const auto& message : status.messages) std::printf("message: %s\n", PhraseText(message).c_str());
  if (mode == "--expect-no-rawcmd") {
    const bool explained = status.messages.size() == 2 && status.messages[0].id == MessageId::DriverVersionFailed &&
                           status.messages[1].id == MessageId::LinuxNoRawCommands;
    return !status.diskMenuEnabled && explained ? 0 : 1;
  }
  if (!status.diskMenuEnabled) return 1;

  TZX_Disk disk;
  PrintHost host;
  DiskOperation read{kScanAndRead, 0, kTracks - 1, 3, 0};
  if (RunDiskOperation(disk, driver, host, read) != OperationOutcome::Completed) return 1;
  const int differences = CompareWithImage(disk, *image);
  std::printf("read: %d tracks present, %d bad sectors, %d sectors differ from the image\n", disk.CountTracks(),
              read.BadSectors, differences);
  if (differences != 0 || read.BadSectors != 0) return 1;

  // The rotation-aware reading: READ ID and reads of several sectors at once.
  TZX_Disk fastDisk;
  DiskOperation fast{kFastRead, 0, kTracks - 1, 3, 0};
  if (RunDiskOperation(fastDisk, driver, host, fast) != OperationOutcome::Completed) return 1;
  const int fastDifferences = CompareWithImage(fastDisk, *image);
  std::printf("fast read: %d tracks present, %d bad sectors, %d sectors differ from the image\n",
              fastDisk.CountTracks(), fast.BadSectors, fastDifferences);
  if (fastDifferences != 0 || fast.BadSectors != 0) return 1;

  if (mode == "--write-b") {
    Settings driveB;
    driveB.Drive = "B";
    const DriverStatus reopened = ReopenDriveAfterSettings(driver, driveB);
    for (const auto& message : reopened.messages) std::printf("message: %s\n", PhraseText(message).c_str());
    if (!reopened.diskMenuEnabled) return 1;
    DiskOperation write{kFormatAndWrite, 0, kTracks - 1, 3, 0};
    if (RunDiskOperation(disk, driver, host, write) != OperationOutcome::Completed) return 1;
    std::printf("write: done\n");
  }
  return 0;
}
