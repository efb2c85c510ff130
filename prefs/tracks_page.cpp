#include "prefs/tracks_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "prefs/tracks_model.h"

namespace trakomer::prefs {

namespace {
// The path edit keeps what the settings' automatic save folder holds.
constexpr size_t kDefaultPathCapacity = 128;
}  // namespace

TracksPage::TracksPage(const Settings& settings, ChooseFile chooseFile, QWidget* parent)
    : PreferencePage(parent), chooseFile_(std::move(chooseFile)) {
    pace_ = {settings.mUseBasePath != 0, settings.mBasePath, true};
    display_ = {settings.mUseRefPath != 0, settings.mRefPath, true};
    waypoints_ = {settings.mUseWayPointPath != 0, settings.mWayPointPath, false};

    auto* layout = new QVBoxLayout(this);
    auto* defaults = new QGroupBox("Defaults for track save", this);
    auto* grid = new QGridLayout(defaults);
    // A longer stored path is kept whole rather than cut by the edit.
    path_ = MakeTextEdit("path", settings.mDefaultFilePath,
                         std::max(kDefaultPathCapacity, settings.mDefaultFilePath.size() + 1),
                         defaults);
    nameFormat_ = new QComboBox(defaults);
    nameFormat_->setObjectName("nameFormat");
    for (const char* format : kNameFormats) nameFormat_->addItem(format);
    nameFormat_->setCurrentIndex(settings.mDefaultFileNameFormat);
    grid->addWidget(new QLabel("Path", defaults), 0, 0);
    grid->addWidget(path_, 0, 1);
    grid->addWidget(new QLabel("Name format", defaults), 1, 0);
    grid->addWidget(nameFormat_, 1, 1);
    layout->addWidget(defaults);
    layout->addWidget(MakeGroup("Pace Track (give relative feedback)", "Pace", pace_, kPaceFilter));
    layout->addWidget(
        MakeGroup("Display Track (show on map)", "Display", display_, kDisplayFilter));
    layout->addWidget(
        MakeGroup("Waypoints (show on map)", "Waypoints", waypoints_, kWaypointFilter));
    layout->addStretch(1);
}

QWidget* TracksPage::MakeGroup(const char* title, const char* name, FileChoice& choice,
                               const char* filter) {
    auto* group = new QGroupBox(title, this);
    auto* row = new QHBoxLayout(group);
    choice.box = new QCheckBox(ToQ(FileNamePart(choice.path)), group);
    choice.box->setObjectName(QString("use") + name);
    choice.box->setChecked(choice.use);
    choice.choose = new QPushButton("Choose File...", group);
    choice.choose->setObjectName(QString("choose") + name);
    choice.choose->setEnabled(choice.use);
    row->addWidget(choice.box, 1);
    row->addWidget(choice.choose);
    FileChoice* c = &choice;
    QObject::connect(c->box, &QCheckBox::toggled, this, [this, c](bool on) {
        c->use = on;
        c->choose->setEnabled(on);
        if (c->restartNeeded) filesChanged_ = true;
    });
    const std::string filterText = filter;
    QObject::connect(c->choose, &QPushButton::clicked, this, [this, c, filterText] {
        const std::string path = chooseFile_ ? chooseFile_(filterText) : std::string();
        if (path.empty()) return;
        c->path = path.substr(0, kPathCapacity - 1);
        const std::string shown = FileNamePart(c->path);
        if (!shown.empty()) c->box->setText(ToQ(shown));
        if (c->restartNeeded) filesChanged_ = true;
    });
    return group;
}

void TracksPage::Store(Settings& settings, ApplyEffects& effects) {
    settings.mDefaultFilePath = LimitedPath(ToStd(path_->text()), kPathCapacity);
    if (nameFormat_->currentIndex() >= 0) {
        settings.mDefaultFileNameFormat = nameFormat_->currentIndex();
    }
    settings.mUseBasePath = pace_.use ? 1 : 0;
    settings.mBasePath = pace_.path;
    settings.mUseRefPath = display_.use ? 1 : 0;
    settings.mRefPath = display_.path;
    settings.mUseWayPointPath = waypoints_.use ? 1 : 0;
    settings.mWayPointPath = waypoints_.path;
    effects.reloadWaypoints = waypoints_.use && !waypoints_.path.empty();
}

}  // namespace trakomer::prefs
