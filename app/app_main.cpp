// trakomer [--home DIR] [--device PATH]: the recorder's window.
#include <QApplication>
#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <csignal>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/single_instance.h"
#include "app/startup.h"

namespace {

constexpr const char* kUsage =
    "usage: trakomer [--home DIR] [--device PATH|demo|demo:LOG]\n"
    "  --home DIR     keep the settings and the program's data files in DIR\n"
    "  --device PATH  read the GPS receiver on PATH for this run (for example\n"
    "                 /dev/ttyUSB0, /dev/rfcomm0); 'demo' replays the demo log\n";

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
    std::string error;
    if (!trakomer::ParseStartOptions(args, options, error)) {
        std::fprintf(stderr, "trakomer: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    // A second instance asks the first to come forward and ends.
    const std::string socketPath = trakomer::InstanceSocketPath();
    if (trakomer::SendInstanceRequest(socketPath, trakomer::kRaiseRequest)) return 0;

    QApplication::setDesktopFileName("trakomer");
    QApplication app(argc, argv);
    QApplication::setApplicationName("trakomer");
    // Logout, shutdown or Ctrl-C stop the program as Exit does, saving a
    // running recording first. Watched before start-up, so that a signal
    // during a slow start waits in the pipe instead of killing the program.
    const int stopFd = WatchStopSignals();
    auto shell = trakomer::StartShell(options, socketPath);
    if (!shell) return 0;  // lost the race to another instance

    std::unique_ptr<QSocketNotifier> stopNotifier;
    if (stopFd >= 0) {
        stopNotifier = std::make_unique<QSocketNotifier>(stopFd, QSocketNotifier::Read);
        QObject::connect(stopNotifier.get(), &QSocketNotifier::activated, [&shell, stopFd] {
            char byte;
            while (read(stopFd, &byte, 1) > 0) {
            }
            shell->window->QuitOnSignal();
        });
    }
    return QApplication::exec();
}
