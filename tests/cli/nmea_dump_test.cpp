// trakomer-cli nmea-dump as a user runs it: exit codes, JSON on stdout.

#include <gtest/gtest.h>

#include "tests/cli/cli_runner.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

using trakomer::test::CliRun;
using trakomer::test::kCli;
using trakomer::test::Shell;

TEST(NmeaDump, PrintsTheFinalFixOfALog) {
    const CliRun run = Shell(kCli + " nmea-dump " TRAKOMER_SOURCE_DIR "/data/demo/demo.nmea");
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.rfind("{\"sentenceCount\":14460,\"gga\":{", 0), 0u) << run.out.substr(0, 80);
    EXPECT_NE(run.out.find("\"rmcStatus\":\"A\""), std::string::npos);
    EXPECT_NE(run.out.find("\"rmcYear\":2009"), std::string::npos);
    EXPECT_NE(run.out.find("\"satellites\":[{\"prn\":2,"), std::string::npos);
    EXPECT_EQ(run.out.back(), '\n');
}

TEST(NmeaDump, EachPrintsOneLinePerSentenceFromStandardInput) {
    const CliRun run = Shell("printf '$GPRMC,123519.50,A,4807.038,N,01131.000,E,022.4,084.4,230394,"
                          "003.1,W\\r\\n$GPVTG,1\\r\\n' | " +
                          kCli + " nmea-dump --each -");
    ASSERT_EQ(run.exitCode, 0);
    const auto firstEnd = run.out.find('\n');
    const std::string first = run.out.substr(0, firstEnd);
    EXPECT_EQ(first.rfind("{\"n\":1,\"address\":\"GPRMC\",\"fix\":{\"rmcHour\":12,", 0), 0u) << first;
    EXPECT_NE(first.find("\"rmcLatitude\":48.1173,"), std::string::npos);
    EXPECT_NE(first.find("\"rmcMagneticVariation\":-3.1,"), std::string::npos);
    const std::string second = run.out.substr(firstEnd + 1, run.out.find('\n', firstEnd + 1) - firstEnd - 1);
    EXPECT_EQ(second, "{\"n\":2,\"address\":\"GPVTG\",\"fix\":null}");
}

struct ErrorCase {
    const char* args;
    int exitCode;
};

class NmeaDumpErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(NmeaDumpErrors, ExitCodes) {
    const CliRun run = Shell(kCli + " " + GetParam().args + " 2>/dev/null");
    EXPECT_EQ(run.exitCode, GetParam().exitCode) << GetParam().args;
}

INSTANTIATE_TEST_SUITE_P(Cases, NmeaDumpErrors,
                         ::testing::Values(ErrorCase{"nmea-dump", 2},
                                           ErrorCase{"nmea-dump --bogus x", 2},
                                           ErrorCase{"nmea-dump a b", 2},
                                           ErrorCase{"nmea-dump /nonexistent/log.nmea", 1},
                                           ErrorCase{"no-such-command", 2}, ErrorCase{"", 2},
                                           ErrorCase{"--help", 0}, ErrorCase{"--version", 0},
                                           ErrorCase{"nmea-dump --help", 0}));

TEST(NmeaDump, UnreadableFileIsNamed) {
    const CliRun run = Shell(kCli + " nmea-dump /nonexistent/log.nmea 2>&1");
    EXPECT_NE(run.out.find("/nonexistent/log.nmea"), std::string::npos);
}

}  // namespace
