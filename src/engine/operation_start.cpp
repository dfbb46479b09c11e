#include "engine/operation_start.h"

namespace velloran {

namespace {

constexpr const char* kRangeTooLong =
    "Конечная дорожка превышает число дорожек в образе!\r   Будет обработано число существующих дорожек!   ";

struct CommandInfo {
  const char* caption;
  OperationSteps steps;
};

CommandInfo Info(DiskCommand command) {
  switch (command) {
    case DiskCommand::ScanTracks: return {"Сканирование дорожек диска", kScanTracks};
    case DiskCommand::ReadSectors: return {"Посекторное чтение диска", kReadSectors};
    case DiskCommand::ScanAndRead: return {"Сканирование с посекторным чтением", kScanAndRead};
    case DiskCommand::FastRead: return {"Быстрое чтение диска", kFastRead};
    case DiskCommand::Format: return {"Форматирование диска", kFormatTracks};
    case DiskCommand::Write: return {"Запись диска", kWriteTracks};
    case DiskCommand::FormatAndWrite: return {"Формат и запись диска", kFormatAndWrite};
  }
  return {"", {}};
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
    start.messages.push_back("Начальная дорожка больше конечной...");
    return start;
  }
  start.operation.OpFirstTrack = settings.FirstTrack;
  start.operation.OpLastTrack = settings.LastTrack;

  const bool writing = info.steps.Writes();
  if ((writing || command == DiskCommand::ReadSectors) && settings.LastTrack >= trackCount) {
    start.messages.push_back(kRangeTooLong);
    if (trackCount == 0) return start;
    start.operation.OpLastTrack = trackCount - 1;
  }
  start.progressMaximum = writing ? trackCount : start.operation.OpLastTrack;
  start.run = true;
  return start;
}

}  // namespace velloran
