// trakomer-cli info, and the track files record saves: reading them back,
// the clean-up question, failures, and a long recording at capacity.

#include <gtest/gtest.h>

#include "tests/cli/cli_runner.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "core/track.h"
#include "files/trk_file.h"
#include "tests/gps/nmea_test_util.h"

namespace trakomer {
namespace {

using test::WithChecksum;

namespace fs = std::filesystem;
using test::kCli;
const std::string kDemo = test::kDemoLog;

using test::CliRun;
using test::Shell;

// The number after "key": in a one-line JSON summary (-1 when missing).
double JsonNumber(const std::string& json, const std::string& key) {
    const size_t at = json.find("\"" + key + "\":");
    if (at == std::string::npos) return -1;
    return std::strtod(json.c_str() + at + key.size() + 3, nullptr);
}

// The string value of "file" ("" when missing or null).
std::string JsonFile(const std::string& json) {
    const std::string key = "\"file\":\"";
    const size_t at = json.find(key);
    if (at == std::string::npos) return "";
    const size_t end = json.find('"', at + key.size());
    return json.substr(at + key.size(), end - at - key.size());
}

// An NMEA log of `seconds` seconds at 1 Hz (RMC and GGA with a 3D fix),
// heading north-east at about 5 m/s from 2009-03-15 07:00:00 UTC.
std::string SyntheticLog(int seconds) {
    std::string log;
    for (int s = 0; s < seconds; ++s) {
        const int hh = 7 + s / 3600, mm = s / 60 % 60, ss = s % 60;
        const double lat = 52.0 + s * 3.2e-5, lon = 13.0 + s * 5.0e-5;
        char latText[32], lonText[32], body[160];
        std::snprintf(latText, sizeof latText, "%02d%07.4f", static_cast<int>(lat),
                      (lat - std::floor(lat)) * 60);
        std::snprintf(lonText, sizeof lonText, "%03d%07.4f", static_cast<int>(lon),
                      (lon - std::floor(lon)) * 60);
        std::snprintf(body, sizeof body, "GPRMC,%02d%02d%02d.000,A,%s,N,%s,E,9.7,45.0,150309,,,A",
                      hh, mm, ss, latText, lonText);
        log += WithChecksum(body);
        std::snprintf(body, sizeof body, "GPGGA,%02d%02d%02d.000,%s,N,%s,E,1,08,1.0,%.1f,M,0,M,,",
                      hh, mm, ss, latText, lonText, 40.0 + (s % 600) / 10.0);
        log += WithChecksum(body);
        log += WithChecksum("GPGSA,A,3,01,02,03,04,05,06,,,,,,,1.8,1.0,1.5");
    }
    return log;
}

class InfoCli : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/trakomer-info-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    CliRun Run(const std::string& args, bool withStderr = false) {
        return Shell("TZ=UTC " + kCli + " " + args + " --home " + dir_ +
                     (withStderr ? " 2>&1" : " 2>/dev/null"));
    }
    CliRun Record(const std::string& input, const std::string& options) {
        return Run("record --input " + input + " --out-dir " + dir_ + " " + options);
    }

    // A .trk of points one second apart; equal positions repeat the previous.
    std::string WriteSmallTrk(const std::vector<std::pair<int, bool>>& timesAndRepeats) {
        auto track = std::make_unique<Track>();
        ResetTrack(*track);
        int i = 0;
        for (const auto& [time, repeat] : timesAndRepeats) {
            TrackPoint& p = track->points[i];
            p = i > 0 && repeat ? track->points[i - 1] : TrackPoint{};
            if (!(i > 0 && repeat)) {
                p.latitude = 52.0 + i * 1e-3;
                p.longitude = 13.0 + i * 1e-3;
                p.altitude = 50.0f + static_cast<float>(i);
            }
            p.time = 1237100400 + time;
            ++i;
        }
        track->lastIndex = i;  // writers take points 0..lastIndex-1
        const std::string path = dir_ + "/small.trk";
        EXPECT_TRUE(WriteTrk(*track, path));
        return path;
    }

