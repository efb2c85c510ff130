#include "tests/upload/scripted_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace trakomer::upload::testing {

namespace {

constexpr int kSliceMs = 10;
constexpr int kGiveUpMs = 10000;

// Waits for input on fd; false when stopped or after kGiveUpMs.
bool WaitInput(int fd, const std::atomic<bool>& stop) {
    for (int waited = 0; waited < kGiveUpMs && !stop; waited += kSliceMs) {
        pollfd entry{fd, POLLIN, 0};
        if (::poll(&entry, 1, kSliceMs) > 0) return true;
    }
    return false;
}

}  // namespace

ScriptedServer::ScriptedServer(std::vector<ScriptStep> script) : script_(std::move(script)) {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), length);
    ::listen(listenFd_, 1);
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Run(); });
}

ScriptedServer::~ScriptedServer() {
    Finish();
    ::close(listenFd_);
}

void ScriptedServer::Finish() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

bool ScriptedServer::ReadLine(int fd, std::string& line) {
    line.clear();
    char byte = 0;
    while (WaitInput(fd, stop_) && ::recv(fd, &byte, 1, 0) == 1) {
        if (byte == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return true;
        }
        line += byte;
    }
    return false;
}

void ScriptedServer::Run() {
    if (!WaitInput(listenFd_, stop_)) return;
    int fd = ::accept(listenFd_, nullptr, nullptr);
    if (fd < 0) return;
    for (const ScriptStep& step : script_) {
        if (step.kind == ScriptStep::Send) {
            ::send(fd, step.text.data(), step.text.size(), MSG_NOSIGNAL);
        } else if (step.kind == ScriptStep::ReadLine) {
            std::string line;
            if (!ReadLine(fd, line)) break;
            heard_.push_back(line);
        } else if (step.kind == ScriptStep::Close) {
            break;
        } else {
            // Silent: hold the connection open until the client leaves.
            char byte = 0;
            while (WaitInput(fd, stop_) && ::recv(fd, &byte, 1, 0) > 0) {
            }
            break;
        }
    }
    ::close(fd);
}

}  // namespace trakomer::upload::testing
