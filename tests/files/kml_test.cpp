#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <regex>

#include "core/settings.h"
#include "files/kml_reader.h"
#include "files/kml_writer.h"
#include "files/zip_archive.h"
#include "tests/files/recording_dialogs.h"
#include "tests/files/test_folder.h"
#include "tests/files/track_fixture.h"

namespace trakomer {
namespace {

using testing::RecordingDialogs;
using testing::TestFolder;
using testing::WalkTrack;

std::vector<std::string> AllMatches(const std::string& text, const std::string& pattern) {
    std::vector<std::string> found;
    const std::regex re(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it) {
        found.push_back((*it)[1]);
    }
    return found;
}

std::string TimeFolder(const std::string& kml) {
    const auto start = kml.find("<name>Time</name>");
    return kml.substr(start, kml.find("<name>Distance</name>") - start);
}

TEST(TrackKml, TimeMarkersStepSoThereAreAboutAHundred) {
    struct Case { int points; int markers; int step; };
    for (Case c : {Case{250, 125, 2}, Case{50, 50, 1}, Case{100, 100, 1}, Case{1000, 100, 10}}) {
        auto track = WalkTrack(c.points);
        const auto names = AllMatches(TimeFolder(ComposeTrackKml(*track, Settings{}, "t.kmz")),
                                      "<name>(\\d\\d:\\d\\d:\\d\\d)</name>");
        ASSERT_EQ(static_cast<int>(names.size()), c.markers) << c.points;
        // Points are a second apart: the marker of point i shows i seconds.
        EXPECT_EQ(names[1], c.step < 10 ? "00:00:0" + std::to_string(c.step) : "00:00:10");
    }
}

TEST(TrackKml, DistanceMarkersFollowHalfUnitThresholdsAndTheLastPoint) {
    // 0.31 km between points (0.31 / 111.195 degrees of latitude).
    auto track = WalkTrack(11, 0.31 / 111.19508);
    Settings settings;
    const std::string kml = ComposeTrackKml(*track, settings, "d.kmz");
    const auto names = AllMatches(kml, "<name>([0-9.]+ km)</name>");
    EXPECT_EQ(names, (std::vector<std::string>{"0.62 km", "1.24 km", "1.55 km", "2.17 km",
                                               "2.79 km", "3.10 km"}));
    settings.mUnits = 2;
    const auto miles = AllMatches(ComposeTrackKml(*track, settings, "d.kmz"), "<name>([0-9.]+ miles)</name>");
    EXPECT_EQ(miles.front(), "0.58 miles");
    EXPECT_EQ(miles.back(), "1.92 miles");
}

TEST(TrackKml, DocumentTextsFollowTheProfileAndUser) {
    auto track = WalkTrack(3);
    Settings settings;
    settings.mUserProfile = 1;
    std::string kml = ComposeTrackKml(*track, settings, "my <walk>.kmz");
    EXPECT_NE(kml.find("<name>my &lt;walk&gt;.kmz</name>\n<description>A walk recorded by Trakomer, "
                       "https://trakomer.example.org/</description>\n  <LookAt>\n"
                       "    <longitude>0.500000</longitude>\n    <latitude>51.000000</latitude>\n"),
              std::string::npos);
    EXPECT_NE(kml.find("<coordinates>\n0.500000,51.000000,100 0.500000,51.000100,101 "
                       "0.500000,51.000200,102 \n  </coordinates>"),
              std::string::npos);
    settings.mUserName = "Ann & Bo";
    settings.mUserProfile = 2;
    track->loadedCount = 3;  // under review: always a route
    track->lastIndex = 2;
    kml = ComposeLocationKml(*track, settings, "loc.kmz");
    EXPECT_NE(kml.find("<description>A route by Ann &amp; Bo, recorded with Trakomer</description>\n"
                       "  <styleUrl>"),
              std::string::npos);
    EXPECT_EQ(kml.find("LookAt"), std::string::npos);
    // The one marker is the newest point, timed from point 0.
    EXPECT_NE(kml.find("<name>00:00:02</name>"), std::string::npos);
}

TEST(TrackKmz, ArchiveHoldsTheDocumentAndTheIcon) {
    TestFolder folder;
    folder.Write("run.png", "PNG");
    auto track = WalkTrack(5);
    const std::string path = folder.File("run1.kmz");
    const int64_t size = WriteTrackKmz(*track, Settings{}, path, folder.path());
    EXPECT_EQ(size, static_cast<int64_t>(folder.Read("run1.kmz").size()));
    std::string entry;
    EXPECT_EQ(ReadSingleZipEntry(path, 1 << 20, entry), ZipReadStatus::NotSingleEntry);
    EXPECT_EQ(WriteTrackKmz(*track, Settings{}, folder.File("no/dir.kmz"), folder.path()), -1);
}

TEST(ChangesZip, LinesFromTheGivenIndex) {
    TestFolder folder;
    auto track = WalkTrack(4);
    track->points[2].altitude = -7.9f;
    EXPECT_EQ(ComposeChanges(*track, 2), "1232878274,-7,51.000200,0.500000\n"
                                         "1232878275,103,51.000300,0.500000\n");
    const int64_t written = WriteChangesZip(*track, folder.File("c.zip"), 2);
    EXPECT_EQ(written, 67);
    std::string entry;
    ASSERT_EQ(ReadSingleZipEntry(folder.File("c.zip"), 1 << 20, entry), ZipReadStatus::Ok);
    EXPECT_EQ(static_cast<int64_t>(entry.size()), written);
    EXPECT_EQ(WriteChangesZip(*track, folder.File("c2.zip"), 4), 0);
}

WaypointTable Waypoints(std::initializer_list<Waypoint> list) {
    WaypointTable table;
    for (const Waypoint& w : list) table.entries[table.waypointCount++] = w;
    return table;
}

TEST(Waypoints, NamesWithEntitiesRoundTripThroughKmz) {
    TestFolder folder;
    const WaypointTable table = Waypoints({{51.5, -0.1, "Tom's & Jerry's"},
                                           {-33.5, 151.25, "a<b>c"},
                                           {1, 2, "Ünïcödé"}});
    const std::string kml = ComposeWaypointsKml(table, "w.kmz");
    EXPECT_NE(kml.find("\t<name>Tom&apos;s &amp; Jerry&apos;s</name>\n"), std::string::npos);
    EXPECT_NE(kml.find("\t\t<coordinates>-0.100000,51.500000,0.0</coordinates>\n"), std::string::npos);

    const std::string path = folder.File("w.kmz");
    ASSERT_GT(WriteWaypointsKmz(table, path), 0);
    WaypointTable back;
    RecordingDialogs dialogs;
    ASSERT_EQ(ReadWaypointsKmz(path, back, dialogs), ReadStatus::Ok);
    ASSERT_EQ(back.waypointCount, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(back.entries[i].name, table.entries[i].name);
        EXPECT_EQ(back.entries[i].latitude, table.entries[i].latitude);
        EXPECT_EQ(back.entries[i].longitude, table.entries[i].longitude);
    }
    EXPECT_EQ(WriteWaypointsKmz(WaypointTable{}, folder.File("none.kmz")), 0);
    EXPECT_FALSE(std::filesystem::exists(folder.File("none.kmz")));
}

TEST(Waypoints, ReaderCases) {
    struct Case {
        const char* what;
        std::string kml;
        int count;
        std::string firstName;
        double firstLat;
    };
    const Case cases[] = {
        {"no closing placemark", "<Placemark>\n<name>A</name>\n<coordinates>1,2</coordinates>\n", 0, "keep", 9},
        {"unindented name", "<Placemark>\n<name>A b</name>\n<coordinates>1,2,0</coordinates>\n</Placemark>\n",
         1, "A b", 2},
        {"numbers on the next line", "<Placemark>\n <name>N</name>\n <coordinates>\n  3.5 , 4.5,0\n"
         " </coordinates>\n</Placemark>\n", 1, "N", 4.5},
        {"name on the next line", "<Placemark>\n<name>\nWord</name>\n<coordinates>1,2</coordinates>\n</Placemark>\n",
         1, "Word", 2},
        {"long name cut", "<Placemark><name>" + std::string(40, 'x') + "</name><coordinates>1,2</coordinates></Placemark>\n",
         1, std::string(31, 'x'), 2},
        {"folder name ignored", "<Folder><name>F</name>\n<Placemark>\n<coordinates>5,6</coordinates>\n</Placemark>\n",
         1, "", 6},
        {"impossible coordinates", "<Placemark><name>Z</name><coordinates>nan,95</coordinates></Placemark>\n",
         1, "Z", 0},
    };
    for (const Case& c : cases) {
        WaypointTable table = Waypoints({{9, 9, "keep"}});
        ParseWaypointsKml(c.kml, table);
        EXPECT_EQ(table.waypointCount, c.count == 0 ? 1 : c.count) << c.what;
        EXPECT_EQ(table.entries[0].name, c.firstName) << c.what;
        EXPECT_EQ(table.entries[0].latitude, c.firstLat) << c.what;
    }
}

TEST(Waypoints, AtMost511AreRead) {
    std::string kml;
    for (int i = 0; i < 600; ++i) {
        kml += "<Placemark>\n\t<name>P" + std::to_string(i) +
               "</name>\n\t<coordinates>1,2,0</coordinates>\n</Placemark>\n";
    }
    WaypointTable table;
    EXPECT_EQ(ParseWaypointsKml(kml, table), 511);
    EXPECT_EQ(table.waypointCount, 511);
    EXPECT_EQ(table.entries[510].name, "P510");
}

TEST(Waypoints, KmzOfTwoEntriesIsCorrupt) {
    TestFolder folder;
    ASSERT_TRUE(WriteZip(folder.File("two.kmz"), {{"a.kml", ""}, {"run.png", ""}}));
    WaypointTable table = Waypoints({{1, 1, "kept"}});
    RecordingDialogs dialogs;
    EXPECT_EQ(ReadWaypointsKmz(folder.File("two.kmz"), table, dialogs), ReadStatus::Corrupt);
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Error: Corrupt file"});
    EXPECT_EQ(table.waypointCount, 1);
}

TEST(TrackKmlReader, ReadsTheFirstLineStringOrCoordinatesElement) {
    struct Case {
        const char* what;
        std::string kml;
        int loaded;
    };
    const Case cases[] = {
        {"words around the tags", "<x> <coordinates>1,2,3 4,5,6\n7,8,9</coordinates> 10,11,12", 3},
        {"numbers glued to both tags", "<coordinates>1,2,3</coordinates>", 1},
        {"pairs add nothing, text after three numbers is ignored",
         "<coordinates>1,2 3,4,5 bad 6,7,8,9 1.04,2,3x 200,1,1 1,1,nan</coordinates>", 3},
        {"the line string's coordinates, not a marker's",
         "<Point><coordinates>9,9,9</coordinates></Point>\n<LineString>\n<coordinates>\n"
         "1,2,3 4,5,6\n</coordinates></LineString>", 2},
        {"no closing tag", "<coordinates>\n1,2,3\n4,5,6\n", 2},
        {"empty element", "<coordinates></coordinates>", 0},
    };
    for (const Case& c : cases) {
        auto track = std::make_unique<Track>();
        ASSERT_TRUE(ParseTrackKml(c.kml, *track)) << c.what;
        EXPECT_EQ(track->loadedCount, c.loaded) << c.what;
    }
    auto track = std::make_unique<Track>();
    track->loadedCount = 7;
    EXPECT_FALSE(ParseTrackKml("<kml>1,2,3</kml>", *track));
    EXPECT_EQ(track->loadedCount, 7);
}

// Every spelling of "lon,lat,alt" is taken or refused exactly as the C
// library's "%lf,%lf,%lf" scanner takes it, with the same values.
TEST(TrackKmlReader, NumbersAreReadAsTheCScannerReadsThem) {
    const char* words[] = {
        "+1.5,-2.25,3e2",  "1.,.5,-0",       "-.5,+.5,1E+2x",   "1.04,2,3x",     "1,2,3.5.6",
        "0x1p3,2,3",       "1,2,0x10",       "00x1,2,3",        "1e,2,3",        "1,2,3e",
        "1,2,3e+",         "1e400,2,3",      "1,2,1e-400",      "4.9e-324,1,1",  ".,1,2",
        "+-1,2,3",         "1,,2,3",         "inf,1,2",         "1,2,infinity",  "1,2,nan",
        "0.1234567890123456789012345,1,1",   "-180,-90,-1e7",   "180.0000001,0,0", "1;2;3",
    };
    for (const char* word : words) {
        double lon = 0, lat = 0, alt = 0;
        const bool valid = std::sscanf(word, "%lf,%lf,%lf", &lon, &lat, &alt) == 3 &&
                           std::isfinite(lon) && std::isfinite(lat) && std::fabs(lon) <= 180 &&
                           std::fabs(lat) <= 90 && std::isfinite(alt) && std::fabs(alt) <= 1e7;
        auto track = std::make_unique<Track>();
        ASSERT_TRUE(ParseTrackKml(std::string("<coordinates>") + word + "</coordinates>", *track));
        ASSERT_EQ(track->loadedCount, valid ? 1 : 0) << word;
        if (!valid) continue;
        EXPECT_EQ(track->points[0].longitude, lon) << word;
        EXPECT_EQ(track->points[0].latitude, lat) << word;
        EXPECT_EQ(track->points[0].altitude, static_cast<float>(alt)) << word;
    }
}

TEST(TrackKmlReader, HundredThousandCoordinatesStopAtTheTrackCapacity) {
    std::string kml = "<Placemark><LineString><coordinates>\n";
    for (int i = 0; i < 100000; ++i) kml += "0.5," + std::to_string(i % 90) + ",10 ";
    kml += "\n</coordinates></LineString></Placemark>\n";
    auto track = std::make_unique<Track>();
    ASSERT_TRUE(ParseTrackKml(kml, *track));
    EXPECT_EQ(track->loadedCount, kTrackCapacity);
    EXPECT_EQ(track->points[8191].latitude, 8191 % 90);
    EXPECT_EQ(track->points[8191].altitude, 10.0f);
}

}  // namespace
}  // namespace trakomer
