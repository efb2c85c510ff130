#pragma once
// Screens: which of the six screens the arrow keys cycle through, and the
// short summary's font size and four large figures.

#include <array>

#include "prefs/preference_page.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace trakomer::prefs {

class ScreensPage : public PreferencePage {
public:
    ScreensPage(const Settings& settings, QWidget* parent = nullptr);
    void Store(Settings& settings, ApplyEffects& effects) override;

private:
    void BoxChanged(int screen);

    std::array<QCheckBox*, kScreenCount> views_{};
    NumberEdit* fontSize_;
    std::array<QComboBox*, kLargeViewQuantities> large_{};
    std::array<QLabel*, kLargeViewQuantities> previews_{};
};

}  // namespace trakomer::prefs
