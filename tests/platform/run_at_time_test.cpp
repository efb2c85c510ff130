// The scheduler as systemd user timers (the commands it runs, with stand-in
// answers), its worker thread, and the runtime folder.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/background_scheduler.h"
#include "platform/run_at_time.h"
#include "platform/runtime_folder.h"

namespace trakomer {
namespace {

// Answers each command by a rule and records it.
class ScriptedRunner : public CommandRunner {
public:
    int Run(const std::vector<std::string>& argv) override {
        commands.push_back(argv);
        return rule ? rule(argv) : 0;
    }
    std::function<int(const std::vector<std::string>&)> rule;
    std::vector<std::vector<std::string>> commands;
};

bool Has(const std::vector<std::string>& argv, const std::string& word) {
    return std::find(argv.begin(), argv.end(), word) != argv.end();
}

TEST(SystemdUserScheduler, ReplacesTheProgramsTimerOrOnlyRemovesIt) {
    ScriptedRunner runner;
    SystemdUserScheduler scheduler(runner, {"DISPLAY=:1"});
    const AppCommand launcher{"/opt/t r/trastart", {"--home", "/h"}};
    const std::string prefix = TimerUnitPrefix(launcher.path);
    const std::string unit = prefix + "-20270101000400-" + std::to_string(getpid());
    const CalendarTime when{2027, 1, 5, 1, 0, 4, 0, 0};
    EXPECT_EQ(scheduler.RunAppAtTime(launcher, &when).status, ScheduleStatus::Registered);
    EXPECT_EQ(scheduler.RunAppAtTime(launcher, nullptr).status, ScheduleStatus::Removed);
    const std::vector<std::string> stop = {"systemctl", "--user", "stop", prefix + "-*.timer"};
    const std::vector<std::vector<std::string>> expected = {
        stop,
        {"systemd-run", "--user", "--quiet", "--unit=" + unit,
         "--on-calendar=2027-01-01 00:04:00", "--timer-property=AccuracySec=1s",
         "--timer-property=WakeSystem=true", "--setenv=DISPLAY=:1", "/opt/t r/trastart", "--home",
         "/h"},
        {"systemctl", "--user", "is-active", "--quiet", unit + ".timer"},
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

// systemd-run's status and whether the timer really waits decide; a refused
// wake-up timer is made again without it, and later ones go without it at
// once.
TEST(SystemdUserScheduler, FallsBackWithoutWakeUpAndReportsFailures) {
    const auto wake = [](const std::vector<std::string>& a) {
        return Has(a, "--timer-property=WakeSystem=true");
    };
    const auto checkWake = [](const std::vector<std::string>& a) {
        return a.size() == 5 && a[2] == "is-active" && a[4].find("-plain") == std::string::npos;
    };
    const struct {
        const char* name;
        std::function<int(const std::vector<std::string>&)> rule;
        ScheduleStatus first, second;
        size_t wakeTries;  // systemd-run calls with the wake-up over both
    } cases[] = {
        {"all well", [](const auto&) { return 0; }, ScheduleStatus::Registered,
         ScheduleStatus::Registered, 2},
        {"waiting state refused", [&](const auto& a) { return checkWake(a) ? 3 : 0; },
         ScheduleStatus::RegisteredWithoutWake, ScheduleStatus::RegisteredWithoutWake, 1},
        {"systemd-run refuses the wake-up",
         [&](const auto& a) { return a[0] == "systemd-run" && wake(a) ? 1 : 0; },
         ScheduleStatus::RegisteredWithoutWake, ScheduleStatus::RegisteredWithoutWake, 1},
        {"no user manager", [](const auto&) { return 1; }, ScheduleStatus::Failed,
         ScheduleStatus::Failed, 2},
        {"no systemd-run", [](const auto& a) { return a[0] == "systemd-run" ? -1 : 1; },
         ScheduleStatus::Failed, ScheduleStatus::Failed, 2},
    };
    const CalendarTime when{2027, 1, 5, 1, 0, 4, 0, 0};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedRunner runner;
        runner.rule = c.rule;
        SystemdUserScheduler scheduler(runner);
        const ScheduleResult first = scheduler.RunAppAtTime({"/x/trastart", {}}, &when);
        EXPECT_EQ(first.status, c.first);
        EXPECT_EQ(first.detail.empty(), c.first == ScheduleStatus::Registered) << first.detail;
        EXPECT_EQ(scheduler.RunAppAtTime({"/x/trastart", {}}, &when).status, c.second);
        EXPECT_EQ(std::count_if(runner.commands.begin(), runner.commands.end(),
                                [&](const auto& a) { return a[0] == "systemd-run" && wake(a); }),
                  static_cast<long>(c.wakeTries));
    }
}

// Holds the first registration until released, as a slow systemctl would.
class SlowScheduler : public Scheduler {
public:
    ScheduleResult RunAppAtTime(const AppCommand& app, const CalendarTime* when) override {
        std::unique_lock lock(mutex);
        runs.push_back(app.path + (when ? "@" + std::to_string(when->minute) : " removed"));
        changed.notify_all();
        changed.wait(lock, [this] { return released; });
        return {when ? ScheduleStatus::Registered : ScheduleStatus::Removed, {}};
    }
    std::mutex mutex;
    std::condition_variable changed;
    bool released = false;
    std::vector<std::string> runs;
};

TEST(BackgroundScheduler, NeverWaitsKeepsTheNewestPerProgramAndRunsAllBeforeItEnds) {
    SlowScheduler slow;
    std::vector<ScheduleStatus> told;
    {
        BackgroundScheduler scheduler(slow, [&told](const AppCommand&, const ScheduleResult& r) {
            told.push_back(r.status);  // only the worker writes it
        });
        CalendarTime when{};
        for (int minute : {1, 2, 3}) {
            when.minute = minute;
            EXPECT_EQ(scheduler.RunAppAtTime({"/a", {}}, &when).status, ScheduleStatus::Pending);
            if (minute == 1) {
                std::unique_lock lock(slow.mutex);
                slow.changed.wait(lock, [&slow] { return !slow.runs.empty(); });
            }
        }
        scheduler.RunAppAtTime({"/b", {}}, nullptr);
        std::lock_guard lock(slow.mutex);
        slow.released = true;
        slow.changed.notify_all();
    }
    EXPECT_EQ(slow.runs, (std::vector<std::string>{"/a@1", "/a@3", "/b removed"}));
    EXPECT_EQ(told, (std::vector<ScheduleStatus>{ScheduleStatus::Registered,
                                                 ScheduleStatus::Registered,
                                                 ScheduleStatus::Removed}));
}

TEST(PrepareRuntimeFolder, OnlyAFolderOfOursThatNobodyElseMayWrite) {
    char pattern[] = "/tmp/trakomer-runtime-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::filesystem::path base = pattern;
    const struct {
        const char* name;
        std::function<void(const std::filesystem::path&)> make;
        std::string problem;  // part of the answer; "" to be accepted
    } cases[] = {
        {"missing: made", [](const auto&) {}, ""},
        {"ours, 0700", [](const auto& p) { mkdir(p.c_str(), 0700); }, ""},
        {"writable by all", [](const auto& p) { mkdir(p.c_str(), 0700); chmod(p.c_str(), 0777); },
         "may be written by others (mode 0777)"},
        {"a link",
         [&base](const auto& p) {
             if (symlink(base.c_str(), p.c_str()) != 0) return;
         },
         "is not a folder"},
        {"someone else's",
         [](const auto& p) {
             mkdir(p.c_str(), 0700);
             if (chown(p.c_str(), 65534, 65534) != 0) return;
         },
         geteuid() == 0 ? "belongs to user 65534, not to you" : ""},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::filesystem::path folder = base / std::to_string(n++);
        c.make(folder);
        const std::string problem = PrepareRuntimeFolder(folder);
        if (c.problem.empty()) {
            EXPECT_EQ(problem, "");
            EXPECT_TRUE(std::filesystem::is_directory(folder));
        } else {
            EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
        }
    }
    std::filesystem::remove_all(base);
}

TEST(SpawnRunner, ExitStatusOrMinusOne) {
    SpawnRunner runner(300);
    EXPECT_EQ(runner.Run({"sh", "-c", "exit 3"}), 3);
    EXPECT_EQ(runner.Run({"no-such-program-here"}), -1);
    EXPECT_EQ(runner.Run({"sleep", "5"}), -1);  // killed at the time limit
}

}  // namespace
}  // namespace trakomer
