#include "core/utc_time.h"

namespace trakomer {
namespace {

constexpr int kDaysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

// Days from 1970-01-01 to the first day of the year.
int64_t DaysBeforeYear(int64_t year) {
    // Leap days counted from year 1 up to (not including) the year.
    auto leapDaysBefore = [](int64_t y) {
        const int64_t p = y - 1;
        auto floorDiv = [](int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
        return floorDiv(p, 4) - floorDiv(p, 100) + floorDiv(p, 400);
    };
    return (year - 1970) * 365 + leapDaysBefore(year) - leapDaysBefore(1970);
}

}  // namespace

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int64_t UtcToSeconds(int year, int month, int day, int hour, int minute, int second) {
    int64_t days = DaysBeforeYear(year);
    if (month >= 1 && month <= 12) {
        days += kDaysBeforeMonth[month - 1];
        if (month > 2 && IsLeapYear(year)) ++days;
    }
    days += day - 1;
    return ((days * 24 + hour) * 60 + minute) * 60 + second;
}

UtcTime SecondsToUtc(int64_t seconds) {
    int64_t days = seconds / 86400;
    int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    UtcTime t;
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest / 60 % 60);
    t.second = static_cast<int>(rest % 60);
    t.weekday = static_cast<int>(((days % 7) + 7 + 4) % 7);  // 1970-01-01 was a Thursday

    // Civil-from-days (era-based), valid for the whole proleptic calendar.
    const int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2 ? 1 : 0));
    return t;
}

}  // namespace trakomer
