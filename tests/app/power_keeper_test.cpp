// Power while recording and the Blackbox wake-up cycle, with a fake power
// layer, a fake scheduler and a manual clock.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/launcher_link.h"
#include "app/power_keeper.h"

namespace trakomer {
namespace {

namespace fs = std::filesystem;

class FakePower : public PowerPlatform {
public:
    DisplayHold HoldDisplay() override {
        ++holds;
        return hold;
    }
    void ReleaseDisplay() override { ++releases; }
    void ResetIdleTimer() override { ++idleResets; }
    int BatteryPercent() override { return battery; }
    void WakeScreen() override {}
    DisplayHold hold;
    int holds = 0, releases = 0, idleResets = 0, battery = 80;
};

class RecordingScheduler : public Scheduler {
public:
    ScheduleResult RunAppAtTime(const AppCommand& app, const CalendarTime* when) override {
        runs.push_back({app, when ? std::optional<CalendarTime>(*when) : std::nullopt});
        return result;
    }
    ScheduleResult result;
    std::vector<std::pair<AppCommand, std::optional<CalendarTime>>> runs;
};

class RecordingAlarms : public AlarmPlayer {
public:
    void PlayAlarm(const std::string& path) override {
        played.push_back(fs::path(path).filename().string());
    }
    int Count(const std::string& name) const {
        return static_cast<int>(std::count(played.begin(), played.end(), name));
    }
    std::vector<std::string> played;
};

const AppCommand kLauncher{"/x/trastart", {}};

class PowerKeeperTest : public ::testing::Test {
protected:
    PowerKeeperTest() {
        char pattern[] = "/tmp/trakomer-power-XXXXXX";
        folder_ = mkdtemp(pattern);
        PowerPorts ports;
        ports.power = &power_;
        ports.scheduler = &scheduler_;
        ports.clock = &clock_;
        ports.notify = [this](const std::string& text) { notices_.push_back(text); };
        ports.alarms = &alarms_;
        ports.markerPath = folder_ + "/_trkwake";
        ports.soundFolder = folder_;
        ports.launcher = [] { return kLauncher; };
        ports.uploadNow = [this] { uploads_.push_back(clock_.UnixSeconds() - kStart); };
        keeper_.emplace(std::move(ports));
    }
    ~PowerKeeperTest() override { fs::remove_all(folder_); }

    void Wake() { std::ofstream(folder_ + "/_trkwake"); }
    // One timer-5 tick in Blackbox, 25 s after the last.
    void Check(int lastIndex) {
        keeper_->OnBatteryTick(kBlackboxProfile, lastIndex);
        clock_.AdvanceMs(25000);
    }

