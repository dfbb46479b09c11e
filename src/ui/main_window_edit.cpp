// Commands that edit the disk in memory: tracks and sector slots added and
// removed, sector addresses, accepted hex-pane bytes, new disks, the base
// track, and the catalog windows' entry points.
#include <algorithm>

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include "common/utf8_path.h"
#include "cpm/cpm_disk.h"
#include "cpm/cpm_recognition.h"
#include "ui/catalog_windows.h"
#include "ui/disk_map.h"
#include "ui/hex_view.h"
#include "ui/main_window.h"
#include "ui/prompts.h"
#include "ui/sector_address_dialog.h"

namespace velloran {

namespace {}  // namespace

// "Установить базовой дорожкой": the right-clicked track becomes the base track.
void TFMain::z22Click() {
  if (curTrack_ < 0) return;
  if (disk_.GetTrack(static_cast<std::uint8_t>(curTrack_)).RawLength > 0) disk_.UseBaseTrack = 1;
  disk_.BaseTrack = static_cast<std::uint8_t>(curTrack_);
  Item("N21")->setText(tr("Использовать базовый шаблон для всех дорожек (Дорожка - %1)").arg(curTrack_));
}

// "Использовать базовый шаблон для всех дорожек": switches the base track on or off.
void TFMain::N21Click() {
  QAction* item = Item("N21");
  if (item->isChecked()) {
    item->setChecked(false);
    disk_.UseBaseTrack = 0;
    return;
  }
  if (disk_.BaseTrack < 160) {
    const TTrack& base = disk_.GetTrack(disk_.BaseTrack);
    if (base.Present != 0 && base.RawLength > 0) {
      disk_.UseBaseTrack = 1;
      item->setChecked(true);
    }
  }
}

// "Убрать дорожку": the track leaves the image; its contents stay for a later "Добавить дорожку".
void TFMain::z8Click() {
  if (curTrack_ < 0) return;
  disk_.GetTrack(static_cast<std::uint8_t>(curTrack_)).Present = 0;
  RepaintMap();
}

// "Добавить дорожку": the track is part of the image again.
void TFMain::z9Click() {
  if (curTrack_ < 0) return;
  disk_.GetTrack(static_cast<std::uint8_t>(curTrack_)).Present = 0xFF;
  RepaintMap();
}

// "Убрать сектор": removes a slot; the slots after it move up by one.
void TFMain::z10Click() {
  if (curSector_ < 1 || curTrack_ < 0) {
    prompts_.Message(tr("Сектор не выбран!"), tr("Ошибка!"), PromptIcon::Error, PromptButtons::Ok);
    return;
  }
  if (!prompts_.AskYesNo(tr("Вы действительно хотите удалить сектор?\rПоследующие сектора будут сдвинуты!"),
                         tr("Удаление сектора..")))
    return;
  ShowPage(0);
  ClearLog();
  auto& sectors = disk_.GetTrack(static_cast<std::uint8_t>(curTrack_)).Sectors;
  std::move(sectors.begin() + curSector_, sectors.end(), sectors.begin() + curSector_ - 1);
  sectors.back() = TSectorRec{};
  RepaintMap();
}

// "Добавить сектор": makes an empty slot a sector whose ID is then edited.
void TFMain::z11Click() {
  if (curSector_ < 1 || curTrack_ < 0) return;
  TSectorRec& sector = disk_.GetSector(static_cast<std::uint8_t>(curTrack_), static_cast<std::uint8_t>(curSector_ - 1));
  // The ID field gets its CRC: a built track writes the slot's CRC as it is.
  SetIdField(sector, static_cast<std::uint8_t>(curTrack_), static_cast<std::uint8_t>(curTrack_ % 2),
             static_cast<std::uint8_t>(curSector_ - 1), 1);
  sector.DataOk = 0xFF;
  RepaintMap();
}

// "Данные секторов -> RAW": every raw track image takes its sectors' current data.
void TFMain::z12Click() {
  const int tracks = disk_.CountTracks();
  for (int t = 0; t < tracks; ++t) disk_.GetTrack(static_cast<std::uint8_t>(t)).SectorsToRaw();
  s1_->viewport()->update();
}

// "Очистить дорожку": drops the raw image of the right-clicked track.
void TFMain::z14Click() {
  if (curSector_ != 0 || curTrack_ < 0) return;
  if (!prompts_.AskYesNo(tr("Вы действительно хотите удалить данные дорожки?"), tr("Очистка RAW дорожки!"))) return;
  TTrack& track = disk_.GetTrack(static_cast<std::uint8_t>(curTrack_));
  track.RawData.fill(0);
  track.RawValid = 0;
  track.RawLength = 0;
  RepaintMap();
}

// "Редактировать адрес сектора": edits the ID field of the right-clicked slot.
void TFMain::z23Click() {
  if (curSector_ < 1 || curTrack_ < 0) return;
  auto* dialog = findChild<SectorAddressDialog*>(QStringLiteral("TSecAd"));
  if (dialog == nullptr) dialog = new SectorAddressDialog(this);
  TSectorRec& sector = disk_.GetSector(static_cast<std::uint8_t>(curTrack_), static_cast<std::uint8_t>(curSector_ - 1));
  dialog->Fill(sector);
  if (!prompts_.Run(*dialog)) return;
  dialog->ApplyTo(sector);
  RepaintMap();
}

// "Очистить образ": empties the whole disk.
void TFMain::N12Click() {
  if (!prompts_.AskYesNo(tr("Вы действительно хотите очистить образ?"), tr("Очистка образа.."))) return;
  disk_.ClearDisk();
  catalogs_.OwnerCatalog = TrdosCatalog{};
  l2_->clear();
  l1_->clear();
  zxd_->ScrollToOrigin();
  lb1_->clear();
  ClearLog();
  EmptyHexPane();
}

// "Принять" under the hex pane: asks, then the edited bytes go back into
// the sector or the raw track the pane shows.
void TFMain::pnb1Click() {
  const TTrack& track = disk_.GetTrack(static_cast<std::uint8_t>(shownRow_));
  bool accepted = false;
  if (shownColumn_ >= 1 && shownColumn_ <= kSlotCount) {
    accepted = track.GetSector(static_cast<std::uint8_t>(shownColumn_ - 1)).DataLen > 0 &&
               prompts_.AskYesNo(tr("Вы хотите принять изменения сектора?"), tr("Внимание!"));
  } else if (shownColumn_ == 0 && track.RawLength > 0) {
    accepted = prompts_.AskYesNo(tr("Вы хотите принять изменения дорожки?"), tr("Внимание!"));
  }
  pnb1_->setEnabled(false);
  if (accepted && CopyPaneIntoShownCell()) {
    s1_->ClearChangeMarks();
    RepaintMap();
    if (shownColumn_ >= 1) ShowDataCrc(track.GetSector(static_cast<std::uint8_t>(shownColumn_ - 1)));
  }
  RefreshState();
}

bool TFMain::CopyPaneIntoShownCell() {
  TTrack& track = disk_.GetTrack(static_cast<std::uint8_t>(shownRow_));
  if (shownColumn_ >= 1 && shownColumn_ <= kSlotCount) {
    TSectorRec& sector = track.GetSector(static_cast<std::uint8_t>(shownColumn_ - 1));
    if (sector.DataLen == 0) return false;
    s1_->CopyTo(sector.Data.data(), std::min<std::size_t>(sector.DataLen, kSectorDataSize));
    return true;
  }
  if (shownColumn_ != 0 || track.RawLength == 0) return false;
  s1_->CopyTo(track.RawData.data(), std::min<std::size_t>(track.RawLength, kRawCapacity));
  return true;
}

// "Сохранить" under the hex pane: writes the pane's bytes to a .sec file.
void TFMain::pnb2Click() {
  FileDialogRequest request;
  request.filters = SplitFilterList(tr("Файл сектора (*.sec)|*.sec"));
  request.title = tr("Сохранить сектор...");
  request.defaultSuffix = QStringLiteral("sec");
  const FileDialogResult chosen = prompts_.SaveFile(request);
  if (!chosen.accepted || chosen.files.isEmpty() || chosen.files.front().isEmpty()) return;
  const QString file = chosen.files.front();
  if (!AskOverwrite(file)) return;
  std::string error;
  if (!s1_->SaveToFile(PathFromUtf8(file.toStdString()), error)) prompts_.Error(QString::fromStdString(error));
}

// "Создать образ" -> "TR-DOS диска": an empty TR-DOS disk with the name asked for.
void TFMain::TRDOS1Click() {
  if (!ConfirmUnsaved()) return;
  TextRequest request;
  request.caption = tr("Имя диска!");
  request.text = tr("Задайте имя диска (8 символов максимум)");
  request.label = tr("Имя:");
  request.maxLength = 8;
  request.cancelButton = tr("Отмена");
  QString name = QStringLiteral("NEW DISK");
  // Cancel keeps the disk in memory as it is.
  if (!prompts_.AskText(request, name)) return;
  MakeTrdosDisk(disk_, name.left(8).toStdString());
  ShowNewDisk();
}

// "Создать образ" -> "CP/M диска (Profi)": an empty Profi CP/M disk.
void TFMain::CPMProfi1Click() {
  if (!ConfirmUnsaved()) return;
  MakeCpmDisk(disk_);
  ShowNewDisk();
}

// A disk made in memory belongs to no file yet.
void TFMain::ShowNewDisk() {
  ForgetImageFile();
  FillComments();
  zxd_->ScrollToOrigin();
  ShowCell(0, 0);
}

void TFMain::ForgetImageFile() {
  catalogs_.OwnerCatalog = TrdosCatalog{};
  curImageName_.clear();
  SetStatusText(1, {});
  SetStatusText(2, {});
}

// "Просмотреть ZX каталог": the TR-DOS catalog of the disk in memory.
void TFMain::N26Click() {
  if (!ReadCatalog(disk_, catalogs_.SharedCatalog)) {
    prompts_.Message(tr("Образ не соответствует стандартному TR-DOS диску!"), tr("Ошибка!"), PromptIcon::None,
                     PromptButtons::Ok);
    return;
  }
  catalogs_.CatalogEditable = true;
  catalogs_.CatalogChanged = false;
  ShowTrdosCatalogWindow(*this);
  if (catalogs_.CatalogChanged) z12Click();
  RepaintMap();
}

// "Просмотреть CP/M каталог": the CP/M catalog of a disk of a known CP/M
// definition.
void TFMain::CPM1Click() {
  if (!RecognizeCpmDisk(disk_)) {
    prompts_.Message(tr("Образ не соответствует CP/M диску!"), tr("Ошибка!"), PromptIcon::None, PromptButtons::Ok);
    return;
  }
  ShowCpmCatalogWindow(*this);
}

}  // namespace velloran
