#include "ui/entry_editor.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "ui/catalog_window_support.h"

namespace velloran {

HexField::HexField(int digits, QWidget* parent) : QLineEdit(parent), digits_(digits) {
  setMaxLength(digits);
  setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-f]{0,%1}").arg(digits)), this));
  setFont(CourierNewFont());
  // Typed digits show in upper case like the stored values.
  connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
    const int position = cursorPosition();
    setText(text.toUpper());
    setCursorPosition(position);
  });
}

void HexField::SetValue(unsigned value) {
  setText(QStringLiteral("%1").arg(value, digits_, 16, QLatin1Char('0')).toUpper());
}

unsigned HexField::Value() const { return text().toUInt(nullptr, 16); }

TFLed::TFLed(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TFLed"));
  setWindowTitle(tr("Редактор элемента каталога"));

  e1_ = new QLineEdit(this);
  e1_->setObjectName(QStringLiteral("e1"));
  e1_->setMaxLength(8);
  e1_->setFont(CourierNewFont());
  e2_ = new QLineEdit(this);
  e2_->setObjectName(QStringLiteral("e2"));
  e2_->setMaxLength(1);
  e2_->setFont(CourierNewFont());
  e3_ = new HexField(4, this);
  e3_->setObjectName(QStringLiteral("e3"));
  e4_ = new HexField(4, this);
  e4_->setObjectName(QStringLiteral("e4"));
  e5_ = new HexField(2, this);
  e5_->setObjectName(QStringLiteral("e5"));
  e6_ = new HexField(2, this);
  e6_->setObjectName(QStringLiteral("e6"));
  e7_ = new HexField(2, this);
  e7_->setObjectName(QStringLiteral("e7"));

  auto* fields = new QFormLayout;
  fields->addRow(tr("Имя файла:"), e1_);
  fields->addRow(tr("Тип файла:"), e2_);
  fields->addRow(tr("Старт:"), e3_);
  fields->addRow(tr("Длина:"), e4_);
  fields->addRow(tr("Секторов:"), e5_);
  fields->addRow(tr("Начальный сектор:"), e6_);
  fields->addRow(tr("Начальная дорожка:"), e7_);

  BitBtn1_ = new QPushButton(tr("Принять"), this);
  BitBtn1_->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn1_->setDefault(true);
  BitBtn2_ = new QPushButton(tr("Отменить"), this);
  BitBtn2_->setObjectName(QStringLiteral("BitBtn2"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(BitBtn1_);
  buttons->addWidget(BitBtn2_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(buttons);
  setFixedSize(sizeHint());

  connect(BitBtn1_, &QPushButton::clicked, this, &QDialog::accept);
  connect(BitBtn2_, &QPushButton::clicked, this, &QDialog::reject);
}

void TFLed::SetFields(const EntryEditorFields& fields) {
  e1_->setText(QtText(fields.Name));
  e2_->setText(QtText(fields.Type));
  e3_->SetValue(fields.Start);
  e4_->SetValue(fields.Length);
  e5_->SetValue(fields.FileSectors);
  e6_->SetValue(fields.FirstSector);
  e7_->SetValue(fields.FirstTrack);
  e1_->setFocus();
}

EntryEditorFields TFLed::Fields() const {
  EntryEditorFields fields;
  fields.Name = e1_->text().toStdString();
  fields.Type = e2_->text().toStdString();
  fields.Start = static_cast<std::uint16_t>(e3_->Value());
  fields.Length = static_cast<std::uint16_t>(e4_->Value());
  fields.FileSectors = static_cast<std::uint8_t>(e5_->Value());
  fields.FirstSector = static_cast<std::uint8_t>(e6_->Value());
  fields.FirstTrack = static_cast<std::uint8_t>(e7_->Value());
  return fields;
}

}  // namespace velloran
