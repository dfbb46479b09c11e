// Every modal question and message of the application goes through Prompts:
// Qt dialogs in the application, scripted answers in the tests.
#pragma once

#include <functional>

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class QDialog;

namespace velloran {

enum class PromptIcon { None, Information, Warning, Error, Question };
enum class PromptButtons { Ok, YesNo, YesNoCancel, SaveDiscardCancel };
enum class PromptAnswer { Ok, Yes, No, Cancel, Save, Discard };

// What an open or save dialog is asked for.
struct FileDialogRequest {
  QString title;
  QString folder;    // initial folder
  QString fileName;  // proposed name (save)
  // One entry per filter, description and patterns as in a filter list:
  // "TR-DOS sector dump (*.trd)|*.trd". SplitFilterList makes them.
  QStringList filters;
  int filterIndex = 1;    // 1-based selected filter
  QString defaultSuffix;  // added when the name has none
  bool multiple = false;  // open: several files
  // Called when the user picks another file type (1-based index); returns the
  // default suffix for it. Empty function: the suffix stays.
  std::function<QString(int)> suffixForFilter;
};

struct FileDialogResult {
  bool accepted = false;
  QStringList files;
  int filterIndex = 1;  // 1-based filter chosen by the user
};

// A message with one edit box (disk name, restore letter and the like).
struct TextRequest {
  QString caption;
  QString text;       // the message above the edit box
  QString label;      // caption of the edit box, e.g. "Имя:"
  int maxLength = 0;  // 0 = no limit
  QString acceptButton = QStringLiteral("&Ok");
  QString cancelButton;  // empty = the dialog has no cancel button
};

// "A|*.a|B|*.b;*.c" -> {"A|*.a", "B|*.b;*.c"}
QStringList SplitFilterList(const QString& filterList);

class Prompts {
 public:
  virtual ~Prompts() = default;
  virtual PromptAnswer Message(const QString& text, const QString& caption, PromptIcon icon, PromptButtons buttons) = 0;
  virtual FileDialogResult OpenFiles(const FileDialogRequest& request) = 0;
  virtual FileDialogResult SaveFile(const FileDialogRequest& request) = 0;
  virtual QString ChooseFolder(const QString& title, const QString& folder) = 0;
  // Asks for a text; `text` holds the starting value and receives the answer.
  // False when the dialog was closed without accepting.
  virtual bool AskText(const TextRequest& request, QString& text) = 0;
  // Shows one of the application's own modal windows (settings, sector
  // address, catalog entry editor...) and returns whether it was accepted.
  virtual bool Run(QDialog& dialog) = 0;

  // Shorthands for the common cases.
  void Error(const QString& text, const QString& caption = QCoreApplication::translate("Prompts", "Ошибка!"));
  bool AskYesNo(const QString& text, const QString& caption, PromptIcon icon = PromptIcon::Question);
};

}  // namespace velloran
