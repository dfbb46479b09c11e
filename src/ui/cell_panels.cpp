#include "ui/cell_panels.h"

#include <algorithm>

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "common/utf8_path.h"
#include "document/document.h"
#include "ui/hex_view.h"
#include "ui/main_window_commands.h"
#include "ui/main_window_text.h"
#include "ui/prompts.h"

namespace velloran {

namespace {

const char* const kSizeTexts[4] = {"128b", "256b", "512b", "1024b"};
const char* const kSectorCaptions[4] = {
    QT_TRANSLATE_NOOP("velloran::TFMain", "Дорожка -"), QT_TRANSLATE_NOOP("velloran::TFMain", "Сторона -"),
    QT_TRANSLATE_NOOP("velloran::TFMain", "Сектор -"), QT_TRANSLATE_NOOP("velloran::TFMain", "Размер -")};

QString HexCrc(std::uint16_t crc) { return QStringLiteral("#%1").arg(crc, 4, 16, QLatin1Char('0')).toUpper(); }

// The data CRC as the controller computes it: A1 A1 A1 FB, then the data.
std::uint16_t DataCrc(const std::uint8_t* data, std::size_t length) {
  Bytes field = {0xA1, 0xA1, 0xA1, 0xFB};
  field.insert(field.end(), data, data + length);
  return CalcCRC16(field.data(), field.size());
}

QLabel* ValueLabel(const char* name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(QLatin1String(name));
  label->setMinimumWidth(48);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  return label;
}

QFrame* Strip(const char* name, QWidget* parent) {
  auto* strip = new QFrame(parent);
  strip->setObjectName(QLatin1String(name));
  strip->setFrameShape(QFrame::StyledPanel);
  strip->setFrameShadow(QFrame::Raised);
  return strip;
}

QString CommentsText(const TZX_Disk& disk) {
  QStringList lines;
  for (const std::string& line : disk.Comments) lines << QString::fromStdString(line);
  return lines.join(QLatin1Char('\n'));
}

}  // namespace

void CellPanels::Build(QWidget* parent) {
  // Above the map: the track and sector of the cell.
  cellStrip_ = Strip("pnTS", parent);
  auto* cellLayout = new QHBoxLayout(cellStrip_);
  cellLayout->setContentsMargins(6, 2, 6, 2);
  trackCaption_ = new QLabel(cellStrip_);
  cellLayout->addWidget(trackCaption_);
  trackLabel_ = ValueLabel("l2", cellStrip_);
  cellLayout->addWidget(trackLabel_);
  cellLayout->addSpacing(16);
  sectorCaption_ = new QLabel(cellStrip_);
  cellLayout->addWidget(sectorCaption_);
  sectorLabel_ = ValueLabel("l1", cellStrip_);
  cellLayout->addWidget(sectorLabel_);
  cellLayout->addStretch();

  // Under the map: the file the sector belongs to.
  ownerStrip_ = Strip("trp1", parent);
  auto* ownerLayout = new QHBoxLayout(ownerStrip_);
  ownerLayout->setContentsMargins(6, 2, 6, 2);
  ownerLabel_ = new QLabel(ownerStrip_);
  ownerLabel_->setObjectName(QStringLiteral("mml1"));
  ownerLayout->addWidget(ownerLabel_);
  ownerStrip_->hide();

  // The hex pane and the strip under it.
  hexPane_ = new HexView(parent);
  hexPane_->setObjectName(QStringLiteral("s1"));
  hexPane_->SetReadOnly(true);
  // Always wide enough for the 16 bytes of a line and their characters.
  hexPane_->setMinimumWidth(hexPane_->sizeHint().width());
  QFrame* crcStrip = Strip("pn7", parent);
  auto* crcLayout = new QHBoxLayout(crcStrip);
  crcLayout->setContentsMargins(6, 2, 6, 2);
  crcLayout->addWidget(new QLabel(QStringLiteral("CRC - "), crcStrip));
  dataCrcLabel_ = ValueLabel("vCRC", crcStrip);
  dataCrcLabel_->setText(QStringLiteral("#0000"));
  crcLayout->addWidget(dataCrcLabel_);
  crcLayout->addStretch();
  acceptButton_ = new QPushButton(crcStrip);
  saveButton_ = new QPushButton(crcStrip);
  loadButton_ = new QPushButton(crcStrip);
  acceptButton_->setObjectName(QStringLiteral("pnb1"));
  saveButton_->setObjectName(QStringLiteral("pnb2"));
  loadButton_->setObjectName(QStringLiteral("pnb3"));
  for (QPushButton* button : {acceptButton_, saveButton_, loadButton_}) {
    button->setEnabled(false);
    crcLayout->addWidget(button);
  }
  copyButton_ = new QPushButton(crcStrip);
  copyButton_->setObjectName(QStringLiteral("cpb1"));
  copyButton_->hide();
  crcLayout->insertWidget(2, copyButton_);
  auto* hexColumn = new QVBoxLayout;
  hexColumn->setSpacing(2);
  hexColumn->addWidget(hexPane_, 1);
  hexColumn->addWidget(crcStrip);
  hexColumn_ = hexColumn;

  // The sector box: the ID field and the state of the data.
  sectorBox_ = new QGroupBox(parent);
  sectorBox_->setObjectName(QStringLiteral("gb1"));
  sectorBox_->setFixedWidth(170);
  QSizePolicy keepSpace = sectorBox_->sizePolicy();
  keepSpace.setRetainSizeWhenHidden(true);
  sectorBox_->setSizePolicy(keepSpace);
  auto* sectorLayout = new QGridLayout(sectorBox_);
  const char* fieldNames[6] = {"an1", "an2", "an3", "an4", "an5", "an6"};
  for (int i = 0; i < 6; ++i) sectorFields_[i] = ValueLabel(fieldNames[i], sectorBox_);
  for (int i = 0; i < 5; ++i) {
    QLabel* caption = new QLabel(i < 4 ? QString() : QStringLiteral("CRC -"), sectorBox_);
    if (i < 4) sectorCaptions_[i] = caption;
    sectorLayout->addWidget(caption, i, 0);
    sectorLayout->addWidget(sectorFields_[i], i, 1);
  }
  sectorFields_[5]->setAlignment(Qt::AlignCenter);
  sectorLayout->addWidget(sectorFields_[5], 5, 0, 1, 2);
  sectorBox_->hide();

  // The pages: the log, and the disk's comments with their buttons.
  pages_ = new QTabWidget(parent);
  pages_->setObjectName(QStringLiteral("pc1"));
  auto* logPage = new QWidget;
  logPage->setObjectName(QStringLiteral("nts1"));
  auto* logLayout = new QVBoxLayout(logPage);
  logLayout->setContentsMargins(2, 2, 2, 2);
  logList_ = new QListWidget(logPage);
  logList_->setObjectName(QStringLiteral("Lzx1"));
  logLayout->addWidget(logList_);
  pages_->addTab(logPage, QString());

  auto* commentsPage = new QWidget;
  commentsPage->setObjectName(QStringLiteral("nts2"));
  auto* commentsLayout = new QHBoxLayout(commentsPage);
  commentsLayout->setContentsMargins(2, 2, 2, 2);
  commentsEdit_ = new QPlainTextEdit(commentsPage);
  commentsEdit_->setObjectName(QStringLiteral("lb1"));
  commentsEdit_->setAcceptDrops(false);  // files dropped here are not text; the window decides
  commentsLayout->addWidget(commentsEdit_, 1);
  auto* commentButtons = new QVBoxLayout;
  takeCommentsButton_ = new QToolButton(commentsPage);
  takeCommentsButton_->setObjectName(QStringLiteral("tlb1"));
  restoreCommentsButton_ = new QToolButton(commentsPage);
  restoreCommentsButton_->setObjectName(QStringLiteral("tlb2"));
  takeCommentsButton_->setEnabled(false);
  restoreCommentsButton_->setEnabled(false);
  commentButtons->addWidget(takeCommentsButton_);
  commentButtons->addWidget(restoreCommentsButton_);
  commentButtons->addStretch();
  commentsLayout->addLayout(commentButtons);
  pages_->addTab(commentsPage, QString());
  Retranslate();
}

void CellPanels::Retranslate() {
  trackCaption_->setText(MainWindowText("Дорожка -"));
  sectorCaption_->setText(MainWindowText("Сектор -"));
  acceptButton_->setText(MainWindowText("Принять"));
  saveButton_->setText(MainWindowText("Сохранить"));
  loadButton_->setText(MainWindowText("Загрузить"));
  loadButton_->setToolTip(MainWindowText("Недоступно в этой версии"));
  copyButton_->setToolTip(
      MainWindowText("Следующая копия слабого сектора; байты, в которых копии различаются, отмечены"));
  sectorBox_->setTitle(MainWindowText("Сектор"));
  for (int i = 0; i < 4; ++i) sectorCaptions_[i]->setText(MainWindowText(kSectorCaptions[i]));
  pages_->setTabText(0, MainWindowText("Журнал"));
  pages_->setTabText(1, MainWindowText("Комментарии к диску"));
  takeCommentsButton_->setText(MainWindowText("Принять"));
  restoreCommentsButton_->setText(MainWindowText("Отменить"));
  for (std::size_t i = 0; i < logTexts_.size(); ++i) logList_->item(static_cast<int>(i))->setText(logTexts_[i]());
  if (sectorBox_->isVisibleTo(sectorBox_->parentWidget()) && shownColumn_ >= 1 && shownColumn_ <= kSlotCount) {
    const TSectorRec& sector =
        document_.Disk().GetSector(static_cast<std::uint8_t>(shownRow_), static_cast<std::uint8_t>(shownColumn_ - 1));
    sectorFields_[5]->setText(SectorStateText(sector));
    const int copies = 1 + static_cast<int>(sector.ExtraCopies.size());
    copyButton_->setText(MainWindowText("Копия %1 из %2").arg(shownCopy_ + 1).arg(copies));
  }
}

QWidget* CellPanels::CellStrip() const { return cellStrip_; }
QWidget* CellPanels::OwnerStrip() const { return ownerStrip_; }
QWidget* CellPanels::SectorBox() const { return sectorBox_; }
QWidget* CellPanels::Pages() const { return pages_; }

QString CellPanels::SectorStateText(const TSectorRec& sector) const {
  return sector.DataLen == 0 ? MainWindowText("нет данных")
         : sector.DataOk     ? MainWindowText("без ошибок")
                             : MainWindowText("сбойный");
}

// The bytes of a sector the pane shows: as many as its data field holds, or
// as its size code says when the settings ask for that.
int CellPanels::ShownLength(const TSectorRec& sector) const {
  const int sizeLength = SectorLength(sector.IdSize);
  return document_.Options().SetSectorSizeFromHead ? sizeLength : std::min<int>(sector.DataLen, kSectorDataSize);
}

void CellPanels::SetTrackAndSectorLabels(int column, int row) {
  const TTrack& track = document_.Disk().GetTrack(static_cast<std::uint8_t>(row));
  trackLabel_->setText(track.Present ? QString::number(row) : QString());
  QString sector;
  if (column >= 1 && column <= kSlotCount) {
    const TSectorRec& slot = track.GetSector(static_cast<std::uint8_t>(column - 1));
    if (slot.Used) sector = QString::number(slot.IdSector);
  }
  sectorLabel_->setText(sector);
}

// "Сохранить" needs bytes in the pane; "Загрузить" has no action and stays disabled.
void CellPanels::SetPaneButtons(bool enabled) {
  saveButton_->setEnabled(enabled);
  if (!enabled) acceptButton_->setEnabled(false);
}

void CellPanels::EmptyHexPane() {
  hexPane_->Clear();
  copyButton_->hide();
  hexPane_->SetReadOnly(true);
}

void CellPanels::ShowTrackLog(int track) {
  ClearLog();
  const TTrack& t = document_.Disk().GetTrack(static_cast<std::uint8_t>(track));
  if (!t.Present) return;
  for (const std::string& line : t.Log) AddLogLine(FixedText(QString::fromStdString(line)), false);
}

// A used slot: its ID fields, state word, data and data CRC. A size code
// above 3 has no length: its data is not shown.
void CellPanels::ShowSector(int track, int slot) {
  const TSectorRec& sector =
      document_.Disk().GetSector(static_cast<std::uint8_t>(track), static_cast<std::uint8_t>(slot));
  const QString owner = QString::fromStdString(FileAtSector(document_.Catalogs().OwnerCatalog, track, slot));
  ownerLabel_->setText(owner);
  ownerStrip_->setVisible(!owner.isEmpty());
  sectorBox_->show();
  sectorFields_[0]->setText(QString::number(sector.IdTrack));
  sectorFields_[1]->setText(QString::number(sector.IdSide));
  sectorFields_[2]->setText(QString::number(sector.IdSector));
  sectorFields_[3]->setText(SizeCodeSupported(sector.IdSize) ? QLatin1String(kSizeTexts[sector.IdSize])
                                                             : QStringLiteral("N=%1").arg(sector.IdSize));
  sectorFields_[4]->setText(HexCrc(sector.IdCrc));
  sectorFields_[5]->setText(SectorStateText(sector));
  ShowTrackLog(track);
  if (!SizeCodeSupported(sector.IdSize)) {
    SetPaneButtons(false);
    EmptyHexPane();
    return;
  }
  shownCopy_ = 0;
  if (sector.DataLen > 0) {
    ShowSectorCopy(sector, ShownLength(sector));
    SetPaneButtons(true);
  } else {
    SetPaneButtons(false);
    EmptyHexPane();
    ShowDataCrc(sector);
  }
}

// Copy shownCopy_ of a sector in the hex pane, the bytes where its copies
// differ marked; copies after the first are read-only.
void CellPanels::ShowSectorCopy(const TSectorRec& sector, int shown) {
  const int copies = 1 + static_cast<int>(sector.ExtraCopies.size());
  shownCopy_ = std::clamp(shownCopy_, 0, copies - 1);
  const auto length = static_cast<std::size_t>(shown);
  // Copy c's byte i; a copy shorter than the pane reads 0 past its end.
  const auto byteOf = [&](int c, std::size_t i) -> std::uint8_t {
    if (c == 0) return sector.Data[i];
    const Bytes& copy = sector.ExtraCopies[static_cast<std::size_t>(c - 1)].data;
    return i < copy.size() ? copy[i] : 0;
  };
  Bytes bytes(length);
  std::vector<bool> marks(length, false);
  // The first copy marks every byte some other copy reads differently; a
  // later copy marks where it differs from the first.
  for (std::size_t i = 0; i < length; ++i) {
    bytes[i] = byteOf(shownCopy_, i);
    if (shownCopy_ != 0) {
      marks[i] = byteOf(0, i) != bytes[i];
      continue;
    }
    for (int c = 1; c < copies; ++c) marks[i] = marks[i] || byteOf(c, i) != bytes[i];
  }
  hexPane_->SetData(bytes);
  hexPane_->SetMarks(std::move(marks));
  hexPane_->SetReadOnly(shownCopy_ != 0);
  copyButton_->setVisible(copies > 1);
  copyButton_->setText(MainWindowText("Копия %1 из %2").arg(shownCopy_ + 1).arg(copies));
  dataCrcLabel_->setText(HexCrc(DataCrc(bytes.data(), bytes.size())));
}

// Steps to the next copy of the weak sector shown; hex edits of the first
// copy not yet accepted are asked about first.
void CellPanels::ShowNextCopy() {
  if (shownColumn_ < 1 || shownColumn_ > kSlotCount || !ResolvePaneEdits()) return;
  const TSectorRec& sector =
      document_.Disk().GetSector(static_cast<std::uint8_t>(shownRow_), static_cast<std::uint8_t>(shownColumn_ - 1));
  if (!sector.Used || sector.DataLen == 0) return;
  const int copies = 1 + static_cast<int>(sector.ExtraCopies.size());
  shownCopy_ = (shownCopy_ + 1) % copies;
  ShowSectorCopy(sector, hexPane_->Size());
}

// The data CRC label: the CRC of the sector's data, none without data.
void CellPanels::ShowDataCrc(const TSectorRec& sector) {
  if (sector.DataLen == 0 || !SizeCodeSupported(sector.IdSize)) {
    dataCrcLabel_->clear();
    return;
  }
  dataCrcLabel_->setText(HexCrc(DataCrc(sector.Data.data(), static_cast<std::size_t>(ShownLength(sector)))));
}

// A track label: the raw image when the track holds one, else the track as
// it would be built from its sectors.
void CellPanels::ShowTrack(int track) {
  TTrack& t = document_.Disk().GetTrack(static_cast<std::uint8_t>(track));
  if (t.RawValid && t.RawLength > 0) {
    hexPane_->SetData(ByteSpan(t.RawData.data(), std::min<std::size_t>(t.RawLength, kRawCapacity)));
    hexPane_->SetReadOnly(false);
    SetPaneButtons(true);
  } else {
    SetPaneButtons(false);
    Bytes raw(kRawTrackLength, 0x4E);
    if (document_.Disk().BuildRawTrack(static_cast<std::uint8_t>(track), raw.data(), nullptr))
      hexPane_->SetData(raw);
    else
      hexPane_->Clear();
    hexPane_->SetReadOnly(true);
  }
  ShowTrackLog(track);
}

void CellPanels::ShowCell(int column, int row) {
  shownColumn_ = column;
  shownRow_ = row;
  acceptButton_->setEnabled(false);
  copyButton_->hide();
  ShowPage(0);
  SetTrackAndSectorLabels(column, row);
  // The data CRC belongs to a sector; other cells show none.
  dataCrcLabel_->clear();
  const TTrack& track = document_.Disk().GetTrack(static_cast<std::uint8_t>(row));
  if (column >= 1 && column <= kSlotCount) {
    if (track.GetSector(static_cast<std::uint8_t>(column - 1)).Used) {
      ShowSector(row, column - 1);
      return;
    }
    EmptyHexPane();
    sectorBox_->hide();
    ownerStrip_->hide();
    SetPaneButtons(false);
    ShowTrackLog(row);
    return;
  }
  ownerStrip_->hide();
  sectorBox_->hide();
  if (!track.Present || column > kSlotCount) {
    EmptyHexPane();
    SetPaneButtons(false);
    ClearLog();
    return;
  }
  ShowTrack(row);
}

void CellPanels::SetCellLabels(const QString& track, const QString& sector) {
  trackLabel_->setText(track);
  sectorLabel_->setText(sector);
}

// Nothing of the old disk stays in the pane and the sector box (the log
// stays in view).
void CellPanels::ShowNothing() {
  FillComments();
  EmptyHexPane();
  SetPaneButtons(false);
  sectorLabel_->clear();
  trackLabel_->clear();
  sectorBox_->hide();
  ownerStrip_->hide();
  dataCrcLabel_->clear();
  shownColumn_ = -1;
}

void CellPanels::Clear() {
  trackLabel_->clear();
  sectorLabel_->clear();
  commentsEdit_->clear();
  ClearLog();
  EmptyHexPane();
}

bool CellPanels::PaneEdited() const { return acceptButton_->isEnabled(); }

// "Принять" under the hex pane: asks, then the edited bytes go back into
// the sector or the raw track the pane shows.
void CellPanels::AcceptPaneEdits() {
  const TTrack& track = document_.Disk().GetTrack(static_cast<std::uint8_t>(shownRow_));
  bool accepted = false;
  if (shownColumn_ >= 1 && shownColumn_ <= kSlotCount) {
    accepted = track.GetSector(static_cast<std::uint8_t>(shownColumn_ - 1)).DataLen > 0 &&
               prompts_.AskYesNo(MainWindowText("Вы хотите принять изменения сектора?"), MainWindowText("Внимание!"));
  } else if (shownColumn_ == 0 && track.RawLength > 0) {
    accepted = prompts_.AskYesNo(MainWindowText("Вы хотите принять изменения дорожки?"), MainWindowText("Внимание!"));
  }
  acceptButton_->setEnabled(false);
  if (accepted && CopyPaneIntoShownCell()) {
    hexPane_->ClearChangeMarks();
    if (shownColumn_ >= 1) ShowDataCrc(track.GetSector(static_cast<std::uint8_t>(shownColumn_ - 1)));
  }
}

bool CellPanels::ResolvePaneEdits() {
  if (!PaneEdited()) return true;
  const PromptAnswer answer =
      prompts_.Message(MainWindowText("Изменения в HEX редакторе не приняты.\rПринять их?"),
                       MainWindowText("Внимание!"), PromptIcon::Question, PromptButtons::YesNoCancel);
  if (answer == PromptAnswer::Cancel) return false;
  if (answer == PromptAnswer::Yes) CopyPaneIntoShownCell();
  acceptButton_->setEnabled(false);
  hexPane_->ClearChangeMarks();
  return true;
}

// Copies the pane's bytes into the cell it shows; false when that cell holds nothing to copy into.
bool CellPanels::CopyPaneIntoShownCell() {
  TTrack& track = document_.Disk().GetTrack(static_cast<std::uint8_t>(shownRow_));
  if (shownColumn_ >= 1 && shownColumn_ <= kSlotCount) {
    TSectorRec& sector = track.GetSector(static_cast<std::uint8_t>(shownColumn_ - 1));
    if (sector.DataLen == 0) return false;
    hexPane_->CopyTo(sector.Data.data(), std::min<std::size_t>(sector.DataLen, kSectorDataSize));
    return true;
  }
  if (shownColumn_ != 0 || track.RawLength == 0) return false;
  hexPane_->CopyTo(track.RawData.data(), std::min<std::size_t>(track.RawLength, kRawCapacity));
  return true;
}

// "Сохранить" under the hex pane: writes the pane's bytes to a .sec file.
void CellPanels::SavePaneToFile() {
  FileDialogRequest request;
  request.filters = SplitFilterList(MainWindowText("Файл сектора (*.sec)|*.sec"));
  request.title = MainWindowText("Сохранить сектор...");
  request.defaultSuffix = QStringLiteral("sec");
  const FileDialogResult chosen = prompts_.SaveFile(request);
  if (!chosen.accepted || chosen.files.isEmpty() || chosen.files.front().isEmpty()) return;
  const QString file = chosen.files.front();
  if (!AskOverwrite(prompts_, file)) return;
  std::string error;
  if (!hexPane_->SaveToFile(PathFromUtf8(file.toStdString()), error)) prompts_.Error(QString::fromStdString(error));
}

// The memo shows the disk's comments (also "Отменить" beside it).
void CellPanels::FillComments() {
  const QSignalBlocker quiet(commentsEdit_);
  commentsEdit_->setPlainText(CommentsText(document_.Disk()));
  takeCommentsButton_->setEnabled(false);
  restoreCommentsButton_->setEnabled(false);
}

// Leaving the memo: its lines become the disk's comments.
void CellPanels::TakeComments() {
  TZX_Disk& disk = document_.Disk();
  disk.Comments.clear();
  const QStringList lines = commentsEdit_->toPlainText().split(QLatin1Char('\n'));
  if (!commentsEdit_->toPlainText().isEmpty())
    for (const QString& line : lines) disk.Comments.push_back(line.toStdString());
  takeCommentsButton_->setEnabled(false);
  restoreCommentsButton_->setEnabled(false);
}

bool CellPanels::CommentsPending() const { return commentsEdit_->toPlainText() != CommentsText(document_.Disk()); }

QStringList CellPanels::LogLines() const {
  QStringList lines;
  for (int i = 0; i < logList_->count(); ++i) lines << logList_->item(i)->text();
  return lines;
}

void CellPanels::AddLogLine(const LiveText& line, bool select) {
  logTexts_.push_back(line);
  logList_->addItem(line());
  if (select) logList_->setCurrentRow(logList_->count() - 1);
}

void CellPanels::ClearLog() {
  logList_->clear();
  logTexts_.clear();
}

void CellPanels::ShowPage(int page) { pages_->setCurrentIndex(page); }

}  // namespace velloran
