// The main window's menus and the map's context menu, made from one table:
// each item's object name, caption, command, and the rule that says when it
// can be used (with the reason shown as its tooltip when it cannot).
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "common/version.h"
#include "ui/disk_map.h"
#include "ui/main_window.h"
#include "ui/map_legend.h"
#include "ui/prompts.h"

namespace velloran {

namespace {

bool InsideMap(int column, int row) { return column >= 0 && column < kMapColumns && row >= 0 && row < kMapRows; }

}  // namespace

struct TFMain::MenuEntry {
  enum Kind { Menu, Submenu, Item, Separator };
  enum Flag : unsigned { kHidden = 1, kCheckable = 2, kChecked = 4 };

  Kind kind;
  const char* parent;             // object name of the menu it sits in; nullptr: the menu bar
  const char* name = nullptr;     // object name of the menu or item
  const char* caption = nullptr;  // as the user reads it
  // An item's command, or what runs when a menu opens; nullptr: nothing.
  void (TFMain::*handler)() = nullptr;
  // Why it cannot be used now (empty text: it can); nullptr: always usable.
  QString (TFMain::*unavailable)() const = nullptr;
  // Whether it shows; nullptr: always (unless hidden by its flags).
  bool (TFMain::*shown)() const = nullptr;
  unsigned flags = 0;
  const char* shortcut = nullptr;
};

std::span<const TFMain::MenuEntry> TFMain::MenuTable() {
  using E = MenuEntry;
  static const MenuEntry kEntries[] = {
      {E::Menu, nullptr, "N1", "Образ", &TFMain::N1Click},
      {E::Submenu, "N1", "CreateImage1", "Создать образ"},
      {E::Item, "CreateImage1", "TRDOS1", "TR-DOS диска", &TFMain::TRDOS1Click},
      {E::Item, "CreateImage1", "CPMProfi1", "CP/M диска (Profi)", &TFMain::CPMProfi1Click},
      {E::Item, "N1", "N4", "Загрузить", &TFMain::N4Click, nullptr, nullptr, E::kHidden},
      {E::Item, "N1", "N31", "Загрузить образ", &TFMain::N31Click, nullptr, nullptr, 0, "Ctrl+O"},
      {E::Item, "N1", "MergeImage1", "Объединить с другим образом", &TFMain::MergeImage1Click},
      {E::Submenu, "N1", "Recent1", "Последние образы", &TFMain::FillRecentMenu, &TFMain::NoRecentFiles},
      {E::Separator, "N1"},
      {E::Submenu, "N1", "TrackTemplate1", "Шаблон дорожек", nullptr, &TFMain::NoAction},
      {E::Item, "TrackTemplate1", "EditBaseTemplate1", "Редактировать базовый шаблон", nullptr, &TFMain::NoAction},
      {E::Item, "TrackTemplate1", "N21", "Использовать базовый шаблон для всех дорожек", &TFMain::N21Click, nullptr,
       nullptr, E::kCheckable | E::kChecked},
      {E::Item, "N1", "N26", "Просмотреть ZX каталог", &TFMain::N26Click, &TFMain::NoDisk},
      {E::Item, "N1", "CPM1", "Просмотреть CP/M каталог", &TFMain::CPM1Click, &TFMain::NoDisk},
      {E::Separator, "N1"},
      {E::Item, "N1", "N12", "Очистить образ", &TFMain::N12Click, &TFMain::NoDisk},
      {E::Item, "N1", "N6", "Сохранить", &TFMain::N6Click, &TFMain::NoDisk, nullptr, E::kHidden},
      {E::Item, "N1", "N32", "Сохранить образ", &TFMain::N32Click, &TFMain::NoDisk, nullptr, 0, "Ctrl+S"},
      {E::Separator, "N1"},
      {E::Item, "N1", "N20", "Выход", &TFMain::N20Click, nullptr, nullptr, 0, "Ctrl+Q"},

      {E::Menu, nullptr, "N2", "Диск", &TFMain::N2Click},
      {E::Item, "N2", "DriveProblem1", "Почему дисковод недоступен?", &TFMain::DriveProblemClick, nullptr,
       &TFMain::DriveUnavailable},
      {E::Item, "N2", "FullRead1", "Полное чтение диска", nullptr, &TFMain::NoAction, nullptr, E::kHidden},
      {E::Item, "N2", "RawRead1", "Чтение сырых данных", nullptr, &TFMain::NoAction, nullptr, E::kHidden},
      {E::Item, "N2", "N8", "Сканирование дорожек", &TFMain::N8Click, &TFMain::NoDrive},
      {E::Item, "N2", "N9", "Чтение секторов по  меткам", &TFMain::N9Click, &TFMain::NoDriveOrNoDisk},
      {E::Item, "N2", "N17", "Сканирование и чтение диска", &TFMain::N17Click, &TFMain::NoDrive},
      {E::Item, "N2", "FastRead1", "Быстрое чтение диска", &TFMain::FastRead1Click, &TFMain::NoDrive},
      {E::Item, "N2", "RereadBad1", "Перечитать сбойные сектора", nullptr, &TFMain::NoAction, nullptr, E::kHidden},
      {E::Separator, "N2"},
      {E::Item, "N2", "N14", "Форматировать диск", &TFMain::N14Click, &TFMain::NoDriveOrNoDisk},
      {E::Item, "N2", "N15", "Записать диск", &TFMain::N15Click, &TFMain::NoDriveOrNoDisk},
      {E::Item, "N2", "N33", "Форматировать и записать", &TFMain::N33Click, &TFMain::NoDriveOrNoDisk},
      {E::Separator, "N2"},
      {E::Item, "N2", "N10", "Считать ZX каталог", &TFMain::N10Click, &TFMain::NoDrive},

      {E::Menu, nullptr, "Controller1", "Контроллер"},
      {E::Item, "Controller1", "DriveProblem2", "Почему дисковод недоступен?", &TFMain::DriveProblemClick, nullptr,
       &TFMain::DriveUnavailable},
      {E::Item, "Controller1", "N22", "Сбросить FDD контроллер", &TFMain::N22Click, &TFMain::NoDrive},

      {E::Menu, nullptr, "View1", "Вид"},
      {E::Item, "View1", "ZoomIn1", "Крупнее", &TFMain::ZoomIn1Click, nullptr, nullptr, 0, "Ctrl++"},
      {E::Item, "View1", "ZoomOut1", "Мельче", &TFMain::ZoomOut1Click, nullptr, nullptr, 0, "Ctrl+-"},
      {E::Item, "View1", "ZoomReset1", "Обычный размер", &TFMain::ZoomReset1Click, nullptr, nullptr, 0, "Ctrl+0"},
      {E::Separator, "View1"},
      {E::Item, "View1", "Legend1", "Легенда карты", &TFMain::Legend1Click, nullptr, nullptr, E::kCheckable},
      {E::Item, "View1", "DiskPicture1", "Картина диска", &TFMain::DiskPicture1Click, nullptr, nullptr, E::kCheckable},
      {E::Item, "View1", "TrackView1", "Поток дорожки", &TFMain::TrackView1Click, nullptr, nullptr, 0, "Ctrl+T"},

      {E::Menu, nullptr, "Settings1", "Настройки"},
      {E::Item, "Settings1", "N29", "Настройки программы", &TFMain::N29Click},

      {E::Menu, nullptr, "Help1", "Справка"},
      {E::Item, "Help1", "About1", "О программе", &TFMain::About1Click},

      // The map's context menu: the commands act on the right-clicked cell.
      {E::Menu, nullptr, "pm1", nullptr},
      {E::Item, "pm1", "z1", "Считать сектор", nullptr, &TFMain::NoAction, &TFMain::OnUsedSlot},
      {E::Item, "pm1", "z2", "Считать RAW дорожки", nullptr, &TFMain::NoAction, nullptr, E::kHidden},
      {E::Item, "pm1", "z3", "Считать сектора дорожки", nullptr, &TFMain::NoAction, &TFMain::OnPresentTrackLabel},
      {E::Item, "pm1", "z4", "Сканировать дорожку", nullptr, &TFMain::NoAction, &TFMain::OnPresentTrackLabel},
      {E::Item, "pm1", "z24", "Поток дорожки", &TFMain::TrackView1Click},
      {E::Separator, "pm1"},
      {E::Item, "pm1", "z23", "Редактировать адрес сектора", &TFMain::z23Click, &TFMain::NotUsedSlot,
       &TFMain::OnUsedSlot},
      {E::Submenu, "pm1", "ImageOperations1", "Операци с образом"},
      {E::Item, "ImageOperations1", "z22", "Установить базовым трэком", &TFMain::z22Click, &TFMain::NotRawTrackLabel},
      {E::Item, "ImageOperations1", "z8", "Убрать дорожку", &TFMain::z8Click, &TFMain::NotPresentTrackLabel},
      {E::Item, "ImageOperations1", "z9", "Добавить дорожку", &TFMain::z9Click, &TFMain::NotAbsentTrackLabel},
      {E::Item, "ImageOperations1", "z10", "Убрать сектор", &TFMain::z10Click, &TFMain::NotUsedSlot},
      {E::Item, "ImageOperations1", "z11", "Добавить сектор", &TFMain::z11Click, &TFMain::NotAddableSlot},
      {E::Separator, "ImageOperations1"},
      {E::Item, "ImageOperations1", "z12", "Данные секторов -> RAW", &TFMain::z12Click, &TFMain::NotPresentTrackLabel},
      {E::Item, "ImageOperations1", "z13", "RAW -> заголовки секторов", nullptr, &TFMain::NoAction},
      {E::Separator, "ImageOperations1"},
      {E::Item, "ImageOperations1", "z14", "Очистить дорожку", &TFMain::z14Click, &TFMain::NotPresentTrackLabel},
      {E::Item, "ImageOperations1", "z15", "Очистить данные сектора", nullptr, &TFMain::NoAction},
      {E::Item, "ImageOperations1", "z16", "Очистить данные секторов", nullptr, &TFMain::NoAction},
      {E::Item, "ImageOperations1", "z17", "Очистить заголовок сектора", nullptr, &TFMain::NoAction},
      {E::Item, "ImageOperations1", "z18", "Очистить заголовки секторов", nullptr, &TFMain::NoAction},
      {E::Item, "ImageOperations1", "z19", "Очистить Log дорожки", nullptr, &TFMain::NoAction},
      {E::Separator, "pm1"},
      {E::Item, "pm1", "z5", "Записать сектор", nullptr, &TFMain::NoAction, &TFMain::OnUsedSlot},
      {E::Item, "pm1", "z6", "Записать дорожку", nullptr, &TFMain::NoAction, &TFMain::OnPresentTrackLabel},
      {E::Item, "pm1", "z7", "Формат дорожки", nullptr, &TFMain::NoAction, &TFMain::OnPresentTrackLabel},
  };
  return kEntries;
}

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
          menu = parent->addMenu(QString::fromUtf8(entry.caption));
          menu->menuAction()->setObjectName(QLatin1String(entry.name) + QStringLiteral("Item"));
          tableActions_.back() = menu->menuAction();
        } else if (entry.caption != nullptr) {
          menu = menuBar()->addMenu(QString::fromUtf8(entry.caption));
        } else {
          menu = new QMenu(this);  // a context menu, opened by its owner
        }
        menu->setObjectName(QLatin1String(entry.name));
        menu->setToolTipsVisible(true);
        const char* name = entry.name;
        const auto opening = entry.handler;
        connect(menu, &QMenu::aboutToShow, this, [this, name, opening] {
          if (opening != nullptr)
            (this->*opening)();
          else
            RefreshItems(name);
        });
        break;
      }
      case MenuEntry::Separator: parent->addSeparator(); break;
      case MenuEntry::Item: {
        QAction* action = parent->addAction(QString::fromUtf8(entry.caption));
        action->setObjectName(QLatin1String(entry.name));
        tableActions_.back() = action;
        action->setVisible((entry.flags & MenuEntry::kHidden) == 0);
        action->setCheckable((entry.flags & MenuEntry::kCheckable) != 0);
        action->setChecked((entry.flags & MenuEntry::kChecked) != 0);
        if (entry.shortcut != nullptr) action->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
        if (entry.handler == nullptr) {
          action->setEnabled(false);
          break;
        }
        const auto handler = entry.handler;
        connect(action, &QAction::triggered, this, [this, action, handler] {
          // A checkable item's command sets its own check mark: Qt's toggle is undone first.
          if (action->isCheckable()) action->setChecked(!action->isChecked());
          RunCommand(handler);
        });
        break;
      }
    }
  }
  pm1_ = menuNamed("pm1");
  RefreshItems(nullptr);

  // The toolbar stays hidden; its height still counts in the drop test.
  auto* toolbar = addToolBar(QStringLiteral("toolb1"));
  toolbar->setObjectName(QStringLiteral("toolb1"));
  auto* tb4 = toolbar->addAction(QStringLiteral("Сканирование и чтение диска"));
  tb4->setObjectName(QStringLiteral("tb4"));
  connect(tb4, &QAction::triggered, Item("N17"), &QAction::trigger);
  toolbar->hide();
}

