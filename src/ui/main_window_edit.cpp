// Commands that edit the disk in memory: tracks and sector slots added and
// removed, sector addresses, new disks, the base track, and the catalog
// windows' entry points.
#include <algorithm>

#include <QAction>

#include "cpm/cpm_disk.h"
#include "cpm/cpm_recognition.h"
#include "ui/catalog_windows.h"
#include "ui/disk_map.h"
#include "ui/hex_view.h"
#include "ui/main_window.h"
#include "ui/main_window_commands.h"
#include "ui/main_window_text.h"
#include "ui/prompts.h"
#include "ui/sector_address_dialog.h"

namespace velloran {

namespace {

// The right-clicked track; nullptr when none is.
TTrack* TargetTrack(TFMain& window) {
  const int track = window.CurTrack();
  return track < 0 ? nullptr : &window.Disk().GetTrack(static_cast<std::uint8_t>(track));
}

// The right-clicked slot; nullptr when the cell is no slot.
TSectorRec* TargetSlot(TFMain& window) {
  TTrack* track = TargetTrack(window);
  const int column = window.CurSector();
  return track == nullptr || column < 1 ? nullptr : &track->GetSector(static_cast<std::uint8_t>(column - 1));
}

}  // namespace

// "Установить базовой дорожкой": the right-clicked track becomes the base track.
void OnSetBaseTrack(TFMain& window) {
  TTrack* track = TargetTrack(window);
  if (track == nullptr) return;
  TZX_Disk& disk = window.Disk();
  if (track->RawLength > 0) disk.UseBaseTrack = true;
  disk.BaseTrack = static_cast<std::uint8_t>(window.CurTrack());
  window.Item("N21")->setText(
      MainWindowText("Использовать базовый шаблон для всех дорожек (Дорожка - %1)").arg(window.CurTrack()));
}

// "Использовать базовый шаблон для всех дорожек": switches the base track on or off.
void OnUseBaseTrack(TFMain& window) {
  QAction* item = window.Item("N21");
  TZX_Disk& disk = window.Disk();
  if (item->isChecked()) {
    item->setChecked(false);
    disk.UseBaseTrack = false;
    return;
  }
  if (disk.BaseTrack < 160) {
    const TTrack& base = disk.GetTrack(disk.BaseTrack);
    if (base.Present && base.RawLength > 0) {
      disk.UseBaseTrack = true;
      item->setChecked(true);
    }
  }
}

// "Убрать дорожку": the track leaves the image; its contents stay for a later "Добавить дорожку".
void OnRemoveTrack(TFMain& window) {
  if (TTrack* track = TargetTrack(window)) track->Present = false;
  window.RepaintMap();
}

// "Добавить дорожку": the track is part of the image again.
void OnAddTrack(TFMain& window) {
  if (TTrack* track = TargetTrack(window)) track->Present = true;
  window.RepaintMap();
}

// "Убрать сектор": removes a slot; the slots after it move up by one.
void OnRemoveSector(TFMain& window) {
  Prompts& prompts = window.Questions();
  if (TargetSlot(window) == nullptr) {
    prompts.Message(MainWindowText("Сектор не выбран!"), MainWindowText("Ошибка!"), PromptIcon::Error,
                    PromptButtons::Ok);
    return;
  }
  if (!prompts.AskYesNo(MainWindowText("Вы действительно хотите удалить сектор?\rПоследующие сектора будут сдвинуты!"),
                        MainWindowText("Удаление сектора..")))
    return;
  window.ShowPage(0);
  window.ClearLog();
  auto& sectors = TargetTrack(window)->Sectors;
  const int column = window.CurSector();
  std::move(sectors.begin() + column, sectors.end(), sectors.begin() + column - 1);
  sectors.back() = TSectorRec{};
  window.RepaintMap();
}

// "Добавить сектор": makes an empty slot a sector whose ID is then edited.
void OnAddSector(TFMain& window) {
  TSectorRec* sector = TargetSlot(window);
  if (sector == nullptr) return;
  const int track = window.CurTrack();
  // The ID field gets its CRC: a built track writes the slot's CRC as it is.
  SetIdField(*sector, static_cast<std::uint8_t>(track), static_cast<std::uint8_t>(track % 2),
             static_cast<std::uint8_t>(window.CurSector() - 1), 1);
  sector->DataOk = true;
  window.RepaintMap();
}

// "Данные секторов -> RAW": every raw track image takes its sectors' current data.
void OnSectorsToRaw(TFMain& window) {
  TZX_Disk& disk = window.Disk();
  const int tracks = disk.CountTracks();
  for (int t = 0; t < tracks; ++t) disk.GetTrack(static_cast<std::uint8_t>(t)).SectorsToRaw();
  window.Panels().HexPane().viewport()->update();
}

// "Очистить дорожку": drops the raw image of the right-clicked track.
void OnClearTrack(TFMain& window) {
  TTrack* track = TargetTrack(window);
  if (window.CurSector() != 0 || track == nullptr) return;
  if (!window.Questions().AskYesNo(MainWindowText("Вы действительно хотите удалить данные дорожки?"),
                                   MainWindowText("Очистка RAW дорожки!")))
    return;
  track->RawData.fill(0);
  track->RawValid = false;
  track->RawLength = 0;
  window.RepaintMap();
}

// "Редактировать адрес сектора": edits the ID field of the right-clicked slot.
void OnEditSectorAddress(TFMain& window) {
  TSectorRec* sector = TargetSlot(window);
  if (sector == nullptr) return;
  auto* dialog = window.findChild<SectorAddressDialog*>(QStringLiteral("TSecAd"));
  if (dialog == nullptr) dialog = new SectorAddressDialog(&window);
  dialog->Fill(*sector);
  if (!window.Questions().Run(*dialog)) return;
  dialog->ApplyTo(*sector);
  window.RepaintMap();
}

// "Очистить образ": empties the whole disk.
void OnClearImage(TFMain& window) {
  if (!window.Questions().AskYesNo(MainWindowText("Вы действительно хотите очистить образ?"),
                                   MainWindowText("Очистка образа..")))
    return;
  window.Disk().ClearDisk();
  window.Catalogs().OwnerCatalog = TrdosCatalog{};
  window.Map().ScrollToOrigin();
  window.Panels().Clear();
}

// "Создать образ" -> "TR-DOS диска": an empty TR-DOS disk with the name asked for.
void OnNewTrdosDisk(TFMain& window) {
  if (!window.ConfirmUnsaved()) return;
  TextRequest request;
  request.caption = MainWindowText("Имя диска!");
  request.text = MainWindowText("Задайте имя диска (8 символов максимум)");
  request.label = MainWindowText("Имя:");
  request.maxLength = 8;
  request.cancelButton = MainWindowText("Отмена");
  QString name = QStringLiteral("NEW DISK");
  // Cancel keeps the disk in memory as it is.
  if (!window.Questions().AskText(request, name)) return;
  MakeTrdosDisk(window.Disk(), name.left(8).toStdString());
  ShowNewDisk(window);
}

// "Создать образ" -> "CP/M диска (Profi)": an empty Profi CP/M disk.
void OnNewCpmDisk(TFMain& window) {
  if (!window.ConfirmUnsaved()) return;
  MakeCpmDisk(window.Disk());
  ShowNewDisk(window);
}

// A disk made in memory belongs to no file yet.
void ShowNewDisk(TFMain& window) {
  window.ForgetImageFile();
  window.Panels().FillComments();
  window.Map().ScrollToOrigin();
  window.Panels().ShowCell(0, 0);
}

void TFMain::ForgetImageFile() {
  document_.ForgetFile();
  SetStatusText(1, {});
  SetStatusText(2, {});
}

// "Просмотреть ZX каталог": the TR-DOS catalog of the disk in memory.
void OnShowTrdosCatalog(TFMain& window) {
  CatalogState& catalogs = window.Catalogs();
  if (!ReadCatalog(window.Disk(), catalogs.SharedCatalog)) {
    window.Questions().Message(MainWindowText("Образ не соответствует стандартному TR-DOS диску!"),
                               MainWindowText("Ошибка!"), PromptIcon::None, PromptButtons::Ok);
    return;
  }
  catalogs.CatalogEditable = true;
  catalogs.CatalogChanged = false;
  ShowTrdosCatalogWindow(window);
  if (catalogs.CatalogChanged) OnSectorsToRaw(window);
  window.RepaintMap();
}

// "Просмотреть CP/M каталог": the CP/M catalog of a disk of a known CP/M
// definition.
void OnShowCpmCatalog(TFMain& window) {
  if (!RecognizeCpmDisk(window.Disk())) {
    window.Questions().Message(MainWindowText("Образ не соответствует CP/M диску!"), MainWindowText("Ошибка!"),
                               PromptIcon::None, PromptButtons::Ok);
    return;
  }
  ShowCpmCatalogWindow(window);
}

}  // namespace velloran
