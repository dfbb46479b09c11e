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
#include "ui/live_text.h"
#include "ui/main_window.h"
#include "ui/main_window_commands.h"
#include "ui/main_window_text.h"
#include "ui/prompts.h"

namespace velloran {

namespace {

std::filesystem::path PathOf(const QString& file) { return PathFromUtf8(file.toStdString()); }

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The formats the save dialog offers (udf has its own commands).
const ImageFormat* DialogFormat(const QString& file) {
  const ImageFormat* format = FindFormat(ExtensionKey(PathOf(file)));
  return format != nullptr && format->inDialogs ? format : nullptr;
}

// The dialogs of the program's own whole-disk file offer it alone.
QStringList UdfFilters() { return SplitFilterList(QString::fromStdString(FormatFilter(*FindFormat("UDF")))); }

// The prefix of a reader's failure in the log list.
QString LoadErrorPrefix(const std::string& key) {
  return MainWindowText("Ошибка загрузки %1 -").arg(QString::fromStdString(key));
}

// Lists in the log what a save allowed to lose has lost.
void LogLosses(TFMain& window, const QString& file, const SaveLosses& losses) {
  window.ClearLog();
  const QString shownFile = QDir::toNativeSeparators(file);
  window.AddLogLine([shownFile] { return MainWindowText("Образ сохранён с потерями - %1").arg(shownFile); }, false);
  for (const auto& loss : losses)
    window.AddLogLine([loss] { return MainWindowText("Потеряно: ") + QString::fromStdString(LossText(loss)); }, false);
}

// Asks for a file to load in the dialog `request` describes, and loads it.
void LoadChosenImage(TFMain& window, FileDialogRequest request) {
  if (!window.ConfirmUnsaved()) return;
  request.title = MainWindowText("Загрузить образ диска из файла..");
  request.folder = QString::fromStdString(window.Options().Directory_1);
  const FileDialogResult chosen = window.Questions().OpenFiles(request);
  if (!chosen.accepted || chosen.files.isEmpty() || !QFileInfo(chosen.files.front()).isFile()) return;
  window.OpenImage(chosen.files.front());
}

}  // namespace

void TFMain::RememberFolder(const std::string& key, const QString& file) {
  const std::string folder = FolderText(PathOf(QFileInfo(file).absolutePath()));
  Settings& settings = document_.Options();
  if (key == "Directory_1")
    settings.Directory_1 = folder;
  else if (key == "Directory_2")
    settings.Directory_2 = folder;
  else if (key == "HobetaDir")
    settings.HobetaDir = folder;
  else if (key == "SCLDir")
    settings.SCLDir = folder;
  SaveFolderSetting(document_.Store(), key, folder);
}

bool AskOverwrite(Prompts& prompts, const QString& file) {
  if (!QFileInfo::exists(file)) return true;
  return prompts.AskYesNo(MainWindowText("Файл уже существует! Перезаписать?"), MainWindowText("Внимание..!"));
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
    error = QtText(why);
    return false;
  }
  TZX_Disk incoming;
  Diagnostic readerError;
  if (!LoadImageAs(incoming, PathOf(file), *format, readerError)) {
    error = QtText(readerError);
    ClearLog();
    const std::string key(format->key);
    AddLogLine(
        [key, readerError] { return LoadErrorPrefix(key) + QLatin1Char('"') + QtText(readerError) + QLatin1Char('"'); },
        false);
    return false;
  }
  // What the reader could not keep, or noticed, is shown beside the file name.
  const std::vector<Diagnostic> notices = incoming.Notices;
  document_.ReplaceDisk(incoming);
  // The program's own file also names the owners of the sectors.
  if (format->key == "UDF") ReadCatalog(document_.Disk(), document_.Catalogs().OwnerCatalog);
  document_.SetFile(PathOf(QFileInfo(file).absoluteFilePath()));
  ShowImageStatus(QT_TRANSLATE_NOOP("velloran::TFMain", "Образ диска"));
  SetStatusText(2, [notices] {
    QStringList words;
    for (const Diagnostic& notice : notices) words << QtText(notice);
    return words.join(QLatin1Char(' '));
  });
  return true;
}

bool TFMain::OpenImage(const QString& file) {
  QString error;
  if (!LoadImageFile(file, error)) {
    emit LoadFinished(MainWindowText("Ошибка загрузки образа"));
    prompts_.Message(error, MainWindowText("Ошибка!"), PromptIcon::Error, PromptButtons::Ok);
    return false;
  }
  emit LoadFinished(StatusText(1));
  document_.MarkSaved();
  RememberFolder("Directory_1", file);
  document_.AddRecentFile(QFileInfo(file).absoluteFilePath().toStdString());
  panels_.FillComments();
  map_->ScrollToOrigin();
  panels_.ForgetShownCell();  // the new disk is shown whatever cell was shown before
  OnMapClick();
  ShowPage(1);
  RefreshState();
  return true;
}

void TFMain::LoadAndShow(const QString& file) {
  if (!QFileInfo(file).isFile()) {
    emit LoadFinished(MainWindowText("Ошибка загрузки образа"));
    prompts_.Error(MainWindowText("Файл %1 не найден!").arg(QDir::toNativeSeparators(file)));
    return;
  }
  if (ConfirmUnsaved()) OpenImage(file);
}

// "Загрузить образ": asks for an image file and loads it. The dialog opens
// on the table's first filter, the one that shows every image.
void OnLoadImage(TFMain& window) {
  FileDialogRequest request;
  request.filters = SplitFilterList(QString::fromStdString(LoadDialogFilter()));
  request.filterIndex = 1;
  LoadChosenImage(window, request);
}

