#pragma once
// Running a program at a later local time: the scheduler both programs use
// for the wake-up chain and the self-restart. A registration for a program
// replaces its earlier one; a registration without a time removes it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace trakomer {

// A local calendar time, fields as people write them (month 1-12, day of
// week 0 = Sunday).
struct CalendarTime {
    int year = 0, month = 0, dayOfWeek = 0, day = 0;
    int hour = 0, minute = 0, second = 0, milliseconds = 0;
    bool operator==(const CalendarTime&) const = default;
};

// The local calendar time of a moment in seconds since 1970 (milliseconds
// 0); nothing when the conversion fails.
std::optional<CalendarTime> LocalCalendarTime(int64_t unixSeconds);

// "YYYY-MM-DD HH:MM:SS".
std::string CalendarText(const CalendarTime& time);

// A program with the arguments it is run with.
struct AppCommand {
    std::string path;
    std::vector<std::string> args;
    bool operator==(const AppCommand&) const = default;
};

// What became of a registration.
enum class ScheduleStatus {
    Registered,             // the timer waits and will wake a suspended machine
    RegisteredWithoutWake,  // the timer waits, but the machine is not woken for it
    Removed,                // a registration without a time: any pending run is gone
    Failed,                 // nothing will run
    Pending,                // handed to a worker; the result is told later
};

struct ScheduleResult {
    ScheduleStatus status = ScheduleStatus::Registered;
    std::string detail;  // why, for RegisteredWithoutWake and Failed
    bool operator==(const ScheduleResult&) const = default;
};

// What to tell the user about a result, "" when all went as asked.
std::string ScheduleResultText(const ScheduleResult& result);

class Scheduler {
public:
    virtual ~Scheduler() = default;
    // Registers `app` to run at `when`, replacing an earlier registration of
    // the same path; null `when` only removes it.
    virtual ScheduleResult RunAppAtTime(const AppCommand& app, const CalendarTime* when) = 0;
};

// Runs an external command and waits for it (bounded); its exit status, or
// -1 when it could not be run or did not end in time.
class CommandRunner {
public:
    virtual ~CommandRunner() = default;
    virtual int Run(const std::vector<std::string>& argv) = 0;
};

// Spawns the command (found on PATH) with standard output and error sent to
// /dev/null, and kills it after timeoutMs.
class SpawnRunner : public CommandRunner {
public:
    explicit SpawnRunner(int timeoutMs = 5000) : timeoutMs_(timeoutMs) {}
    int Run(const std::vector<std::string>& argv) override;

private:
    int timeoutMs_;
};

// The systemd user manager as the scheduler: each registration is a
// transient timer that starts the program once, waking a suspended machine
// where the user manager may (systemd before 254 lacks CAP_WAKE_ALARM and
// refuses such a timer; then the timer is made without the wake-up). Every
// call waits for systemctl and systemd-run: run it off the window's thread.
class SystemdUserScheduler : public Scheduler {
public:
    // `session` holds the session variables (NAME=value) a program started
    // by the user manager needs to reach the desktop.
    SystemdUserScheduler(CommandRunner& runner, std::vector<std::string> session = {})
        : runner_(runner), session_(std::move(session)) {}
    ScheduleResult RunAppAtTime(const AppCommand& app, const CalendarTime* when) override;

private:
    // Starts the timer unit; true when systemd-run succeeded and the timer
    // really waits (a timer can fail as it enters its waiting state).
    bool StartTimer(const std::string& unit, const AppCommand& app, const CalendarTime& when,
                    bool wake, int& status);

    CommandRunner& runner_;
    std::vector<std::string> session_;
    bool wakeRefused_ = false;  // learnt once; later timers go without it
};

// The start of the transient unit names for a program path: the same path
// always gives the same prefix.
std::string TimerUnitPrefix(const std::string& path);

// NAME=value for those of DISPLAY, WAYLAND_DISPLAY, XAUTHORITY,
// DBUS_SESSION_BUS_ADDRESS and XDG_RUNTIME_DIR that this process has.
std::vector<std::string> SessionVariables();

// The absolute path of the running executable ("" if unknown).
std::string OwnExecutablePath();

}  // namespace trakomer
