#pragma once
// General: profile, units, view-up mode, automatic start and stop, name and
// body weight.

#include <functional>

#include "prefs/preference_page.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace trakomer::prefs {

class GeneralPage : public PreferencePage {
public:
    GeneralPage(const Settings& settings, QWidget* parent = nullptr);
    void Store(Settings& settings, ApplyEffects& effects) override;

    // Called with the chosen units as `mUnits` counts them (1 metric,
    // 2 imperial) when the Units combo changes, so other pages relabel.
    std::function<void(int)> onUnitsChanged;

private:
    void UnitsChosen(int index);
    void EnableAutoStop();

    const Settings& settings_;
    int shownUnits_ = 0;
    QComboBox* profile_;
    QComboBox* units_;
    QComboBox* upMode_;
    QCheckBox* autoStart_;
    QCheckBox* autoStop_;
    NumberEdit* distance_;
    NumberEdit* speed_;
    QLineEdit* name_;
    NumberEdit* weight_;
    QLabel* distanceUnit_;
    QLabel* fromStart_;
    QLabel* speedUnit_;
    QLabel* weightUnit_;
};

}  // namespace trakomer::prefs
