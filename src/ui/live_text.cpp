#include "ui/live_text.h"

namespace velloran {

QString QtText(const Phrase& phrase) { return QString::fromStdString(PhraseText(phrase)); }

QString QtText(const Diagnostic& diagnostic) { return QString::fromStdString(DiagnosticText(diagnostic)); }

LiveText PhraseShown(const Phrase& phrase) {
  return [phrase] { return QtText(phrase); };
}

LiveText DiagnosticShown(const Diagnostic& diagnostic) {
  return [diagnostic] { return QtText(diagnostic); };
}

LiveText FixedText(const QString& text) {
  return [text] { return text; };
}

}  // namespace velloran