QAction* TFMain::Item(const char* name) const { return findChild<QAction*>(QLatin1String(name)); }

void TFMain::RefreshItems(const char* menuName) {
  const std::span<const MenuEntry> table = MenuTable();
  for (std::size_t i = 0; i < table.size(); ++i) {
    const MenuEntry& entry = table[i];
    QAction* action = tableActions_[i];
    if (action == nullptr || (menuName != nullptr && qstrcmp(entry.parent, menuName) != 0)) continue;
    const QString reason = entry.unavailable != nullptr ? (this->*entry.unavailable)() : QString();
    action->setEnabled(reason.isEmpty() && (entry.handler != nullptr || entry.kind == MenuEntry::Submenu));
    action->setToolTip(reason.isEmpty() ? action->text() : reason);
    const bool hidden = (entry.flags & MenuEntry::kHidden) != 0;
    action->setVisible(!hidden && (entry.shown == nullptr || (this->*entry.shown)()));
  }
}

void TFMain::RunCommand(void (TFMain::*handler)()) {
  (this->*handler)();
  RefreshState();
}

void TFMain::N1Click() { RefreshItems("N1"); }

void TFMain::N2Click() { RefreshItems("N2"); }

void TFMain::N20Click() { close(); }

void TFMain::About1Click() {
  prompts_.Message(
      QStringLiteral("Velloran %1\n\nОбразы дисков и дискеты ZX Spectrum: TR-DOS, CP/M Profi, Корвет.\n\nQt %2")
          .arg(QLatin1String(kVersion), QLatin1String(qVersion())),
      QStringLiteral("О программе"), PromptIcon::Information, PromptButtons::Ok);
}

