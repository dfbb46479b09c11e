#include "ui/settings_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "settings/settings_dialog.h"

namespace velloran {

namespace {

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Hints are written with "\r\n" line breaks.
QString Hint(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

QSpinBox* NumberField(const NumberFieldLimits& limits, QWidget* parent) {
  auto* field = new QSpinBox(parent);
  field->setObjectName(Text(limits.field));
  field->setRange(limits.minimum, limits.maximum);
  field->setFixedWidth(70);
  return field;
}

}  // namespace

SettingsWindow::SettingsWindow(QWidget* parent) : QDialog(parent), texts_(staticMetaObject.className()) {
  setObjectName(QStringLiteral("Tfmset"));
  texts_.WindowTitle(this, QT_TR_NOOP("Настройки"));

  const NumberFieldLimits limits[7] = {kRetryCountField, kRetryCountWithResetField, kFirstTrackField,
                                       kLastTrackField,  kCycleReadField,           kTimeOutField,
                                       kGapField};
  for (int i = 0; i < 7; ++i) numberFields_[i] = NumberField(limits[i], this);
  const auto hint = [this](QWidget* widget, const char* text) {
    texts_.Add(text, [widget](const QString& translated) { widget->setToolTip(Hint(translated)); });
  };
  hint(numberFields_[0], QT_TR_NOOP("Число повторений ошибочных операций\r\nбез перемещения головок."));
  hint(numberFields_[1], QT_TR_NOOP("Число циклов повторений со сбросом\r\nконтроллера."));
  hint(numberFields_[4],
       QT_TR_NOOP("Число циклов полного чтения дорожки,\r\nдля более точного определения данных полей\r\nи маркеров."));
  hint(numberFields_[5], QT_TR_NOOP("Время ожидания ответа от контроллера."));

  auto group = [this](const char* title) {
    auto* box = new QGroupBox(this);
    texts_.Title(box, title);
    box->setLayout(new QFormLayout);
    return box;
  };
  auto row = [this](QGroupBox* box, const char* caption, QWidget* field) {
    auto* label = new QLabel(box);
    texts_.Text(label, caption);
    static_cast<QFormLayout*>(box->layout())->addRow(label, field);
  };
  QGroupBox* retries = group(QT_TR_NOOP("Повторы"));
  row(retries, QT_TR_NOOP("Число повторов -"), numberFields_[0]);
  row(retries, QT_TR_NOOP("Число циклов -"), numberFields_[1]);
  QGroupBox* area = group(QT_TR_NOOP("Обрабатываемая область"));
  row(area, QT_TR_NOOP("Начальная дорожка -"), numberFields_[2]);
  row(area, QT_TR_NOOP("Конечная дорожка -"), numberFields_[3]);
  QGroupBox* fullRead = group(QT_TR_NOOP("Полное чтение дорожки"));
  row(fullRead, QT_TR_NOOP("Число циклов -"), numberFields_[4]);
  QGroupBox* timeout = group(QT_TR_NOOP("Таймаут"));
  row(timeout, QT_TR_NOOP("Время ожидания, с -"), numberFields_[5]);

  QGroupBox* images = group(QT_TR_NOOP("Образы"));
  const auto check = [this, hint, images](const char* name, const char* caption, const char* text) {
    auto* box = new QCheckBox(images);
    box->setObjectName(QLatin1String(name));
    texts_.Text(box, caption);
    hint(box, text);
    return box;
  };
  checkBoxes_[0] = check(
      "cb1", QT_TR_NOOP("Реставрировать образ дорожки"),
      QT_TR_NOOP(
          "Данные пробелов дорожки, полученные\r\nпри полном чтении, будут заменяться\r\nстандартными значениями."));
  checkBoxes_[1] = check("cb2", QT_TR_NOOP("Сжимать TD0 образ при записи"),
                         QT_TR_NOOP("Производить сжатие образа\r\nпри записи его в TD0 файл."));
  checkBoxes_[2] =
      check("cb3", QT_TR_NOOP("Преобразовывать данные дорожки"),
            QT_TR_NOOP("Производить или нет реставрацию данных дорожки\r\nпри отображении их в правом окне."));
  checkBoxes_[3] =
      check("cb4", QT_TR_NOOP("Устанавливать длину сектора из заголовка"),
            QT_TR_NOOP("При отображении данных сектора использовать\r\nразмер, установленный в заголовке сектора, "
                       "или\r\nфактически считанный размер."));
  for (QCheckBox* box : checkBoxes_) static_cast<QFormLayout*>(images->layout())->addRow(box);

  QGroupBox* controller = group(QT_TR_NOOP("Параметры контроллера"));
  driveList_ = new QComboBox(controller);
  driveList_->setObjectName(QStringLiteral("cbdr"));
  for (std::string_view item : kDriveItems) driveList_->addItem(Text(item));
  rateList_ = new QComboBox(controller);
  rateList_->setObjectName(QStringLiteral("cbsr"));
  for (std::string_view item : kRateItems) rateList_->addItem(Text(item));
  row(controller, QT_TR_NOOP("Дисковод:"), driveList_);
  row(controller, QT_TR_NOOP("Скорость передачи:"), rateList_);
  row(controller, QT_TR_NOOP("Начальный отступ:"), numberFields_[6]);

  // The language: the locale's, or one chosen here. The languages' own
  // names are never translated.
  QGroupBox* languageBox = group(QT_TR_NOOP("Язык программы"));
  languageList_ = new QComboBox(languageBox);
  languageList_->setObjectName(QStringLiteral("cblang"));
  languageList_->addItem(QString());
  texts_.Add(QT_TR_NOOP("Как в системе"), [this](const QString& text) { languageList_->setItemText(0, text); });
  languageList_->addItem(QStringLiteral("Русский"));
  languageList_->addItem(QStringLiteral("English"));
  row(languageBox, QT_TR_NOOP("Язык:"), languageList_);

  acceptButton_ = new QPushButton(this);
  acceptButton_->setObjectName(QStringLiteral("bb1"));
  texts_.Text(acceptButton_, QT_TR_NOOP("Принять"));
  auto* cancel = new QPushButton(this);
  cancel->setObjectName(QStringLiteral("BitBtn2"));
  texts_.Text(cancel, QT_TR_NOOP("Отменить"));

  auto* grid = new QGridLayout;
  grid->addWidget(retries, 0, 0);
  grid->addWidget(area, 0, 1);
  grid->addWidget(fullRead, 1, 0);
  grid->addWidget(timeout, 1, 1);
  grid->addWidget(images, 2, 0, 1, 2);
  grid->addWidget(controller, 3, 0, 1, 2);
  grid->addWidget(languageBox, 4, 0, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(acceptButton_);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);
  // As large as the texts of the language shown need.
  layout->setSizeConstraint(QLayout::SetFixedSize);

  // Every field, check box and list shares one change handler.
  for (QSpinBox* field : numberFields_) connect(field, &QSpinBox::valueChanged, this, &SettingsWindow::OnFieldChanged);
  for (QCheckBox* box : checkBoxes_) connect(box, &QCheckBox::toggled, this, &SettingsWindow::OnFieldChanged);
  connect(driveList_, &QComboBox::currentIndexChanged, this, &SettingsWindow::OnFieldChanged);
  connect(rateList_, &QComboBox::currentIndexChanged, this, &SettingsWindow::OnFieldChanged);
  connect(languageList_, &QComboBox::currentIndexChanged, this, &SettingsWindow::OnFieldChanged);
  connect(acceptButton_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void SettingsWindow::Load(const Settings& settings) {
  const int numbers[7] = {settings.RetryCount, settings.RetryCountWithReset, settings.FirstTrack,
                          settings.LastTrack,  settings.CycleRead,           settings.TimeOut,
                          settings.GAP};
  for (int i = 0; i < 7; ++i) {
    const QSignalBlocker quiet(numberFields_[i]);
    numberFields_[i]->setValue(numbers[i]);
  }
  const bool flags[4] = {settings.RestoreTrack, settings.TD0arch, settings.OverlapTrackAndData,
                         settings.SetSectorSizeFromHead};
  for (int i = 0; i < 4; ++i) {
    const QSignalBlocker quiet(checkBoxes_[i]);
    checkBoxes_[i]->setChecked(flags[i]);
  }
  const QSignalBlocker quietDrive(driveList_);
  const QSignalBlocker quietRate(rateList_);
  const int greaseweazle = driveList_->findData(QString::fromStdString(settings.Drive));
  driveList_->setCurrentIndex(greaseweazle >= 0 ? greaseweazle : DriveItemIndex(settings.Drive));
  rateList_->setCurrentIndex(RateItemIndex(settings.Rate));
}

void SettingsWindow::LoadLanguage(LanguageChoice choice) {
  const QSignalBlocker quiet(languageList_);
  languageList_->setCurrentIndex(static_cast<int>(choice));
}

LanguageChoice SettingsWindow::StoredLanguage() const {
  return static_cast<LanguageChoice>(languageList_->currentIndex());
}

void SettingsWindow::OfferGreaseweazles(const std::vector<std::string>& devices) {
  while (driveList_->count() > static_cast<int>(kDriveItems.size())) driveList_->removeItem(driveList_->count() - 1);
  for (const std::string& device : devices)
    driveList_->addItem(QStringLiteral("Greaseweazle: ") + QString::fromStdString(device),
                        QString::fromStdString("gw:" + device));
}

void SettingsWindow::Store(Settings& settings) const {
  settings.RetryCount = static_cast<std::uint8_t>(numberFields_[0]->value());
  settings.RetryCountWithReset = static_cast<std::uint8_t>(numberFields_[1]->value());
  settings.FirstTrack = static_cast<std::uint8_t>(numberFields_[2]->value());
  settings.LastTrack = static_cast<std::uint8_t>(numberFields_[3]->value());
  settings.CycleRead = static_cast<std::uint8_t>(numberFields_[4]->value());
  settings.TimeOut = static_cast<std::uint8_t>(numberFields_[5]->value());
  settings.GAP = static_cast<std::uint8_t>(numberFields_[6]->value());
  settings.Rate = RateFromItem(rateList_->currentIndex());
  const QString greaseweazle = driveList_->currentData().toString();
  settings.Drive = greaseweazle.isEmpty() ? DriveFromItem(driveList_->currentIndex()) : greaseweazle.toStdString();
  settings.RestoreTrack = checkBoxes_[0]->isChecked();
  settings.TD0arch = checkBoxes_[1]->isChecked();
  settings.OverlapTrackAndData = checkBoxes_[2]->isChecked();
  settings.SetSectorSizeFromHead = checkBoxes_[3]->isChecked();
}

void SettingsWindow::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::LanguageChange) texts_.Retranslate();
}

// On show "Принять" is disabled until something changes.
void SettingsWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (parentWidget() != nullptr) move(parentWidget()->geometry().center() - rect().center());
  acceptButton_->setEnabled(false);
  setResult(QDialog::Rejected);
}

void SettingsWindow::OnFieldChanged() { acceptButton_->setEnabled(true); }

}  // namespace velloran
