// The recorder's window run as the program runs it, with stand-in power and
// scheduler: the first run changes a setting and asks for a restart as the
// preference sheet's Yes does; the run after it exits. Each run appends
// "<pid> <user name>" to runs.log in the home folder.
//   app_restart_probe --home DIR

#include <QTimer>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "app/startup.h"
#include "core/speaker.h"
#include "tests/app/quiet_power.h"

namespace {

class NoQuestions : public trakomer::Dialogs {
public:
    void ShowMessage(const std::string&, const std::string&, trakomer::MessageIcon) override {}
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
};

}  // namespace

int main(int argc, char** argv) {
    trakomer::StartOptions options;
    std::string error;
    if (!trakomer::ParseStartOptions({argv + 1, argv + argc}, options, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    trakomer::test::QuietPower power;
    trakomer::test::RecordingScheduler scheduler;
    NoQuestions dialogs;
    trakomer::SilentSpeaker speaker;
    trakomer::WindowServices services;
    services.power = &power;
    services.scheduler = &scheduler;
    services.dialogs = &dialogs;
    services.speaker = &speaker;
    return trakomer::RunShell(argc, argv, options, trakomer::InstanceSocketPath(), services,
                              [&options](trakomer::Shell& shell) {
        std::ofstream(options.home + "/runs.log", std::ios::app)
            << getpid() << " " << shell.settings.mUserName << "\n";
        trakomer::Shell* raw = &shell;
        QTimer::singleShot(0, shell.window.get(), [raw] {
            if (raw->settings.mUserName.empty()) {
                raw->settings.mUserName = "Restarted";
                raw->window->RequestRestart();
            } else {
                raw->window->RunCommand(trakomer::kCmdExit);
            }
        });
    });
}
