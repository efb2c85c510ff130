#include "app/launcher_link.h"

#include <cstdio>

#include "app/power_keeper.h"

namespace trakomer {

std::string DerivedLauncherPath(const std::string& recorderPath) {
    constexpr size_t kReplaced = 5;
    if (recorderPath.size() < kReplaced) return recorderPath;
    return recorderPath.substr(0, recorderPath.size() - kReplaced) + "start";
}

std::string LauncherPath(const std::string& recorderPath, const std::string& installedPath) {
    const std::string derived = DerivedLauncherPath(recorderPath);
    if (std::FILE* file = std::fopen(derived.c_str(), "rb")) {
        std::fclose(file);
        return derived;
    }
    return installedPath;
}

void CancelLauncher(Scheduler& scheduler, const AppCommand& launcher) {
    scheduler.RunAppAtTime(launcher, nullptr);
}

void ApplyProfile(Settings& settings, int profile, Scheduler& scheduler, const AppCommand& launcher,
                  const std::function<void()>& armTimers) {
    settings.mUserProfile = profile;
    if (profile != kBlackboxProfile) CancelLauncher(scheduler, launcher);
    if (armTimers) armTimers();
}

}  // namespace trakomer
