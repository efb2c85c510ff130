// The GL screens in the window: Qt's offscreen platform, Mesa's software
// renderer, a temporary home.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWidget>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <fstream>
#include <numeric>
#include <memory>
#include <string>

#include "app/command_ids.h"
#include "app/gl_screen.h"
#include "app/screen_widget.h"
#include "app/main_window.h"
#include "app/screen_widget.h"
#include "gl/frame_image.h"
#include "maps/map_package.h"
#include "gl/screen_views.h"
#include "screens/screens.h"
#include "tests/app/quiet_power.h"
#include "tests/gl/gl_fixture.h"
#include "tests/gps/nmea_test_util.h"
#include "tests/maps/tile_fixture.h"

namespace trakomer {
namespace {

using test::WithChecksum;

constexpr int kFirstFlyTo = 101;

namespace fs = std::filesystem;

// One second of a 3D fix, heading north-east and climbing.
std::string FixSecond(int second) {
    char time[32], lat[32], lon[32], gga[256];
    std::snprintf(time, sizeof time, "1200%02d.00", second % 60);
    std::snprintf(lat, sizeof lat, "4807.%03d", 100 + second * 20);
    std::snprintf(lon, sizeof lon, "01131.%03d", 100 + second * 20);
    std::snprintf(gga, sizeof gga, "GPGGA,%s,%s,N,%s,E,1,08,0.9,%d.0,M,46.9,M,,", time, lat, lon,
                  500 + second * 5);
    return WithChecksum(std::string("GPRMC,") + time + ",A," + lat + ",N," + lon +
                        ",E,8.0,45.0,250109,,") +
           WithChecksum(gga) + WithChecksum("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1");
}

bool IsRampColour(QRgb pixel) {
    const gl::ColourRamp ramp = gl::MakeColourRamp();
    for (const gl::RampColour& c : ramp) {
        auto near = [](int a, float b) { return std::abs(a - static_cast<int>(b * 255 + 0.5f)) <= 1; };
        if (near(qRed(pixel), c.red) && near(qGreen(pixel), c.green) && near(qBlue(pixel), c.blue)) {
            return true;
        }
    }
    return false;
}

int CountRampPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width() - 20; ++x) {  // not the legend
            if (IsRampColour(image.pixel(x, y))) ++count;
        }
    }
    return count;
}

class WindowGlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "app_window_gl_test";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) new QApplication(argc, argv);
    }
    void SetUp() override {
        char pattern[] = "/tmp/trakomer-windowgl-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        home_ = pattern;
        paths_.configFolder = paths_.dataFolder = paths_.tempFolder = home_;
        paths_.documentsFolder = home_ + "/Documents";
        fs::create_directories(paths_.documentsFolder);
        settings_ = DefaultSettings(paths_.documentsFolder);
        settings_.mUserProfile = 4;
        settings_.mAutoStart = 0;
        settings_.mUserName.clear();
        settings_.mCommDevice = home_ + "/no-such-port";
        WindowServices services;
        services.power = &power_;
        services.scheduler = &scheduler_;
        window_ = std::make_unique<MainWindow>(settings_, paths_, services);
        window_->show();
        window_->StartUp();
    }
    void TearDown() override {
        window_.reset();
        fs::remove_all(home_);
    }
    void Record(int seconds) {
        for (int s = 0; s < seconds; ++s) {
            const std::string bytes = FixSecond(fed_++);
            window_->Gps().Feed(bytes.data(), bytes.size());
            window_->Engine().OnPointTick();
        }
    }
    QImage Shown() { return window_->centralWidget()->grab().toImage(); }

    std::string home_;
    ProgramPaths paths_;
    Settings settings_;
    test::QuietPower power_;
    test::RecordingScheduler scheduler_;
    std::unique_ptr<MainWindow> window_;
    int fed_ = 0;
};

TEST_F(WindowGlTest, TrackScreenShowsTheColouredTrackAfterAFewPoints) {
    ASSERT_EQ(window_->CurrentScreen(), kScreenTrackAltitude);
    EXPECT_EQ(CountRampPixels(Shown()), 0);
    Record(1);
    const int h = window_->centralWidget()->height();
    window_->StylusDown(2, h - 2);  // the start area
    window_->StylusUp(2, h - 2);
    Record(8);
    ASSERT_GT(window_->CurrentTrack().lastIndex, 2);
    const int drawn = CountRampPixels(Shown());
    EXPECT_GT(drawn, 100);
    // Zoomed far out the ribbon shrinks to a few pixels under the arrow.
    for (int i = 0; i < 40; ++i) window_->KeyReleased(Qt::Key_Down);
    window_->Redraw();
    EXPECT_LT(CountRampPixels(Shown()), drawn / 2);
}

