// Work a user expects not to lose: the title's modified mark, the Save /
// Discard / Cancel question before the disk is dropped, hex edits not yet
// accepted, the recent images and the status bar's panels.
#include <functional>

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>

#include "common/version.h"
#include "formats/trd.h"
#include "model/disk_fingerprint.h"
#include "settings/desktop_settings.h"
#include "ui/elided_label.h"
#include "ui/ui_fixture.h"

namespace velloran::test {
namespace {

QString Q(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

class UnsavedWorkTest : public MainWindowTest {
 protected:
  // A copy of a real TR-DOS image, loaded through the load command.
  std::filesystem::path LoadSample(const std::string& name = "EyeAche.trd") {
    const auto file = dir / name;
    CopyCorpusFile("trd/alfishe_unreal-ng__EyeAche.trd", file);
    if (window->IsModified()) prompts.QueueAnswer(PromptAnswer::Discard);
    LoadThroughDialog(file);
    return file;
  }
  // The questions about unsaved changes asked so far.
  int SaveQuestions() const {
    int count = 0;
    for (const auto& record : prompts.Messages()) count += record.buttons == PromptButtons::SaveDiscardCancel;
    return count;
  }
};

TEST_F(UnsavedWorkTest, TitleShowsTheFileAndWhetherItsDiskChanged) {
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Velloran ") + QLatin1String(kVersion));
  const auto file = LoadSample();
  EXPECT_EQ(window->windowTitle(), "EyeAche.trd — Velloran");
  EXPECT_FALSE(window->IsModified());

  // A removed track marks the disk; adding it back is the file's disk again.
  window->OnMapContextMenu(0, 5);
  Action("z8")->trigger();
  EXPECT_EQ(window->windowTitle(), "EyeAche.trd* — Velloran");
  window->OnMapContextMenu(0, 5);
  Action("z9")->trigger();
  EXPECT_EQ(window->windowTitle(), "EyeAche.trd — Velloran");

  // Bytes typed into the hex pane count before they are accepted.
  Click(1, 1);
  Pane()->EditByte(0, 0x5A);
  EXPECT_EQ(window->windowTitle(), "EyeAche.trd* — Velloran");
  prompts.QueueAnswer(PromptAnswer::Yes);
  Find<QPushButton>("pnb1")->click();
  EXPECT_TRUE(window->IsModified());

  // Saving clears the mark and says so in the status bar.
  const auto saved = dir / "copy.trd";
  prompts.QueueSave(Q(saved), 2);
  Action("N32")->trigger();
  EXPECT_EQ(window->windowTitle(), "copy.trd — Velloran");
  EXPECT_EQ(window->StatusText(1), QStringLiteral("Образ диска сохранён - %1 (Дорожек - 160)").arg(Q(saved)));
  EXPECT_EQ(ReadFileBytes(saved)[4096], 0x5A) << "track 1, sector 1";

  // Comments typed into the memo count too.
  Find<QPlainTextEdit>("lb1")->setPlainText("rescued 1994");
  EXPECT_EQ(window->windowTitle(), "copy.trd* — Velloran");
  Find<QToolButton>("tlb2")->click();  // "Отменить" puts the disk's comments back
  EXPECT_EQ(window->windowTitle(), "copy.trd — Velloran");

  // A disk made in memory has no file yet.
  prompts.QueueText(QStringLiteral("NEW"));
  Action("TRDOS1")->trigger();
  EXPECT_EQ(window->windowTitle(), "Без имени* — Velloran");
  EXPECT_EQ(window->CurImageName(), "");
}

// Every way the disk in memory can be replaced asks first; Cancel keeps it,
// Discard drops it, Save saves it and goes on.
TEST_F(UnsavedWorkTest, EveryWayToDropTheDiskAsksFirst) {
  const auto other = dir / "other.trd";
  CopyCorpusFile("trd/alfishe_unreal-ng__EyeAche.trd", other);
  struct Way {
    const char* name;
    std::function<void()> dialogs;  // answers for the dialogs after the question
    std::function<void()> act;
  };
  const Way ways[] = {
      {"load command", [&] { prompts.QueueOpen({Q(other)}); }, [&] { OnLoadImage(*window); }},
      {"udf load command", [&] { prompts.QueueOpen({Q(other)}); }, [&] { OnLoadUdf(*window); }},
      {"hand-off", [] {}, [&] { window->OnOpenRequest(QByteArray("v") + Q(other).toUtf8()); }},
      {"new TR-DOS disk", [&] { prompts.QueueText(QStringLiteral("NEW")); }, [&] { OnNewTrdosDisk(*window); }},
      {"new CP/M disk", [] {}, [&] { OnNewCpmDisk(*window); }},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    LoadSample();
    Disk().GetSector(3, 3).Data[7] ^= 0xFF;
    const std::uint64_t changed = DiskFingerprint(Disk());
    prompts.ClearRecords();
    way.act();  // nothing queued: Cancel
    ASSERT_EQ(prompts.Records().size(), 1u) << "asked before anything else";
    EXPECT_EQ(prompts.Records()[0].buttons, PromptButtons::SaveDiscardCancel);
    EXPECT_EQ(prompts.Records()[0].text, "Образ «EyeAche.trd» изменён. Сохранить изменения?");
    EXPECT_EQ(DiskFingerprint(Disk()), changed) << "Cancel keeps the disk";
    prompts.QueueAnswer(PromptAnswer::Discard);
    way.dialogs();
    way.act();
    EXPECT_TRUE(prompts.AllUsed());
    EXPECT_NE(DiskFingerprint(Disk()), changed) << "Discard lets it go";
  }

  // Save: the save dialog, then the new disk. A cancelled save dialog keeps the disk.
  LoadSample();
  Disk().GetSector(3, 3).Data[7] ^= 0xFF;
  prompts.QueueAnswer(PromptAnswer::Save);
  prompts.QueueCancelFile();
  OnLoadImage(*window);
  EXPECT_TRUE(prompts.AllUsed());
  EXPECT_EQ(window->CurImageName(), "EyeAche.trd");
  const auto kept = dir / "kept.trd";
  prompts.QueueAnswer(PromptAnswer::Save);
  prompts.QueueSave(Q(kept), 2);
  LoadThroughDialog(other);
  EXPECT_EQ(window->CurImageName(), "other.trd");
  TZX_Disk back;
  ASSERT_TRUE(LoadTRD(back, kept));
  EXPECT_EQ(back.GetSector(3, 3).Data[7], ReadFileBytes(other)[3 * 4096 + 3 * 256 + 7] ^ 0xFF);
}

TEST_F(UnsavedWorkTest, ExitAsksAndCancelKeepsTheWindowOpen) {
  window->show();
  LoadSample();
  EXPECT_TRUE(window->close()) << "nothing to lose";
  window->show();
  Disk().GetTrack(9).Present = false;
  EXPECT_FALSE(window->close());
  EXPECT_TRUE(window->isVisible());
  prompts.QueueAnswer(PromptAnswer::Discard);
  Action("N20")->trigger();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(SaveQuestions(), 2);
}

// Clicking another cell with bytes typed but not accepted asks: Yes takes
// them into the cell they belong to, No drops them, Cancel stays.
TEST_F(UnsavedWorkTest, HexEditsAreNotDroppedByAClick) {
  MakeMarkedTrdosDisk(Disk());
  Click(1, 2);
  Pane()->EditByte(5, 0xEE);
  Click(2, 2);
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(prompts.Messages()[0].buttons, PromptButtons::YesNoCancel);
  EXPECT_EQ(Map()->CurrentColumn(), 1) << "Cancel keeps the cell";
  EXPECT_TRUE(Pane()->IsChanged(5));
  EXPECT_EQ(Disk().GetSector(2, 0).Data[5], 0);

  prompts.QueueAnswer(PromptAnswer::No);
  Click(2, 2);
  EXPECT_EQ(Map()->CurrentColumn(), 2);
  EXPECT_EQ(Pane()->Data()[1], 1) << "slot 1 shown";
  EXPECT_EQ(Disk().GetSector(2, 0).Data[5], 0) << "No drops the bytes";

  Pane()->EditByte(6, 0xDD);
  prompts.QueueAnswer(PromptAnswer::Yes);
  window->OnMapContextMenu(0, 7);  // a right click asks too
  EXPECT_EQ(Disk().GetSector(2, 1).Data[6], 0xDD) << "Yes puts them into the cell they came from";
  EXPECT_EQ(Text("l2"), "7");
  EXPECT_FALSE(Find<QPushButton>("pnb1")->isEnabled());
}

// Loads and saves go to the top of "Последние образы" and into the
// settings; an image that is gone is removed with a message.
TEST_F(UnsavedWorkTest, RecentImagesInTheImageMenu) {
  window->StartUp(dir.Path(), {});
  window->RefreshItems("N1");
  EXPECT_FALSE(Action("Recent1Item")->isEnabled()) << "nothing loaded yet";
  const auto first = LoadSample("first.trd");
  const auto second = LoadSample("second.trd");
  EXPECT_EQ(window->RecentFiles(), (std::vector<std::string>{second.string(), first.string()}));
  EXPECT_EQ(store.Read("RecentFile1"), second.string());

  // A new window reads the list; its menu lists it and loads from it.
  TFMain next(prompts, store);
  next.StartUp(dir.Path(), {});
  auto* menu = next.findChild<QMenu*>("Recent1");
  emit menu->aboutToShow();
  ASSERT_EQ(menu->actions().size(), 2);
  EXPECT_EQ(menu->actions()[0]->text(), "&1 " + Q(second));
  store.Write("Directory_1", "/elsewhere/");
  menu->actions()[1]->trigger();
  EXPECT_EQ(next.CurImageName(), "first.trd");
  EXPECT_EQ(next.RecentFiles().front(), first.string());
  EXPECT_EQ(store.Read("Directory_1"), dir.Path().string() + "/") << "the folder follows the file";

  std::filesystem::remove(second);
  emit menu->aboutToShow();
  prompts.ClearRecords();
  menu->findChild<QAction*>("RecentFile2")->trigger();
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_TRUE(prompts.Messages()[0].text.contains("second.trd"));
  EXPECT_EQ(next.RecentFiles(), std::vector<std::string>{first.string()});
  EXPECT_EQ(LoadRecentFiles(store), std::vector<std::string>{first.string()});
  EXPECT_EQ(next.CurImageName(), "first.trd");
}

// Long texts in the status bar are shortened inside their panels, whole in
// the tooltips, and the panels never overlap.
TEST_F(UnsavedWorkTest, StatusPanelsNeverOverlap) {
  window->resize(700, 500);
  window->show();
  const QString path = "/home/user/disks/" + QString(120, 'x') + ".hfe";
  window->SetStatusText(0, PhraseShown({MessageId::StatusDriverLoadError}));
  window->SetStatusText(1, FixedText("Образ диска - " + path + " (Дорожек - 160)"));
  window->SetStatusText(2, FixedText("HFE: track 81 has no index pulse; the track was cut at 100000 bit cells"));
  QApplication::processEvents();
  QRect previous;
  for (int i = 0; i < 3; ++i) {
    auto* panel = Find<ElidedLabel>(QStringLiteral("sbPanel%1").arg(i).toLatin1().constData());
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(panel->geometry().intersects(previous)) << "panel " << i;
    EXPECT_LE(panel->geometry().right(), window->statusBar()->width());
    EXPECT_EQ(panel->toolTip(), window->StatusText(i));
    previous = panel->geometry();
  }
  auto* image = Find<ElidedLabel>("sbPanel1");
  EXPECT_TRUE(image->ShownText().contains(QChar(0x2026))) << image->ShownText().toStdString();
  EXPECT_LE(image->fontMetrics().horizontalAdvance(image->ShownText()), image->contentsRect().width());
  EXPECT_EQ(window->StatusText(1), "Образ диска - " + path + " (Дорожек - 160)");
}

}  // namespace
}  // namespace velloran::test
