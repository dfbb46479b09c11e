// velloran-cli: the command-line front end on the same core as the desktop tool.
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/cli.h"
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
     "[--standard-dsk] [--lossy] "
     "(--help: drives)",
     velloran::cli::RunReadDisk},
    {"write-disk", "write-disk IMAGE [--format] [--verify] [--drive D] [--revs R]", velloran::cli::RunWriteDisk},
    {"catalog", "catalog [--drive D]", velloran::cli::RunCatalog},
};

int Usage(std::ostream& out) {
  out << "Usage: velloran-cli COMMAND ...\n\nCommands:\n";
  for (const auto& command : kCommands) out << "  " << command.usage << '\n';
  out << "\nOptions:\n  --help     this list\n  --version  the program's version\n";
  out << "\nImage formats (velloran-cli formats): " << velloran::cli::FormatKeys() << '\n'
      << "An image is read in the format its contents show; it is written in the format of its extension.\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  velloran::UseUtf8Console();
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
  return Fail("unknown command '" + words[0] + "' (see velloran-cli --help)");
}