void TFMain::ZoomIn1Click() { zxd_->ZoomIn(); }

void TFMain::ZoomOut1Click() { zxd_->ZoomOut(); }

void TFMain::ZoomReset1Click() { zxd_->SetZoom(100); }

void TFMain::Legend1Click() {
  QAction* item = Item("Legend1");
  item->setChecked(!item->isChecked());
  legend_->setVisible(item->isChecked());
}

// The reasons of the start-up (or of the last settings change) in one message.
void TFMain::DriveProblemClick() {
  prompts_.Message(NoDrive(), QStringLiteral("Ошибка!"), PromptIcon::Error, PromptButtons::Ok);
}

QString TFMain::NoAction() const { return QStringLiteral("Недоступно в этой версии"); }

QString TFMain::NoDisk() const { return disk_.TracksToWrite() > 0 ? QString() : QStringLiteral("Нет образа в памяти"); }

QString TFMain::NoDrive() const {
  if (driver_ == nullptr) return QStringLiteral("Драйвер дисковода не загружен.");
  if (!driveUsable_) {
    QStringList lines;
    for (const std::string& line : driveProblems_) lines << QString::fromStdString(line);
    return lines.isEmpty() ? QStringLiteral("Дисковод недоступен.") : lines.join(QLatin1Char('\r'));
  }
  const FloppyDriver* controller = driver_->AsController();
  if (controller != nullptr && !controller->DriveOpen()) return QStringLiteral("Дисковод не открыт.");
  return {};
}

