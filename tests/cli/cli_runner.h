#pragma once
// Runs trakomer-cli (or any shell command line) as a user would and keeps
// what it printed and its exit code.

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace trakomer::test {

inline const std::string kCli = TRAKOMER_BINARY_DIR "/cli/trakomer-cli";
inline const std::string kDemoLog = TRAKOMER_SOURCE_DIR "/data/demo/demo.nmea";

struct CliRun {
    int exitCode = -1;
    std::string out;  // standard output (and standard error when the command redirects it)
};

inline CliRun Shell(const std::string& command) {
    CliRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    std::array<char, 4096> buf;
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0) run.out.append(buf.data(), n);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace trakomer::test
