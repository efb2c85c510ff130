#pragma once
// One recorder per user: the first instance listens on a local stream
// socket; a later one connects, sends a one-line request and exits. The
// request is plain text so programs without Qt can send it too.

#include <string>

namespace trakomer {

// The line that asks the running recorder to come to the front.
constexpr const char* kRaiseRequest = "raise\n";

// "$XDG_RUNTIME_DIR/trakomer/trakomer", else "/tmp/trakomer-<uid>/trakomer".
std::string InstanceSocketPath();

// Sends one request line to a running instance. False when none listens.
bool SendInstanceRequest(const std::string& socketPath, const std::string& line);

class InstanceServer {
public:
    InstanceServer() = default;
    ~InstanceServer();
    InstanceServer(const InstanceServer&) = delete;
    InstanceServer& operator=(const InstanceServer&) = delete;

    // Creates the folder (owner only) and listens. A stale socket left by a
    // crashed instance is replaced. False when another instance answers or
    // the socket cannot be made.
    bool Listen(const std::string& socketPath);

    // The listening descriptor, for the event loop to watch (-1 if none).
    int Fd() const { return fd_; }

    // Accepts one waiting client and reads its line (without the line
    // break), waiting at most timeoutMs for it; silent connections are
    // skipped. "" when no request is waiting.
    std::string AcceptRequest(int timeoutMs = 500);

private:
    int fd_ = -1;
    std::string path_;
};

}  // namespace trakomer
