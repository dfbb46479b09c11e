// Loading and saving images: the common load routine, the load and save
// commands, the udf commands, dropped files.
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>

#include "common/file_io.h"
#include "common/utf8_path.h"
#include "formats/format_table.h"
#include "formats/udf.h"
#include "formats/udi.h"
#include "ui/disk_map.h"
#include "ui/main_window.h"
#include "ui/prompts.h"

namespace velloran {

namespace {

const QString kUdfFilter = QStringLiteral("Universal Disk Format (*.udf)|*.udf");

std::filesystem::path PathOf(const QString& file) { return PathFromUtf8(file.toStdString()); }

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The formats the save dialog offers (udf has its own commands).
const ImageFormat* DialogFormat(const QString& file) {
  const ImageFormat* format = FindFormat(ExtensionKey(PathOf(file)));
  return format != nullptr && !format->description.empty() ? format : nullptr;
}

// The prefix of a reader's failure in the log list.
QString LoadErrorPrefix(const std::string& key) {
  return QCoreApplication::translate("velloran::TFMain", "Ошибка загрузки %1 -").arg(QString::fromStdString(key));
}

QString ImageStatus(const QString& prefix, const QString& file, int tracks) {
  return QCoreApplication::translate("velloran::TFMain", "%1 - %2 (Дорожек - %3)")
      .arg(prefix, QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath()))
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
  return prompts_.AskYesNo(tr("Файл уже существует! Перезаписать?"), tr("Внимание..!"));
}

void TFMain::ReplaceDisk(TZX_Disk& incoming) {
  incoming.ShowDisabledSectors = disk_.ShowDisabledSectors;
  incoming.SetObserver(zxd_);
  disk_ = std::move(incoming);
  catalogs_.OwnerCatalog = TrdosCatalog{};
}

// The common load routine: the reader of the format the file's contents show
// fills a disk of its own, which replaces the disk in memory only when the
// whole file read.
bool TFMain::LoadImageFile(const QString& file, QString& error) {
  const ImageFormat* format = DetectFormat(PathOf(file)).format;
  if (format == nullptr) {
    TZX_Disk unread;
    Diagnostic why;
    LoadImage(unread, PathOf(file), why);  // says why no format takes it
    error = QString::fromStdString(DiagnosticText(why));
    return false;
  }
  TZX_Disk incoming;
  Diagnostic readerError;
  if (!LoadImageAs(incoming, PathOf(file), *format, readerError)) {
    error = QString::fromStdString(DiagnosticText(readerError));
    ClearLog();
    AddLogLine(LoadErrorPrefix(std::string(format->key)) + QLatin1Char('"') + error + QLatin1Char('"'), false);
    return false;
  }
  // What the reader could not keep, or noticed, is shown beside the file name.
  QStringList notices;
  for (const auto& notice : incoming.Notices) notices << QString::fromStdString(DiagnosticText(notice));
  const QString warning = notices.join(QLatin1Char(' '));
  ReplaceDisk(incoming);
  // The program's own file also names the owners of the sectors.
  if (format->key == "UDF") ReadCatalog(disk_, catalogs_.OwnerCatalog);
  curImageName_ = QFileInfo(file).fileName();
  SetStatusText(1, ImageStatus(tr("Образ диска"), file, disk_.CountTracks()));
  SetStatusText(2, warning);
  return true;
}

bool TFMain::OpenImage(const QString& file) {
  QString error;
  if (!LoadImageFile(file, error)) {
    emit LoadFinished(tr("Ошибка загрузки образа"));
    prompts_.Message(error, tr("Ошибка!"), PromptIcon::Error, PromptButtons::Ok);
    return false;
  }
  emit LoadFinished(StatusText(1));
  MarkSaved();
  RememberFolder("Directory_1", file);
  AddRecentFile(file);
  FillComments();
  zxd_->ScrollToOrigin();
  shownColumn_ = -1;  // the new disk is shown whatever cell was shown before
  zxdClick();
  ShowPage(1);
  RefreshState();
  return true;
}

void TFMain::LoadAndShow(const QString& file) {
  if (!QFileInfo(file).isFile()) {
    emit LoadFinished(tr("Ошибка загрузки образа"));
    prompts_.Error(tr("Файл %1 не найден!").arg(QDir::toNativeSeparators(file)));
    return;
  }
  if (ConfirmUnsaved()) OpenImage(file);
}

// "Загрузить образ": asks for an image file and loads it. The dialog opens
// on the table's first filter, the one that shows every image.
void TFMain::N31Click() {
  if (!ConfirmUnsaved()) return;
  FileDialogRequest request;
  request.filters = SplitFilterList(QString::fromStdString(LoadDialogFilter()));
  request.filterIndex = 1;
  request.title = tr("Загрузить образ диска из файла..");
  request.folder = QString::fromStdString(settings_.Directory_1);
  const FileDialogResult chosen = prompts_.OpenFiles(request);
  if (!chosen.accepted || chosen.files.isEmpty() || !QFileInfo(chosen.files.front()).isFile()) return;
  OpenImage(chosen.files.front());
}

// "Загрузить" (udf): loads the program's own whole-disk file.
void TFMain::N4Click() {
  if (!ConfirmUnsaved()) return;
  FileDialogRequest request;
  request.filters = SplitFilterList(kUdfFilter);
  request.defaultSuffix = QStringLiteral("udf");
  request.title = tr("Загрузить образ диска из файла..");
  request.folder = QString::fromStdString(settings_.Directory_1);
  const FileDialogResult chosen = prompts_.OpenFiles(request);
  if (!chosen.accepted || chosen.files.isEmpty() || !QFileInfo(chosen.files.front()).isFile()) return;
  OpenImage(chosen.files.front());
}

QString TFMain::sd2TypeChange(int filterIndex) { return Text(DefaultExtensionForFilter(filterIndex)); }

void TFMain::N32Click() { SaveImageAs(); }

// Asks for a file and saves the disk in the format of its extension.
bool TFMain::SaveImageAs() {
  FileDialogRequest request;
  request.filters = SplitFilterList(QString::fromStdString(SaveDialogFilter()));
  request.filterIndex = saveFilterIndex_;
  request.title = tr("Сохранить образ диска в файл...");
  request.folder = QString::fromStdString(settings_.Directory_2);
  request.fileName = curImageName_.left(std::max<qsizetype>(0, curImageName_.size() - 4));
  request.defaultSuffix = sd2TypeChange(saveFilterIndex_);
  request.suffixForFilter = &TFMain::sd2TypeChange;
  const FileDialogResult chosen = prompts_.SaveFile(request);
  if (chosen.accepted) saveFilterIndex_ = chosen.filterIndex;
  if (!chosen.accepted || chosen.files.isEmpty() || chosen.files.front().isEmpty()) return false;
  const QString file = chosen.files.front();
  if (!AskOverwrite(file)) return false;
  const ImageFormat* format = DialogFormat(file);
  if (format == nullptr) return false;
  // A format that cannot hold all of the disk saves only when the user agrees.
  SaveOptions options;
  options.td0Compress = settings_.TD0arch;
  const SaveLosses losses = FindSaveLosses(disk_, *format);
  if (!losses.empty()) {
    const QString question =
        QString::fromStdString(PhraseText(LossSummary(*format, losses))) + tr(".\nСохранить с потерями?");
    if (!prompts_.AskYesNo(question, tr("Внимание..!"), PromptIcon::Warning)) return false;
    options.lossy = true;
  }

  Diagnostic failure;
  bool saved = false;
  if (format->key == "UDI") {
    disk_.KeepRaw = settings_.RestoreTrack ? 0 : 1;
    Bytes bytes;
    if (!SaveUDIToBytes(disk_, bytes)) {
      prompts_.Message(tr("Ошибка создания образа UDI"), tr("Внимание..!"), PromptIcon::Warning, PromptButtons::Ok);
      ClearLog();
      AddLogLine(QString::fromStdString(DiagnosticText(disk_.LastError)), true);
      return false;
    }
    std::string error;
    saved = WriteFileAtomic(PathOf(file), bytes, error);
    if (!saved) failure = {MessageId::Verbatim, {error}};
  } else {
    saved = SaveImage(disk_, PathOf(file), options, failure);
  }
  if (!saved) {
    prompts_.Error(failure.Empty() ? tr("Ошибка записи файла %1!").arg(QDir::toNativeSeparators(file))
                                   : QString::fromStdString(DiagnosticText(failure)));
    return false;
  }
  if (!losses.empty()) LogLosses(file, losses);
  RememberFolder("Directory_2", file);
  AfterSave(file);
  return true;
}

// Lists in the log what a save allowed to lose has lost.
void TFMain::LogLosses(const QString& file, const SaveLosses& losses) {
  ClearLog();
  AddLogLine(tr("Образ сохранён с потерями - %1").arg(QDir::toNativeSeparators(file)), false);
  for (const auto& loss : losses) AddLogLine(tr("Потеряно: ") + QString::fromStdString(LossText(loss)), false);
}

// "Сохранить" (udf): saves the whole disk in the program's own file.
void TFMain::N6Click() {
  FileDialogRequest request;
  request.filters = SplitFilterList(kUdfFilter);
  request.defaultSuffix = QStringLiteral("udf");
  request.title = tr("Сохранить образ диска в файл..");
  request.folder = QString::fromStdString(settings_.Directory_1);
  request.fileName = curImageName_.left(std::max<qsizetype>(0, curImageName_.size() - 3)) + QStringLiteral("udf");
  const FileDialogResult chosen = prompts_.SaveFile(request);
  if (!chosen.accepted || chosen.files.isEmpty() || chosen.files.front().isEmpty()) return;
  const QString file = chosen.files.front();
  if (!AskOverwrite(file)) return;
  if (!SaveUDF(disk_, PathOf(file))) {
    prompts_.Error(QString::fromStdString(DiagnosticText(disk_.LastError)));
    return;
  }
  RememberFolder("Directory_1", file);
  AfterSave(file);
}

// The saved file is now the disk's file: the status bar says so.
void TFMain::AfterSave(const QString& file) {
  curImageName_ = QFileInfo(file).fileName();
  SetStatusText(1, ImageStatus(tr("Образ диска сохранён"), file, disk_.CountTracks()));
  SetStatusText(2, {});
  AddRecentFile(file);
  MarkSaved();
  RefreshState();
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
