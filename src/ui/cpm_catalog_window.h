// T_cCat, the CP/M catalog window (not modal): the files of the directory,
// the disk definition it was read by, the used and free space, and the
// commands that view a file as hex or text and save its bytes. It never
// changes the disk.
#pragma once

#include <QDialog>

#include "cpm/cpm_directory.h"
#include "ui/catalog_window_support.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTreeWidget;

namespace velloran {

class TFmScr;

class T_cCat : public QDialog {
  Q_OBJECT

 public:
  T_cCat(CatalogWindowContext context, TFmScr& viewer, QWidget* parent = nullptr);

  // Reads the directory of the disk in memory and lists it.
  void FormShow();
  // "Показать удаленные файлы" and "Показать скрытые файлы": list again.
  void N10Click();
  void N2Click();
  // The file commands need a selected row.
  void pm1Popup();
  void HEX1Click();     // "Просмотр HEX"
  void N11Click();      // "Просмотр текста"
  void HobClick();      // "Сохранить как"
  void BitBtn1Click();  // "Закрыть"

 private:
  void BuildList();
  void BuildMenu();
  // name11 of the first selected row, or empty when none is selected.
  std::string SelectedName11() const;
  // FindCpmFile on the listed directory; false when it is not there.
  bool FindSelectedFile(CpmFoundFile& found) const;

  CatalogWindowContext context_;
  TFmScr& viewer_;
  CpmListing listing_;
  QTreeWidget* LV1_ = nullptr;
  QLabel* l4_ = nullptr;
  QLabel* l5_ = nullptr;
  QLabel* l6_ = nullptr;
  QLabel* l7_ = nullptr;  // the disk definition
  QPushButton* BitBtn1_ = nullptr;
  QMenu* pm1_ = nullptr;
  QAction* HEX1_ = nullptr;
  QAction* N11_ = nullptr;
  QAction* N10_ = nullptr;
  QAction* N2_ = nullptr;
  QAction* Hob_ = nullptr;
};

}  // namespace velloran
