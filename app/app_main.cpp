// trakomer [--home DIR] [--device PATH]: the recorder's window.
#include <QApplication>
#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <csignal>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/render_preferences.h"
#include "app/render_screen.h"
#include "app/single_instance.h"
#include "app/startup.h"
#include "platform/desktop_power.h"
#include "platform/runtime_folder.h"

namespace {

constexpr const char* kUsage =
    "usage: trakomer [--home DIR] [--device PATH|demo|demo:LOG|gpsd|gpsd://HOST[:PORT]|modem[:N]]\n"
    "       trakomer [--home DIR] --render-preferences OUTDIR\n"
    "       trakomer [--home DIR] --render-screen N --track FILE --out PNG [--size WxH]\n"
    "                [--scale F]\n"
    "  --home DIR     keep the settings and the program's data files in DIR\n"
    "  --device PATH  read the GPS receiver on PATH for this run (for example\n"
    "                 /dev/ttyUSB0, /dev/rfcomm0); 'demo' replays the demo log;\n"
    "                 'gpsd' reads the receivers of the gpsd on this machine;\n"
    "                 'modem' the GNSS of a modem through ModemManager\n"
    "  --render-preferences OUTDIR  write the seven preference pages as PNG\n"
    "                 images into OUTDIR and exit\n"
    "  --render-screen N  open the track FILE, draw screen N (0-5) at its end\n"
    "                 into the picture PNG (480x640 unless --size; F times that,\n"
    "                 drawn at F device pixels a pixel, with --scale) and exit\n";

// Write end of the pipe that turns stop signals into main-loop events (a
// signal handler can do no more than write a byte).
int stopSignalPipe = -1;

void OnStopSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(stopSignalPipe, &byte, 1);
}

// The read end of a pipe that receives a byte for each SIGINT, SIGTERM or
// SIGHUP, or -1 (the signals then keep their default action).
int WatchStopSignals() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
    stopSignalPipe = fds[1];
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
    return fds[0];
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--version") {
            std::printf("trakomer %s\n", TRAKOMER_VERSION);
            return 0;
        }
    }
    trakomer::StartOptions options;
    trakomer::RenderOptions render;
    std::string error;
    if (!trakomer::TakeRenderOptions(args, render, error) ||
        !trakomer::ParseStartOptions(args, options, error)) {
        std::fprintf(stderr, "trakomer: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    if (!options.renderPreferences.empty()) {
        // Pictures for documentation and checks need no display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        return trakomer::RenderPreferences(options.home, options.renderPreferences);
    }
    if (render.screen >= 0) {
        // No window is shown and no receiver opened: any display will do.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        if (render.scale != 1.0) qputenv("QT_SCALE_FACTOR", QByteArray::number(render.scale));
        QApplication app(argc, argv);
        return trakomer::RenderScreen(options.home, render);
    }
    // The sockets lie in the runtime folder; one another user could have
    // made (under /tmp) or may write to is refused.
    const std::string problem = trakomer::PrepareRuntimeFolder(trakomer::RuntimeFolder());
    if (!problem.empty()) {
        std::fprintf(stderr, "trakomer: refused: %s\n", problem.c_str());
        return 1;
    }
    // A second instance asks the first to come forward and ends.
    const std::string socketPath = trakomer::InstanceSocketPath();
    if (trakomer::SendInstanceRequest(socketPath, trakomer::kRaiseRequest)) {
        trakomer::WakeScreenOnSessionBus();
        return 0;
    }

    // Logout, shutdown or Ctrl-C stop the program as Exit does, saving a
    // running recording first. Caught from here on: one that comes while the
    // window is still being set up is handled as soon as it runs.
    const int stopFd = WatchStopSignals();

    return trakomer::RunShell(argc, argv, options, socketPath, {}, [stopFd](trakomer::Shell& shell) {
        // The benchmarks of recording measure other screens than the first.
        if (const char* screen = std::getenv("TRAKOMER_START_SCREEN")) {
            shell.window->ShowScreen(std::atoi(screen));
        }
        if (stopFd < 0) return;
        auto* notifier = new QSocketNotifier(stopFd, QSocketNotifier::Read, shell.window.get());
        trakomer::MainWindow* window = shell.window.get();
        QObject::connect(notifier, &QSocketNotifier::activated, window, [window, stopFd] {
            char byte;
            while (read(stopFd, &byte, 1) > 0) {
            }
            window->QuitOnSignal();
        });
    });
}
