// The window under a Wayland compositor: a headless Weston of the test's
// own (its own runtime folder), Qt's wayland platform, the demo receiver.
// The window must get a fix and draw the map screen, checked on a frame
// the window grabs of itself.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <QApplication>
#include <QImage>
#include <QSet>
#include <QTest>

#include <filesystem>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "screens/screens.h"
#include "tests/app/quiet_power.h"
#include "tests/gps/pty_pair.h"

extern char** environ;

namespace trakomer {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSocket = "trakomer-test";

// Weston with the headless back end and software rendering.
class Weston {
public:
    explicit Weston(const std::string& runtimeFolder) {
        setenv("XDG_RUNTIME_DIR", runtimeFolder.c_str(), 1);
        std::string args[] = {"weston", "--backend=headless-backend.so", "--use-pixman",
                              std::string("--socket=") + kSocket, "--idle-time=0"};
        char* argv[] = {args[0].data(), args[1].data(), args[2].data(), args[3].data(),
                        args[4].data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawnp(&pid_, "weston", &actions, nullptr, argv, environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        const fs::path socket = fs::path(runtimeFolder) / kSocket;
        ready_ = pid_ > 0 && test::WaitUntil([&] { return fs::exists(socket); }, 10000);
    }
    ~Weston() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    bool Ready() const { return ready_; }

private:
    pid_t pid_ = -1;
    bool ready_ = false;
};

TEST(Wayland, TheWindowGetsAFixOnTheDemoReceiverAndShowsTheMapScreen) {
    char pattern[] = "/tmp/trakomer-wayland-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string home = pattern;
    const std::string runtime = home + "/runtime";
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
    {
        Weston weston(runtime);
        ASSERT_TRUE(weston.Ready()) << "weston did not start (is Debian's weston installed?)";
        setenv("WAYLAND_DISPLAY", kSocket, 1);
        setenv("QT_QPA_PLATFORM", "wayland", 1);
        int argc = 1;
        char name[] = "app_wayland_test";
        char* argv[] = {name, nullptr};
        auto app = std::make_unique<QApplication>(argc, argv);
        ASSERT_EQ(QGuiApplication::platformName(), "wayland");

        ProgramPaths paths;
        paths.configFolder = paths.dataFolder = paths.tempFolder = home;
        paths.documentsFolder = home + "/Documents";
        fs::create_directories(paths.documentsFolder);
        Settings settings = DefaultSettings(paths.documentsFolder);
        settings.mUserProfile = 4;
        settings.mAutoStart = 0;
        settings.mUserName.clear();
        settings.mCommDevice = "demo";
        test::QuietPower power;
        test::RecordingScheduler scheduler;
        WindowServices services;
        services.power = &power;
        services.scheduler = &scheduler;
        {
            MainWindow window(settings, paths, services);
            window.show();
            window.StartUp();
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return window.Gps().Snapshot().rmcStatus == 'A'; }, 30000));
            QTest::qWait(1500);  // a tick or two draws the view with the fix
            EXPECT_EQ(window.CurrentScreen(), kScreenTrackAltitude);
            const QImage frame = window.GrabScreenArea();
            ASSERT_FALSE(frame.isNull());
            // The map screen draws its colour legend; the start-up hint
            // alone is grey on black.
            QSet<QRgb> colours;
            for (int y = 0; y < frame.height(); ++y) {
                for (int x = 0; x < frame.width(); ++x) {
                    const QRgb p = frame.pixel(x, y);
                    if (qRed(p) != qGreen(p) || qGreen(p) != qBlue(p)) colours.insert(p);
                }
            }
            EXPECT_GE(colours.size(), 10) << "colours in the frame";
        }
        app.reset();
        unsetenv("WAYLAND_DISPLAY");
        unsetenv("QT_QPA_PLATFORM");
    }
    fs::remove_all(home);
}

}  // namespace
}  // namespace trakomer
