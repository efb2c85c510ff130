#include "gps/gpsd_link.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>

namespace trakomer {
namespace {

constexpr std::string_view kScheme = "gpsd://";

// Connects one address without blocking longer than timeoutMs; 0 or an errno.
int ConnectWithin(int fd, const addrinfo& ai, int timeoutMs) {
    if (connect(fd, ai.ai_addr, ai.ai_addrlen) == 0) return 0;
    if (errno != EINPROGRESS) return errno;
    pollfd p = {fd, POLLOUT, 0};
    int ready = 0;
    do {
        ready = poll(&p, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready == 0) return ETIMEDOUT;
    int error = 0;
    socklen_t size = sizeof error;
    if (ready < 0 || getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) return errno;
    return error;
}

// Writes all of text to a fresh connection (a few dozen bytes always fit).
bool SendAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = send(fd, text.data(), text.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        text.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

}  // namespace

bool IsGpsdDevice(std::string_view device) {
    return device == "gpsd" || device.substr(0, kScheme.size()) == kScheme;
}

bool ParseGpsdAddress(std::string_view device, GpsdAddress& address) {
    address = GpsdAddress{};
    if (device == "gpsd") {
        address.host = "localhost";
        return true;
    }
    if (device.substr(0, kScheme.size()) != kScheme) return false;
    std::string_view rest = device.substr(kScheme.size());
    if (!rest.empty() && rest.back() == '/') rest.remove_suffix(1);
    // "[v6]:port", "[v6]", "host:port", "host", or a bare IPv6 address.
    std::string_view host = rest;
    std::string_view port;
    if (!rest.empty() && rest.front() == '[') {
        const size_t close = rest.find(']');
        if (close == std::string_view::npos) return false;
        host = rest.substr(1, close - 1);
        const std::string_view after = rest.substr(close + 1);
        if (!after.empty() && after.front() != ':') return false;
        if (!after.empty()) port = after.substr(1);
        if (!after.empty() && port.empty()) return false;
    } else if (const size_t colon = rest.find(':');
               colon != std::string_view::npos && rest.rfind(':') == colon) {
        host = rest.substr(0, colon);
        port = rest.substr(colon + 1);
        if (port.empty()) return false;
    }
    if (!port.empty()) {
        const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(),
                                               address.port);
        if (ec != std::errc() || end != port.data() + port.size() || address.port < 1 ||
            address.port > 65535) {
            return false;
        }
    }
    if (host.empty()) return false;
    address.host = std::string(host);
    return true;
}

int ConnectGpsd(std::string_view device, int timeoutMs) {
    GpsdAddress address;
    if (!ParseGpsdAddress(device, address)) return -EINVAL;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(address.port);
    if (getaddrinfo(address.host.c_str(), port.c_str(), &hints, &found) != 0) return -ENOENT;
    int error = ECONNREFUSED;
    for (const addrinfo* ai = found; ai != nullptr; ai = ai->ai_next) {
        const int fd =
            socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai->ai_protocol);
        if (fd < 0) {
            error = errno;
            continue;
        }
        error = ConnectWithin(fd, *ai, timeoutMs);
        if (error == 0 && !SendAll(fd, kGpsdWatchNmea)) error = errno != 0 ? errno : EPIPE;
        if (error == 0) {
            freeaddrinfo(found);
            return fd;
        }
        close(fd);
    }
    freeaddrinfo(found);
    return -error;
}

}  // namespace trakomer
