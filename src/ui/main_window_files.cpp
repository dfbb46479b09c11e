// Loading and saving images: the common load routine, the load and save
// commands, the udf commands, dropped files.
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "common/file_io.h"
#include "formats/format_table.h"
#include "formats/udf.h"
#include "formats/udi.h"
#include "ui/disk_map.h"
#include "ui/main_window.h"
#include "ui/prompts.h"

namespace velloran {

namespace {

const QString kUdfFilter = QStringLiteral("Universal Disk Format (*.udf)|*.udf");
const QString kWarningCaption = QStringLiteral("Внимание..!");

std::filesystem::path PathOf(const QString& file) { return std::filesystem::path(file.toStdString()); }

// The formats the load and save dialogs offer (udf has its own commands).
const ImageFormat* DialogFormat(const QString& file) {
  const ImageFormat* format = FindFormat(ExtensionKey(PathOf(file)));
  return format != nullptr && !format->filter.empty() ? format : nullptr;
}

// The prefix of a reader's failure in the log list.
QString LoadErrorPrefix(std::string_view key) {
  if (key == "UDI") return QStringLiteral("Error load UDI - ");
  return QStringLiteral("Error load %1 -").arg(QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size())));
}

QString ImageStatus(const QString& file, int tracks) {
  return QStringLiteral("Disk Image - %1 (Дорожек - %2)")
      .arg(QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath()))
      .arg(tracks);
}

}  // namespace

void TFMain::RememberFolder(const std::string& key, const QString& file) {
  const std::string folder = FolderText(PathOf(QFileInfo(file).absolutePath()));
  if (key == "Directory_1")
    settings_.Directory_1 = folder;
  else if (key == "Directory_2")
    settings_.Directory_2 = folder;
  else if (key == "HobetaDir")
    settings_.HobetaDir = folder;
  else if (key == "SCLDir")
    settings_.SCLDir = folder;
  SaveFolderSetting(store_, key, folder);
}

bool TFMain::AskOverwrite(const QString& file) {
  if (!QFileInfo::exists(file)) return true;
  return prompts_.AskYesNo(QStringLiteral("Файл уже существует! Перезаписать?"), kWarningCaption);
}

// The common load routine: picks the reader by the file's extension.
bool TFMain::LoadImageFile(const QString& file, QString& error) {
  SetStatusText(1, {});
  SetStatusText(2, {});
  QString warning;
  disk_.LastError.clear();
  const ImageFormat* format = DialogFormat(file);
  if (format == nullptr) {
    error = QString::fromUtf8(kUnsupportedFileType.data(), static_cast<qsizetype>(kUnsupportedFileType.size()));
    return false;
  }
  // Another disk replaces the one whose catalog named the sectors' owners.
  catalogs_.OwnerCatalog = TrdosCatalog{};
  std::string readerError;
  if (LoadImage(disk_, PathOf(file), readerError)) {
    if (format->key == "UDI" && !disk_.Comments.empty()) FillComments();
    if (format->key == "TD0" || format->key == "PRO" || format->key == "SCL" || format->key == "KDI" ||
        format->key == "HFE")
      warning = QString::fromStdString(disk_.LastError);
    curImageName_ = QFileInfo(file).fileName();
    SetStatusText(1, ImageStatus(file, disk_.CountTracks()));
    SetStatusText(2, warning);
    return true;
  }
  error = QString::fromStdString(readerError);
  ClearLog();
  AddLogLine(LoadErrorPrefix(format->key) + QLatin1Char('"') + error + QLatin1Char('"'), false);
  SetStatusText(1, QStringLiteral("Disk Image load error"));
  SetStatusText(2, warning);
  return false;
}

