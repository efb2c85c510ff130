#include "tests/upload/python_process.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace trakomer::upload::testing {

namespace {

constexpr int kStartTimeoutMs = 10000;

// Reads the line the script prints once it listens; empty when none comes in time.
std::string ReadStartLine(int fd) {
    std::string text;
    char byte = 0;
    pollfd entry{fd, POLLIN, 0};
    while (::poll(&entry, 1, kStartTimeoutMs) > 0 && ::read(fd, &byte, 1) == 1) {
        if (byte == '\n') return text;
        text += byte;
    }
    return {};
}

}  // namespace

std::string PythonProcess::Start(const char* script, const std::vector<std::string>& arguments) {
    Stop();
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return {};
    std::vector<const char*> argv = {"python3", "-c", script};
    for (const std::string& a : arguments) argv.push_back(a.c_str());
    argv.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        ::execv("/usr/bin/python3", const_cast<char* const*>(argv.data()));
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    const std::string line = pid_ > 0 ? ReadStartLine(pipeFds[0]) : std::string();
    ::close(pipeFds[0]);
    return line;
}

void PythonProcess::Stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

}  // namespace trakomer::upload::testing
