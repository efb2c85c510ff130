// The window's side of the preference sheet: opening it, and what applying
// its pages does to the running recorder.
#include <QApplication>

#include "app/gl_screen.h"
#include "app/main_window.h"
#include "app/command_ids.h"
#include "core/recording_options.h"
#include "core/settings_file.h"
#include "gps/settings_port.h"
#include "gps/source_list.h"
#include "maps/tile_source.h"
#include "prefs/preferences_sheet.h"

namespace trakomer {

void MainWindow::ShowPreferences() {
    prefs::SheetServices services;
    services.dialogs = services_.dialogs;
    services.ports = EnumerateSources();
    if (glScreen_ && glScreen_->Available()) services.maps = glScreen_->MapRows();
    const int last = std::max(track_->lastIndex, track_->loadedCount - 1);
    for (int i = 0; i <= last; ++i) {
        const TrackPoint& p = track_->points[static_cast<size_t>(i)];
        services.mapFetch.track.push_back({p.latitude, p.longitude});
    }
    services.mapFetch.programFolder = paths_.dataFolder;
    services.mapFetch.cacheFolder = maps::DefaultTileCacheFolder();
    // New map packages: the GL screen starts afresh at the next frame and
    // loads them with the other images (Fly To follows).
    services.mapFetch.installed = [this] { glScreen_.reset(); };
    prefs::PreferencesSheet sheet(settings_, *this, std::move(services), this);
    sheet.exec();
    ComposeAndDraw();
}

void MainWindow::RearmTimers() {
    recorder_->SetOptions(OptionsFromSettings());
    recorder_->ArmTimers();
}

void MainWindow::ResizeGl() {
    // The GL screen follows the up mode at its next frame.
    graphRecompute_ = true;
    ComposeAndDraw();
}

void MainWindow::ReopenReceiver() {
    port_.Close();
    port_.Open(PortSettingsFrom(settings_), false);
    port_.StartReader(gps_);
    // Another port chosen in the preferences is the one to keep, also over a
    // device given on the command line for this run.
    if (settings_.mCommDevice != startDevice_) savedCommDevice_.reset();
    ComposeAndDraw();
}

void MainWindow::ReloadWaypoints() {
    LoadWaypointFile(settings_, waypoints_, *services_.dialogs);
    RebuildFlyTo();
    menuCache_ = {-1, -1, -1, -1};
    UpdateMenuStates();
}

void MainWindow::SaveSettingsFile() {
    Settings toSave = settings_;
    if (savedCommDevice_) toSave.mCommDevice = *savedCommDevice_;
    SaveSettings(paths_.SettingsFile(), toSave);
}

void MainWindow::RequestRestart() {
    // The sheet asked "Restart now?" already. Exit writes the settings and
    // ends the event loop; the program starts itself again once the window
    // and the single-instance socket are gone (RunShell).
    restartRequested_ = true;
    RunCommand(kCmdExit);
}

void MainWindow::StopPointTick() {
    Timer(2).stop();
}

}  // namespace trakomer
