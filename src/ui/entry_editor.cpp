#include "ui/entry_editor.h"

#include <QEvent>
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

EntryEditor::EntryEditor(QWidget* parent) : QDialog(parent), texts_(staticMetaObject.className()) {
  setObjectName(QStringLiteral("TFLed"));
  texts_.WindowTitle(this, QT_TR_NOOP("Редактор элемента каталога"));

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
  const auto row = [this, fields](const char* caption, QWidget* field) {
    texts_.FormRow(fields, this, caption, field);
  };
  row(QT_TR_NOOP("Имя файла:"), nameField_);
  row(QT_TR_NOOP("Тип файла:"), typeField_);
  row(QT_TR_NOOP("Старт:"), startField_);
  row(QT_TR_NOOP("Длина:"), lengthField_);
  row(QT_TR_NOOP("Секторов:"), sectorsField_);
  row(QT_TR_NOOP("Начальный сектор:"), firstSectorField_);
  row(QT_TR_NOOP("Начальная дорожка:"), firstTrackField_);

  acceptButton_ = new QPushButton(this);
  acceptButton_->setObjectName(QStringLiteral("BitBtn1"));
  texts_.Text(acceptButton_, QT_TR_NOOP("Принять"));
  acceptButton_->setDefault(true);
  cancelButton_ = new QPushButton(this);
  cancelButton_->setObjectName(QStringLiteral("BitBtn2"));
  texts_.Text(cancelButton_, QT_TR_NOOP("Отменить"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(acceptButton_);
  buttons->addWidget(cancelButton_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(buttons);
  // As large as the texts of the language shown need.
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(acceptButton_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void EntryEditor::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::LanguageChange) texts_.Retranslate();
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
