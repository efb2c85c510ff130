// The launcher's run against a fake recorder socket in a temporary runtime
// folder: with a fake scheduler in-process, and as the real program with
// stand-in systemd commands.

#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "launcher/launcher.h"

namespace trakomer::launcher {
namespace {

namespace fs = std::filesystem;

fs::path TempFolder() {
    char pattern[] = "/tmp/trakomer-launcher-XXXXXX";
    return mkdtemp(pattern) ? fs::path(pattern) : fs::path();
}

// A program's single-instance socket that reads what is sent to it.
class FakeInstance {
public:
    explicit FakeInstance(const fs::path& path) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        fd_ = socket(AF_UNIX, SOCK_STREAM, 0);
        if (bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(fd_, 4) != 0) {
            close(fd_);
            fd_ = -1;
        }
    }
    ~FakeInstance() {
        if (fd_ >= 0) close(fd_);
    }
    bool Listening() const { return fd_ >= 0; }
    // What the first client sent ("" when none came).
    std::string Received() {
        pollfd waiting{fd_, POLLIN, 0};
        if (poll(&waiting, 1, 0) <= 0) return {};
        const int client = accept(fd_, nullptr, nullptr);
        char buffer[64] = {};
        const ssize_t n = read(client, buffer, sizeof buffer - 1);
        close(client);
        return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
    }

private:
    int fd_ = -1;
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

TEST(Launcher, WakesMarksAndReschedulesOnlyWhenTheRecorderRuns) {
    struct Case {
        const char* name;
        bool recorder, otherLauncher;
        bool acts;
    } cases[] = {
        {"recorder running", true, false, true},
        {"no recorder", false, false, false},
        {"another launcher first", true, true, false},
    };
    const int64_t now = 1'800'000'000;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path runtime = TempFolder();
        std::optional<FakeInstance> recorder, other;
        if (c.recorder) recorder.emplace(runtime / "trakomer");
        if (c.otherLauncher) other.emplace(runtime / "trastart");
        RecordingScheduler scheduler;
        int wakes = 0;
        LauncherPorts ports{runtime.string(),
                            {"/x/trastart", {"--home", "/h"}},
                            [now] { return now; },
                            [&wakes] { ++wakes; },
                            &scheduler,
                            {}};
        EXPECT_EQ(RunLauncher(ports), 0);

        const fs::path marker = runtime / "_trkwake";
        EXPECT_EQ(fs::exists(marker), c.acts);
        if (c.acts) {
            EXPECT_EQ(fs::file_size(marker), 0u);
        }
        EXPECT_EQ(wakes, c.acts ? 1 : 0);
        if (c.acts) {
            ASSERT_EQ(scheduler.runs.size(), 1u);
            EXPECT_EQ(scheduler.runs[0].first, ports.self);
            EXPECT_EQ(scheduler.runs[0].second, LocalCalendarTime(now + 540));
        } else {
            EXPECT_TRUE(scheduler.runs.empty());
        }
        if (recorder) {
            EXPECT_EQ(recorder->Received(), c.acts ? "raise\n" : "");
        }
        if (other) {
            EXPECT_EQ(other->Received(), "raise\n");
        }
        if (!c.otherLauncher) {
            EXPECT_FALSE(fs::exists(runtime / "trastart"));  // released
        }
        fs::remove_all(runtime);
    }
}

// A runtime folder others may write to is refused; the marker never
// follows a planted link nor truncates a file that is there; a failed
// registration is said.
TEST(Launcher, RefusesAnUnsafeFolderAndNeverFollowsOrTruncatesTheMarker) {
    enum class Plant { None, Link, File };
    const struct {
        const char* name;
        fs::perms mode;
        Plant plant;
        ScheduleStatus status;
        size_t runs;
        std::string report;
    } cases[] = {
        {"writable by all", fs::perms::all, Plant::None, ScheduleStatus::Registered, 0,
         "may be written by others (mode 0777)"},
        {"link planted", fs::perms::owner_all, Plant::Link, ScheduleStatus::Registered, 1,
         "cannot create the wake-up marker"},
        {"file there", fs::perms::owner_all, Plant::File, ScheduleStatus::Registered, 1, ""},
        {"registration failed", fs::perms::owner_all, Plant::None, ScheduleStatus::Failed, 1,
         "The Blackbox wake-up could not be scheduled: why."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path runtime = TempFolder();
        fs::permissions(runtime, c.mode);
        const fs::path victim = runtime.string() + "-victim";
        std::ofstream(victim) << "keep";
        if (c.plant == Plant::Link) fs::create_symlink(victim, runtime / "_trkwake");
        if (c.plant == Plant::File) std::ofstream(runtime / "_trkwake") << "keep";
        FakeInstance recorder(runtime / "trakomer");
        RecordingScheduler scheduler;
        scheduler.result = {c.status, "why"};
        std::string reports;
        LauncherPorts ports{runtime.string(), {"/x/trastart", {}}, [] { return int64_t{0}; },
                            {},               &scheduler,          [&](const std::string& text) {
                                reports += text + "\n";
                            }};
        EXPECT_EQ(RunLauncher(ports), 0);
        EXPECT_EQ(scheduler.runs.size(), c.runs);
        if (c.report.empty()) {
            EXPECT_EQ(reports, "");
        } else {
            EXPECT_NE(reports.find(c.report), std::string::npos) << reports;
        }
        std::ifstream kept(victim);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "keep");
        if (c.plant == Plant::File) {
            EXPECT_EQ(fs::file_size(runtime / "_trkwake"), 4u);
        }
        fs::remove_all(runtime);
        fs::remove(victim);
    }
}

TEST(Launcher, WakeTimeCrossesTheYearEndAsACalendarDate) {
    const char* oldZone = std::getenv("TZ");
    const std::string saved = oldZone ? oldZone : "";
    setenv("TZ", "CET-1", 1);  // UTC+1 all year
    tzset();
    const fs::path runtime = TempFolder();
    FakeInstance recorder(runtime / "trakomer");
    RecordingScheduler scheduler;
    // 23:55:00 local on 31 December 2026 is 22:55:00 UTC.
    std::tm utc{};
    utc.tm_year = 126, utc.tm_mon = 11, utc.tm_mday = 31, utc.tm_hour = 22, utc.tm_min = 55;
    const int64_t now = timegm(&utc);
    LauncherPorts ports{
        runtime.string(), {"/x/trastart", {}}, [now] { return now; }, {}, &scheduler, {}};
    RunLauncher(ports);
    ASSERT_EQ(scheduler.runs.size(), 1u);
    // Friday, 1 January 2027, 00:04:00.000
    EXPECT_EQ(scheduler.runs[0].second, (CalendarTime{2027, 1, 5, 1, 0, 4, 0, 0}));
    fs::remove_all(runtime);
    if (oldZone) {
        setenv("TZ", saved.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

// The program itself, with systemd-run and systemctl standing in as scripts
// that log their arguments.
TEST(Launcher, ProgramAlwaysExitsWithZeroAndRegistersItself) {
    const std::string program = TRAKOMER_BINARY_DIR "/app/trastart";
    for (const bool withRecorder : {true, false}) {
        SCOPED_TRACE(withRecorder ? "recorder" : "no recorder");
        const fs::path home = TempFolder();
        fs::create_directories(home / "bin");
        const fs::path log = home / "commands.log";
        for (const char* name : {"systemd-run", "systemctl"}) {
            std::ofstream(home / "bin" / name)
                << "#!/bin/sh\necho \"$0 $*\" >> '" << log.string() << "'\n";
            fs::permissions(home / "bin" / name, fs::perms::owner_all);
        }
        fs::create_directories(home / "trakomer");
        std::optional<FakeInstance> recorder;
        if (withRecorder) recorder.emplace(home / "trakomer" / "trakomer");

        const std::string path = "PATH=" + (home / "bin").string() + ":/usr/bin:/bin";
        const std::string runtime = "XDG_RUNTIME_DIR=" + home.string();
        const char* env[] = {path.c_str(), runtime.c_str(),
                             "DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent", nullptr};
        const char* argv[] = {program.c_str(), "--home", "/some/home", nullptr};
        pid_t pid = 0;
        ASSERT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, const_cast<char**>(argv),
                              const_cast<char**>(env)),
                  0);
        int status = -1;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

        std::ifstream file(log);
        const std::string commands((std::istreambuf_iterator<char>(file)), {});
        EXPECT_EQ(fs::exists(home / "trakomer" / "_trkwake"), withRecorder);
        if (withRecorder) {
            EXPECT_NE(commands.find("systemctl --user stop trakomer-run-trastart-"),
                      std::string::npos)
                << commands;
            EXPECT_NE(commands.find("--timer-property=WakeSystem=true "), std::string::npos);
            EXPECT_NE(commands.find("--setenv=XDG_RUNTIME_DIR=" + home.string() + " " +
                                    fs::canonical(program).string() + " --home /some/home\n"),
                      std::string::npos)
                << commands;
        } else {
            EXPECT_EQ(commands, "");
        }
        fs::remove_all(home);
    }
}

}  // namespace
}  // namespace trakomer::launcher
