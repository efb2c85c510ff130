// The scheduler as systemd user timers: the commands it runs.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/run_at_time.h"

namespace trakomer {
namespace {

class RecordingRunner : public CommandRunner {
public:
    int Run(const std::vector<std::string>& argv) override {
        commands.push_back(argv);
        return 0;
    }
    std::vector<std::vector<std::string>> commands;
};

TEST(SystemdUserScheduler, ReplacesTheProgramsTimerOrOnlyRemovesIt) {
    RecordingRunner runner;
    SystemdUserScheduler scheduler(runner, {"DISPLAY=:1"});
    const AppCommand launcher{"/opt/t r/trastart", {"--home", "/h"}};
    const std::string prefix = TimerUnitPrefix(launcher.path);
    const CalendarTime when{2027, 1, 5, 1, 0, 4, 0, 0};
    scheduler.RunAppAtTime(launcher, &when);
    scheduler.RunAppAtTime(launcher, nullptr);
    const std::vector<std::string> stop = {"systemctl", "--user", "stop", prefix + "-*.timer"};
    const std::vector<std::vector<std::string>> expected = {
        stop,
        {"systemd-run", "--user", "--quiet", "--unit=" + prefix + "-20270101000400",
         "--on-calendar=2027-01-01 00:04:00", "--timer-property=AccuracySec=1s",
         "--timer-property=WakeSystem=true", "--setenv=DISPLAY=:1", "/opt/t r/trastart", "--home",
         "/h"},
        stop,
    };
    EXPECT_EQ(runner.commands, expected);
    // A valid unit name, the same for the same path, another for another.
    EXPECT_EQ(prefix.find_first_not_of(
                  "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-"),
              std::string::npos);
    EXPECT_EQ(prefix, TimerUnitPrefix("/opt/t r/trastart"));
    EXPECT_NE(prefix, TimerUnitPrefix("/usr/bin/trastart"));
}

TEST(SpawnRunner, ExitStatusOrMinusOne) {
    SpawnRunner runner(300);
    EXPECT_EQ(runner.Run({"sh", "-c", "exit 3"}), 3);
    EXPECT_EQ(runner.Run({"no-such-program-here"}), -1);
    EXPECT_EQ(runner.Run({"sleep", "5"}), -1);  // killed at the time limit
}

}  // namespace
}  // namespace trakomer
