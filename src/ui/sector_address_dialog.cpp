#include "ui/sector_address_dialog.h"

#include <QCheckBox>
#include <QComboBox>
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

TSecAd::TSecAd(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TSecAd"));
  setWindowTitle(tr("Заголовок"));
  ne1_ = ByteField("ne1", this);
  ne2_ = ByteField("ne2", this);
  cb2_ = new QComboBox(this);
  cb2_->setObjectName(QStringLiteral("cb2"));
  cb2_->addItems({QStringLiteral("128b"), QStringLiteral("256b"), QStringLiteral("512b"), QStringLiteral("1024b")});
  cb1_ = new QComboBox(this);
  cb1_->setObjectName(QStringLiteral("cb1"));
  cb1_->addItems({QStringLiteral("0"), QStringLiteral("1")});
  an5_ = new QLabel(this);
  an5_->setObjectName(QStringLiteral("an5"));
  QFont bold = an5_->font();
  bold.setBold(true);
  an5_->setFont(bold);
  cb_ = new QCheckBox(tr("Без ошибок"), this);
  cb_->setObjectName(QStringLiteral("cb"));
  bb1_ = new QPushButton(tr("Принять"), this);
  bb1_->setObjectName(QStringLiteral("bb1"));
  auto* cancel = new QPushButton(tr("Отменить"), this);
  cancel->setObjectName(QStringLiteral("BitBtn2"));

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Track -"), ne1_);
  form->addRow(QStringLiteral("Sector -"), ne2_);
  form->addRow(QStringLiteral("Size -"), cb2_);
  form->addRow(QStringLiteral("Side -"), cb1_);
  form->addRow(QStringLiteral("CRC -"), an5_);
  form->addRow(cb_);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(bb1_);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
  setFixedSize(sizeHint());

  // Every field and the check box share one change handler.
  connect(ne1_, &QSpinBox::textChanged, this, &TSecAd::ne1Change);
  connect(ne2_, &QSpinBox::textChanged, this, &TSecAd::ne1Change);
  connect(cb1_, &QComboBox::currentIndexChanged, this, &TSecAd::ne1Change);
  connect(cb2_, &QComboBox::currentIndexChanged, this, &TSecAd::ne1Change);
  connect(cb_, &QCheckBox::toggled, this, &TSecAd::ne1Change);
  connect(bb1_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TSecAd::Fill(const TSectorRec& sector) {
  const QSignalBlocker b1(ne1_), b2(ne2_), b3(cb1_), b4(cb2_), b5(cb_);
  ne1_->setValue(sector.IdTrack);
  ne2_->setValue(sector.IdSector);
  storedSide_ = sector.IdSide;
  storedSize_ = sector.IdSize;
  // A value the lists do not hold shows no item and is kept unless changed.
  cb1_->setCurrentIndex(sector.IdSide <= 1 ? sector.IdSide : -1);
  cb2_->setCurrentIndex(sector.IdSize <= 3 ? sector.IdSize : -1);
  cb_->setChecked(sector.DataOk != 0);
  crc_ = sector.IdCrc;
  an5_->setText(CrcText(crc_));
}

int TSecAd::SideValue() const { return cb1_->currentIndex() >= 0 ? cb1_->currentIndex() : storedSide_; }
int TSecAd::SizeValue() const { return cb2_->currentIndex() >= 0 ? cb2_->currentIndex() : storedSize_; }

// A changed field: "Принять" becomes available and the ID CRC is recomputed,
// as long as both number boxes hold a number.
void TSecAd::ne1Change() {
  if (ne1_->cleanText().isEmpty() || ne2_->cleanText().isEmpty()) return;
  bb1_->setEnabled(true);
  crc_ = IdFieldCrc(static_cast<std::uint8_t>(ne1_->value()), static_cast<std::uint8_t>(SideValue()),
                    static_cast<std::uint8_t>(ne2_->value()), static_cast<std::uint8_t>(SizeValue()));
  an5_->setText(CrcText(crc_));
}

void TSecAd::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  bb1_->setEnabled(false);
  setResult(QDialog::Rejected);
}

void TSecAd::ApplyTo(TSectorRec& sector) const {
  sector.IdTrack = static_cast<std::uint8_t>(ne1_->value());
  sector.IdSector = static_cast<std::uint8_t>(ne2_->value());
  sector.IdSide = static_cast<std::uint8_t>(SideValue());
  sector.IdSize = static_cast<std::uint8_t>(SizeValue());
  sector.DataOk = cb_->isChecked() ? 0xFF : 0;
  sector.IdCrc = crc_;
}

}  // namespace velloran
