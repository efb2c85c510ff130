#pragma once
// The launcher's side of the single-instance sockets: finding a running
// program by its socket, and holding its own socket while it runs.

#include <string>

namespace trakomer::launcher {

// Connects to the socket and sends the line. False when nobody listens.
bool SendLine(const std::string& socketPath, const std::string& line);

// Listens on a socket for as long as it lives, so that a launcher started
// meanwhile finds this one. A stale socket file is replaced.
class HeldSocket {
public:
    explicit HeldSocket(const std::string& socketPath);
    ~HeldSocket();
    HeldSocket(const HeldSocket&) = delete;
    HeldSocket& operator=(const HeldSocket&) = delete;

private:
    int fd_ = -1;
    std::string path_;
};

}  // namespace trakomer::launcher
