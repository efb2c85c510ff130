// The window's power and wake-up: the desktop's power calls, the scheduler,
// the alarm sounds, cancelling the launcher, and notices about them.
#include <QStatusBar>

#include <cstdio>

#include "app/launcher_link.h"
#include "app/main_window.h"
#include "platform/background_scheduler.h"
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
        // systemctl and systemd-run run on a worker thread; their results
        // come back to this thread.
        if (!services_.commands) {
            ownRunner_ = std::make_unique<SpawnRunner>();
            services_.commands = ownRunner_.get();
        }
        systemdScheduler_ =
            std::make_unique<SystemdUserScheduler>(*services_.commands, SessionVariables());
        ownScheduler_ = std::make_unique<BackgroundScheduler>(
            *systemdScheduler_, [this](const AppCommand&, const ScheduleResult& result) {
                QMetaObject::invokeMethod(
                    this, [this, result] { power_->OnScheduleResult(result); },
                    Qt::QueuedConnection);
            });
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
    ports.notify = [this](const std::string& text) { ShowNotice(text); };
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

AppCommand MainWindow::LauncherCommand() const {
    return {LauncherPath(OwnExecutablePath(), TRAKOMER_INSTALLED_LAUNCHER), runArgs_};
}

void MainWindow::CancelLauncher() {
    trakomer::CancelLauncher(*services_.scheduler, LauncherCommand());
}

void MainWindow::ShowNotice(const std::string& text) {
    // Beside the window (for a session log) and in its status line: neither
    // stops the user in what they are doing.
    std::fprintf(stderr, "trakomer: %s\n", text.c_str());
    statusBar()->showMessage(QString::fromStdString(text));
    lastNotice_ = text;
}

}  // namespace trakomer
