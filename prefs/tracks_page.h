#pragma once
// Tracks: where and under which name tracks are saved, and the pace,
// display and waypoint files.

#include <functional>
#include <string>

#include "prefs/preference_page.h"

class QCheckBox;
class QComboBox;
class QPushButton;

namespace trakomer::prefs {

// Shows an open-file dialog with the filter ("Label (*.ext);;..."); the
// chosen path, or empty when none was chosen.
using ChooseFile = std::function<std::string(const std::string& filter)>;

class TracksPage : public PreferencePage {
public:
    TracksPage(const Settings& settings, ChooseFile chooseFile, QWidget* parent = nullptr);
    void Store(Settings& settings, ApplyEffects& effects) override;
    // The pace or display track choice changed (a restart loads them).
    bool FilesChanged() const { return filesChanged_; }

private:
    struct FileChoice {
        bool use = false;
        std::string path;
        bool restartNeeded = false;
        QCheckBox* box = nullptr;
        QPushButton* choose = nullptr;
    };
    QWidget* MakeGroup(const char* title, const char* name, FileChoice& choice, const char* filter);

    ChooseFile chooseFile_;
    bool filesChanged_ = false;
    QLineEdit* path_;
    QComboBox* nameFormat_;
    FileChoice pace_, display_, waypoints_;
};

}  // namespace trakomer::prefs
