// trastart [--home DIR]: started by the scheduler every 540 s while the
// recorder runs in the Blackbox profile (see launcher.h). --home is passed
// on to the next run. Always exits with 0.
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "launcher/launcher.h"
#include "platform/desktop_power.h"
#include "platform/runtime_folder.h"

int main(int argc, char** argv) {
    std::vector<std::string> passOn;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--home" && i + 1 < argc) {
            passOn = {"--home", argv[++i]};
        } else if (arg.rfind("--home=", 0) == 0) {
            passOn = {"--home", arg.substr(7)};
        }
    }
    trakomer::SpawnRunner runner;
    trakomer::SystemdUserScheduler scheduler(runner, trakomer::SessionVariables());
    std::string self = trakomer::OwnExecutablePath();
    if (self.empty()) self = argv[0];
    trakomer::launcher::LauncherPorts ports;
    ports.runtimeFolder = trakomer::RuntimeFolder();
    ports.self = {self, passOn};
    ports.unixSeconds = [] { return static_cast<int64_t>(std::time(nullptr)); };
    ports.wakeScreen = [] { trakomer::WakeScreenOnSessionBus(); };
    ports.scheduler = &scheduler;
    ports.report = [](const std::string& text) { std::fprintf(stderr, "trastart: %s\n", text.c_str()); };
    trakomer::launcher::RunLauncher(ports);
    return 0;
}
