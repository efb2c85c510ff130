#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gl/texture_upload.h"
#include "tests/gl/gl_fixture.h"
#include "tests/gl/tga_builder.h"

namespace trakomer::gl {
namespace {

using testing::Rgb;
using testing::Tga;

class TextureTest : public testing::GlFixture {
protected:
    // Adds a slot for a file written into the temporary folder.
    int AddImage(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = (dir.path() / name).string();
        testing::WriteFile(path, bytes);
        const int index = gl.images.count++;
        gl.images.slots[index].path = path;
        return index;
    }

    // Draws the slot's texture 1:1 at the bottom-left corner.
    void DrawTexture(int index, int width, int height) {
        glLoadIdentity();  // texel centres on pixel centres
        const GLshort vertices[] = {0, 0, GLshort(width), 0, GLshort(width), GLshort(height),
                                    0, GLshort(height)};
        const GLfloat texture[] = {0, 0, 1, 0, 1, 1, 0, 1};
        glEnable(GL_TEXTURE_2D);
        glTexEnvx(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glBindTexture(GL_TEXTURE_2D, gl.images.slots[index].texture);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glVertexPointer(2, GL_SHORT, 0, vertices);
        glTexCoordPointer(2, GL_FLOAT, 0, texture);
        glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisable(GL_TEXTURE_2D);
    }

    testing::TempDir dir;
};

// A 2 x 2 picture stored bottom row first: red, green / blue, white.
std::vector<uint8_t> Quad24(int descriptor) {
    return Tga({.width = 2, .height = 2, .descriptor = descriptor},
               {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255});
}

TEST_F(TextureTest, BottomLeftImageShowsUprightAndTopLeftUpsideDown) {
    struct Case {
        int descriptor;
        Rgb bottomLeft, topLeft;
    };
    // The origin bit is not consulted: a file stored top row first shows
    // upside down.
    const Case cases[] = {{0x00, {255, 0, 0}, {0, 0, 255}}, {0x20, {255, 0, 0}, {0, 0, 255}}};
    for (const Case& c : cases) {
        Clear();
        const int slot = AddImage("startup.tga", Quad24(c.descriptor));
        ASSERT_TRUE(LoadSlotTexture(gl.images, slot, gl.imageError)) << gl.imageError;
        EXPECT_EQ(gl.images.slots[slot].format, uint32_t(GL_RGB));
        EXPECT_EQ(gl.images.slots[slot].components, 3);
        EXPECT_EQ(gl.images.slots[slot].width, 2);
        DrawTexture(slot, 2, 2);
        const FrameImage& frame = Present();
        EXPECT_EQ(At(frame, 0, 0), c.bottomLeft);
        EXPECT_EQ(At(frame, 1, 0), (Rgb{0, 255, 0}));
        EXPECT_EQ(At(frame, 0, 1), c.topLeft);
        EXPECT_EQ(At(frame, 1, 1), (Rgb{255, 255, 255}));
    }
}

TEST_F(TextureTest, SidesThatAreNotPowersOfTwoAreRefusedWithTheReason) {
    const int slot = AddImage("eye.tga", Tga({.width = 3, .height = 2},
                                             {0, 0, 255, 0, 0, 255, 0, 0, 255,
                                              255, 0, 0, 255, 0, 0, 255, 0, 0}));
    EXPECT_FALSE(LoadSlotTexture(gl.images, slot, gl.imageError));
    EXPECT_EQ(gl.images.slots[slot].texture, 0u);
    EXPECT_NE(gl.imageError.find("is 3 x 2 pixels: both sides must be powers of two"),
              std::string::npos)
        << gl.imageError;
    EXPECT_TRUE(TextureSizeProblem("big.tga", 8192, 8192, 4096).has_value());
    EXPECT_FALSE(TextureSizeProblem("ok.tga", 1024, 512, 4096).has_value());
}

TEST_F(TextureTest, EyeAndStartupSampleNearestOthersLinear) {
    struct Case {
        const char* name;
        GLint filter;
    };
    const Case cases[] = {{"eye.tga", GL_NEAREST},
                          {"startup.tga", GL_NEAREST},
                          {"map_eye.tga.startup.tga", GL_NEAREST},
                          {"earthmap.tga", GL_LINEAR},
                          {"startbutton.tga", GL_LINEAR},
                          {"city.tga", GL_LINEAR}};
    for (const Case& c : cases) {
        const int slot = AddImage(c.name, Quad24(0));
        ASSERT_TRUE(LoadSlotTexture(gl.images, slot, gl.imageError));
        glBindTexture(GL_TEXTURE_2D, gl.images.slots[slot].texture);
        GLint minFilter = 0, magFilter = 0, wrapS = 0, wrapT = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
        EXPECT_EQ(minFilter, c.filter) << c.name;
        EXPECT_EQ(magFilter, c.filter) << c.name;
        EXPECT_EQ(wrapS, GL_REPEAT);
        EXPECT_EQ(wrapT, GL_REPEAT);
    }
}

TEST_F(TextureTest, FailedLoadLeavesTextureZeroAndTheReason) {
    const int slot = AddImage("bad.tga", Tga({.type = 4}, {1, 2, 3}));
    gl.images.slots[slot].texture = 77;
    EXPECT_FALSE(LoadSlotTexture(gl.images, slot, gl.imageError));
    EXPECT_EQ(gl.images.slots[slot].texture, 0u);
    EXPECT_EQ(gl.imageError, "unknown TGA image type 4!\n");
}

TEST(ImageSlots, SpecialIndicesFollowThePathsLaterSlotsWin) {
    ImageSlotTable table;
    const char* paths[] = {"maps/a.tga", "eye.tga", "x/earthmap.tga", "startup.tga",
                           "startbutton.tga", "other/eye.tga"};
    for (const char* path : paths) table.slots[table.count++].path = path;
    FindSpecialSlots(table);
    EXPECT_EQ(table.eye, 5);
    EXPECT_EQ(table.earthMap, 2);
    EXPECT_EQ(table.startup, 3);
    EXPECT_EQ(table.startButton, 4);
}

// Records what the GL layer asks of the window and the views.
struct RecordingHost : GlWindowSeam, GlViews {
    void FramePresented(const FrameImage& frame) override { framesShown.push_back(frame.width); }
    void ShowWaitCursor(bool busy) override { cursor += busy ? "wait," : "arrow,"; }
    void BringToForeground() override { ++foreground; }
    void RecreateTextImage(int width, int height) override {
        textImage = std::to_string(width) + "x" + std::to_string(height);
    }
    void LoadImages(GlContext& gl) override {
        ++imageLoads;
        tablesSeenEmpty += gl.images.count == 0;
        gl.images.slots[gl.images.count++].path = "eye.tga";
    }
    void ResetViewState() override { ++viewResets; }
    void DrawFrame(GlContext& gl) override {
        ++framesDrawn;
        PresentFrame(gl);
    }
    void LayoutChanged() override { ++layoutChanges; }

