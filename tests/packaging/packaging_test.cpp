// The desktop-integration files under packaging/ against the programs they
// describe: every image format of the table has a MIME type, and GLib's MIME
// implementation recognises the corpus images by it; the desktop entry offers
// exactly those types; the man page and the bash completion know every
// command and option that velloran-cli --help names.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "common/version.h"
#include "cpm/cpm_definitions.h"
#include "formats/format_table.h"
#include "formats/writer_options.h"
#include "support/test_support.h"

namespace velloran {
namespace {

namespace fs = std::filesystem;

const fs::path kPackaging = VELLORAN_PACKAGING_DIR;
// Hobeta files are TR-DOS files, not disk images: the desktop program does
// not open them, so its entry does not offer their type.
constexpr const char* kHobetaType = "application/x-hobeta";
// KryoFlux streams are named *.raw, too common a name for a desktop to
// claim for one format: they get no MIME type.
constexpr const char* kUnclaimedExtension = "raw";

std::string ReadText(const fs::path& file) {
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Every piece of the text that stands between `open` and the next `close`.
std::vector<std::string> Between(const std::string& text, const std::string& open, const std::string& close) {
  std::vector<std::string> found;
  for (auto start = text.find(open); start != std::string::npos; start = text.find(open, start)) {
    start += open.size();
    const auto end = text.find(close, start);
    if (end == std::string::npos) break;
    found.push_back(text.substr(start, end - start));
  }
  return found;
}

// The words of a text, with the given characters taken as blanks too.
std::set<std::string> Words(std::string text, const std::string& blanks = "") {
  for (char& c : text)
    if (blanks.find(c) != std::string::npos) c = ' ';
  std::istringstream in(text);
  return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

struct MimeType {
  std::vector<std::string> globs;
  std::vector<std::string> magic;
};

// The types of packaging/velloran.xml by name.
std::map<std::string, MimeType> ReadMimeTypes() {
  std::map<std::string, MimeType> types;
  const std::string xml = ReadText(kPackaging / "velloran.xml");
  for (const auto& block : Between(xml, "<mime-type type=\"", "</mime-type>")) {
    const std::string name = block.substr(0, block.find('"'));
    types[name] = {Between(block, "<glob pattern=\"", "\""), Between(block, " value=\"", "\"")};
  }
  return types;
}

// The type whose glob is "*.<extension>", or empty.
std::string TypeForExtension(const std::map<std::string, MimeType>& types, const std::string& extension) {
  for (const auto& [name, type] : types)
    if (std::count(type.globs.begin(), type.globs.end(), "*." + Lower(extension)) > 0) return name;
  return {};
}

// What a program's --help names: the commands under "Commands:" with the
// options of each one's usage line, and every option anywhere.
struct Help {
  std::map<std::string, std::set<std::string>> commands;
  std::set<std::string> options;
  std::set<std::string> CommandNames() const {
    std::set<std::string> names;
    for (const auto& [name, commandOptions] : commands) names.insert(name);
    return names;
  }
};

Help ReadHelp(const test::RunResult& run) {
  EXPECT_EQ(run.exitCode, 0) << run.err;
  Help help;
  std::istringstream lines(run.out);
  std::string line;
  bool inCommands = false;
  while (std::getline(lines, line)) {
    if (line == "Commands:") inCommands = true;
    if (line.empty()) inCommands = false;
    std::set<std::string> lineOptions;
    for (const auto& word : Words(line, "[]|():,<>")) {
      const bool option = word.size() > 1 && word[0] == '-' && (std::isalpha(word[1]) || word[1] == '-');
      if (option && word != "--") lineOptions.insert(word);
    }
    help.options.insert(lineOptions.begin(), lineOptions.end());
    if (inCommands && line.rfind("  ", 0) == 0) help.commands[line.substr(2, line.find(' ', 2) - 2)] = lineOptions;
  }
  EXPECT_GE(help.options.size(), 2u) << run.out;
  return help;
}

Help CliHelp() { return ReadHelp(test::RunCli({"--help"})); }

// A word as it stands in man page source: every "-" escaped.
std::string ManWord(const std::string& word) {
  std::string escaped;
  for (char c : word) escaped += c == '-' ? std::string("\\-") : std::string(1, c);
  return escaped;
}

TEST(Packaging, EveryFormatInTheDialogsHasAMimeTypeThatTheDesktopEntryOffers) {
  const auto types = ReadMimeTypes();
  ASSERT_GE(types.size(), 9u);
  for (const auto& format : ImageFormats()) {
    if (!format.inDialogs || format.defaultExtension == kUnclaimedExtension) continue;
    EXPECT_NE(TypeForExtension(types, std::string(format.defaultExtension)), "")
        << "no MIME glob for " << format.key << " in packaging/velloran.xml";
  }
  ASSERT_TRUE(types.count(kHobetaType));
  EXPECT_EQ(types.at(kHobetaType).globs, std::vector<std::string>{"*.$?"});

  const auto desktopTypes = Between(ReadText(kPackaging / "velloran.desktop"), "\nMimeType=", "\n");
  ASSERT_EQ(desktopTypes.size(), 1u);
  std::set<std::string> offered;
  std::stringstream list(desktopTypes[0]);
  for (std::string type; std::getline(list, type, ';');) offered.insert(type);
  std::set<std::string> declared;
  for (const auto& [name, type] : types)
    if (name != kHobetaType) declared.insert(name);
  EXPECT_EQ(offered, declared);
}

// Cross-check with GLib's reading of the shared MIME database built from our
// file by update-mime-database: each corpus image is recognised by its name,
// and, where its type has a signature, by its content alone.
TEST(PackagingCrossTool, GioRecognisesEveryCorpusImageByNameAndSignature) {
  if (!test::HaveProgram("gio") || !test::HaveProgram("update-mime-database"))
    GTEST_SKIP() << "gio or update-mime-database not installed";
  test::ScratchDir dir;
  fs::create_directories(dir / "mime/packages");
  fs::copy_file(kPackaging / "velloran.xml", dir / "mime/packages/velloran.xml");
  const std::string dataDirs = "XDG_DATA_DIRS=" + dir.Path().string() + ":/usr/share";
  ASSERT_EQ(test::RunProgram("env", {dataDirs, "update-mime-database", (dir / "mime").string()}).exitCode, 0);

  const auto types = ReadMimeTypes();
  std::map<std::string, std::string> expected;  // file -> type
  for (const auto& folder : {"udi", "trd", "td0", "fdi", "scl", "kdi", "hfe", "hobeta"}) {
    for (const auto& file : test::CorpusFiles(folder)) {
      const std::string type =
          std::string(folder) == "hobeta" ? kHobetaType : TypeForExtension(types, ExtensionKey(file));
      ASSERT_NE(type, "") << file;
      expected[file.string()] = type;
      // The same bytes without a name to go by.
      if (!types.at(type).magic.empty()) {
        const auto bare = dir / ("content" + std::to_string(expected.size()));
        fs::copy_file(file, bare);
        expected[bare.string()] = type;
      }
    }
  }

  std::vector<std::string> args = {
      dataDirs, "XDG_DATA_HOME=" + (dir / "none").string(), "gio", "info", "-a", "standard::content-type"};
  for (const auto& [file, type] : expected) args.push_back(file);
  const auto run = test::RunProgram("env", args);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  std::map<std::string, std::string> seen;
  std::string path;
  std::istringstream lines(run.out);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("local path: ", 0) == 0) path = line.substr(12);
    const auto at = line.find("standard::content-type: ");
    if (at != std::string::npos) seen[path] = line.substr(at + 24);
  }
  for (const auto& [file, type] : expected) EXPECT_EQ(seen[file], type) << file;
}

TEST(Packaging, ManPagesDescribeEveryCommandAndOptionOfTheHelp) {
  const Help help = CliHelp();
  EXPECT_GE(help.commands.size(), 10u);
  const std::string page = ReadText(kPackaging / "man/velloran-cli.1.in");
  for (const auto& [command, commandOptions] : help.commands) {
    // The heading line of the command's entry names the options of its work
    // (a command's own --help is told apart).
    const auto heading = Between(page, "\n.BI " + ManWord(command) + " ", "\n");
    ASSERT_EQ(heading.size(), 1u) << command;
    for (const auto& option : commandOptions) {
      if (option == "--help") continue;
      EXPECT_NE(heading[0].find(ManWord(option)), std::string::npos) << command << ' ' << option;
    }
  }
  for (const auto& option : help.options) EXPECT_NE(page.find(ManWord(option)), std::string::npos) << option;

  const fs::path desktop = fs::path(VELLORAN_CLI).parent_path() / "velloran";
  if (!fs::exists(desktop)) GTEST_SKIP() << "velloran not built";
  const Help desktopHelp = ReadHelp(test::RunProgram("env", {"QT_QPA_PLATFORM=offscreen", desktop.string(), "--help"}));
  const std::string desktopPage = ReadText(kPackaging / "man/velloran.1.in");
  for (const auto& option : desktopHelp.options)
    EXPECT_NE(desktopPage.find(ManWord(option)), std::string::npos) << option;
}

// Every command that saves an image offers every writer option; the man page
// and the completion are held to the help by the tests around this one.
TEST(Packaging, CommandsThatSaveImagesOfferEveryWriterOption) {
  const Help help = CliHelp();
  for (const std::string command : {"convert", "merge", "read-disk"}) {
    ASSERT_TRUE(help.commands.count(command)) << command;
    for (const WriterOption& option : WriterOptions())
      EXPECT_TRUE(help.commands.at(command).count("--" + std::string(option.flag))) << command << " --" << option.flag;
  }
}

TEST(Packaging, BashCompletionKnowsEveryCommandOptionAndImageExtension) {
  const Help help = CliHelp();
  const std::string script = ReadText(kPackaging / "bash-completion/velloran-cli");
  const auto commands = Between(script, "local commands=\"", "\"");
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(Words(commands[0]), help.CommandNames());
  for (const auto& [command, commandOptions] : help.commands) {
    // Each command's line in the script: `    name) options="..." ;;`.
    const auto offered = Between(script, "\n        " + command + ") options=\"", "\"");
    ASSERT_EQ(offered.size(), 1u) << command;
    for (const auto& option : commandOptions) EXPECT_TRUE(Words(offered[0]).count(option)) << command << ' ' << option;
  }

  const auto images = Between(script, "local images=\"", "\"");
  ASSERT_EQ(images.size(), 1u);
  std::set<std::string> extensions;
  std::stringstream list(images[0]);
  for (std::string extension; std::getline(list, extension, '|');) extensions.insert(extension);
  for (const auto& format : ImageFormats())
    EXPECT_TRUE(extensions.count(std::string(format.defaultExtension))) << format.key;

  // new-cpm --format offers every CP/M disk definition.
  const auto definitions = Between(script, "local cpm_definitions=\"", "\"");
  ASSERT_EQ(definitions.size(), 1u);
  std::set<std::string> names;
  for (const auto& definition : CpmDefinitions()) names.insert(definition.Name);
  EXPECT_EQ(Words(definitions[0]), names);
}

// The completion run by bash with bash-completion, as a shell would on Tab.
TEST(PackagingCrossTool, BashCompletesCommandsAndFilesByKind) {
  const fs::path library = "/usr/share/bash-completion/bash_completion";
  if (!fs::exists(library) || !test::HaveProgram("bash")) GTEST_SKIP() << "bash-completion not installed";
  test::ScratchDir dir;
  for (const char* name : {"a.trd", "B.SCL", "c.txt", "d.$B", "e.Udi"}) test::WriteFileBytes(dir / name, Bytes{0});
  const std::string script = "export LC_ALL=C; source " + library.string() + "; source " +
                             (kPackaging / "bash-completion/velloran-cli").string() +
                             R"(
complete_line() {
  COMP_WORDS=("$@"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
  COMPREPLY=(); _velloran_cli; printf '%s\n' "${COMPREPLY[*]}" | tr ' ' '\n' | sort | tr '\n' ' '; echo
}
cd ")" + dir.Path().string() +
                             R"(" || exit 1
complete_line velloran-cli co
complete_line velloran-cli info ''
complete_line velloran-cli put x.trd ''
complete_line velloran-cli ls x.trd --
complete_line velloran-cli read-disk x.udi --drive ''
complete_line velloran-cli new-cpm x.pro --format p
complete_line velloran-cli write-disk --format ''
)";
  const auto run = test::RunProgram("bash", {"-c", script});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out,
            "compact convert \n"
            "B.SCL a.trd e.Udi \n"
            "B.SCL d.$B \n"
            "--all --cpm \n"
            "A B gw gw-sim: sim: \n"
            "pcw720 plus3 profi \n"
            "B.SCL a.trd e.Udi \n");
}

TEST(Packaging, VersionComesFromTheBuild) {
  const auto run = test::RunCli({"--version"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "velloran-cli " + std::string(kVersion) + "\n");
  for (const char* page : {"man/velloran.1.in", "man/velloran-cli.1.in"})
    EXPECT_NE(ReadText(kPackaging / page).find("\"Velloran @PROJECT_VERSION@\""), std::string::npos) << page;
}

}  // namespace
}  // namespace velloran
