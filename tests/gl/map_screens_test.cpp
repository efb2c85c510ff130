// Whole frames of the track and globe screens with images loaded the way
// the program loads them: a map package and the image list.
#include <gtest/gtest.h>

#include <GLES/gl.h>

#include <fstream>
#include <functional>
#include <memory>

#include "gl/image_loader.h"
#include "gl/image_read_ahead.h"
#include "maps/map_package.h"
#include "gl/screen_views.h"
#include "tests/gl/gl_fixture.h"
#include "tests/gl/tga_builder.h"

namespace trakomer::gl {
namespace {

using testing::Rgb;

constexpr Rgb kRed{255, 0, 0}, kBlue{0, 0, 255}, kGreen{0, 255, 0}, kYellow{255, 255, 0},
    kMagenta{255, 0, 255}, kWhite{255, 255, 255};

// A 24-bit TGA, bottom row first, of colour(x, y).
std::string Picture(int width, int height, const std::function<Rgb(int, int)>& colour) {
    std::vector<uint8_t> bytes = testing::TgaHeader({.width = width, .height = height});
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb c = colour(x, y);
            bytes.insert(bytes.end(), {c[2], c[1], c[0]});
        }
    }
    return std::string(bytes.begin(), bytes.end());
}

std::string Plain(Rgb c) {
    return Picture(4, 4, [c](int, int) { return c; });
}

void Write(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

Rgb At(const FrameImage& frame, int x, int y) {
    return testing::GlFixture::At(frame, x, y);
}

class MapScreensTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto& d = dir.path();
        // Map A (a package) covers the whole view: red west of the newest
        // point, blue east of it. Map B (the list) is smaller and green.
        ASSERT_TRUE(maps::WriteMapPackage((d / "a.tgz").string(), "a.tga",
                                    Picture(4, 4, [](int x, int) { return x < 2 ? kRed : kBlue; }),
                                    {9.997, 19.998, 10.003, 20.004}));
        Write(d / "b.tga", Plain(kGreen));
        // The earth: red around 10 N 20 E, blue elsewhere.
        Write(d / "earthmap.tga", Picture(64, 32, [](int x, int y) {
                  return x >= 32 && x < 40 && y >= 15 && y < 21 ? kRed : kBlue;
              }));
        Write(d / "eye.tga", Plain(kWhite));
        Write(d / "startup.tga", Plain(kYellow));
        Write(d / "startbutton.tga", Plain(kMagenta));
        Write(d / "mapfiles.ini",
              "# maps\nb.tga,10.0005,20.0005,10.0025,20.0025\nmissing.tga,1,2,3,4\n"
              "earthmap.tga,0,0,0,0\neye.tga,0,0,0,0\nstartup.tga,0,0,0,0\n"
              "startbutton.tga,0,0,0,0\n");

        views.imageLoader =
            MakeImageLoader(d.string(), [this](const std::string& m) { messages.push_back(m); });
        gl.windowRect = {0, 0, 240, 320};
        gl.views = &views;
        ASSERT_TRUE(InitGl(gl)) << "no EGL/GLES 1 context";
        ResizeGl(gl, 1);
        // Eleven points eastward along 10 N, the newest at 20.001 E.
        for (int i = 0; i <= 10; ++i) {
            TrackPoint& p = track->points[static_cast<size_t>(i)];
            p.latitude = 10.0;
            p.longitude = 20.0 + i * 0.0001;
        }
        track->lastIndex = 10;
        views.inputs.track = track.get();
        views.inputs.recordingState = 2;
    }
    void TearDown() override { ShutdownGl(gl); }

    const FrameImage& Draw() {
        views.DrawFrame(gl);
        return gl.frame;
    }

    testing::TempDir dir;
    std::vector<std::string> messages;
    GlContext gl;
    ScreenViews views;
    std::unique_ptr<Track> track = std::make_unique<Track>();
};

