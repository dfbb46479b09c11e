#include "ui/viewer_window.h"

#include <algorithm>

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

TFmScr::TFmScr(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TFmScr"));
  setWindowTitle(QStringLiteral("ZX Screen"));

  im1_ = new QLabel(this);
  im1_->setObjectName(QStringLiteral("im1"));
  im1_->setGeometry(1, 1, kScreenWidth, kScreenHeight);

  ssh_ = new HexView(this);
  ssh_->setObjectName(QStringLiteral("ssh"));
  ssh_->setFont(CourierNewFont());
  ssh_->SetReadOnly(false);  // edits stay in the grid

  BuildTextFace();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(ssh_);
  layout->addWidget(pn1_);
  FormClose();
  setFixedSize(643, 556);

  fontChooser_ = [this](const QFont& current) -> std::optional<QFont> {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, current, this);
    return ok ? std::optional<QFont>(font) : std::nullopt;
  };
}

void TFmScr::BuildTextFace() {
  pn1_ = new QWidget(this);
  pn1_->setObjectName(QStringLiteral("pn1"));
  auto* bar = new QHBoxLayout;
  BitBtn1_ = new QPushButton(tr("Шрифт"), pn1_);
  BitBtn1_->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn2_ = new QPushButton(QStringLiteral("KOI-8 -> ALT"), pn1_);
  BitBtn2_->setObjectName(QStringLiteral("BitBtn2"));
  // Return in the text box must not press a button.
  BitBtn1_->setAutoDefault(false);
  BitBtn2_->setAutoDefault(false);
  bar->addWidget(BitBtn1_);
  bar->addWidget(BitBtn2_);
  bar->addStretch();

  m1_ = new QPlainTextEdit(pn1_);
  m1_->setObjectName(QStringLiteral("m1"));
  m1_->setFont(TerminalFont());
  m1_->setLineWrapMode(QPlainTextEdit::NoWrap);
  m1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  m1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  m1_->setContextMenuPolicy(Qt::CustomContextMenu);

  PopupMenu1_ = new QMenu(m1_);
  PopupMenu1_->setObjectName(QStringLiteral("PopupMenu1"));
  QAction* selectAll = PopupMenu1_->addAction(tr("Выделить все"));
  selectAll->setObjectName(QStringLiteral("N1"));
  copyAction_ = PopupMenu1_->addAction(tr("Копировать"));
  copyAction_->setObjectName(QStringLiteral("N2"));

  auto* layout = new QVBoxLayout(pn1_);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(bar);
  layout->addWidget(m1_);

  connect(BitBtn1_, &QPushButton::clicked, this, &TFmScr::BitBtn1Click);
  connect(BitBtn2_, &QPushButton::clicked, this, &TFmScr::BitBtn2Click);
  connect(selectAll, &QAction::triggered, this, &TFmScr::N1Click);
  connect(copyAction_, &QAction::triggered, this, &TFmScr::N2Click);
  connect(PopupMenu1_, &QMenu::aboutToShow, this, &TFmScr::PopupMenu1Popup);
  connect(m1_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PopupMenu1_->popup(m1_->viewport()->mapToGlobal(at)); });
}

void TFmScr::SetWindowSize(int width, int height) { setFixedSize(width - kFrameWidth, height - kFrameHeight); }

void TFmScr::MakeResizable() {
  setMinimumSize(0, 0);
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

// Screen view: the 6912 bytes as a 256 x 192 picture.
void TFmScr::PrepareScreen(ByteSpan screen) {
  FormClose();
  setWindowTitle(QStringLiteral("ZX Screen"));
  im1_->setPixmap(QPixmap::fromImage(ScreenPicture(screen)));
  im1_->show();
  SetWindowSize(266, 221);
}

// Hex view: the bytes in the grid; the CP/M window asks for the Terminal font.
void TFmScr::PrepareHex(ByteSpan bytes, bool terminalFont) {
  FormClose();
  setWindowTitle(tr("Просмотр файла в HEX виде."));
  if (terminalFont) {
    ssh_->setFont(TerminalFont());
    ssh_->SetCodePage(CodePage::Cp866);
  }
  ssh_->SetData(bytes);
  ssh_->show();
  // Wide enough for the offsets, the 16 byte columns and the 16 characters
  // in whatever font the grid has.
  SetWindowSize(std::max(558, ssh_->sizeHint().width() + kFrameWidth), 344);
}

// Text view: the bytes up to the first zero as lines, in a resizable window.
void TFmScr::PrepareText(ByteSpan bytes) {
  FormClose();
  setWindowTitle(tr("Просмотр файла в TXT виде."));
  QStringList lines;
  for (const std::string& line : SplitTextLines(bytes)) lines << DosText(line);
  m1_->setPlainText(lines.join(QLatin1Char('\n')));
  pn1_->show();
  MakeResizable();
}

void TFmScr::FormClose() {
  im1_->hide();
  ssh_->hide();
  pn1_->hide();
  setFixedSize(size());
}

void TFmScr::done(int result) {
  FormClose();
  QDialog::done(result);
}

void TFmScr::BitBtn1Click() {
  if (const std::optional<QFont> font = fontChooser_(m1_->font())) m1_->setFont(*font);
}

void TFmScr::BitBtn2Click() {
  QTextDocument* document = m1_->document();
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

void TFmScr::PopupMenu1Popup() { copyAction_->setEnabled(m1_->textCursor().hasSelection()); }

void TFmScr::N1Click() { m1_->selectAll(); }

void TFmScr::N2Click() { m1_->copy(); }

}  // namespace velloran
