#pragma once
// UTC calendar conversions: proleptic Gregorian, no time zone, no leap seconds.

#include <cstdint>

namespace trakomer {

struct UtcTime {
    int year = 1970;
    int month = 1;  // 1-12
    int day = 1;    // 1-31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int weekday = 4;  // 0 Sunday .. 6 Saturday
};

// Seconds since 1970-01-01 00:00:00 UTC of the given calendar time.
int64_t UtcToSeconds(int year, int month, int day, int hour, int minute, int second);

// The calendar time of seconds since 1970.
UtcTime SecondsToUtc(int64_t seconds);

bool IsLeapYear(int year);

}  // namespace trakomer
