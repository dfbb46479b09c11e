#include "ui/settings_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
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

QCheckBox* CheckField(const char* name, const QString& caption, const QString& hint, QWidget* parent) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(QLatin1String(name));
  box->setToolTip(hint);
  return box;
}

}  // namespace

SettingsWindow::SettingsWindow(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tfmset"));
  setWindowTitle(tr("Настройки"));

  const NumberFieldLimits limits[7] = {kRetryCountField, kRetryCountWithResetField, kFirstTrackField,
                                       kLastTrackField,  kCycleReadField,           kTimeOutField,
                                       kGapField};
  for (int i = 0; i < 7; ++i) numberFields_[i] = NumberField(limits[i], this);
  numberFields_[0]->setToolTip(Hint(tr("Число повторений ошибочных операций\r\nбез перемещения головок.")));
  numberFields_[1]->setToolTip(Hint(tr("Число циклов повторений со сбросом\r\nконтроллера.")));
  numberFields_[4]->setToolTip(
      Hint(tr("Число циклов полного чтения дорожки,\r\nдля более точного определения данных полей\r\nи маркеров.")));
  numberFields_[5]->setToolTip(Hint(tr("Время ожидания ответа от контроллера.")));

  auto group = [this](const QString& title) {
    auto* box = new QGroupBox(title, this);
    box->setLayout(new QFormLayout);
    return box;
  };
  auto row = [](QGroupBox* box, const QString& label, QWidget* field) {
    static_cast<QFormLayout*>(box->layout())->addRow(label, field);
  };
  QGroupBox* retries = group(tr("Повторы"));
  row(retries, tr("Число повторов -"), numberFields_[0]);
  row(retries, tr("Число циклов -"), numberFields_[1]);
  QGroupBox* area = group(tr("Обрабатываемая область"));
  row(area, tr("Начальная дорожка -"), numberFields_[2]);
  row(area, tr("Конечная дорожка -"), numberFields_[3]);
  QGroupBox* fullRead = group(tr("Полное чтение дорожки"));
  row(fullRead, tr("Число циклов -"), numberFields_[4]);
  QGroupBox* timeout = group(tr("Таймаут"));
  row(timeout, tr("Время ожидания, с -"), numberFields_[5]);

  QGroupBox* images = group(tr("Образы"));
  checkBoxes_[0] = CheckField(
      "cb1", tr("Реставрировать образ дорожки"),
      Hint(
          tr("Данные пробелов дорожки, полученные\r\nпри полном чтении, будут заменяться\r\nстандартными значениями.")),
      images);
  checkBoxes_[1] = CheckField("cb2", tr("Сжимать TD0 образ при записи"),
                              Hint(tr("Производить сжатие образа\r\nпри записи его в TD0 файл.")), images);
  checkBoxes_[2] = CheckField(
      "cb3", tr("Преобразовывать данные дорожки"),
      Hint(tr("Производить или нет реставрацию данных дорожки\r\nпри отображении их в правом окне.")), images);
  checkBoxes_[3] =
      CheckField("cb4", tr("Устанавливать длину сектора из заголовка"),
                 Hint(tr("При отображении данных сектора использовать\r\nразмер, установленный в заголовке сектора, "
                         "или\r\nфактически считанный размер.")),
                 images);
  for (QCheckBox* box : checkBoxes_) static_cast<QFormLayout*>(images->layout())->addRow(box);

  QGroupBox* controller = group(tr("Параметры контроллера"));
  driveList_ = new QComboBox(controller);
  driveList_->setObjectName(QStringLiteral("cbdr"));
  for (std::string_view item : kDriveItems) driveList_->addItem(Text(item));
  rateList_ = new QComboBox(controller);
  rateList_->setObjectName(QStringLiteral("cbsr"));
  for (std::string_view item : kRateItems) rateList_->addItem(Text(item));
  row(controller, tr("Дисковод:"), driveList_);
  row(controller, tr("Скорость передачи:"), rateList_);
  row(controller, tr("Начальный отступ:"), numberFields_[6]);

  // The language: the locale's, or one chosen here. The languages' own
  // names are never translated.
  QGroupBox* languageBox = group(tr("Язык программы"));
  languageList_ = new QComboBox(languageBox);
  languageList_->setObjectName(QStringLiteral("cblang"));
  languageList_->addItem(tr("Как в системе"));
  languageList_->addItem(QStringLiteral("Русский"));
  languageList_->addItem(QStringLiteral("English"));
  row(languageBox, tr("Язык:"), languageList_);

  acceptButton_ = new QPushButton(tr("Принять"), this);
  acceptButton_->setObjectName(QStringLiteral("bb1"));
  auto* cancel = new QPushButton(tr("Отменить"), this);
  cancel->setObjectName(QStringLiteral("BitBtn2"));

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
  setFixedSize(sizeHint());

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

// On show "Принять" is disabled until something changes.
void SettingsWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (parentWidget() != nullptr) move(parentWidget()->geometry().center() - rect().center());
  acceptButton_->setEnabled(false);
  setResult(QDialog::Rejected);
}

void SettingsWindow::OnFieldChanged() { acceptButton_->setEnabled(true); }

}  // namespace velloran
