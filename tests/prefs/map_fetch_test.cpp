// "Get map for this track…": packages made in the background from an
// MBTiles file and installed, and a download that Cancel or closing stops
// installing nothing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <netinet/in.h>
#include <sys/socket.h>

#include "prefs/map_fetch_box.h"
#include "tests/maps/tile_fixture.h"

namespace trakomer::prefs {
namespace {

namespace fs = std::filesystem;

// A loopback port that accepts connections and never answers.
struct SilentServer {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    int port = 0;
    SilentServer() {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof a;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&a), size) == 0 && ::listen(fd, 4) == 0 &&
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size) == 0) {
            port = ntohs(a.sin_port);
        }
    }
    ~SilentServer() { ::close(fd); }
};

std::vector<fs::path> Packages(const fs::path& folder) {
    std::vector<fs::path> found;
    for (const auto& e : fs::directory_iterator(folder)) {
        if (e.path().string().find(".tgz") != std::string::npos) found.push_back(e.path());
    }
    return found;
}

TEST(MapFetch, InstallsInTheBackgroundOrCancelsLeavingNothing) {
    static int argc = 1;
    static char name[] = "map_fetch_test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
    const fs::path dir = maps::testing::MakeTempDir();
    fs::create_directories(dir / "program");
    // Zoom 14 tiles around the track; the file's highest zoom is 14.
    ASSERT_TRUE(maps::testing::WriteMbtiles((dir / "area.mbtiles").string(), 14, 8713, 5686, 8718,
                                            5690));
    int installed = 0;
    MapFetchServices services{{{48.10, 11.50}, {48.11, 11.51}},
                              (dir / "program").string(),
                              (dir / "cache").string(),
                              [&installed] { ++installed; }};
    SilentServer silent;
    const std::string silentUrl =
        "http://127.0.0.1:" + std::to_string(silent.port) + "/{z}/{x}/{y}.png";
    struct Case {
        std::string source;
        bool cancel;  // Cancel pressed, else the download runs to its end
        bool close;   // the page closes while it runs
        const char* status;
    };
    const Case cases[] = {{(dir / "area.mbtiles").string(), false, false, "Installed 1 map(s)"},
                          {silentUrl, true, false, "Cancelled."},
                          {silentUrl, false, true, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        const int before = installed;
        const size_t packagesBefore = Packages(dir / "program").size();
        auto box = std::make_unique<MapFetchBox>(c.source, services);
        int rows = 0;
        box->onInstalled = [&rows](const maps::WrittenPackage&) { ++rows; };
        box->findChild<QPushButton*>("getMap")->click();
        EXPECT_TRUE(box->Running());
        if (c.close) {
            box.reset();
            EXPECT_EQ(Packages(dir / "program").size(), packagesBefore);
            continue;
        }
        if (c.cancel) box->findChild<QPushButton*>("cancelMap")->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !box->Running(); }, 20000));
        const QString status = box->findChild<QLabel*>("mapStatus")->text();
        EXPECT_TRUE(status.startsWith(c.status)) << status.toStdString();
        const bool done = !c.cancel;
        EXPECT_EQ(installed - before, done ? 1 : 0);
        EXPECT_EQ(rows, done ? 1 : 0);
        EXPECT_EQ(Packages(dir / "program").size(), packagesBefore + (done ? 1 : 0));
        if (done) {
            const auto* bar = box->findChild<QProgressBar*>("mapProgress");
            EXPECT_EQ(bar->value(), bar->maximum());
        }
    }
    fs::remove_all(dir);
}

}  // namespace
}  // namespace trakomer::prefs