// After a load: show the new disk, or the error on an emptied disk.
void TFMain::AfterLoad(bool loaded, const QString& error, bool rememberFolder, const QString& file) {
  emit LoadFinished(StatusText(1));
  if (!loaded) {
    disk_.ClearDisk();
    lb1_->clear();
    prompts_.Message(error, QStringLiteral("Ошибка!"), PromptIcon::Error, PromptButtons::Ok);
    return;
  }
  if (rememberFolder) RememberFolder("Directory_1", file);
  FillComments();
  zxd_->ScrollToOrigin();
  zxdClick();
  ShowPage(1);
}

// Loads a file named on the command line, handed over by a second start or
// dropped on the map.
void TFMain::LoadAndShow(const QString& file) {
  QString error;
  if (!QFileInfo(file).isFile()) {
    // Never show a missing file as a loaded empty disk.
    SetStatusText(1, QStringLiteral("Disk Image load error"));
    SetStatusText(2, {});
    error = QStringLiteral("Файл %1 не найден!").arg(QDir::toNativeSeparators(file));
    AfterLoad(false, error, false, file);
    return;
  }
  const bool loaded = LoadImageFile(file, error);
  AfterLoad(loaded, error, false, file);
}

// "Загрузить образ": asks for an image file and loads it.
void TFMain::N31Click() {
  FileDialogRequest request;
  request.filters = SplitFilterList(QString::fromStdString(LoadDialogFilter()));
  request.filterIndex = 8;
  request.title = QStringLiteral("Загрузить образ диска из файла..");
  request.folder = QString::fromStdString(settings_.Directory_1);
  const FileDialogResult chosen = prompts_.OpenFiles(request);
  if (!chosen.accepted || chosen.files.isEmpty() || !QFileInfo(chosen.files.front()).isFile()) return;
  const QString file = chosen.files.front();
  QString error;
  const bool loaded = LoadImageFile(file, error);
  AfterLoad(loaded, error, true, file);
}

QString TFMain::sd2TypeChange(int filterIndex) {
  const std::string_view extension = DefaultExtensionForFilter(filterIndex);
  return QString::fromUtf8(extension.data(), static_cast<qsizetype>(extension.size()));
}

// "Сохранить образ": asks for a file and saves the disk in the format of its extension.
void TFMain::N32Click() {
  FileDialogRequest request;
  request.filters = SplitFilterList(QString::fromStdString(SaveDialogFilter()));
  request.filterIndex = saveFilterIndex_;
  request.title = QStringLiteral("Сохранить образ диска в файл...");
  request.folder = QString::fromStdString(settings_.Directory_2);
  request.fileName = curImageName_.left(std::max<qsizetype>(0, curImageName_.size() - 4));
  request.defaultSuffix = sd2TypeChange(saveFilterIndex_);
  request.suffixForFilter = &TFMain::sd2TypeChange;
  const FileDialogResult chosen = prompts_.SaveFile(request);
  if (chosen.accepted) saveFilterIndex_ = chosen.filterIndex;
  if (!chosen.accepted || chosen.files.isEmpty() || chosen.files.front().isEmpty()) return;
  const QString file = chosen.files.front();
  if (!AskOverwrite(file)) return;
  const ImageFormat* format = DialogFormat(file);
  if (format == nullptr) return;
  // A format that cannot hold all of the disk saves only when the user agrees.
  SaveOptions options;
  options.td0Compress = settings_.TD0arch;
  const SaveLosses losses = FindSaveLosses(disk_, *format);
  if (!losses.empty()) {
    const QString question =
        QString::fromStdString(LossSummary(*format, losses)) + QStringLiteral(".\nСохранить с потерями?");
    if (!prompts_.AskYesNo(question, kWarningCaption, PromptIcon::Warning)) return;
    options.lossy = true;
  }

  std::string error;
  bool saved = false;
  if (format->key == "UDI") {
    disk_.KeepRaw = settings_.RestoreTrack ? 0 : 1;
    Bytes bytes;
    if (!SaveUDIToBytes(disk_, bytes)) {
      prompts_.Message(QStringLiteral("Ошибка создания образа UDI"), kWarningCaption, PromptIcon::Warning,
                       PromptButtons::Ok);
      ClearLog();
      AddLogLine(QStringLiteral("Ошибка в дорожке - %1 / Сектор - %2").arg(disk_.ErrTrack).arg(disk_.ErrSector), true);
      return;
    }
    saved = WriteFileAtomic(PathOf(file), bytes, error);
  } else {
    saved = SaveImage(disk_, PathOf(file), options, error);
  }
  if (!saved) {
    prompts_.Error(error.empty() ? QStringLiteral("Ошибка записи файла %1!").arg(QDir::toNativeSeparators(file))
                                 : QString::fromStdString(error));
    return;
  }
  if (!losses.empty()) LogLosses(file, losses);
  curImageName_ = QFileInfo(file).fileName();
  RememberFolder("Directory_2", file);
}