TEST_F(WindowGlTest, DraggingPansByTheRateOnEveryFrameUntilLifted) {
    Record(2);
    const int x = 100, y = 100;
    window_->StylusDown(x, y);
    window_->StylusMove(x + 10, y - 4);  // a frame at the move
    EXPECT_EQ(window_->View().panX, 10);
    EXPECT_EQ(window_->View().panY, -4);
    window_->Redraw();  // a timer's frame while the finger rests
    EXPECT_EQ(window_->View().panX, 20);
    EXPECT_EQ(window_->View().panY, -8);
    window_->StylusUp(x + 10, y - 4);
    window_->Redraw();
    EXPECT_EQ(window_->View().panX, 20);
    EXPECT_EQ(window_->View().panY, -8);

    // A finger's swipe steps the screen and leaves the map where it was.
    static QPointingDevice* finger = QTest::createTouchDevice();  // kept for the process
    auto* screen = dynamic_cast<ScreenWidget*>(window_->centralWidget());
    ASSERT_NE(screen, nullptr);
    // The wiring is under test, not the timing: a slow (sanitised) frame
    // between press and release must not turn the swipe into a drag.
    screen->touch.swipeMs = 60000;
    QTest::touchEvent(screen, finger).press(0, QPoint(300, y));
    QTest::touchEvent(screen, finger).move(0, QPoint(150, y));
    QTest::touchEvent(screen, finger).release(0, QPoint(20, y));
    EXPECT_EQ(window_->CurrentScreen(), kScreenTrackSpeed);
    EXPECT_EQ(window_->View().panX, 20);
}

TEST_F(WindowGlTest, AFrameIsDrawnOnlyWhenThePictureChanges) {
    Record(1);
    const int h = window_->centralWidget()->height();
    window_->StylusDown(2, h - 2);  // the start area
    window_->StylusUp(2, h - 2);
    Record(3);
    const auto* screen = static_cast<const ScreenWidget*>(window_->centralWidget());
    const struct {
        int screen;
        std::function<void()> tick;
        int frames;  // 1: the tick changes what the screen shows
    } cases[] = {
        // The summary shows only that the port is missing.
        {kScreenSummary, [this] { Record(1); }, 0},
        // The globe shows no text, and no satellites are in view.
        {kScreenGlobe, [this] { Record(1); }, 0},
        {kScreenTrackAltitude, [this] { Record(1); }, 1},
        {kScreenGraph, [this] { Record(1); }, 1},
        {kScreenGlobe, [this] {
             window_->StylusDown(100, 100);
             window_->StylusMove(110, 100);  // the globe spins on every frame
         }, 1},
    };
    for (const auto& c : cases) {
        const int frames = screen->FramesShown();
        window_->ShowScreen(c.screen);
        EXPECT_EQ(screen->FramesShown(), frames + 1) << c.screen;
        window_->Redraw();  // nothing changed
        EXPECT_EQ(screen->FramesShown(), frames + 1) << c.screen;
        c.tick();
        EXPECT_EQ(screen->FramesShown(), frames + 1 + c.frames) << c.screen;
    }
    const int frames = screen->FramesShown();
    window_->Redraw();  // still spinning
    EXPECT_EQ(screen->FramesShown(), frames + 1);
    window_->StylusUp(110, 100);
}

// Records messages; every question is answered No.
class QuietDialogs : public Dialogs {
public:
    void ShowMessage(const std::string& text, const std::string&, MessageIcon) override {
        messages.push_back(text);
    }
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
    std::vector<std::string> messages;
};

// A 4 x 4 one-colour TGA (bottom row first).
std::string PlainTga(uint8_t red, uint8_t green, uint8_t blue) {
    std::string bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = bytes[14] = 4;
    bytes[16] = 24;
    for (int i = 0; i < 16; ++i) bytes += {static_cast<char>(blue), static_cast<char>(green),
                                           static_cast<char>(red)};
    return bytes;
}

class WindowFlyToTest : public WindowGlTest {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/trakomer-flyto-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        home_ = pattern;
        paths_.configFolder = paths_.dataFolder = paths_.tempFolder = home_;
        paths_.documentsFolder = home_;
        ASSERT_TRUE(maps::WriteMapPackage(home_ + "/city.tgz", "city.tga", PlainTga(0, 255, 0),
                                        {1.0, 3.0, 2.0, 4.0}));
        for (const char* name : {"earthmap.tga", "eye.tga", "startup.tga", "startbutton.tga"}) {
            std::ofstream(home_ + "/" + name, std::ios::binary) << PlainTga(255, 0, 255);
        }
        std::ofstream(home_ + "/mapfiles.ini")
            << "gone.tga,1,2,3,4\nearthmap.tga,-90,-180,90,180\neye.tga,0,0,0,0\n"
               "startup.tga,0,0,0,0\nstartbutton.tga,0,0,0,0\n";
        settings_ = DefaultSettings(home_);
        settings_.mUserProfile = 4;
        settings_.mUserName.clear();
        settings_.mCommDevice = home_ + "/no-such-port";
        WindowServices services;
        services.dialogs = &dialogs_;
        services.power = &power_;
        services.scheduler = &scheduler_;
        services.sleep = [this](int ms) { waits_.push_back(ms); };
        window_ = std::make_unique<MainWindow>(settings_, paths_, services);
        window_->show();
        window_->StartUp();
    }
    QuietDialogs dialogs_;
    std::vector<int> waits_;
};

