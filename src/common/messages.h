// The message catalogue: every sentence the command line and the core show,
// by identifier, in Russian and in English, with numbered arguments ("{1}",
// "{2}", ...). A message is rendered in the process's language
// (common/language.h) when it is made; a new message is one identifier and
// one row of the table in messages.cpp.
#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "common/language.h"

namespace velloran {

enum class MessageId {
  // The command line's own words.
  CliUsageTitle,
  CliCommandsTitle,
  CliOptionsTitle,
  CliHelpOption,
  CliVersionOption,
  CliFormatsLine,
  CliFormatRule,
  CliUnknownCommand,
  CliUnknownOption,
  CliUsage,
  CliOptionNeedsValue,
  CliCannotLoadImage,
  CliCannotSaveImage,
  CliLost,
  CliLossyHint,
  CliNoTrdosFile,
  CliSeveralTrdosFiles,
  CliNoCpmFile,
  CliExclusiveOptions,
  CliUnknownCpmFormat,
  CliBadSectorNoData,
  CliBadSectorCrc,
  CliWrittenWithBadSectors,
  CliUnknownFormat,
  CliJobsNumber,
  CliNotAFolder,
  CliCannotCreateFolder,
  CliOutputReplacesInput,
  CliOutputTakenTwice,
  CliBatchFailed,
  CliBatchSummary,
  CliBatchLeftOut,
  CliOneImageOpened,
  // Files the program was asked to read.
  FileNotFound,
  FileNotRegular,
  FileTooLarge,
  FileReadError,
  // The TR-DOS catalogue.
  TrdosFilesAdded,
  Count
};

// One row of the catalogue.
struct CatalogueEntry {
  MessageId id;
  std::string_view russian;
  std::string_view english;
};

// Every row, in the order of MessageId.
std::span<const CatalogueEntry> MessageCatalogue();

// The text of `id` in `language` with "{N}" replaced by the Nth argument.
std::string RenderMessage(Language language, MessageId id, std::initializer_list<std::string_view> arguments = {});

// The text of `id` in the process's language.
std::string MessageText(MessageId id, std::initializer_list<std::string_view> arguments = {});

}  // namespace velloran
