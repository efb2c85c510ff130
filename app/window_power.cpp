// The window's power and wake-up: the desktop's power calls, the scheduler,
// the alarm sounds, and the commands that cancel the launcher or restart.
#include "app/command_ids.h"
#include "app/launcher_link.h"
#include "app/main_window.h"
#include "app/restart.h"
#include "platform/desktop_power.h"
#include "platform/runtime_folder.h"

namespace trakomer {

namespace {

// The alarm sounds through the voice's player (silent when the window was
// given another speaker).
class SpeechAlarms : public AlarmPlayer {
public:
    explicit SpeechAlarms(speech::SpeechOutput* output) : output_(output) {}
    void PlayAlarm(const std::string& path) override {
        if (output_) output_->PlayAlarm(path, false);
    }

private:
    speech::SpeechOutput* output_;
};

}  // namespace

void MainWindow::CreatePower() {
    if (!services_.power) {
        ownPower_ = std::make_unique<DesktopPower>();
        services_.power = ownPower_.get();
    }
    if (!services_.scheduler) {
        ownRunner_ = std::make_unique<SpawnRunner>();
        ownScheduler_ = std::make_unique<SystemdUserScheduler>(*ownRunner_, SessionVariables());
        services_.scheduler = ownScheduler_.get();
    }
    if (!services_.alarms) {
        ownAlarms_ = std::make_unique<SpeechAlarms>(ownSpeech_.get());
        services_.alarms = ownAlarms_.get();
    }
    idleTimer_.power = services_.power;

    PowerPorts ports;
    ports.power = services_.power;
    ports.scheduler = services_.scheduler;
    ports.clock = services_.clock;
    ports.dialogs = services_.dialogs;
    ports.alarms = services_.alarms;
    ports.markerPath = RuntimeFolder() + "/" + kWakeMarkerName;
    ports.soundFolder = paths_.dataFolder;
    ports.launcher = [this] { return LauncherCommand(); };
    ports.uploadNow = [this] {
        uploader_->UploadNow(true, *track_, settings_);
        ComposeAndDraw();
    };
    power_ = std::make_unique<PowerKeeper>(std::move(ports));

    // A failed port configuration sounds the error alarm.
    port_.errorBeep = [this] { services_.alarms->PlayAlarm(paths_.DataFile(kGaveUpAlarm)); };
}

AppCommand MainWindow::RecorderCommand() const {
    return {OwnExecutablePath(), runArgs_};
}

AppCommand MainWindow::LauncherCommand() const {
    return {LauncherPath(OwnExecutablePath(), TRAKOMER_INSTALLED_LAUNCHER), runArgs_};
}

void MainWindow::CancelLauncher() {
    trakomer::CancelLauncher(*services_.scheduler, LauncherCommand());
}

void MainWindow::ApplyProfile(int profile) {
    trakomer::ApplyProfile(settings_, profile, *services_.scheduler, LauncherCommand(), [this] {
        recorder_->SetOptions(OptionsFromSettings());
        recorder_->ArmTimers();
    });
}

bool MainWindow::AskRestart() {
    return trakomer::AskRestart(*services_.dialogs, *services_.scheduler, *services_.clock,
                                RecorderCommand(), [this] { RunCommand(kCmdExit); });
}

}  // namespace trakomer
