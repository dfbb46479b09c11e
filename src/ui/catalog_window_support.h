// What the catalog windows share: the small conversions between the core's
// descriptions and the Qt side. The state they work on is the Document.
#pragma once

#include <filesystem>
#include <span>
#include <string>

#include <QFont>
#include <QString>
#include <QStringList>

#include "common/utf8_path.h"
#include "document/document.h"
#include "trdos/catalog.h"
#include "trdos/catalog_operations.h"
#include "trdos/message.h"
#include "ui/live_text.h"
#include "ui/prompts.h"
#include "ui/translated_texts.h"

class QAction;
class QGridLayout;
class QLabel;
class QMenu;
class QTreeWidget;
class QWidget;

namespace velloran {

inline QString QtText(const std::string& text) { return QString::fromStdString(text); }
inline std::filesystem::path PathOf(const QString& file) { return PathFromUtf8(file.toStdString()); }

// Shows a message the core described and returns the answer.
PromptAnswer ShowMessage(Prompts& prompts, const Message& message);
// Asks one of the core's text dialogs; `text` starts with the dialog's
// initial text and receives the answer. False when not accepted.
bool AskTextDialog(Prompts& prompts, const TextDialog& dialog, QString& text);

// Stores a remembered folder (key "HobetaDir" or "SCLDir") when it differs
// from the one held: in the document's settings and, at once, in its store.
void RememberFolderSetting(Document& document, const std::string& key, const std::filesystem::path& folder);

// The fonts of the windows: Courier New where it is installed, otherwise
// the system's typewriter font; "Terminal" likewise for the DOS texts.
QFont CourierNewFont(int pointSize = 9, bool bold = false);
QFont TerminalFont(int pointSize = 9);

// One column of a catalog list: title, width and the alignment of its texts.
struct ListColumn {
  const char* title;  // the source text, marked for lupdate in the window's context
  int width;
  Qt::Alignment alignment;
};
// The list "LV1" of a catalog window: report style, several rows selected
// at once, whole rows, Courier New, column headers that do not react to
// clicks, and wide enough for all its columns; the titles join `texts`.
QTreeWidget* MakeCatalogList(QWidget* parent, std::span<const ListColumn> columns, TranslatedTexts& texts);
// The list's context menu "pm1", opened where the list asks for it (when
// its context-menu policy is Qt::CustomContextMenu), and one of its items.
QMenu* MakeListMenu(QTreeWidget* list);
QAction* AddMenuItem(QMenu* menu, const char* name, const QString& caption);
// Adds a caption and its value label (bold Courier New, centred) to a line
// of the group "Описание диска"; the caption joins `texts`. Returns the
// value label.
QLabel* AddInformationLine(QGridLayout* grid, const char* caption, const QString& name, TranslatedTexts& texts);
// Adds a row of texts with the columns' alignments.
void AddCatalogRow(QTreeWidget* list, std::span<const ListColumn> columns, const QStringList& texts);

}  // namespace velloran
