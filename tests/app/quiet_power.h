#pragma once
// Window tests keep the machine's power calls and the scheduler out: the
// power layer does nothing, the scheduler only records.

#include <string>
#include <utility>
#include <vector>

#include "platform/power.h"
#include "platform/run_at_time.h"

namespace trakomer::test {

class QuietPower : public PowerPlatform {
public:
    uint32_t HoldDisplay() override { return 0; }
    void ReleaseDisplay() override {}
    void ResetIdleTimer() override {}
    int BatteryPercent() override { return 100; }
    void WakeScreen() override {}
};

class RecordingScheduler : public Scheduler {
public:
    void RunAppAtTime(const AppCommand& app, const CalendarTime* when) override {
        runs.push_back({app.path, when != nullptr});
    }
    std::vector<std::pair<std::string, bool>> runs;  // path, with a time
};

}  // namespace trakomer::test
