// The options a writer takes, one row each: how the command line names it,
// which formats it concerns and which desktop setting holds it. The commands
// that save images take their options from these rows, and tests hold the
// help, the man page and the completion to them.
#pragma once

#include <span>
#include <string_view>

#include "formats/format_table.h"

namespace velloran {

struct WriterOption {
  std::string_view flag;        // "keep-raw": --keep-raw on the command line
  std::string_view formats;     // the keys it concerns, space-separated; empty: every format
  std::string_view settingKey;  // the desktop setting that holds it; empty: the command line alone
  bool SaveOptions::*field;     // where the option goes
};

std::span<const WriterOption> WriterOptions();

}  // namespace velloran
