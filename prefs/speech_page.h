#pragma once
// Speech: the master switch and every announcement with its interval.

#include <array>

#include "prefs/preference_page.h"
#include "prefs/speech_model.h"

class QCheckBox;
class QLabel;

namespace trakomer::prefs {

class SpeechPage : public PreferencePage {
public:
    SpeechPage(const Settings& settings, QWidget* parent = nullptr);
    void Store(Settings& settings, ApplyEffects& effects) override;
    // Shows the unit labels of `units` (1 metric, 2 imperial); the intervals
    // are numbers in the chosen units and stay as typed.
    void Relabel(int units);

private:
    void EnableRows();

    struct Row {
        QCheckBox* check;
        QLabel* every;
        NumberEdit* interval;
        QLabel* unit;
    };
    QCheckBox* voice_;
    std::array<Row, kAnnouncements.size()> rows_{};
};

}  // namespace trakomer::prefs
