#pragma once
// A private message bus for tests: a dbus-daemon started in a temporary
// folder, for stand-in services and the clients under test.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/upload/pyftpd_server.h"

namespace trakomer::upload::testing {

// A message bus of our own in a temporary folder.
class PrivateBus {
public:
    PrivateBus() : folder_(MakeTempFolder("trakomer-bus-")) {
        int pipeFds[2];
        if (::pipe(pipeFds) != 0) return;
        const std::string listen = "--address=unix:path=" + (folder_ / "socket").string();
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(pipeFds[1], STDOUT_FILENO);
            // It complains about its file limit; keep the test output clean.
            const int devNull = ::open("/dev/null", O_WRONLY);
            ::dup2(devNull, STDERR_FILENO);
            ::close(pipeFds[0]);
            ::close(pipeFds[1]);
            ::execl("/usr/bin/dbus-daemon", "dbus-daemon", "--session", listen.c_str(), "--nofork",
                    "--print-address", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(pipeFds[1]);
        char byte = 0;
        pollfd entry{pipeFds[0], POLLIN, 0};
        while (::poll(&entry, 1, 10000) > 0 && ::read(pipeFds[0], &byte, 1) == 1 && byte != '\n')
            address_ += byte;
        ::close(pipeFds[0]);
    }
    ~PrivateBus() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
        std::filesystem::remove_all(folder_);
    }
    const std::string& Address() const { return address_; }

private:
    std::filesystem::path folder_;
    pid_t pid_ = -1;
    std::string address_;
};

}  // namespace trakomer::upload::testing
