// The file exchange commands of the TR-DOS catalog window: Hobeta and SCL
// export of the selected files, and adding files from Hobeta and SCL files.
#include <QFileInfo>

#include "common/file_io.h"
#include "common/utf8_path.h"
#include "trdos/add_files.h"
#include "trdos/catalog_view.h"
#include "trdos/hobeta.h"
#include "trdos/scl.h"
#include "ui/trdos_catalog_window.h"

namespace velloran {

namespace {

// Writes an exported file; a failure is told and ends the command.
bool WriteExport(Prompts& prompts, const std::filesystem::path& file, ByteSpan data) {
  std::string error;
  if (WriteFileAtomic(file, data, error)) return true;
  ShowMessage(prompts, ErrorMessage({MessageId::Verbatim, {error}}));
  return false;
}

}  // namespace

// "Сохранить hob": each selected file as a Hobeta file in a chosen folder,
// asking Yes/No/Cancel before replacing a file of the same name. A file with
// damaged sectors is saved as read, and its damaged sectors are named.
void TrdosCatalogWindow::OnSaveHobeta() {
  Prompts& prompts = prompts_;
  const QString chosen =
      prompts.ChooseFolder(tr("Директория сохранения Хобетных файлов!"), QtText(document_.Options().HobetaDir));
  if (chosen.isEmpty()) return;
  const std::filesystem::path folder = PathOf(chosen);
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) return;
  const TrdosCatalog& catalog = document_.Catalogs().SharedCatalog;
  for (int row : rows) {
    const int e = RowToEntry(catalog, row, ShowDeleted());
    if (e < 0) continue;
    const TrdosEntry& entry = catalog.Entries[e];
    const HobetaFile file = BuildHobetaFile(document_.Disk(), entry);
    const std::string name = HobetaFileName(entry);
    const std::filesystem::path target = folder / PathFromUtf8(name);
    std::error_code ignored;
    if (std::filesystem::exists(target, ignored)) {
      const PromptAnswer answer = ShowMessage(prompts, HobetaOverwriteQuestion(name));
      if (answer == PromptAnswer::Cancel) return;
      if (answer == PromptAnswer::No) continue;
    }
    if (!WriteExport(prompts, target, file.Data)) return;
    if (!file.Damaged.empty()) ShowMessage(prompts, DamagedFileMessage(name, file.Damaged));
  }
  RememberFolderSetting(document_, "HobetaDir", folder);
}

// "Сохранить scl": the selected files, in list order, as one SCL file.
void TrdosCatalogWindow::OnSaveScl() {
  Prompts& prompts = prompts_;
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) {
    ShowMessage(prompts, NoFilesSelectedMessage());
    return;
  }
  FileDialogRequest request;
  request.title = tr("Сохранить файл(ы) в SCL..!");
  request.folder = QtText(document_.Options().SCLDir);
  request.filters = SplitFilterList(tr("Файл SCL (*.scl)|*.scl"));
  request.defaultSuffix = QStringLiteral("scl");
  const FileDialogResult answer = prompts.SaveFile(request);
  if (!answer.accepted || answer.files.isEmpty() || answer.files.front().isEmpty()) return;
  const QString fileName = answer.files.front();
  if (QFileInfo::exists(fileName) &&
      ShowMessage(prompts, SclOverwriteQuestion(fileName.toStdString())) != PromptAnswer::Yes)
    return;

  const TrdosCatalog& catalog = document_.Catalogs().SharedCatalog;
  std::vector<TrdosEntry> entries;
  for (int row : rows) {
    const int e = RowToEntry(catalog, row, ShowDeleted());
    if (e >= 0) entries.push_back(catalog.Entries[e]);
  }
  const SclFile file = BuildSclFile(document_.Disk(), entries);
  if (file.Failure) {
    ShowMessage(prompts, SclSectorErrorMessage(*file.Failure));
    return;
  }
  if (!WriteExport(prompts, PathOf(fileName), file.Data)) return;
  RememberFolderSetting(document_, "SCLDir", PathOf(QFileInfo(fileName).absolutePath()));
}

// "Добавить файл(ы)": the files of chosen Hobeta and SCL files go onto the disk.
void TrdosCatalogWindow::OnAddFiles() {
  FileDialogRequest request;
  request.title = tr("Добавить файл(ы) в образ..");
  request.folder = QtText(document_.Options().SCLDir);
  request.filters = SplitFilterList(
      tr("Файлы SCL (*.scl)|*.scl|Файлы Hobeta (*.$*)|*.$*|Файлы SCL и Hobeta (*.scl *.$*)|*.scl;*.$*"));
  request.multiple = true;
  const FileDialogResult answer = prompts_.OpenFiles(request);
  if (!answer.accepted || answer.files.isEmpty()) return;
  std::vector<std::filesystem::path> files;
  for (const QString& file : answer.files) files.push_back(PathOf(file));
  Finish(AddFiles(document_.Catalogs(), document_.Disk(), files));
  RememberFolderSetting(document_, "SCLDir", PathOf(QFileInfo(answer.files.front()).absolutePath()));
}

}  // namespace velloran
