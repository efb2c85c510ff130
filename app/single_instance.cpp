#include "app/single_instance.h"

#include "platform/runtime_folder.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace trakomer {

namespace {

bool FillAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

int Connect(const std::string& path) {
    sockaddr_un address;
    if (!FillAddress(path, address)) return -1;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace

std::string InstanceSocketPath() {
    return RuntimeFolder() + "/trakomer";
}

bool SendInstanceRequest(const std::string& socketPath, const std::string& line) {
    int fd = Connect(socketPath);
    if (fd < 0) return false;
    size_t sent = 0;
    while (sent < line.size()) {
        ssize_t n = send(fd, line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        sent += static_cast<size_t>(n);
    }
    close(fd);
    return sent == line.size();
}

InstanceServer::~InstanceServer() {
    if (fd_ >= 0) {
        close(fd_);
        unlink(path_.c_str());
    }
}

bool InstanceServer::Listen(const std::string& socketPath) {
    // Refuse a folder someone else owns or may write to (another user could
    // listen there).
    if (!PrepareRuntimeFolder(FolderOf(socketPath)).empty()) return false;

    int existing = Connect(socketPath);
    if (existing >= 0) {
        close(existing);
        return false;
    }
    unlink(socketPath.c_str());

    sockaddr_un address;
    if (!FillAddress(socketPath, address)) return false;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(fd, 4) != 0) {
        close(fd);
        return false;
    }
    fd_ = fd;
    path_ = socketPath;
    return true;
}

std::string InstanceServer::AcceptRequest(int timeoutMs) {
    if (fd_ < 0) return {};
    // Connections that send nothing (another instance probing whether this
    // one is alive) are skipped.
    for (;;) {
        int client = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) return {};
        std::string line;
        char buffer[64];
        pollfd waiting{client, POLLIN, 0};
        while (line.find('\n') == std::string::npos && line.size() < 256 &&
               poll(&waiting, 1, timeoutMs) > 0) {
            ssize_t n = read(client, buffer, sizeof buffer);
            if (n <= 0) break;
            line.append(buffer, static_cast<size_t>(n));
        }
        close(client);
        size_t end = line.find('\n');
        if (end != std::string::npos) line.resize(end);
        if (!line.empty()) return line;
    }
}

}  // namespace trakomer
