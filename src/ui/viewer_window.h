// FileViewer, the file viewer: one window with three faces, the ZX Spectrum
// screen picture (im1), the hex dump (ssh) and the text with its font and
// KOI-8 conversion (pn1). The catalog windows prepare a face and then show
// the window modally through their Prompts. Nothing goes back to the disk.
#pragma once

#include <functional>
#include <optional>

#include <QDialog>
#include <QFont>

#include "common/bytes.h"
#include "ui/translated_texts.h"

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace velloran {

class HexView;

class FileViewer : public QDialog {
  Q_OBJECT

 public:
  // Asks for a font starting from the given one; nothing when cancelled.
  using FontChooser = std::function<std::optional<QFont>(const QFont& current)>;

  explicit FileViewer(QWidget* parent = nullptr);

  // The three faces. Each hides the others and sets caption and size.
  void PrepareScreen(ByteSpan screen);
  void PrepareHex(ByteSpan bytes, bool terminalFont);
  void PrepareText(ByteSpan bytes);

  // Hides every face and makes the border fixed again.
  void HideFaces();
  // "Шрифт": the text box takes the chosen font.
  void OnChooseFont();
  // "KOI-8 -> ALT": converts every line of the text box once.
  void OnConvertKoi8();
  // The text box's menu opens: "Копировать" only with a selection.
  void UpdateTextMenu();
  // "Выделить все" and "Копировать".
  void OnSelectAll();
  void OnCopy();

  // The font dialog fd1 (a Qt font dialog unless replaced, as tests do).
  void SetFontChooser(FontChooser chooser) { fontChooser_ = std::move(chooser); }

  void done(int result) override;

 protected:
  void changeEvent(QEvent* event) override;

 private:
  // The caption of the face shown, kept as its source text for a change of
  // language.
  void ShowTitle(const char* title);
  void BuildTextFace();
  // A fixed size given as the whole window, frame and caption included.
  void SetWindowSize(int width, int height);
  void MakeResizable();

  QLabel* screenLabel_ = nullptr;
  HexView* hexView_ = nullptr;
  QWidget* textFace_ = nullptr;
  QPushButton* fontButton_ = nullptr;
  QPushButton* koi8Button_ = nullptr;
  QPlainTextEdit* textBox_ = nullptr;
  QMenu* textMenu_ = nullptr;
  QAction* copyAction_ = nullptr;
  FontChooser fontChooser_;
  TranslatedTexts texts_;
  const char* title_ = nullptr;
};

}  // namespace velloran
