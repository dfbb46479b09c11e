// T_ZXCAT, the TR-DOS catalog window: the list of the catalog's entries,
// the disk information and the context menu of the file commands. It shows
// SharedCatalog; every command is one of the core's catalog operations,
// whose questions and messages go through the Prompts.
#pragma once

#include <vector>

#include <QDialog>

#include "ui/catalog_window_support.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTreeWidget;

namespace velloran {

class TFLed;
class TFmScr;

class T_ZXCAT : public QDialog {
  Q_OBJECT

 public:
  T_ZXCAT(CatalogWindowContext context, TFmScr& viewer, TFLed& editor, QWidget* parent = nullptr);

  // Shows the window modally for the catalog in SharedCatalog.
  void Open();

  // Fills the disk information and the list; `opening` clears CatalogChanged,
  // a refresh after an operation leaves it.
  void FormShow(bool opening);
  // Sets which items of the context menu are enabled.
  void pm1Popup();
  // The list's rows, selected ones in list order.
  std::vector<int> SelectedRows() const;

  void N1Click();       // "Просмотр экрана"
  void HEX1Click();     // "Просмотр HEX"
  void N2Click();       // "Уплотнить"
  void N4Click();       // "Сменить имя диска"
  void N10Click();      // "Показать удаленные файлы"
  void HobClick();      // "Сохранить hob"
  void scl1Click();     // "Сохранить scl"
  void N9Click();       // "Редактировать заголовок"
  void N11Click();      // "Восстановить файл"
  void N3Click();       // "Добавить файл(ы)"
  void N8Click();       // "Удалить файл(ы)"
  void BitBtn1Click();  // "Закрыть"

 private:
  void BuildList();
  void BuildInformation(QLayout* layout);
  void BuildMenu();
  // An item of the context menu by its name.
  QAction* Item(const char* name) const;
  void FillList();
  bool ShowDeleted() const;
  // The entry of the one selected row, or -1.
  int SingleSelectedEntry() const;
  // Shows an operation's messages, then refreshes when it asks for it.
  void Finish(const OperationResult& result);

  CatalogWindowContext context_;
  TFmScr& viewer_;
  TFLed& editor_;
  QTreeWidget* LV1_ = nullptr;
  QLabel* d_[7] = {};
  QPushButton* BitBtn1_ = nullptr;
  QMenu* pm1_ = nullptr;
};

}  // namespace velloran
