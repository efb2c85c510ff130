#include "launcher/launcher.h"

#include "launcher/instance_socket.h"
#include "platform/runtime_folder.h"

namespace trakomer::launcher {

namespace {

void Report(const LauncherPorts& ports, const std::string& text) {
    if (ports.report) ports.report(text);
}

}  // namespace

int RunLauncher(const LauncherPorts& ports) {
    // A folder another user could have made or may write to is not used.
    if (const std::string problem = PrepareRuntimeFolder(ports.runtimeFolder); !problem.empty()) {
        Report(ports, "refused: " + problem);
        return 0;
    }
    // Another launcher run in progress takes precedence: it is brought to
    // the front and this one does nothing else.
    const std::string ownSocket = ports.runtimeFolder + "/" + kLauncherSocketName;
    if (SendLine(ownSocket, kRaiseLine)) return 0;
    HeldSocket held(ownSocket);

    if (!SendLine(ports.runtimeFolder + "/" + kRecorderSocketName, kRaiseLine)) return 0;
    if (ports.wakeScreen) ports.wakeScreen();
    // An empty marker; failing to make it does not stop the re-registration.
    const std::string marker = ports.runtimeFolder + "/" + kWakeMarkerName;
    if (!CreateMarkerFile(marker)) Report(ports, "cannot create the wake-up marker " + marker);
    // Through seconds since 1970, so midnight, month and year ends come out
    // as proper dates.
    const auto wake = LocalCalendarTime(ports.unixSeconds() + kWakeIntervalSeconds);
    if (wake && ports.scheduler) {
        const ScheduleResult result = ports.scheduler->RunAppAtTime(ports.self, &*wake);
        if (const std::string text = ScheduleResultText(result); !text.empty()) Report(ports, text);
    }
    return 0;
}

}  // namespace trakomer::launcher
