// trakomer --render-screen: a track file in, a picture of the screen out,
// with the images of the program folder and without a receiver.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>

#include <filesystem>
#include <memory>
#include <string>

#include "files/trk_file.h"
#include "tests/cli/cli_runner.h"

namespace trakomer {
namespace {

namespace fs = std::filesystem;

TEST(RenderScreen, WritesThePictureOfTheChosenScreen) {
    static int argc = 1;
    static char name[] = "render_screen_test";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    char pattern[] = "/tmp/trakomer-render-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path home = pattern;
    auto track = std::make_unique<Track>();
    for (int i = 0; i < 30; ++i) {
        TrackPoint& p = track->points[static_cast<size_t>(i)];
        p.latitude = 48.12 + i * 0.00005;
        p.longitude = 11.51 + i * 0.00005;
        p.altitude = static_cast<float>(500 + i);
        p.time = 1237100000 + i * 5;
    }
    track->lastIndex = 29;
    const std::string trk = (home / "walk.trk").string();
    ASSERT_TRUE(WriteTrk(*track, trk));
    const std::string program = TRAKOMER_BINARY_DIR "/app/trakomer";
    const std::string env = "QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=" + home.string() + " ";
    const std::string out = (home / "screen.png").string();
    const test::CliRun run =
        test::Shell(env + program + " --home " + home.string() + " --render-screen 0 --track " +
                    trk + " --out " + out + " --size 240x320 2>&1");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const QImage image(QString::fromStdString(out));
    ASSERT_EQ(image.size(), QSize(240, 320));
    // The shipped demo map lies under the track: no black at the centre-left.
    EXPECT_NE(image.pixel(40, 160) & 0xFFFFFF, 0u);

    // At scale 2 the GL and text screens are drawn at the full pixel size:
    // no picture is a plain enlargement of 2 x 2 blocks.
    for (const char* screen : {"0", "3"}) {
        SCOPED_TRACE(screen);
        const test::CliRun sharp =
            test::Shell(env + program + " --home " + home.string() + " --render-screen " + screen +
                        " --track " + trk + " --out " + out + " --scale 2 2>&1");
        ASSERT_EQ(sharp.exitCode, 0) << sharp.out;
        const QImage big(QString::fromStdString(out));
        ASSERT_EQ(big.size(), QSize(960, 1280));
        int finerBlocks = 0;
        for (int y = 0; y < big.height(); y += 2) {
            for (int x = 0; x < big.width(); x += 2) {
                const QRgb p = big.pixel(x, y);
                if (big.pixel(x + 1, y) != p || big.pixel(x, y + 1) != p ||
                    big.pixel(x + 1, y + 1) != p) {
                    ++finerBlocks;
                }
            }
        }
        EXPECT_GT(finerBlocks, 100);
    }

    EXPECT_EQ(test::Shell(env + program + " --render-screen 7 --track " + trk + " --out " + out +
                          " 2>&1")
                  .exitCode,
              2);
    fs::remove_all(home);
}

}  // namespace
}  // namespace trakomer
