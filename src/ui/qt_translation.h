// Qt's own texts (standard buttons, file and message dialogs) speak Russian
// like the rest of the program: Qt's "qtbase_ru" translation from the folder
// where Qt keeps its translations.
#pragma once

class QCoreApplication;
class QTranslator;

namespace velloran {

// Loads Qt's Russian translation and installs it in the application, which
// owns it from then on. Returns it, or nullptr when it is not installed on
// this system (the standard texts then stay English).
QTranslator* InstallQtTranslation(QCoreApplication& application);

}  // namespace velloran
