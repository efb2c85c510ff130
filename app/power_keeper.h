#pragma once
// Power while recording: the display hold taken when a recording starts,
// the keep-awake rule of the 25-second timer, and the Blackbox wake-up
// cycle in which the machine may sleep and the launcher wakes it every
// nine minutes to take a fix and upload it. Plain C++; the window wires it.

#include <cstdint>
#include <functional>
#include <string>

#include "core/clock.h"
#include "core/recording_ports.h"
#include "platform/power.h"
#include "platform/run_at_time.h"
#include "upload/idle_timer.h"

namespace trakomer {

constexpr int kBlackboxProfile = 6;
constexpr int kWakeIntervalSeconds = 540;
// Checks without a new point after a wake-up before giving up.
constexpr int kIdleCheckLimit = 7;
// At or below this charge the machine is let sleep.
constexpr int kKeepAwakeMinPercent = 20;
constexpr const char* kFixUploadedAlarm = "alarm2.wav";
constexpr const char* kGaveUpAlarm = "alarm3.wav";

// Plays a wave file without waiting; a missing file is silent.
class AlarmPlayer {
public:
    virtual ~AlarmPlayer() = default;
    virtual void PlayAlarm(const std::string& path) = 0;
};

struct PowerState {
    bool backlightTried = false;  // the hold was asked for in this run
    bool backlightHeld = false;
    bool backlightRefused = false;
    bool nothingToHold = false;  // nothing runs that would blank the screen
    bool noWakeTold = false;     // said that the machine will not be woken
    bool scheduleFailureTold = false;
    bool wakeBaseSet = false;
    int64_t wakeBase = 0;  // seconds since 1970: reference for the next upload
    int lastSeenIndex = 0;
    int idleTicks = 0;
    bool wokenHold = false;
    bool keepAwakeOff = false;
    int batteryPercent = 0;
};

struct PowerPorts {
    PowerPlatform* power = nullptr;
    Scheduler* scheduler = nullptr;
    const Clock* clock = nullptr;
    AlarmPlayer* alarms = nullptr;
    std::string markerPath;   // the launcher's wake-up marker
    std::string soundFolder;  // holds the alarm sounds
    // The launcher to register, looked up at each registration.
    std::function<AppCommand()> launcher;
    // Uploads now (as a manual upload), formats the screens and draws.
    std::function<void()> uploadNow;
    // Tells the user something without stopping them (a status line).
    std::function<void(const std::string&)> notify;
};

class PowerKeeper : public PowerControl {
public:
    explicit PowerKeeper(PowerPorts ports) : ports_(std::move(ports)) {}
    ~PowerKeeper() override { ReleaseBacklightRequirement(); }
    PowerKeeper(const PowerKeeper&) = delete;
    PowerKeeper& operator=(const PowerKeeper&) = delete;

    // Asked once per run when a recording starts; a refusal is told once.
    void TakeBacklightRequirement() override;
    // What became of a registration of the launcher: a machine that will not
    // be woken is told once per run, a failure once until one succeeds.
    void OnScheduleResult(const ScheduleResult& result);
    // When the window goes.
    void ReleaseBacklightRequirement();

    // Timer 5: reads the battery, runs the Blackbox check in profile 6 and
    // applies the keep-awake rule. Returns the battery percentage.
    int OnBatteryTick(int profile, int lastIndex);
    // One check of the Blackbox cycle; lastIndex is the track's newest point.
    void BlackboxCheck(int lastIndex);

    const PowerState& State() const { return state_; }

private:
    void KeepAwake();
    void Notify(const std::string& text);
    void PlaySound(const char* name);

    PowerPorts ports_;
    PowerState state_;
};

// The uploader's idle resets, passed on to the machine.
class PowerIdleTimer : public upload::IdleTimer {
public:
    void Reset() override {
        if (power) power->ResetIdleTimer();
    }
    PowerPlatform* power = nullptr;
};

}  // namespace trakomer
