// Calendar conversions around leap days and century years.

#include <gtest/gtest.h>

#include <ctime>

#include "core/utc_time.h"

namespace trakomer {
namespace {

struct DateCase {
    int year, month, day, hour, minute, second;
    int64_t unix;
    int weekday;
};

class UtcConversion : public ::testing::TestWithParam<DateCase> {};

TEST_P(UtcConversion, BothWays) {
    const DateCase& c = GetParam();
    EXPECT_EQ(UtcToSeconds(c.year, c.month, c.day, c.hour, c.minute, c.second), c.unix);
    const UtcTime t = SecondsToUtc(c.unix);
    EXPECT_EQ(t.year, c.year);
    EXPECT_EQ(t.month, c.month);
    EXPECT_EQ(t.day, c.day);
    EXPECT_EQ(t.hour, c.hour);
    EXPECT_EQ(t.minute, c.minute);
    EXPECT_EQ(t.second, c.second);
    EXPECT_EQ(t.weekday, c.weekday);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, UtcConversion,
    ::testing::Values(DateCase{1970, 1, 1, 0, 0, 0, 0, 4},
                      DateCase{2009, 3, 15, 12, 34, 56, 1237120496, 0},
                      DateCase{2000, 2, 28, 23, 59, 59, 951782399, 1},
                      DateCase{2000, 2, 29, 0, 0, 0, 951782400, 2},    // 2000 is a leap year
                      DateCase{2000, 3, 1, 0, 0, 0, 951868800, 3},
                      DateCase{2004, 12, 31, 23, 59, 59, 1104537599, 5},
                      DateCase{2038, 1, 19, 3, 14, 7, 2147483647, 2},
                      DateCase{2100, 2, 28, 12, 0, 0, 4107499200, 0},
                      DateCase{2100, 3, 1, 0, 0, 0, 4107542400, 1}));  // 2100 is not

TEST(UtcConversion, MatchesTheSystemForEveryDayOfEightYears) {
    for (int64_t s = UtcToSeconds(1996, 1, 1, 0, 0, 0); s < UtcToSeconds(2004, 1, 1, 0, 0, 0);
         s += 86400 + 3661) {
        const std::time_t tt = static_cast<std::time_t>(s);
        std::tm tm{};
        gmtime_r(&tt, &tm);
        const UtcTime t = SecondsToUtc(s);
        ASSERT_EQ(t.year, tm.tm_year + 1900);
        ASSERT_EQ(t.month, tm.tm_mon + 1);
        ASSERT_EQ(t.day, tm.tm_mday);
        ASSERT_EQ(t.weekday, tm.tm_wday);
        ASSERT_EQ(UtcToSeconds(t.year, t.month, t.day, t.hour, t.minute, t.second), s);
    }
}

}  // namespace
}  // namespace trakomer
