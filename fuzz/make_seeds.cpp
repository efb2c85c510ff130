// Writes the seed corpora of the fuzz targets with the program's own
// writers: fuzz/make_seeds CORPUS_DIR DEMO_LOG. Run by tools/fuzz.sh
// --make-seeds; the corpora are committed.

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "core/settings.h"
#include "core/settings_file.h"
#include "files/gpx_writer.h"
#include "files/journal_recovery.h"
#include "files/kml_writer.h"
#include "files/recording_journal.h"
#include "files/trk_file.h"
#include "maps/map_package.h"
#include "tests/gl/tga_builder.h"

namespace {

namespace fs = std::filesystem;
using namespace trakomer;

std::string root;

void Seed(const std::string& target, const std::string& name, const std::string& bytes) {
    fs::create_directories(root + "/" + target);
    std::ofstream(root + "/" + target + "/" + name, std::ios::binary) << bytes;
}

std::string Bytes(const std::vector<uint8_t>& v) {
    return std::string(v.begin(), v.end());
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Five points walking north-east, as a stopped recording leaves them.
void FillTrack(Track& track) {
    for (int i = 0; i < 5; ++i) {
        TrackPoint& p = track.points[i];
        p.latitude = 48.1 + i * 0.0002;
        p.longitude = 11.5 + i * 0.0001;
        p.altitude = 520.0f + static_cast<float>(i);
        p.time = 1'237'118'400 + i * 5;
        p.hundredths = static_cast<uint8_t>(i * 10);
    }
    track.lastIndex = 5;  // live: points 0..4 are written
}

void TrackSeeds(const std::string& temp) {
    auto track = std::make_unique<Track>();
    FillTrack(*track);
    Seed("trk", "five_points.trk", EncodeTrk(*track, "five points"));
    auto empty = std::make_unique<Track>();
    Seed("trk", "empty.trk", EncodeTrk(*empty, ""));
    const Settings settings = DefaultSettings(temp);
    Seed("kml_track", "five_points.kml", ComposeTrackKml(*track, settings, "five points"));
    Seed("kml_track", "location.kml", ComposeLocationKml(*track, settings, "location"));

    WaypointTable waypoints;
    waypoints.entries[0] = {48.1, 11.5, "Home & <garden>"};
    waypoints.entries[1] = {-33.9, 151.2, "Harbour"};
    waypoints.waypointCount = 2;
    Seed("kml_waypoints", "two.kml", ComposeWaypointsKml(waypoints, "waypoints"));

    const std::string trz = temp + "/seed.trz";
    WriteTrz(*track, trz, temp);
    Seed("zip", "five_points.trz", FileBytes(trz));
    const std::string kmz = temp + "/seed.kmz";
    WriteWaypointsKmz(waypoints, kmz);
    Seed("zip", "waypoints.kmz", FileBytes(kmz));

    Seed("gpx", "five_points.gpx", ComposeTrackGpx(*track, "five points"));
    Seed("gpx", "two_waypoints.gpx", ComposeWaypointsGpx(waypoints));
    // GPX 1.0 as other programs write it: a route, an extension and a
    // waypoint without a name.
    Seed("gpx", "route_1_0.gpx",
         "<?xml version=\"1.0\"?>\n"
         "<gpx version=\"1.0\" xmlns=\"http://www.topografix.com/GPX/1/0\">\n"
         "<wpt lat=\"48.1\" lon=\"11.5\"><ele>520</ele></wpt>\n"
         "<rte><name>r</name><rtept lat=\"48.1\" lon=\"11.5\"><time>2009-03-14T10:00:00Z</time>"
         "</rtept><rtept lat=\"48.2\" lon=\"11.6\"><extensions><x:a xmlns:x=\"urn:x\">1</x:a>"
         "</extensions></rtept></rte>\n</gpx>\n");

    JournalHeader header;
    header.profile = 4;
    header.units = 1;
    header.startTime = 1'237'118'400;
    std::string journal = EncodeJournalHeader(header);
    for (int i = 0; i < 5; ++i) journal += EncodeJournalRecord(track->points[i]);
    Seed("journal", "five_points.journal", journal);
    Seed("journal", "torn.journal", journal.substr(0, journal.size() - 11));
}

std::string RgbTga() {
    std::vector<uint8_t> rgb = gl::testing::TgaHeader({2, 2, 2, 24, 0});
    for (int i = 0; i < 12; ++i) rgb.push_back(static_cast<uint8_t>(i * 20));
    return Bytes(rgb);
}

// Run-length: one run of 3 pixels, one raw packet of 1, 32 bits.
std::string RleTga() {
    std::vector<uint8_t> rle = gl::testing::TgaHeader({10, 2, 2, 32, 8});
    rle.insert(rle.end(), {0x82, 1, 2, 3, 4, 0x00, 5, 6, 7, 8});
    return Bytes(rle);
}

void TgaSeeds() {
    using gl::testing::TgaHeader;
    Seed("tga", "rgb_2x2.tga", RgbTga());
    std::vector<uint8_t> grey = TgaHeader({3, 2, 1, 8, 0x20});
    grey.insert(grey.end(), {0, 255});
    Seed("tga", "grey_top_down.tga", Bytes(grey));
    Seed("tga", "rle_2x2.tga", RleTga());
}

// Packages as trakomer-cli mappack writes them, and the texts they and the
// image list hold.
void MapSeeds(const std::string& temp) {
    const std::string package = temp + "/seed.tgz";
    if (maps::WriteMapPackage(package, "alps.tga", RgbTga(), {48.1, 11.5, 48.2, 11.6})) {
        Seed("map_package", "rgb_2x2.tgz", FileBytes(package));
    }
    if (maps::WriteMapPackage(package, "coast.tga", RleTga(), {-34.0, 151.0, -33.8, 151.3})) {
        Seed("map_package", "rle_2x2.tgz", FileBytes(package));
    }
    // An image that claims more than a package may hold, in a few bytes.
    if (maps::WriteMapPackage(package, "huge.tga",
                            Bytes(gl::testing::TgaHeader({10, 5000, 5000, 24, 0})), {0, 0, 1, 1})) {
        Seed("map_package", "huge_sides.tgz", FileBytes(package));
    }

    Seed("image_list", "mapfiles.ini",
         FileBytes(TRAKOMER_SOURCE_DIR "/resources/data/mapfiles.ini"));
    Seed("image_list", "folders.ini",
         "maps\\alps.tga,47.2,10.1,48.0,12.5\r\n/opt/maps/coast.tga,-34,151,-33.8,151.3\r\n"
         "short.tga,1,2,3\r\n");
    Seed("image_list", "calibration.txt", "48.10000000 11.50000000 48.20000000 11.60000000\r\n");
}

void TextSeeds(const std::string& demoLog) {
    Seed("settings", "defaults.ini", FormatSettings(DefaultSettings("/home/user/Documents")));
    std::ifstream in(demoLog, std::ios::binary);
    std::string line, nmea;
    for (int n = 0; std::getline(in, line) && n < 1600; ++n) {
        if (n >= 1560) nmea += line + "\n";
    }
    Seed("nmea", "demo_seconds.nmea", nmea);
    Seed("ftp_reply", "login.txt",
         "220 Service ready\r\n331 Password required\r\n230 Logged in\r\n200 PORT ok\r\n"
         "150 Opening data connection\r\n226 Transfer complete\r\n221 Bye\r\n");
    Seed("ftp_reply", "multiline.txt",
         "220-Welcome\r\n220-to the server\r\n 230 not the end\r\n220 Ready\r\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    root = argv[1];
    const std::string temp = fs::temp_directory_path() / "trakomer-seeds";
    fs::create_directories(temp);
    TrackSeeds(temp);
    TgaSeeds();
    MapSeeds(temp);
    TextSeeds(argv[2]);
    fs::remove_all(temp);
    return 0;
}
