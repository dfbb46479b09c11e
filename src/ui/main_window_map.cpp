// What a click on the disk map shows, the map's context menu, the hex pane's
// edits and the comments memo.
#include <algorithm>

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

#include "ui/disk_map.h"
#include "ui/hex_view.h"
#include "ui/main_window.h"

namespace velloran {

namespace {

const char* const kSizeTexts[4] = {"128b", "256b", "512b", "1024b"};

QString HexCrc(std::uint16_t crc) { return QStringLiteral("#%1").arg(crc, 4, 16, QLatin1Char('0')).toUpper(); }

// The data CRC as the controller computes it: A1 A1 A1 FB, then the data.
std::uint16_t DataCrc(const std::uint8_t* data, std::size_t length) {
  Bytes field = {0xA1, 0xA1, 0xA1, 0xFB};
  field.insert(field.end(), data, data + length);
  return CalcCRC16(field.data(), field.size());
}

}  // namespace

// The bytes of a sector the pane shows: as many as its data field holds, or
// as its size code says when the settings ask for that.
int TFMain::ShownLength(const TSectorRec& sector) const {
  const int sizeLength = SectorLength(sector.IdSize);
  return settings_.SetSectorSizeFromHead ? sizeLength : std::min<int>(sector.DataLen, kSectorDataSize);
}

void TFMain::SetTrackAndSectorLabels(int column, int row) {
  const TTrack& track = disk_.GetTrack(static_cast<std::uint8_t>(row));
  l2_->setText(track.Present != 0 ? QString::number(row) : QString());
  QString sector;
  if (column >= 1 && column <= kSlotCount) {
    const TSectorRec& slot = track.GetSector(static_cast<std::uint8_t>(column - 1));
    if (slot.Used != 0) sector = QString::number(slot.IdSector);
  }
  l1_->setText(sector);
}

// "Сохранить" needs bytes in the pane; "Загрузить" has no action and stays disabled.
void TFMain::SetPaneButtons(bool enabled) {
  pnb2_->setEnabled(enabled);
  if (!enabled) pnb1_->setEnabled(false);
}

void TFMain::EmptyHexPane() {
  s1_->Clear();
  cpb1_->hide();
  s1_->SetReadOnly(true);
}

void TFMain::ShowTrackLog(int track) {
  Lzx1_->clear();
  const TTrack& t = disk_.GetTrack(static_cast<std::uint8_t>(track));
  if (t.Present == 0) return;
  for (const std::string& line : t.Log) Lzx1_->addItem(QString::fromStdString(line));
}

// A used slot: its ID fields, state word, data and data CRC. A size code
// above 3 has no length: its data is not shown.
void TFMain::ShowSector(int track, int slot) {
  const TSectorRec& sector = disk_.GetSector(static_cast<std::uint8_t>(track), static_cast<std::uint8_t>(slot));
  const QString owner = QString::fromStdString(FileAtSector(catalogs_.OwnerCatalog, track, slot));
  mml1_->setText(owner);
  trp1_->setVisible(!owner.isEmpty());
  gb1_->show();
  an_[0]->setText(QString::number(sector.IdTrack));
  an_[1]->setText(QString::number(sector.IdSide));
  an_[2]->setText(QString::number(sector.IdSector));
  an_[3]->setText(SizeCodeSupported(sector.IdSize) ? QLatin1String(kSizeTexts[sector.IdSize])
                                                   : QStringLiteral("N=%1").arg(sector.IdSize));
  an_[4]->setText(HexCrc(sector.IdCrc));
  an_[5]->setText(sector.DataLen == 0 ? tr("нет данных") : sector.DataOk != 0 ? tr("без ошибок") : tr("сбойный"));
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

void TFMain::ShowSectorCopy(const TSectorRec& sector, int shown) {
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
  s1_->SetData(bytes);
  s1_->SetMarks(std::move(marks));
  s1_->SetReadOnly(shownCopy_ != 0);
  cpb1_->setVisible(copies > 1);
  cpb1_->setText(tr("Копия %1 из %2").arg(shownCopy_ + 1).arg(copies));
  vCRC_->setText(HexCrc(DataCrc(bytes.data(), bytes.size())));
}

// Steps to the next copy of the weak sector shown; hex edits of the first
// copy not yet accepted are asked about first.
void TFMain::cpb1Click() {
  if (shownColumn_ < 1 || shownColumn_ > kSlotCount || !ResolvePaneEdits()) return;
  const TSectorRec& sector =
      disk_.GetSector(static_cast<std::uint8_t>(shownRow_), static_cast<std::uint8_t>(shownColumn_ - 1));
  if (sector.Used == 0 || sector.DataLen == 0) return;
  const int copies = 1 + static_cast<int>(sector.ExtraCopies.size());
  shownCopy_ = (shownCopy_ + 1) % copies;
  ShowSectorCopy(sector, s1_->Size());
}

void TFMain::ShowDataCrc(const TSectorRec& sector) {
  if (sector.DataLen == 0 || !SizeCodeSupported(sector.IdSize)) {
    vCRC_->clear();
    return;
  }
  vCRC_->setText(HexCrc(DataCrc(sector.Data.data(), static_cast<std::size_t>(ShownLength(sector)))));
}

// A track label: the raw image when the track holds one, else the track as
// it would be built from its sectors.
void TFMain::ShowTrack(int track) {
  TTrack& t = disk_.GetTrack(static_cast<std::uint8_t>(track));
  if (t.RawValid != 0 && t.RawLength > 0) {
    s1_->SetData(ByteSpan(t.RawData.data(), std::min<std::size_t>(t.RawLength, kRawCapacity)));
    s1_->SetReadOnly(false);
    SetPaneButtons(true);
  } else {
    SetPaneButtons(false);
    Bytes raw(kRawTrackLength, 0x4E);
    if (disk_.BuildRawTrack(static_cast<std::uint8_t>(track), raw.data(), nullptr))
      s1_->SetData(raw);
    else
      s1_->Clear();
    s1_->SetReadOnly(true);
  }
  ShowTrackLog(track);
}

// Left click on the map (also a keyboard move): shows the current cell.
// Hex edits not yet accepted are asked about first; keeping them keeps the
// cell they belong to.
void TFMain::zxdClick() {
  const int column = zxd_->CurrentColumn();
  const int row = zxd_->CurrentRow();
  if (column == shownColumn_ && row == shownRow_ && pnb1_->isEnabled()) return;
  if (!ResolvePaneEdits()) {
    zxd_->SetCurrentCell(shownColumn_, shownRow_);
    return;
  }
  ShowCell(column, row);
}

void TFMain::ShowCell(int column, int row) {
  shownColumn_ = column;
  shownRow_ = row;
  pnb1_->setEnabled(false);
  cpb1_->hide();
  ShowPage(0);
  SetTrackAndSectorLabels(column, row);
  // The data CRC belongs to a sector; other cells show none.
  vCRC_->clear();
  const TTrack& track = disk_.GetTrack(static_cast<std::uint8_t>(row));
  if (column >= 1 && column <= kSlotCount) {
    if (track.GetSector(static_cast<std::uint8_t>(column - 1)).Used != 0) {
      ShowSector(row, column - 1);
      return;
    }
    EmptyHexPane();
    gb1_->hide();
    trp1_->hide();
    SetPaneButtons(false);
    ShowTrackLog(row);
    return;
  }
  trp1_->hide();
  gb1_->hide();
  if (track.Present == 0 || column > kSlotCount) {
    EmptyHexPane();
    SetPaneButtons(false);
    Lzx1_->clear();
    return;
  }
  ShowTrack(row);
}

// Right click on the map: the cell becomes the current one, shown in every
// panel like a left click, and the context menu's items are set for it.
bool TFMain::zxdContextPopup(int column, int row) {
  if (column >= 0 && row >= 0) {
    zxd_->SetCurrentCell(column, row);
    zxdClick();
    if (zxd_->CurrentColumn() != column || zxd_->CurrentRow() != row) return false;
  }
  curSector_ = column;
  curTrack_ = row;
  RefreshItems("pm1");
  RefreshItems("ImageOperations1");
  return true;
}

void TFMain::s1ByteChange() {
  if (s1_->IsReadOnly()) return;
  pnb1_->setEnabled(true);
  RefreshState();
}

void TFMain::lb1Exit() {
  disk_.Comments.clear();
  const QStringList lines = lb1_->toPlainText().split(QLatin1Char('\n'));
  if (!lb1_->toPlainText().isEmpty())
    for (const QString& line : lines) disk_.Comments.push_back(line.toStdString());
  tlb1_->setEnabled(false);
  tlb2_->setEnabled(false);
  RefreshState();
}

// The memo shows the disk's comments (also "Отменить" beside it).
void TFMain::FillComments() {
  QStringList lines;
  for (const std::string& line : disk_.Comments) lines << QString::fromStdString(line);
  const QSignalBlocker quiet(lb1_);
  lb1_->setPlainText(lines.join(QLatin1Char('\n')));
  tlb1_->setEnabled(false);
  tlb2_->setEnabled(false);
  RefreshState();
}

}  // namespace velloran
