// The archives and documents open in the common tools.

#include <gtest/gtest.h>

#include <cstdio>

#include "core/settings.h"
#include "files/gpx_reader.h"
#include "files/gpx_time.h"
#include "files/gpx_writer.h"
#include "files/kml_writer.h"
#include "files/trk_file.h"
#include "files/zip_archive.h"
#include "tests/files/recording_dialogs.h"
#include "tests/files/test_folder.h"
#include "tests/files/track_fixture.h"

namespace trakomer {
namespace {

using testing::TestFolder;

// Runs a shell command (bounded in time) and returns its standard output;
// `status` gets the exit status.
std::string RunCommand(const std::string& command, int& status) {
    std::string output;
    FILE* pipe = popen(("timeout 30 " + command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        status = -1;
        return output;
    }
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    status = pclose(pipe);
    return output;
}

bool HaveTool(const std::string& name) {
    int status = 0;
    RunCommand("sh -c \"command -v " + name + "\"", status);
    return status == 0;
}

class Interop : public ::testing::Test {
protected:
    void SetUp() override {
        folder_.Write("run.png", TestFolder::ReadPath(std::string(TRAKOMER_SOURCE_DIR) +
                                                       "/resources/data/run.png"));
        track_ = testing::WalkTrack(20, 0.001);
        track_->points[3].longitude = -1.234567;
    }
    TestFolder folder_;
    std::unique_ptr<Track> track_;
};

TEST_F(Interop, ZipToolsListTheEntries) {
    if (!HaveTool("unzip")) GTEST_SKIP() << "unzip missing";
    ASSERT_GT(WriteTrackKmz(*track_, Settings{}, folder_.File("run1.kmz"), folder_.path()), 0);
    ASSERT_TRUE(WriteTrz(*track_, folder_.File("t.trz"), folder_.path()));
    int status = 0;
    const std::string kmz = RunCommand("unzip -l " + folder_.File("run1.kmz"), status);
    EXPECT_EQ(status, 0) << kmz;
    EXPECT_NE(kmz.find("run1.kml"), std::string::npos) << kmz;
    EXPECT_NE(kmz.find("run.png"), std::string::npos) << kmz;
    EXPECT_NE(RunCommand("unzip -l " + folder_.File("t.trz"), status).find("TRKtmp.trk"), std::string::npos);

    const std::string python = RunCommand(
        "python3 -c \"import sys, zipfile\n"
        "for p in sys.argv[1:]:\n"
        "    z = zipfile.ZipFile(p)\n"
        "    assert z.testzip() is None\n"
        "    print(p.rsplit('/', 1)[1], [(i.filename, i.file_size) for i in z.infolist()])\" " +
            folder_.File("run1.kmz") + " " + folder_.File("t.trz"),
        status);
    EXPECT_EQ(status, 0) << python;
    EXPECT_NE(python.find("run1.kmz [('run1.kml', "), std::string::npos) << python;
    EXPECT_NE(python.find("('run.png', 196)"), std::string::npos) << python;
    EXPECT_NE(python.find("t.trz [('TRKtmp.trk', " + std::to_string(23 + 29 * 20 +
                                                                    folder_.path().size() + 10) + ")]"),
              std::string::npos)
        << python;
}

TEST_F(Interop, DocumentsAreWellFormedAndGpsbabelReadsTheTrack) {
    if (!HaveTool("xmllint") || !HaveTool("gpsbabel")) GTEST_SKIP() << "xmllint or gpsbabel missing";
    Settings settings;
    settings.mUserName = "Jo <&> 'Q'";
    folder_.Write("track.kml", ComposeTrackKml(*track_, settings, "Tom's <run> & co.kmz"));
    WaypointTable waypoints;
    waypoints.entries[0] = {51.5, -0.1, "Tom's & <Jerry>"};
    waypoints.waypointCount = 1;
    folder_.Write("wp.kml", ComposeWaypointsKml(waypoints, "w&p.kmz"));
    folder_.Write("loc.kml", ComposeLocationKml(*track_, settings, "l.kmz"));
    int status = 0;
    for (const char* name : {"track.kml", "wp.kml", "loc.kml"}) {
        const std::string out = RunCommand("xmllint --noout " + folder_.File(name), status);
        EXPECT_EQ(status, 0) << name << ": " << out;
    }

    const std::string csv = RunCommand("gpsbabel -t -i kml -f " + folder_.File("track.kml") +
                                    " -o unicsv -F -",
                                status);
    ASSERT_EQ(status, 0) << csv;
    // Every written point comes back, in order, with its coordinates.
    for (int i = 0; i < 20; ++i) {
        char row[64];
        std::snprintf(row, sizeof row, "%.6f,%.6f,%.0f", track_->points[i].latitude,
                      track_->points[i].longitude, static_cast<double>(track_->points[i].altitude));
        EXPECT_NE(csv.find(row), std::string::npos) << row << "\n" << csv;
    }
}

// Our GPX passes the structure check of its GPX 1.1 subset and gpsbabel
// reads the same points from it; the GPX gpsbabel writes, from our GPX and
// from our KML, reads back with the same positions and times.
TEST_F(Interop, GpsbabelAgreesOnGpx) {
    if (!HaveTool("xmllint") || !HaveTool("gpsbabel"))
        GTEST_SKIP() << "xmllint or gpsbabel missing";
    track_->points[5].hundredths = 50;
    ASSERT_TRUE(WriteTrackGpx(*track_, folder_.File("ours.gpx")));
    WaypointTable waypoints;
    waypoints.entries[0] = {51.5, -0.1, "Tom's & <Jerry>"};
    waypoints.waypointCount = 1;
    ASSERT_GT(WriteWaypointsGpx(waypoints, folder_.File("wp.gpx")), 0);
    int status = 0;
    const std::string schema =
        std::string(TRAKOMER_SOURCE_DIR) + "/tests/files/data/gpx_written_subset.xsd";
    for (const char* name : {"ours.gpx", "wp.gpx"}) {
        const std::string out =
            RunCommand("xmllint --noout --schema " + schema + " " + folder_.File(name), status);
        EXPECT_EQ(status, 0) << name << ": " << out;
    }

    const std::string csv = RunCommand(
        "gpsbabel -t -i gpx -f " + folder_.File("ours.gpx") + " -o unicsv,utc=0 -F -", status);
    ASSERT_EQ(status, 0) << csv;
    for (int i = 0; i < 20; ++i) {
        const TrackPoint& p = track_->points[i];
        std::string time = FormatGpxTime(p.time, 0).substr(11, 8) + (i == 5 ? ".500" : "");
        char row[96];
        std::snprintf(row, sizeof row, "%.6f,%.6f,%.1f,2009/01/25,%s", p.latitude, p.longitude,
                      static_cast<double>(p.altitude), time.c_str());
        EXPECT_NE(csv.find(row), std::string::npos) << row << csv;
    }

    folder_.Write("track.kml", ComposeTrackKml(*track_, Settings{}, "track.kmz"));
    struct Source {
        const char* format;
        const char* file;
        bool times;
    };
    for (const Source& source :
         {Source{"gpx", "ours.gpx", true}, Source{"kml", "track.kml", false}}) {
        const std::string out =
            RunCommand(std::string("gpsbabel -t -i ") + source.format + " -f " +
                           folder_.File(source.file) + " -o gpx -F " + folder_.File("babel.gpx"),
                       status);
        ASSERT_EQ(status, 0) << out;
        auto read = std::make_unique<Track>();
        testing::RecordingDialogs dialogs;
        ASSERT_EQ(ReadTrackGpx(folder_.File("babel.gpx"), *read, dialogs), ReadStatus::Ok)
            << source.file;
        ASSERT_EQ(read->loadedCount, 20) << source.file;
        for (int i = 0; i < 20; ++i) {
            const TrackPoint& a = track_->points[i];
            const TrackPoint& b = read->points[i];
            EXPECT_NEAR(b.latitude, a.latitude, 1e-6) << source.file << " " << i;
            EXPECT_NEAR(b.longitude, a.longitude, 1e-6) << source.file << " " << i;
            EXPECT_NEAR(b.altitude, a.altitude, 0.5) << source.file << " " << i;
            // The KML track line carries no times.
            EXPECT_EQ(b.time, source.times ? a.time : 0) << source.file << " " << i;
            EXPECT_EQ(b.hundredths, source.times ? a.hundredths : 0) << source.file << " " << i;
        }
    }
}

}  // namespace
}  // namespace trakomer
