// The six sentence parsers and their empty-field rules.

#include <gtest/gtest.h>

#include <string>

#include "gps/nmea_parser.h"
#include "nmea_test_util.h"

namespace trakomer {
namespace {

using test::Parse;
using test::WithChecksum;

TEST(Gga, ParsesEveryField) {
    const GpsFix f =
        Parse(WithChecksum("GPGGA,123519,4807.038,S,01131.000,W,2,08,0.9,545.4,M,46.9,M,,"));
    EXPECT_EQ(f.ggaHour, 12);
    EXPECT_EQ(f.ggaMinute, 35);
    EXPECT_EQ(f.ggaSecond, 19);
    EXPECT_NEAR(f.ggaLatitude, -48.1173, 1e-12);
    EXPECT_NEAR(f.ggaLongitude, -11.516666666666667, 1e-12);
    EXPECT_EQ(f.ggaQuality, 2);
    EXPECT_EQ(f.ggaSatellites, 8);
    EXPECT_DOUBLE_EQ(f.ggaHdop, 0.9);
    EXPECT_DOUBLE_EQ(f.ggaAltitude, 545.4);
    EXPECT_EQ(f.ggaCount, 1u);
    EXPECT_EQ(f.sentenceCount, 1u);
}

TEST(Gga, EmptyFieldsKeepPreviousValues) {
    const GpsFix f = Parse(WithChecksum("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,") +
                           WithChecksum("GPGGA,123520,,,,,0,,,,M,,M,,"));
    EXPECT_EQ(f.ggaSecond, 20);
    EXPECT_NEAR(f.ggaLatitude, 48.1173, 1e-12);
    EXPECT_EQ(f.ggaQuality, 0);
    EXPECT_EQ(f.ggaSatellites, 8);
    EXPECT_DOUBLE_EQ(f.ggaAltitude, 545.4);
    EXPECT_EQ(f.ggaCount, 2u);
}

struct VerticalCase {
    const char* name;
    const char* first;   // time, altitude of the first GGA
    const char* second;  // time, altitude of the second GGA
    double speed;        // metres per minute after the second
};

class GgaVerticalSpeed : public ::testing::TestWithParam<VerticalCase> {};

TEST_P(GgaVerticalSpeed, FromConsecutiveSentences) {
    const VerticalCase& c = GetParam();
    auto gga = [](const char* timeAlt) {
        const std::string s(timeAlt);
        const auto comma = s.find(',');
        return WithChecksum("GPGGA," + s.substr(0, comma) + ",4807.038,N,01131.000,E,1,08,0.9," +
                            s.substr(comma + 1) + ",M,,M,,");
    };
    const GpsFix f = Parse(gga(c.first) + gga(c.second));
    EXPECT_NEAR(f.ggaVerticalSpeed, c.speed, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GgaVerticalSpeed,
    ::testing::Values(VerticalCase{"one_second_climb", "120000,100.0", "120001,101.0", 60.0},
                      VerticalCase{"thirty_second_descent", "120000,100.0", "120030,97.0", -6.0},
                      // Minutes and seconds only: across an hour the value of the first
                      // sentence (from the initial 0 m at 00:00) stays.
                      VerticalCase{"across_hour_kept", "125900,100.0", "130000,150.0", 100.0 / 59.0},
                      VerticalCase{"same_second_kept", "120000,100.0", "120000,130.0", 0.0}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Gsa, ParsesSolutionAndDops) {
    const GpsFix f = Parse(WithChecksum("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1"));
    EXPECT_EQ(f.gsaMode, 'A');
    EXPECT_EQ(f.gsaFixMode, 3);
    const uint16_t expected[12] = {4, 5, 0, 9, 12, 0, 0, 24, 0, 0, 0, 0};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(f.gsaSatellitesInSolution[i], expected[i]) << i;
    EXPECT_DOUBLE_EQ(f.gsaPdop, 2.5);
    EXPECT_DOUBLE_EQ(f.gsaHdop, 1.3);
    EXPECT_DOUBLE_EQ(f.gsaVdop, 2.1);
}

TEST(Gsa, EmptyDopsBecomeZeroAndEmptyModesStay) {
    const GpsFix f = Parse(WithChecksum("GPGSA,A,3,04,,,,,,,,,,,,2.5,1.3,2.1") +
                           WithChecksum("GPGSA,,,,,,,,,,,,,,,,,"));
    EXPECT_EQ(f.gsaMode, 'A');
    EXPECT_EQ(f.gsaFixMode, 3);
    EXPECT_EQ(f.gsaSatellitesInSolution[0], 0);
    EXPECT_EQ(f.gsaPdop, 0.0);
    EXPECT_EQ(f.gsaCount, 2u);
}

TEST(Gsv, FillsTheEntriesOfItsMessage) {
    const GpsFix f =
        Parse(WithChecksum("GPGSA,A,3,07,,,,,,,,,,,,2.5,1.3,2.1") +
              WithChecksum("GPGSV,3,2,11,05,40,083,46,06,17,308,,07,07,344,39,08,22,228,45"));
    EXPECT_EQ(f.gsvSatellitesInView, 11);
    EXPECT_EQ(f.gsvSatellites[4].prn, 5);
    EXPECT_EQ(f.gsvSatellites[4].elevation, 40);
    EXPECT_EQ(f.gsvSatellites[4].azimuth, 83);
    EXPECT_EQ(f.gsvSatellites[4].snr, 46);
    EXPECT_EQ(f.gsvSatellites[5].snr, 0);
    EXPECT_EQ(f.gsvSatellites[6].usedInSolution, 1u);
    EXPECT_EQ(f.gsvSatellites[7].usedInSolution, 0u);
    EXPECT_EQ(f.gsvSatellites[0].prn, 0);  // other messages' entries untouched
    EXPECT_EQ(f.gsvCount, 1u);
}

TEST(Gsv, ShortLastMessageZeroesTheRest) {
    GpsFix f = Parse(WithChecksum("GPGSV,1,1,04,01,40,083,46,02,17,308,41,03,07,344,39,04,22,228,45") +
                     WithChecksum("GPGSV,1,1,02,01,40,083,46,09,17,308,41"));
    EXPECT_EQ(f.gsvSatellites[1].prn, 9);
    EXPECT_EQ(f.gsvSatellites[2].prn, 0);
    EXPECT_EQ(f.gsvSatellites[3].snr, 0);
}

struct GsvNumbering {
    const char* header;
    bool accepted;
};

class GsvNumberingTest : public ::testing::TestWithParam<GsvNumbering> {};

TEST_P(GsvNumberingTest, OutOfRangeIsIgnored) {
    const std::string body = std::string("GPGSV,") + GetParam().header + ",08,01,40,083,46";
    const GpsFix f = Parse(WithChecksum(body));
    EXPECT_EQ(f.gsvCount, GetParam().accepted ? 1u : 0u);
    EXPECT_EQ(f.sentenceCount, 1u);
}

INSTANTIATE_TEST_SUITE_P(Cases, GsvNumberingTest,
                         ::testing::Values(GsvNumbering{"3,2", true}, GsvNumbering{"8,9", true},
                                           GsvNumbering{"9,1", false}, GsvNumbering{"0,1", false},
                                           GsvNumbering{",1", false}, GsvNumbering{"2,0", false},
                                           GsvNumbering{"2,10", false}, GsvNumbering{"2,", false}));

TEST(Gsv, LastMessageOfNineFillsTheLastEntries) {
    const GpsFix f = Parse(WithChecksum("GPGSV,8,9,36,33,10,100,20"));
    EXPECT_EQ(f.gsvSatellites[32].prn, 33);
    EXPECT_EQ(f.gsvSatellites[35].prn, 0);
}

TEST(Rmc, ParsesEveryField) {
    const GpsFix f =
        Parse(WithChecksum("GPRMC,123519.47,A,4807.038,N,01131.000,E,022.4,084.4,150309,003.1,W"));
    EXPECT_EQ(f.rmcHour, 12);
    EXPECT_EQ(f.rmcMinute, 35);
    EXPECT_EQ(f.rmcSecond, 19);
    EXPECT_EQ(f.rmcHundredths, 47);
    EXPECT_EQ(f.rmcStatus, 'A');
    EXPECT_NEAR(f.rmcLatitude, 48.1173, 1e-12);
    EXPECT_NEAR(f.rmcLongitude, 11.516666666666667, 1e-12);
    EXPECT_DOUBLE_EQ(f.rmcSpeedKnots, 22.4);
    EXPECT_DOUBLE_EQ(f.rmcCourse, 84.4);
    EXPECT_EQ(f.rmcDay, 15);
    EXPECT_EQ(f.rmcMonth, 3);
    EXPECT_EQ(f.rmcYear, 2009);
    EXPECT_DOUBLE_EQ(f.rmcMagneticVariation, -3.1);
}

TEST(Rmc, EmptyFieldsFollowTheirRules) {
    const GpsFix f =
        Parse(WithChecksum("GPRMC,123519.47,A,4807.038,N,01131.000,E,022.4,084.4,150309,003.1,E") +
              WithChecksum("GPRMC,123520,,,,,,,,,,"));
    EXPECT_EQ(f.rmcStatus, 'V');
    EXPECT_EQ(f.rmcSecond, 20);
    EXPECT_EQ(f.rmcHundredths, 0);
    EXPECT_NEAR(f.rmcLatitude, 48.1173, 1e-12);  // kept
    EXPECT_EQ(f.rmcSpeedKnots, 0.0);
    EXPECT_EQ(f.rmcCourse, 0.0);
    EXPECT_EQ(f.rmcMagneticVariation, 0.0);
    EXPECT_EQ(f.rmcDay, 15);  // kept
    EXPECT_EQ(f.rmcCount, 2u);
}

TEST(Rmb, ParsesAndDefaults) {
    GpsFix f = Parse(WithChecksum(
        "GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V"));
    EXPECT_EQ(f.rmbStatus, 'A');
    EXPECT_DOUBLE_EQ(f.rmbCrossTrackError, 0.66);
    EXPECT_EQ(f.rmbSteer, 'L');
    EXPECT_STREQ(f.rmbOriginId, "003");
    EXPECT_STREQ(f.rmbDestinationId, "004");
    EXPECT_NEAR(f.rmbDestLatitude, 49 + 17.24 / 60, 1e-12);
    EXPECT_NEAR(f.rmbDestLongitude, -(123 + 9.57 / 60), 1e-12);
    EXPECT_DOUBLE_EQ(f.rmbRange, 1.3);
    EXPECT_DOUBLE_EQ(f.rmbBearing, 52.5);
    EXPECT_DOUBLE_EQ(f.rmbClosingVelocity, 0.5);
    EXPECT_EQ(f.rmbArrival, 'V');

    ProcessBytes(f, "$GPRMB,,,,,,,,,,,,,\r", 20);
    EXPECT_EQ(f.rmbStatus, 'V');
    EXPECT_EQ(f.rmbSteer, '?');
    EXPECT_STREQ(f.rmbOriginId, "");
    EXPECT_EQ(f.rmbDestLatitude, 0.0);
    EXPECT_EQ(f.rmbCount, 2u);
}

TEST(Zda, ParsesAndDefaults) {
    GpsFix f = Parse(WithChecksum("GPZDA,201530.00,04,07,2002,02,30"));
    EXPECT_EQ(f.zdaHour, 20);
    EXPECT_EQ(f.zdaMinute, 15);
    EXPECT_EQ(f.zdaSecond, 30);
    EXPECT_EQ(f.zdaDay, 4);
    EXPECT_EQ(f.zdaMonth, 7);
    EXPECT_EQ(f.zdaYear, 2002);
    EXPECT_EQ(f.zdaZoneHours, 2);
    EXPECT_EQ(f.zdaZoneMinutes, 30);
    ProcessBytes(f, "$GPZDA,,,,,,\r", 13);
    EXPECT_EQ(f.zdaHour, 20);
    EXPECT_EQ(f.zdaDay, 1);
    EXPECT_EQ(f.zdaMonth, 1);
    EXPECT_EQ(f.zdaYear, 1);
    EXPECT_EQ(f.zdaZoneHours, 0);
}

TEST(Reset, RestoresInitialValues) {
    GpsFix f = Parse(WithChecksum("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1"));
    Reset(f);
    EXPECT_EQ(f.gsaMode, 'M');
    EXPECT_EQ(f.gsaFixMode, 1);
    EXPECT_EQ(f.rmcYear, 2000);
    EXPECT_EQ(f.rmbSteer, '?');
    EXPECT_EQ(f.sentenceCount, 0u);
    EXPECT_EQ(f.parseState, ParseState::SearchStart);
}

TEST(RealLog, DemoLogEndsWithAFix) {
    FILE* file = std::fopen(TRAKOMER_SOURCE_DIR "/data/demo/demo.nmea", "rb");
    ASSERT_NE(file, nullptr);
    GpsFix f;
    char buffer[1000];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) ProcessBytes(f, buffer, n);
    std::fclose(file);
    EXPECT_EQ(f.rmcStatus, 'A');
    EXPECT_EQ(f.gsaFixMode, 3);
    EXPECT_EQ(f.rmcCount, f.ggaCount);
    EXPECT_EQ(f.gsvSatellitesInView, 12);
    EXPECT_EQ(f.rmcYear, 2009);
}

}  // namespace
}  // namespace trakomer
