#include "support/scripted_prompts.h"

#include <QDialog>

namespace velloran {

void ScriptedPrompts::QueueOpen(const QStringList& files, int filterIndex) {
  files_.push_back({true, files, filterIndex});
}

void ScriptedPrompts::QueueSave(const QString& file, int filterIndex) { files_.push_back({true, {file}, filterIndex}); }

void ScriptedPrompts::QueueCancelFile() { files_.push_back({false, {}, 1}); }

std::vector<ScriptedPrompts::Record> ScriptedPrompts::Messages() const {
  std::vector<Record> messages;
  for (const auto& record : records_)
    if (record.kind == Kind::Message) messages.push_back(record);
  return messages;
}

bool ScriptedPrompts::AllUsed() const {
  return answers_.empty() && files_.empty() && folders_.empty() && texts_.empty() && windows_.empty();
}

// Without a queued answer a message gets its safe answer: OK, No or Cancel.
PromptAnswer ScriptedPrompts::Message(const QString& text, const QString& caption, PromptIcon icon,
                                      PromptButtons buttons) {
  Record record;
  record.kind = Kind::Message;
  record.text = text;
  record.caption = caption;
  record.icon = icon;
  record.buttons = buttons;
  PromptAnswer answer = buttons == PromptButtons::Ok      ? PromptAnswer::Ok
                        : buttons == PromptButtons::YesNo ? PromptAnswer::No
                                                          : PromptAnswer::Cancel;
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
    record.answered = true;
  }
  records_.push_back(record);
  return answer;
}

FileDialogResult ScriptedPrompts::NextFile(Kind kind, const FileDialogRequest& request) {
  Record record;
  record.kind = kind;
  record.text = request.title;
  record.file = request;
  FileDialogResult result;
  result.filterIndex = request.filterIndex;
  if (!files_.empty()) {
    result = files_.front();
    files_.pop_front();
    record.answered = true;
  }
  records_.push_back(record);
  return result;
}

FileDialogResult ScriptedPrompts::OpenFiles(const FileDialogRequest& request) {
  return NextFile(Kind::OpenFiles, request);
}

FileDialogResult ScriptedPrompts::SaveFile(const FileDialogRequest& request) {
  return NextFile(Kind::SaveFile, request);
}

QString ScriptedPrompts::ChooseFolder(const QString& title, const QString& folder) {
  Record record;
  record.kind = Kind::ChooseFolder;
  record.text = title;
  record.file.folder = folder;
  QString chosen;
  if (!folders_.empty()) {
    chosen = folders_.front();
    folders_.pop_front();
    record.answered = true;
  }
  records_.push_back(record);
  return chosen;
}

bool ScriptedPrompts::AskText(const TextRequest& request, QString& text) {
  Record record;
  record.kind = Kind::AskText;
  record.text = request.text;
  record.caption = request.caption;
  record.textRequest = request;
  record.startText = text;
  bool accepted = false;
  if (!texts_.empty()) {
    record.answered = true;
    if (texts_.front()) {
      text = *texts_.front();
      if (request.maxLength > 0) text = text.left(request.maxLength);
      accepted = true;
    }
    texts_.pop_front();
  }
  records_.push_back(record);
  return accepted;
}

// The window is shown (not modal) while its script works on it, then hidden
// again, the way a modal window closes.
bool ScriptedPrompts::Run(QDialog& dialog) {
  Record record;
  record.kind = Kind::Run;
  record.text = dialog.windowTitle();
  record.dialogName = dialog.objectName();
  if (windows_.empty()) {
    records_.push_back(record);
    return false;
  }
  WindowScript script = std::move(windows_.front());
  windows_.pop_front();
  record.answered = true;
  records_.push_back(record);
  dialog.setResult(QDialog::Rejected);
  dialog.show();
  script(dialog);
  const bool accepted = dialog.result() == QDialog::Accepted;
  dialog.hide();
  return accepted;
}

}  // namespace velloran
