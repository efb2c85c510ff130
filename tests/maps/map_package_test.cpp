#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "files/zip_archive.h"
#include "maps/image_list.h"
#include "maps/map_package.h"
#include "tests/gl/tga_builder.h"

namespace trakomer::maps {
namespace {

TEST(ImageList, LinesKeepTheirPathAndCorners) {
    struct Case {
        const char* line;
        bool loads;
        const char* path;
        MapCorners corners;
    };
    const Case cases[] = {
        {"maps\\city.tga,-33.9,151.1,-33.8,151.3",
         true,
         "maps\\city.tga",
         {-33.9, 151.1, -33.8, 151.3}},
        {"maps/city.tga,-33.9,151.1,-33.8,151.3\r",
         true,
         "maps/city.tga",
         {-33.9, 151.1, -33.8, 151.3}},
        {"earthmap.tga,-90,-180,90,180", true, "/prog/earthmap.tga", {-90, -180, 90, 180}},
        // Empty fields vanish; unreadable numbers are 0, trailing text ignored.
        {"a.tga,,x,2.5deg,+3,4", true, "/prog/a.tga", {0, 2.5, 3, 4}},
        {"b.tga,inf,-nan,1e999,4", true, "/prog/b.tga", {0, 0, 1, 4}},
        {"# comment.tga,1,2,3,4", false, "", {}},
        {"short.tga,1,2,3", false, "", {}},
        {"", false, "", {}},
    };
    for (const Case& c : cases) {
        const auto entry = ParseImageListLine(c.line, "/prog");
        ASSERT_EQ(entry.has_value(), c.loads) << c.line;
        if (!entry) continue;
        EXPECT_EQ(entry->path, c.path);
        EXPECT_DOUBLE_EQ(entry->corners.lat1, c.corners.lat1) << c.line;
        EXPECT_DOUBLE_EQ(entry->corners.lon1, c.corners.lon1) << c.line;
        EXPECT_DOUBLE_EQ(entry->corners.lat2, c.corners.lat2) << c.line;
        EXPECT_DOUBLE_EQ(entry->corners.lon2, c.corners.lon2) << c.line;
    }
    EXPECT_EQ(ImageFileFor("maps\\city.tga", "/prog"), "/prog/maps/city.tga");
    EXPECT_EQ(ImageFileFor("/srv/city.tga", "/prog"), "/srv/city.tga");
    EXPECT_EQ(ParseImageList("a.tga,1,2,3,4\n#b\nc.tga,5,6,7,8\n", "/p").size(), 2u);
}

TEST(ImageList, CalibrationTakesTheLastLineOfFourNumbers) {
    const auto corners = ParseCalibration("1 2 3 4\r\n48.1 11.5\t 48.2 11.6\r\n\r\n");
    ASSERT_TRUE(corners.has_value());
    EXPECT_DOUBLE_EQ(corners->lat1, 48.1);
    EXPECT_DOUBLE_EQ(corners->lon2, 11.6);
    EXPECT_FALSE(ParseCalibration("1 2 3\n").has_value());
}

TEST(MapPackage, ReadsBothEntriesInMemoryAndReportsWhatIsWrong) {
    gl::testing::TempDir dir;
    const std::string good = (dir.path() / "good.tgz").string();
    ASSERT_TRUE(WriteMapPackage(good, "../../outside.tga", "TGA", {1, 2, 3, 4}));
    MapPackage package;
    std::vector<std::string> messages;
    ASSERT_TRUE(ReadMapPackage(good, package, messages));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(package.imageName, "../../outside.tga");
    EXPECT_EQ(package.imageBytes, "TGA");
    EXPECT_DOUBLE_EQ(package.corners.lat1, 1);
    EXPECT_DOUBLE_EQ(package.corners.lon2, 4);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "../../outside.tga"));

    const std::string three = (dir.path() / "three.tgz").string();
    ASSERT_TRUE(WriteZip(three, {{"a.tga", "x"}, {"a.txt", "1 2 3 4"}, {"b.txt", "y"}}));
    const std::string huge = (dir.path() / "huge.tgz").string();
    const std::vector<uint8_t> header =
        gl::testing::TgaHeader({.type = 10, .width = 8192, .height = 8192});
    ASSERT_TRUE(WriteMapPackage(huge, "huge.tga",
                                std::string(header.begin(), header.end()) + "\xFF", {1, 2, 3, 4}));
    const std::string junk = (dir.path() / "junk.tgz").string();
    gl::testing::WriteFile(junk, {'n', 'o', 't', ' ', 'z', 'i', 'p'});
    struct Case {
        std::string path;
        std::string message;
    };
    const Case cases[] = {{three, "Expected 2 zip entries but found 3: " + three},
                          {junk, "Unable to OpenZip " + junk},
                          {huge,
                           "Unable to UnzipItem huge.tga: the image is 8192 x 8192 pixels, "
                           "more than 4096 a side"},
                          {dir.path().string(), "Unable to OpenZip " + dir.path().string()}};
    for (const Case& c : cases) {
        messages.clear();
        EXPECT_FALSE(ReadMapPackage(c.path, package, messages));
        EXPECT_EQ(messages, std::vector<std::string>{c.message});
    }
    EXPECT_EQ(FindMapPackages(dir.path().string()),
              (std::vector<std::string>{"good.tgz", "huge.tgz", "junk.tgz", "three.tgz"}));
}

TEST(MapPackage, TheLargestAllowedImageIsRead) {
    gl::testing::TempDir dir;
    const std::string path = (dir.path() / "largest.tgz").string();
    const std::vector<uint8_t> header =
        gl::testing::TgaHeader({.type = 2, .width = 4096, .height = 4096, .depth = 32});
    std::string image(header.begin(), header.end());
    image.resize(image.size() + size_t{4096} * 4096 * 4, '\x7F');
    ASSERT_TRUE(WriteMapPackage(path, "largest.tga", image, {1, 2, 3, 4}));
    MapPackage package;
    std::vector<std::string> messages;
    EXPECT_TRUE(ReadMapPackage(path, package, messages));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(package.imageBytes.size(), image.size());
}

}  // namespace
}  // namespace trakomer::maps