// "Загрузить" (udf): loads the program's own whole-disk file.
void OnLoadUdf(TFMain& window) {
  FileDialogRequest request;
  request.filters = UdfFilters();
  request.defaultSuffix = QStringLiteral("udf");
  LoadChosenImage(window, request);
}

QString SaveFilterExtension(int filterIndex) { return Text(DefaultExtensionForFilter(filterIndex)); }

void OnSaveImage(TFMain& window) { SaveImageAs(window); }

// Asks for a file and saves the disk in the format of its extension.
bool SaveImageAs(TFMain& window) {
  Document& document = window.Doc();
  Prompts& prompts = window.Questions();
  TZX_Disk& disk = document.Disk();
  const QString name = window.CurImageName();
  FileDialogRequest request;
  request.filters = SplitFilterList(QString::fromStdString(SaveDialogFilter()));
  request.filterIndex = document.SaveFilter();
  request.title = MainWindowText("Сохранить образ диска в файл...");
  request.folder = QString::fromStdString(document.Options().Directory_2);
  request.fileName = name.left(std::max<qsizetype>(0, name.size() - 4));
  request.defaultSuffix = SaveFilterExtension(document.SaveFilter());
  request.suffixForFilter = &SaveFilterExtension;
  const FileDialogResult chosen = prompts.SaveFile(request);
  if (chosen.accepted) document.SetSaveFilter(chosen.filterIndex);
  if (!chosen.accepted || chosen.files.isEmpty() || chosen.files.front().isEmpty()) return false;
  const QString file = chosen.files.front();
  if (!AskOverwrite(prompts, file)) return false;
  const ImageFormat* format = DialogFormat(file);
  if (format == nullptr) return false;
  // A format that cannot hold all of the disk saves only when the user agrees.
  SaveOptions options;
  options.td0Compress = document.Options().TD0arch;
  const SaveLosses losses = FindSaveLosses(disk, *format);
  if (!losses.empty()) {
    const QString question = QtText(LossSummary(*format, losses)) + MainWindowText(".\nСохранить с потерями?");
    if (!prompts.AskYesNo(question, MainWindowText("Внимание..!"), PromptIcon::Warning)) return false;
    options.lossy = true;
  }

  Diagnostic failure;
  bool saved = false;
  if (format->key == "UDI") {
    disk.KeepRaw = !document.Options().RestoreTrack;
    Bytes bytes;
    if (!SaveUDIToBytes(disk, bytes)) {
      prompts.Message(MainWindowText("Ошибка создания образа UDI"), MainWindowText("Внимание..!"), PromptIcon::Warning,
                      PromptButtons::Ok);
      window.ClearLog();
      window.AddLogLine(DiagnosticShown(disk.LastError), true);
      return false;
    }
    std::string error;
    saved = WriteFileAtomic(PathOf(file), bytes, error);
    if (!saved) failure = {MessageId::Verbatim, {error}};
  } else {
    saved = SaveImage(disk, PathOf(file), options, failure);
  }
  if (!saved) {
    prompts.Error(failure.Empty() ? MainWindowText("Ошибка записи файла %1!").arg(QDir::toNativeSeparators(file))
                                  : QtText(failure));
    return false;
  }
  if (!losses.empty()) LogLosses(window, file, losses);
  window.RememberFolder("Directory_2", file);
  window.AfterSave(file);
  return true;
}

// "Сохранить" (udf): saves the whole disk in the program's own file.
void OnSaveUdf(TFMain& window) {
  const QString name = window.CurImageName();
  FileDialogRequest request;
  request.filters = UdfFilters();
  request.defaultSuffix = QStringLiteral("udf");
  request.title = MainWindowText("Сохранить образ диска в файл..");
  request.folder = QString::fromStdString(window.Options().Directory_1);
  request.fileName = name.left(std::max<qsizetype>(0, name.size() - 3)) + QStringLiteral("udf");
  const FileDialogResult chosen = window.Questions().SaveFile(request);
  if (!chosen.accepted || chosen.files.isEmpty() || chosen.files.front().isEmpty()) return;
  const QString file = chosen.files.front();
  if (!AskOverwrite(window.Questions(), file)) return;
  if (!SaveUDF(window.Disk(), PathOf(file))) {
    window.Questions().Error(QtText(window.Disk().LastError));
    return;
  }
  window.RememberFolder("Directory_1", file);
  window.AfterSave(file);
}

void TFMain::ShowImageStatus(const char* state) {
  const QString file = QDir::toNativeSeparators(QString::fromStdString(PathToUtf8(document_.File())));
  const int tracks = document_.Disk().CountTracks();
  SetStatusText(1, [state, file, tracks] {
    return MainWindowText("%1 - %2 (Дорожек - %3)").arg(MainWindowText(state), file).arg(tracks);
  });
}

// The saved file is now the disk's file: the status bar says so.
void TFMain::AfterSave(const QString& file) {
  document_.SetFile(PathOf(QFileInfo(file).absoluteFilePath()));
  ShowImageStatus(QT_TRANSLATE_NOOP("velloran::TFMain", "Образ диска сохранён"));
  SetStatusText(2, {});
  document_.AddRecentFile(QFileInfo(file).absoluteFilePath().toStdString());
  document_.MarkSaved();
  RefreshState();
}

void TFMain::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

// One local file dropped on the map is loaded; anything else beeps.
void TFMain::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  const QPoint onMap = map_->mapFrom(this, event->position().toPoint());
  event->acceptProposedAction();
  if (!map_->rect().contains(onMap) || urls.size() != 1 || !urls.front().isLocalFile()) {
    QApplication::beep();
    emit Beeped();
    return;
  }
  LoadAndShow(urls.front().toLocalFile());
}

}  // namespace velloran
