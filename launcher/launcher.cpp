#include "launcher/launcher.h"

#include <cstdio>

#include "launcher/instance_socket.h"
#include "platform/runtime_folder.h"

namespace trakomer::launcher {

int RunLauncher(const LauncherPorts& ports) {
    // Another launcher run in progress takes precedence: it is brought to
    // the front and this one does nothing else.
    const std::string ownSocket = ports.runtimeFolder + "/" + kLauncherSocketName;
    if (SendLine(ownSocket, kRaiseLine)) return 0;
    HeldSocket held(ownSocket);

    if (!SendLine(ports.runtimeFolder + "/" + kRecorderSocketName, kRaiseLine)) return 0;
    if (ports.wakeScreen) ports.wakeScreen();
    // An empty marker; failing to make it does not stop the re-registration.
    const std::string marker = ports.runtimeFolder + "/" + kWakeMarkerName;
    if (std::FILE* file = std::fopen(marker.c_str(), "w")) std::fclose(file);
    // Through seconds since 1970, so midnight, month and year ends come out
    // as proper dates.
    const auto wake = LocalCalendarTime(ports.unixSeconds() + kWakeIntervalSeconds);
    if (wake && ports.scheduler) ports.scheduler->RunAppAtTime(ports.self, &*wake);
    return 0;
}

}  // namespace trakomer::launcher
