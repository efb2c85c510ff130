#include "upload/socket_io.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

namespace trakomer::upload {

namespace {

using SteadyClock = std::chrono::steady_clock;

int MsUntil(SteadyClock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return static_cast<int>(std::max<int64_t>(0, left.count()));
}

void RunPump(const Pump& pump) {
    if (pump) pump();
}

}  // namespace

WaitResult WaitForSocket(int fd, short events, int timeoutMs, const Pump& pump) {
    if (fd < 0) return WaitResult::Failed;
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        pollfd entry{fd, events, 0};
        const int slice = std::min(MsUntil(deadline), kPumpIntervalMs);
        const int n = ::poll(&entry, 1, slice);
        if (n < 0 && errno != EINTR) return WaitResult::Failed;
        if (n > 0) {
            if (entry.revents & (events | POLLHUP | POLLERR)) return WaitResult::Ready;
            if (entry.revents & POLLNVAL) return WaitResult::Failed;
        }
        if (MsUntil(deadline) <= 0) return WaitResult::TimedOut;
        RunPump(pump);
    }
}

void PauseWithPump(int ms, const Pump& pump) {
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(ms);
    for (int left = MsUntil(deadline); left > 0; left = MsUntil(deadline)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(left, kPumpIntervalMs)));
        RunPump(pump);
    }
}

int OpenStreamSocket(int family) {
    return ::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
}

void CloseSocket(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

namespace {

// Connects fd to one resolved address; true once the connection is made.
bool ConnectOne(int fd, const addrinfo& address, int timeoutMs, const Pump& pump) {
    if (::connect(fd, address.ai_addr, address.ai_addrlen) == 0) return true;
    if (errno != EINPROGRESS) return false;
    if (WaitForSocket(fd, POLLOUT, timeoutMs, pump) != WaitResult::Ready) return false;
    int error = 0;
    socklen_t length = sizeof error;
    return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

}  // namespace

int ConnectTo(const std::string& host, int port, int timeoutMs, const Pump& pump) {
    if (host.empty() || port <= 0 || port > 65535) return -1;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0) return -1;
    int fd = -1;
    for (const addrinfo* a = found; a != nullptr && fd < 0; a = a->ai_next) {
        fd = OpenStreamSocket(a->ai_family);
        if (fd >= 0 && !ConnectOne(fd, *a, timeoutMs, pump)) CloseSocket(fd);
    }
    ::freeaddrinfo(found);
    return fd;
}

bool SendAll(int fd, const char* data, size_t size, int timeoutMs, const Pump& pump) {
    while (size > 0) {
        const ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL);
        if (sent > 0) {
            data += sent;
            size -= static_cast<size_t>(sent);
            continue;
        }
        if (sent < 0 && errno == EINTR) continue;
        if (sent == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) return false;
        if (WaitForSocket(fd, POLLOUT, timeoutMs, pump) != WaitResult::Ready) return false;
    }
    return true;
}

ReadResult ReadByte(int fd, char& byte, int timeoutMs, const Pump& pump) {
    for (;;) {
        const ssize_t got = ::recv(fd, &byte, 1, 0);
        if (got == 1) return ReadResult::Byte;
        if (got == 0) return ReadResult::Closed;
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) return ReadResult::Failed;
        if (const ReadResult waited = WaitToReadAgain(fd, POLLIN, timeoutMs, pump);
            waited != ReadResult::Byte)
            return waited;
    }
}

ReadResult WaitToReadAgain(int fd, short events, int timeoutMs, const Pump& pump) {
    switch (WaitForSocket(fd, events, timeoutMs, pump)) {
        case WaitResult::Ready:
            return ReadResult::Byte;
        case WaitResult::TimedOut:
            return ReadResult::TimedOut;
        case WaitResult::Failed:
            break;
    }
    return ReadResult::Failed;
}

int AcceptWithin(int listenFd, int timeoutMs, const Pump& pump) {
    if (WaitForSocket(listenFd, POLLIN, timeoutMs, pump) != WaitResult::Ready) return -1;
    return ::accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
}

}  // namespace trakomer::upload
