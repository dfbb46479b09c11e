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

EntryEditor::EntryEditor(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TFLed"));
  setWindowTitle(tr("Редактор элемента каталога"));

  nameField_ = new QLineEdit(this);
  nameField_->setObjectName(QStringLiteral("e1"));
  nameField_->setMaxLength(8);
  nameField_->setFont(CourierNewFont());
  typeField_ = new QLineEdit(this);
  typeField_->setObjectName(QStringLiteral("e2"));
  typeField_->setMaxLength(1);
  typeField_->setFont(CourierNewFont());
  startField_ = new HexField(4, this);
  startField_->setObjectName(QStringLiteral("e3"));
  lengthField_ = new HexField(4, this);
  lengthField_->setObjectName(QStringLiteral("e4"));
  sectorsField_ = new HexField(2, this);
  sectorsField_->setObjectName(QStringLiteral("e5"));
  firstSectorField_ = new HexField(2, this);
  firstSectorField_->setObjectName(QStringLiteral("e6"));
  firstTrackField_ = new HexField(2, this);
  firstTrackField_->setObjectName(QStringLiteral("e7"));

  auto* fields = new QFormLayout;
  fields->addRow(tr("Имя файла:"), nameField_);
  fields->addRow(tr("Тип файла:"), typeField_);
  fields->addRow(tr("Старт:"), startField_);
  fields->addRow(tr("Длина:"), lengthField_);
  fields->addRow(tr("Секторов:"), sectorsField_);
  fields->addRow(tr("Начальный сектор:"), firstSectorField_);
  fields->addRow(tr("Начальная дорожка:"), firstTrackField_);

  acceptButton_ = new QPushButton(tr("Принять"), this);
  acceptButton_->setObjectName(QStringLiteral("BitBtn1"));
  acceptButton_->setDefault(true);
  cancelButton_ = new QPushButton(tr("Отменить"), this);
  cancelButton_->setObjectName(QStringLiteral("BitBtn2"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(acceptButton_);
  buttons->addWidget(cancelButton_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(buttons);
  setFixedSize(sizeHint());

  connect(acceptButton_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void EntryEditor::SetFields(const EntryEditorFields& fields) {
  nameField_->setText(QtText(fields.Name));
  typeField_->setText(QtText(fields.Type));
  startField_->SetValue(fields.Start);
  lengthField_->SetValue(fields.Length);
  sectorsField_->SetValue(fields.FileSectors);
  firstSectorField_->SetValue(fields.FirstSector);
  firstTrackField_->SetValue(fields.FirstTrack);
  nameField_->setFocus();
}

EntryEditorFields EntryEditor::Fields() const {
  EntryEditorFields fields;
  fields.Name = nameField_->text().toStdString();
  fields.Type = typeField_->text().toStdString();
  fields.Start = static_cast<std::uint16_t>(startField_->Value());
  fields.Length = static_cast<std::uint16_t>(lengthField_->Value());
  fields.FileSectors = static_cast<std::uint8_t>(sectorsField_->Value());
  fields.FirstSector = static_cast<std::uint8_t>(firstSectorField_->Value());
  fields.FirstTrack = static_cast<std::uint8_t>(firstTrackField_->Value());
  return fields;
}

}  // namespace velloran
