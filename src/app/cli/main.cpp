// velloran-cli: the command-line front end on the same core as the desktop tool.
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/cli.h"
#include "common/language.h"
#include "common/messages.h"
#include "common/system.h"
#include "common/version.h"

namespace {

using velloran::cli::Fail;

struct Command {
  std::string_view name;
  std::string_view usage;
  int (*run)(const std::vector<std::string>&);
};

constexpr Command kCommands[] = {
    {"info", "info IMAGE [--json]", velloran::cli::RunInfo},
    {"convert", velloran::cli::kConvertUsage, velloran::cli::RunConvert},
    {"convert", velloran::cli::kBatchConvertUsage, velloran::cli::RunConvert},
    {"formats", "formats", velloran::cli::RunFormats},
    {"ls", "ls IMAGE [--cpm] [--all]", velloran::cli::RunLs},
    {"get", "get IMAGE NAME [--hobeta|--raw] [--cpm] [-o FILE]", velloran::cli::RunGet},
    {"put", "put IMAGE FILE... [--lossy]", velloran::cli::RunPut},
    {"rm", "rm IMAGE NAME [--lossy]", velloran::cli::RunRm},
    {"new-trdos", "new-trdos IMAGE [--label L]", velloran::cli::RunNewTrdos},
    {"new-cpm", "new-cpm IMAGE [--format NAME]", velloran::cli::RunNewCpm},
    {"compact", "compact IMAGE [--lossy]", velloran::cli::RunCompact},
    {"merge", "merge IMAGE IMAGE... -o OUT [--report FILE.json] [--keep-raw] [--compress] [--standard-dsk] [--lossy]",
     velloran::cli::RunMerge},
    {"plot", "plot IMAGE --kind histogram|timing|disk [--track T] [--revolution R] -o FILE.svg|.png",
     velloran::cli::RunPlot},
    {"read-disk",
     "read-disk OUT [--fast] [--drive A|B|gw[:DEVICE]|sim:IMAGE[?OPTIONS]|gw-sim:IMAGE[?OPTIONS]] [--first T "
     "--last T --retries N] [--revs R] [--flux FILE.scp] [--report FILE.json] [--keep-raw] [--compress] "
     "[--standard-dsk] [--lossy]",
     velloran::cli::RunReadDisk},
    {"write-disk", "write-disk IMAGE [--format] [--verify] [--drive D] [--revs R]", velloran::cli::RunWriteDisk},
    {"catalog", "catalog [--drive D]", velloran::cli::RunCatalog},
};

int Usage(std::ostream& out) {
  using velloran::MessageId;
  using velloran::MessageText;
  out << MessageText(MessageId::CliUsageTitle) << "\n\n" << MessageText(MessageId::CliCommandsTitle) << '\n';
  for (const auto& command : kCommands) {
    out << "  " << command.usage;
    // read-disk's own --help explains the drives the drive commands take.
    if (command.run == velloran::cli::RunReadDisk) out << ' ' << MessageText(MessageId::CliReadDiskHelpHint);
    out << '\n';
  }
  out << '\n'
      << MessageText(MessageId::CliOptionsTitle) << "\n  --help     " << MessageText(MessageId::CliHelpOption)
      << "\n  --version  " << MessageText(MessageId::CliVersionOption) << '\n';
  out << '\n'
      << MessageText(MessageId::CliFormatsLine, {velloran::cli::FormatKeys()}) << '\n'
      << MessageText(MessageId::CliFormatRule) << '\n';
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  velloran::UseLargePages();
  velloran::UseUtf8Console();
  velloran::SetProcessLanguage(velloran::LanguageFromEnvironment());
  std::vector<std::string> words = velloran::Utf8Arguments(argc, argv);
  if (words.empty()) {
    Usage(std::cerr);
    return 1;
  }
  if (words[0] == "--help" || words[0] == "-h" || words[0] == "help") return Usage(std::cout);
  if (words[0] == "--version") {
    std::cout << "velloran-cli " << velloran::kVersion << '\n';
    return 0;
  }
  for (const auto& command : kCommands) {
    if (command.name == words[0]) {
      words.erase(words.begin());
      return command.run(words);
    }
  }
  return Fail(velloran::MessageText(velloran::MessageId::CliUnknownCommand, {words[0]}));
}
