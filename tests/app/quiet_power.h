#pragma once
// Window tests keep the machine's power calls and the scheduler out: the
// power layer does nothing, the scheduler only records. Every test that
// builds a window gives it these (the window's own would reach the user's
// session bus and systemd user manager).

#include <string>
#include <utility>
#include <vector>

#include "platform/power.h"
#include "platform/run_at_time.h"

namespace trakomer::test {

class QuietPower : public PowerPlatform {
public:
    DisplayHold HoldDisplay() override { return hold; }
    void ReleaseDisplay() override {}
    void ResetIdleTimer() override {}
    int BatteryPercent() override { return 100; }
    void WakeScreen() override {}
    DisplayHold hold;
};

class RecordingScheduler : public Scheduler {
public:
    ScheduleResult RunAppAtTime(const AppCommand& app, const CalendarTime* when) override {
        runs.push_back({app.path, when != nullptr});
        return {when ? ScheduleStatus::Registered : ScheduleStatus::Removed, {}};
    }
    std::vector<std::pair<std::string, bool>> runs;  // path, with a time
};

}  // namespace trakomer::test
