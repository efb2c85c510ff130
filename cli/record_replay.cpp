#include "cli/record_replay.h"

namespace trakomer::cli {
namespace {

constexpr int kPointTimer = 1;

// Fires every timer due before `until` (exclusive).
void RunTimersUntil(RecordSession& session, int64_t until, const ReplayControl& control) {
    while (!session.Stopped()) {
        int64_t dueAt = 0;
        const int which = session.Timers().Next(dueAt);
        if (which < 0 || dueAt >= until) return;
        control.waitUntilMs(dueAt);
        if (which == kPointTimer && control.tapToStart &&
            session.Engine().State().recordingState == RecordingState::Waiting) {
            session.TapStart();
        }
        session.FireTimer(which, dueAt);
    }
}

}  // namespace

int64_t ReplayLog(RecordSession& session, const ReceiverLog& log, const ReplayControl& control) {
    const int64_t start = session.StartMs();
    int64_t end = start;
    for (const ReceiverSecond& second : log.seconds) {
        const int64_t at = start + second.offsetMs;
        RunTimersUntil(session, at, control);
        if (session.Stopped()) return at;
        control.waitUntilMs(at);
        session.Gps().Feed(second.bytes.data(), second.bytes.size());
        end = at + 1000;
    }
    RunTimersUntil(session, end, control);
    return end;
}

}  // namespace trakomer::cli