TEST_F(MapScreensTest, PackagesThenListSpecialImagesFoundAndAMissingImageReportedOnce) {
    const ImageSlotTable& t = gl.images;
    ASSERT_EQ(t.count, 6);
    EXPECT_EQ(t.slots[0].path, "a.tgz");
    EXPECT_DOUBLE_EQ(t.slots[0].lat1, 9.997);
    EXPECT_EQ(t.slots[1].path, (dir.path() / "b.tga").string());
    EXPECT_EQ((std::array{t.earthMap, t.eye, t.startup, t.startButton}), (std::array{2, 3, 4, 5}));
    EXPECT_EQ(MapDrawingSlots(t), 3);
    EXPECT_EQ(FlyToMapSlots(t), 2);
    EXPECT_EQ((std::array{IsMapsPageSlot(t, 1), IsMapsPageSlot(t, 2), IsMapsPageSlot(t, 3),
                          IsMapsPageSlot(t, 5)}),
              (std::array{true, true, false, false}));
    const std::vector<std::string> expected{"LoadTexture failed: couldn't open \"" +
                                            (dir.path() / "missing.tga").string() + "\"!\n"};
    EXPECT_EQ(messages, expected);
    // A rebuild reloads every image without repeating the message.
    ASSERT_TRUE(InitGl(gl));
    EXPECT_EQ(gl.images.count, 6);
    EXPECT_EQ(messages, expected);
}

TEST_F(MapScreensTest, TheThirtyThirdImageIsNotLoaded) {
    std::string list;
    for (int i = 0; i < 40; ++i) list += "b.tga,1,2,3,4\n";
    Write(dir.path() / "mapfiles.ini", list);
    ASSERT_TRUE(InitGl(gl));
    EXPECT_EQ(gl.images.count, kImageSlotCount);
    EXPECT_NE(gl.images.slots[kImageSlotCount - 1].texture, 0u);
}

TEST_F(MapScreensTest, ReadAheadHandsEveryImageInSlotOrderWhateverItsBudget) {
    const std::string d = dir.path().string();
    const std::vector<std::string> expected{"a.tgz",          d + "/b.tga",   d + "/missing.tga",
                                            d + "/earthmap.tga", d + "/eye.tga", d + "/startup.tga",
                                            d + "/startbutton.tga"};
    // A budget of one byte keeps one image ready at a time.
    for (size_t budget : {size_t{1}, kReadAheadBytes}) {
        ImageReadAhead ahead(d, budget);
        std::vector<std::string> paths;
        while (std::optional<ReadImage> read = ahead.Next()) {
            paths.push_back(read->slotPath);
            EXPECT_EQ(read->image.has_value(), read->error.empty()) << read->slotPath;
        }
        EXPECT_EQ(paths, expected) << budget;
    }
    // Given up after the first image, the reading stops at once.
    ImageReadAhead early(d, 1);
    EXPECT_TRUE(early.Next().has_value());
}

TEST_F(MapScreensTest, MapsAtTheirCalibratedPlacesSmallerOverLarger) {
    const FrameImage& frame = Draw();
    EXPECT_EQ(At(frame, 30, 280), kRed);     // west of the newest point, map A
    EXPECT_EQ(At(frame, 200, 100), kBlue);   // east, map A
    EXPECT_EQ(At(frame, 200, 260), kGreen);  // map B over map A in its part
    EXPECT_EQ(At(frame, 40, 260), kRed);     // west of map B
}

TEST_F(MapScreensTest, StartUpImageWhileEmptyStartButtonWhileWaiting) {
    views.inputs.recordingState = kRecordingWaiting;
    EXPECT_EQ(At(Draw(), 10, 10), kMagenta);  // the tap-to-start corner
    EXPECT_EQ(At(gl.frame, 200, 100), kBlue);
    track->lastIndex = -1;
    EXPECT_EQ(At(Draw(), 100, 200), kYellow);
}

TEST_F(MapScreensTest, GlobeShowsTheEarthTurnedToTheTrackStart) {
    views.map.zoom = 0.00004;
    const FrameImage& frame = Draw();
    EXPECT_EQ(At(frame, 105, 175), kRed);   // the texels of 10 N 20 E face the viewer
    EXPECT_EQ(At(frame, 190, 160), kBlue);  // 50 degrees further east
    EXPECT_TRUE(views.globe.earthLatch);
}

TEST_F(MapScreensTest, DisplayTrackIsAWhiteLine) {
    const LatLon line[] = {{10.0008, 19.9995}, {10.0008, 20.0025}};
    views.inputs.displayTrack = line;
    const FrameImage& frame = Draw();
    int white = 0;
    for (int y = 230; y <= 242; ++y) white += At(frame, 60, y) == kWhite;
    EXPECT_EQ(white, 1);
}

}  // namespace
}  // namespace trakomer::gl