    static constexpr int64_t kStart = 1'800'000'000;
    std::string folder_;
    FakePower power_;
    RecordingScheduler scheduler_;
    ManualClock clock_{kStart};
    std::vector<std::string> notices_;
    RecordingAlarms alarms_;
    std::vector<int64_t> uploads_;  // seconds after the start
    std::optional<PowerKeeper> keeper_;
};

TEST_F(PowerKeeperTest, WithoutWakeUpsUploadsAtTheFirstNewPointThenAbout1080SecondsApart) {
    for (int i = 1; i <= 100; ++i) {
        const int64_t now = clock_.UnixSeconds();
        Check(i);
        // The launcher's run is renewed at every check, 540 s ahead.
        ASSERT_EQ(scheduler_.runs.size(), static_cast<size_t>(i));
        EXPECT_EQ(scheduler_.runs.back().first, kLauncher);
        EXPECT_EQ(scheduler_.runs.back().second, LocalCalendarTime(now + 540));
    }
    EXPECT_EQ(uploads_, (std::vector<int64_t>{0, 1100, 2200}));
    EXPECT_EQ(alarms_.played, (std::vector<std::string>(3, "alarm2.wav")));
    EXPECT_TRUE(keeper_->State().keepAwakeOff);  // may sleep between points
    EXPECT_EQ(power_.idleResets, 0);
}

TEST_F(PowerKeeperTest, MarkerWithANewPointUploadsAtOnce) {
    Check(1);
    ASSERT_EQ(uploads_.size(), 1u);
    Check(2);  // 25 s later, no wake-up: too soon
    EXPECT_EQ(uploads_.size(), 1u);
    Wake();
    Check(3);
    EXPECT_EQ(uploads_, (std::vector<int64_t>{0, 50}));
    EXPECT_EQ(alarms_.Count("alarm2.wav"), 2);
    EXPECT_FALSE(fs::exists(folder_ + "/_trkwake"));
}

TEST_F(PowerKeeperTest, EightChecksWithoutAPointAfterAWakeUpGiveUpOnce) {
    Check(1);  // uploaded; the machine may sleep
    Wake();
    for (int i = 1; i <= 20; ++i) {
        const int resetsBefore = power_.idleResets;
        Check(1);
        // Awake for a fix until the eighth check gives up.
        EXPECT_EQ(power_.idleResets - resetsBefore, i < 8 ? 1 : 0) << i;
        EXPECT_EQ(alarms_.Count("alarm3.wav"), i < 8 ? 0 : 1) << i;
    }
    EXPECT_TRUE(keeper_->State().keepAwakeOff);
}

TEST_F(PowerKeeperTest, ATrackThatShrankIsCountedFromItsNewEnd) {
    Check(500);
    clock_.AdvanceMs(1100 * 1000);
    Check(-1);  // Reset
    Check(3);
    EXPECT_EQ(uploads_.size(), 2u);
}

TEST_F(PowerKeeperTest, NoIdleResetAtTwentyPercentInAnyProfile) {
    for (int percent : {20, 21}) {
        for (int profile = 1; profile <= 6; ++profile) {
            power_.battery = percent;
            const int before = power_.idleResets;
            // Profile 6 right after start: no point yet, so kept awake.
            keeper_->OnBatteryTick(profile, -1);
            EXPECT_EQ(power_.idleResets - before, percent > 20 ? 1 : 0) << profile;
        }
    }
}

// A refused hold is told once in words (no message box); where nothing
// would blank the screen there is nothing to tell. Neither is asked again.
TEST_F(PowerKeeperTest, HoldThatCannotBeHadIsToldOnlyWhenRefusedAndNotAskedAgain) {
    const struct {
        DisplayHold hold;
        std::vector<std::string> notices;
    } cases[] = {
        {{DisplayHold::Outcome::Refused, "the desktop's screen saver refused: no"},
         {"The screen may blank during the recording: keeping it on failed (the desktop's "
          "screen saver refused: no)."}},
        {{DisplayHold::Outcome::NothingToHold, ""}, {}},
    };
    for (const auto& c : cases) {
        power_ = FakePower();
        power_.hold = c.hold;
        notices_.clear();
        PowerPorts ports;
        ports.power = &power_;
        ports.notify = [this](const std::string& text) { notices_.push_back(text); };
        keeper_.emplace(std::move(ports));
        keeper_->TakeBacklightRequirement();
        keeper_->TakeBacklightRequirement();
        keeper_->OnBatteryTick(4, 5);
        EXPECT_EQ(notices_, c.notices);
        EXPECT_EQ(power_.holds, 1);
    }
}

TEST_F(PowerKeeperTest, RegistrationsThatCannotWakeOrFailAreToldOnce) {
    const ScheduleResult noWake{ScheduleStatus::RegisteredWithoutWake, "refused"};
    const ScheduleResult failed{ScheduleStatus::Failed, "status 1"};
    const ScheduleResult ok{ScheduleStatus::Registered, ""};
    for (const ScheduleResult& result : {noWake, noWake, failed, failed, ok, failed, noWake}) {
        scheduler_.result = result;
        Check(1);
    }
    EXPECT_EQ(notices_, (std::vector<std::string>{ScheduleResultText(noWake),
                                                  ScheduleResultText(failed),
                                                  ScheduleResultText(failed)}));
    EXPECT_EQ(ScheduleResultText(failed),
              "The Blackbox wake-up could not be scheduled: status 1.");
}

TEST_F(PowerKeeperTest, HeldHoldFollowsTheKeepAwakeRuleAndGoesWithTheWindow) {
    keeper_->TakeBacklightRequirement();
    EXPECT_TRUE(keeper_->State().backlightHeld);
    Check(1);  // Blackbox lets the machine sleep: the hold goes
    EXPECT_EQ(power_.releases, 1);
    Wake();
    Check(1);  // woken, waiting for a fix: held again
    EXPECT_EQ(power_.holds, 2);
    keeper_.reset();
    EXPECT_EQ(power_.releases, 2);
    EXPECT_TRUE(notices_.empty());
}

TEST(LauncherPath, BesideTheRecorderElseInstalled) {
    char pattern[] = "/tmp/trakomer-bin-XXXXXX";
    const std::string folder = mkdtemp(pattern);
    EXPECT_EQ(DerivedLauncherPath(folder + "/trakomer"), folder + "/trastart");
    EXPECT_EQ(LauncherPath(folder + "/trakomer", "/usr/bin/trastart"), "/usr/bin/trastart");
    std::ofstream(folder + "/trastart") << "";
    EXPECT_EQ(LauncherPath(folder + "/trakomer", "/usr/bin/trastart"), folder + "/trastart");
    fs::remove_all(folder);
}

}  // namespace
}  // namespace trakomer
