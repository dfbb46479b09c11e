// The texts of a window's widgets kept as their source texts, so that the
// window puts them into the current language again when the language
// changes (QEvent::LanguageChange) instead of keeping the old ones.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include <QString>

class QFormLayout;
class QGroupBox;
class QTreeWidget;
class QWidget;

namespace velloran {

class TranslatedTexts {
 public:
  // `context` is the class name the texts are translated in, as tr() of
  // that class uses it (its metaObject's className).
  explicit TranslatedTexts(const char* context) : context_(context) {}

  // Shows `source` in the current language through `apply`, now and again
  // at every Retranslate. The source texts are marked for lupdate with
  // QT_TR_NOOP or QT_TRANSLATE_NOOP where they are written.
  void Add(const char* source, std::function<void(const QString&)> apply);

  // The usual texts: setText of labels, buttons and menu items.
  template <typename Widget>
  void Text(Widget* widget, const char* source) {
    Add(source, [widget](const QString& text) { widget->setText(text); });
  }
  void WindowTitle(QWidget* window, const char* source);
  void Title(QGroupBox* group, const char* source);
  void ToolTip(QWidget* widget, const char* source);
  void Header(QTreeWidget* list, int column, const char* source);
  // A row of `form`: a label of `parent` captioned `source`, then `field`.
  void FormRow(QFormLayout* form, QWidget* parent, const char* source, QWidget* field);

  // `source` in the current language.
  QString Translate(const char* source) const;
  void Retranslate() const;

 private:
  const char* context_;
  std::vector<std::pair<const char*, std::function<void(const QString&)>>> texts_;
};

}  // namespace velloran
