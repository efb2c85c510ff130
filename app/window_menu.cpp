// The Tools menu, the Fly To entries, the review buttons and the enabling
// of menu items by state.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QInputDevice>
#include <QToolBar>

#include <algorithm>

#include "app/command_ids.h"
#include "app/main_window.h"
#include "app/review_icons.h"

namespace trakomer {

namespace {

struct ReviewButton {
    int command;
    const char* tooltip;
};

constexpr ReviewButton kReviewButtons[] = {
    {kCmdPlay, "Play"},           {kCmdPause, "Pause"},          {kCmdStart, "Start"},
    {kCmdRewind, "Rewind"},       {kCmdStepBack, "Step back"},   {kCmdStepForward, "Step forward"},
    {kCmdFastForward, "Fast forward"}, {kCmdEnd, "End"},         {kCmdDeleteCurrent, "Delete current"},
};

// Where the screen takes touch, menus and buttons grow to a finger's size.
bool HasTouchScreen() {
    const QList<const QInputDevice*> devices = QInputDevice::devices();
    return std::any_of(devices.begin(), devices.end(), [](const QInputDevice* d) {
        return d->type() == QInputDevice::DeviceType::TouchScreen;
    });
}

constexpr const char* kFingerMenus =
    "QMenuBar::item { padding: 10px 14px; } QMenu::item { padding: 14px 28px 14px 20px; }";

}  // namespace

QAction* MainWindow::AddCommand(QMenu* menu, const char* text, int command) {
    QAction* action = menu->addAction(QString::fromUtf8(text));
    action->setData(command);
    QObject::connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
    actions_[command] = action;
    return action;
}

void MainWindow::BuildMenu() {
    if (HasTouchScreen()) menuBar()->setStyleSheet(kFingerMenus);
    toolsMenu_ = menuBar()->addMenu("Tools");
    QMenu* file = toolsMenu_->addMenu("File");
    AddCommand(file, "Open", kCmdOpen);
    AddCommand(file, "Save", kCmdSave);
    AddCommand(file, "Upload now", kCmdUploadNow);
    AddCommand(file, "Save Waypoints", kCmdSaveWaypoints);
    flyToMenu_ = toolsMenu_->addMenu("Fly To");
    AddCommand(flyToMenu_, "Current Location", kCmdCurrentLocation);
    flyToMenu_->addSeparator();
    AddCommand(toolsMenu_, "Set Waypoint", kCmdSetWaypoint);
    AddCommand(toolsMenu_, "Preferences", kCmdPreferences);
    AddCommand(toolsMenu_, "Stop", kCmdStop);
    AddCommand(toolsMenu_, "Reset", kCmdReset);
    QMenu* help = toolsMenu_->addMenu("Help");
    AddCommand(help, "Contents", kCmdContents);
    AddCommand(help, "About", kCmdAbout)->setShortcut(QKeySequence("Ctrl+A"));
    toolsMenu_->addSeparator();
    AddCommand(toolsMenu_, "Exit", kCmdExit);

    QAction* nothing = new QAction(this);
    nothing->setShortcut(QKeySequence("Ctrl+Q"));
    addAction(nothing);  // Ctrl+Q is taken and does nothing
}

void MainWindow::BuildReviewBar() {
    reviewBar_ = addToolBar("Review");
    reviewBar_->setMovable(false);
    reviewBar_->setIconSize(HasTouchScreen() ? QSize(32, 32) : QSize(16, 16));
    int image = 0;
    for (const ReviewButton& button : kReviewButtons) {
        QAction* action = reviewBar_->addAction(ReviewIcon(image++), button.tooltip);
        action->setToolTip(button.tooltip);
        action->setData(button.command);
        const int command = button.command;
        QObject::connect(action, &QAction::triggered, this,
                         [this, command] { RunCommand(command); });
        actions_[command] = action;
    }
}

void MainWindow::RebuildMenus(bool withReviewButtons) {
    reviewBar_->setVisible(withReviewButtons);
    RebuildFlyTo();
    menuCache_ = {-1, -1, -1, -1};
    UpdateMenuStates();
}

void MainWindow::RebuildFlyTo() {
    for (QAction* action : flyToActions_) {
        actions_.erase(action->data().toInt());
        flyToMenu_->removeAction(action);
        action->deleteLater();
    }
    flyToActions_.clear();
    // Maps come first (once the images are loaded), then waypoints.
    int id = kCmdFlyToFirst;
    for (const std::string& name : FlyToMapNames()) {
        if (id >= kCmdFlyToFirst + kFlyToMaxEntries) break;
        flyToActions_.push_back(AddCommand(flyToMenu_, name.c_str(), id++));
    }
    for (int i = 0; i < waypoints_.waypointCount; ++i) {
        if (id >= kCmdFlyToFirst + kFlyToMaxEntries) break;
        const Waypoint& waypoint = waypoints_.entries[static_cast<size_t>(i)];
        flyToActions_.push_back(AddCommand(flyToMenu_, waypoint.name.c_str(), id++));
    }
}

void MainWindow::UpdateMenuStates() {
    const int last = track_->lastIndex;
    const bool trackScreen = currentScreen_ == 0 || currentScreen_ == 1;
    const int states[4] = {
        (last >= 1 || view_.flyTo) && trackScreen,
        recorder_->State().recordingState == RecordingState::Started && !track_->InReview(),
        last != -1,
        waypoints_.waypointCount != 0,
    };
    const std::vector<int> groups[4] = {{kCmdSetWaypoint},
                                        {kCmdStop},
                                        {kCmdCurrentLocation, kCmdSave, kCmdUploadNow},
                                        {kCmdSaveWaypoints}};
    for (int g = 0; g < 4; ++g) {
        if (menuCache_[static_cast<size_t>(g)] == states[g]) continue;
        menuCache_[static_cast<size_t>(g)] = states[g];
        for (int command : groups[g]) actions_[command]->setEnabled(states[g] != 0);
    }
}

void MainWindow::ShowPlayButton(bool play) {
    actions_[kCmdPlay]->setVisible(play);
    actions_[kCmdPause]->setVisible(!play);
}

QAction* MainWindow::CommandAction(int command) const {
    auto found = actions_.find(command);
    return found == actions_.end() ? nullptr : found->second;
}

bool MainWindow::CommandEnabled(int command) const {
    QAction* action = CommandAction(command);
    return action && action->isEnabled();
}

bool MainWindow::ReviewButtonsShown() const { return !reviewBar_->isHidden(); }

}  // namespace trakomer