    std::string dir_;
};

TEST_F(InfoCli, ReadsBackTheTrackRecordSaved) {
    for (const std::string profile : {"walk", "car"}) {
        const CliRun rec = Record(kDemo, "--profile " + profile);
        ASSERT_EQ(rec.exitCode, 0) << rec.out;
        const std::string file = JsonFile(rec.out);
        ASSERT_EQ(file.rfind(dir_ + "/", 0), 0u) << rec.out;
        ASSERT_NE(file.find(".trz"), std::string::npos);
        ASSERT_TRUE(fs::exists(file)) << file;

        const CliRun info = Run("info " + file + " --profile " + profile);
        ASSERT_EQ(info.exitCode, 0) << info.out;
        EXPECT_EQ(JsonNumber(info.out, "points"), JsonNumber(rec.out, "points")) << profile;
        EXPECT_GT(JsonNumber(info.out, "points"), 100);
        // Review recomputes the figures from the saved points alone (the
        // newest point is not written), so they agree closely, not exactly.
        EXPECT_NEAR(JsonNumber(info.out, "totalDistance"), JsonNumber(rec.out, "totalDistance"),
                    0.05)
            << profile;
        EXPECT_NE(info.out.find("\"events\":[]"), std::string::npos) << info.out;
        fs::remove(file);
    }
}

TEST_F(InfoCli, ResampleAnswersTheCleanUpQuestion) {
    // Times 0, 4, 9, 10, 15, 21 keep 0, 10 and 21 when resampled; the
    // repeated position at 22 goes as a duplicate first.
    const std::string trk = WriteSmallTrk(
        {{0, false}, {4, false}, {9, false}, {10, false}, {15, false}, {21, false}, {22, true}});
    struct Case {
        std::string options;
        int points;
        int elapsedSeconds;
    } cases[] = {{"", 7, 22}, {"--resample", 3, 21}};
    for (const Case& c : cases) {
        const CliRun run = Run("info " + trk + " " + c.options);
        ASSERT_EQ(run.exitCode, 0) << c.options;
        EXPECT_EQ(JsonNumber(run.out, "points"), c.points) << c.options << run.out;
        EXPECT_EQ(JsonNumber(run.out, "elapsedSeconds"), c.elapsedSeconds) << c.options << run.out;
        EXPECT_GT(JsonNumber(run.out, "totalDistance"), 0) << c.options;
    }
}

TEST_F(InfoCli, KmlTracksAreReadWithoutTheCleanUp) {
    std::ofstream(dir_ + "/t.kml")
        << "<kml><Document><Placemark><LineString><coordinates>\n"
           "13.0,52.0,10 13.0,52.0,10 13.001,52.001,12 13.002,52.002,14\n"
           "</coordinates></LineString></Placemark></Document></kml>\n";
    for (const std::string options : {"", "--resample"}) {
        const CliRun run = Run("info " + dir_ + "/t.kml " + options);
        ASSERT_EQ(run.exitCode, 0) << options;
        EXPECT_EQ(JsonNumber(run.out, "points"), 4) << options << run.out;
    }
}

TEST_F(InfoCli, OurOwnKmzTrackReadsBackWhole) {
    const CliRun rec = Record(kDemo, "--profile car");
    ASSERT_EQ(rec.exitCode, 0) << rec.out;
    const std::string kmz = dir_ + "/x.kmz";
    ASSERT_EQ(Run("convert " + JsonFile(rec.out) + " " + kmz).exitCode, 0);
    ASSERT_EQ(Shell("unzip -p " + kmz + " '*.kml' > " + dir_ + "/x.kml").exitCode, 0);
    const CliRun info = Run("info " + dir_ + "/x.kml --profile car");
    ASSERT_EQ(info.exitCode, 0) << info.out;
    EXPECT_EQ(JsonNumber(info.out, "points"), JsonNumber(rec.out, "points")) << info.out;
}

TEST_F(InfoCli, FailuresAndUsageErrors) {
    std::ofstream(dir_ + "/garbage.trk") << "this is not a track file at all, not at all";
    std::ofstream(dir_ + "/garbage.trz") << "not a zip archive";
    std::ofstream(dir_ + "/garbage.gpx") << "<kml/>";
    struct Case {
        std::string args;
        int exitCode;
        std::string message;  // expected on standard error
    } cases[] = {
        {"info " + dir_ + "/none.trk", 1, "cannot read"},
        {"info " + dir_ + "/garbage.trk", 1, "Corrupt file"},
        {"info " + dir_ + "/garbage.trz", 1, ""},
        {"info", 2, "no FILE"},
        {"info " + dir_ + "/track.gpx", 1, "cannot read"},
        {"info " + dir_ + "/garbage.gpx", 1,
         "Corrupt GPX file: not GPX: the root element is <kml>"},
        {"info " + dir_ + "/track.kmz", 2, "not a .trk"},
        {"info a.trk b.trk", 2, "more than one"},
        {"info a.trk --bogus", 2, "unknown argument"},
        {"info a.trk --profile hike", 2, "unknown profile"},
    };
    for (const Case& c : cases) {
        const CliRun run = Run(c.args, true);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args << ": " << run.out;
        EXPECT_EQ(run.out.find("{\"profile\""), std::string::npos) << c.args;
        EXPECT_NE(run.out.find(c.message), std::string::npos) << c.args << ": " << run.out;
    }
}

TEST_F(InfoCli, ConvertToGpxAndBackKeepsEveryPoint) {
    const CliRun rec = Record(kDemo, "--profile run");
    ASSERT_EQ(rec.exitCode, 0) << rec.out;
    const std::string trz = JsonFile(rec.out), gpx = dir_ + "/run.gpx", back = dir_ + "/back.trz";
    const CliRun there = Run("convert " + trz + " " + gpx);
    ASSERT_EQ(there.exitCode, 0) << there.out;
    const CliRun again = Run("convert " + gpx + " " + back);
    ASSERT_EQ(again.exitCode, 0) << again.out;
    EXPECT_EQ(JsonNumber(there.out, "points"), JsonNumber(rec.out, "points"));
    EXPECT_EQ(JsonNumber(again.out, "points"), JsonNumber(rec.out, "points"));

    // The statistics of the three files agree: every point kept its place and time.
    const CliRun original = Run("info " + trz), viaGpx = Run("info " + gpx),
                 returned = Run("info " + back);
    EXPECT_GT(JsonNumber(original.out, "totalDistance"), 0) << original.out;
    for (const char* key : {"points", "totalDistance", "elapsedSeconds", "ascent"}) {
        EXPECT_NEAR(JsonNumber(viaGpx.out, key), JsonNumber(original.out, key), 1e-6) << key;
        EXPECT_NEAR(JsonNumber(returned.out, key), JsonNumber(original.out, key), 1e-6) << key;
    }
}

TEST_F(InfoCli, RecordReportsAFailedSave) {
    const std::string missing = dir_ + "/no/such/folder";
    const CliRun run = Shell(kCli + " record --input " + kDemo + " --home " + dir_ +
                             " --out-dir " + missing + " 2>&1");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("Error: File save failed. Check path. (No such file or directory)"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\"file\":null"), std::string::npos) << run.out;
    EXPECT_FALSE(fs::exists(missing));
}

