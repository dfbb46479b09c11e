// Every modal question and message of the application goes through Prompts:
// Qt dialogs in the application, scripted answers in the tests.
#pragma once

#include <QString>
#include <QStringList>

namespace velloran {

enum class PromptIcon { Information, Warning, Error, Question };
enum class PromptButtons { Ok, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Yes, No, Cancel };

// What an open or save dialog is asked for.
struct FileDialogRequest {
  QString title;
  QString folder;          // initial folder
  QString fileName;        // proposed name (save)
  QStringList filters;     // one entry per filter, e.g. "Файл образа TRDOS диска (*.trd)"
  int filterIndex = 1;     // 1-based selected filter
  QString defaultSuffix;   // added when the name has none
  bool multiple = false;   // open: several files
};

struct FileDialogResult {
  bool accepted = false;
  QStringList files;
  int filterIndex = 1;  // 1-based filter chosen by the user
};

class Prompts {
 public:
  virtual ~Prompts() = default;
  virtual PromptAnswer Message(const QString& text, const QString& caption, PromptIcon icon,
                               PromptButtons buttons) = 0;
  virtual FileDialogResult OpenFiles(const FileDialogRequest& request) = 0;
  virtual FileDialogResult SaveFile(const FileDialogRequest& request) = 0;
  virtual QString ChooseFolder(const QString& title, const QString& folder) = 0;
  // A text question with an edit box; nothing when cancelled.
  virtual bool AskText(const QString& caption, const QString& prompt, QString& text) = 0;
};

}  // namespace velloran
