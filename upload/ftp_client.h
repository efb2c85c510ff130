#pragma once
// A minimal FTP client (active mode) that logs in and stores one local file
// under a remote name. Each call blocks, but every wait is bounded by the
// time-out and keeps running the pump callback so a window stays responsive.

#include <cstdio>
#include <memory>
#include <string>

#include "upload/socket_io.h"
#include "upload/tls_stream.h"

namespace trakomer::upload {

// Codes the client stores in place of a reply code when a local step fails.
constexpr int kFtpNoDataAddress = 5000;   // the data socket's address cannot be read
constexpr int kFtpNoSocket = 5001;        // a socket cannot be created
constexpr int kFtpListenFailed = 5002;    // the data socket cannot listen
constexpr int kFtpPortRefused = 5003;     // the server did not accept PORT
constexpr int kFtpTransferFailed = 5004;  // no data connection, or the file cannot be read
// The code left by a reply that could not be read (closed, timed out, malformed).
constexpr int kFtpNoReply = 0;

constexpr int kDefaultFtpTimeoutMs = 30000;
constexpr int kDefaultFtpPort = 21;

// The argument text of an active-mode data port command: "PORT h1,h2,h3,h4,p1,p2"
// for an IPv4 address, "EPRT |2|address|port|" for an IPv6 one.
std::string DataPortCommand(const std::string& address, int port, bool ipv6);

class FtpClient {
public:
    FtpClient() = default;
    ~FtpClient();
    FtpClient(const FtpClient&) = delete;
    FtpClient& operator=(const FtpClient&) = delete;

    void SetPump(Pump pump) { pump_ = std::move(pump); }
    // Bounds every single wait (connect, each reply, accept, each send).
    void SetTimeoutMs(int ms) { timeoutMs_ = ms; }

    // Explicit TLS: after the greeting, AUTH TLS, PBSZ 0 and PROT P, so that
    // the login and every data connection are encrypted.
    void SetTls(TlsPeer peer) {
        tls_ = std::move(peer);
        useTls_ = true;
    }
    TlsFailure LastTlsFailure() const { return tlsFailure_; }
    const std::string& TlsDetail() const { return tlsDetail_; }
    // The last encrypted data connection resumed the control connection's session.
    bool DataSessionResumed() const { return dataResumed_; }

    bool Connect(const std::string& address, int port);
    bool Login(const std::string& user, const std::string& password);
    bool SetBinaryType();
    bool Store(const std::string& localPath, const std::string& remoteName);
    bool Quit();

    bool SendCommand(const std::string& line);
    // The complete reply (every line with its line end); empty on failure.
    std::string ReadReply();

    int LastReplyCode() const { return lastReplyCode_; }
    const std::string& LastReplyText() const { return lastReplyText_; }
    const std::string& TransferType() const { return transferType_; }
    bool IsConnected() const { return connected_; }

private:
    bool OpenDataPort();
    bool SendFile(int dataFd, TlsStream* tls, std::FILE* file);
    bool StartTls();
    // The data connection after the server connected: encrypted when the
    // control connection is; false (with the reason kept) when that fails.
    bool SecureData(int fd, TlsStream& tls);
    void NoteTls(TlsFailure failure, const std::string& detail);
    // Reads a reply after sending line; true when the send worked and the
    // reply code is one of the accepted ones.
    bool Exchange(const std::string& line, int accepted, int alsoAccepted = -1);
    void DropConnection();

    std::string lastReplyText_;
    std::string transferType_ = "A";
    int controlFd_ = -1;
    bool connected_ = false;
    int lastReplyCode_ = kFtpNoReply;
    int dataFd_ = -1;
    Pump pump_;
    int timeoutMs_ = kDefaultFtpTimeoutMs;
    bool useTls_ = false;
    TlsPeer tls_;
    std::unique_ptr<TlsStream> controlTls_;
    TlsFailure tlsFailure_ = TlsFailure::None;
    std::string tlsDetail_;
    bool dataResumed_ = false;
};

}  // namespace trakomer::upload
