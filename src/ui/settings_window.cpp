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

Tfmset::Tfmset(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tfmset"));
  setWindowTitle(tr("Настройки"));

  const NumberFieldLimits limits[7] = {kRetryCountField, kRetryCountWithResetField, kFirstTrackField,
                                       kLastTrackField,  kCycleReadField,           kTimeOutField,
                                       kGapField};
  for (int i = 0; i < 7; ++i) e_[i] = NumberField(limits[i], this);
  e_[0]->setToolTip(Hint(tr("Число повторений ошибочных операций\r\nбез перемещения головок.")));
  e_[1]->setToolTip(Hint(tr("Число циклов повторений со сбросом\r\nконтроллера.")));
  e_[4]->setToolTip(
      Hint(tr("Число циклов полного чтения дорожки,\r\nдля более точного определения данных полей\r\nи маркеров.")));
  e_[5]->setToolTip(Hint(tr("Время ожидания ответа от контроллера.")));

  auto group = [this](const QString& title) {
    auto* box = new QGroupBox(title, this);
    box->setLayout(new QFormLayout);
    return box;
  };
  auto row = [](QGroupBox* box, const QString& label, QWidget* field) {
    static_cast<QFormLayout*>(box->layout())->addRow(label, field);
  };
  QGroupBox* retries = group(tr("Повторы"));
  row(retries, tr("Число повторов -"), e_[0]);
  row(retries, tr("Число циклов -"), e_[1]);
  QGroupBox* area = group(tr("Обрабатываемая область"));
  row(area, tr("Начальная дорожка -"), e_[2]);
  row(area, tr("Конечная дорожка -"), e_[3]);
  QGroupBox* fullRead = group(tr("Полное чтение дорожки"));
  row(fullRead, tr("Число циклов -"), e_[4]);
  QGroupBox* timeout = group(tr("Таймаут"));
  row(timeout, tr("Время ожидания, с -"), e_[5]);

  QGroupBox* images = group(tr("Образы"));
  cb_[0] = CheckField(
      "cb1", tr("Реставрировать образ дорожки"),
      Hint(
          tr("Данные пробелов дорожки, полученные\r\nпри полном чтении, будут заменяться\r\nстандартными значениями.")),
      images);
  cb_[1] = CheckField("cb2", tr("Сжимать TD0 образ при записи"),
                      Hint(tr("Производить сжатие образа\r\nпри записи его в TD0 файл.")), images);
  cb_[2] = CheckField("cb3", tr("Преобразовывать данные дорожки"),
                      Hint(tr("Производить или нет реставрацию данных дорожки\r\nпри отображении их в правом окне.")),
                      images);
  cb_[3] =
      CheckField("cb4", tr("Устанавливать длину сектора из заголовка"),
                 Hint(tr("При отображении данных сектора использовать\r\nразмер, установленный в заголовке сектора, "
                         "или\r\nфактически считанный размер.")),
                 images);
  for (QCheckBox* box : cb_) static_cast<QFormLayout*>(images->layout())->addRow(box);

  QGroupBox* controller = group(tr("Параметры контроллера"));
  cbdr_ = new QComboBox(controller);
  cbdr_->setObjectName(QStringLiteral("cbdr"));
  for (std::string_view item : kDriveItems) cbdr_->addItem(Text(item));
  cbsr_ = new QComboBox(controller);
  cbsr_->setObjectName(QStringLiteral("cbsr"));
  for (std::string_view item : kRateItems) cbsr_->addItem(Text(item));
  row(controller, tr("Дисковод:"), cbdr_);
  row(controller, tr("Скорость передачи:"), cbsr_);
  row(controller, tr("Начальный отступ:"), e_[6]);

  // The language: the locale's, or one chosen here. The languages' own
  // names are never translated.
  QGroupBox* languageBox = group(tr("Язык программы"));
  cblang_ = new QComboBox(languageBox);
  cblang_->setObjectName(QStringLiteral("cblang"));
  cblang_->addItem(tr("Как в системе"));
  cblang_->addItem(QStringLiteral("Русский"));
  cblang_->addItem(QStringLiteral("English"));
  row(languageBox, tr("Язык:"), cblang_);

  bb1_ = new QPushButton(tr("Принять"), this);
  bb1_->setObjectName(QStringLiteral("bb1"));
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
  buttons->addWidget(bb1_);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);
  setFixedSize(sizeHint());

  // Every field, check box and list shares one change handler.
  for (QSpinBox* field : e_) connect(field, &QSpinBox::valueChanged, this, &Tfmset::e1Change);
  for (QCheckBox* box : cb_) connect(box, &QCheckBox::toggled, this, &Tfmset::e1Change);
  connect(cbdr_, &QComboBox::currentIndexChanged, this, &Tfmset::e1Change);
  connect(cbsr_, &QComboBox::currentIndexChanged, this, &Tfmset::e1Change);
  connect(cblang_, &QComboBox::currentIndexChanged, this, &Tfmset::e1Change);
  connect(bb1_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void Tfmset::Load(const Settings& settings) {
  const int numbers[7] = {settings.RetryCount, settings.RetryCountWithReset, settings.FirstTrack,
                          settings.LastTrack,  settings.CycleRead,           settings.TimeOut,
                          settings.GAP};
  for (int i = 0; i < 7; ++i) {
    const QSignalBlocker quiet(e_[i]);
    e_[i]->setValue(numbers[i]);
  }
  const bool flags[4] = {settings.RestoreTrack, settings.TD0arch, settings.OverlapTrackAndData,
                         settings.SetSectorSizeFromHead};
  for (int i = 0; i < 4; ++i) {
    const QSignalBlocker quiet(cb_[i]);
    cb_[i]->setChecked(flags[i]);
  }
  const QSignalBlocker quietDrive(cbdr_);
  const QSignalBlocker quietRate(cbsr_);
  const int greaseweazle = cbdr_->findData(QString::fromStdString(settings.Drive));
  cbdr_->setCurrentIndex(greaseweazle >= 0 ? greaseweazle : DriveItemIndex(settings.Drive));
  cbsr_->setCurrentIndex(RateItemIndex(settings.Rate));
}

void Tfmset::LoadLanguage(LanguageChoice choice) {
  const QSignalBlocker quiet(cblang_);
  cblang_->setCurrentIndex(static_cast<int>(choice));
}

LanguageChoice Tfmset::StoredLanguage() const { return static_cast<LanguageChoice>(cblang_->currentIndex()); }

void Tfmset::OfferGreaseweazles(const std::vector<std::string>& devices) {
  while (cbdr_->count() > static_cast<int>(kDriveItems.size())) cbdr_->removeItem(cbdr_->count() - 1);
  for (const std::string& device : devices)
    cbdr_->addItem(QStringLiteral("Greaseweazle: ") + QString::fromStdString(device),
                   QString::fromStdString("gw:" + device));
}

void Tfmset::Store(Settings& settings) const {
  settings.RetryCount = static_cast<std::uint8_t>(e_[0]->value());
  settings.RetryCountWithReset = static_cast<std::uint8_t>(e_[1]->value());
  settings.FirstTrack = static_cast<std::uint8_t>(e_[2]->value());
  settings.LastTrack = static_cast<std::uint8_t>(e_[3]->value());
  settings.CycleRead = static_cast<std::uint8_t>(e_[4]->value());
  settings.TimeOut = static_cast<std::uint8_t>(e_[5]->value());
  settings.GAP = static_cast<std::uint8_t>(e_[6]->value());
  settings.Rate = RateFromItem(cbsr_->currentIndex());
  const QString greaseweazle = cbdr_->currentData().toString();
  settings.Drive = greaseweazle.isEmpty() ? DriveFromItem(cbdr_->currentIndex()) : greaseweazle.toStdString();
  settings.RestoreTrack = cb_[0]->isChecked();
  settings.TD0arch = cb_[1]->isChecked();
  settings.OverlapTrackAndData = cb_[2]->isChecked();
  settings.SetSectorSizeFromHead = cb_[3]->isChecked();
}

// On show "Принять" is disabled until something changes.
void Tfmset::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (parentWidget() != nullptr) move(parentWidget()->geometry().center() - rect().center());
  bb1_->setEnabled(false);
  setResult(QDialog::Rejected);
}

void Tfmset::e1Change() { bb1_->setEnabled(true); }

}  // namespace velloran
