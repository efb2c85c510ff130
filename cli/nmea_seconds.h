#pragma once
// Splits a receiver log into the seconds of receiver time it covers: each
// second is the bytes from one RMC sentence up to the next RMC sentence of a
// different time, with its offset from the first second.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace trakomer::cli {

struct ReceiverSecond {
    std::string bytes;
    int64_t offsetMs = 0;  // from the first second
};

struct ReceiverLog {
    std::vector<ReceiverSecond> seconds;
    // UTC seconds since 1970 of the first second, from the first RMC
    // sentence with a date and time (false when there is none).
    bool hasStartTime = false;
    int64_t startUnixSeconds = 0;
};

// Seconds follow the RMC time when it moves forward by up to an hour;
// otherwise (no time, a jump back, a long gap) the next second comes one
// second later. Bytes before the first RMC sentence belong to the first
// second.
ReceiverLog SplitIntoSeconds(std::string_view text);

}  // namespace trakomer::cli
