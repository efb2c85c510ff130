// trakomer-cli mappack: a picture and its corners become a package that
// loads as a map, upright and calibrated.
#include <gtest/gtest.h>

#include <stb_image_write.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <span>
#include <vector>

#include "maps/map_package.h"
#include "gl/tga_reader.h"
#include "tests/cli/cli_runner.h"
#include "tests/maps/tile_fixture.h"

namespace trakomer {
namespace {

namespace fs = std::filesystem;

TEST(Mappack, PictureBecomesAnUprightCalibratedPackage) {
    char pattern[] = "/tmp/trakomer-mappack-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path dir = pattern;
    // 300 x 100, top row first: green in the top quarter, red below it on
    // the left half, blue on the right half.
    std::vector<unsigned char> rgb;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 300; ++x) {
            const bool top = y < 25;
            rgb.insert(rgb.end(), {static_cast<unsigned char>(!top && x < 150 ? 255 : 0),
                                   static_cast<unsigned char>(top ? 255 : 0),
                                   static_cast<unsigned char>(!top && x >= 150 ? 255 : 0)});
        }
    }
    const std::string png = (dir / "city.png").string();
    ASSERT_NE(stbi_write_png(png.c_str(), 300, 100, 3, rgb.data(), 300 * 3), 0);
    const std::string out = (dir / "city.tgz").string();

    const test::CliRun run =
        test::Shell(test::kCli + " mappack " + png + " --corners 48.1,11.5,48.2,11.8 " + out);
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("\"width\":256,\"height\":128"), std::string::npos) << run.out;

    maps::MapPackage package;
    std::vector<std::string> messages;
    ASSERT_TRUE(maps::ReadMapPackage(out, package, messages));
    EXPECT_EQ(package.imageName, "city.tga");
    EXPECT_DOUBLE_EQ(package.corners.lat1, 48.1);
    EXPECT_DOUBLE_EQ(package.corners.lon2, 11.8);
    std::string error;
    const auto* bytes = reinterpret_cast<const uint8_t*>(package.imageBytes.data());
    const auto image = gl::DecodeTga(std::span(bytes, package.imageBytes.size()), "city", error);
    ASSERT_TRUE(image.has_value()) << error;
    ASSERT_EQ(image->width, 256);
    ASSERT_EQ(image->height, 128);
    // The first texel is the south-west corner, the last row the north.
    auto texel = [&](int x, int y) {
        const uint8_t* p = image->pixels.data() + (static_cast<size_t>(y) * 256 + x) * 3;
        return std::vector<int>{p[0], p[1], p[2]};
    };
    EXPECT_EQ(texel(10, 10), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(texel(240, 10), (std::vector<int>{0, 0, 255}));
    EXPECT_EQ(texel(10, 120), (std::vector<int>{0, 255, 0}));

    for (const char* bad : {" --corners 48.2,11.5,48.1,11.8 ", " --corners 48,11 "}) {
        EXPECT_EQ(test::Shell(test::kCli + " mappack " + png + bad + out + " 2>&1").exitCode, 2)
            << bad;
    }
    fs::remove_all(dir);
}

TEST(Mappack, TilesAroundATrackMakeAPackageThatASecondRunTakesFromTheCache) {
    const fs::path dir = maps::testing::MakeTempDir();
    std::string gpx = "<?xml version=\"1.0\"?><gpx version=\"1.1\" creator=\"t\"><trk><trkseg>";
    for (int i = 0; i < 20; ++i) {
        gpx += "<trkpt lat=\"" + std::to_string(48.10 + i * 0.0005) + "\" lon=\"" +
               std::to_string(11.50 + i * 0.0007) + "\"/>";
    }
    std::ofstream(dir / "walk.gpx") << gpx << "</trkseg></trk></gpx>";
    const int z = 15;
    maps::testing::WriteTileFolder(dir / "tiles", z, 17428, 11373, 17434, 11379);
    maps::testing::TileHttpServer server(dir / "tiles");
    ASSERT_GT(server.Port(), 0);
    const std::string command = "XDG_CACHE_HOME=" + (dir / "cache").string() + " " + test::kCli +
                                " mappack --tiles '" + server.Template() + "' --around " +
                                (dir / "walk.gpx").string() + " --margin 0.3 --zoom 15 " +
                                (dir / "walk.tgz").string() + " 2>&1";
    const test::CliRun first = test::Shell(command);
    ASSERT_EQ(first.exitCode, 0) << first.out;
    const std::regex shape(
        R"(\{"packages":\[\{"file":"[^"]+/walk\.tgz","width":(\d+),"height":(\d+),"corners":\[)"
        R"(([-\d.]+),([-\d.]+),([-\d.]+),([-\d.]+)\]\}\],"tiles":(\d+),"fromCache":0,"zoom":15\}\n)");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(first.out, m, shape)) << first.out;
    EXPECT_LT(std::stod(m[3]), 48.10);
    EXPECT_LT(std::stod(m[4]), 11.50);
    EXPECT_GT(std::stod(m[5]), 48.1095);
    EXPECT_GT(std::stod(m[6]), 11.5133);
    const std::string tiles = m[7];
    const test::CliRun second = test::Shell(command);
    EXPECT_NE(second.out.find("\"tiles\":" + tiles + ",\"fromCache\":" + tiles + ","),
              std::string::npos)
        << second.out;
    fs::remove_all(dir);
}

}  // namespace
}  // namespace trakomer
