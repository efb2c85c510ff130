// GPX documents: times, writing and reading back, what the reader takes
// from a document, refused documents, capacity thinning, and agreement
// with xmllint and gpsbabel.

#include <gtest/gtest.h>

#include <cstdio>

#include "core/utc_time.h"
#include "files/gpx_reader.h"
#include "files/gpx_time.h"
#include "files/gpx_writer.h"
#include "files/kml_writer.h"
#include "platform/file_io.h"
#include "tests/files/recording_dialogs.h"
#include "tests/files/test_folder.h"
#include "tests/files/track_fixture.h"

namespace trakomer {
namespace {

using testing::TestFolder;

const int64_t k2009 = UtcToSeconds(2009, 1, 25, 10, 11, 12);

TEST(GpxTime, ParsesFractionsAndZones) {
    struct Case {
        const char* text;
        bool valid;
        int64_t seconds;
        int hundredths;
    };
    const Case cases[] = {
        {"2009-01-25T10:11:12Z", true, k2009, 0},
        {" 2009-01-25T10:11:12 ", true, k2009, 0},  // no zone: UTC
        {"2009-01-25T11:11:12.345+01:00", true, k2009, 34},
        {"2009-01-25T05:41:12.5-0430", true, k2009, 50},
        {"2009-01-25T12:11:12.999999+02", true, k2009, 99},
        {"2008-02-29T00:00:00Z", true, UtcToSeconds(2008, 2, 29, 0, 0, 0), 0},
        {"2009-02-29T00:00:00Z", false, 0, 0},
        {"2009-13-01T00:00:00Z", false, 0, 0},
        {"2009-01-25 10:11:12Z", false, 0, 0},
        {"2009-01-25T10:11:12.Z", false, 0, 0},
        {"2009-01-25T10:11:12+1", false, 0, 0},
        {"2009-01-25T10:11:12Zjunk", false, 0, 0},
        {"25/01/2009", false, 0, 0},
        {"", false, 0, 0},
    };
    for (const Case& c : cases) {
        const auto time = ParseGpxTime(c.text);
        ASSERT_EQ(time.has_value(), c.valid) << c.text;
        if (!time) continue;
        EXPECT_EQ(time->seconds, c.seconds) << c.text;
        EXPECT_EQ(time->hundredths, c.hundredths) << c.text;
    }
    EXPECT_EQ(FormatGpxTime(k2009, 0), "2009-01-25T10:11:12Z");
    EXPECT_EQ(FormatGpxTime(k2009, 7), "2009-01-25T10:11:12.07Z");
}

std::unique_ptr<Track> SampleTrack() {
    return testing::LiveTrack({{51.123456789, -0.987654321, 12.5f, static_cast<int32_t>(k2009), 25},
                               {-33.9, 180.0, -4.25f, static_cast<int32_t>(k2009) + 1, 0},
                               {89.9999, 0.0, 8848.0f, 0, 0}});  // a point without a time
}

TEST(Gpx, TrackWrittenReadsBackPointForPoint) {
    TestFolder folder;
    const auto track = SampleTrack();
    const std::string path = folder.File("Tom's <run>.gpx");
    ASSERT_TRUE(WriteTrackGpx(*track, path));
    const std::string text = folder.Read("Tom's <run>.gpx");
    EXPECT_NE(text.find("<name>Tom&apos;s &lt;run&gt;</name>"), std::string::npos) << text;
    EXPECT_NE(text.find("creator=\"Trakomer "), std::string::npos);
    EXPECT_EQ(text.find("<time>1970"), std::string::npos) << "a time of 0 is absent, not 1970";

    auto read = std::make_unique<Track>();
    testing::RecordingDialogs dialogs;
    ASSERT_EQ(ReadTrackGpx(path, *read, dialogs), ReadStatus::Ok);
    ASSERT_EQ(read->loadedCount, 3);
    for (int i = 0; i < 3; ++i) {
        const TrackPoint& a = track->points[i];
        const TrackPoint& b = read->points[i];
        EXPECT_NEAR(b.latitude, a.latitude, 1e-9) << i;
        // 180 and -180 are one meridian; GPX allows only the latter.
        EXPECT_NEAR(b.longitude, a.longitude == 180 ? -180 : a.longitude, 1e-9) << i;
        EXPECT_FLOAT_EQ(b.altitude, a.altitude) << i;
        // The point without a time takes the last time before it.
        EXPECT_EQ(b.time, i == 2 ? track->points[1].time : a.time) << i;
        EXPECT_EQ(b.hundredths, a.hundredths) << i;
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST(Gpx, ReaderJoinsSegmentsFallsBackToRoutesAndSkipsExtensions) {
    const std::string track =
        "<?xml version='1.0'?>\n"
        "<gpx xmlns='http://www.topografix.com/GPX/1/1' xmlns:x='urn:x' version='1.1' creator='t'>"
        "<metadata><time>2001-01-01T00:00:00Z</time></metadata>"
        "<wpt lat='1' lon='2'><ele>3</ele><name>Caf\xC3\xA9 &amp; bar</name></wpt>"
        "<wpt lat='-1' lon='-2'/>"
        "<rte><rtept lat='9' lon='9'/></rte>"
        "<trk><name>n</name><trkseg><trkpt lat='10' lon='20'><ele>5.5</ele>"
        "<time>2009-01-25T10:11:12.5Z</time><extensions><x:trkpt lat='0' lon='0'/></extensions>"
        "</trkpt></trkseg><trkseg><trkpt lat='11' lon='+21'><ele>bad</ele><time>never</time>"
        "</trkpt></trkseg></trk>"
        "<trk><trkseg><trkpt lat='12' lon='22'/></trkseg></trk></gpx>";
    GpxContent content;
    ASSERT_EQ(ParseGpx(track, content), "");
    ASSERT_EQ(content.trackCount, 3);
    const double expected[][5] = {
        {10, 20, 5.5, double(k2009), 50}, {11, 21, 0, double(k2009), 50}, {12, 22, 0, double(k2009), 50}};
    for (int i = 0; i < 3; ++i) {
        const TrackPoint& p = content.trackPoints->points[i];
        EXPECT_EQ(p.latitude, expected[i][0]) << i;
        EXPECT_EQ(p.longitude, expected[i][1]) << i;
        EXPECT_EQ(p.altitude, expected[i][2]) << i;
        EXPECT_EQ(p.time, expected[i][3]) << i;
        EXPECT_EQ(p.hundredths, expected[i][4]) << i;
    }
    EXPECT_EQ(content.routeCount, 1);
    ASSERT_EQ(content.waypoints.size(), 2u);
    EXPECT_EQ(content.waypoints[0].name, "Caf\xC3\xA9 & bar");
    EXPECT_EQ(content.waypoints[1].latitude, -1);

    // Without a track the route is the track (GPX 1.0 too).
    TestFolder folder;
    const std::string path =
        folder.Write("route.gpx",
                     "<gpx xmlns='http://www.topografix.com/GPX/1/0' version='1.0'><rte>"
                     "<rtept lat='1.5' lon='2.5'/><rtept lat='1.6' lon='2.6'/></rte></gpx>");
    auto read = std::make_unique<Track>();
    testing::RecordingDialogs dialogs;
    ASSERT_EQ(ReadTrackGpx(path, *read, dialogs), ReadStatus::Ok);
    EXPECT_EQ(read->loadedCount, 2);
    EXPECT_EQ(read->points[1].longitude, 2.6);
}

TEST(Gpx, DocumentsThatAreNotGpxAreRefusedAndChangeNothing) {
    struct Case {
        std::string text;
        const char* reason;
    };
    const Case cases[] = {
        {"", "not XML: "},
        {"GPX 1.1, honestly", "not XML: "},
        {"<gpx><trk><trkseg>", "not XML: "},  // cut short
        {"<kml><Document/></kml>", "not GPX: the root element is <kml>"},
        {"<x:gpx xmlns:x='urn:other'/>",
         "not GPX: the root element is <gpx> in the namespace \"urn:other\", not GPX's"},
        {"<?xml version='1.0'?><!DOCTYPE gpx [<!ENTITY a 'aaaaaaaaaa'><!ENTITY b '&a;&a;&a;'>]>"
         "<gpx><wpt lat='1' lon='1'><name>&b;</name></wpt></gpx>",
         "not GPX: the document declares entities"},
    };
    TestFolder folder;
    for (const Case& c : cases) {
        GpxContent content;
        const std::string error = ParseGpx(c.text, content);
        EXPECT_EQ(error.rfind(c.reason, 0), 0u) << c.text << " -> " << error;

        const std::string path = folder.Write("bad.gpx", c.text);
        auto track = testing::WalkTrack(5);
        track->loadedCount = 5;
        WaypointTable waypoints;
        waypoints.waypointCount = 1;
        testing::RecordingDialogs dialogs;
        EXPECT_EQ(ReadTrackGpx(path, *track, dialogs), ReadStatus::Corrupt);
        EXPECT_EQ(ReadWaypointsGpx(path, waypoints, dialogs), ReadStatus::Corrupt);
        EXPECT_EQ(track->loadedCount, 5);
        EXPECT_EQ(waypoints.waypointCount, 1);
        ASSERT_EQ(dialogs.messages.size(), 2u);
        EXPECT_EQ(dialogs.messages[0], "Error: Corrupt GPX file: " + error);
    }
    testing::RecordingDialogs dialogs;
    auto track = std::make_unique<Track>();
    EXPECT_EQ(ReadTrackGpx(folder.File("missing.gpx"), *track, dialogs), ReadStatus::CannotOpen);
    EXPECT_TRUE(dialogs.messages.size() == 0);
}

// Points 0.001 degrees of latitude apart, with a time where `seconds` has
// one (-1: none).
std::string TrackWithTimes(const std::vector<int>& seconds) {
    std::string text = "<gpx><trk><trkseg>";
    for (std::size_t i = 0; i < seconds.size(); ++i) {
        text += "<trkpt lat='" + std::to_string(48 + 0.001 * i) + "' lon='11'>";
        if (seconds[i] >= 0) text += "<time>" + FormatGpxTime(k2009 + seconds[i], 0) + "</time>";
        text += "</trkpt>";
    }
    return text + "</trkseg></trk></gpx>";
}

TEST(Gpx, PointsWithoutTimeTakeOneFromTheTimedPointsAround) {
    struct Case {
        std::vector<int> given;     // -1: no <time>
        std::vector<int> expected;  // -1: untimed (0)
    };
    const Case cases[] = {
        {{0, -1}, {0, 0}},
        {{-1, -1, 10, -1, -1, 40, -1}, {10, 10, 10, 20, 30, 40, 40}},
        {{-1, -1}, {-1, -1}},
        {{5, 6, 7}, {5, 6, 7}},
    };
    for (const Case& c : cases) {
        GpxContent content;
        ASSERT_EQ(ParseGpx(TrackWithTimes(c.given), content), "");
        ASSERT_EQ(content.trackCount, static_cast<int>(c.expected.size()));
        for (std::size_t i = 0; i < c.expected.size(); ++i) {
            const int32_t want = c.expected[i] < 0 ? 0 : static_cast<int32_t>(k2009 + c.expected[i]);
            EXPECT_EQ(content.trackPoints->points[i].time, want) << c.given.size() << " " << i;
        }
    }
}

TEST(Gpx, UnusablePointsAreSkippedAndWaypointsBeyondTheTableReported) {
    TestFolder folder;
    std::string many = "<gpx>";
    for (int i = 0; i < kMaxGpxWaypoints + 2; ++i) many += "<wpt lat='1' lon='1'/>";
    many += "<wpt lat='x' lon='1'/></gpx>";
    struct Case {
        std::string text;
        int trackCount, waypoints;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"<gpx><trk><trkseg><trkpt lat='91' lon='0'/><trkpt lon='1'><ele>3</ele></trkpt>"
         "<trkpt lat='1' lon='2'/></trkseg></trk><rte><rtept lat='1'/></rte></gpx>",
         1, 0,
         {"GPX file: 3 points without a valid latitude and longitude skipped.",
          "GPX file: 3 points without a valid latitude and longitude skipped."}},
        {many, 0, kMaxGpxWaypoints,
         {"GPX file: 1 point without a valid latitude and longitude skipped.",
          "GPX file: 1 point without a valid latitude and longitude skipped.",
          "GPX file: The file holds 513 waypoints; only the first 511 were read."}},
    };
    for (const Case& c : cases) {
        const std::string path = folder.Write("some.gpx", c.text);
        auto track = std::make_unique<Track>();
        WaypointTable waypoints;
        testing::RecordingDialogs dialogs;
        EXPECT_EQ(ReadTrackGpx(path, *track, dialogs), ReadStatus::Ok);
        EXPECT_EQ(ReadWaypointsGpx(path, waypoints, dialogs), ReadStatus::Ok);
        EXPECT_EQ(track->loadedCount, c.trackCount);
        EXPECT_EQ(waypoints.waypointCount, c.waypoints);
        EXPECT_EQ(dialogs.messages, c.messages);
    }
}

TEST(Gpx, LongTracksAreThinnedToCapacityKeepingBothEnds) {
    std::string text = "<gpx><trk><trkseg>\n";
    const int n = 3 * kTrackCapacity;
    for (int i = 0; i < n; ++i) {
        char point[128];
        std::snprintf(point, sizeof point, "<trkpt lat='%.6f' lon='7'><time>%s</time></trkpt>\n",
                      45 + i * 1e-5, FormatGpxTime(k2009 + i, 0).c_str());
        text += point;
    }
    text += "</trkseg></trk></gpx>";
    GpxContent content;
    ASSERT_EQ(ParseGpx(text, content), "");
    ASSERT_LE(content.trackCount, kTrackCapacity);
    EXPECT_GT(content.trackCount, kTrackCapacity / 4);
    const auto& points = content.trackPoints->points;
    EXPECT_EQ(points[0].time, k2009);
    EXPECT_EQ(points[content.trackCount - 1].time, k2009 + n - 1);
    for (int i = 1; i < content.trackCount; ++i) ASSERT_GT(points[i].time, points[i - 1].time) << i;
}

TEST(Gpx, WaypointsWrittenReadBackAndAnEmptyTableWritesNothing) {
    TestFolder folder;
    WaypointTable waypoints;
    EXPECT_EQ(WriteWaypointsGpx(waypoints, folder.File("none.gpx")), 0);
    EXPECT_LT(FileSize(folder.File("none.gpx")), 0);
    waypoints.entries[0] = {51.5, -0.1, "Tom's & <Jerry>"};
    waypoints.entries[1] = {-12.25, 130.75, "B"};
    waypoints.waypointCount = 2;
    ASSERT_GT(WriteWaypointsGpx(waypoints, folder.File("w.gpx")), 0);

    WaypointTable read;
    testing::RecordingDialogs dialogs;
    ASSERT_EQ(ReadWaypointsGpx(folder.File("w.gpx"), read, dialogs), ReadStatus::Ok);
    ASSERT_EQ(read.waypointCount, 2);
    EXPECT_EQ(read.entries[0].name, "Tom's & <Jerry>");
    EXPECT_EQ(read.entries[1].longitude, 130.75);
    // A document without waypoints keeps the table.
    const auto track = SampleTrack();
    ASSERT_TRUE(WriteTrackGpx(*track, folder.File("t.gpx")));
    ASSERT_EQ(ReadWaypointsGpx(folder.File("t.gpx"), read, dialogs), ReadStatus::Ok);
    EXPECT_EQ(read.waypointCount, 2);
}

}  // namespace
}  // namespace trakomer
