#include "launcher/instance_socket.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace trakomer::launcher {

namespace {

bool FillAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

}  // namespace

bool SendLine(const std::string& socketPath, const std::string& line) {
    sockaddr_un address;
    if (!FillAddress(socketPath, address)) return false;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return false;
    }
    size_t sent = 0;
    while (sent < line.size()) {
        const ssize_t n = send(fd, line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        sent += static_cast<size_t>(n);
    }
    close(fd);
    return true;  // found, whether or not it took the whole line
}

HeldSocket::HeldSocket(const std::string& socketPath) {
    const size_t slash = socketPath.rfind('/');
    if (slash != std::string::npos) mkdir(socketPath.substr(0, slash).c_str(), 0700);
    sockaddr_un address;
    if (!FillAddress(socketPath, address)) return;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    unlink(socketPath.c_str());
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(fd, 4) != 0) {
        close(fd);
        return;
    }
    fd_ = fd;
    path_ = socketPath;
}

HeldSocket::~HeldSocket() {
    if (fd_ < 0) return;
    close(fd_);
    unlink(path_.c_str());
}

}  // namespace trakomer::launcher
