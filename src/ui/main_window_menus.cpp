// The main window's menus and the map's context menu, made from one table:
// each item's object name, caption and command. When a command can be used
// (and the reason shown as its tooltip when it cannot) the document says.
#include <span>

#include <QAction>
#include <QEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "common/version.h"
#include "ui/disk_map.h"
#include "ui/live_text.h"
#include "ui/main_window.h"
#include "ui/main_window_commands.h"
#include "ui/main_window_text.h"
#include "ui/map_legend.h"
#include "ui/prompts.h"

namespace velloran {

namespace {

// One row of the menu table: a menu, a submenu, an item or a separator.
struct MenuEntry {
  enum Kind { Menu, Submenu, Item, Separator };

  Kind kind = Item;
  const char* parent = nullptr;   // object name of the menu it sits in; nullptr: the menu bar
  const char* name = nullptr;     // object name of the menu or item
  const char* caption = nullptr;  // as the user reads it; a menu without one is a context menu
  Command command = Command::None;
  // An item's command, or what runs when a submenu opens; nullptr: nothing.
  void (*run)(TFMain& window) = nullptr;
  bool hidden = false;
  bool checkable = false;
  bool checked = false;
  const char* shortcut = nullptr;
};

// The main menus, the map's context menu and their items, in order.
std::span<const MenuEntry> MenuTable() {
  using E = MenuEntry;
  static const MenuEntry kEntries[] = {
      {.kind = E::Menu, .name = "N1", .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Образ")},
      {.kind = E::Submenu,
       .parent = "N1",
       .name = "CreateImage1",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Создать образ"),
       .command = Command::CreateImageMenu},
      {.kind = E::Item,
       .parent = "CreateImage1",
       .name = "TRDOS1",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "TR-DOS диска"),
       .command = Command::NewTrdosDisk,
       .run = &OnNewTrdosDisk},
      {.kind = E::Item,
       .parent = "CreateImage1",
       .name = "CPMProfi1",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "CP/M диска (Profi)"),
       .command = Command::NewCpmDisk,
       .run = &OnNewCpmDisk},
      {.kind = E::Item,
       .parent = "N1",
       .name = "N4",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Загрузить"),
       .command = Command::LoadUdf,
       .run = &OnLoadUdf,
       .hidden = true},
      {.kind = E::Item,
       .parent = "N1",
       .name = "N31",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Загрузить образ"),
       .command = Command::LoadImage,
       .run = &OnLoadImage,
       .shortcut = "Ctrl+O"},
      {.kind = E::Item,
       .parent = "N1",
       .name = "MergeImage1",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Объединить с другим образом"),
       .command = Command::MergeImages,
       .run = &OnMergeImages},
      {.kind = E::Submenu,
       .parent = "N1",
       .name = "Recent1",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Последние образы"),
       .command = Command::RecentFilesMenu,
       .run = &OnRecentFilesMenu},
      {.kind = E::Separator, .parent = "N1"},
      {.kind = E::Submenu,
       .parent = "N1",
       .name = "TrackTemplate1",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Шаблон дорожек"),
       .command = Command::TrackTemplateMenu},
      {.kind = E::Item,
       .parent = "TrackTemplate1",
       .name = "EditBaseTemplate1",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Редактировать базовый шаблон"),
       .command = Command::EditBaseTemplate},
      {.kind = E::Item,
       .parent = "TrackTemplate1",
       .name = "N21",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Использовать базовый шаблон для всех дорожек"),
       .command = Command::UseBaseTrack,
       .run = &OnUseBaseTrack,
       .checkable = true,
       .checked = true},
      {.kind = E::Item,
       .parent = "N1",
       .name = "N26",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Просмотреть ZX каталог"),
       .command = Command::ShowTrdosCatalog,
       .run = &OnShowTrdosCatalog},
      {.kind = E::Item,
       .parent = "N1",
       .name = "CPM1",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Просмотреть CP/M каталог"),
       .command = Command::ShowCpmCatalog,
       .run = &OnShowCpmCatalog},
      {.kind = E::Separator, .parent = "N1"},
      {.kind = E::Item,
       .parent = "N1",
       .name = "N12",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Очистить образ"),
       .command = Command::ClearImage,
       .run = &OnClearImage},
      {.kind = E::Item,
       .parent = "N1",
       .name = "N6",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Сохранить"),
       .command = Command::SaveUdf,
       .run = &OnSaveUdf,
       .hidden = true},
      {.kind = E::Item,
       .parent = "N1",
       .name = "N32",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Сохранить образ"),
       .command = Command::SaveImage,
       .run = &OnSaveImage,
       .shortcut = "Ctrl+S"},
      {.kind = E::Separator, .parent = "N1"},
      {.kind = E::Item,
       .parent = "N1",
       .name = "N20",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Выход"),
       .command = Command::Exit,
       .run = &OnExit,
       .shortcut = "Ctrl+Q"},
      {.kind = E::Menu, .name = "N2", .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Диск")},
      {.kind = E::Item,
       .parent = "N2",
       .name = "DriveProblem1",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Почему дисковод недоступен?"),
       .command = Command::ExplainDriveProblem,
       .run = &OnExplainDriveProblem},
      {.kind = E::Item,
       .parent = "N2",
       .name = "FullRead1",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Полное чтение диска"),
       .command = Command::FullRead,
       .hidden = true},
      {.kind = E::Item,
       .parent = "N2",
       .name = "RawRead1",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Чтение сырых данных"),
       .command = Command::RawRead,
       .hidden = true},
      {.kind = E::Item,
       .parent = "N2",
       .name = "N8",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Сканирование дорожек"),
       .command = Command::ScanTracks,
       .run = &OnScanTracks},
      {.kind = E::Item,
       .parent = "N2",
       .name = "N9",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Чтение секторов по меткам"),
       .command = Command::ReadSectors,
       .run = &OnReadSectors},
      {.kind = E::Item,
       .parent = "N2",
       .name = "N17",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Сканирование и чтение диска"),
       .command = Command::ScanAndRead,
       .run = &OnScanAndRead},
      {.kind = E::Item,
       .parent = "N2",
       .name = "FastRead1",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Быстрое чтение диска"),
       .command = Command::FastRead,
       .run = &OnFastRead},
      {.kind = E::Item,
       .parent = "N2",
       .name = "RereadBad1",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Перечитать сбойные сектора"),
       .command = Command::RereadBadSectors,
       .hidden = true},
      {.kind = E::Separator, .parent = "N2"},
      {.kind = E::Item,
       .parent = "N2",
       .name = "N14",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Форматировать диск"),
       .command = Command::FormatDisk,
       .run = &OnFormatDisk},
      {.kind = E::Item,
       .parent = "N2",
       .name = "N15",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Записать диск"),
       .command = Command::WriteDisk,
       .run = &OnWriteDisk},
      {.kind = E::Item,
       .parent = "N2",
       .name = "N33",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Форматировать и записать"),
       .command = Command::FormatAndWrite,
       .run = &OnFormatAndWrite},
      {.kind = E::Separator, .parent = "N2"},
      {.kind = E::Item,
       .parent = "N2",
       .name = "N10",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Считать ZX каталог"),
       .command = Command::ReadDriveCatalog,
       .run = &OnReadDriveCatalog},
      {.kind = E::Menu, .name = "Controller1", .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Контроллер")},
      {.kind = E::Item,
       .parent = "Controller1",
       .name = "DriveProblem2",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Почему дисковод недоступен?"),
       .command = Command::ExplainDriveProblem,
       .run = &OnExplainDriveProblem},
      {.kind = E::Item,
       .parent = "Controller1",
       .name = "N22",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Сбросить FDD контроллер"),
       .command = Command::ResetController,
       .run = &OnResetController},
      {.kind = E::Menu, .name = "View1", .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Вид")},
      {.kind = E::Item,
       .parent = "View1",
       .name = "ZoomIn1",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Крупнее"),
       .command = Command::ZoomIn,
       .run = &OnZoomIn,
       .shortcut = "Ctrl++"},
      {.kind = E::Item,
       .parent = "View1",
       .name = "ZoomOut1",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Мельче"),
       .command = Command::ZoomOut,
       .run = &OnZoomOut,
       .shortcut = "Ctrl+-"},
      {.kind = E::Item,
       .parent = "View1",
       .name = "ZoomReset1",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Обычный размер"),
       .command = Command::ZoomReset,
       .run = &OnZoomReset,
       .shortcut = "Ctrl+0"},
      {.kind = E::Separator, .parent = "View1"},
      {.kind = E::Item,
       .parent = "View1",
       .name = "Legend1",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Легенда карты"),
       .command = Command::ToggleLegend,
       .run = &OnToggleLegend,
       .checkable = true},
      {.kind = E::Item,
       .parent = "View1",
       .name = "DiskPicture1",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Картина диска"),
       .command = Command::ToggleDiskPicture,
       .run = &OnToggleDiskPicture,
       .checkable = true},
      {.kind = E::Item,
       .parent = "View1",
       .name = "TrackView1",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Поток дорожки"),
       .command = Command::ShowTrackFlux,
       .run = &OnShowTrackFlux,
       .shortcut = "Ctrl+T"},
      {.kind = E::Menu, .name = "Settings1", .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Настройки")},
      {.kind = E::Item,
       .parent = "Settings1",
       .name = "N29",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Настройки программы"),
       .command = Command::OpenSettings,
       .run = &OnOpenSettings},
      {.kind = E::Menu, .name = "Help1", .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Справка")},
      {.kind = E::Item,
       .parent = "Help1",
       .name = "About1",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "О программе"),
       .command = Command::About,
       .run = &OnAbout},
      // The map's context menu: the commands act on the right-clicked cell.
      {.kind = E::Menu, .name = "pm1"},
      {.kind = E::Item,
       .parent = "pm1",
       .name = "z1",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Считать сектор"),
       .command = Command::ReadSector},
      {.kind = E::Item,
       .parent = "pm1",
       .name = "z2",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Считать RAW дорожки"),
       .command = Command::ReadRawTrack,
       .hidden = true},
      {.kind = E::Item,
       .parent = "pm1",
       .name = "z3",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Считать сектора дорожки"),
       .command = Command::ReadTrackSectors},
      {.kind = E::Item,
       .parent = "pm1",
       .name = "z4",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Сканировать дорожку"),
       .command = Command::ScanTrack},
      {.kind = E::Item,
       .parent = "pm1",
       .name = "z24",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Поток дорожки"),
       .command = Command::ShowTrackFlux,
       .run = &OnShowTrackFlux},
      {.kind = E::Separator, .parent = "pm1"},
      {.kind = E::Item,
       .parent = "pm1",
       .name = "z23",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Редактировать адрес сектора"),
       .command = Command::EditSectorAddress,
       .run = &OnEditSectorAddress},
      {.kind = E::Submenu,
       .parent = "pm1",
       .name = "ImageOperations1",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Операции с образом"),
       .command = Command::ImageOperationsMenu},
      {.kind = E::Item,
       .parent = "ImageOperations1",
       .name = "z22",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Установить базовой дорожкой"),
       .command = Command::SetBaseTrack,
       .run = &OnSetBaseTrack},
      {.kind = E::Item,
       .parent = "ImageOperations1",
       .name = "z8",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Убрать дорожку"),
       .command = Command::RemoveTrack,
       .run = &OnRemoveTrack},
      {.kind = E::Item,
       .parent = "ImageOperations1",
       .name = "z9",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Добавить дорожку"),
       .command = Command::AddTrack,
       .run = &OnAddTrack},
      {.kind = E::Item,
       .parent = "ImageOperations1",
       .name = "z10",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Убрать сектор"),
       .command = Command::RemoveSector,
       .run = &OnRemoveSector},
      {.kind = E::Item,
       .parent = "ImageOperations1",
       .name = "z11",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Добавить сектор"),
       .command = Command::AddSector,
       .run = &OnAddSector},
      {.kind = E::Separator, .parent = "ImageOperations1"},
      {.kind = E::Item,
       .parent = "ImageOperations1",
       .name = "z12",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Данные секторов -> RAW"),
       .command = Command::SectorsToRaw,
       .run = &OnSectorsToRaw},
      {.kind = E::Item,
       .parent = "ImageOperations1",
       .name = "z13",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "RAW -> заголовки секторов"),
       .command = Command::RawToSectorHeaders},
      {.kind = E::Separator, .parent = "ImageOperations1"},
      {.kind = E::Item,
       .parent = "ImageOperations1",
       .name = "z14",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Очистить дорожку"),
       .command = Command::ClearTrack,
       .run = &OnClearTrack},
      {.kind = E::Item,
       .parent = "ImageOperations1",
       .name = "z15",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Очистить данные сектора"),
       .command = Command::ClearSectorData},
      {.kind = E::Item,
       .parent = "ImageOperations1",
       .name = "z16",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Очистить данные секторов"),
       .command = Command::ClearTrackSectorsData},
      {.kind = E::Item,
       .parent = "ImageOperations1",
       .name = "z17",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Очистить заголовок сектора"),
       .command = Command::ClearSectorHeader},
      {.kind = E::Item,
       .parent = "ImageOperations1",
       .name = "z18",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Очистить заголовки секторов"),
       .command = Command::ClearTrackSectorHeaders},
      {.kind = E::Item,
       .parent = "ImageOperations1",
       .name = "z19",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Очистить Log дорожки"),
       .command = Command::ClearTrackLog},
      {.kind = E::Separator, .parent = "pm1"},
      {.kind = E::Item,
       .parent = "pm1",
       .name = "z5",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Записать сектор"),
       .command = Command::WriteSector},
      {.kind = E::Item,
       .parent = "pm1",
       .name = "z6",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Записать дорожку"),
       .command = Command::WriteTrack},
      {.kind = E::Item,
       .parent = "pm1",
       .name = "z7",
       .caption = QT_TRANSLATE_NOOP("velloran::TFMain", "Формат дорожки"),
       .command = Command::FormatTrack},
  };
  return kEntries;
}

}  // namespace

void TFMain::BuildMenus() {
  auto menuNamed = [this](const char* name) { return findChild<QMenu*>(QLatin1String(name)); };
  for (const MenuEntry& entry : MenuTable()) {
    QMenu* parent = entry.parent != nullptr ? menuNamed(entry.parent) : nullptr;
    tableActions_.push_back(nullptr);
    switch (entry.kind) {
      case MenuEntry::Menu:
      case MenuEntry::Submenu: {
        QMenu* menu = nullptr;
        if (entry.kind == MenuEntry::Submenu) {
          menu = parent->addMenu(QString());
          menu->menuAction()->setObjectName(QLatin1String(entry.name) + QStringLiteral("Item"));
          tableActions_.back() = menu->menuAction();
        } else if (entry.caption != nullptr) {
          menu = menuBar()->addMenu(QString());
        } else {
          menu = new QMenu(this);  // a context menu, opened by its owner
        }
        menu->setObjectName(QLatin1String(entry.name));
        menu->setToolTipsVisible(true);
        const char* name = entry.name;
        const auto opening = entry.run;
        connect(menu, &QMenu::aboutToShow, this, [this, name, opening] {
          if (opening != nullptr)
            opening(*this);
          else
            RefreshItems(name);
        });
        break;
      }
      case MenuEntry::Separator: parent->addSeparator(); break;
      case MenuEntry::Item: {
        QAction* action = parent->addAction(QString());
        action->setObjectName(QLatin1String(entry.name));
        tableActions_.back() = action;
        action->setVisible(!entry.hidden);
        action->setCheckable(entry.checkable);
        action->setChecked(entry.checked);
        if (entry.shortcut != nullptr) action->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
        if (entry.run == nullptr) {
          action->setEnabled(false);
          break;
        }
        const auto run = entry.run;
        connect(action, &QAction::triggered, this, [this, action, run] {
          // A checkable item's command sets its own check mark: Qt's toggle is undone first.
          if (action->isCheckable()) action->setChecked(!action->isChecked());
          run(*this);
          RefreshState();
        });
        break;
      }
    }
  }

  // The toolbar stays hidden; its height still counts in the drop test.
  auto* toolbar = addToolBar(QStringLiteral("toolb1"));
  toolbar->setObjectName(QStringLiteral("toolb1"));
  auto* scanAndRead = toolbar->addAction(QString());
  scanAndRead->setObjectName(QStringLiteral("tb4"));
  connect(scanAndRead, &QAction::triggered, Item("N17"), &QAction::trigger);
  toolbar->hide();
  Retranslate();
}

// Captions of every menu and item of the table, the toolbar and the panels,
// and the title, in the current language.
void TFMain::Retranslate() {
  const std::span<const MenuEntry> table = MenuTable();
  for (std::size_t i = 0; i < table.size(); ++i) {
    const MenuEntry& entry = table[i];
    if (entry.caption == nullptr || entry.kind == MenuEntry::Separator) continue;
    if (entry.kind == MenuEntry::Menu) {
      if (auto* menu = findChild<QMenu*>(QLatin1String(entry.name))) menu->setTitle(MainWindowText(entry.caption));
    } else if (tableActions_[i] != nullptr) {
      tableActions_[i]->setText(MainWindowText(entry.caption));
    }
  }
  findChild<QAction*>(QStringLiteral("tb4"))->setText(MainWindowText("Сканирование и чтение диска"));
  panels_.Retranslate();
  ShowStatusTexts();
  if (auto* dock = findChild<QWidget*>(QStringLiteral("DiskPictureDock")))
    dock->setWindowTitle(MainWindowText("Картина диска"));
  RefreshState();
}

QAction* TFMain::Item(const char* name) const { return findChild<QAction*>(QLatin1String(name)); }

void TFMain::RefreshItems(const char* menuName) {
  const std::span<const MenuEntry> table = MenuTable();
  for (std::size_t i = 0; i < table.size(); ++i) {
    const MenuEntry& entry = table[i];
    QAction* action = tableActions_[i];
    if (action == nullptr || (menuName != nullptr && qstrcmp(entry.parent, menuName) != 0)) continue;
    const QString reason = BlockerText(document_, document_.Availability(entry.command));
    action->setEnabled(reason.isEmpty() && (entry.run != nullptr || entry.kind == MenuEntry::Submenu));
    action->setToolTip(reason.isEmpty() ? action->text() : reason);
    action->setVisible(!entry.hidden && document_.Shown(entry.command));
  }
}

QString BlockerText(const Document& document, Blocker blocker) {
  switch (blocker) {
    case Blocker::None: return {};
    case Blocker::NotInThisVersion: return MainWindowText("Недоступно в этой версии");
    case Blocker::NoDisk: return MainWindowText("Нет образа в памяти");
    case Blocker::NoDriver: return MainWindowText("Драйвер дисковода не загружен.");
    case Blocker::DriveUnusable: {
      QStringList lines;
      for (const Phrase& line : document.DriveProblems()) lines << QtText(line);
      return lines.isEmpty() ? MainWindowText("Дисковод недоступен.") : lines.join(QLatin1Char('\r'));
    }
    case Blocker::DriveNotOpen: return MainWindowText("Дисковод не открыт.");
    case Blocker::NoRecentFiles: return MainWindowText("Список пуст");
    case Blocker::NotOnPresentTrackLabel: return MainWindowText("Щёлкните номер дорожки, входящей в образ");
    case Blocker::NotOnAbsentTrackLabel: return MainWindowText("Щёлкните номер дорожки, убранной из образа");
    case Blocker::NotOnRawTrackLabel: return MainWindowText("Щёлкните номер дорожки с RAW образом");
    case Blocker::NotOnUsedSlot: return MainWindowText("Щёлкните сектор");
    case Blocker::NotOnAddableSlot: return MainWindowText("Щёлкните пустое место сразу за последним сектором дорожки");
  }
  return {};
}

void OnExit(TFMain& window) { window.close(); }

void OnAbout(TFMain& window) {
  window.Questions().Message(
      MainWindowText("Velloran %1\n\nОбразы дисков и дискеты ZX Spectrum: TR-DOS, CP/M Profi, Корвет.\n\nQt %2")
          .arg(QLatin1String(kVersion), QLatin1String(qVersion())),
      MainWindowText("О программе"), PromptIcon::Information, PromptButtons::Ok);
}

void OnZoomIn(TFMain& window) { window.Map().ZoomIn(); }

void OnZoomOut(TFMain& window) { window.Map().ZoomOut(); }

void OnZoomReset(TFMain& window) { window.Map().SetZoom(100); }

void OnToggleLegend(TFMain& window) {
  QAction* item = window.Item("Legend1");
  item->setChecked(!item->isChecked());
  window.findChild<MapLegend*>()->setVisible(item->isChecked());
}

}  // namespace velloran