    std::vector<int> framesShown;
    std::string cursor, textImage;
    int foreground = 0, imageLoads = 0, tablesSeenEmpty = 0, viewResets = 0, framesDrawn = 0,
        layoutChanges = 0;
};

class ContextTest : public ::testing::Test {
protected:
    void SetUp() override {
        gl.window = &host;
        gl.views = &host;
        gl.windowRect = {0, 0, 240, 320};
        ASSERT_TRUE(InitGl(gl));
        ResizeGl(gl, 1);
    }
    void TearDown() override { ShutdownGl(gl); }

    void Resize(int width, int height, int upMode) {
        gl.windowRect = {0, 0, width, height};
        gl.sizeChanged = true;
        ResizeGl(gl, upMode);
    }

    RecordingHost host;
    GlContext gl;
};

TEST_F(ContextTest, SetUpLoadsImagesAndResetsTheViews) {
    EXPECT_EQ(host.imageLoads, 1);
    EXPECT_EQ(host.viewResets, 1);
    EXPECT_EQ(gl.orientation, Orientation::Portrait);
    EXPECT_EQ(gl.viewSquare, (ViewSquare{0, 0, 240, 320}));
    EXPECT_EQ(gl.draw.trackBox.minX, 1000);
    EXPECT_EQ(gl.draw.trackBox.maxZ, -1000);
}

TEST_F(ContextTest, TurningToLandscapeRebuildsAndReloads) {
    gl.draw.trackBox.Add({1, 2, 3});
    Resize(320, 240, 2);
    EXPECT_EQ(host.imageLoads, 2);
    EXPECT_EQ(host.tablesSeenEmpty, 2);
    EXPECT_EQ(gl.images.count, 1);
    EXPECT_EQ(host.cursor, "wait,arrow,");
    EXPECT_EQ(host.foreground, 1);
    EXPECT_EQ(host.textImage, "320x239");
    EXPECT_EQ(host.framesDrawn, 1);
    EXPECT_EQ(host.layoutChanges, 1);
    EXPECT_EQ(gl.orientation, Orientation::Landscape);
    EXPECT_EQ(gl.viewSquare, (ViewSquare{-40, -80, 360, 320}));
    EXPECT_EQ(gl.draw.trackBox.minX, 1000);
    EXPECT_FALSE(gl.sizeChanged);
    ASSERT_EQ(host.framesShown.size(), 1u);
    EXPECT_EQ(host.framesShown[0], 320);
}

TEST_F(ContextTest, SizeChangeWithoutTurningKeepsTheContext) {
    const void* context = gl.context;
    Resize(200, 300, 1);
    EXPECT_EQ(host.imageLoads, 1);
    EXPECT_EQ(host.framesDrawn, 0);
    EXPECT_EQ(gl.context, context);
    EXPECT_EQ(gl.viewSquare, (ViewSquare{0, 0, 200, 300}));
    // The frame follows the window: a pixel at the new top-right corner.
    glClear(GL_COLOR_BUFFER_BIT);
    const GLshort point[] = {199, 299};
    glColor4f(1, 1, 1, 1);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_SHORT, 0, point);
    glDrawArrays(GL_POINTS, 0, 1);
    ASSERT_TRUE(PresentFrame(gl));
    EXPECT_EQ(gl.frame.width, 200);
    EXPECT_EQ(gl.frame.height, 300);
    EXPECT_EQ(gl.frame.PixelAt(199, 299)[0], 255);
}

TEST_F(ContextTest, UpModeComesFromTheSettings) {
    Settings settings;
    settings.mUpMode = 2;
    ResizeGl(gl, settings);
    EXPECT_EQ(gl.viewSquare, (ViewSquare{-80, -40, 320, 360}));
}

TEST_F(ContextTest, NoRebuildWithoutASignalledSizeChange) {
    gl.windowRect = {0, 0, 320, 240};
    ResizeGl(gl, 1);
    EXPECT_EQ(host.imageLoads, 1);
    EXPECT_EQ(gl.orientation, Orientation::Landscape);
}

TEST(Context, PresentWithoutContextFails) {
    GlContext gl;
    EXPECT_FALSE(PresentFrame(gl));
}

}  // namespace
}  // namespace trakomer::gl
