// Loading and saving through the main window's commands.
#include <QFileInfo>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "formats/format_table.h"
#include "formats/trd.h"
#include "formats/udi.h"
#include "model/disk_fingerprint.h"
#include "ui/disk_map_cells.h"
#include "ui/prompts.h"
#include "ui/ui_fixture.h"

namespace velloran::test {
namespace {

using FilesTest = MainWindowTest;

QString Q(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

TEST_F(FilesTest, LoadCommandShowsTheNewDiskAndRemembersItsFolder) {
  const auto source = CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd");
  std::filesystem::create_directories(dir / "img");
  const auto file = dir / "img" / "disk.TRD";
  std::filesystem::copy_file(source, file);
  window->Options().Directory_1 = "/nowhere/";
  LoadThroughDialog(file);

  const auto& request = prompts.Records().front();
  ASSERT_EQ(request.kind, ScriptedPrompts::Kind::OpenFiles);
  EXPECT_EQ(request.text, "Загрузить образ диска из файла..");
  EXPECT_EQ(request.file.folder, "/nowhere/");
  // Every disk image first (and chosen), each format, then every file.
  const QStringList saveFilters = SplitFilterList(QString::fromStdString(SaveDialogFilter()));
  EXPECT_EQ(request.file.filterIndex, 1);
  ASSERT_EQ(request.file.filters.size(), saveFilters.size() + 2);
  EXPECT_TRUE(request.file.filters.front().startsWith("Все образы дисков (*.udi,*.trd,"))
      << request.file.filters.front().toStdString();
  EXPECT_EQ(request.file.filters[8], "Образ битовых ячеек для эмулятора дисковода HxC (*.hfe)|*.hfe");
  EXPECT_EQ(request.file.filters.back(), "Все файлы (*)|*");
  EXPECT_TRUE(request.file.fileName.isEmpty());

  EXPECT_EQ(prompts.Messages().size(), 0u);
  EXPECT_EQ(window->CurImageName(), "disk.TRD");
  EXPECT_EQ(window->StatusText(1), QStringLiteral("Образ диска - %1 (Дорожек - 160)").arg(Q(file)));
  EXPECT_EQ(window->StatusText(2), "");
  const std::string folder = (dir / "img").string() + "/";
  EXPECT_EQ(window->Options().Directory_1, folder);
  EXPECT_EQ(store.Read("Directory_1"), folder);
  EXPECT_EQ(Find<QTabWidget>("pc1")->currentIndex(), 1);
  EXPECT_EQ(Map()->TopRow(), 0);
  EXPECT_EQ(Text("l2"), "0") << "the click handler ran for cell (0, 0)";
  EXPECT_EQ(Pane()->Size(), 6256);

  // The save dialog proposes the name without extension in the save folder.
  window->Options().Directory_2 = "/saves/";
  prompts.QueueCancelFile();
  OnSaveImage(*window);
  const auto& save = prompts.Records().back();
  EXPECT_EQ(save.text, "Сохранить образ диска в файл...");
  EXPECT_EQ(save.file.fileName, "disk");
  EXPECT_EQ(save.file.folder, "/saves/");
  EXPECT_EQ(save.file.filters, saveFilters);
  EXPECT_EQ(save.file.defaultSuffix, "udi");
  ASSERT_TRUE(save.file.suffixForFilter);
  EXPECT_EQ(save.file.suffixForFilter(2), "trd");
  EXPECT_EQ(save.file.suffixForFilter(8), "hfe");
  EXPECT_EQ(save.file.suffixForFilter(11), "scp");
  EXPECT_EQ(save.file.suffixForFilter(12), "mfi");
}

// A load that fails leaves the disk, the panels and the hex pane as they were.
TEST_F(FilesTest, FailedLoadsKeepTheDiskInMemory) {
  const auto image = CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd");
  LoadThroughDialog(image);
  Click(3, 7);
  const Bytes pane = Pane()->Data();
  const QString status = window->StatusText(1);
  TZX_Disk before;
  ASSERT_TRUE(LoadTRD(before, image));

  const auto notes = dir / "notes.txt";
  WriteFileBytes(notes, Bytes(100, 'x'));
  const auto broken = dir / "broken.udi";
  WriteFileBytes(broken, Bytes(40, 0));
  const auto huge = dir / "huge.trd";
  WriteFileBytes(huge, Bytes(167 * 4096, 0));
  for (const auto& file : {notes, broken, huge}) {
    SCOPED_TRACE(file.filename().string());
    prompts.ClearRecords();
    LoadThroughDialog(file);
    ASSERT_EQ(prompts.Messages().size(), 1u) << "no question about unsaved changes: nothing changed";
    EXPECT_EQ(prompts.Messages()[0].caption, "Ошибка!");
    EXPECT_EQ(DiskFingerprint(Disk()), DiskFingerprint(before));
    EXPECT_EQ(window->CurImageName(), "alfishe_unreal-ng__EyeAche.trd");
    EXPECT_EQ(window->StatusText(1), status);
    EXPECT_EQ(Pane()->Data(), pane);
    EXPECT_EQ(Map()->CurrentColumn(), 3);
    EXPECT_FALSE(window->IsModified());
  }
}

// "Объединить с другим образом": good sectors of the chosen image fill in
// the bad ones in memory; a good sector that differs stays, and is announced.
TEST_F(FilesTest, MergeFillsInBadSectorsFromTheChosenImage) {
  const auto file = CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd");
  LoadThroughDialog(file);
  const TSectorRec original = Disk().GetSector(3, 4);
  TSectorRec& bad = Disk().GetSector(3, 4);
  bad.DataOk = false;
  bad.Data.fill(0xEE);
  Disk().GetSector(7, 0).Data[0] ^= 0xFF;  // good in both, but different
  prompts.ClearRecords();

  prompts.QueueOpen({Q(file)});
  Action("MergeImage1")->trigger();
  const auto& request = prompts.Records().front();
  EXPECT_EQ(request.text, "Объединить с образом диска из файла..");
  EXPECT_TRUE(request.file.multiple);
  EXPECT_TRUE(request.file.filters[request.file.filterIndex - 1].contains("*.trd;"));

  const TSectorRec& merged = Disk().GetSector(3, 4);
  EXPECT_TRUE(merged.DataOk);
  EXPECT_TRUE(std::equal(merged.Data.begin(), merged.Data.begin() + 256, original.Data.begin()));
  EXPECT_EQ(CellTile(Disk(), 5, 3), Tile::SectorRecovered);
  EXPECT_NE(Disk().GetSector(7, 0).Data[0], original.Data[0]) << "the disk in memory comes first";
  const QStringList log = window->LogLines();
  EXPECT_TRUE(log.contains("Дорожка 3: из alfishe_unreal-ng__EyeAche.trd - секторы 5")) << log.join("\n").toStdString();
  EXPECT_TRUE(
      log.contains("Дорожка 7 / Сектор 1: хорошие копии различаются - alfishe_unreal-ng__EyeAche.trd и "
                   "alfishe_unreal-ng__EyeAche.trd; взята копия из alfishe_unreal-ng__EyeAche.trd"));
  EXPECT_EQ(Find<QTabWidget>("pc1")->currentIndex(), 0);
  const auto messages = prompts.Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].caption, "Внимание..!");

