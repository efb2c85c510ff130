#pragma once
// Plays a receiver log into a recording session: the bytes of each second
// arrive at that second of the session's clock and timers 1-3 fire at their
// periods on the same clock.

#include <cstdint>
#include <functional>

#include "cli/nmea_seconds.h"
#include "cli/record_session.h"

namespace trakomer::cli {

struct ReplayControl {
    // Moves the session's clock to (virtual) or waits until (wall clock)
    // the given time in milliseconds.
    std::function<void(int64_t)> waitUntilMs;
    // Start as a tap would at the first point tick with a valid fix.
    bool tapToStart = true;
};

// Replays the log from the session's start time. Data due at the same
// instant as a timer is delivered first; timers due together fire in
// timer order. Ends at the end of the last second of input or when the
// recording stopped, whichever comes first; returns the time it ended.
int64_t ReplayLog(RecordSession& session, const ReceiverLog& log, const ReplayControl& control);

}  // namespace trakomer::cli
