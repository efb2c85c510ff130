// Sentences of multi-system receivers: every standard talker, one GSA per
// system, GSV series per system and signal (layouts of NMEA 0183 4.10/4.11
// as u-blox M8/F9 and Quectel L76/LC29H manuals print them).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gps/nmea_parser.h"
#include "nmea_test_util.h"

namespace trakomer {
namespace {

using test::Parse;
using test::WithChecksum;

struct TalkerCase {
    const char* address;
    bool parsed;
};

class Talkers : public ::testing::TestWithParam<TalkerCase> {};

TEST_P(Talkers, RmcOfStandardTalkersOnly) {
    const TalkerCase& c = GetParam();
    // 4.10 RMC: mode indicator and navigational status after the variation.
    const GpsFix f = Parse(WithChecksum(std::string(c.address) +
                                        ",083559.00,A,4717.11437,N,00833.91522,E,0.004,77.52,"
                                        "091202,,,A,V"));
    EXPECT_EQ(f.sentenceCount, 1u);
    EXPECT_EQ(f.rmcCount, c.parsed ? 1u : 0u);
    EXPECT_EQ(f.rmcStatus, c.parsed ? 'A' : 'V');
    if (c.parsed) {
        EXPECT_NEAR(f.rmcLatitude, 47.285239, 1e-6);
    }
}

INSTANTIATE_TEST_SUITE_P(Addresses, Talkers,
                         ::testing::Values(TalkerCase{"GPRMC", true}, TalkerCase{"GNRMC", true},
                                           TalkerCase{"GLRMC", true}, TalkerCase{"GARMC", true},
                                           TalkerCase{"GBRMC", true}, TalkerCase{"BDRMC", true},
                                           TalkerCase{"GQRMC", true}, TalkerCase{"GIRMC", true},
                                           TalkerCase{"GXRMC", false}, TalkerCase{"PURMC", false},
                                           TalkerCase{"GNRMCX", false}));

TEST(GnFix, CombinedStreamFillsTheGroupsAndWrongChecksumsChangeNothing) {
    std::string bad = WithChecksum("GNGGA,092725.00,4717.11399,N,00833.91590,E,1,08,1.01,"
                                   "499.6,M,48.0,M,,");
    bad[bad.size() - 3] = bad[bad.size() - 3] == '0' ? '1' : '0';
    const GpsFix f = Parse(
        WithChecksum("GNRMC,092725.00,A,4717.11399,N,00833.91590,E,0.004,77.52,091202,,,A,V") +
        WithChecksum("GNGGA,092725.00,4717.11399,N,00833.91590,E,1,08,1.01,499.6,M,48.0,M,,") +
        WithChecksum("GNZDA,092725.00,09,12,2002,00,00") + bad);
    EXPECT_EQ(f.rmcStatus, 'A');
    EXPECT_EQ(f.ggaCount, 1u);
    EXPECT_DOUBLE_EQ(f.ggaAltitude, 499.6);
    EXPECT_EQ(f.zdaYear, 2002);
    EXPECT_EQ(f.sentenceCount, 3u);
}

std::vector<std::pair<int, GnssSystem>> Solution(const GpsFix& f) {
    std::vector<std::pair<int, GnssSystem>> out;
    for (int i = 0; i < kMaxSatellites && f.gsaSatellitesInSolution[i] != 0; ++i) {
        out.emplace_back(f.gsaSatellitesInSolution[i], f.gnss.solutionSystems[i]);
    }
    return out;
}

using S = GnssSystem;

TEST(GsaMerge, OneEpochGathersEverySystemAndTheNextEpochStartsAnew) {
    const std::string epoch1 =
        WithChecksum("GNRMC,092725.00,A,4717.11399,N,00833.91590,E,0.004,77.52,091202,,,A,V") +
        WithChecksum("GNGSA,A,3,10,23,,,,,,,,,,,1.94,1.04,1.64,1") +
        WithChecksum("GNGSA,A,3,70,80,,,,,,,,,,,1.94,1.04,1.64,2") +
        WithChecksum("GNGSA,A,3,10,,,,,,,,,,,,2.10,1.20,1.70,3");
    GpsFix f = Parse(epoch1);
    using P = std::pair<int, GnssSystem>;
    EXPECT_EQ(Solution(f), (std::vector<P>{{10, S::GPS}, {23, S::GPS}, {70, S::GLONASS},
                                          {80, S::GLONASS}, {10, S::Galileo}}));
    EXPECT_EQ(f.gsaFixMode, 3);
    EXPECT_DOUBLE_EQ(f.gsaPdop, 2.10);
    EXPECT_EQ(f.gsaCount, 3u);

    // Quectel style: one GSA per talker, without system ids.
    const std::string epoch2 =
        WithChecksum("GNRMC,092726.00,A,4717.11399,N,00833.91590,E,0.004,77.52,091202,,,A,V") +
        WithChecksum("GPGSA,A,3,05,,,,,,,,,,,,1.5,0.9,1.2") +
        WithChecksum("GLGSA,A,3,71,,,,,,,,,,,,1.5,0.9,1.2") +
        WithChecksum("BDGSA,A,3,201,,,,,,,,,,,,1.5,0.9,1.2");
    ProcessBytes(f, epoch2.data(), epoch2.size());
    EXPECT_EQ(Solution(f), (std::vector<P>{{5, S::GPS}, {71, S::GLONASS}, {201, S::BeiDou}}));

    // GP only: each GSA replaces the list, as it always did.
    const std::string gp = WithChecksum("GPGSA,A,3,07,,,,,,,,,,,,1.5,0.9,1.2") +
                           WithChecksum("GPGSA,A,2,08,,,,,,,,,,,,1.5,0.9,1.2");
    ProcessBytes(f, gp.data(), gp.size());
    EXPECT_EQ(Solution(f), (std::vector<P>{{8, S::GPS}}));
}

struct Seen {
    int prn;
    GnssSystem system;
    int snr;
    uint32_t used;
};

std::vector<Seen> View(const GpsFix& f) {
    std::vector<Seen> out;
    for (int i = 0; i < std::min<int>(f.gsvSatellitesInView, kMaxSatellites); ++i) {
        const SatelliteInfo& s = f.gsvSatellites[i];
        out.push_back({s.prn, s.system, s.snr, s.usedInSolution});
    }
    return out;
}

bool operator==(const Seen& a, const Seen& b) {
    return a.prn == b.prn && a.system == b.system && a.snr == b.snr && a.used == b.used;
}

TEST(GsvMerge, SystemsAndSignalsMergeOncePerSatelliteWithBestSnr) {
    const std::string log =
        WithChecksum("GNRMC,092725.00,A,4717.11399,N,00833.91590,E,0.004,77.52,091202,,,A,V") +
        WithChecksum("GNGSA,A,3,10,26,,,,,,,,,,,1.94,1.04,1.64,1") +
        WithChecksum("GNGSA,A,3,12,,,,,,,,,,,,1.94,1.04,1.64,3") +
        WithChecksum("GPGSV,2,1,05,10,45,120,40,23,30,200,35,26,60,300,42,32,10,050,20,1") +
        WithChecksum("GLGSV,1,1,02,70,40,010,33,80,35,020,,1") +
        WithChecksum("GPGSV,2,2,05,16,20,100,30,1") +
        WithChecksum("GPGSV,1,1,02,10,45,120,44,26,60,300,38,8") +
        WithChecksum("GAGSV,1,1,02,10,50,150,39,12,20,250,31,7") +
        WithChecksum("GBGSV,1,1,01,19,55,330,41,1");
    const GpsFix f = Parse(log);
    EXPECT_EQ(f.gsvSatellitesInView, 10);
    EXPECT_EQ(View(f), (std::vector<Seen>{{10, S::GPS, 44, 1},
                                          {23, S::GPS, 35, 0},
                                          {26, S::GPS, 42, 1},
                                          {32, S::GPS, 20, 0},
                                          {16, S::GPS, 30, 0},
                                          {70, S::GLONASS, 33, 0},
                                          {80, S::GLONASS, 0, 0},
                                          {10, S::Galileo, 39, 0},
                                          {12, S::Galileo, 31, 1},
                                          {19, S::BeiDou, 41, 0}}));
    EXPECT_STREQ(GnssSystemName(f.gsvSatellites[9].system), "BeiDou");

    // Five seconds on, only GPS still sends GSV: the others drop out.
    std::string later =
        WithChecksum("GNRMC,092730.00,A,4717.11399,N,00833.91590,E,0.004,77.52,091202,,,A,V") +
        WithChecksum("GPGSV,1,1,01,10,45,120,41,1");
    GpsFix g = f;
    ProcessBytes(g, later.data(), later.size());
    EXPECT_EQ(View(g), (std::vector<Seen>{{10, S::GPS, 41, 1}}));
}

// Four systems of twelve satellites: 48 in view, the table keeps the first
// 36 in system order; when GPS then sees four, BeiDou's come in behind.
TEST(GsvMerge, FullTableKeepsSystemOrderAndRefillsWhenASystemShrinks) {
    auto series = [](const char* talker, int inView, int snr) {
        std::string out;
        const int messages = (inView + 3) / 4;
        for (int m = 1; m <= messages; ++m) {
            std::string body = std::string(talker) + "GSV," + std::to_string(messages) + "," +
                               std::to_string(m) + "," + std::to_string(inView);
            for (int k = (m - 1) * 4; k < std::min(m * 4, inView); ++k) {
                body += "," + std::to_string(k + 1) + ",30,100," + std::to_string(snr);
            }
            out += WithChecksum(body + ",1");
        }
        return out;
    };
    const std::string rmc =
        WithChecksum("GNRMC,092725.00,A,4717.11399,N,00833.91590,E,0.004,77.52,091202,,,A,V");
    GpsFix f = Parse(rmc + series("GP", 12, 40) + series("GL", 12, 30) + series("GA", 12, 35) +
                     series("GB", 12, 25));
    EXPECT_EQ(f.gsvSatellitesInView, 48);
    EXPECT_EQ(View(f)[12], (Seen{1, S::GLONASS, 30, 0}));
    EXPECT_EQ(View(f)[35], (Seen{12, S::Galileo, 35, 0}));

    const std::string later = series("GL", 12, 33) + series("GP", 4, 41);
    ProcessBytes(f, later.data(), later.size());
    EXPECT_EQ(f.gsvSatellitesInView, 40);
    const std::vector<Seen> view = View(f);
    EXPECT_EQ(view[3], (Seen{4, S::GPS, 41, 0}));
    EXPECT_EQ(view[4], (Seen{1, S::GLONASS, 33, 0}));
    EXPECT_EQ(view[35], (Seen{8, S::BeiDou, 25, 0}));
}

}  // namespace
}  // namespace trakomer
