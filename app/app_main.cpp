// trakomer [--home DIR] [--device PATH]: the recorder's window.
#include <QApplication>

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
    auto shell = trakomer::StartShell(options, socketPath);
    if (!shell) return 0;  // lost the race to another instance
    return QApplication::exec();
}
