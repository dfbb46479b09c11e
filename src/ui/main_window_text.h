// The main window's texts are translated in one context, whichever of its
// parts (panels, commands) shows them.
#pragma once

#include <QCoreApplication>
#include <QString>

namespace velloran {

inline constexpr const char* kMainWindowContext = "velloran::TFMain";

inline QString MainWindowText(const char* source) { return QCoreApplication::translate(kMainWindowContext, source); }

}  // namespace velloran