QString TFMain::NoDriveOrNoDisk() const {
  const QString drive = NoDrive();
  return drive.isEmpty() ? NoDisk() : drive;
}

QString TFMain::NoRecentFiles() const { return recentFiles_.empty() ? QStringLiteral("Список пуст") : QString(); }

bool TFMain::DriveUnavailable() const { return !NoDrive().isEmpty(); }

bool TFMain::OnPresentTrackLabel() const {
  return curSector_ == 0 && InsideMap(curSector_, curTrack_) &&
         disk_.GetTrack(static_cast<std::uint8_t>(curTrack_)).Present != 0;
}

bool TFMain::OnUsedSlot() const {
  if (curSector_ < 1 || !InsideMap(curSector_, curTrack_)) return false;
  const TTrack& track = disk_.GetTrack(static_cast<std::uint8_t>(curTrack_));
  return track.Present != 0 && track.GetSector(static_cast<std::uint8_t>(curSector_ - 1)).Used != 0;
}

QString TFMain::NotPresentTrackLabel() const {
  return OnPresentTrackLabel() ? QString() : QStringLiteral("Щёлкните номер дорожки, входящей в образ");
}

QString TFMain::NotAbsentTrackLabel() const {
  const bool absentLabel = curSector_ == 0 && InsideMap(curSector_, curTrack_) && !OnPresentTrackLabel();
  return absentLabel ? QString() : QStringLiteral("Щёлкните номер дорожки, убранной из образа");
}

QString TFMain::NotRawTrackLabel() const {
  const bool raw = OnPresentTrackLabel() && disk_.GetTrack(static_cast<std::uint8_t>(curTrack_)).RawLength > 0;
  return raw ? QString() : QStringLiteral("Щёлкните номер дорожки с RAW образом");
}

QString TFMain::NotUsedSlot() const { return OnUsedSlot() ? QString() : QStringLiteral("Щёлкните сектор"); }

QString TFMain::NotAddableSlot() const {
  const QString refusal = QStringLiteral("Щёлкните пустое место сразу за последним сектором дорожки");
  if (curSector_ < 1 || !InsideMap(curSector_, curTrack_)) return refusal;
  const TTrack& track = disk_.GetTrack(static_cast<std::uint8_t>(curTrack_));
  const int slot = curSector_ - 1;
  const bool addable = track.Present != 0 && track.GetSector(static_cast<std::uint8_t>(slot)).Used == 0 &&
                       (slot == 0 || track.GetSector(static_cast<std::uint8_t>(slot - 1)).Used != 0);
  return addable ? QString() : refusal;
}

}  // namespace velloran
