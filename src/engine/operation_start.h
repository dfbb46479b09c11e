// The "Диск" menu commands that start a whole-disk operation: the checks they
// make before the progress window opens, and when the menu items are enabled.
#pragma once

#include <vector>

#include "common/messages.h"

#include "engine/operation.h"
#include "model/disk.h"
#include "settings/settings.h"

namespace velloran {

enum class DiskCommand {
  ScanTracks,      // N8  "Сканирование дорожек"
  ReadSectors,     // N9  "Чтение секторов по  меткам"
  ScanAndRead,     // N17 "Сканирование и чтение диска"
  FastRead,        // FastRead1 "Быстрое чтение диска": rotation-aware, with re-reads
  Format,          // N14 "Форматировать диск"
  Write,           // N15 "Записать диск"
  FormatAndWrite,  // N33 "Форматировать и записать"
};

// What the command does before the progress window opens.
struct CommandStart {
  bool run = false;              // whether the progress window opens
  Phrase caption;                // its caption
  std::vector<Phrase> messages;  // message boxes first, the error caption
  DiskOperation operation;       // parameters for the engine
  int progressMaximum = 0;       // maximum of the progress bar
};

// Checks the configured track range against the disk in memory and fills
// the operation's parameters.
CommandStart PrepareDiskCommand(DiskCommand command, const Settings& settings, TZX_Disk& disk);

}  // namespace velloran
