// Prompts shown with Qt's message boxes and file dialogs.
#pragma once

#include "ui/prompts.h"

class QFileDialog;
class QWidget;

namespace velloran {

// Sets up a (non-native) file dialog for a request: title, folder, filters
// and the selected one, the default suffix and its change with the filter.
void PrepareFileDialog(QFileDialog& dialog, const FileDialogRequest& request, bool save);

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
