#include "app/restart.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/run_at_time.h"

namespace trakomer {

std::string ExecSelf(const std::vector<std::string>& argv) {
    if (argv.empty()) return "no program to run";
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const std::string own = OwnExecutablePath();
    if (!own.empty()) execv(own.c_str(), args.data());
    // The file may have been replaced meanwhile (an upgrade): the name the
    // program was started by.
    execvp(args[0], args.data());
    return std::strerror(errno);
}

}  // namespace trakomer
