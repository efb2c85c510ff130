// The follow page in a real browser: the uploader publishes the page and
// the track's JSON to a real FTP server, a local web server serves that
// folder to headless Chromium, and a new upload shows on the page within
// one refresh.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <thread>

#include "tests/upload/pyftpd_server.h"
#include "tests/upload/python_process.h"
#include "upload/follow_page.h"
#include "upload/uploader.h"

namespace trakomer::upload {
namespace {

using testing::MakeTempFolder;
using testing::PyFtpServer;
using testing::PythonProcess;
using testing::ReadWholeFile;

// Serves a folder and logs the map tiles asked for. The first JSON request is answered and then
// logged; every later one is logged and held until the "go" file exists, so the test knows the page
// has its first data and can upload before the next refresh.
constexpr const char* kWebScript = R"PY(
import sys, os, time, urllib.parse
from http.server import HTTPServer, SimpleHTTPRequestHandler
folder, log, go, tiles = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4]
class Handler(SimpleHTTPRequestHandler):
    served = 0
    def __init__(self, *args, **kwargs):
        super().__init__(*args, directory=folder, **kwargs)
    def do_GET(self):
        path = urllib.parse.urlsplit(self.path).path
        if path.startswith("/tiles/"):
            open(tiles, "a").write(path + "\n")
        if not path.endswith(".json"):
            return super().do_GET()
        Handler.served += 1
        if Handler.served > 1:
            open(log, "a").write("held\n")
            for _ in range(600):
                if os.path.exists(go): break
                time.sleep(0.05)
        super().do_GET()
        if Handler.served == 1:
            open(log, "a").write("served\n")
    def log_message(self, *args):
        pass
server = HTTPServer(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
)PY";

// Loads url in headless Chromium for a virtual 1.5 refresh periods and
// writes the resulting DOM to domPath. Returns the browser's process id.
pid_t StartChromium(const std::string& url, const std::filesystem::path& profile,
                    const std::filesystem::path& domPath) {
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    const int out = ::open(domPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(null, STDERR_FILENO);
    // Never the session or system bus of the person running the tests.
    ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent", 1);
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent", 1);
    const std::string userData = "--user-data-dir=" + profile.string();
    const std::string budget =
        "--virtual-time-budget=" + std::to_string(kFollowRefreshSeconds * 1500);
    ::execlp("chromium", "chromium", "--headless", "--no-sandbox", "--disable-gpu",
             "--disable-quic", "--no-first-run", "--disable-background-networking",
             "--disable-component-update", "--disable-sync", userData.c_str(), budget.c_str(),
             "--dump-dom", url.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
}

// Waits for the child within the time-out; kills it when it takes longer.
bool WaitFor(pid_t pid, std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool WaitForText(const std::filesystem::path& path, const std::string& text) {
    for (int i = 0; i < 600; ++i) {
        if (ReadWholeFile(path).find(text) != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

TEST(FollowPage, ANewUploadShowsWithinOneRefresh) {
    PyFtpServer ftp{"walker", "s3cret"};
    ASSERT_TRUE(ftp.Running());
    const auto work = MakeTempFolder("trakomer-follow-");
    ScriptedConnection network({kNetConnected});
    NoIdleTimer idle;
    ManualClock clock(1718000000);
    UploadWriters writers;
    writers.changes = [](const std::string& path, const Track&, int) {
        std::ofstream(path) << "points";
        return int64_t{6};
    };
    PythonProcess web;
    const auto log = work / "requests", go = work / "go", tiles = work / "tiles";
    const int port = std::atoi(
        web.Start(kWebScript, {ftp.Home().string(), log.string(), go.string(), tiles.string()})
            .c_str());
    ASSERT_GT(port, 0);
    const std::string site = "http://127.0.0.1:" + std::to_string(port);
    Uploader uploader(
        UploadServices{network, idle, clock, writers, (work / "out").string(), "dev01", {}, 5000});
    uploader.SetFollowTileUrl(site + "/tiles/{z}/{x}/{y}.png");
    Settings settings;
    settings.mFtpAddress = "127.0.0.1:" + std::to_string(ftp.Port());
    settings.mFtpUser = "walker";
    settings.mFtpPassword = "s3cret";
    settings.mUploadType = 3;
    settings.mFollowPage = 1;
    auto track = std::make_unique<Track>();
    for (int i = 0; i < 3; ++i) {
        track->points[i].latitude = 52.5 + 0.01 * i;
        track->points[i].longitude = 13.4 + 0.01 * i;
        track->points[i].speed = 2.5f;
        track->points[i].time = 1718000000 + 10 * i;
    }
    track->lastIndex = 1;
    ASSERT_EQ(uploader.UploadNow(true, *track, settings), UploadOutcome::Uploaded);
    const std::string json = ftp.Contents("LL.dev01.json");
    EXPECT_NE(json.find(R"("time":"2024-06-10T06:13:30Z")"), std::string::npos) << json;
    EXPECT_NE(json.find(R"("summary":["Time 00:00:00")"), std::string::npos) << json;
    const std::string page = ftp.Contents("index.html");
    EXPECT_NE(page.find("LL.dev01.json"), std::string::npos);
    for (const char* external : {"<script src", "<link", "@import"})
        EXPECT_EQ(page.find(external), std::string::npos) << external;

    const auto dom = work / "dom.html";
    const pid_t browser = StartChromium(site + "/index.html", work / "profile", dom);
    ASSERT_TRUE(WaitForText(log, "served")) << "the page did not load its data";
    track->lastIndex = 2;
    EXPECT_EQ(uploader.UploadNow(false, *track, settings), UploadOutcome::Uploaded);
    std::ofstream(go) << "go";
    EXPECT_TRUE(WaitFor(browser, std::chrono::seconds(90)));
    const std::string shown = ReadWholeFile(dom);
    EXPECT_NE(shown.find("Position 52.520000, 13.420000 at 2024-06-10T06:13:40Z"),
              std::string::npos)
        << shown;
    EXPECT_EQ(ReadWholeFile(log), "served\nheld\n");
    // Whatever zoom frames the track, the tile under its newest point is fetched.
    const std::string fetched = ReadWholeFile(tiles);
    bool underNewest = false;
    for (int z = 2; z <= 17; ++z) {
        const double n = std::pow(2.0, z), s = std::sin(52.52 * M_PI / 180);
        const int x = static_cast<int>((13.42 + 180) / 360 * n);
        const int y = static_cast<int>((0.5 - std::log((1 + s) / (1 - s)) / (4 * M_PI)) * n);
        const std::string tile = "/tiles/" + std::to_string(z) + "/" + std::to_string(x) + "/" +
                                 std::to_string(y) + ".png";
        underNewest = underNewest || fetched.find(tile) != std::string::npos;
    }
    EXPECT_TRUE(underNewest) << fetched;
    std::filesystem::remove_all(work);
}

}  // namespace
}  // namespace trakomer::upload
