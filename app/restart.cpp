#include "app/restart.h"

namespace trakomer {

bool AskRestart(Dialogs& dialogs, Scheduler& scheduler, const Clock& clock,
                const AppCommand& recorder, const std::function<void()>& exitCommand) {
    if (!dialogs.AskYesNo(
            "In order for your changes to take effect the application needs to restart",
            "Restart now?")) {
        return false;
    }
    Restart(scheduler, clock, recorder, exitCommand);
    return true;
}

void Restart(Scheduler& scheduler, const Clock& clock, const AppCommand& recorder,
             const std::function<void()>& exitCommand) {
    if (const auto when = LocalCalendarTime(clock.UnixSeconds() + kRestartDelaySeconds)) {
        scheduler.RunAppAtTime(recorder, &*when);
    }
    if (exitCommand) exitCommand();
}

}  // namespace trakomer