// Lists in the log what a save allowed to lose has lost.
void TFMain::LogLosses(const QString& file, const SaveLosses& losses) {
  ClearLog();
  AddLogLine(QStringLiteral("Образ сохранён с потерями - %1").arg(QDir::toNativeSeparators(file)), false);
  for (const auto& loss : losses)
    AddLogLine(QStringLiteral("Потеряно: ") + QString::fromStdString(LossText(loss)), false);
}

// "Загрузить" (udf): loads the tool's own whole-disk file.
void TFMain::N4Click() {
  FileDialogRequest request;
  request.filters = SplitFilterList(kUdfFilter);
  request.defaultSuffix = QStringLiteral("udf");
  request.title = QStringLiteral("Загрузить образ диска из файла..");
  request.folder = QString::fromStdString(settings_.Directory_1);
  const FileDialogResult chosen = prompts_.OpenFiles(request);
  if (!chosen.accepted || chosen.files.isEmpty() || !QFileInfo(chosen.files.front()).isFile()) return;
  const QString file = chosen.files.front();
  if (!LoadUDF(disk_, PathOf(file))) {
    SetStatusText(1, QStringLiteral("Disk Image load error"));
    AfterLoad(false, QString::fromStdString(disk_.LastError), false, file);
    return;
  }
  curImageName_ = QFileInfo(file).fileName();
  RememberFolder("Directory_1", file);
  SetStatusText(1, ImageStatus(file, disk_.CountTracks()));
  SetStatusText(2, {});
  emit LoadFinished(StatusText(1));
  zxd_->ScrollToOrigin();
  lb1_->clear();
  ReadCatalog(disk_, catalogs_.OwnerCatalog);
  zxdClick();
  FillComments();
  ShowPage(1);
}

// "Сохранить" (udf): saves the whole disk in the tool's own file.
void TFMain::N6Click() {
  FileDialogRequest request;
  request.filters = SplitFilterList(kUdfFilter);
  request.defaultSuffix = QStringLiteral("udf");
  request.title = QStringLiteral("Сохранить образ диска в файл..");
  request.folder = QString::fromStdString(settings_.Directory_1);
  request.fileName = curImageName_.left(std::max<qsizetype>(0, curImageName_.size() - 3)) + QStringLiteral("udf");
  const FileDialogResult chosen = prompts_.SaveFile(request);
  if (!chosen.accepted || chosen.files.isEmpty() || chosen.files.front().isEmpty()) return;
  const QString file = chosen.files.front();
  if (!AskOverwrite(file)) return;
  if (!SaveUDF(disk_, PathOf(file))) {
    prompts_.Error(QString::fromStdString(disk_.LastError));
    return;
  }
  curImageName_ = QFileInfo(file).fileName();
  RememberFolder("Directory_1", file);
}

void TFMain::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

// One local file dropped on the map is loaded; anything else beeps.
void TFMain::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  const QPoint onMap = zxd_->mapFrom(this, event->position().toPoint());
  event->acceptProposedAction();
  if (!zxd_->rect().contains(onMap) || urls.size() != 1 || !urls.front().isLocalFile()) {
    QApplication::beep();
    emit Beeped();
    return;
  }
  LoadAndShow(urls.front().toLocalFile());
}

}  // namespace velloran
