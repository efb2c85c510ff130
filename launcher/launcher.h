#pragma once
// One run of the launcher `trastart`, started by the scheduler: if the
// recorder runs, bring it to the front, switch the screen on, leave the
// wake-up marker for it and register the launcher's own next run 540 s
// later. A run that finds no recorder does nothing, which ends the chain.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/run_at_time.h"

namespace trakomer::launcher {

constexpr int kWakeIntervalSeconds = 540;
// Socket names in the runtime folder: the launcher's own and the recorder's.
constexpr const char* kLauncherSocketName = "trastart";
constexpr const char* kRecorderSocketName = "trakomer";
// The request that brings a program to the front.
constexpr const char* kRaiseLine = "raise\n";

struct LauncherPorts {
    std::string runtimeFolder;
    AppCommand self;                       // the launcher's own path and arguments
    std::function<int64_t()> unixSeconds;  // the current time
    std::function<void()> wakeScreen;
    Scheduler* scheduler = nullptr;
    // Says what went wrong (a refused runtime folder, a failed
    // registration); the program writes it to standard error.
    std::function<void(const std::string&)> report;
};

// Runs the steps once. Returns the exit code: always 0.
int RunLauncher(const LauncherPorts& ports);

}  // namespace trakomer::launcher
