// Sentence framing: checksums, CR-terminated sentences, overflow, splits.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gps/nmea_parser.h"
#include "nmea_test_util.h"

namespace trakomer {
namespace {

using test::Parse;
using test::WithChecksum;

const std::string kGga = "GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";

struct FramingCase {
    const char* name;
    std::string input;
    uint32_t sentences;
    uint32_t ggaCount;
};

class FramingTest : public ::testing::TestWithParam<FramingCase> {};

TEST_P(FramingTest, CountsWhatIsDispatched) {
    const FramingCase& c = GetParam();
    const GpsFix fix = Parse(c.input);
    EXPECT_EQ(fix.sentenceCount, c.sentences);
    EXPECT_EQ(fix.ggaCount, c.ggaCount);
}

std::string WrongChecksum() {
    std::string s = WithChecksum(kGga);
    char& digit = s[s.size() - 3];
    digit = digit == '0' ? '1' : '0';
    return s;
}

std::string LowerCaseChecksum() {
    std::string s = WithChecksum(kGga);
    for (size_t i = s.size() - 4; i < s.size(); ++i) s[i] = static_cast<char>(std::tolower(s[i]));
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FramingTest,
    ::testing::Values(
        FramingCase{"correct_checksum", WithChecksum(kGga), 1, 1},
        FramingCase{"wrong_checksum_digit", WrongChecksum(), 0, 0},
        FramingCase{"no_checksum_cr", "$" + kGga + "\r\n", 1, 1},
        FramingCase{"lower_case_checksum", LowerCaseChecksum(), 1, 1},
        FramingCase{"non_hex_checksum", "$" + kGga + "*G1\r\n", 0, 0},
        FramingCase{"unknown_address", WithChecksum("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K"), 1, 0},
        FramingCase{"address_of_seven", WithChecksum("GPGGAXY,1"), 1, 0},
        FramingCase{"address_of_eight_abandoned", WithChecksum("GPGGAXYZ,1"), 0, 0},
        FramingCase{"body_of_255_kept", WithChecksum("GPXXX," + std::string(255, 'a')), 1, 0},
        FramingCase{"body_of_256_abandoned", WithChecksum("GPXXX," + std::string(256, 'a')), 0, 0},
        FramingCase{"garbage_between", "xx\r\n" + WithChecksum(kGga) + "\n\n##" + WithChecksum(kGga),
                    2, 2},
        FramingCase{"dollar_inside_body", "$GPXXX,ab$cd\r\n" + WithChecksum(kGga), 2, 1},
        FramingCase{"address_case_sensitive", WithChecksum("gpgga,123519"), 1, 0},
        FramingCase{"empty_input", "", 0, 0}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Framing, AbandonedBodySkipsToNextDollar) {
    // The overlong body is dropped; bytes up to the next '$' are ignored.
    const std::string input = "$GPGGA," + std::string(300, '1') + "\r\n" + WithChecksum(kGga);
    const GpsFix fix = Parse(input);
    EXPECT_EQ(fix.sentenceCount, 1u);
    EXPECT_DOUBLE_EQ(fix.ggaAltitude, 545.4);
}

TEST(Framing, WrongChecksumChangesNothing) {
    const GpsFix fix = Parse(WrongChecksum());
    GpsFix fresh;
    EXPECT_EQ(fix.ggaAltitude, fresh.ggaAltitude);
    EXPECT_EQ(fix.ggaHour, fresh.ggaHour);
}

TEST(Framing, SplitAtEveryByteGivesTheSameFix) {
    const std::string log =
        WithChecksum(kGga) +
        WithChecksum("GPRMC,123519.50,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W") +
        WithChecksum("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1") +
        WithChecksum("GPGSV,2,1,08,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45") +
        "$GPZDA,201530.00,04,07,2002,00,00\r\n";
    const GpsFix whole = Parse(log);
    ASSERT_EQ(whole.sentenceCount, 5u);
    for (size_t cut = 0; cut <= log.size(); ++cut) {
        GpsFix fix;
        ProcessBytes(fix, log.data(), cut);
        ProcessBytes(fix, log.data() + cut, log.size() - cut);
        ASSERT_EQ(std::memcmp(&fix.ggaLatitude, &whole.ggaLatitude, sizeof(double)), 0) << cut;
        ASSERT_EQ(fix.sentenceCount, whole.sentenceCount) << cut;
        ASSERT_EQ(fix.rmcSpeedKnots, whole.rmcSpeedKnots) << cut;
        ASSERT_EQ(fix.rmcHundredths, whole.rmcHundredths) << cut;
        ASSERT_EQ(fix.gsaSatellitesInSolution[4], whole.gsaSatellitesInSolution[4]) << cut;
        ASSERT_EQ(fix.gsvSatellites[3].snr, whole.gsvSatellites[3].snr) << cut;
        ASSERT_EQ(fix.zdaYear, whole.zdaYear) << cut;
    }
}

TEST(Framing, ByteAtATimeEqualsWhole) {
    const std::string log = WithChecksum(kGga) + WithChecksum(kGga);
    GpsFix fix;
    for (char c : log) ProcessBytes(fix, &c, 1);
    EXPECT_EQ(fix.sentenceCount, 2u);
    EXPECT_EQ(fix.ggaCount, 2u);
}

struct GetFieldCase {
    const char* body;
    int n;
    int size;
    bool found;
    const char* text;
};

class GetFieldTest : public ::testing::TestWithParam<GetFieldCase> {};

TEST_P(GetFieldTest, Extracts) {
    const GetFieldCase& c = GetParam();
    char out[64] = "junk";
    EXPECT_EQ(GetField(c.body, c.n, out, c.size), c.found);
    EXPECT_STREQ(out, c.text);
}

INSTANTIATE_TEST_SUITE_P(Cases, GetFieldTest,
                         ::testing::Values(GetFieldCase{"a,bc,,d", 0, 25, true, "a"},
                                           GetFieldCase{"a,bc,,d", 1, 25, true, "bc"},
                                           GetFieldCase{"a,bc,,d", 2, 25, false, ""},
                                           GetFieldCase{"a,bc,,d", 3, 25, true, "d"},
                                           GetFieldCase{"a,bc,,d", 4, 25, false, ""},
                                           GetFieldCase{"abcdef,x", 0, 4, true, "abc"},
                                           GetFieldCase{"a*b,c", 0, 25, true, "a"},
                                           GetFieldCase{",x", 0, 25, false, ""},
                                           GetFieldCase{"x,", 1, 25, false, ""}));

TEST(GetField, RejectsMissingBodyAndTinyBuffer) {
    char out[4] = "zz";
    EXPECT_FALSE(GetField(nullptr, 0, out, 4));
    EXPECT_FALSE(GetField("abc", 0, out, 0));
}

}  // namespace
}  // namespace trakomer
