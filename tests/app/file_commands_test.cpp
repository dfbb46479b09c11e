// The file commands of velloran-cli: ls, get, put, rm, compact, new-trdos
// and new-cpm, run as a person would run them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>
#include <thread>

#include "common/utf8_path.h"
#include "formats/format_table.h"
#include "support/test_support.h"
#include "trdos/catalog.h"

namespace velloran {
namespace {

using test::Contains;
using test::RunCli;

TrdosCatalog CatalogOf(const std::filesystem::path& image) {
  TZX_Disk disk;
  Diagnostic error;
  EXPECT_TRUE(LoadImage(disk, image, error)) << error;
  TrdosCatalog catalog;
  EXPECT_TRUE(ReadCatalog(disk, catalog));
  return catalog;
}

TEST(CliFiles, NewPutRemoveCompactGetRoundTrip) {
  test::ScratchDir dir;
  const std::string image = (dir / "disk.trd").string();
  ASSERT_EQ(RunCli({"new-trdos", image, "--label", "ROUND"}).exitCode, 0);
  EXPECT_EQ(std::filesystem::file_size(image), 655360u);

  const auto first = test::CorpusFile("hobeta/tslabs_zx-evo__UMT2_3.$B");
  const auto middle = test::CorpusFile("hobeta/vitamin-caig_zxtune__TWILIGHT.$B");
  const auto last = test::CorpusFile("hobeta/chernandezba_zesarux-extras__machined.$b");
  auto run = RunCli({"put", image, first.string(), middle.string(), last.string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  TrdosCatalog catalog = CatalogOf(image);
  ASSERT_EQ(catalog.FileCount, 3);
  const int middleSectors = catalog.Entries[1].FileSectors;

  run = RunCli({"rm", image, "TwilighT"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  catalog = CatalogOf(image);
  EXPECT_EQ(catalog.DeletedCount, 1);
  EXPECT_EQ(catalog.Entries[1].Name[0], 0x01);

  run = RunCli({"compact", image});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const TrdosCatalog compacted = CatalogOf(image);
  EXPECT_EQ(compacted.FileCount, 2);
  EXPECT_EQ(compacted.DeletedCount, 0);
  EXPECT_EQ(compacted.FreeSectors, catalog.FreeSectors + middleSectors);
  EXPECT_EQ(compacted.Entries[1].FirstTrack * 16 + compacted.Entries[1].FirstSector,
            16 + compacted.Entries[0].FileSectors);

  run = RunCli({"get", image, "UMTv2.3>", "-o", (dir / "a.$B").string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(test::ReadFileBytes(dir / "a.$B"), test::ReadFileBytes(first));
  run = RunCli({"get", image, "MACHINED.B", "--hobeta", "-o", (dir / "c.$B").string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(test::ReadFileBytes(dir / "c.$B"), test::ReadFileBytes(last));
  run = RunCli({"get", image, "TwilighT", "-o", (dir / "b.$B").string()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "b.$B"));
}

// An IMD whose file holds a sector at cylinder 84, which the disk cannot
// hold: the load carries it as a loss.
Bytes ImdWithSectorBeyondTheDisk(const test::ScratchDir& dir) {
  const std::string trd = (dir / "base.trd").string();
  const std::string imd = (dir / "base.imd").string();
  EXPECT_EQ(RunCli({"new-trdos", trd}).exitCode, 0);
  EXPECT_EQ(RunCli({"convert", trd, imd}).exitCode, 0);
  Bytes file = test::ReadFileBytes(imd);
  // Mode 5, cylinder 84, head 1, one sector of 128 bytes numbered 1, filled with zeros.
  file.insert(file.end(), {5, 84, 1, 1, 0, 1, 2, 0});
  return file;
}

// put, rm and compact show the load's notices and save only what the image
// can hold; what the load left out needs --lossy, and is listed.
TEST(CliFiles, InPlaceChangesRefuseToLoseWhatTheLoadLeftOut) {
  test::ScratchDir dir;
  const auto image = dir / "beyond.imd";
  test::WriteFileBytes(image, ImdWithSectorBeyondTheDisk(dir));
  const Bytes before = test::ReadFileBytes(image);
  const auto hobeta = test::CorpusFile("hobeta/tslabs_zx-evo__UMT2_3.$B");

  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"put", image.string(), hobeta.string()}, {"compact", image.string()}}) {
    auto run = RunCli(command);
    EXPECT_EQ(run.exitCode, 1) << command[0];
    EXPECT_TRUE(Contains(run.err, "tracks of cylinder 84 were not loaded")) << run.err;
    EXPECT_TRUE(Contains(run.err, "--lossy")) << run.err;
    EXPECT_EQ(test::ReadFileBytes(image), before) << command[0];
  }
  auto run = RunCli({"put", image.string(), hobeta.string(), "--lossy"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(run.err, "lost track 169: cylinder 84, side 1")) << run.err;
  EXPECT_EQ(CatalogOf(image).FileCount, 1);

  // info names what the load left out, as text and for scripts.
  test::WriteFileBytes(image, before);
  run = RunCli({"info", image.string()});
  EXPECT_TRUE(Contains(run.out, "Lost on loading: track 169: cylinder 84")) << run.out;
  run = RunCli({"info", image.string(), "--json"});
  EXPECT_TRUE(Contains(run.out, "\"losses\":[{\"kind\":\"cylinder_beyond_disk\",\"track\":169,\"sector\":-1"))
      << run.out;
}

TEST(CliFiles, InfoCountsIdFieldsWithACrcError) {
  test::ScratchDir dir;
  TZX_Disk disk;
  MakeTrdosDisk(disk, "IDCRC");
  disk.GetSector(4, 2).IdCrc ^= 0x1234;
  Diagnostic error;
  ASSERT_TRUE(SaveImage(disk, dir / "id.udi", {}, error)) << error;
  auto run = RunCli({"info", (dir / "id.udi").string(), "--json"});
  EXPECT_TRUE(Contains(run.out, "{\"track\":4,\"sectors\":16,\"good\":16,\"bad\":0,\"no_data\":0,\"id_crc_errors\":1"))
      << run.out;
  run = RunCli({"info", (dir / "id.udi").string()});
  EXPECT_TRUE(Contains(run.out, "Track  Sectors  Good  Bad  NoData  IdCRC  Raw")) << run.out;
  EXPECT_TRUE(Contains(run.out, "    4       16    16    0       0      1  yes")) << run.out;
}

// Two puts at once on one image both land: the second waits for the first.
TEST(CliFiles, PutsAtOnceOnOneImageKeepEveryFile) {
  test::ScratchDir dir;
  const std::string image = (dir / "shared.trd").string();
  const auto first = test::CorpusFile("hobeta/tslabs_zx-evo__UMT2_3.$B").string();
  const auto second = test::CorpusFile("hobeta/vitamin-caig_zxtune__TWILIGHT.$B").string();
  for (int round = 0; round < 5; ++round) {
    ASSERT_EQ(RunCli({"new-trdos", image}).exitCode, 0);
    test::RunResult a, b;
    std::thread other([&] { a = RunCli({"put", image, first}); });
    b = RunCli({"put", image, second});
    other.join();
    EXPECT_EQ(a.exitCode, 0) << a.err;
    EXPECT_EQ(b.exitCode, 0) << b.err;
    EXPECT_EQ(CatalogOf(image).FileCount, 2) << "round " << round;
  }
}

// File names are UTF-8 on the command line and in every message (on
// Windows the program reads them from the wide command line): a Cyrillic
// name survives convert, ls, get and put, and a file saved again is replaced
// without leaving anything beside it.
TEST(CliFiles, CyrillicFileNamesRoundTrip) {
  test::ScratchDir dir;
  const auto name = [&](const char* utf8) { return PathToUtf8(dir.Path() / PathFromUtf8(utf8)); };
  const std::string trd = name("Диск №1.trd");
  const std::string udi = name("Диск №1.udi");
  const std::string hobeta = name("Файл.$B");
  const std::string image = name("Новый.trd");
  const std::string copy = name("Копия.$B");
  std::filesystem::copy_file(test::CorpusFile("trd/tslabs_zx-evo__UMT2_3.TRD"), PathFromUtf8(trd));

  for (int time = 0; time < 2; ++time) {
    const auto run = RunCli({"convert", trd, udi});
    ASSERT_EQ(run.exitCode, 0) << run.err;
  }
  const auto listing = RunCli({"ls", udi});
  ASSERT_EQ(listing.exitCode, 0) << listing.err;
  EXPECT_EQ(listing.out, RunCli({"ls", trd}).out);

  auto run = RunCli({"get", udi, "UMTv2.3>", "-o", hobeta});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, hobeta + "\n");
  ASSERT_EQ(RunCli({"new-trdos", image}).exitCode, 0);
  run = RunCli({"put", image, hobeta});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  ASSERT_EQ(RunCli({"get", image, "UMTv2.3>", "-o", copy}).exitCode, 0);
  EXPECT_TRUE(test::ReadFileBytes(PathFromUtf8(copy)) == test::ReadFileBytes(PathFromUtf8(hobeta)));

  run = RunCli({"ls", name("Нет такого.trd")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Contains(run.err, name("Нет такого.trd"))) << run.err;
  std::set<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) files.insert(PathToUtf8(entry.path()));
  EXPECT_EQ(files, (std::set<std::string>{trd, udi, hobeta, image, copy}));
}

TEST(CliFiles, FailedPutLeavesTheImageUntouched) {
  const test::ScopedEnvironment russian("LC_ALL", "ru_RU.UTF-8");
  test::ScratchDir dir;
  const auto image = dir / "disk.trd";
  ASSERT_EQ(RunCli({"new-trdos", image.string()}).exitCode, 0);
  const Bytes before = test::ReadFileBytes(image);
  const auto good = test::CorpusFile("hobeta/tslabs_zx-evo__UMT2_3.$B");
  const auto bad = test::CorpusFile("hobeta/tslabs_zx-evo__boot.$B");
  const auto run = RunCli({"put", image.string(), good.string(), bad.string()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Contains(run.err, "Неверная контрольная сумма файла " + bad.string() + "!")) << run.err;
  EXPECT_EQ(test::ReadFileBytes(image), before);

  // A duplicate is refused the same way.
  ASSERT_EQ(RunCli({"put", image.string(), good.string()}).exitCode, 0);
  const Bytes once = test::ReadFileBytes(image);
  const auto again = RunCli({"put", image.string(), good.string()});
  EXPECT_EQ(again.exitCode, 1);
  EXPECT_TRUE(Contains(again.err, "в образе уже существует!")) << again.err;
  EXPECT_EQ(test::ReadFileBytes(image), once);

  // Files that cannot be read say why, not that they are too small.
  const auto missing = dir / "missing.$C";
  const auto folder = dir / "folder.$C";
  const auto huge = dir / "huge.$C";
  std::filesystem::create_directory(folder);
  test::WriteFileBytes(huge, Bytes{});
  std::filesystem::resize_file(huge, 65u << 20);
  for (const auto& [file, message] : {std::pair{missing, "Файл " + missing.string() + " не найден!"},
                                      std::pair{folder, folder.string() + " не является файлом!"},
                                      std::pair{huge, "Файл " + huge.string() + " слишком велик: больше 64 МБ!"}}) {
    const auto put = RunCli({"put", image.string(), file.string()});
    EXPECT_EQ(put.exitCode, 1);
    EXPECT_EQ(put.err, "velloran-cli: " + message + "\n");
    EXPECT_EQ(test::ReadFileBytes(image), once);
  }
}

// An image over the size cap is too large, not unreadable; an empty dump is
// refused; a cut one loads with a note of the missing bytes.
TEST(CliFiles, OddImageFilesSayWhatIsWrong) {
  const test::ScopedEnvironment russian("LC_ALL", "ru_RU.UTF-8");
  test::ScratchDir dir;
  const auto huge = dir / "huge.trd";
  test::WriteFileBytes(huge, Bytes{});
  std::filesystem::resize_file(huge, 65u << 20);
  auto run = RunCli({"info", huge.string()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Contains(run.err, "слишком велик")) << run.err;
  for (const char* name : {"empty.trd", "empty.kdi", "empty.pro"}) {
    test::WriteFileBytes(dir / name, Bytes{});
    run = RunCli({"info", (dir / name).string()});
    EXPECT_EQ(run.exitCode, 1) << name;
    EXPECT_TRUE(Contains(run.err, "пуст: в файле нет ни одного байта!")) << run.err;
  }
  test::WriteFileBytes(dir / "cut.kdi", Bytes(5120 + 1000, 0xE5));
  run = RunCli({"info", (dir / "cut.kdi").string()});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "Заметка: KDI: файлу не хватает 4120 байт до целой дорожки")) << run.out;
  run = RunCli({"convert", (dir / "cut.kdi").string(), (dir / "cut.udf").string()});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(run.err, "cut.kdi: KDI: файлу не хватает 4120 байт")) << run.err;
}

TEST(CliFiles, LsShowsTheCatalogColumnsAndDiskDescription) {
  const auto run = RunCli({"ls", test::CorpusFile("scl/alfishe_unreal-ng__eyeache2.scl").string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "Filename Type Start Length Sectors Sector Track\n")) << run.out;
  EXPECT_TRUE(Contains(run.out, "EYEACHE2 B    0045  0045   FF      00     01\n")) << run.out;
  EXPECT_TRUE(Contains(run.out, "boot     B    0A08  0A08   0B      06     49\n")) << run.out;
  EXPECT_TRUE(Contains(run.out, "Disk label: NEW DISK\nDisk type: 80 tracks\n")) << run.out;
  EXPECT_TRUE(Contains(run.out, "Free sectors: 1375\n")) << run.out;
  EXPECT_TRUE(Contains(run.out, "Files: 6\n")) << run.out;

  test::ScratchDir dir;
  ASSERT_EQ(RunCli({"new-cpm", (dir / "c.pro").string()}).exitCode, 0);
  const auto notTrdos = RunCli({"ls", (dir / "c.pro").string()});
  EXPECT_EQ(notTrdos.exitCode, 1);
  EXPECT_TRUE(Contains(notTrdos.err, "The image is not a standard TR-DOS disk!"));
}

bool HasCyrillic(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0xD0 && byte <= 0xD3;
  });
}

// The words of a listing that are the program's own: a table's title line
// and the labels before ": ". Names from the disk are left out.
std::string ListingWords(const std::string& listing) {
  std::string words;
  std::size_t start = 0;
  bool titles = true;
  while (start < listing.size()) {
    const std::size_t end = std::min(listing.find('\n', start), listing.size());
    const std::string line = listing.substr(start, end - start);
    const std::size_t colon = line.find(": ");
    if (colon != std::string::npos)
      words += line.substr(0, colon) + '\n';
    else if (titles && !line.empty())
      words += line + '\n';
    titles = line.empty() || colon != std::string::npos;
    start = end + 1;
  }
  return words;
}

// The listings, the description of an image and a refused change speak the
// locale's language alone: no Russian word under an English locale, no
// English word (names of formats and units aside) under a Russian one.
TEST(CliFiles, ListingsAndRefusalsSpeakOneLanguage) {
  test::ScratchDir dir;
  const auto cpm = (dir / "c.fdi").string();
  ASSERT_EQ(RunCli({"new-cpm", cpm, "--format", "plus3"}).exitCode, 0);
  const auto small = dir / "small.$C";
  test::WriteFileBytes(small, Bytes(3, 0));
  const std::string trdos = test::CorpusFile("scl/alfishe_unreal-ng__eyeache2.scl").string();
  const auto image = (dir / "t.trd").string();
  ASSERT_EQ(RunCli({"new-trdos", image}).exitCode, 0);
  const test::ScopedEnvironment noOverride("LC_ALL", "");
  for (const char* locale : {"C.UTF-8", "ru_RU.UTF-8"}) {
    const test::ScopedEnvironment chosen("LANG", locale);
    const bool russian = std::string(locale).starts_with("ru");
    const auto trdosListing = RunCli({"ls", trdos});
    const auto cpmListing = RunCli({"ls", cpm, "--cpm"});
    const auto info = RunCli({"info", cpm});
    const auto refused = RunCli({"put", image, small.string()});
    ASSERT_EQ(trdosListing.exitCode, 0) << trdosListing.err;
    ASSERT_EQ(cpmListing.exitCode, 0) << cpmListing.err;
    ASSERT_EQ(info.exitCode, 0) << info.err;
    EXPECT_EQ(refused.exitCode, 1);
    // The refusal without the program's and the file's names.
    std::string refusal = refused.err.substr(refused.err.find(": ") + 2);
    refusal.erase(refusal.find(small.string()), small.string().size());
    const std::string words =
        ListingWords(trdosListing.out) + ListingWords(cpmListing.out) + ListingWords(info.out) + refusal;
    if (!russian) {
      EXPECT_FALSE(HasCyrillic(words)) << words;
      EXPECT_TRUE(Contains(words, "Filename Type Start Length Sectors Sector Track\n")) << words;
      continue;
    }
    // Under Russian, Latin letters are left only in names of formats and units.
    std::string latin = words;
    for (const char* name : {"CP/M", "TR-DOS", "SHA-256", "RAW", "ID", "FDI", "Spectrum", "Amstrad", "PCW"})
      for (std::size_t at = latin.find(name); at != std::string::npos; at = latin.find(name))
        latin.erase(at, std::string_view(name).size());
    EXPECT_FALSE(std::any_of(latin.begin(), latin.end(), [](char c) {
      return std::isalpha(static_cast<unsigned char>(c));
    })) << words;
    EXPECT_TRUE(Contains(words, "Имя файла Тип Старт Длина Секторов Сектор Дорожка\n")) << words;
    EXPECT_TRUE(Contains(refused.err, "слишком мал")) << refused.err;
  }
}

TEST(CliFiles, DeletedFilesAreListedWithAll) {
  test::ScratchDir dir;
  const std::string image = (dir / "d.trd").string();
  ASSERT_EQ(RunCli({"new-trdos", image}).exitCode, 0);
  ASSERT_EQ(RunCli({"put", image, test::CorpusFile("scl/tslabs_zx-evo__UMT2_3.SCL").string(),
                    test::CorpusFile("hobeta/vitamin-caig_zxtune__TWILIGHT.$B").string()})
                .exitCode,
            0);
  const auto names = RunCli({"ls", image}).out;
  ASSERT_EQ(RunCli({"rm", image, "UMTv2.3>.B"}).exitCode, 0);
  EXPECT_FALSE(Contains(RunCli({"ls", image}).out, "UMTv2.3>"));
  EXPECT_TRUE(Contains(RunCli({"ls", image, "--all"}).out, "?MTv2.3>")) << names;
  EXPECT_EQ(RunCli({"rm", image, "nothing"}).exitCode, 1);
}

// A changed image is saved in the format it was read as, whatever its name.
TEST(CliFiles, MisnamedImageKeepsItsFormat) {
  test::ScratchDir dir;
  const auto image = dir / "game.img";
  test::CopyCorpusFile("trd/alfishe_unreal-ng__EyeAche.trd", image);
  ASSERT_TRUE(Contains(RunCli({"ls", image.string()}).out, "boot"));
  const auto run = RunCli({"rm", image.string(), "boot"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(std::filesystem::file_size(image), 655360u);
  EXPECT_FALSE(Contains(RunCli({"ls", image.string()}).out, "boot"));
}

TEST(CliFiles, RawGetWritesTheSectors) {
  test::ScratchDir dir;
  const auto out = dir / "boot.raw";
  const auto run = RunCli(
      {"get", test::CorpusFile("scl/alfishe_unreal-ng__eyeache2.scl").string(), "boot", "--raw", "-o", out.string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(std::filesystem::file_size(out), 11u * 256);
  // The corpus notes give the SHA-256 of this file's sectors.
  EXPECT_EQ(test::Sha256(test::ReadFileBytes(out)), "738a4f7811553a23fd28f012750816280ec36c3f7e92b2d415f92732d4ed5aae");
}

// A file with damaged sectors is still extracted: what was read is written,
// the bad sectors are named on standard error and the exit code is 2.
TEST(CliFiles, GetWritesWhatItHasAndNamesBadSectors) {
  test::ScratchDir dir;
  const auto trd = dir / "disk.trd";
  const auto hobeta = test::CorpusFile("hobeta/vitamin-caig_zxtune__TWILIGHT.$B");
  ASSERT_EQ(RunCli({"new-trdos", trd.string()}).exitCode, 0);
  ASSERT_EQ(RunCli({"put", trd.string(), hobeta.string()}).exitCode, 0);
  TZX_Disk disk;
  Diagnostic error;
  ASSERT_TRUE(LoadImage(disk, trd, error)) << error;
  // The file starts at track 1, sector 1: its second sector gets a CRC error,
  // its third loses its data.
  disk.GetSector(1, 1).DataOk = false;
  disk.GetSector(1, 2).DataOk = false;
  disk.GetSector(1, 2).DataLen = 0;
  const auto image = dir / "disk.udf";
  ASSERT_TRUE(SaveImage(disk, image, {}, error)) << error;

  Bytes expected = test::ReadFileBytes(hobeta);
  std::fill_n(expected.begin() + 17 + 2 * 256, 256, 0);
  const auto out = dir / "out.$B";
  auto run = RunCli({"get", image.string(), "TwilighT", "-o", out.string()});
  EXPECT_EQ(run.exitCode, 2) << run.err;
  EXPECT_EQ(test::ReadFileBytes(out), expected);
  EXPECT_TRUE(Contains(run.err, out.string() + ": track 1 sector 2: data CRC error\n")) << run.err;
  EXPECT_TRUE(Contains(run.err, out.string() + ": track 1 sector 3: no data, written as zeros\n")) << run.err;
  run = RunCli({"get", image.string(), "TwilighT", "--raw", "-o", out.string()});
  EXPECT_EQ(run.exitCode, 2) << run.err;
  EXPECT_EQ(test::ReadFileBytes(out), Bytes(expected.begin() + 17, expected.end()));

  // CP/M: HELLO.TXT lies in block 5, sectors 1 and 2 of track 2. Damage
  // behind the file's end does not count.
  const auto pro = dir / "cpm.pro";
  ASSERT_EQ(RunCli({"new-cpm", pro.string()}).exitCode, 0);
  Bytes bytes = test::ReadFileBytes(pro);
  std::fill_n(bytes.begin(), 4096, 0xE5);
  const std::uint8_t entry[32] = {0, 'H', 'E', 'L', 'L', 'O', ' ', ' ', ' ', 'T', 'X', 'T', 0, 0, 0, 8, 5};
  std::memcpy(bytes.data(), entry, sizeof entry);
  test::WriteFileBytes(pro, bytes);
  ASSERT_TRUE(LoadImage(disk, pro, error)) << error;
  disk.GetSector(2, 0).DataOk = false;
  disk.GetSector(2, 1).DataOk = false;
  ASSERT_TRUE(SaveImage(disk, image, {}, error)) << error;
  run = RunCli({"get", image.string(), "hello.txt", "--cpm", "-o", out.string()});
  EXPECT_EQ(run.exitCode, 2) << run.err;
  EXPECT_EQ(test::ReadFileBytes(out).size(), 1024u);
  EXPECT_TRUE(Contains(run.err, "track 2 sector 1: data CRC error")) << run.err;
  EXPECT_FALSE(Contains(run.err, "track 2 sector 2")) << run.err;
}

TEST(CliFiles, PutIntoAnSclImage) {
  test::ScratchDir dir;
  const auto image = dir / "disk.scl";
  test::CopyCorpusFile("scl/tslabs_zx-evo__UMT2_3.SCL", image);
  const auto run =
      RunCli({"put", image.string(), test::CorpusFile("hobeta/vitamin-caig_zxtune__TWILIGHT.$B").string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const Bytes scl = test::ReadFileBytes(image);
  ASSERT_GT(scl.size(), 9u);
  EXPECT_EQ(scl[8], CatalogOf(image).FileCount);
  EXPECT_EQ(CatalogOf(image).Entries[CatalogOf(image).FileCount - 1].Name[0], 'T');
}

// A PRO image written byte by byte: directory at offset 0, block b at b * 2048.
TEST(CliFiles, CpmListingAndGetFromAPlainImage) {
  test::ScratchDir dir;
  const auto image = dir / "cpm.pro";
  ASSERT_EQ(RunCli({"new-cpm", image.string()}).exitCode, 0);
  Bytes pro = test::ReadFileBytes(image);
  ASSERT_EQ(pro.size(), 819200u);
  std::fill_n(pro.begin(), 4096, 0xE5);
  const std::uint8_t entry[32] = {0, 'H', 'E', 'L', 'L', 'O', ' ', ' ', ' ', 'T', 'X', 'T', 0, 0, 0, 19, 5, 0, 6, 0};
  std::memcpy(pro.data(), entry, sizeof entry);
  for (int i = 0; i < 2432; ++i) pro[5 * 2048 + i] = static_cast<std::uint8_t>('a' + i % 26);
  test::WriteFileBytes(image, pro);

  auto run = RunCli({"ls", image.string(), "--cpm"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "Filename Type Length User Extent\nHELLO    TXT   2.384 00   00\n")) << run.out;
  EXPECT_TRUE(Contains(run.out, "Files: 1\nUsed: 8 KB\nFree: 792 KB\n")) << run.out;

  const auto out = dir / "hello.txt";
  run = RunCli({"get", image.string(), "hello.txt", "--cpm", "-o", out.string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const Bytes contents = test::ReadFileBytes(out);
  ASSERT_EQ(contents.size(), 2432u);
  EXPECT_TRUE(std::equal(contents.begin(), contents.end(), pro.begin() + 5 * 2048));
  EXPECT_EQ(RunCli({"get", image.string(), "other.txt", "--cpm"}).exitCode, 1);
}

// New disks of the Profi (the default) and of a named definition list no
// files and say which definition they were read by.
TEST(CliFiles, NewCpmListsTheEmptyDirectory) {
  test::ScratchDir dir;
  const auto image = dir / "e.pro";
  ASSERT_EQ(RunCli({"new-cpm", image.string()}).exitCode, 0);
  auto run = RunCli({"ls", image.string(), "--cpm"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "Format: Profi CP/M (")) << run.out;
  EXPECT_TRUE(Contains(run.out, "Files: 0\nUsed: 4 KB\nFree: 796 KB\n")) << run.out;

  const auto plusThree = dir / "p3.fdi";
  ASSERT_EQ(RunCli({"new-cpm", plusThree.string(), "--format", "plus3"}).exitCode, 0);
  run = RunCli({"ls", plusThree.string(), "--cpm"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "Format: Spectrum +3 / Amstrad PCW (sides 1, tracks per side 40, ")) << run.out;
  EXPECT_TRUE(Contains(run.out, "Files: 0\nUsed: 2 KB\nFree: 173 KB\n")) << run.out;

  run = RunCli({"new-cpm", (dir / "x.fdi").string(), "--format", "apple"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Contains(run.err, "profi, plus3, pcw720, cpcsys, cpcdata")) << run.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "x.fdi"));
}

TEST(CliFiles, BadArgumentsFail) {
  EXPECT_EQ(RunCli({"get", "x.trd"}).exitCode, 1);
  EXPECT_EQ(RunCli({"get", "x.trd", "a", "--raw", "--hobeta"}).exitCode, 1);
  EXPECT_EQ(RunCli({"get", "x.trd", "a", "-o"}).exitCode, 1);
  EXPECT_EQ(RunCli({"ls", "x.trd", "--bogus"}).exitCode, 1);
  EXPECT_EQ(RunCli({"put", "missing.trd", "a.$B"}).exitCode, 1);
}

}  // namespace
}  // namespace velloran
