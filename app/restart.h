#pragma once
// Restarting the recorder after preference changes that need it: the
// scheduler starts it again shortly after it exits.

#include <functional>

#include "core/clock.h"
#include "core/dialogs.h"
#include "platform/run_at_time.h"

namespace trakomer {

constexpr int kRestartDelaySeconds = 2;

// Asks "Restart now?". On Yes registers `recorder` for the local time 2 s
// from now, then runs `exitCommand` (the Exit command, which saves the
// settings and ends the program). Returns the answer.
bool AskRestart(Dialogs& dialogs, Scheduler& scheduler, const Clock& clock,
                const AppCommand& recorder, const std::function<void()>& exitCommand);

// The restart itself, for a caller that has asked already: registers
// `recorder` for 2 s from now, then runs `exitCommand`.
void Restart(Scheduler& scheduler, const Clock& clock, const AppCommand& recorder,
             const std::function<void()>& exitCommand);

}  // namespace trakomer
