#include "engine/operation_start.h"

namespace velloran {

namespace {

struct CommandInfo {
  MessageId caption;
  OperationSteps steps;
};

CommandInfo Info(DiskCommand command) {
  switch (command) {
    case DiskCommand::ScanTracks: return {MessageId::OperationScanTracks, kScanTracks};
    case DiskCommand::ReadSectors: return {MessageId::OperationReadSectors, kReadSectors};
    case DiskCommand::ScanAndRead: return {MessageId::OperationScanAndRead, kScanAndRead};
    case DiskCommand::FastRead: return {MessageId::OperationFastRead, kFastRead};
    case DiskCommand::Format: return {MessageId::OperationFormat, kFormatTracks};
    case DiskCommand::Write: return {MessageId::OperationWrite, kWriteTracks};
    case DiskCommand::FormatAndWrite: return {MessageId::OperationFormatAndWrite, kFormatAndWrite};
  }
  return {MessageId::Count, {}};
}

}  // namespace

CommandStart PrepareDiskCommand(DiskCommand command, const Settings& settings, TZX_Disk& disk) {
  CommandStart start;
  // Tracks up to the highest present one: a disk whose present tracks have
  // gaps keeps its last tracks (absent ones inside are skipped).
  const int trackCount = disk.CountTracks() > 0 ? disk.TracksToWrite() : 0;
  // Reading by ID needs a layout in memory.
  if (command == DiskCommand::ReadSectors && trackCount == 0) return start;

  const CommandInfo info = Info(command);
  start.caption = info.caption;
  start.operation.Steps = info.steps;
  start.operation.RetryCount = settings.RetryCount;
  if (settings.FirstTrack > settings.LastTrack) {
    start.messages.push_back({MessageId::OperationFirstAfterLast});
    return start;
  }
  start.operation.OpFirstTrack = settings.FirstTrack;
  start.operation.OpLastTrack = settings.LastTrack;

  const bool writing = info.steps.Writes();
  if ((writing || command == DiskCommand::ReadSectors) && settings.LastTrack >= trackCount) {
    start.messages.push_back({MessageId::OperationRangeBeyondImage});
    if (trackCount == 0) return start;
    start.operation.OpLastTrack = trackCount - 1;
  }
  start.progressMaximum = writing ? trackCount : start.operation.OpLastTrack;
  start.run = true;
  return start;
}

}  // namespace velloran
