#include "ui/live_text.h"

namespace velloran {

LiveText PhraseShown(const Phrase& phrase) {
  return [phrase] { return QString::fromStdString(PhraseText(phrase)); };
}

LiveText DiagnosticShown(const Diagnostic& diagnostic) {
  return [diagnostic] { return QString::fromStdString(DiagnosticText(diagnostic)); };
}

LiveText FixedText(const QString& text) {
  return [text] { return text; };
}

}  // namespace velloran
