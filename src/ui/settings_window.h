// SettingsWindow, the settings window: retries, the track range, the image options
// and the controller parameters. "Принять" is enabled once something changed.
#pragma once

#include <string>
#include <vector>

#include <QDialog>

#include "settings/desktop_settings.h"
#include "settings/settings.h"
#include "ui/translated_texts.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QSpinBox;

namespace velloran {

class SettingsWindow : public QDialog {
  Q_OBJECT

 public:
  explicit SettingsWindow(QWidget* parent = nullptr);

  // Fills the fields from the settings.
  void Load(const Settings& settings);
  // Puts the fields' values into the settings (folders are not touched).
  void Store(Settings& settings) const;
  // Offers these Greaseweazles (serial device names) in the drive list
  // after the drives A: and B:; call before Load.
  void OfferGreaseweazles(const std::vector<std::string>& devices);
  // The language list: the locale's, Russian or English.
  void LoadLanguage(LanguageChoice choice);
  LanguageChoice StoredLanguage() const;

 protected:
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void OnFieldChanged();

  QSpinBox* numberFields_[7];
  QCheckBox* checkBoxes_[4];
  QComboBox* driveList_;  // A:, B:, then the Greaseweazles found, each with its "gw:DEVICE" as item data
  QComboBox* rateList_;
  QComboBox* languageList_;  // in the order of LanguageChoice
  QPushButton* acceptButton_;
  TranslatedTexts texts_;
};

}  // namespace velloran
