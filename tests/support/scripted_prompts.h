// Prompts that answer from prepared queues and record every question, so
// that tests can run the windows without anybody at the screen.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "ui/prompts.h"

namespace velloran {

class ScriptedPrompts : public Prompts {
 public:
  enum class Kind { Message, OpenFiles, SaveFile, ChooseFolder, AskText, Run };

  // One question as it was put.
  struct Record {
    Kind kind = Kind::Message;
    QString text;     // message text, dialog title, text question, window caption
    QString caption;  // message caption
    PromptIcon icon = PromptIcon::None;
    PromptButtons buttons = PromptButtons::Ok;
    FileDialogRequest file;
    TextRequest textRequest;
    QString startText;      // the edit box's starting value
    QString dialogName;     // objectName of a window shown with Run
    bool answered = false;  // false: nothing was queued, the default was used
  };

  // What a window shown with Run does: it gets the window (shown, not modal)
  // and works its controls; the window counts as accepted when the script
  // left it accepted (a click on its accept button, for example).
  using WindowScript = std::function<void(QDialog&)>;

  void QueueAnswer(PromptAnswer answer) { answers_.push_back(answer); }
  void QueueOpen(const QStringList& files, int filterIndex = 1);
  void QueueSave(const QString& file, int filterIndex = 1);
  void QueueCancelFile();
  void QueueFolder(const QString& folder) { folders_.push_back(folder); }
  // A text answer; nothing = the dialog is closed without accepting.
  void QueueText(std::optional<QString> text) { texts_.push_back(std::move(text)); }
  void QueueWindow(WindowScript script) { windows_.push_back(std::move(script)); }

  // Every question put so far, in order.
  const std::vector<Record>& Records() const { return records_; }
  void ClearRecords() { records_.clear(); }
  // The messages only (kind Message).
  std::vector<Record> Messages() const;
  // Whether every queued answer has been used.
  bool AllUsed() const;

  PromptAnswer Message(const QString& text, const QString& caption, PromptIcon icon, PromptButtons buttons) override;
  FileDialogResult OpenFiles(const FileDialogRequest& request) override;
  FileDialogResult SaveFile(const FileDialogRequest& request) override;
  QString ChooseFolder(const QString& title, const QString& folder) override;
  bool AskText(const TextRequest& request, QString& text) override;
  bool Run(QDialog& dialog) override;

 private:
  FileDialogResult NextFile(Kind kind, const FileDialogRequest& request);

  std::deque<PromptAnswer> answers_;
  std::deque<FileDialogResult> files_;
  std::deque<QString> folders_;
  std::deque<std::optional<QString>> texts_;
  std::deque<WindowScript> windows_;
  std::vector<Record> records_;
};

}  // namespace velloran
