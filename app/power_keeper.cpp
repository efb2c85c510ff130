#include "app/power_keeper.h"

#include <cstdio>

namespace trakomer {

void PowerKeeper::TakeBacklightRequirement() {
    if (state_.backlightTried) return;
    state_.backlightTried = true;
    const DisplayHold hold = ports_.power->HoldDisplay();
    switch (hold.outcome) {
        case DisplayHold::Outcome::Held: state_.backlightHeld = true; break;
        case DisplayHold::Outcome::NothingToHold: state_.nothingToHold = true; break;
        case DisplayHold::Outcome::Refused:
            // Said once, in words, without a box in the middle of starting.
            state_.backlightRefused = true;
            Notify("The screen may blank during the recording: keeping it on failed (" +
                   hold.reason + ").");
            break;
    }
}

void PowerKeeper::OnScheduleResult(const ScheduleResult& result) {
    switch (result.status) {
        case ScheduleStatus::Registered: state_.scheduleFailureTold = false; break;
        case ScheduleStatus::RegisteredWithoutWake:
            state_.scheduleFailureTold = false;
            if (!state_.noWakeTold) {
                state_.noWakeTold = true;
                Notify(ScheduleResultText(result));
            }
            break;
        case ScheduleStatus::Failed:
            // Once until a registration succeeds again (one every 25 s).
            if (!state_.scheduleFailureTold) {
                state_.scheduleFailureTold = true;
                Notify(ScheduleResultText(result));
            }
            break;
        default: break;
    }
}

void PowerKeeper::Notify(const std::string& text) {
    if (ports_.notify) ports_.notify(text);
}

void PowerKeeper::ReleaseBacklightRequirement() {
    if (!state_.backlightHeld) return;
    ports_.power->ReleaseDisplay();
    state_.backlightHeld = false;
}

int PowerKeeper::OnBatteryTick(int profile, int lastIndex) {
    state_.batteryPercent = ports_.power->BatteryPercent();
    if (profile == kBlackboxProfile) BlackboxCheck(lastIndex);
    KeepAwake();
    return state_.batteryPercent;
}

void PowerKeeper::KeepAwake() {
    const bool awake = state_.batteryPercent > kKeepAwakeMinPercent && !state_.keepAwakeOff;
    if (awake) ports_.power->ResetIdleTimer();
    // The desktop's hold would keep the machine up even when this rule lets
    // it sleep (Blackbox, low battery): it follows the rule once taken.
    if (!state_.backlightTried || state_.backlightRefused || state_.nothingToHold) return;
    if (awake && !state_.backlightHeld) {
        state_.backlightHeld = ports_.power->HoldDisplay().outcome == DisplayHold::Outcome::Held;
    } else if (!awake) {
        ReleaseBacklightRequirement();
    }
}

void PowerKeeper::BlackboxCheck(int lastIndex) {
    const int64_t now = ports_.clock->UnixSeconds();
    if (!state_.wakeBaseSet) {
        state_.wakeBaseSet = true;
        state_.wakeBase = now - kWakeIntervalSeconds;
    }
    // The launcher has run since the last check: a scheduled wake-up.
    const bool woken = std::remove(ports_.markerPath.c_str()) == 0;
    if (woken) state_.wokenHold = false;
    // A track that shrank (Reset, or thinned when full) is counted from its
    // new end; otherwise no point would count as new for hours.
    if (lastIndex < state_.lastSeenIndex) state_.lastSeenIndex = lastIndex > 0 ? lastIndex : 0;

    if (lastIndex > state_.lastSeenIndex) {
        state_.lastSeenIndex = lastIndex;
        if (now >= state_.wakeBase + kWakeIntervalSeconds || woken) {
            PlaySound(kFixUploadedAlarm);
            if (ports_.uploadNow) ports_.uploadNow();
            state_.wakeBase = now + kWakeIntervalSeconds;
            state_.wokenHold = true;
        }
        state_.keepAwakeOff = true;
    } else {
        ++state_.idleTicks;
        state_.keepAwakeOff = state_.wokenHold;
        if (state_.idleTicks > kIdleCheckLimit && !state_.wokenHold) {
            state_.keepAwakeOff = true;
            state_.idleTicks = 0;
            state_.wokenHold = true;
            PlaySound(kGaveUpAlarm);
        }
    }
    if (const auto wake = LocalCalendarTime(now + kWakeIntervalSeconds); wake && ports_.launcher) {
        OnScheduleResult(ports_.scheduler->RunAppAtTime(ports_.launcher(), &*wake));
    }
}

void PowerKeeper::PlaySound(const char* name) {
    if (ports_.alarms) ports_.alarms->PlayAlarm(ports_.soundFolder + "/" + name);
}

}  // namespace trakomer
