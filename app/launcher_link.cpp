#include "app/launcher_link.h"

#include <cstdio>


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
    scheduler.RunAppAtTime(launcher, nullptr);  // removal: nothing worth telling
}

}  // namespace trakomer
