#include "upload/ftp_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace trakomer::upload {

namespace {

// A reply larger than this is not an FTP reply; the read stops with failure.
constexpr size_t kMaxReplyBytes = 64 * 1024;
constexpr int kAcceptPauseMs = 200;
// The store loop's rate limit: 256 bytes per step, 50 ms before each send.
constexpr size_t kTransferStepBytes = 256;
constexpr int kTransferPauseMs = 50;

bool EndsWithCrLf(const std::string& text) {
    return text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0;
}

int ReplyCode(const std::string& reply) {
    return std::atoi(reply.substr(0, 3).c_str());
}

// The port of an IPv4 or IPv6 socket address, or -1.
int PortOf(const sockaddr_storage& address) {
    if (address.ss_family == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
    if (address.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
    return -1;
}

void SetPort(sockaddr_storage& address, int port) {
    if (address.ss_family == AF_INET)
        reinterpret_cast<sockaddr_in&>(address).sin_port = htons(static_cast<uint16_t>(port));
    else
        reinterpret_cast<sockaddr_in6&>(address).sin6_port = htons(static_cast<uint16_t>(port));
}

// The numeric text of the address (dotted for IPv4); empty on failure.
std::string AddressText(const sockaddr_storage& address) {
    char text[INET6_ADDRSTRLEN] = {};
    const void* raw =
        address.ss_family == AF_INET
            ? static_cast<const void*>(&reinterpret_cast<const sockaddr_in&>(address).sin_addr)
            : static_cast<const void*>(&reinterpret_cast<const sockaddr_in6&>(address).sin6_addr);
    if (address.ss_family != AF_INET && address.ss_family != AF_INET6) return {};
    if (::inet_ntop(address.ss_family, raw, text, sizeof text) == nullptr) return {};
    return text;
}

}  // namespace

std::string DataPortCommand(const std::string& address, int port, bool ipv6) {
    if (ipv6) return "EPRT |2|" + address + "|" + std::to_string(port) + "|";
    std::string hosts = address;
    for (char& c : hosts) {
        if (c == '.') c = ',';
    }
    char numbers[32];
    std::snprintf(numbers, sizeof numbers, ",%d,%d", port / 256, port % 256);
    return "PORT " + hosts + numbers;
}

FtpClient::~FtpClient() {
    CloseSocket(dataFd_);
    CloseSocket(controlFd_);
}

void FtpClient::DropConnection() {
    connected_ = false;
}

bool FtpClient::SendCommand(const std::string& line) {
    if (controlFd_ < 0 || !connected_ || line.empty()) return false;
    std::string text = line;
    if (!EndsWithCrLf(text)) text += "\r\n";
    // A line break inside the command would smuggle in a second command.
    if (text.find_first_of("\r\n") != text.size() - 2) return false;
    const bool sent = controlTls_
                          ? controlTls_->SendAll(text.data(), text.size(), timeoutMs_, pump_)
                          : SendAll(controlFd_, text.data(), text.size(), timeoutMs_, pump_);
    if (!sent) {
        DropConnection();
        return false;
    }
    return true;
}

std::string FtpClient::ReadReply() {
    if (controlFd_ < 0 || !connected_) return {};
    using SteadyClock = std::chrono::steady_clock;
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs_);
    std::string reply;
    std::string line;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
        char byte = 0;
        const int ms = static_cast<int>(left.count());
        if (ms <= 0 || (controlTls_ ? controlTls_->ReadByte(byte, ms, pump_)
                                    : ReadByte(controlFd_, byte, ms, pump_)) != ReadResult::Byte)
            break;
        line += byte;
        if (reply.size() + line.size() > kMaxReplyBytes) break;
        if (!EndsWithCrLf(line)) continue;
        const bool firstLine = reply.empty();
        if (firstLine && line.size() < 4 + 2) break;  // no room for a code and a blank
        reply += line;
        // The reply ends with the line that carries the first line's code
        // followed by a blank; other lines of a multi-line reply are text.
        const bool last = line.size() >= 4 + 2 && line[3] == ' ' &&
                          (firstLine || line.compare(0, 3, reply, 0, 3) == 0);
        line.clear();
        if (!last) continue;
        lastReplyCode_ = ReplyCode(reply);
        lastReplyText_ = reply;
        return reply;
    }
    // Closed, failed, timed out or malformed: the dialogue cannot go on.
    lastReplyCode_ = kFtpNoReply;
    lastReplyText_.clear();
    DropConnection();
    return {};
}

bool FtpClient::Exchange(const std::string& line, int accepted, int alsoAccepted) {
    const bool sent = SendCommand(line);
    ReadReply();
    return sent && (lastReplyCode_ == accepted || lastReplyCode_ == alsoAccepted);
}

bool FtpClient::Connect(const std::string& address, int port) {
    controlTls_.reset();
    NoteTls(TlsFailure::None, {});
    CloseSocket(controlFd_);
    connected_ = false;
    controlFd_ = ConnectTo(address, port, timeoutMs_, pump_);
    if (controlFd_ < 0) return false;
    connected_ = true;
    ReadReply();
    if (lastReplyCode_ != 220) connected_ = false;
    if (connected_ && useTls_ && !StartTls()) connected_ = false;
    return connected_;
}

void FtpClient::NoteTls(TlsFailure failure, const std::string& detail) {
    tlsFailure_ = failure;
    tlsDetail_ = detail;
}