  // An image that does not load changes nothing.
  prompts.QueueOpen({Q(dir / "missing.trd")});
  Action("MergeImage1")->trigger();
  EXPECT_EQ(prompts.Messages().size(), 2u);
  EXPECT_EQ(prompts.Messages().back().caption, "Ошибка!");
}

TEST_F(FilesTest, UnsupportedExtensionIsReportedWithoutALogLine) {
  const auto file = dir / "notes.txt";
  WriteFileBytes(file, Bytes(100, 'x'));
  LoadThroughDialog(file);
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(prompts.Messages()[0].text, Q(file) + ": Этот тип файлов не поддерживается!");
  EXPECT_EQ(prompts.Messages()[0].caption, "Ошибка!");
  EXPECT_EQ(Disk().CountTracks(), 0);
  EXPECT_EQ(window->StatusText(1), "");
  EXPECT_TRUE(window->LogLines().isEmpty());
}

TEST_F(FilesTest, FailedReaderLeavesItsPrefixedLineInTheLog) {
  const auto file = dir / "broken.fdi";
  WriteFileBytes(file, Bytes{'F', 'D', 'I', 0, 0});
  TZX_Disk probe;
  ASSERT_FALSE(LoadImage(probe, file, probe.LastError));
  const QString reason = QString::fromStdString(DiagnosticText(probe.LastError));
  ASSERT_FALSE(reason.isEmpty());

  LoadThroughDialog(file);
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(prompts.Messages()[0].text, reason) << "the message shows the reader's text alone";
  EXPECT_EQ(window->LogLines(), QStringList{"Ошибка загрузки FDI -\"" + reason + "\""});
  EXPECT_EQ(window->StatusText(1), "") << "the panel still describes the disk in memory";
  EXPECT_EQ(Disk().CountTracks(), 0);
  EXPECT_EQ(window->CurImageName(), "");

  const auto udi = dir / "broken.udi";
  WriteFileBytes(udi, Bytes(40, 0));
  LoadThroughDialog(udi);
  ASSERT_EQ(window->LogLines().size(), 1);
  EXPECT_TRUE(window->LogLines()[0].startsWith("Ошибка загрузки UDI -\"")) << window->LogLines()[0].toStdString();
  EXPECT_TRUE(window->LogLines()[0].endsWith("\""));
}

TEST_F(FilesTest, TrdFileTooBigForADiskIsAFailureNotAnEmptyDisk) {
  const auto file = dir / "huge.trd";
  WriteFileBytes(file, Bytes(167 * 4096, 0));
  TZX_Disk probe;
  ASSERT_FALSE(LoadTRD(probe, file));
  LoadThroughDialog(file);
  ASSERT_EQ(prompts.Messages().size(), 1u);
  const QString named = QString::fromStdString(DiagnosticText(LoadFailure(file, probe.LastError)));
  EXPECT_TRUE(named.startsWith(QString::fromStdString(file.string()) + ": ")) << named.toStdString();
  EXPECT_EQ(prompts.Messages()[0].text, named);
  EXPECT_EQ(window->LogLines(), QStringList{"Ошибка загрузки TRD -\"" + named + "\""});
  EXPECT_EQ(window->CurImageName(), "");
}

// A reader's notices show in the third panel, whatever the format; the file
// is read as what it holds, whatever its name.
TEST_F(FilesTest, ReadersNoticesGoToTheThirdPanel) {
  TZX_Disk disk;
  MakeMarkedTrdosDisk(disk);
  Diagnostic error;
  const auto file = dir / "disk.bin";
  ASSERT_TRUE(SaveImageAs(disk, file, *FindFormat("TD0"), {}, error)) << error;
  TZX_Disk probe;
  ASSERT_TRUE(LoadImage(probe, file, error)) << error;
  ASSERT_EQ(probe.Notices.size(), 1u);
  LoadThroughDialog(file);
  EXPECT_EQ(prompts.Messages().size(), 0u);
  EXPECT_EQ(window->StatusText(2), QString::fromStdString(DiagnosticText(probe.Notices[0])));
  EXPECT_TRUE(window->StatusText(1).startsWith("Образ диска - "));
  EXPECT_EQ(Disk().CountTracks(), disk.CountTracks());
}

TEST_F(FilesTest, UdiBuildFailureIsReportedWithTrackAndSector) {
  MakeMarkedTrdosDisk(Disk());
  Disk().GetSector(5, 3).IdSize = 6;  // no track can be built with it
  const auto file = dir / "out.udi";
  prompts.QueueSave(Q(file));
  prompts.QueueAnswer(PromptAnswer::Yes);  // the size code is a loss the save asks about first
  OnSaveImage(*window);
  ASSERT_EQ(prompts.Messages().size(), 2u);
  EXPECT_EQ(prompts.Messages()[1].text, "Ошибка создания образа UDI");
  EXPECT_EQ(prompts.Messages()[1].caption, "Внимание..!");
  EXPECT_EQ(window->LogLines(), QStringList{QString::fromStdString(DiagnosticText(Disk().LastError))});
  EXPECT_TRUE(window->LogLines()[0].contains("дорожк")) << window->LogLines()[0].toStdString();
  EXPECT_EQ(Find<QListWidget>("Lzx1")->currentRow(), 0) << "the line is selected";
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_EQ(window->CurImageName(), "");
}

TEST_F(FilesTest, UdiSaveFollowsTheRestoreTrackSetting) {
  MakeMarkedTrdosDisk(Disk());
  const auto file = dir / "out.udi";
  window->Options().RestoreTrack = false;
  prompts.QueueSave(Q(file));
  OnSaveImage(*window);
  EXPECT_TRUE(Disk().KeepRaw);
  TZX_Disk back;
  ASSERT_TRUE(LoadUDI(back, file)) << back.LastError;
  EXPECT_EQ(back.CountTracks(), 160);
  EXPECT_EQ(window->CurImageName(), "out.udi");
  EXPECT_EQ(window->Options().Directory_2, dir.Path().string() + "/");
  EXPECT_EQ(store.Read("Directory_2"), dir.Path().string() + "/");
  window->Options().RestoreTrack = true;
  prompts.QueueAnswer(PromptAnswer::Yes);
  prompts.QueueSave(Q(file));
  OnSaveImage(*window);
  EXPECT_FALSE(Disk().KeepRaw);
}

TEST_F(FilesTest, OverwriteNoKeepsTheFileAndTheName) {
  MakeMarkedTrdosDisk(Disk());
  const auto file = dir / "old.trd";
  WriteFileBytes(file, Bytes{1, 2, 3});
  prompts.QueueSave(Q(file), 2);
  prompts.QueueAnswer(PromptAnswer::No);
  OnSaveImage(*window);
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(prompts.Messages()[0].text, "Файл уже существует! Перезаписать?");
  EXPECT_EQ(prompts.Messages()[0].caption, "Внимание..!");
  EXPECT_EQ(prompts.Messages()[0].buttons, PromptButtons::YesNo);
  EXPECT_EQ(ReadFileBytes(file), (Bytes{1, 2, 3}));
  EXPECT_EQ(window->CurImageName(), "");

  // Yes writes it; the filter index is remembered for the next save.
  prompts.QueueSave(Q(file), 2);
  prompts.QueueAnswer(PromptAnswer::Yes);
  OnSaveImage(*window);
  EXPECT_EQ(std::filesystem::file_size(file), 160u * 4096u);
  EXPECT_EQ(window->CurImageName(), "old.trd");
  prompts.QueueCancelFile();
  OnSaveImage(*window);
  EXPECT_EQ(prompts.Records().back().file.filterIndex, 2);
  EXPECT_EQ(prompts.Records().back().file.defaultSuffix, "trd");
  EXPECT_EQ(prompts.Records().back().file.fileName, "old");
}

TEST_F(FilesTest, FailedSaveIsReportedAndChangesNothing) {
  MakeMarkedTrdosDisk(Disk());
  Disk().GetTrack(7).ClearSector(4);  // TRD needs all 16 sectors
  window->Options().Directory_2 = "/before/";
  const auto file = dir / "out.trd";
  prompts.QueueSave(Q(file));
  OnSaveImage(*window);
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(prompts.Messages()[0].caption, "Ошибка!");
  TZX_Disk probe;
  MakeMarkedTrdosDisk(probe);
  probe.GetTrack(7).ClearSector(4);
  EXPECT_FALSE(SaveTRD(probe, dir / "probe.trd"));
  EXPECT_EQ(prompts.Messages()[0].text, QString::fromStdString(DiagnosticText(probe.LastError)));
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_EQ(window->CurImageName(), "");
  EXPECT_EQ(window->Options().Directory_2, "/before/");
  EXPECT_FALSE(store.Read("Directory_2").has_value());

  // A folder that does not exist: the writer's message.
  MakeMarkedTrdosDisk(Disk());
  prompts.QueueSave(Q(dir / "missing" / "out.trd"));
  OnSaveImage(*window);
  ASSERT_EQ(prompts.Messages().size(), 2u);
  EXPECT_FALSE(prompts.Messages()[1].text.isEmpty());
}

// A format that cannot hold the disk asks first; Yes saves and lists in the
// log what was lost, No saves nothing.
TEST_F(FilesTest, LossySaveAsksAndLogsWhatIsLost) {
  MakeMarkedTrdosDisk(Disk());
  const auto file = dir / "out.kdi";
  prompts.QueueSave(Q(file), 7);
  prompts.QueueAnswer(PromptAnswer::No);
  OnSaveImage(*window);
  ASSERT_EQ(prompts.Messages().size(), 1u);
  const auto question = prompts.Messages()[0];  // a copy: Messages() returns a new list
  EXPECT_EQ(question.text,
            "Образ KDI не вместит всего, что есть на диске: дорожка 0, сектор 1: сектор 256 байт, формат KDI хранит "
            "сектора по 1024 байт (всего потерь: 2560).\nСохранить с потерями?");
  EXPECT_EQ(question.caption, "Внимание..!");
  EXPECT_EQ(question.buttons, PromptButtons::YesNo);
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_EQ(window->CurImageName(), "");

  prompts.QueueSave(Q(file), 7);
  prompts.QueueAnswer(PromptAnswer::Yes);
  OnSaveImage(*window);
  EXPECT_EQ(std::filesystem::file_size(file), 160u * 5120u);
  EXPECT_EQ(window->CurImageName(), "out.kdi");
  const QStringList log = window->LogLines();
  ASSERT_EQ(log.size(), 1 + 2560);
  EXPECT_EQ(log[0], "Образ сохранён с потерями - " + Q(file));
  EXPECT_EQ(log[1], "Потеряно: дорожка 0, сектор 1: сектор 256 байт, формат KDI хранит сектора по 1024 байт");
  EXPECT_EQ(log[6], "Потеряно: дорожка 0, сектор 6: сектора с таким номером нет в формате KDI");
  EXPECT_EQ(prompts.Messages().size(), 2u) << "no message after the save";
}

TEST_F(FilesTest, NameWithoutAKnownExtensionSavesNothing) {
  MakeMarkedTrdosDisk(Disk());
  prompts.QueueSave(Q(dir / "plain"));
  OnSaveImage(*window);
  EXPECT_TRUE(prompts.Messages().empty());
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
  EXPECT_EQ(window->CurImageName(), "");
}

TEST_F(FilesTest, UdfFilesLoadAndSaveThroughTheirOwnCommands) {
  MakeMarkedTrdosDisk(Disk());
  Disk().Comments = {"первая строка", "second"};
  const auto file = dir / "whole.udf";
  prompts.QueueSave(Q(file));
  OnSaveUdf(*window);
  const auto& request = prompts.Records().back();
  EXPECT_EQ(request.file.defaultSuffix, "udf");
  EXPECT_EQ(request.file.fileName, "udf") << "no image yet: only the extension is proposed";
  ASSERT_TRUE(std::filesystem::exists(file));
  EXPECT_EQ(window->CurImageName(), "whole.udf");

  Disk().ClearDisk();
  prompts.QueueAnswer(PromptAnswer::Discard);  // the cleared disk is not saved
  prompts.QueueOpen({Q(file)});
  OnLoadUdf(*window);
  EXPECT_EQ(Disk().CountTracks(), 160);
  EXPECT_EQ(Find<QPlainTextEdit>("lb1")->toPlainText(), "первая строка\nsecond");
  EXPECT_EQ(Find<QTabWidget>("pc1")->currentIndex(), 1);

  // A damaged udf file is reported and leaves the disk as it was.
  Bytes bytes = ReadFileBytes(file);
  bytes[300] ^= 0xFF;
  WriteFileBytes(file, bytes);
  prompts.ClearRecords();
  prompts.QueueOpen({Q(file)});
  OnLoadUdf(*window);
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(prompts.Messages()[0].caption, "Ошибка!");
  EXPECT_FALSE(prompts.Messages()[0].text.isEmpty());
  EXPECT_EQ(Disk().CountTracks(), 160);
  EXPECT_EQ(Find<QPlainTextEdit>("lb1")->toPlainText(), "первая строка\nsecond");
}

TEST_F(FilesTest, MissingFileFromTheCommandLineIsAnError) {
  window->LoadAndShow(Q(dir / "gone.trd"));
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_TRUE(prompts.Messages()[0].text.contains("gone.trd"));
  EXPECT_EQ(Disk().CountTracks(), 0);
}

TEST_F(FilesTest, CommentsMemoBecomesTheDiskCommentsOnLeaving) {
  auto* memo = Find<QPlainTextEdit>("lb1");
  memo->setPlainText("one\nдва");
  OnTakeComments(*window);
  EXPECT_EQ(Disk().Comments, (std::vector<std::string>{"one", "два"}));
  EXPECT_FALSE(Find<QWidget>("tlb1")->isEnabled());
  EXPECT_FALSE(Find<QWidget>("tlb2")->isEnabled());
  memo->clear();
  OnTakeComments(*window);
  EXPECT_TRUE(Disk().Comments.empty());
}

}  // namespace
}  // namespace velloran::test

