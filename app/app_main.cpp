// trakomer [--home DIR] [--device PATH]: the recorder's window.
#include <QApplication>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/single_instance.h"
#include "app/startup.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    trakomer::StartOptions options;
    std::string error;
    if (!trakomer::ParseStartOptions(args, options, error)) {
        std::fprintf(stderr, "trakomer: %s\nusage: trakomer [--home DIR] [--device PATH]\n",
                     error.c_str());
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
