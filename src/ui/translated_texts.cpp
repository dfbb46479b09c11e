#include "ui/translated_texts.h"

#include <QCoreApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QTreeWidget>

namespace velloran {

void TranslatedTexts::Add(const char* source, std::function<void(const QString&)> apply) {
  apply(Translate(source));
  texts_.emplace_back(source, std::move(apply));
}

void TranslatedTexts::WindowTitle(QWidget* window, const char* source) {
  Add(source, [window](const QString& text) { window->setWindowTitle(text); });
}

void TranslatedTexts::Title(QGroupBox* group, const char* source) {
  Add(source, [group](const QString& text) { group->setTitle(text); });
}

void TranslatedTexts::ToolTip(QWidget* widget, const char* source) {
  Add(source, [widget](const QString& text) { widget->setToolTip(text); });
}

void TranslatedTexts::Header(QTreeWidget* list, int column, const char* source) {
  Add(source, [list, column](const QString& text) { list->headerItem()->setText(column, text); });
}

void TranslatedTexts::FormRow(QFormLayout* form, QWidget* parent, const char* source, QWidget* field) {
  auto* label = new QLabel(parent);
  Text(label, source);
  form->addRow(label, field);
}

QString TranslatedTexts::Translate(const char* source) const { return QCoreApplication::translate(context_, source); }

void TranslatedTexts::Retranslate() const {
  for (const auto& [source, apply] : texts_) apply(Translate(source));
}

}  // namespace velloran