namespace velloran::test {
namespace {

// The flux formats go through the same dialogs: saved as SCP, loaded back,
// saved as MFI and loaded again, the disk keeps every sector.
TEST_F(FilesTest, FluxImagesSaveAndLoadThroughTheDialogs) {
  MakeMarkedTrdosDisk(Disk());
  const TZX_Disk original = Disk();
  for (const auto& [name, filterIndex] : {std::pair{"disk.scp", 9}, std::pair{"disk.mfi", 10}}) {
    SCOPED_TRACE(name);
    const auto file = dir / name;
    prompts.QueueSave(Q(file), filterIndex);
    OnSaveImage(*window);
    ASSERT_TRUE(std::filesystem::exists(file));
    LoadThroughDialog(file);
    EXPECT_EQ(prompts.Messages().size(), 0u);
    EXPECT_EQ(window->CurImageName(), QString::fromLatin1(name));
    ASSERT_EQ(Disk().CountTracks(), 160);
    for (int t = 0; t < 160; t += 37)
      for (int s = 0; s < 16; ++s) {
        const TSectorRec& a = original.Tracks[t].Sectors[s];
        const TSectorRec& b = Disk().GetSector(static_cast<std::uint8_t>(t), static_cast<std::uint8_t>(s));
        EXPECT_EQ(a.IdSector, b.IdSector);
        EXPECT_TRUE(b.DataOk);
        EXPECT_TRUE(std::equal(a.Data.begin(), a.Data.begin() + 256, b.Data.begin())) << t << "/" << s;
      }
  }
}

}  // namespace
}  // namespace velloran::test
