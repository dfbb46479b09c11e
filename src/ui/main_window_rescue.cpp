// The rescue commands of the main window: the rotation-aware reading of the
// "Диск" menu, and merging the disk in memory with dumps of the same disk.
#include <memory>
#include <vector>

#include <QFileInfo>

#include "engine/operation_start.h"
#include "formats/format_table.h"
#include "model/merge.h"
#include "ui/catalog_window_support.h"
#include "ui/main_window.h"
#include "ui/main_window_commands.h"
#include "ui/main_window_text.h"
#include "ui/prompts.h"

namespace velloran {

namespace {

// The filter entry that takes every image format: the one with several patterns.
int CombinedFilterIndex(const QStringList& filters) {
  for (int i = 0; i < filters.size(); ++i)
    if (filters[i].section(QLatin1Char('|'), 1).contains(QLatin1Char(';'))) return i + 1;
  return 1;
}

}  // namespace

// "Быстрое чтение диска": each track in about one turn, then re-reads of the
// sectors that failed.
void OnFastRead(TFMain& window) { window.RunDiskCommand(static_cast<int>(DiskCommand::FastRead)); }

// "Объединить с другим образом": the disk in memory and the chosen images
// become one disk, each sector from the first of them that holds it good.
// What came from where goes to the log; good copies that differ are named
// there and announced.
void OnMergeImages(TFMain& window) {
  Prompts& prompts = window.Questions();
  FileDialogRequest request;
  request.filters = SplitFilterList(QString::fromStdString(LoadDialogFilter()));
  request.filterIndex = CombinedFilterIndex(request.filters);
  request.title = MainWindowText("Объединить с образом диска из файла..");
  request.folder = QString::fromStdString(window.Options().Directory_1);
  request.multiple = true;
  const FileDialogResult chosen = prompts.OpenFiles(request);
  if (!chosen.accepted || chosen.files.isEmpty()) return;

  TZX_Disk& disk = window.Disk();
  const QString name = window.CurImageName();
  std::vector<std::unique_ptr<TZX_Disk>> others;
  std::vector<const TZX_Disk*> inputs = {&disk};
  std::vector<std::string> names = {name.isEmpty() ? MainWindowText("образ в памяти").toStdString()
                                                   : name.toStdString()};
  for (const QString& file : chosen.files) {
    others.push_back(std::make_unique<TZX_Disk>());
    if (Diagnostic failure; !LoadImage(*others.back(), PathOf(file), failure)) {
      prompts.Error(QtText(failure));
      return;
    }
    inputs.push_back(others.back().get());
    names.push_back(QFileInfo(file).fileName().toStdString());
  }
  window.RememberFolder("Directory_1", chosen.files.front());

  const MergeReport report = MergeDisks(inputs, disk);
  // The sectors may have changed under the catalog that named their owners.
  window.Catalogs().OwnerCatalog = TrdosCatalog{};
  window.RepaintMap();
  window.OnMapClick();  // the panels show the merged sector (and its track's log)
  window.ClearLog();
  for (const Phrase& line : MergeReportLines(report, names)) window.AddLogLine(PhraseShown(line), false);
  window.ShowPage(0);
  if (!report.conflicts.empty())
    prompts.Message(MainWindowText("Хорошие копии некоторых секторов различаются: взяты копии из первого образа, "
                                   "где они хороши. Подробности - в журнале."),
                    MainWindowText("Внимание..!"), PromptIcon::Warning, PromptButtons::Ok);
}

}  // namespace velloran
