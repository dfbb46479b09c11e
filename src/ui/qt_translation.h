// The desktop's language. Its texts are written in Russian (tr() source
// texts); English comes from the program's translation velloran_en.qm, and
// Qt's own texts (standard buttons, file and message dialogs), written in
// English, become Russian with Qt's qtbase_ru. A translation that is missing
// or broken leaves the texts as written, never empty.
#pragma once

#include <QString>

#include "common/language.h"

class QCoreApplication;

namespace velloran {

// Installs the translations of `language` in the application (removing those
// of an earlier call), sets the core's messages to the same language, and
// makes every window retranslate itself (QEvent::LanguageChange). Returns
// what could not be found, or an empty text.
QString ApplyLanguage(QCoreApplication& application, Language language);

// The folders the program's own translations are looked for in, in order.
QStringList TranslationFolders();

}  // namespace velloran
