#include "ui/viewer_window.h"

#include <algorithm>

#include <QEvent>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

#include "common/codepages.h"
#include "trdos/screen.h"
#include "trdos/text_view.h"
#include "ui/catalog_window_support.h"
#include "ui/hex_view.h"

namespace velloran {

namespace {

// The window sizes below are whole windows: a 4-pixel border on each side
// and a 19-pixel caption around the client area.
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 27;

// The text box shows bytes as characters of the DOS code page, the one its
// "Terminal" font draws; the KOI-8 conversion turns KOI8-R texts into it.
QString DosText(const std::string& bytes) { return QtText(ToUtf8(CodePage::Cp866, bytes)); }
std::string DosBytes(const QString& text) { return FromUtf8(CodePage::Cp866, text.toStdString()); }

const char* const kScreenTitle = QT_TRANSLATE_NOOP("velloran::FileViewer", "Экран ZX Spectrum");

QImage ScreenPicture(ByteSpan screen) {
  const ScreenImage decoded = DecodeScreen(screen);
  QImage image(decoded.Width, decoded.Height, QImage::Format_RGB32);
  for (int y = 0; y < decoded.Height; ++y)
    for (int x = 0; x < decoded.Width; ++x) {
      const RgbColor color = decoded.Pixel(x, y);
      image.setPixel(x, y, qRgb(color.Red, color.Green, color.Blue));
    }
  return image;
}

}  // namespace

FileViewer::FileViewer(QWidget* parent) : QDialog(parent), texts_(staticMetaObject.className()) {
  setObjectName(QStringLiteral("TFmScr"));
  ShowTitle(kScreenTitle);

  screenLabel_ = new QLabel(this);
  screenLabel_->setObjectName(QStringLiteral("im1"));
  screenLabel_->setGeometry(1, 1, kScreenWidth, kScreenHeight);

  hexView_ = new HexView(this);
  hexView_->setObjectName(QStringLiteral("ssh"));
  hexView_->setFont(CourierNewFont());
  hexView_->SetReadOnly(false);  // edits stay in the grid

  BuildTextFace();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(hexView_);
  layout->addWidget(textFace_);
  HideFaces();
  setFixedSize(643, 556);

  fontChooser_ = [this](const QFont& current) -> std::optional<QFont> {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, current, this);
    return ok ? std::optional<QFont>(font) : std::nullopt;
  };
}

void FileViewer::BuildTextFace() {
  textFace_ = new QWidget(this);
  textFace_->setObjectName(QStringLiteral("pn1"));
  auto* bar = new QHBoxLayout;
  fontButton_ = new QPushButton(textFace_);
  fontButton_->setObjectName(QStringLiteral("BitBtn1"));
  texts_.Text(fontButton_, QT_TR_NOOP("Шрифт"));
  koi8Button_ = new QPushButton(QStringLiteral("KOI-8 -> ALT"), textFace_);
  koi8Button_->setObjectName(QStringLiteral("BitBtn2"));
  // Return in the text box must not press a button.
  fontButton_->setAutoDefault(false);
  koi8Button_->setAutoDefault(false);
  bar->addWidget(fontButton_);
  bar->addWidget(koi8Button_);
  bar->addStretch();

  textBox_ = new QPlainTextEdit(textFace_);
  textBox_->setObjectName(QStringLiteral("m1"));
  textBox_->setFont(TerminalFont());
  textBox_->setLineWrapMode(QPlainTextEdit::NoWrap);
  textBox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  textBox_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  textBox_->setContextMenuPolicy(Qt::CustomContextMenu);

  textMenu_ = new QMenu(textBox_);
  textMenu_->setObjectName(QStringLiteral("PopupMenu1"));
  QAction* selectAll = textMenu_->addAction(QString());
  selectAll->setObjectName(QStringLiteral("N1"));
  texts_.Text(selectAll, QT_TR_NOOP("Выделить все"));
  copyAction_ = textMenu_->addAction(QString());
  copyAction_->setObjectName(QStringLiteral("N2"));
  texts_.Text(copyAction_, QT_TR_NOOP("Копировать"));

  auto* layout = new QVBoxLayout(textFace_);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(bar);
  layout->addWidget(textBox_);

  connect(fontButton_, &QPushButton::clicked, this, &FileViewer::OnChooseFont);
  connect(koi8Button_, &QPushButton::clicked, this, &FileViewer::OnConvertKoi8);
  connect(selectAll, &QAction::triggered, this, &FileViewer::OnSelectAll);
  connect(copyAction_, &QAction::triggered, this, &FileViewer::OnCopy);
  connect(textMenu_, &QMenu::aboutToShow, this, &FileViewer::UpdateTextMenu);
  connect(textBox_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { textMenu_->popup(textBox_->viewport()->mapToGlobal(at)); });
}

