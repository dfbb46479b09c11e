// EntryEditor, the editor of one TR-DOS catalog entry: name, type and the five
// numbers as hex fields. "Принять" accepts and closes, "Отменить" closes.
#pragma once

#include <cstdint>

#include <QDialog>
#include <QLineEdit>

#include "trdos/catalog_operations.h"
#include "ui/translated_texts.h"

class QPushButton;

namespace velloran {

// A field holding a number as a fixed count of upper-case hex digits; a
// two-byte value shows its high byte first (0x5CCB reads 5CCB).
class HexField : public QLineEdit {
  Q_OBJECT

 public:
  HexField(int digits, QWidget* parent = nullptr);
  void SetValue(unsigned value);
  // The digits typed, read as hex; an empty field is 0.
  unsigned Value() const;

 private:
  int digits_;
};

class EntryEditor : public QDialog {
  Q_OBJECT

 public:
  explicit EntryEditor(QWidget* parent = nullptr);

  // Fills the fields from an entry's values, and reads them back.
  void SetFields(const EntryEditorFields& fields);
  EntryEditorFields Fields() const;

 protected:
  void changeEvent(QEvent* event) override;

 private:
  QLineEdit* nameField_ = nullptr;
  QLineEdit* typeField_ = nullptr;
  HexField* startField_ = nullptr;
  HexField* lengthField_ = nullptr;
  HexField* sectorsField_ = nullptr;
  HexField* firstSectorField_ = nullptr;
  HexField* firstTrackField_ = nullptr;
  QPushButton* acceptButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  TranslatedTexts texts_;
};

}  // namespace velloran