bool FtpClient::StartTls() {
    controlTls_.reset();
    if (!Exchange("AUTH TLS", 234)) {
        NoteTls(TlsFailure::Refused, "the server did not accept AUTH TLS");
        return false;
    }
    auto tls = std::make_unique<TlsStream>();
    const TlsFailure failure = tls->Start(controlFd_, tls_, timeoutMs_, pump_);
    if (failure != TlsFailure::None) {
        NoteTls(failure, tls->Detail());
        return false;
    }
    controlTls_ = std::move(tls);
    // No buffer size on a stream connection, and a private (encrypted) data channel.
    if (!Exchange("PBSZ 0", 200) || !Exchange("PROT P", 200)) {
        NoteTls(TlsFailure::Refused, "the server refused an encrypted data connection");
        return false;
    }
    return true;
}

bool FtpClient::SecureData(int fd, TlsStream& tls) {
    if (!controlTls_) return true;
    const TlsFailure failure = tls.Start(fd, tls_, timeoutMs_, pump_, controlTls_.get());
    dataResumed_ = tls.Reused();
    if (failure == TlsFailure::None) return true;
    NoteTls(failure, tls.Detail());
    return false;
}

bool FtpClient::Login(const std::string& user, const std::string& password) {
    // A server that lets the user in without a password (230) is refused.
    if (!Exchange("USER " + user, 331)) return false;
    return Exchange("PASS " + password, 230);
}

bool FtpClient::SetBinaryType() {
    transferType_ = "I";
    return true;
}

bool FtpClient::OpenDataPort() {
    if (controlFd_ < 0) return false;
    sockaddr_storage local{};
    socklen_t length = sizeof local;
    if (::getsockname(controlFd_, reinterpret_cast<sockaddr*>(&local), &length) != 0) return false;
    const std::string address = AddressText(local);
    if (address.empty()) return false;
    CloseSocket(dataFd_);
    dataFd_ = OpenStreamSocket(local.ss_family);
    // Listen on the interface the control connection uses, on any port.
    SetPort(local, 0);
    if (dataFd_ < 0 || ::bind(dataFd_, reinterpret_cast<sockaddr*>(&local), length) != 0) {
        lastReplyCode_ = kFtpNoSocket;
        CloseSocket(dataFd_);
        return false;
    }
    if (::listen(dataFd_, 5) != 0) {
        lastReplyCode_ = kFtpListenFailed;
        CloseSocket(dataFd_);
        return false;
    }
    sockaddr_storage data{};
    length = sizeof data;
    if (::getsockname(dataFd_, reinterpret_cast<sockaddr*>(&data), &length) != 0) {
        lastReplyCode_ = kFtpNoDataAddress;
        CloseSocket(dataFd_);
        return false;
    }
    Exchange("TYPE " + transferType_, 200);  // the answer does not matter
    if (!Exchange(DataPortCommand(address, PortOf(data), local.ss_family == AF_INET6), 200)) {
        lastReplyCode_ = kFtpPortRefused;
        CloseSocket(dataFd_);
        return false;
    }
    return true;
}

bool FtpClient::SendFile(int dataFd, TlsStream* tls, std::FILE* file) {
    char buffer[kTransferStepBytes];
    for (;;) {
        std::memset(buffer, 0, sizeof buffer);
        const size_t got = std::fread(buffer, 1, sizeof buffer, file);
        if (got == 0) return std::ferror(file) == 0;
        PauseWithPump(kTransferPauseMs, pump_);
        const bool sent = tls != nullptr ? tls->SendAll(buffer, got, timeoutMs_, pump_)
                                         : SendAll(dataFd, buffer, got, timeoutMs_, pump_);
        if (!sent) return false;
    }
}

bool FtpClient::Store(const std::string& localPath, const std::string& remoteName) {
    if (controlFd_ < 0) return false;
    // Opened first, so that a missing file never empties the remote one.
    std::FILE* file = std::fopen(localPath.c_str(), "rb");
    if (file == nullptr) {
        lastReplyCode_ = kFtpTransferFailed;
        return false;
    }
    bool stored = false;
    // 125 and 150 both allow the transfer to start.
    if (OpenDataPort()) {
        if (Exchange("STOR " + remoteName, 150, 125)) {
            PauseWithPump(kAcceptPauseMs, pump_);
            int transferFd = AcceptWithin(dataFd_, timeoutMs_, pump_);
            if (transferFd < 0) {
                lastReplyCode_ = kFtpTransferFailed;
            } else {
                TlsStream tls;
                const bool secured = SecureData(transferFd, tls);
                const bool sentAll =
                    secured && SendFile(transferFd, controlTls_ ? &tls : nullptr, file);
                if (secured && controlTls_) tls.Shutdown(timeoutMs_, pump_);
                CloseSocket(transferFd);
                CloseSocket(dataFd_);
                ReadReply();
                // A transfer cut short is a failure whatever the server says.
                stored = sentAll && lastReplyCode_ == 226;
            }
        }
        CloseSocket(dataFd_);
    }
    std::fclose(file);
    return stored;
}

bool FtpClient::Quit() {
    if (controlFd_ < 0 || !connected_) return false;
    if (!Exchange("QUIT", 221)) return false;
    CloseSocket(controlFd_);
    connected_ = false;
    return true;
}

}  // namespace trakomer::upload