void FileViewer::ShowTitle(const char* title) {
  title_ = title;
  setWindowTitle(tr(title_));
}

void FileViewer::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() != QEvent::LanguageChange) return;
  texts_.Retranslate();
  setWindowTitle(tr(title_));
}

void FileViewer::SetWindowSize(int width, int height) { setFixedSize(width - kFrameWidth, height - kFrameHeight); }

void FileViewer::MakeResizable() {
  setMinimumSize(0, 0);
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

// Screen view: the 6912 bytes as a 256 x 192 picture.
void FileViewer::PrepareScreen(ByteSpan screen) {
  HideFaces();
  ShowTitle(kScreenTitle);
  screenLabel_->setPixmap(QPixmap::fromImage(ScreenPicture(screen)));
  screenLabel_->show();
  SetWindowSize(266, 221);
}

// Hex view: the bytes in the grid; the CP/M window asks for the Terminal font.
void FileViewer::PrepareHex(ByteSpan bytes, bool terminalFont) {
  HideFaces();
  ShowTitle(QT_TR_NOOP("Просмотр файла в HEX виде."));
  if (terminalFont) {
    hexView_->setFont(TerminalFont());
    hexView_->SetCodePage(CodePage::Cp866);
  }
  hexView_->SetData(bytes);
  hexView_->show();
  // Wide enough for the offsets, the 16 byte columns and the 16 characters
  // in whatever font the grid has.
  SetWindowSize(std::max(558, hexView_->sizeHint().width() + kFrameWidth), 344);
}

// Text view: the bytes up to the first zero as lines, in a resizable window.
void FileViewer::PrepareText(ByteSpan bytes) {
  HideFaces();
  ShowTitle(QT_TR_NOOP("Просмотр файла в TXT виде."));
  QStringList lines;
  for (const std::string& line : SplitTextLines(bytes)) lines << DosText(line);
  textBox_->setPlainText(lines.join(QLatin1Char('\n')));
  textFace_->show();
  MakeResizable();
}

void FileViewer::HideFaces() {
  screenLabel_->hide();
  hexView_->hide();
  textFace_->hide();
  setFixedSize(size());
}

void FileViewer::done(int result) {
  HideFaces();
  QDialog::done(result);
}

void FileViewer::OnChooseFont() {
  if (const std::optional<QFont> font = fontChooser_(textBox_->font())) textBox_->setFont(*font);
}

void FileViewer::OnConvertKoi8() {
  QTextDocument* document = textBox_->document();
  QTextCursor cursor(document);
  cursor.beginEditBlock();
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    const QString converted = DosText(ConvertKoi8ToAlt(DosBytes(block.text())));
    if (converted == block.text()) continue;
    cursor.setPosition(block.position());
    cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
    cursor.insertText(converted);
  }
  cursor.endEditBlock();
}

void FileViewer::UpdateTextMenu() { copyAction_->setEnabled(textBox_->textCursor().hasSelection()); }

void FileViewer::OnSelectAll() { textBox_->selectAll(); }

void FileViewer::OnCopy() { textBox_->copy(); }

}  // namespace velloran
