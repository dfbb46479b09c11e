// A text the desktop shows that is put into words when it is shown and
// again when the language changes, so that a log line or a status-bar
// notice made under one language reads in the other after the switch.
#pragma once

#include <functional>

#include <QString>

#include "common/diagnostic.h"
#include "common/messages.h"

namespace velloran {

using LiveText = std::function<QString()>;

// A phrase or a diagnostic of the message catalogue in the language of the moment.
QString QtText(const Phrase& phrase);
QString QtText(const Diagnostic& diagnostic);

// A phrase of the message catalogue, in the language of the moment.
LiveText PhraseShown(const Phrase& phrase);

// A diagnostic with its place, in the language of the moment.
LiveText DiagnosticShown(const Diagnostic& diagnostic);

// A text that is the same in every language (the disk's own track log).
LiveText FixedText(const QString& text);

}  // namespace velloran
