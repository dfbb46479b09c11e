// TrdosCatalogWindow, the TR-DOS catalog window: the list of the catalog's entries,
// the disk information and the context menu of the file commands. It shows
// SharedCatalog; every command is one of the core's catalog operations,
// whose questions and messages go through the Prompts.
#pragma once

#include <cstdint>
#include <vector>

#include <QDialog>

#include "ui/catalog_window_support.h"
#include "ui/translated_texts.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTreeWidget;

namespace velloran {

class EntryEditor;
class FileViewer;

class TrdosCatalogWindow : public QDialog {
  Q_OBJECT

 public:
  TrdosCatalogWindow(Document& document, Prompts& prompts, FileViewer& viewer, EntryEditor& editor,
                     QWidget* parent = nullptr);

  // Shows the window modally for the catalog in SharedCatalog.
  void Open();

  // Fills the disk information and the list; `opening` clears CatalogChanged,
  // a refresh after an operation leaves it.
  void ShowCatalog(bool opening);
  // Sets which items of the context menu are enabled.
  void UpdateMenu();
  // The list's rows, selected ones in list order.
  std::vector<int> SelectedRows() const;

  void OnViewScreen();   // "Просмотр экрана"
  void OnViewHex();      // "Просмотр HEX"
  void OnCompact();      // "Уплотнить"
  void OnRenameDisk();   // "Сменить имя диска"
  void OnShowDeleted();  // "Показать удаленные файлы"
  void OnSaveHobeta();   // "Сохранить как Hobeta"
  void OnSaveScl();      // "Сохранить как SCL"
  void OnEditEntry();    // "Редактировать заголовок"
  void OnRestoreFile();  // "Восстановить файл"
  void OnAddFiles();     // "Добавить файл(ы)"
  void OnDeleteFiles();  // "Удалить файл(ы)"
  void OnClose();        // "Закрыть"

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void BuildList();
  void BuildInformation(QLayout* layout);
  void BuildMenu();
  // An item of the context menu by its name.
  QAction* Item(const char* name) const;
  void FillList();
  bool ShowDeleted() const;
  // The disk type's line of the information, in the window's language.
  void ShowDiskType();
  // The entry of the one selected row, or -1.
  int SingleSelectedEntry() const;
  // Shows an operation's messages, then refreshes when it asks for it.
  void Finish(const OperationResult& result);

  Document& document_;  // the disk, its catalogs and the settings
  Prompts& prompts_;
  FileViewer& viewer_;
  EntryEditor& editor_;
  QTreeWidget* list_ = nullptr;
  QLabel* informationValues_[7] = {};
  QPushButton* closeButton_ = nullptr;
  QMenu* menu_ = nullptr;
  TranslatedTexts texts_;
};

}  // namespace velloran
