// nmea-dump against an independent NMEA decoder (Debian's gpsbabel) on the
// demo log: every fix's position, altitude, satellites, dilution and speed.

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/cli_runner.h"

namespace trakomer {
namespace {

using test::kCli;
using test::kDemoLog;
using test::Shell;

// The number after "key": in a line of JSON.
double Number(const std::string& json, const std::string& key) {
    const size_t at = json.find("\"" + key + "\":");
    EXPECT_NE(at, std::string::npos) << key;
    return at == std::string::npos ? 0 : std::strtod(json.c_str() + at + key.size() + 3, nullptr);
}

std::vector<std::string> Split(const std::string& line, char separator) {
    std::vector<std::string> parts;
    std::stringstream in(line);
    std::string part;
    while (std::getline(in, part, separator)) parts.push_back(part);
    return parts;
}

struct Fix {
    double latitude, longitude, altitude, hdop, satellites, speedKnots;
};

// The GGA group of every sentence with a fix, with the RMC speed of its second.
std::vector<Fix> OurFixes() {
    const auto run = Shell(kCli + " nmea-dump --each " + kDemoLog);
    EXPECT_EQ(run.exitCode, 0);
    std::vector<Fix> fixes;
    double speed = 0;
    std::stringstream lines(run.out);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.find("\"address\":\"GPRMC\"") != std::string::npos) {
            speed = Number(line, "rmcSpeedKnots");
        } else if (line.find("\"address\":\"GPGGA\"") != std::string::npos &&
                   Number(line, "ggaQuality") > 0) {
            fixes.push_back({Number(line, "ggaLatitude"), Number(line, "ggaLongitude"),
                             Number(line, "ggaAltitude"), Number(line, "ggaHdop"),
                             Number(line, "ggaSatellites"), speed});
        }
    }
    return fixes;
}

std::vector<Fix> DecoderFixes() {
    const auto run = Shell("gpsbabel -t -i nmea -f " + kDemoLog + " -o unicsv,utc=0 -F -");
    EXPECT_EQ(run.exitCode, 0) << "gpsbabel missing? it is in tools/deps.txt";
    std::vector<Fix> fixes;
    std::stringstream lines(run.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line.rfind("No,Latitude,Longitude,Altitude,Speed,Course,FIX,HDOP", 0), 0u) << line;
    while (std::getline(lines, line)) {
        const auto f = Split(line, ',');
        if (f.size() < 11) continue;
        constexpr double kKnotsPerMetrePerSecond = 3600.0 / 1852.0;
        fixes.push_back({std::stod(f[1]), std::stod(f[2]), std::stod(f[3]), std::stod(f[7]),
                         std::stod(f[10]), std::stod(f[4]) * kKnotsPerMetrePerSecond});
    }
    return fixes;
}

TEST(IndependentDecoder, AgreesOnEveryFixOfTheDemoLog) {
    const std::vector<Fix> ours = OurFixes();
    const std::vector<Fix> theirs = DecoderFixes();
    // The decoder completes a fix when the next second's RMC arrives and
    // takes that sentence's speed, so it writes one fix fewer.
    ASSERT_EQ(theirs.size() + 1, ours.size());
    ASSERT_GT(ours.size(), 2000u);
    for (size_t i = 0; i < theirs.size(); ++i) {
        // It prints six decimals of degrees and two of speed.
        ASSERT_NEAR(ours[i].latitude, theirs[i].latitude, 1e-6) << i;
        ASSERT_NEAR(ours[i].longitude, theirs[i].longitude, 1e-6) << i;
        ASSERT_NEAR(ours[i].altitude, theirs[i].altitude, 0.051) << i;
        ASSERT_NEAR(ours[i].hdop, theirs[i].hdop, 0.0051) << i;
        ASSERT_EQ(ours[i].satellites, theirs[i].satellites) << i;
        ASSERT_NEAR(ours[i + 1].speedKnots, theirs[i].speedKnots, 0.02) << i;
    }
}

}  // namespace
}  // namespace trakomer
