// Prompts shown with Qt's message boxes and file dialogs.
#pragma once

#include "ui/prompts.h"

class QWidget;

namespace velloran {

class QtPrompts : public Prompts {
 public:
  // Dialogs are centred on `parent` (may be null).
  explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  PromptAnswer Message(const QString& text, const QString& caption, PromptIcon icon, PromptButtons buttons) override;
  FileDialogResult OpenFiles(const FileDialogRequest& request) override;
  FileDialogResult SaveFile(const FileDialogRequest& request) override;
  QString ChooseFolder(const QString& title, const QString& folder) override;
  bool AskText(const TextRequest& request, QString& text) override;
  bool Run(QDialog& dialog) override;

 private:
  FileDialogResult RunFileDialog(const FileDialogRequest& request, bool save);

  QWidget* parent_;
};

}  // namespace velloran
