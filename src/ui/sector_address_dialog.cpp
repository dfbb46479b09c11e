#include "ui/sector_address_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace velloran {

namespace {

QSpinBox* ByteField(const char* name, QWidget* parent) {
  auto* field = new QSpinBox(parent);
  field->setObjectName(QLatin1String(name));
  field->setRange(0, 255);
  return field;
}

QString CrcText(std::uint16_t crc) { return QStringLiteral("#%1").arg(crc, 4, 16, QLatin1Char('0')).toUpper(); }

}  // namespace

SectorAddressDialog::SectorAddressDialog(QWidget* parent) : QDialog(parent), texts_(staticMetaObject.className()) {
  setObjectName(QStringLiteral("TSecAd"));
  texts_.WindowTitle(this, QT_TR_NOOP("Заголовок"));
  trackField_ = ByteField("ne1", this);
  sectorField_ = ByteField("ne2", this);
  sizeList_ = new QComboBox(this);
  sizeList_->setObjectName(QStringLiteral("cb2"));
  for (int code = 0; code <= 3; ++code) sizeList_->addItem(QString());
  sideList_ = new QComboBox(this);
  sideList_->setObjectName(QStringLiteral("cb1"));
  sideList_->addItems({QStringLiteral("0"), QStringLiteral("1")});
  crcLabel_ = new QLabel(this);
  crcLabel_->setObjectName(QStringLiteral("an5"));
  QFont bold = crcLabel_->font();
  bold.setBold(true);
  crcLabel_->setFont(bold);
  dataOkBox_ = new QCheckBox(this);
  dataOkBox_->setObjectName(QStringLiteral("cb"));
  texts_.Text(dataOkBox_, QT_TR_NOOP("Без ошибок"));
  acceptButton_ = new QPushButton(this);
  acceptButton_->setObjectName(QStringLiteral("bb1"));
  texts_.Text(acceptButton_, QT_TR_NOOP("Принять"));
  auto* cancel = new QPushButton(this);
  cancel->setObjectName(QStringLiteral("BitBtn2"));
  texts_.Text(cancel, QT_TR_NOOP("Отменить"));
  ShowSizes();

  auto* form = new QFormLayout;
  const auto row = [this, form](const char* caption, QWidget* field) { texts_.FormRow(form, this, caption, field); };
  row(QT_TR_NOOP("Дорожка -"), trackField_);
  row(QT_TR_NOOP("Сектор -"), sectorField_);
  row(QT_TR_NOOP("Размер -"), sizeList_);
  row(QT_TR_NOOP("Сторона -"), sideList_);
  row(QT_TR_NOOP("CRC -"), crcLabel_);
  form->addRow(dataOkBox_);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(acceptButton_);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
  // As large as the texts of the language shown need.
  layout->setSizeConstraint(QLayout::SetFixedSize);

  // Every field and the check box share one change handler.
  connect(trackField_, &QSpinBox::textChanged, this, &SectorAddressDialog::OnFieldChanged);
  connect(sectorField_, &QSpinBox::textChanged, this, &SectorAddressDialog::OnFieldChanged);
  connect(sideList_, &QComboBox::currentIndexChanged, this, &SectorAddressDialog::OnFieldChanged);
  connect(sizeList_, &QComboBox::currentIndexChanged, this, &SectorAddressDialog::OnFieldChanged);
  connect(dataOkBox_, &QCheckBox::toggled, this, &SectorAddressDialog::OnFieldChanged);
  connect(acceptButton_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void SectorAddressDialog::Fill(const TSectorRec& sector) {
  const QSignalBlocker b1(trackField_), b2(sectorField_), b3(sideList_), b4(sizeList_), b5(dataOkBox_);
  trackField_->setValue(sector.IdTrack);
  sectorField_->setValue(sector.IdSector);
  storedSide_ = sector.IdSide;
  storedSize_ = sector.IdSize;
  // A value the lists do not hold shows no item and is kept unless changed.
  sideList_->setCurrentIndex(sector.IdSide <= 1 ? sector.IdSide : -1);
  sizeList_->setCurrentIndex(sector.IdSize <= 3 ? sector.IdSize : -1);
  dataOkBox_->setChecked(sector.DataOk);
  crc_ = sector.IdCrc;
  crcLabel_->setText(CrcText(crc_));
}

int SectorAddressDialog::SideValue() const {
  return sideList_->currentIndex() >= 0 ? sideList_->currentIndex() : storedSide_;
}
int SectorAddressDialog::SizeValue() const {
  return sizeList_->currentIndex() >= 0 ? sizeList_->currentIndex() : storedSize_;
}

// A changed field: "Принять" becomes available and the ID CRC is recomputed,
// as long as both number boxes hold a number.
void SectorAddressDialog::OnFieldChanged() {
  if (trackField_->cleanText().isEmpty() || sectorField_->cleanText().isEmpty()) return;
  acceptButton_->setEnabled(true);
  crc_ = IdFieldCrc(static_cast<std::uint8_t>(trackField_->value()), static_cast<std::uint8_t>(SideValue()),
                    static_cast<std::uint8_t>(sectorField_->value()), static_cast<std::uint8_t>(SizeValue()));
  crcLabel_->setText(CrcText(crc_));
}

// The size list's items: the sector lengths of the size codes 0..3.
void SectorAddressDialog::ShowSizes() {
  for (int code = 0; code < sizeList_->count(); ++code) sizeList_->setItemText(code, tr("%1 байт").arg(128 << code));
}

void SectorAddressDialog::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() != QEvent::LanguageChange) return;
  texts_.Retranslate();
  ShowSizes();
}

void SectorAddressDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  acceptButton_->setEnabled(false);
  setResult(QDialog::Rejected);
}

void SectorAddressDialog::ApplyTo(TSectorRec& sector) const {
  sector.IdTrack = static_cast<std::uint8_t>(trackField_->value());
  sector.IdSector = static_cast<std::uint8_t>(sectorField_->value());
  sector.IdSide = static_cast<std::uint8_t>(SideValue());
  sector.IdSize = static_cast<std::uint8_t>(SizeValue());
  sector.DataOk = dataOkBox_->isChecked();
  sector.IdCrc = crc_;
}

}  // namespace velloran
