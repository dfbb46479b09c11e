// The file commands: list, extract, add and delete TR-DOS files, list and
// extract CP/M files, compact a TR-DOS disk and create empty disks. They use
// the same catalog operations as the catalog windows.
#include <functional>
#include <iostream>
#include <memory>
#include <optional>

#include "app/cli/cli.h"
#include "app/cli/text_table.h"
#include "common/file_io.h"
#include "common/file_lock.h"
#include "common/messages.h"
#include "common/utf8_path.h"
#include "cpm/cpm_directory.h"
#include "cpm/cpm_recognition.h"
#include "formats/format_table.h"
#include "trdos/add_files.h"
#include "trdos/catalog.h"
#include "trdos/catalog_operations.h"
#include "trdos/catalog_view.h"
#include "trdos/file_sectors.h"
#include "trdos/hobeta.h"

namespace velloran::cli {

namespace {

// Checks the options and the number of positional words; a message when wrong.
std::optional<std::string> CheckArguments(const Arguments& args, const std::set<std::string>& known,
                                          std::size_t minimum, std::size_t maximum, const char* usage) {
  if (!args.Error().empty()) return args.Error();
  if (const auto unknown = args.UnknownOption(known); !unknown.empty())
    return MessageText(MessageId::CliUnknownOption, {unknown});
  const std::size_t count = args.Positional().size();
  if (count < minimum || count > maximum) return MessageText(MessageId::CliUsage, {usage});
  return std::nullopt;
}

std::unique_ptr<TZX_Disk> LoadDisk(const std::string& file, std::string& error) {
  auto disk = std::make_unique<TZX_Disk>();
  Diagnostic failure;
  if (LoadImage(*disk, PathFromUtf8(file), failure)) return disk;
  error = DiagnosticText(failure);
  return nullptr;
}

// Copies the changed sector data into the raw track images, as the desktop
// tool does after its catalog window changed the disk, then saves atomically
// in the format the file was read as, whatever its name. A save that would
// lose part of the disk is refused unless `lossy`; what it lost is listed.
int SaveChangedDisk(TZX_Disk& disk, const std::string& file, bool lossy = false) {
  for (auto& track : disk.Tracks) {
    track.CountSectors();
    track.SectorsToRaw();
  }
  Diagnostic failure;
  SaveOptions options;
  options.lossy = lossy;
  SaveLosses losses;
  const DetectedFormat detected = DetectFormat(PathFromUtf8(file));
  const bool saved = detected.format != nullptr
                         ? SaveImageAs(disk, PathFromUtf8(file), *detected.format, options, failure, &losses)
                         : SaveImage(disk, PathFromUtf8(file), options, failure, &losses);
  if (!saved) {
    Fail(SaveFailureText(file, failure));
    if (!losses.empty()) std::cerr << "velloran-cli: " << MessageText(MessageId::CliLossySavesAnyway) << '\n';
    return 1;
  }
  ReportLosses(file, losses);
  return 0;
}

std::string TrimRight(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// A name taken from the disk, usable as a file name in the current folder:
// folder separators and control characters become "_".
std::string SafeFileName(std::string name) {
  for (char& c : name)
    if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) c = '_';
  return name;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The entry a TR-DOS NAME stands for: the stored name without trailing
// blanks, optionally followed by "." and the type letter. Deleted files are
// not matched.
int FindTrdosFile(const TrdosCatalog& catalog, const std::string& name, std::string& error) {
  std::vector<int> byName;
  for (int i = 0; i < catalog.EntryCount; ++i) {
    const TrdosEntry& entry = catalog.Entries[i];
    if (entry.Deleted()) continue;
    const std::string stored = TrimRight(NameText(entry.Name));
    if (stored + "." + NameText(std::span(&entry.FileType, 1)) == name) return i;
    if (stored == name) byName.push_back(i);
  }
  if (byName.size() == 1) return byName[0];
  error = MessageText(byName.empty() ? MessageId::CliNoTrdosFile : MessageId::CliSeveralTrdosFiles, {name});
  return -1;
}

// Reads the TR-DOS catalog of the disk into the state, as the window does.
bool ReadTrdos(const TZX_Disk& disk, CatalogState& state) {
  state.CatalogEditable = true;
  state.CatalogChanged = false;
  return ReadCatalog(disk, state.SharedCatalog);
}

// The first message of an operation as the command's failure, or 0.
int FailOnMessage(const OperationResult& result) {
  return result.Messages.empty() ? 0 : Fail(RenderMessageBody(ProcessLanguage(), result.Messages.front()));
}

// Loads a TR-DOS image, lets `change` work on its catalog and disk, and saves
// the disk back atomically when the change returned 0 (its exit code otherwise,
// with the image file untouched). The image stays locked against other such
// commands from the load to the save; the load's notices are shown, and a
// save that would lose part of the disk needs --lossy as a conversion does.
int ChangeTrdosImage(const Arguments& args, const std::function<int(CatalogState&, TZX_Disk&)>& change) {
  const std::string& image = args.Positional()[0];
  std::string error;
  FileLock lock;
  const auto waiting = [&image] {
    std::cerr << "velloran-cli: " << MessageText(MessageId::CliImageLocked, {image}) << '\n';
  };
  if (!lock.Acquire(PathFromUtf8(image), error, waiting)) return Fail(image + ": " + error);
  const auto disk = LoadDisk(image, error);
  if (!disk) return Fail(error);
  for (const auto& notice : disk->Notices)
    std::cerr << "velloran-cli: " << image << ": " << DiagnosticText(notice) << '\n';
  CatalogState state;
  if (!ReadTrdos(*disk, state)) return Fail(PhraseText(MessageId::NotStandardTrdosDisk));
  if (const int failed = change(state, *disk)) return failed;
  return SaveChangedDisk(*disk, image, args.Flag("lossy"));
}

}  // namespace

void PrintTrdosListing(const TrdosCatalog& catalog, bool showDeleted) {
  using enum MessageId;
  static constexpr TableColumn kColumns[] = {{ColumnFilename}, {ColumnType},   {ColumnStart}, {ColumnLength},
                                             {ColumnSectors},  {ColumnSector}, {ColumnTrack}};
  std::vector<std::vector<std::string>> cells;
  for (auto& row : CatalogRows(catalog, showDeleted))
    cells.push_back({row.Filename, row.Type, row.Start, row.Length, row.Sectors, row.FirstSector, row.FirstTrack});
  std::cout << TextTable(kColumns, cells, 1) << '\n';
  const DiskInfoTexts info = DiskInfo(catalog);
  std::cout << MessageText(ListingDiskLabel, {info.Label}) << '\n'
            << PhraseText({ListingDiskType, {info.DiskType}}) << '\n'
            << MessageText(ListingFirstFreeSector, {info.FirstFreeSector}) << '\n'
            << MessageText(ListingFirstFreeTrack, {info.FirstFreeTrack}) << '\n'
            << MessageText(ListingFreeSectors, {info.FreeSectors}) << '\n'
            << MessageText(ListingFiles, {info.Files}) << '\n'
            << MessageText(ListingDeletedFiles, {info.DeletedFiles}) << '\n';
}

namespace {

void PrintCpmListing(const CpmListing& listing) {
  using enum MessageId;
  static constexpr TableColumn kColumns[] = {
      {ColumnFilename}, {ColumnType}, {ColumnLength, true}, {ColumnUser}, {ColumnExtent}};
  std::vector<std::vector<std::string>> cells;
  for (const auto& row : listing.Rows) cells.push_back({row.Filename, row.Ext, row.Length, row.User, row.Number});
  std::cout << PhraseText({ListingCpmFormat, {CpmDefinitionDescription(listing.Definition)}}) << "\n\n"
            << TextTable(kColumns, cells, 1) << '\n'
            << MessageText(ListingFiles, {std::to_string(listing.Rows.size())}) << '\n'
            << MessageText(ListingUsed, {std::to_string(listing.UsedKilobytes)}) << '\n'
            << MessageText(ListingFree, {std::to_string(listing.FreeKilobytes)}) << '\n';
}

// A sector of an extracted file that did not read cleanly.
struct BadSector {
  int track = 0;
  int sector = 0;       // ID number
  bool noData = false;  // written as zeros; otherwise with a data CRC error
};

// Writes an extracted file and prints its name. Bad sectors do not stop it:
// what was read is written, the bad sectors are named on standard error and
// the exit code is 2, as for a disk read with bad sectors.
int WriteOutput(const std::string& file, ByteSpan data, const std::vector<BadSector>& bad = {}) {
  std::string error;
  if (!WriteFileAtomic(PathFromUtf8(file), data, error)) return Fail(file + ": " + error);
  std::cout << file << '\n';
  for (const auto& sector : bad)
    std::cerr << "velloran-cli: "
              << MessageText(sector.noData ? MessageId::CliBadSectorNoData : MessageId::CliBadSectorCrc,
                             {file, std::to_string(sector.track), std::to_string(sector.sector)})
              << '\n';
  if (bad.empty()) return 0;
  std::cerr << "velloran-cli: " << MessageText(MessageId::CliWrittenWithBadSectors, {file, std::to_string(bad.size())})
            << '\n';
  return 2;
}

// get --cpm: the CP/M file NAME.EXT, compared without regard to case.
int GetCpmFile(const TZX_Disk& disk, const std::string& name, const std::optional<std::string>& output) {
  if (!RecognizeCpmDisk(disk)) return Fail(PhraseText(MessageId::NotCpmDisk));
  const CpmListing listing = ListCpmDisk(disk, false, true);
  for (const auto& row : listing.Rows) {
    const std::string base = TrimRight(row.Filename);
    const std::string extension = TrimRight(row.Ext);
    const std::string stored = extension.empty() ? base : base + "." + extension;
    const bool dotted = extension.empty() && Lower(name) == Lower(base + ".");
    if (Lower(name) != Lower(stored) && !dotted) continue;
    CpmFoundFile found;
    if (FindCpmFile(listing.Definition, listing.Directory, row.Name11, found) < 0)
      return Fail(PhraseText(MessageId::CpmDirectoryError));
    std::vector<CpmDamagedSector> damaged;
    const Bytes contents = CpmFileContents(disk, listing.Definition, found, &damaged);
    std::vector<BadSector> bad;
    for (const auto& sector : damaged) bad.push_back({sector.Track, sector.Sector, sector.NoData});
    return WriteOutput(output.value_or(SafeFileName(stored)), contents, bad);
  }
  return Fail(MessageText(MessageId::CliNoCpmFile, {name}));
}

}  // namespace

// ls IMAGE [--cpm] [--all]: the TR-DOS catalog (or the CP/M directory) with
// the columns and the disk description of the catalog windows. --all also
// lists deleted files (and, on CP/M, the files of other users).
int RunLs(const std::vector<std::string>& words) {
  const Arguments args(words, {});
  if (auto error = CheckArguments(args, {"cpm", "all"}, 1, 1, "ls IMAGE [--cpm] [--all]")) return Fail(*error);
  std::string error;
  const auto disk = LoadDisk(args.Positional()[0], error);
  if (!disk) return Fail(error);
  const bool all = args.Flag("all");
  if (args.Flag("cpm")) {
    if (!RecognizeCpmDisk(*disk)) return Fail(PhraseText(MessageId::NotCpmDisk));
    PrintCpmListing(ListCpmDisk(*disk, all, all));
    return 0;
  }
  CatalogState state;
  if (!ReadTrdos(*disk, state)) return Fail(PhraseText(MessageId::NotStandardTrdosDisk));
  PrintTrdosListing(state.SharedCatalog, all);
  return 0;
}

// get IMAGE NAME [--hobeta|--raw] [--cpm] [-o FILE]: writes one file. A
// TR-DOS file goes out as a Hobeta file (the default, named as the catalog
// window names it) or, with --raw, as its sectors' bytes; a CP/M file as its
// contents. Damaged sectors are written as read (zeros where nothing was
// read), named on standard error, and give exit code 2.
int RunGet(const std::vector<std::string>& words) {
  std::vector<std::string> rest = words;
  std::string error;
  const auto output = TakeShortOption(rest, "-o", error);
  if (!error.empty()) return Fail(error);
  const Arguments args(rest, {});
  const char* usage = "get IMAGE NAME [--hobeta|--raw] [--cpm] [-o FILE]";
  if (auto problem = CheckArguments(args, {"hobeta", "raw", "cpm"}, 2, 2, usage)) return Fail(*problem);
  if (args.Flag("hobeta") && args.Flag("raw"))
    return Fail(MessageText(MessageId::CliExclusiveOptions, {"--hobeta", "--raw"}));
  const auto disk = LoadDisk(args.Positional()[0], error);
  if (!disk) return Fail(error);
  const std::string& name = args.Positional()[1];
  if (args.Flag("cpm")) return GetCpmFile(*disk, name, output);

  CatalogState state;
  if (!ReadTrdos(*disk, state)) return Fail(PhraseText(MessageId::NotStandardTrdosDisk));
  const int e = FindTrdosFile(state.SharedCatalog, name, error);
  if (e < 0) return Fail(error);
  const TrdosEntry& entry = state.SharedCatalog.Entries[e];
  Bytes sectors;
  std::vector<BadSector> bad;
  for (const auto& damaged : SalvageFileSectors(*disk, EntryStart(entry), entry.FileSectors, sectors))
    bad.push_back({damaged.Position.Track, damaged.Position.Sector + 1, damaged.NoData});
  std::string fileName = HobetaFileName(entry);
  if (args.Flag("raw")) {
    fileName.erase(fileName.rfind(".$") + 1, 1);
    return WriteOutput(output.value_or(fileName), sectors, bad);
  }
  Bytes file = HobetaHeader(entry);
  file.insert(file.end(), sectors.begin(), sectors.end());
  return WriteOutput(output.value_or(fileName), file, bad);
}

// put IMAGE FILE... [--lossy]: adds the files of Hobeta and SCL files (SCL
// by the extension) with every check of the catalog window. Any failure
// leaves the image file untouched.
int RunPut(const std::vector<std::string>& words) {
  const Arguments args(words, {});
  if (auto error = CheckArguments(args, {"lossy"}, 2, 10000, "put IMAGE FILE... [--lossy]")) return Fail(*error);
  std::vector<std::filesystem::path> files;
  for (auto word = args.Positional().begin() + 1; word != args.Positional().end(); ++word)
    files.push_back(PathFromUtf8(*word));
  return ChangeTrdosImage(
      args, [&](CatalogState& state, TZX_Disk& disk) { return FailOnMessage(AddFiles(state, disk, files)); });
}

// rm IMAGE NAME [--lossy]: deletes one TR-DOS file as the catalog window
// does: the last file is erased and its space freed, any other one marked
// deleted.
int RunRm(const std::vector<std::string>& words) {
  const Arguments args(words, {});
  if (auto error = CheckArguments(args, {"lossy"}, 2, 2, "rm IMAGE NAME [--lossy]")) return Fail(*error);
  return ChangeTrdosImage(args, [&](CatalogState& state, TZX_Disk& disk) {
    std::string error;
    const int e = FindTrdosFile(state.SharedCatalog, args.Positional()[1], error);
    if (e < 0) return Fail(error);
    return FailOnMessage(DeleteFiles(state, disk, {e}, true));
  });
}

// compact IMAGE [--lossy]: drops the deleted files and moves the others together.
int RunCompact(const std::vector<std::string>& words) {
  const Arguments args(words, {});
  if (auto error = CheckArguments(args, {"lossy"}, 1, 1, "compact IMAGE [--lossy]")) return Fail(*error);
  return ChangeTrdosImage(
      args, [](CatalogState& state, TZX_Disk& disk) { return FailOnMessage(CompactCatalog(state, disk)); });
}

// new-trdos IMAGE [--label L]: an empty TR-DOS disk, labelled "NEW DISK"
// unless told otherwise.
int RunNewTrdos(const std::vector<std::string>& words) {
  const Arguments args(words, {"label"});
  if (auto error = CheckArguments(args, {"label"}, 1, 1, "new-trdos IMAGE [--label L]")) return Fail(*error);
  auto disk = std::make_unique<TZX_Disk>();
  MakeTrdosDisk(*disk, args.Value("label").value_or("NEW DISK"));
  return SaveChangedDisk(*disk, args.Positional()[0]);
}

// new-cpm IMAGE [--format NAME]: an empty CP/M disk, the Profi's unless
// another known definition is named.
int RunNewCpm(const std::vector<std::string>& words) {
  const Arguments args(words, {"format"});
  if (auto error = CheckArguments(args, {"format"}, 1, 1, "new-cpm IMAGE [--format NAME]")) return Fail(*error);
  const auto definition = FindCpmDefinition(args.Value("format").value_or("profi"));
  if (!definition) {
    std::string known;
    for (const auto& d : CpmDefinitions()) known += (known.empty() ? "" : ", ") + d.Name;
    return Fail(MessageText(MessageId::CliUnknownCpmFormat, {*args.Value("format"), known}));
  }
  auto disk = std::make_unique<TZX_Disk>();
  MakeCpmDisk(*disk, *definition);
  return SaveChangedDisk(*disk, args.Positional()[0]);
}

}  // namespace velloran::cli
