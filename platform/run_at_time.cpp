#include "platform/run_at_time.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>

extern char** environ;

namespace trakomer {

std::optional<CalendarTime> LocalCalendarTime(int64_t unixSeconds) {
    const std::time_t moment = static_cast<std::time_t>(unixSeconds);
    std::tm local{};
    if (localtime_r(&moment, &local) == nullptr) return std::nullopt;
    CalendarTime time;
    time.year = local.tm_year + 1900;
    time.month = local.tm_mon + 1;
    time.dayOfWeek = local.tm_wday;
    time.day = local.tm_mday;
    time.hour = local.tm_hour;
    time.minute = local.tm_min;
    time.second = local.tm_sec;
    time.milliseconds = 0;
    return time;
}

std::string CalendarText(const CalendarTime& time) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month,
                  time.day, time.hour, time.minute, time.second);
    return text;
}

std::string TimerUnitPrefix(const std::string& path) {
    // FNV-1a keeps programs of the same name in different folders apart.
    uint32_t hash = 2166136261u;
    for (unsigned char c : path) hash = (hash ^ c) * 16777619u;
    const size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    for (char& c : name) {
        const bool plain =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!plain) c = '_';
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08x", hash);
    return "trakomer-run-" + name.substr(0, 32) + "-" + hex;
}

std::string ScheduleResultText(const ScheduleResult& result) {
    switch (result.status) {
        case ScheduleStatus::RegisteredWithoutWake:
            return "This machine will not be woken from suspend for the Blackbox wake-ups: " +
                   result.detail + ".";
        case ScheduleStatus::Failed:
            return "The Blackbox wake-up could not be scheduled: " + result.detail + ".";
        default: return {};
    }
}

bool SystemdUserScheduler::StartTimer(const std::string& unit, const AppCommand& app,
                                      const CalendarTime& when, bool wake, int& status) {
    std::vector<std::string> argv = {"systemd-run",
                                     "--user",
                                     "--quiet",
                                     "--unit=" + unit,
                                     "--on-calendar=" + CalendarText(when),
                                     "--timer-property=AccuracySec=1s"};
    if (wake) argv.push_back("--timer-property=WakeSystem=true");
    for (const std::string& variable : session_) argv.push_back("--setenv=" + variable);
    argv.push_back(app.path);
    argv.insert(argv.end(), app.args.begin(), app.args.end());
    status = runner_.Run(argv);
    if (status == 0 && runner_.Run({"systemctl", "--user", "is-active", "--quiet", unit + ".timer"}) == 0) {
        return true;
    }
    // A timer that failed stays loaded under its name; clear it away.
    runner_.Run({"systemctl", "--user", "reset-failed", unit + ".timer"});
    return false;
}

ScheduleResult SystemdUserScheduler::RunAppAtTime(const AppCommand& app, const CalendarTime* when) {
    const std::string prefix = TimerUnitPrefix(app.path);
    // Each registration is a timer of its own (a program started by one can
    // register its next run while that timer's service still runs); the
    // earlier ones of the same program are stopped first.
    runner_.Run({"systemctl", "--user", "stop", prefix + "-*.timer"});
    if (when == nullptr) return {ScheduleStatus::Removed, {}};
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d%02d%02d%02d", when->year, when->month,
                  when->day, when->hour, when->minute, when->second);
    // The process id keeps the recorder's and the launcher's registrations
    // for the same second apart.
    const std::string unit = prefix + "-" + stamp + "-" + std::to_string(getpid());
    int status = 0;
    if (!wakeRefused_) {
        if (StartTimer(unit, app, *when, true, status)) return {ScheduleStatus::Registered, {}};
        // systemd-run could not be run at all: nor can it without the wake-up.
        if (status < 0) return {ScheduleStatus::Failed, "systemd-run could not be run"};
    }
    // The fallback gets a name of its own: the refused timer's name may
    // still be taken until the user manager lets go of it.
    if (StartTimer(unit + "-plain", app, *when, false, status)) {
        wakeRefused_ = true;
        return {ScheduleStatus::RegisteredWithoutWake,
                "the systemd user manager refused a timer that wakes the machine (before "
                "systemd 254 it may not)"};
    }
    if (status < 0) return {ScheduleStatus::Failed, "systemd-run could not be run or did not end"};
    if (status > 0) {
        return {ScheduleStatus::Failed, "systemd-run ended with status " + std::to_string(status)};
    }
    return {ScheduleStatus::Failed, "the systemd user timer did not start"};
}

std::vector<std::string> SessionVariables() {
    std::vector<std::string> variables;
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "DBUS_SESSION_BUS_ADDRESS",
                             "XDG_RUNTIME_DIR"}) {
        const char* value = std::getenv(name);
        if (value && *value) variables.push_back(std::string(name) + "=" + value);
    }
    return variables;
}

std::string OwnExecutablePath() {
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return {};
    return std::string(buffer, static_cast<size_t>(n));
}

int SpawnRunner::Run(const std::vector<std::string>& argv) {
    if (argv.empty()) return -1;
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs_);
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (done < 0) return -1;
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace trakomer