TEST_F(InfoCli, ThreeHourRecordingStaysWithinCapacityAndRoundTrips) {
    const std::string log = dir_ + "/three_hours.nmea";
    std::ofstream(log) << SyntheticLog(3 * 3600);
    const CliRun rec = Record(log, "--profile car");
    ASSERT_EQ(rec.exitCode, 0) << rec.out;
    EXPECT_NE(rec.out.find("\"event\":\"thinned\""), std::string::npos);
    const double points = JsonNumber(rec.out, "points");
    EXPECT_GT(points, 1000);
    EXPECT_LE(points, kTrackCapacity);
    // About 5 m/s for three hours, whatever was thinned.
    EXPECT_NEAR(JsonNumber(rec.out, "distanceKm"), 54.0, 4.0) << rec.out;
    EXPECT_NEAR(JsonNumber(rec.out, "elapsedSeconds"), 3 * 3600, 5) << rec.out;

    const CliRun info = Run("info " + JsonFile(rec.out) + " --profile car");
    ASSERT_EQ(info.exitCode, 0);
    EXPECT_EQ(JsonNumber(info.out, "points"), points);
    EXPECT_NEAR(JsonNumber(info.out, "distanceKm"), JsonNumber(rec.out, "distanceKm"), 0.1);
}

}  // namespace
}  // namespace trakomer