TEST_F(WindowFlyToTest, ListsTheMapsThenFliesToThemAndBackToTheCurrentLocation) {
    ASSERT_NE(window_->ImageSlots(), nullptr);
    ASSERT_NE(window_->CommandAction(kFirstFlyTo), nullptr);
    EXPECT_EQ(window_->CommandAction(kFirstFlyTo)->text().toStdString(), "city.tgz");
    EXPECT_EQ(window_->CommandAction(kFirstFlyTo + 1), nullptr);  // the four built-in images
    EXPECT_EQ(dialogs_.messages,
              std::vector<std::string>{"LoadTexture failed: couldn't open \"" + home_ +
                                       "/gone.tga\"!\n"});
    Record(1);
    const int h = window_->centralWidget()->height();
    window_->StylusDown(2, h - 2);  // the start button
    window_->StylusUp(2, h - 2);
    Record(5);
    ASSERT_GT(window_->CurrentTrack().lastIndex, 1);
    window_->RunCommand(kFirstFlyTo);
    EXPECT_EQ(waits_.size(), 19u);
    EXPECT_EQ(std::accumulate(waits_.begin(), waits_.end(), 0), 3043);
    EXPECT_TRUE(window_->View().flyTo);
    EXPECT_DOUBLE_EQ(window_->View().targetLatitude, 1.5);
    EXPECT_DOUBLE_EQ(window_->View().targetLongitude, 3.5);
    EXPECT_DOUBLE_EQ(window_->View().mapZoom, 1.0);
    const QImage map = Shown();
    EXPECT_EQ(map.pixel(map.width() / 4, map.height() / 2), qRgb(0, 255, 0));

    window_->RunCommand(40067);  // Current Location
    EXPECT_EQ(waits_.size(), 38u);
    EXPECT_FALSE(window_->View().flyTo);
    EXPECT_EQ(window_->View().panX, 0);
}

TEST_F(WindowFlyToTest, AMapGotForTheTrackIsListedWithoutARestart) {
    Record(1);
    const int h = window_->centralWidget()->height();
    window_->StylusDown(2, h - 2);  // the start button
    window_->StylusUp(2, h - 2);
    Record(5);
    // Zoom 14 tiles around the track near 48.12 N, 11.52 E.
    const std::string mbtiles = home_ + "/area.mbtiles";
    ASSERT_TRUE(maps::testing::WriteMbtiles(mbtiles, 14, 8713, 5684, 8719, 5690));
    std::string status;
    QTimer::singleShot(0, window_.get(), [&] {
        QWidget* sheet = QApplication::activeModalWidget();
        ASSERT_NE(sheet, nullptr);
        sheet->findChild<QTabWidget*>("pages")->setCurrentIndex(6);  // Maps
        sheet->findChild<QLineEdit*>("mapSource")->setText(QString::fromStdString(mbtiles));
        auto* get = sheet->findChild<QPushButton*>("getMap");
        get->click();
        EXPECT_TRUE(QTest::qWaitFor([get] { return get->isEnabled(); }, 20000));
        status = sheet->findChild<QLabel*>("mapStatus")->text().toStdString();
        sheet->findChild<QPushButton*>("ok")->click();
    });
    window_->RunCommand(kCmdPreferences);
    EXPECT_EQ(status.rfind("Installed 1 map(s)", 0), 0u) << status;
    EXPECT_EQ(settings_.mMapSource, mbtiles);
    ASSERT_NE(window_->CommandAction(kFirstFlyTo + 1), nullptr);
    EXPECT_EQ(window_->CommandAction(kFirstFlyTo + 1)->text().toStdString().rfind("map-", 0), 0u);
}

TEST(GlScreenImage, BottomRowFirstFramesAreShownUpright) {
    gl::FrameImage frame;
    frame.width = 1;
    frame.height = 2;
    frame.rgba = {255, 0, 0, 255, 0, 0, 255, 255};  // bottom red, top blue
    const QImage image = GlScreen::ToImage(frame);
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(0, 1), qRgb(255, 0, 0));
    EXPECT_TRUE(GlScreen::ToImage(gl::FrameImage{}).isNull());
}

TEST(GlFrameImage, IsOpaqueWhateverTheAlphaTheFrameHolds) {
    // Exclusive-or text turns the alpha of the opaque clear colour to 0;
    // the window must still show the text.
    gl::FrameImage frame;
    frame.width = 1;
    frame.height = 1;
    frame.rgba = {255, 255, 255, 0};
    const QImage image = GlScreen::ToImage(frame);
    EXPECT_FALSE(image.hasAlphaChannel());
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
}

}  // namespace
}  // namespace trakomer
