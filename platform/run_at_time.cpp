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

void SystemdUserScheduler::RunAppAtTime(const AppCommand& app, const CalendarTime* when) {
    const std::string prefix = TimerUnitPrefix(app.path);
    // Each registration is a timer of its own (a program started by one can
    // register its next run while that timer's service still runs); the
    // earlier ones of the same program are stopped first.
    runner_.Run({"systemctl", "--user", "stop", prefix + "-*.timer"});
    if (when == nullptr) return;
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d%02d%02d%02d", when->year, when->month,
                  when->day, when->hour, when->minute, when->second);
    std::vector<std::string> argv = {"systemd-run",
                                     "--user",
                                     "--quiet",
                                     "--unit=" + prefix + "-" + stamp,
                                     "--on-calendar=" + CalendarText(*when),
                                     "--timer-property=AccuracySec=1s",
                                     "--timer-property=WakeSystem=true"};
    for (const std::string& variable : session_) argv.push_back("--setenv=" + variable);
    argv.push_back(app.path);
    argv.insert(argv.end(), app.args.begin(), app.args.end());
    runner_.Run(argv);
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
