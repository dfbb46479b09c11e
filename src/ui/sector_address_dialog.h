// SectorAddressDialog, the sector address dialog: edits the ID field of one sector slot
// (C, H, R, N) and its error-free mark, and shows the ID CRC as it changes.
#pragma once

#include <cstdint>

#include <QDialog>

#include "model/disk.h"
#include "ui/translated_texts.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace velloran {

class SectorAddressDialog : public QDialog {
  Q_OBJECT

 public:
  explicit SectorAddressDialog(QWidget* parent = nullptr);

  // Fills the fields from a slot; the CRC shown is the slot's stored one.
  void Fill(const TSectorRec& sector);
  // Puts the accepted fields into the slot; its data stays as it is.
  void ApplyTo(TSectorRec& sector) const;
  // The CRC last shown in `an5`.
  std::uint16_t Crc() const { return crc_; }

 protected:
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void ShowSizes();
  void OnFieldChanged();
  int SideValue() const;
  int SizeValue() const;

  QSpinBox* trackField_;
  QSpinBox* sectorField_;
  QComboBox* sideList_;
  QComboBox* sizeList_;
  QLabel* crcLabel_;
  QCheckBox* dataOkBox_;
  QPushButton* acceptButton_;
  std::uint8_t storedSide_ = 0;
  std::uint8_t storedSize_ = 0;
  std::uint16_t crc_ = 0;
  TranslatedTexts texts_;
};

}  // namespace velloran
