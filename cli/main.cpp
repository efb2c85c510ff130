// trakomer-cli: the recorder's headless tool.

#include <cstdio>
#include <string>

#include "cli/commands.h"

#ifndef TRAKOMER_VERSION
#define TRAKOMER_VERSION "0.0.0"
#endif

namespace trakomer::cli {

int UsageError(const std::string& message) {
    std::fprintf(stderr, "trakomer-cli: %s (see trakomer-cli --help)\n", message.c_str());
    return kExitUsage;
}

namespace {

void PrintHelp() {
    std::printf("Usage: trakomer-cli COMMAND [OPTIONS]\n\nCommands:\n");
    for (const Command& c : AllCommands()) std::printf("  %s\n", c.usage);
    std::printf("\nOptions:\n  --help      show this help\n  --version   show the version\n");
}

}  // namespace
}  // namespace trakomer::cli

int main(int argc, char** argv) {
    using namespace trakomer::cli;
    if (argc < 2) return UsageError("no command given");
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintHelp();
        return kExitOk;
    }
    if (name == "--version") {
        std::printf("trakomer-cli %s\n", TRAKOMER_VERSION);
        return kExitOk;
    }
    for (const Command& c : AllCommands()) {
        if (name == c.name) return c.run(Args(argv + 2, argv + argc));
    }
    return UsageError("unknown command '" + name + "'");
}
