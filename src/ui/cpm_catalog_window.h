// CpmCatalogWindow, the CP/M catalog window (not modal): the files of the directory,
// the disk definition it was read by, the used and free space, and the
// commands that view a file as hex or text and save its bytes. It never
// changes the disk.
#pragma once

#include <QDialog>

#include "cpm/cpm_directory.h"
#include "ui/catalog_window_support.h"
#include "ui/translated_texts.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTreeWidget;

namespace velloran {

class FileViewer;

class CpmCatalogWindow : public QDialog {
  Q_OBJECT

 public:
  CpmCatalogWindow(Document& document, Prompts& prompts, FileViewer& viewer, QWidget* parent = nullptr);

  // Reads the directory of the disk in memory and lists it.
  void ListDirectory();
  // "Показать удаленные файлы" and "Показать скрытые файлы": list again.
  void OnShowDeleted();
  void OnShowHidden();
  // The file commands need a selected row.
  void UpdateMenu();
  void OnViewHex();   // "Просмотр HEX"
  void OnViewText();  // "Просмотр текста"
  void OnSaveAs();    // "Сохранить как"
  void OnClose();     // "Закрыть"

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void BuildList();
  // The used and free space, in the window's language.
  void ShowSpace();
  void BuildMenu();
  // name11 of the first selected row, or empty when none is selected.
  std::string SelectedName11() const;
  // FindCpmFile on the listed directory; false when it is not there.
  bool FindSelectedFile(CpmFoundFile& found) const;

  Document& document_;  // the disk and the settings
  Prompts& prompts_;
  FileViewer& viewer_;
  CpmListing listing_;
  QTreeWidget* list_ = nullptr;
  QLabel* freeLabel_ = nullptr;
  QLabel* usedLabel_ = nullptr;
  QLabel* fileCountLabel_ = nullptr;
  QLabel* definitionLabel_ = nullptr;  // the disk definition
  QPushButton* closeButton_ = nullptr;
  QMenu* menu_ = nullptr;
  QAction* viewHexAction_ = nullptr;
  QAction* viewTextAction_ = nullptr;
  QAction* showDeletedAction_ = nullptr;
  QAction* showHiddenAction_ = nullptr;
  QAction* saveAsAction_ = nullptr;
  TranslatedTexts texts_;
};

}  // namespace velloran
