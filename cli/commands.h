#pragma once
// The subcommands of trakomer-cli. Each takes the arguments after its name
// and returns the process exit code: 0 success, 1 failure, 2 usage error.

#include <string>
#include <vector>

#include "maps/image_list.h"

namespace trakomer::cli {

using Args = std::vector<std::string>;

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Prints "trakomer-cli: <message>" on standard error and returns kExitUsage.
int UsageError(const std::string& message);

int RunNmeaDump(const Args& args);
int RunConvert(const Args& args);
int RunSettings(const Args& args);
int RunRecord(const Args& args);
int RunInfo(const Args& args);
int RunUpload(const Args& args);
int RunPorts(const Args& args);
int RunScan(const Args& args);
int RunMappack(const Args& args);
int RunMappackTiles(const Args& args);
// "LAT1,LON1,LAT2,LON2", the south-west corner before the north-east one,
// for both mappack forms. False when malformed or out of range.
bool ParseCorners(const std::string& text, maps::MapCorners& corners);
int RunRecover(const Args& args);

struct Command {
    const char* name;
    int (*run)(const Args& args);
    const char* usage;
};

// Every subcommand, in the order --help lists them.
const std::vector<Command>& AllCommands();

}  // namespace trakomer::cli
